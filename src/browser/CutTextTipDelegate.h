// Draws cells as usual; a cell whose text does not fit shows the whole text
// as its tooltip (and a cell that fits shows none), and a row's icon says
// in words what it shows.
#pragma once

#include <QStyledItemDelegate>

class CutTextTipDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};
