#include "browser/CreatureListModel.h"

#include "platform/TextCodec.h"

#include <QCoreApplication>

const std::array<const char*, kEntryColumns> CreatureListModel::Captions = {
    QT_TRANSLATE_NOOP("CreatureListModel", "Name of Creature"), QT_TRANSLATE_NOOP("CreatureListModel", "Moniker"),
    QT_TRANSLATE_NOOP("CreatureListModel", "Species"),          QT_TRANSLATE_NOOP("CreatureListModel", "Gender"),
    QT_TRANSLATE_NOOP("CreatureListModel", "Parents"),          QT_TRANSLATE_NOOP("CreatureListModel", "Life (From -> To)"),
    QT_TRANSLATE_NOOP("CreatureListModel", "State")};

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("CreatureListModel", text);
}

QString speciesText(std::int32_t species)
{
    switch (species) {
    case 1: return translated(QT_TRANSLATE_NOOP("CreatureListModel", "Tovik"));
    case 2: return translated(QT_TRANSLATE_NOOP("CreatureListModel", "Skarrow"));
    case 3: return translated(QT_TRANSLATE_NOOP("CreatureListModel", "Brumble"));
    case 4: return translated(QT_TRANSLATE_NOOP("CreatureListModel", "Yarrel?"));
    default: return QString::number(species);
    }
}

QString genderText(std::int32_t gender)
{
    switch (gender) {
    case 1: return translated(QT_TRANSLATE_NOOP("CreatureListModel", "Male"));
    case 2: return translated(QT_TRANSLATE_NOOP("CreatureListModel", "Female"));
    default: return QString::number(gender);
    }
}

QString stateText(const HistoryRecord& e)
{
    switch (e.state) {
    case csAlive: return translated(QT_TRANSLATE_NOOP("CreatureListModel", "Alive and in world"));
    case csDead:
        return e.registered ? translated(QT_TRANSLATE_NOOP("CreatureListModel", "Dead"))
                            : translated(QT_TRANSLATE_NOOP("CreatureListModel", "Dead but not registered"));
    case csExported: return translated(QT_TRANSLATE_NOOP("CreatureListModel", "Exported - State Unknown"));
    default: return QString::number(e.state);
    }
}

}  // namespace

CreatureRow formatEntryRow(const HistoryRecord& e, const DateTimeNames& names)
{
    CreatureRow row;
    row.texts[0] = decodeText(e.displayName);
    row.texts[1] = monikerDisplayText(e.moniker);
    row.texts[2] = speciesText(e.species);
    row.texts[3] = genderText(e.gender);
    // One pass of arg() over all four: a name holding "%1" stays as it is.
    row.texts[4] = translated(QT_TRANSLATE_NOOP("CreatureListModel", "%1 (%2) and %3 (%4)"))
                       .arg(decodeText(e.parent1Name), monikerDisplayText(e.parent1Moniker), decodeText(e.parent2Name),
                            monikerDisplayText(e.parent2Moniker));
    const QString birth = formatDateTime(timeStampToDateTime(e.birthTime), names);
    row.texts[5] = e.state == csDead ? birth + QLatin1String(" -> ") + formatDateTime(timeStampToDateTime(e.deathTime), names)
                                     : translated(QT_TRANSLATE_NOOP("CreatureListModel", "%1 (Still alive)")).arg(birth);
    row.texts[6] = stateText(e);
    return row;
}

QString imageDescription(int imageIndex)
{
    if (imageIndex < 0 || imageIndex > kExportedImage)
        return {};
    if (imageIndex == kExportedImage)
        return translated(QT_TRANSLATE_NOOP("CreatureListModel", "exported from the world"));
    QStringList parts{(imageIndex & csDead) ? translated(QT_TRANSLATE_NOOP("CreatureListModel", "dead"))
                                            : translated(QT_TRANSLATE_NOOP("CreatureListModel", "alive"))};
    if (hasAlbum(imageIndex))
        parts << translated(QT_TRANSLATE_NOOP("CreatureListModel", "has a photo album"));
    if (hasGenetics(imageIndex))
        parts << translated(QT_TRANSLATE_NOOP("CreatureListModel", "has a genetics file"));
    return parts.join(QStringLiteral(", "));
}

CreatureListModel::CreatureListModel(QList<QPixmap> images, DateTimeNames names, QObject* parent)
    : QAbstractTableModel(parent), images_(std::move(images)), names_(std::move(names))
{
}

