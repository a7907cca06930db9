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
#include "history/TimeStamps.h"
#include "history/HistoryRecord.h"
#include "platform/FileSystem.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>
#include <array>
#include <memory>
#include <vector>

inline constexpr int kEntryColumns = 7;

struct CreatureRow {
    std::array<QString, kEntryColumns> texts;
};

// The seven column texts of a record.
CreatureRow formatEntryRow(const HistoryRecord& entry, const DateTimeNames& names);

// What a row's icon shows, in words ("dead, has a photo album, has a
// genetics file"): its accessible description and its tooltip. Empty for an
// index that shows no icon.
QString imageDescription(int imageIndex);

class CreatureListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    CreatureListModel(QList<QPixmap> images, DateTimeNames names, QObject* parent = nullptr);
    ~CreatureListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int count() const { return static_cast<int>(entries_.size()); }
    // The record of a row, made from the bytes read at the fill on first use.
    HistoryRecord& record(int row);
    const FileIdentity& loaded(int row) const { return entries_.at(size_t(row)).scanned.loaded; }
    int imageIndex(int row) const { return entries_.at(size_t(row)).scanned.imageIndex; }
    void setImageIndex(int row, int imageIndex);
    // The row's texts as the fill read them.
    CreatureRow rowTexts(int row) const;
    // The texts a row of this record shows (for a record already read).
    CreatureRow rowTexts(const HistoryRecord& record) const;
    // Whether the creature's name, moniker, parents' names or monikers,
    // owner name or epitaph (as the fill read them) hold the text, letter
    // case ignored.
    bool matches(int row, const QString& text) const;
    // The record's fields as the fill read them (not as an edit that has not
    // been saved may have changed them).
    HistoryRecord readRecord(int row) const;
    // Every record's moniker, parents' monikers and state, in row order.
    std::vector<RecordKey> keys() const;
    // The file a row was read from; the row of a file (-1 when none).
    QByteArray fileNameOf(int row) const;
    int rowOfFile(const QByteArray& fileName) const;
    // The picture of an image index (a null one where there is none).
    QPixmap image(int imageIndex) const;

    // Takes a scan's records as rows, in order, in one insertion.
    void append(HistoryScan scan);
    // Removes the record and its row at that position.
    void remove(int row);
    // Removes every row and frees every record.
    void clear();

    static const std::array<const char*, kEntryColumns> Captions;

private:
    struct Entry {
        ScannedRecord scanned;
        const QByteArray* directory = nullptr;   // of the scan it came from
        std::unique_ptr<HistoryRecord> record;  // made on first use
    };
    struct ScanStore {
        QByteArray directory;
        std::unique_ptr<ByteArena> arena;
    };

    QList<QPixmap> images_;
    DateTimeNames names_;
    std::vector<std::unique_ptr<ScanStore>> scans_;
    std::vector<Entry> entries_;
    // The texts of the row last asked for: a view asks for a row's columns
    // one after another.
    mutable int cachedRow_ = -1;
    mutable CreatureRow cached_;
};
