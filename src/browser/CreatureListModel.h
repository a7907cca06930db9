// The list of creatures: one row per history record of the fill, in the
// order the folder lists them. Row i is record i by construction; a filter
// or another view sits on top and maps back to these rows.
//
// The model keeps each creature as the fill read it: its file's bytes (in
// the scan's arena), its badges and what its file was. A row's texts are
// made from those bytes when a view asks for them, so they stay what they
// were at the fill whatever becomes of the record later; the record itself
// is made from them when a command first asks for it. A list of 100,000
// creatures so holds little more than its files' bytes.
#pragma once

#include "history/CreatureFiles.h"
#include "history/HistoryRecord.h"
#include "history/HistoryScan.h"
#include "history/TimeStamps.h"
#include "platform/FileSystem.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>
#include <array>
#include <memory>
#include <vector>

// The names of the locale for the life-span column, English where it has none.
DateTimeNames localeDateTimeNames();

// The list's words for a species and a gender code (a code without one as
// its number).
QString speciesText(std::int32_t species);
QString genderText(std::int32_t gender);

class CreatureListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, MonikerColumn, SpeciesColumn, GenderColumn, ParentsColumn, LifeColumn, StateColumn, ColumnCount };

    // A row's texts, by column.
    struct RowTexts {
        std::array<QString, ColumnCount> texts;
        const QString& operator[](Column column) const { return texts[size_t(column)]; }
    };

    // The texts a row of this record shows.
    static RowTexts format(const HistoryRecord& record, const DateTimeNames& names);
    // What a row's icon shows, in words ("dead, has a photo album, has a
    // genetics file"): its accessible description and its tooltip. Empty for
    // badges that show no icon.
    static QString describe(const Badges& badges);
    static const std::array<const char*, ColumnCount> captions;

    CreatureListModel(QList<QPixmap> images, DateTimeNames names, QObject* parent = nullptr);
    ~CreatureListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int count() const { return static_cast<int>(scanned_.size()); }
    // The row's texts as the fill read them.
    RowTexts rowTexts(int row) const;
    // The record's fields as the fill read them.
    HistoryRecord readRecord(int row) const;
    // The record a command works on, made from the bytes read at the fill
    // on first use; an edit that could not be saved stays in it for another
    // try.
    HistoryRecord& record(int row);
    // What the record's file was when it was read.
    const FileIdentity& loaded(int row) const { return scanned_.at(size_t(row)).loaded; }
    const Badges& badges(int row) const { return scanned_.at(size_t(row)).badges; }
    void setBadges(int row, const Badges& badges);
    // The picture of a row's badges (a null one where there is none).
    QPixmap badgeImage(const Badges& badges) const;
    // Whether the creature's name, moniker, parents' names or monikers,
    // owner name or epitaph (as the fill read them) hold the text, letter
    // case ignored.
    bool matches(int row, const QString& text) const;
    // Every record's moniker, parents' monikers and state, in row order.
    std::vector<RecordKey> keys() const;
    // Every record's figures for the statistics, in row order.
    std::vector<RecordFigures> figures() const;
    // The file a row was read from; the row of a file (-1 when none).
    QByteArray fileNameOf(int row) const;
    int rowOfFile(const QByteArray& fileName) const;

    // Replaces every row by a scan's records, in order, in one reset.
    void reset(HistoryScan scan);
    // Removes the record and its row at that position.
    void remove(int row);
    // The rows as their scan found them, for a rebuild that reads again
    // only what changed since.
    EarlierScan earlierScan() const { return {directory_, scanned_, scannedAtNs_}; }

private:

    QList<QPixmap> images_;
    DateTimeNames names_;
    QByteArray directory_;             // where the names of this fill are
    std::unique_ptr<ByteArena> arena_;  // the bytes and names of this fill
    std::vector<ScannedRecord> scanned_;                  // by row
    std::vector<std::unique_ptr<HistoryRecord>> records_;  // by row, made on first use
    qint64 scannedAtNs_ = 0;
    // The texts of the row last asked for: a view asks for a row's columns
    // one after another.
    mutable int cachedRow_ = -1;
    mutable RowTexts cached_;
};
