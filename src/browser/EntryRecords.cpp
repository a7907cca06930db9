#include "browser/EntryRecords.h"

#include "platform/TextCodec.h"

#include <QCoreApplication>

const std::array<const char*, kEntryColumns> TEntryRecords::Captions = {
    QT_TRANSLATE_NOOP("TEntryRecords", "Name of Creature"), QT_TRANSLATE_NOOP("TEntryRecords", "Moniker"),
    QT_TRANSLATE_NOOP("TEntryRecords", "Species"),          QT_TRANSLATE_NOOP("TEntryRecords", "Gender"),
    QT_TRANSLATE_NOOP("TEntryRecords", "Parents"),          QT_TRANSLATE_NOOP("TEntryRecords", "Life (From -> To)"),
    QT_TRANSLATE_NOOP("TEntryRecords", "State")};

namespace {

QString Translated(const char* text)
{
    return QCoreApplication::translate("TEntryRecords", text);
}

QString SpeciesText(std::int32_t species)
{
    switch (species) {
    case 1: return Translated(QT_TRANSLATE_NOOP("TEntryRecords", "Tovik"));
    case 2: return Translated(QT_TRANSLATE_NOOP("TEntryRecords", "Skarrow"));
    case 3: return Translated(QT_TRANSLATE_NOOP("TEntryRecords", "Brumble"));
    case 4: return Translated(QT_TRANSLATE_NOOP("TEntryRecords", "Yarrel?"));
    default: return QString::number(species);
    }
}

QString GenderText(std::int32_t gender)
{
    switch (gender) {
    case 1: return Translated(QT_TRANSLATE_NOOP("TEntryRecords", "Male"));
    case 2: return Translated(QT_TRANSLATE_NOOP("TEntryRecords", "Female"));
    default: return QString::number(gender);
    }
}

QString StateText(const THistoryEntry& e)
{
    switch (e.State) {
    case csAlive: return Translated(QT_TRANSLATE_NOOP("TEntryRecords", "Alive and in world"));
    case csDead:
        return e.Registered ? Translated(QT_TRANSLATE_NOOP("TEntryRecords", "Dead"))
                            : Translated(QT_TRANSLATE_NOOP("TEntryRecords", "Dead but not registered"));
    case csExported: return Translated(QT_TRANSLATE_NOOP("TEntryRecords", "Exported - State Unknown"));
    default: return QString::number(e.State);
    }
}

}  // namespace

TEntryRow FormatEntryRow(const THistoryEntry& e, const TDateTimeNames& names)
{
    TEntryRow row;
    row.Texts[0] = DecodeText(e.DisplayName);
    row.Texts[1] = MonikerDisplayText(e.Moniker);
    row.Texts[2] = SpeciesText(e.Species);
    row.Texts[3] = GenderText(e.Gender);
    // One pass of arg() over all four: a name holding "%1" stays as it is.
    row.Texts[4] = Translated(QT_TRANSLATE_NOOP("TEntryRecords", "%1 (%2) and %3 (%4)"))
                       .arg(DecodeText(e.Parent1Name), MonikerDisplayText(e.Parent1Moniker), DecodeText(e.Parent2Name),
                            MonikerDisplayText(e.Parent2Moniker));
    const QString birth = FormatDateTime(TimeStampToDateTime(e.BirthTime), names);
    row.Texts[5] = e.State == csDead ? birth + QLatin1String(" -> ") + FormatDateTime(TimeStampToDateTime(e.DeathTime), names)
                                     : Translated(QT_TRANSLATE_NOOP("TEntryRecords", "%1 (Still alive)")).arg(birth);
    row.Texts[6] = StateText(e);
    return row;
}

QString ImageDescription(int imageIndex)
{
    if (imageIndex < 0 || imageIndex > kExportedImage)
        return {};
    if (imageIndex == kExportedImage)
        return Translated(QT_TRANSLATE_NOOP("TEntryRecords", "exported from the world"));
    QStringList parts{(imageIndex & csDead) ? Translated(QT_TRANSLATE_NOOP("TEntryRecords", "dead"))
                                            : Translated(QT_TRANSLATE_NOOP("TEntryRecords", "alive"))};
    if (HasAlbum(imageIndex))
        parts << Translated(QT_TRANSLATE_NOOP("TEntryRecords", "has a photo album"));
    if (HasGenetics(imageIndex))
        parts << Translated(QT_TRANSLATE_NOOP("TEntryRecords", "has a genetics file"));
    return parts.join(QStringLiteral(", "));
}

TEntryRecords::TEntryRecords(QList<QPixmap> images, TDateTimeNames names, QObject* parent)
    : QAbstractTableModel(parent), images_(std::move(images)), names_(std::move(names))
{
}

