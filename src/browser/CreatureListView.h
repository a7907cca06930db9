// The list of creatures as the main window shows it: every column as wide
// as its caption (the last takes the rest), a cut text shown whole as its
// tooltip, the first arrow key selecting the first row, a pop-up menu, and
// a selection that follows its creature through every refill.
#pragma once

#include <QTreeView>

class CreatureListModel;
class QMenu;
class QSortFilterProxyModel;

class CreatureListView : public QTreeView {
    Q_OBJECT
public:
    explicit CreatureListView(QWidget* parent = nullptr);

    // Shows `shown`, a filter over `all`; rows are the model's (all's) rows.
    void setModels(CreatureListModel* all, QSortFilterProxyModel* shown);
    // The pop-up menu's commands; an action's "popupText" property is its
    // text there (the main menu may name it otherwise).
    void setContextActions(const QList<QAction*>& actions);
    QMenu* contextMenu() const { return menu_; }

    // The selected creature's row in the model, or -1.
    int selectedRow() const;
    // Selects the model's row and brings it into view; false when the filter
    // hides it.
    bool selectRow(int row);
    // The view's index of a model row (invalid when filtered out).
    QModelIndex viewIndex(int row, int column = 0) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitColumns();

    CreatureListModel* all_ = nullptr;
    QSortFilterProxyModel* shown_ = nullptr;
    QMenu* menu_ = nullptr;
    QByteArray selectedFile_;  // the selected creature's record, kept through refills
};
