#include "browser/EntryRecords.h"

#include "platform/TextCodec.h"

const std::array<const char*, kEntryColumns> TEntryRecords::Captions = {
    "Name of Creature", "Moniker", "Species", "Gender", "Parents", "Life (From -> To)", "State"};

namespace {

QString SpeciesText(std::int32_t species)
{
    switch (species) {
    case 1: return QStringLiteral("Tovik");
    case 2: return QStringLiteral("Skarrow");
    case 3: return QStringLiteral("Brumble");
    case 4: return QStringLiteral("Yarrel?");
    default: return QString::number(species);
    }
}

QString GenderText(std::int32_t gender)
{
    switch (gender) {
    case 1: return QStringLiteral("Male");
    case 2: return QStringLiteral("Female");
    default: return QString::number(gender);
    }
}

QString StateText(const THistoryEntry& e)
{
    switch (e.State) {
    case csAlive: return QStringLiteral("Alive and in world");
    case csDead: return e.Registered ? QStringLiteral("Dead") : QStringLiteral("Dead but not registered");
    case csExported: return QStringLiteral("Exported - State Unknown");
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
    // Each text is built in one buffer: a fill formats every creature.
    QString& parents = row.Texts[4];
    parents.reserve(e.Parent1Name.size() + e.Parent2Name.size() + 22);
    AppendDecoded(parents, e.Parent1Name);
    parents += QLatin1String(" (");
    AppendDecoded(parents, MonikerText(e.Parent1Moniker));
    parents += QLatin1String(") and ");
    AppendDecoded(parents, e.Parent2Name);
    parents += QLatin1String(" (");
    AppendDecoded(parents, MonikerText(e.Parent2Moniker));
    parents += QLatin1Char(')');
    QString& life = row.Texts[5];
    life.reserve(64);
    AppendDateTime(life, TimeStampToDateTime(e.BirthTime), names);
    if (e.State == csDead) {
        life += QLatin1String(" -> ");
        AppendDateTime(life, TimeStampToDateTime(e.DeathTime), names);
    } else {
        life += QLatin1String(" (Still alive)");
    }
    row.Texts[6] = StateText(e);
    return row;
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
    if (!entry.Record) {
        auto record = std::make_unique<THistoryEntry>();
        record->LoadFromBytes(entry.Scanned.Bytes);
        record->FileName = *entry.Directory + entry.Scanned.Name;
        entry.Record = std::move(record);
    }
    return *entry.Record;
}

TEntryRow TEntryRecords::RowTexts(int row) const
{
    THistoryEntry record;
    record.LoadFromBytes(entries_.at(size_t(row)).Scanned.Bytes);
    return FormatEntryRow(record, names_);
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
    return {};
}

QVariant TEntryRecords::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kEntryColumns)
        return QString::fromLatin1(Captions[size_t(section)]);
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
