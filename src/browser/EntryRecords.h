// The record list and the rows of the entry list are one model: row i is
// record i by construction, and a row's texts and image index are fixed when
// it is filled. Removing a row removes its record in the same call.
#pragma once

#include "history/CreatureFiles.h"
#include "history/unitConvertDateTime.h"
#include "history/unitHistoryClass.h"
#include "platform/FileSystem.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>
#include <array>
#include <memory>
#include <vector>

inline constexpr int kEntryColumns = 7;

struct TEntryRow {
    std::array<QString, kEntryColumns> Texts;
    int ImageIndex = 0;
};

// One creature of the list: its record, the row that shows it, and what its
// file was when it was read (a save checks the file is still that one).
struct TEntry {
    THistoryEntry Record;
    TEntryRow Row;
    TFileIdentity Loaded;
};

// The seven column texts of a record (the image index is left 0).
TEntryRow FormatEntryRow(const THistoryEntry& entry, const TDateTimeNames& names);

class TEntryRecords : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TEntryRecords(QList<QPixmap> images, QObject* parent = nullptr);
    ~TEntryRecords() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int Count() const { return static_cast<int>(entries_.size()); }
    THistoryEntry& Record(int row) { return entries_.at(size_t(row)).Record; }
    const TFileIdentity& Loaded(int row) const { return entries_.at(size_t(row)).Loaded; }
    int ImageIndex(int row) const { return entries_.at(size_t(row)).Row.ImageIndex; }
    void SetImageIndex(int row, int imageIndex);

    // Appends the entries, in order, in one insertion.
    void Append(std::vector<TEntry> entries);
    // Removes the record and its row at that position.
    void Remove(int row);
    // Removes every row and frees every record.
    void Clear();

    static const std::array<const char*, kEntryColumns> Captions;

private:
    QList<QPixmap> images_;
    std::vector<TEntry> entries_;
};