CreatureListModel::~CreatureListModel() = default;

int CreatureListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int CreatureListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kEntryColumns;
}

HistoryRecord& CreatureListModel::record(int row)
{
    Entry& entry = entries_.at(size_t(row));
    if (!entry.record)
        entry.record = std::make_unique<HistoryRecord>(readRecord(row));
    return *entry.record;
}

HistoryRecord CreatureListModel::readRecord(int row) const
{
    HistoryRecord record;
    record.loadFromBytes(entries_.at(size_t(row)).scanned.bytes);
    record.fileName = fileNameOf(row);
    return record;
}

std::vector<RecordKey> CreatureListModel::keys() const
{
    std::vector<RecordKey> keys;
    keys.reserve(entries_.size());
    for (const Entry& entry : entries_)
        keys.push_back(readRecordKey(entry.scanned.bytes));
    return keys;
}

QByteArray CreatureListModel::fileNameOf(int row) const
{
    const Entry& entry = entries_.at(size_t(row));
    return *entry.directory + entry.scanned.name;
}

int CreatureListModel::rowOfFile(const QByteArray& fileName) const
{
    for (size_t row = 0; row < entries_.size(); ++row) {
        const QByteArray& directory = *entries_[row].directory;
        if (fileName.startsWith(directory)
            && QByteArrayView(fileName).sliced(directory.size()) == QByteArrayView(entries_[row].scanned.name))
            return int(row);
    }
    return -1;
}

QPixmap CreatureListModel::image(int imageIndex) const
{
    return imageIndex >= 0 && imageIndex < images_.size() ? images_[imageIndex] : QPixmap();
}

CreatureRow CreatureListModel::rowTexts(int row) const
{
    return rowTexts(readRecord(row));
}

CreatureRow CreatureListModel::rowTexts(const HistoryRecord& record) const
{
    return formatEntryRow(record, names_);
}

bool CreatureListModel::matches(int row, const QString& text) const
{
    HistoryRecord record;
    record.loadFromBytes(entries_.at(size_t(row)).scanned.bytes);
    for (const QByteArray* field : {&record.displayName, &record.parent1Name, &record.parent2Name, &record.ownerName,
                                    &record.epitaph})
        if (decodeText(*field).contains(text, Qt::CaseInsensitive))
            return true;
    for (const Moniker* moniker : {&record.moniker, &record.parent1Moniker, &record.parent2Moniker})
        if (monikerDisplayText(*moniker).contains(text, Qt::CaseInsensitive))
            return true;
    return false;
}

QVariant CreatureListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole) {
        if (cachedRow_ != index.row()) {
            cached_ = rowTexts(index.row());
            cachedRow_ = index.row();
        }
        return cached_.texts[size_t(index.column())];
    }
    // An index outside the picture list (a strange state) shows no icon.
    const int image = entries_[size_t(index.row())].scanned.imageIndex;
    if (role == Qt::DecorationRole && index.column() == 0 && image >= 0 && image < images_.size())
        return images_[image];
    if (role == Qt::AccessibleDescriptionRole && index.column() == 0)
        return imageDescription(image);
    return {};
}

QVariant CreatureListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kEntryColumns)
        return translated(Captions[size_t(section)]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void CreatureListModel::setImageIndex(int row, int imageIndex)
{
    entries_.at(size_t(row)).scanned.imageIndex = imageIndex;
    const QModelIndex cell = index(row, 0);
    emit dataChanged(cell, cell, {Qt::DecorationRole});
}

void CreatureListModel::append(HistoryScan scan)
{
    if (scan.records.empty())
        return;
    auto store = std::make_unique<ScanStore>();
    store->directory = std::move(scan.directory);
    store->arena = std::move(scan.arena);
    beginInsertRows({}, count(), count() + static_cast<int>(scan.records.size()) - 1);
    entries_.reserve(entries_.size() + scan.records.size());
    for (const ScannedRecord& record : scan.records)
        entries_.push_back({record, &store->directory, nullptr});
    scans_.push_back(std::move(store));
    cachedRow_ = -1;
    endInsertRows();
}

void CreatureListModel::remove(int row)
{
    beginRemoveRows({}, row, row);
    entries_.erase(entries_.begin() + row);
    cachedRow_ = -1;
    endRemoveRows();
}

void CreatureListModel::clear()
{
    beginResetModel();
    entries_.clear();
    entries_.shrink_to_fit();
    scans_.clear();
    cachedRow_ = -1;
    endResetModel();
}
