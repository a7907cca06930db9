#include "browser/FamilyTreeWindow.h"

#include "browser/HistoryController.h"
#include "history/CreatureFiles.h"
#include "platform/TextCodec.h"
#include "sprites/SpriteImage.h"
#include "ui_FamilyTreeWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionGraphicsItem>
#include <QShortcut>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

namespace {

constexpr qreal kCardWidth = 230, kCardHeight = 100, kColumn = 250, kRow = 146, kPhoto = 64;
constexpr double kSmallest = 0.02, kLargest = 4;  // the zoom's bounds

}  // namespace

// ---------------------------------------------------------------- a card

class TreeCard : public QGraphicsItem {
public:
    TreeCard(FamilyTreeView* view, int index) : view_(view), index_(index)
    {
        // Focusable, not selectable: a press on a card leaves the drag to
        // the view, which pans.
        setFlags(ItemIsFocusable);
    }

    QRectF boundingRect() const override { return {0, 0, kCardWidth, kCardHeight}; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        const QPalette palette = view_->palette();
        if (QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform()) < 0.35) {
            // Too small to read: the card's outline, its texts unasked.
            painter->setPen(hasFocus() ? palette.color(QPalette::Highlight) : palette.color(QPalette::Mid));
            painter->setBrush(index_ == 0 ? palette.color(QPalette::AlternateBase) : palette.color(QPalette::Base));
            painter->drawRect(boundingRect());
            return;
        }
        const CardFace& face = view_->face(index_);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(hasFocus() ? palette.color(QPalette::Highlight) : palette.color(QPalette::Mid),
                             hasFocus() ? 3 : 1, face.outside ? Qt::DashLine : Qt::SolidLine));
        painter->setBrush(index_ == 0 ? palette.color(QPalette::AlternateBase) : palette.color(QPalette::Base));
        painter->drawRoundedRect(boundingRect().adjusted(1, 1, -1, -1), 6, 6);
        const QImage& shown = view_->photo(index_);
        qreal right = kCardWidth - 8;
        if (!shown.isNull()) {
            const QRectF box(kCardWidth - kPhoto - 10, (kCardHeight - kPhoto) / 2, kPhoto, kPhoto);
            painter->fillRect(box, Qt::black);
            painter->drawImage(QPointF(box.x() + (kPhoto - shown.width()) / 2, box.y() + (kPhoto - shown.height()) / 2),
                               shown);
            right = box.left() - 6;
        }
        if (!face.icon.isNull())
            painter->drawPixmap(QPointF(8, 8), face.icon);
        painter->setPen(palette.color(QPalette::Text));
        QFont bold = painter->font();
        bold.setBold(true);
        painter->setFont(bold);
        const QFontMetrics boldMetrics(bold);
        painter->drawText(QRectF(30, 6, right - 30, 20), Qt::AlignLeft | Qt::AlignVCenter,
                          boldMetrics.elidedText(face.name, Qt::ElideRight, int(right - 30)));
        bold.setBold(false);
        painter->setFont(bold);
        const QFontMetrics metrics(bold);
        QString moniker = face.moniker;
        if (face.sharedMoniker)
            moniker += QLatin1Char(' ') + FamilyTreeWindow::tr("(moniker used twice)");
        if (face.outside)
            moniker += QLatin1Char(' ') + FamilyTreeWindow::tr("(not in the history)");
        painter->drawText(QRectF(8, 30, right - 8, 20), Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(moniker, Qt::ElideRight, int(right - 8)));
        // The life span in up to three lines: beside a photo it needs them.
        painter->drawText(QRectF(8, 50, right - 8, kCardHeight - 54), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                          face.life);
    }

protected:
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent*) override { view_->activate(index_); }

public:
    int index() const { return index_; }

    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            view_->activate(index_);
            break;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
            view_->step(index_, event->key());
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
    FamilyTreeView* view_;
    int index_;
};

