// The record list and the rows of the entry list are one model: row i is
// record i by construction, and a row's texts and image index are fixed when
// it is filled. Removing a row removes its record in the same call.
#pragma once

#include "unitConvertDateTime.h"
#include "unitHistoryClass.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>
#include <array>
#include <memory>
#include <vector>

inline constexpr int kEntryColumns = 7;

// Image index flags: the album and the genetics file existed at the fill.
inline constexpr int kAlbumFlag = 2;
inline constexpr int kGeneticsFlag = 4;
inline constexpr int kExportedImage = 8;

struct TEntryRow {
    std::array<QString, kEntryColumns> Texts;
    int ImageIndex = 0;
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

    int Count() const { return static_cast<int>(records_.size()); }
    THistoryEntry& Record(int row) { return *records_.at(size_t(row)); }
    const TEntryRow& Row(int row) const { return rows_.at(size_t(row)); }
    int ImageIndex(int row) const { return rows_.at(size_t(row)).ImageIndex; }
    void SetImageIndex(int row, int imageIndex);

    // Appends records with their rows, in order, in one insertion.
    void Append(std::vector<std::unique_ptr<THistoryEntry>> records, std::vector<TEntryRow> rows);
    // Removes the record and its row at that position.
    void Remove(int row);
    // Removes every row and frees every record.
    void Clear();

    static const std::array<const char*, kEntryColumns> Captions;

private:
    QList<QPixmap> images_;
    std::vector<std::unique_ptr<THistoryEntry>> records_;
    std::vector<TEntryRow> rows_;
};
