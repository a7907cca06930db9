#include "browser/FamilyTree.h"

#include "ui_FamilyTree.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionGraphicsItem>
#include <QWheelEvent>
#include <cmath>

namespace {

constexpr qreal kCardWidth = 230, kCardHeight = 84, kColumn = 250, kRow = 130, kPhoto = 64;

}  // namespace

// ---------------------------------------------------------------- a card

class TTreeCard : public QGraphicsItem {
public:
    TTreeCard(TFamilyTreeView* view, int index) : view_(view), index_(index)
    {
        setFlags(ItemIsFocusable | ItemIsSelectable);
    }

    QRectF boundingRect() const override { return {0, 0, kCardWidth, kCardHeight}; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        const TCardFace& face = view_->Face(index_);
        const QPalette palette = view_->palette();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(hasFocus() ? palette.color(QPalette::Highlight) : palette.color(QPalette::Mid),
                             hasFocus() ? 3 : 1, face.Outside ? Qt::DashLine : Qt::SolidLine));
        painter->setBrush(index_ == 0 ? palette.color(QPalette::AlternateBase) : palette.color(QPalette::Base));
        painter->drawRoundedRect(boundingRect().adjusted(1, 1, -1, -1), 6, 6);
        if (!photoAsked_) {
            photoAsked_ = true;
            photo_ = view_->Photo(index_);
        }
        qreal right = kCardWidth - 8;
        if (!photo_.isNull()) {
            const QRectF box(kCardWidth - kPhoto - 10, (kCardHeight - kPhoto) / 2, kPhoto, kPhoto);
            painter->fillRect(box, Qt::black);
            const QImage shown = photo_.scaled(int(kPhoto), int(kPhoto), Qt::KeepAspectRatio, Qt::SmoothTransformation);
            painter->drawImage(QPointF(box.x() + (kPhoto - shown.width()) / 2, box.y() + (kPhoto - shown.height()) / 2),
                               shown);
            right = box.left() - 6;
        }
        if (!face.Icon.isNull())
            painter->drawPixmap(QPointF(8, 8), face.Icon);
        painter->setPen(palette.color(QPalette::Text));
        QFont bold = painter->font();
        bold.setBold(true);
        painter->setFont(bold);
        const QFontMetrics boldMetrics(bold);
        painter->drawText(QRectF(30, 6, right - 30, 20), Qt::AlignLeft | Qt::AlignVCenter,
                          boldMetrics.elidedText(face.Name, Qt::ElideRight, int(right - 30)));
        bold.setBold(false);
        painter->setFont(bold);
        const QFontMetrics metrics(bold);
        QString moniker = face.Moniker;
        if (face.SharedMoniker)
            moniker += QLatin1Char(' ') + TFamilyTree::tr("(moniker used twice)");
        if (face.Outside)
            moniker += QLatin1Char(' ') + TFamilyTree::tr("(not in the history)");
        painter->drawText(QRectF(8, 30, right - 8, 20), Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(moniker, Qt::ElideRight, int(right - 8)));
        painter->drawText(QRectF(8, 52, right - 8, 24), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                          metrics.elidedText(face.Life, Qt::ElideRight, int(2 * (right - 8))));
    }

protected:
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent*) override { view_->Activate(index_); }

    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            view_->Activate(index_);
            break;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
            view_->Step(index_, event->key());
            break;
        default:
            event->ignore();
        }
    }

    void focusInEvent(QFocusEvent*) override
    {
        view_->focused_ = index_;
        update();
        view_->ensureVisible(this, 40, 40);
        QAccessibleEvent focus(view_, QAccessible::Focus);
        focus.setChild(index_);
        QAccessible::updateAccessibility(&focus);
    }
    void focusOutEvent(QFocusEvent*) override { update(); }

private:
    TFamilyTreeView* view_;
    int index_;
    mutable bool photoAsked_ = false;
    mutable QImage photo_;
};

// ---------------------------------------------------------------- accessibility

namespace {

// Graphics items have no accessible interface of their own: the tree tells a
// screen reader about its cards as its children.
class TCardAccessible : public QAccessibleInterface {
public:
    TCardAccessible(TFamilyTreeView* view, int card) : view_(view), card_(card) {}