// ---------------------------------------------------------------- accessibility

namespace {

// Where a card stands from the creature, in words.
QString relationText(int generation)
{
    switch (generation) {
    case 0: return FamilyTreeWindow::tr("the creature itself");
    case -1: return FamilyTreeWindow::tr("parent");
    case 1: return FamilyTreeWindow::tr("child");
    case -2: return FamilyTreeWindow::tr("grandparent");
    case 2: return FamilyTreeWindow::tr("grandchild");
    default:
        return generation < 0 ? FamilyTreeWindow::tr("ancestor, %n generations up", nullptr, -generation)
                              : FamilyTreeWindow::tr("descendant, %n generations down", nullptr, generation);
    }
}

// Graphics items have no accessible interface of their own: the tree tells a
// screen reader about its cards as its children.
class CardAccessible : public QAccessibleInterface {
public:
    CardAccessible(FamilyTreeView* view, int card) : view_(view), card_(card) {}

    bool isValid() const override { return view_ && card_ < view_->cardCount(); }
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
        const CardFace& face = view_->face(card_);
        if (t == QAccessible::Name)
            return QStringLiteral("%1 (%2)").arg(face.name, face.moniker);
        if (t == QAccessible::Description) {
            const QString relation = relationText(view_->generation(card_));
            return face.outside ? relation + QStringLiteral(", ") + FamilyTreeWindow::tr("not in the history")
                                : relation + QStringLiteral(", ") + face.life + QStringLiteral(", ") + face.iconDescription;
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = view_->cardRect(card_);
        return QRect(view_->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.focusable = true;
        s.selectable = true;
        s.focused = isValid() && view_->focusedCard() == card_;
        return s;
    }

private:
    QPointer<FamilyTreeView> view_;
    int card_;
};

class FamilyTreeAccessible : public QAccessibleWidget {
public:
    explicit FamilyTreeAccessible(FamilyTreeView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~FamilyTreeAccessible() override
    {
        // The cards' interfaces have no object whose end would remove them.
        for (QAccessible::Id id : cards_)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    FamilyTreeView* view() const { return static_cast<FamilyTreeView*>(widget()); }
    int childCount() const override { return view()->cardCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (cards_.size() < size_t(childCount()))
            cards_.resize(size_t(childCount()), 0);
        QAccessible::Id& id = cards_[size_t(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new CardAccessible(view(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (size_t i = 0; i < cards_.size(); ++i)
            if (cards_[i] && QAccessible::accessibleInterface(cards_[i]) == child)
                return int(i);
        return -1;
    }
    QAccessibleInterface* focusChild() const override { return view()->focusedCard() >= 0 ? child(view()->focusedCard()) : nullptr; }

private:
    mutable std::vector<QAccessible::Id> cards_;
};

QAccessibleInterface* familyTreeAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("FamilyTreeView") && object && object->isWidgetType())
        return new FamilyTreeAccessible(static_cast<FamilyTreeView*>(object));
    // A window of its own, not a pane of the main window.
    if (className == QLatin1String("FamilyTreeWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- the view

FamilyTreeView::FamilyTreeView(QWidget* parent) : QGraphicsView(parent), scene_(new QGraphicsScene(this))
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(familyTreeAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    // Only the cards in sight are items (see Realize): a few hundred at most,
    // fewer than a spatial index pays for.
    scene_->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(scene_);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setRenderHint(QPainter::Antialiasing);
    setFocusPolicy(Qt::StrongFocus);
}

FamilyTreeView::~FamilyTreeView() = default;

void FamilyTreeView::setTree(const LineageTree& tree, FaceOf face, PhotoOf photo)
{
    for (TreeCard* card : live_)
        delete card;
    live_.clear();
    focused_ = -1;
    const size_t n = tree.people.size();
    faceOf_ = std::move(face);
    faces_.clear();
    faces_.resize(n);
    photoOf_ = std::move(photo);
    photos_.clear();
    photos_.resize(n);
    cards_.assign(n, nullptr);
    place_.assign(n, {});
    parents_.assign(n, {});
    children_.assign(n, {});
    generationOf_.assign(n, 0);
    placeInGeneration_.assign(n, 0);
    int first = 0, last = 0;
    for (const LineagePerson& p : tree.people) {
        first = std::min(first, p.generation);
        last = std::max(last, p.generation);
    }
    firstGeneration_ = first;
    generations_.assign(size_t(last - first + 1), {});
    for (size_t i = 0; i < n; ++i) {
        const LineagePerson& p = tree.people[i];
        generationOf_[i] = p.generation;
        auto& row = generations_[size_t(p.generation - first)];
        placeInGeneration_[i] = static_cast<int>(row.size());
        row.push_back(static_cast<int>(i));
        parents_[i] = p.parents;
        for (int parent : p.parents)
            children_[size_t(parent)].push_back(static_cast<int>(i));
    }
    // Generation by generation from the top, each row centred on the widest.
    size_t widest = 1;
    for (const auto& row : generations_)
        widest = std::max(widest, row.size());
    left_.assign(generations_.size(), 0);
    for (size_t g = 0; g < generations_.size(); ++g) {
        const auto& row = generations_[g];
        left_[g] = (qreal(widest) - qreal(row.size())) * kColumn / 2;
        for (size_t k = 0; k < row.size(); ++k)
            place_[size_t(row[k])] = QPointF(left_[g] + qreal(k) * kColumn, qreal(g) * kRow);
    }
    // How many generations the longest line from a child up to a parent
    // crosses: the lines in sight start at most that far below the sight.
    longestLink_ = 1;
    for (size_t child = 0; child < n; ++child)
        for (int parent : parents_[child])
            longestLink_ = std::max(longestLink_, generationOf_[child] - generationOf_[size_t(parent)]);
    scene_->setSceneRect(QRectF(0, 0, qreal(widest - 1) * kColumn + kCardWidth,
                                qreal(generations_.size() - 1) * kRow + kCardHeight)
                             .adjusted(-40, -40, 40, 40));
    if (n > 0) {
        centerOn(place_[0] + QPointF(kCardWidth / 2, kCardHeight / 2));
        realize();
        cards_[0]->setFocus();
    }
}

std::pair<int, int> FamilyTreeView::generationsIn(const QRectF& area) const
{
    const int count = static_cast<int>(generations_.size());
    const int top = std::clamp(int(std::floor((area.top() - kCardHeight) / kRow)) + 1, 0, count);
    const int bottom = std::clamp(int(std::floor(area.bottom() / kRow)) + 1, 0, count);
    return {top, bottom};
}

std::pair<int, int> FamilyTreeView::placesIn(int generation, const QRectF& area) const
{
    const int count = static_cast<int>(generations_[size_t(generation)].size());
    const qreal left = left_[size_t(generation)];
    const int from = std::clamp(int(std::floor((area.left() - left - kCardWidth) / kColumn)) + 1, 0, count);
    const int to = std::clamp(int(std::floor((area.right() - left) / kColumn)) + 1, 0, count);
    return {from, to};
}

void FamilyTreeView::realize()
{
    if (cards_.empty())
        return;
    // The cards in sight and a margin of a card around them are items of the
    // scene; the rest are only places. A tree of the whole history costs
    // what its visible part does, when it opens and at every step of a pan.
    const QRectF sight = mapToScene(viewport()->rect()).boundingRect().adjusted(-kColumn, -kRow, kColumn, kRow);
    std::vector<TreeCard*> keep;
    for (TreeCard* card : live_) {
        const int index = card->index();
        if (index == focused_ || QRectF(place_[size_t(index)], QSizeF(kCardWidth, kCardHeight)).intersects(sight)) {
            keep.push_back(card);
        } else {
            cards_[size_t(index)] = nullptr;
            delete card;
        }
    }
    live_ = std::move(keep);
    const auto [top, bottom] = generationsIn(sight);
    for (int g = top; g < bottom; ++g) {
        const auto [from, to] = placesIn(g, sight);
        for (int k = from; k < to; ++k)
            cardItem(generations_[size_t(g)][size_t(k)]);
    }
}

TreeCard* FamilyTreeView::cardItem(int index)
{
    TreeCard*& card = cards_[size_t(index)];
    if (!card) {
        card = new TreeCard(this, index);
        card->setPos(place_[size_t(index)]);
        scene_->addItem(card);
        live_.push_back(card);
    }
    return card;
}

QRect FamilyTreeView::cardRect(int card) const
{
    return mapFromScene(QRectF(place_[size_t(card)], QSizeF(kCardWidth, kCardHeight))).boundingRect();
}

const CardFace& FamilyTreeView::face(int card) const
{
    auto& face = faces_[size_t(card)];
    if (!face)
        face = std::make_unique<CardFace>(faceOf_ ? faceOf_(card) : CardFace());
    return *face;
}

int FamilyTreeView::focusedCard() const
{
    return focused_ >= 0 && focused_ < cardCount() && cards_[size_t(focused_)] && cards_[size_t(focused_)]->hasFocus()
               ? focused_
               : -1;
}

void FamilyTreeView::focusCard(int card)
{
    if (card >= 0 && card < cardCount()) {
        setFocus();
        cardItem(card)->setFocus();  // its focus-in brings it into sight
    }
}

void FamilyTreeView::step(int card, int key)
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
    focusCard(to);
}

const QImage& FamilyTreeView::photo(int card)
{
    // Read and shrunk to the card's box once: a card that comes back into
    // sight is drawn without its album being read again.
    std::optional<QImage>& photo = photos_[size_t(card)];
    if (!photo) {
        const QImage read = photoOf_ ? photoOf_(card) : QImage();
        photo = read.isNull() ? read : read.scaled(int(kPhoto), int(kPhoto), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return *photo;
}

bool FamilyTreeView::focusNextPrevChild(bool next)
{
    // Tab goes through the cards in order (the creature, its ancestors, then
    // its descendants); past the last one it leaves the tree.
    const int card = focusedCard();
    const int to = card + (next ? 1 : -1);
    if (card >= 0 && to >= 0 && to < cardCount()) {
        focusCard(to);
        return true;
    }
    return QGraphicsView::focusNextPrevChild(next);
}

void FamilyTreeView::zoomBy(double factor)
{
    const double now = transform().m11();
    if ((factor > 1 && now < kLargest) || (factor < 1 && now > kSmallest))
        scale(factor, factor);
    keepFocusInView(false);
}

void FamilyTreeView::keepFocusInView(bool centre)
{
    // The card last focused (the creature itself before any) stays in sight
    // at every zoom: a keyboard user must not lose their place.
    const int card = focused_ >= 0 && focused_ < cardCount() ? focused_ : 0;
    if (card < cardCount()) {
        const QRectF place(place_[size_t(card)], QSizeF(kCardWidth, kCardHeight));
        if (centre)
            centerOn(place.center());
        else
            ensureVisible(place, 20, 20);
    }
    realize();
}

void FamilyTreeView::zoomToFit()
{
    // No smaller than a card can still be told apart: a tree of thousands of
    // generations is shown from its top, to be panned through.
    fitInView(scene_->sceneRect(), Qt::KeepAspectRatio);
    if (transform().m11() > 1)
        setTransform(QTransform());
    else if (transform().m11() < kSmallest) {
        setTransform(QTransform::fromScale(kSmallest, kSmallest));
        const QRectF sight = mapToScene(viewport()->rect()).boundingRect();
        centerOn(scene_->sceneRect().center().x(), scene_->sceneRect().top() + sight.height() / 2);
    }
    realize();
}

void FamilyTreeView::actualSize()
{
    setTransform(QTransform());
    keepFocusInView(true);
}

void FamilyTreeView::scrollContentsBy(int dx, int dy)
{
    QGraphicsView::scrollContentsBy(dx, dy);
    realize();
}

void FamilyTreeView::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    realize();
}

void FamilyTreeView::drawBackground(QPainter* painter, const QRectF& exposed)
{
    QGraphicsView::drawBackground(painter, exposed);
    if (cards_.empty())
        return;
    painter->setPen(QPen(palette().color(QPalette::Mid), 1.5));
    // A line runs from a child's top up to its parent's bottom: those in
    // sight belong to children in sight or up to the longest line below it.
    auto [top, bottom] = generationsIn(exposed);
    bottom = std::min(bottom + longestLink_, static_cast<int>(generations_.size()));
    for (int g = top; g < bottom; ++g) {
        for (int child : generations_[size_t(g)]) {
            const QPointF from = place_[size_t(child)] + QPointF(kCardWidth / 2, 0);
            for (int parent : parents_[size_t(child)]) {
                const QPointF to = place_[size_t(parent)] + QPointF(kCardWidth / 2, kCardHeight);
                if (!QRectF(from, to).normalized().adjusted(-2, -2, 2, 2).intersects(exposed))
                    continue;
                const qreal middle = (from.y() + to.y()) / 2;
                const QPointF path[] = {from, {from.x(), middle}, {to.x(), middle}, to};
                painter->drawPolyline(path, 4);
            }
        }
    }
}

void FamilyTreeView::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        // Around the pointer, as a wheel zooms anywhere.
        const double now = transform().m11(), factor = std::pow(1.0015, event->angleDelta().y());
        if ((factor > 1 && now < kLargest) || (factor < 1 && now > kSmallest)) {
            const ViewportAnchor anchor = transformationAnchor();
            setTransformationAnchor(AnchorUnderMouse);
            scale(factor, factor);
            setTransformationAnchor(anchor);
        }
        realize();
        event->accept();
    } else {
        QGraphicsView::wheelEvent(event);
    }
}

// ---------------------------------------------------------------- the window

FamilyTreeWindow::FamilyTreeWindow(HistoryController* controller, QWidget* parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::FamilyTreeWindow>()), controller_(controller)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->zoomInButton, &QToolButton::clicked, this, [this] { ui->treeView->zoomBy(1.25); });
    connect(ui->zoomOutButton, &QToolButton::clicked, this, [this] { ui->treeView->zoomBy(0.8); });
    connect(ui->zoomFitButton, &QToolButton::clicked, this, [this] { ui->treeView->zoomToFit(); });
    connect(ui->actualSizeButton, &QToolButton::clicked, this, [this] { ui->treeView->actualSize(); });
    // The keys of the zoom, the same in every language: a button's own
    // shortcut would be its translated mnemonic, set anew by retranslateUi.
    const std::pair<QList<QKeySequence>, QToolButton*> keys[] = {
        {{QKeySequence(Qt::CTRL | Qt::Key_Minus)}, ui->zoomOutButton},
        {{QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, ui->zoomInButton},
        {{QKeySequence(Qt::CTRL | Qt::Key_0)}, ui->actualSizeButton}};
    for (const auto& [sequences, button] : keys)
        for (const QKeySequence& sequence : sequences)
            connect(new QShortcut(sequence, this), &QShortcut::activated, button, &QToolButton::click);
    for (const QKeySequence& sequence : {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)})
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, &QWidget::close);
    connect(ui->treeView, &FamilyTreeView::cardActivated, this, [this](int card) {
        const QByteArray& file = ui->treeView->face(card).fileName;
        if (!file.isEmpty())
            emit creatureChosen(file);
    });
    connect(controller_, &HistoryController::refilled, this, &FamilyTreeWindow::redraw);
    connect(controller_->model(), &QAbstractItemModel::rowsRemoved, this, &FamilyTreeWindow::redraw);
    connect(controller_->model(), &QAbstractItemModel::dataChanged, this, &FamilyTreeWindow::redraw);
}

FamilyTreeWindow::~FamilyTreeWindow() = default;

FamilyTreeWindow* FamilyTreeWindow::open(HistoryController* controller, int row, QWidget* parent)
{
    auto* window = new FamilyTreeWindow(controller, parent);
    window->focalFile_ = controller->model()->fileNameOf(row);
    window->redraw();
    window->show();
    // The keyboard starts on the creature's own card.
    window->ui->treeView->focusCard(0);
    return window;
}

FamilyTreeView* FamilyTreeWindow::view() const
{
    return ui->treeView;
}

void FamilyTreeWindow::redraw()
{
    const CreatureListModel* model = controller_->model();
    const int row = model->rowOfFile(focalFile_);
    if (row < 0) {
        close();
        return;
    }
    const int focused = ui->treeView->focusedCard();
    const QByteArray focusedFile = focused >= 0 ? ui->treeView->face(focused).fileName : QByteArray();
    // A card's texts and photo are made when the card is first drawn or
    // spoken: a tree of the whole history opens at once.
    auto tree = std::make_shared<const LineageTree>(buildLineageTree(controller_->lineage(), row, [model](int r, int which) {
        const HistoryRecord record = model->readRecord(r);
        return decodeText(which == 1 ? record.parent1Name : record.parent2Name);
    }));
    ui->treeView->setTree(
        *tree, [this, tree](int card) { return faceOf(*tree, card); }, [this, tree](int card) { return photoOf(*tree, card); });
    setWindowTitle(tr("Family Tree of %1").arg(ui->treeView->face(0).name));
    ui->summaryLabel->setText(tr("%n people: ancestors above, descendants below. Double-click a card (or press Enter) to "
                                 "select the creature in the list.",
                                 nullptr, int(tree->people.size())));
    for (int card = 0; !focusedFile.isEmpty() && card < ui->treeView->cardCount(); ++card)
        if (tree->people[size_t(card)].row >= 0 && model->fileNameOf(tree->people[size_t(card)].row) == focusedFile) {
            ui->treeView->focusCard(card);
            break;
        }
}

CardFace FamilyTreeWindow::faceOf(const LineageTree& tree, int card) const
{
    const CreatureListModel* model = controller_->model();
    const LineagePerson& person = tree.people[size_t(card)];
    CardFace face;
    face.moniker = monikerDisplayText(person.moniker);
    face.sharedMoniker = person.sharedMoniker;
    if (person.row < 0 || person.row >= model->count()) {
        face.name = person.name;
        face.outside = true;
        return face;
    }
    const Badges& badges = model->badges(person.row);
    face.icon = model->badgeImage(badges);
    face.iconDescription = CreatureListModel::describe(badges);
    face.fileName = model->fileNameOf(person.row);
    try {
        const CreatureListModel::RowTexts texts = model->rowTexts(person.row);
        face.name = texts[CreatureListModel::NameColumn];
        face.life = texts[CreatureListModel::LifeColumn];
    } catch (const std::exception&) {
        face.name = face.moniker;  // a card is never left without a name
    }
    return face;
}

QImage FamilyTreeWindow::photoOf(const LineageTree& tree, int card) const
{
    const CreatureListModel* model = controller_->model();
    const int row = tree.people[size_t(card)].row;
    if (row < 0 || row >= model->count() || !model->badges(row).album)
        return {};
    try {
        const HistoryRecord record = model->readRecord(row);
        if (record.gravestoneIndex < 0)
            return {};
        Album album(controller_->filesOf(row).album);
        return album.photo(record.gravestoneIndex);
    } catch (const std::exception&) {
        return {};  // a card is drawn without the photo it cannot show
    }
}
