#include "browser/CutTextTipDelegate.h"

#include "browser/PlainText.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

bool CutTextTipDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                    const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // Over a row's icon: what the icon shows.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString description = index.data(Qt::AccessibleDescriptionRole).toString();
    if (!description.isEmpty() && (item.features & QStyleOptionViewItem::HasDecoration)) {
        QStyle* style = view->style();
        if (style->subElementRect(QStyle::SE_ItemViewItemDecoration, &item, view).contains(event->pos())) {
            QToolTip::showText(event->globalPos(), plainToolTip(description), view->viewport(), option.rect);
            return true;
        }
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty() && sizeHint(option, index).width() > option.rect.width())
        QToolTip::showText(event->globalPos(), plainToolTip(text), view->viewport(), option.rect);
    else
        QToolTip::hideText();
    return true;
}