    bool isValid() const override { return view_ && card_ < view_->CardCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        const TCardFace& face = view_->Face(card_);
        if (t == QAccessible::Name)
            return QStringLiteral("%1 (%2)").arg(face.Name, face.Moniker);
        if (t == QAccessible::Description)
            return face.Outside ? TFamilyTree::tr("not in the history") : face.Life + QStringLiteral(", ") + face.IconDescription;
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = view_->CardRect(card_);
        return QRect(view_->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.focusable = true;
        s.selectable = true;
        s.focused = isValid() && view_->FocusedCard() == card_;
        return s;
    }

private:
    QPointer<TFamilyTreeView> view_;
    int card_;
};

class TFamilyTreeAccessible : public QAccessibleWidget {
public:
    explicit TFamilyTreeAccessible(TFamilyTreeView* view) : QAccessibleWidget(view, QAccessible::List) {}

    TFamilyTreeView* View() const { return static_cast<TFamilyTreeView*>(widget()); }
    int childCount() const override { return View()->CardCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (cards_.size() < size_t(childCount()))
            cards_.resize(size_t(childCount()), 0);
        QAccessible::Id& id = cards_[size_t(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new TCardAccessible(View(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (size_t i = 0; i < cards_.size(); ++i)
            if (cards_[i] && QAccessible::accessibleInterface(cards_[i]) == child)
                return int(i);
        return -1;
    }
    QAccessibleInterface* focusChild() const override { return View()->FocusedCard() >= 0 ? child(View()->FocusedCard()) : nullptr; }

private:
    mutable std::vector<QAccessible::Id> cards_;
};

QAccessibleInterface* FamilyTreeAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TFamilyTreeView") && object && object->isWidgetType())
        return new TFamilyTreeAccessible(static_cast<TFamilyTreeView*>(object));
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- the view

TFamilyTreeView::TFamilyTreeView(QWidget* parent) : QGraphicsView(parent), scene_(new QGraphicsScene(this))
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(FamilyTreeAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    // Thousands of cards are placed once and never move: no index to keep up.
    scene_->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(scene_);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setRenderHint(QPainter::Antialiasing);
    setFocusPolicy(Qt::StrongFocus);
}

TFamilyTreeView::~TFamilyTreeView() = default;

void TFamilyTreeView::Show(const TLineageTree& tree, std::vector<TCardFace> faces, std::function<QImage(int)> photo)
{
    scene_->clear();
    cards_.clear();
    focused_ = -1;
    faces_ = std::move(faces);
    photo_ = std::move(photo);
    const size_t n = tree.People.size();
    parents_.assign(n, {});
    children_.assign(n, {});
    generationOf_.assign(n, 0);
    placeInGeneration_.assign(n, 0);
    int first = 0, last = 0;
    for (const TLineagePerson& p : tree.People) {
        first = std::min(first, p.Generation);
        last = std::max(last, p.Generation);
    }
    firstGeneration_ = first;
    generations_.assign(size_t(last - first + 1), {});
    for (size_t i = 0; i < n; ++i) {
        const TLineagePerson& p = tree.People[i];
        generationOf_[i] = p.Generation;
        auto& row = generations_[size_t(p.Generation - first)];
        placeInGeneration_[i] = static_cast<int>(row.size());
        row.push_back(static_cast<int>(i));
        parents_[i] = p.Parents;
        for (int parent : p.Parents)
            children_[size_t(parent)].push_back(static_cast<int>(i));
    }
    // Generation by generation from the top, each row centred on the widest.
    size_t widest = 0;
    for (const auto& row : generations_)
        widest = std::max(widest, row.size());
    cards_.resize(n);
    for (size_t g = 0; g < generations_.size(); ++g) {
        const auto& row = generations_[g];
        const qreal left = (qreal(widest) - qreal(row.size())) * kColumn / 2;
        for (size_t k = 0; k < row.size(); ++k) {
            auto* card = new TTreeCard(this, row[k]);
            card->setPos(left + qreal(k) * kColumn, qreal(g) * kRow);
            scene_->addItem(card);
            cards_[size_t(row[k])] = card;
        }
    }
    scene_->setSceneRect(scene_->itemsBoundingRect().adjusted(-40, -40, 40, 40));
    if (n > 0) {
        cards_[0]->setFocus();
        centerOn(cards_[0]);
    }
}

QRect TFamilyTreeView::CardRect(int card) const
{
    return mapFromScene(cards_[size_t(card)]->sceneBoundingRect()).boundingRect();
}

int TFamilyTreeView::FocusedCard() const
{
    return focused_ >= 0 && focused_ < CardCount() && cards_[size_t(focused_)]->hasFocus() ? focused_ : -1;
}

void TFamilyTreeView::FocusCard(int card)
{
    if (card >= 0 && card < CardCount()) {
        setFocus();
        cards_[size_t(card)]->setFocus();
    }
}

void TFamilyTreeView::Step(int card, int key)
{
    int to = -1;
    const auto& row = generations_[size_t(generationOf_[size_t(card)] - firstGeneration_)];
    const int place = placeInGeneration_[size_t(card)];
    if (key == Qt::Key_Up && !parents_[size_t(card)].empty())
        to = parents_[size_t(card)].front();
    else if (key == Qt::Key_Down && !children_[size_t(card)].empty())
        to = children_[size_t(card)].front();
    else if (key == Qt::Key_Left && place > 0)
        to = row[size_t(place - 1)];
    else if (key == Qt::Key_Right && place + 1 < int(row.size()))
        to = row[size_t(place + 1)];
    else if (key == Qt::Key_Home)
        to = 0;
    FocusCard(to);
}

QImage TFamilyTreeView::Photo(int card)
{
    return photo_ ? photo_(card) : QImage();
}

bool TFamilyTreeView::focusNextPrevChild(bool next)
{
    // Tab goes through the cards in order (the creature, its ancestors, then
    // its descendants); past the last one it leaves the tree.
    const int card = FocusedCard();
    const int to = card + (next ? 1 : -1);
    if (card >= 0 && to >= 0 && to < CardCount()) {
        FocusCard(to);
        return true;
    }
    return QGraphicsView::focusNextPrevChild(next);
}

void TFamilyTreeView::ZoomBy(double factor)
{
    const double now = transform().m11();
    if ((factor > 1 && now < 4) || (factor < 1 && now > 0.02))
        scale(factor, factor);
}

void TFamilyTreeView::ZoomToFit()
{
    fitInView(scene_->sceneRect(), Qt::KeepAspectRatio);
    if (transform().m11() > 1)
        setTransform(QTransform());
}

void TFamilyTreeView::drawBackground(QPainter* painter, const QRectF& exposed)
{
    QGraphicsView::drawBackground(painter, exposed);
    painter->setPen(QPen(palette().color(QPalette::Mid), 1.5));
    for (size_t child = 0; child < cards_.size(); ++child) {
        const QPointF from = cards_[child]->pos() + QPointF(kCardWidth / 2, 0);
        for (int parent : parents_[child]) {
            const QPointF to = cards_[size_t(parent)]->pos() + QPointF(kCardWidth / 2, kCardHeight);
            if (!QRectF(from, to).normalized().adjusted(-2, -2, 2, 2).intersects(exposed))
                continue;
            const qreal middle = (from.y() + to.y()) / 2;
            const QPointF path[] = {from, {from.x(), middle}, {to.x(), middle}, to};
            painter->drawPolyline(path, 4);
        }
    }
}

void TFamilyTreeView::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        ZoomBy(std::pow(1.0015, event->angleDelta().y()));
        event->accept();
    } else {
        QGraphicsView::wheelEvent(event);
    }
}

// ---------------------------------------------------------------- the window

TFamilyTree::TFamilyTree(QWidget* parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::TFamilyTree>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->ZoomIn, &QToolButton::clicked, this, [this] { ui->TreeView->ZoomBy(1.25); });
    connect(ui->ZoomOut, &QToolButton::clicked, this, [this] { ui->TreeView->ZoomBy(0.8); });
    connect(ui->ZoomFit, &QToolButton::clicked, this, [this] { ui->TreeView->ZoomToFit(); });
    connect(ui->ZoomActual, &QToolButton::clicked, this, [this] { ui->TreeView->setTransform(QTransform()); });
    connect(ui->TreeView, &TFamilyTreeView::CardActivated, this, [this](int card) {
        const QByteArray& file = ui->TreeView->Face(card).FileName;
        if (!file.isEmpty())
            emit CreatureChosen(file);
    });
}

TFamilyTree::~TFamilyTree() = default;

void TFamilyTree::Show(const QString& creature, const TLineageTree& tree, std::vector<TCardFace> faces,
                       std::function<QImage(int)> photo)
{
    setWindowTitle(tr("Family Tree of %1").arg(creature));
    ui->TreeView->Show(tree, std::move(faces), std::move(photo));
    ui->Summary->setText(tr("%n people: ancestors above, descendants below. Double-click a card (or press Enter) to "
                            "select the creature in the list.", nullptr, int(tree.People.size())));
}

TFamilyTreeView* TFamilyTree::View() const
{
    return ui->TreeView;
}
