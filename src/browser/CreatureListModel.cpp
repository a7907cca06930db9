#include "browser/CreatureListModel.h"

#include "platform/TextCodec.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

const std::array<const char*, CreatureListModel::ColumnCount> CreatureListModel::captions = {
    QT_TRANSLATE_NOOP("CreatureListModel", "Name of Creature"), QT_TRANSLATE_NOOP("CreatureListModel", "Moniker"),
    QT_TRANSLATE_NOOP("CreatureListModel", "Species"),          QT_TRANSLATE_NOOP("CreatureListModel", "Gender"),
    QT_TRANSLATE_NOOP("CreatureListModel", "Parents"),          QT_TRANSLATE_NOOP("CreatureListModel", "Life (From -> To)"),
    QT_TRANSLATE_NOOP("CreatureListModel", "State")};

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("CreatureListModel", text);
}

}  // namespace

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

namespace {

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

DateTimeNames localeDateTimeNames()
{
    DateTimeNames names = DateTimeNames::english();
    const QLocale locale;
    // English months are shown with three letters, Jan to Dec, whatever the
    // English locale's own abbreviations ("Sept", "June" and so on).
    for (int m = 1; m <= 12 && locale.language() != QLocale::English; ++m) {
        const QString name = locale.monthName(m, QLocale::ShortFormat);
        if (!name.isEmpty())
            names.shortMonthNames[m - 1] = name;
    }
    // Qt has no time separator of its own; take the character that follows
    // the hours in the locale's short time format ("HH:mm", "H.mm", ...).
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    qsizetype i = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    if (i >= 0) {
        while (i < format.size() && (format[i] == QLatin1Char('h') || format[i] == QLatin1Char('H')))
            ++i;
        if (i < format.size() && !format[i].isLetterOrNumber() && !format[i].isSpace() && format[i] != QLatin1Char('\''))
            names.timeSeparator = format[i];
    }
    return names;
}

CreatureListModel::RowTexts CreatureListModel::format(const HistoryRecord& e, const DateTimeNames& names)
{
    RowTexts row;
    auto& t = row.texts;
    t[NameColumn] = decodeText(e.displayName);
    t[MonikerColumn] = monikerDisplayText(e.moniker);
    t[SpeciesColumn] = speciesText(e.species);
    t[GenderColumn] = genderText(e.gender);
    // One pass of arg() over all four: a name holding "%1" stays as it is.
    t[ParentsColumn] = translated(QT_TRANSLATE_NOOP("CreatureListModel", "%1 (%2) and %3 (%4)"))
                           .arg(decodeText(e.parent1Name), monikerDisplayText(e.parent1Moniker),
                                decodeText(e.parent2Name), monikerDisplayText(e.parent2Moniker));
    const QString birth = formatDateTime(timeStampToDateTime(e.birthTime), names);
    t[LifeColumn] = e.state == csDead ? translated(QT_TRANSLATE_NOOP("CreatureListModel", "%1 -> %2"))
                                            .arg(birth, formatDateTime(timeStampToDateTime(e.deathTime), names))
                                      : translated(QT_TRANSLATE_NOOP("CreatureListModel", "%1 (Still alive)")).arg(birth);
    t[StateColumn] = stateText(e);
    return row;
}

QString CreatureListModel::describe(const Badges& badges)
{
    if (badges.exported())
        return translated(QT_TRANSLATE_NOOP("CreatureListModel", "exported from the world"));
    if (badges.state != csAlive && badges.state != csDead)
        return {};
    QStringList parts{badges.state == csDead ? translated(QT_TRANSLATE_NOOP("CreatureListModel", "dead"))
                                             : translated(QT_TRANSLATE_NOOP("CreatureListModel", "alive"))};
    if (badges.album)
        parts << translated(QT_TRANSLATE_NOOP("CreatureListModel", "has a photo album"));
    if (badges.genetics)
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
    return parent.isValid() ? 0 : ColumnCount;
}

HistoryRecord& CreatureListModel::record(int row)
{
    std::unique_ptr<HistoryRecord>& record = records_.at(size_t(row));
    if (!record)
        record = std::make_unique<HistoryRecord>(readRecord(row));
    return *record;
}

HistoryRecord CreatureListModel::readRecord(int row) const
{
    HistoryRecord record;
    record.loadFromBytes(scanned_.at(size_t(row)).bytes);
    record.fileName = fileNameOf(row);
    return record;
}

std::vector<RecordFigures> CreatureListModel::figures() const
{
    std::vector<RecordFigures> figures;
    figures.reserve(scanned_.size());
    for (const ScannedRecord& scanned : scanned_)
        figures.push_back(readRecordFigures(scanned.bytes));
    return figures;
}

std::vector<RecordKey> CreatureListModel::keys() const
{
    std::vector<RecordKey> keys;
    keys.reserve(scanned_.size());
    for (const ScannedRecord& scanned : scanned_)
        keys.push_back(readRecordKey(scanned.bytes));
    return keys;
}

QByteArray CreatureListModel::fileNameOf(int row) const
{
    return directory_ + scanned_.at(size_t(row)).name;
}

int CreatureListModel::rowOfFile(const QByteArray& fileName) const
{
    if (!fileName.startsWith(directory_))
        return -1;
    const QByteArrayView name = QByteArrayView(fileName).sliced(directory_.size());
    for (size_t row = 0; row < scanned_.size(); ++row)
        if (name == QByteArrayView(scanned_[row].name))
            return int(row);
    return -1;
}

QPixmap CreatureListModel::badgeImage(const Badges& badges) const
{
    const int image = badgeImageIndex(badges);
    return image >= 0 && image < images_.size() ? images_[image] : QPixmap();
}

CreatureListModel::RowTexts CreatureListModel::rowTexts(int row) const
{
    return format(readRecord(row), names_);
}

bool CreatureListModel::matches(int row, const QString& text) const
{
    HistoryRecord record;
    record.loadFromBytes(scanned_.at(size_t(row)).bytes);
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
    // A state the game does not know shows no icon.
    const Badges& shown = badges(index.row());
    if (role == Qt::DecorationRole && index.column() == NameColumn) {
        const QPixmap picture = badgeImage(shown);
        return picture.isNull() ? QVariant() : QVariant(picture);
    }
    if (role == Qt::AccessibleDescriptionRole && index.column() == NameColumn)
        return describe(shown);
    // The specified "() and ()" of a creature without parents is no sentence
    // a screen reader can say.
    if (role == Qt::AccessibleDescriptionRole && index.column() == ParentsColumn) {
        const HistoryRecord record = readRecord(index.row());
        if (record.parent1Moniker[0] == '\0' && record.parent2Moniker[0] == '\0' && record.parent1Name.isEmpty()
            && record.parent2Name.isEmpty())
            return translated(QT_TRANSLATE_NOOP("CreatureListModel", "no parents recorded"));
    }
    return {};
}

QVariant CreatureListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return translated(captions[size_t(section)]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void CreatureListModel::setBadges(int row, const Badges& badges)
{
    scanned_.at(size_t(row)).badges = badges;
    const QModelIndex cell = index(row, NameColumn);
    emit dataChanged(cell, cell, {Qt::DecorationRole, Qt::AccessibleDescriptionRole});
}

void CreatureListModel::reset(HistoryScan scan)
{
    beginResetModel();
    records_.clear();
    records_.shrink_to_fit();
    directory_ = std::move(scan.directory);
    scanned_ = std::move(scan.records);
    records_.resize(scanned_.size());
    arena_ = std::move(scan.arena);
    scannedAtNs_ = scan.startedNs;
    cachedRow_ = -1;
    endResetModel();
}

void CreatureListModel::remove(int row)
{
    beginRemoveRows({}, row, row);
    scanned_.erase(scanned_.begin() + row);
    records_.erase(records_.begin() + row);
    cachedRow_ = -1;
    endRemoveRows();
}
