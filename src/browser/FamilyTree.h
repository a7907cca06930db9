// The family tree of one creature, in a window of its own: its ancestors
// generation by generation above it, its descendants below, each as a card
// (name, moniker, life span, state icon, gravestone photo), joined by lines
// from child to parent. The tree can be zoomed and panned; every card is
// reached by Tab and the arrow keys and has a name a screen reader says;
// a double-click (or Enter) on a card selects that creature in the list.
#pragma once

#include "history/Lineage.h"

#include <QGraphicsView>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace Ui {
class TFamilyTree;
}
class QGraphicsScene;
class TTreeCard;

// What a card shows.
struct TCardFace {
    QString Name, Moniker, Life;
    QPixmap Icon;
    QString IconDescription;
    QByteArray FileName;  // the record's file, to find it in the list again (empty outside the history)
    bool Outside = false;  // a parent the history does not hold
    bool SharedMoniker = false;
};

class TFamilyTreeView : public QGraphicsView {
    Q_OBJECT
public:
    explicit TFamilyTreeView(QWidget* parent = nullptr);
    ~TFamilyTreeView() override;

    // Lays out the tree; `photo(person)` gives a card's gravestone photo
    // (or a null image), asked only when the card is first drawn.
    void Show(const TLineageTree& tree, std::vector<TCardFace> faces, std::function<QImage(int person)> photo);

    int CardCount() const { return static_cast<int>(cards_.size()); }
    const TCardFace& Face(int card) const { return faces_[size_t(card)]; }
    // The card's place on the screen, in the view's coordinates.
    QRect CardRect(int card) const;
    int FocusedCard() const;
    void FocusCard(int card);

    void ZoomBy(double factor);
    void ZoomToFit();

signals:
    void CardActivated(int card);

protected:
    void wheelEvent(QWheelEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    // The lines from each child to its parents, those in sight only.
    void drawBackground(QPainter* painter, const QRectF& exposed) override;

private:
    friend class TTreeCard;
    void Activate(int card) { emit CardActivated(card); }
    void Step(int card, int key);
    QImage Photo(int card);

    QGraphicsScene* scene_;
    std::vector<TCardFace> faces_;
    std::vector<TTreeCard*> cards_;
    std::vector<std::vector<int>> parents_, children_;  // by card
    std::vector<int> generationOf_, placeInGeneration_;
    std::vector<std::vector<int>> generations_;  // cards of each generation, top to bottom
    int firstGeneration_ = 0;
    int focused_ = -1;
    std::function<QImage(int)> photo_;
};

class TFamilyTree : public QWidget {
    Q_OBJECT
public:
    explicit TFamilyTree(QWidget* parent = nullptr);
    ~TFamilyTree() override;

    void Show(const QString& creature, const TLineageTree& tree, std::vector<TCardFace> faces,
              std::function<QImage(int person)> photo);
    TFamilyTreeView* View() const;

signals:
    // A card of a creature of the history was double-clicked: its file.
    void CreatureChosen(const QByteArray& fileName);

private:
    std::unique_ptr<Ui::TFamilyTree> ui;
};
