// The record list and the rows of the entry list are one model: row i is
// record i by construction, and removing a row removes its record in the
// same call.
//
// The model keeps each creature as the fill read it: its file's bytes (in
// the scan's arena), its row's image index and what its file was. A row's
// texts are made from those bytes when the view asks for them, so they stay
// what they were at the fill whatever becomes of the record later; the
// record itself is made from them when a command first asks for it. A list
// of 100,000 creatures so holds little more than its files' bytes.
#pragma once

#include "history/CreatureFiles.h"
#include "history/HistoryScan.h"
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
};

// The seven column texts of a record.
TEntryRow FormatEntryRow(const THistoryEntry& entry, const TDateTimeNames& names);

// What a row's icon shows, in words ("dead, has a photo album, has a
// genetics file"): its accessible description and its tooltip. Empty for an
// index that shows no icon.
QString ImageDescription(int imageIndex);

class TEntryRecords : public QAbstractTableModel {
    Q_OBJECT
public:
    TEntryRecords(QList<QPixmap> images, TDateTimeNames names, QObject* parent = nullptr);
    ~TEntryRecords() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int Count() const { return static_cast<int>(entries_.size()); }
    // The record of a row, made from the bytes read at the fill on first use.
    THistoryEntry& Record(int row);
    const TFileIdentity& Loaded(int row) const { return entries_.at(size_t(row)).Scanned.Loaded; }
    int ImageIndex(int row) const { return entries_.at(size_t(row)).Scanned.ImageIndex; }
    void SetImageIndex(int row, int imageIndex);
    // The row's texts as the fill read them.
    TEntryRow RowTexts(int row) const;
    // The texts a row of this record shows (for a record already read).
    TEntryRow RowTexts(const THistoryEntry& record) const;
    // Whether the creature's name, moniker, parents' names or monikers,
    // owner name or epitaph (as the fill read them) hold the text, letter
    // case ignored.
    bool Matches(int row, const QString& text) const;
    // The record's fields as the fill read them (not as an edit that has not
    // been saved may have changed them).
    THistoryEntry ReadRecord(int row) const;
    // Every record's moniker, parents' monikers and state, in row order.
    std::vector<TRecordKey> Keys() const;
    // The file a row was read from; the row of a file (-1 when none).
    QByteArray FileNameOf(int row) const;
    int RowOfFile(const QByteArray& fileName) const;
    // The picture of an image index (a null one where there is none).
    QPixmap Image(int imageIndex) const;

    // Takes a scan's records as rows, in order, in one insertion.
    void Append(THistoryScan scan);
    // Removes the record and its row at that position.
    void Remove(int row);
    // Removes every row and frees every record.
    void Clear();

    static const std::array<const char*, kEntryColumns> Captions;

private:
    struct TEntry {
        TScannedRecord Scanned;
        const QByteArray* Directory = nullptr;   // of the scan it came from
        std::unique_ptr<THistoryEntry> Record;  // made on first use
    };
    struct TScanStore {
        QByteArray Directory;
        std::unique_ptr<TByteArena> Arena;
    };

    QList<QPixmap> images_;
    TDateTimeNames names_;
    std::vector<std::unique_ptr<TScanStore>> scans_;
    std::vector<TEntry> entries_;
    // The texts of the row last asked for: a view asks for a row's columns
    // one after another.
    mutable int cachedRow_ = -1;
    mutable TEntryRow cached_;
};
