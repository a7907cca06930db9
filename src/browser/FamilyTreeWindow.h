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
#include <optional>
#include <vector>

namespace Ui {
class FamilyTreeWindow;
}
class HistoryController;
class QGraphicsScene;
class TreeCard;

// What a card shows.
struct CardFace {
    QString name, moniker, life;
    QPixmap icon;
    QString iconDescription;
    QByteArray fileName;  // the record's file, to find it in the list again (empty outside the history)
    bool outside = false;  // a parent the history does not hold
    bool sharedMoniker = false;
};

class FamilyTreeView : public QGraphicsView {
    Q_OBJECT
public:
    explicit FamilyTreeView(QWidget* parent = nullptr);
    ~FamilyTreeView() override;

    using FaceOf = std::function<CardFace(int person)>;
    using PhotoOf = std::function<QImage(int person)>;

    // Lays out the tree. `face(person)` gives what a card shows and
    // `photo(person)` its gravestone photo (or a null image); each is asked
    // when the card is first drawn or spoken, so a tree of thousands opens
    // as fast as one of ten.
    void setTree(const LineageTree& tree, FaceOf face, PhotoOf photo);

    int cardCount() const { return static_cast<int>(cards_.size()); }
    const CardFace& face(int card) const;
    // The card's place on the screen, in the view's coordinates.
    QRect cardRect(int card) const;
    int focusedCard() const;
    // The card's generation: 0 the creature, negative its ancestors.
    int generation(int card) const { return generationOf_[size_t(card)]; }
    void focusCard(int card);

    // Zooms by a factor, or to the whole tree, or to 1:1; the focused card
    // (the creature's own before any) stays in sight.
    void zoomBy(double factor);
    void zoomToFit();
    void actualSize();

signals:
    void cardActivated(int card);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    // The lines from each child to its parents, those in sight only.
    void drawBackground(QPainter* painter, const QRectF& exposed) override;

private:
    friend class TreeCard;
    void activate(int card) { emit cardActivated(card); }
    void step(int card, int key);
    // The card's photo, as large as a card shows it.
    const QImage& photo(int card);
    // Makes the cards in sight items of the scene and drops those far off.
    void realize();
    void keepFocusInView(bool centre);
    TreeCard* cardItem(int index);  // the card's item, made if it has none
    // The generations, and the places in one, that reach into an area.
    std::pair<int, int> generationsIn(const QRectF& area) const;
    std::pair<int, int> placesIn(int generation, const QRectF& area) const;

    QGraphicsScene* scene_;
    FaceOf faceOf_;
    mutable std::vector<std::unique_ptr<CardFace>> faces_;  // each made when first asked for
    std::vector<TreeCard*> cards_;   // by card: its item, or null while out of sight
    std::vector<TreeCard*> live_;    // the items there are
    std::vector<QPointF> place_;      // by card: its place in the scene
    std::vector<qreal> left_;         // by generation: where its row starts
    int longestLink_ = 1;
    std::vector<std::vector<int>> parents_, children_;  // by card
    std::vector<int> generationOf_, placeInGeneration_;
    std::vector<std::vector<int>> generations_;  // cards of each generation, top to bottom
    int firstGeneration_ = 0;
    int focused_ = -1;
    PhotoOf photoOf_;
    std::vector<std::optional<QImage>> photos_;  // by card: each read when first drawn
};

// The window: the tree of one creature of the controller's list. It follows
// the list: a refill or a deletion draws the tree again (the card that had
// the focus keeps it), and the window closes only when its creature is gone.
class FamilyTreeWindow : public QWidget {
    Q_OBJECT
public:
    // Opens the family tree of the row's creature.
    static FamilyTreeWindow* open(HistoryController* controller, int row, QWidget* parent);
    ~FamilyTreeWindow() override;

    FamilyTreeView* view() const;

signals:
    // A card of a creature of the history was double-clicked: its file.
    void creatureChosen(const QByteArray& fileName);

private:
    FamilyTreeWindow(HistoryController* controller, QWidget* parent);
    // Draws the tree of the creature read from this file again, as the
    // list now has it; closes the window when the list no longer has it.
    void redraw();
    CardFace faceOf(const LineageTree& tree, int card) const;
    QImage photoOf(const LineageTree& tree, int card) const;

    std::unique_ptr<Ui::FamilyTreeWindow> ui;
    HistoryController* controller_;
    QByteArray focalFile_;
};
