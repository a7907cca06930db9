#include "browser/FindFilter.h"

#include "browser/EntryRecords.h"

TFindFilter::TFindFilter(TEntryRecords* records, QObject* parent) : QSortFilterProxyModel(parent), records_(records)
{
    setSourceModel(records);
    setDynamicSortFilter(false);
}

void TFindFilter::SetText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    invalidateRowsFilter();
}

bool TFindFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return text_.isEmpty() || records_->Matches(sourceRow, text_);
}