TEntryRecords::~TEntryRecords() = default;

int TEntryRecords::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int TEntryRecords::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kEntryColumns;
}

THistoryEntry& TEntryRecords::Record(int row)
{
    TEntry& entry = entries_.at(size_t(row));
    if (!entry.Record)
        entry.Record = std::make_unique<THistoryEntry>(ReadRecord(row));
    return *entry.Record;
}

THistoryEntry TEntryRecords::ReadRecord(int row) const
{
    THistoryEntry record;
    record.LoadFromBytes(entries_.at(size_t(row)).Scanned.Bytes);
    record.FileName = FileNameOf(row);
    return record;
}

std::vector<TRecordKey> TEntryRecords::Keys() const
{
    std::vector<TRecordKey> keys;
    keys.reserve(entries_.size());
    for (const TEntry& entry : entries_)
        keys.push_back(ReadRecordKey(entry.Scanned.Bytes));
    return keys;
}

QByteArray TEntryRecords::FileNameOf(int row) const
{
    const TEntry& entry = entries_.at(size_t(row));
    return *entry.Directory + entry.Scanned.Name;
}

int TEntryRecords::RowOfFile(const QByteArray& fileName) const
{
    for (size_t row = 0; row < entries_.size(); ++row) {
        const QByteArray& directory = *entries_[row].Directory;
        if (fileName.startsWith(directory)
            && QByteArrayView(fileName).sliced(directory.size()) == QByteArrayView(entries_[row].Scanned.Name))
            return int(row);
    }
    return -1;
}

QPixmap TEntryRecords::Image(int imageIndex) const
{
    return imageIndex >= 0 && imageIndex < images_.size() ? images_[imageIndex] : QPixmap();
}

TEntryRow TEntryRecords::RowTexts(int row) const
{
    return RowTexts(ReadRecord(row));
}

TEntryRow TEntryRecords::RowTexts(const THistoryEntry& record) const
{
    return FormatEntryRow(record, names_);
}

bool TEntryRecords::Matches(int row, const QString& text) const
{
    THistoryEntry record;
    record.LoadFromBytes(entries_.at(size_t(row)).Scanned.Bytes);
    for (const QByteArray* field : {&record.DisplayName, &record.Parent1Name, &record.Parent2Name, &record.OwnerName,
                                    &record.Epitaph})
        if (DecodeText(*field).contains(text, Qt::CaseInsensitive))
            return true;
    for (const TMoniker* moniker : {&record.Moniker, &record.Parent1Moniker, &record.Parent2Moniker})
        if (MonikerDisplayText(*moniker).contains(text, Qt::CaseInsensitive))
            return true;
    return false;
}

QVariant TEntryRecords::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    if (role == Qt::DisplayRole) {
        if (cachedRow_ != index.row()) {
            cached_ = RowTexts(index.row());
            cachedRow_ = index.row();
        }
        return cached_.Texts[size_t(index.column())];
    }
    // An index outside the picture list (a strange state) shows no icon.
    const int image = entries_[size_t(index.row())].Scanned.ImageIndex;
    if (role == Qt::DecorationRole && index.column() == 0 && image >= 0 && image < images_.size())
        return images_[image];
    if (role == Qt::AccessibleDescriptionRole && index.column() == 0)
        return ImageDescription(image);
    return {};
}

QVariant TEntryRecords::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kEntryColumns)
        return Translated(Captions[size_t(section)]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void TEntryRecords::SetImageIndex(int row, int imageIndex)
{
    entries_.at(size_t(row)).Scanned.ImageIndex = imageIndex;
    const QModelIndex cell = index(row, 0);
    emit dataChanged(cell, cell, {Qt::DecorationRole});
}

void TEntryRecords::Append(THistoryScan scan)
{
    if (scan.Records.empty())
        return;
    auto store = std::make_unique<TScanStore>();
    store->Directory = std::move(scan.Directory);
    store->Arena = std::move(scan.Arena);
    beginInsertRows({}, Count(), Count() + static_cast<int>(scan.Records.size()) - 1);
    entries_.reserve(entries_.size() + scan.Records.size());
    for (const TScannedRecord& record : scan.Records)
        entries_.push_back({record, &store->Directory, nullptr});
    scans_.push_back(std::move(store));
    cachedRow_ = -1;
    endInsertRows();
}

void TEntryRecords::Remove(int row)
{
    beginRemoveRows({}, row, row);
    entries_.erase(entries_.begin() + row);
    cachedRow_ = -1;
    endRemoveRows();
}

void TEntryRecords::Clear()
{
    beginResetModel();
    entries_.clear();
    entries_.shrink_to_fit();
    scans_.clear();
    cachedRow_ = -1;
    endResetModel();
}
