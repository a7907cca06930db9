#include "browser/CreatureListView.h"

#include "browser/CreatureListModel.h"
#include "browser/CutTextTipDelegate.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <algorithm>

CreatureListView::CreatureListView(QWidget* parent) : QTreeView(parent)
{
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    setItemDelegate(new CutTextTipDelegate(this));
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("creatureListMenu"));
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { menu_->popup(viewport()->mapToGlobal(pos)); });
}

void CreatureListView::setModels(CreatureListModel* all, QSortFilterProxyModel* shown)
{
    all_ = all;
    shown_ = shown;
    setModel(shown);
    fitColumns();
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const int row = selectedRow();
        selectedFile_ = row >= 0 ? all_->fileNameOf(row) : QByteArray();
    });
    // A refill keeps the creature selected, and in view, while it exists.
    connect(all, &QAbstractItemModel::modelReset, this, [this] {
        if (!selectedFile_.isEmpty() && !selectRow(all_->rowOfFile(selectedFile_)))
            selectedFile_.clear();
    });
}

void CreatureListView::setContextActions(const QList<QAction*>& actions)
{
    menu_->clear();
    for (QAction* action : actions) {
        if (action)
            menu_->addAction(action);
        else
            menu_->addSeparator();
    }
    // One action per command, named in the pop-up as it is named there.
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        for (QAction* action : menu_->actions())
            if (const QString popup = action->property("popupText").toString(); !popup.isEmpty()) {
                action->setProperty("menuText", action->text());
                action->setText(popup);
            }
    });
    connect(menu_, &QMenu::aboutToHide, this, [this] {
        for (QAction* action : menu_->actions())
            if (const QVariant text = action->property("menuText"); text.isValid()) {
                action->setText(text.toString());
                action->setProperty("menuText", QVariant());
            }
    });
}

int CreatureListView::selectedRow() const
{
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return selected.isEmpty() ? -1 : shown_->mapToSource(selected.first()).row();
}

QModelIndex CreatureListView::viewIndex(int row, int column) const
{
    return shown_->mapFromSource(all_->index(row, column));
}

bool CreatureListView::selectRow(int row)
{
    if (row < 0 || row >= all_->count() || !viewIndex(row).isValid())
        return false;
    const QModelIndex index = viewIndex(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
    return true;
}

void CreatureListView::fitColumns()
{
    // Each column as wide as its caption, the last taking the rest: all
    // seven stay in view at the window's design size, however long a
    // creature's texts are (a cut text shows whole as the cell's tooltip).
    // A caption much shorter in the user's language than its texts (German
    // "Art" over every species) gets at least the English caption's width.
    const QFontMetrics metrics(header()->font());
    for (int c = 0; c < CreatureListModel::ColumnCount - 1; ++c) {
        const int hint = header()->sectionSizeHint(c);
        const QString shown = all_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const int english = hint - metrics.horizontalAdvance(shown) + metrics.horizontalAdvance(QLatin1String(CreatureListModel::captions[size_t(c)]));
        header()->resizeSection(c, std::max(hint, english));
    }
}

void CreatureListView::keyPressEvent(QKeyEvent* event)
{
    // Qt makes the first row current, but not selected, when the list gets
    // the focus; Down would then select the second row and Home nothing. The
    // first step into a list without a selection selects the first row.
    const int key = event->key();
    // Shift+F10 opens the pop-up menu, as the Menu key does.
    if (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QRect cell = visualRect(currentIndex());
        menu_->popup(viewport()->mapToGlobal(cell.isValid() ? cell.center() : QPoint(0, 0)));
        return;
    }
    if (model() && model()->rowCount() > 0 && !selectionModel()->hasSelection()
        && (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_Home || key == Qt::Key_PageUp)) {
        selectionModel()->setCurrentIndex(model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    QTreeView::keyPressEvent(event);
}
