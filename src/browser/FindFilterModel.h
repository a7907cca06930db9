// The find bar's filter between the list's model and its view. The model
// keeps every creature in scan order (row i is record i); the filter only
// hides rows, never sorts them, and the commands map the view's row back to
// the model's.
#pragma once

#include <QSortFilterProxyModel>

class CreatureListModel;

class FindFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit FindFilterModel(CreatureListModel* records, QObject* parent = nullptr);

    // Shows the rows whose name, moniker, parents' names or monikers, owner
    // name or epitaph hold the text (letter case ignored); all rows for an
    // empty text.
    void setText(const QString& text);
    const QString& text() const { return text_; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    CreatureListModel* records_;
    QString text_;
};
