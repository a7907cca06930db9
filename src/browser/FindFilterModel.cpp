#include "browser/FindFilterModel.h"

#include "browser/CreatureListModel.h"

FindFilterModel::FindFilterModel(CreatureListModel* records, QObject* parent) : QSortFilterProxyModel(parent), records_(records)
{
    setSourceModel(records);
    setDynamicSortFilter(false);
}

void FindFilterModel::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    invalidateRowsFilter();
}

bool FindFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return text_.isEmpty() || records_->matches(sourceRow, text_);
}
