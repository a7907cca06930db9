#include "history/BackupStore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <algorithm>

namespace {

constexpr char kManifest[] = "manifest.json";
constexpr int kManifestVersion = 1;
constexpr qint64 kManifestMaxBytes = 1 << 20;
// A copy still being written is never cleared away by another prune.
constexpr qint64 kCutShortAfterMs = 10 * 60 * 1000;
constexpr qint64 kDayMs = 24 * 3600 * 1000;

QString translated(const char* text)
{
    return QCoreApplication::translate("BackupStore", text);
}

QByteArray copyName(CreatureFile file)
{
    switch (file) {
    case CreatureFile::Album: return "album";
    case CreatureFile::Genetics: return "genetics";
    case CreatureFile::History: return "history";
    }
    return {};
}

std::optional<CreatureFile> fileOfName(const QString& name)
{
    for (CreatureFile file : {CreatureFile::Album, CreatureFile::Genetics, CreatureFile::History})
        if (name == QLatin1String(copyName(file)))
            return file;
    return std::nullopt;
}

QByteArray withSeparator(QByteArray path)
{
    if (!path.endsWith('/'))
        path += '/';
    return path;
}

QString bytesText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

QByteArray textBytes(const QJsonValue& value)
{
    return QByteArray::fromBase64(value.toString().toLatin1());
}

QString numberText(std::uint64_t n)
{
    return QString::number(n);  // beyond a double's exact range as text
}

QJsonObject toJson(const BackupEntry& entry)
{
    QJsonArray files;
    for (const KeptFile& f : entry.files) {
        files.append(QJsonObject{
            {"file", QLatin1String(copyName(f.file))},
            {"path", bytesText(f.path)},
            {"pathText", QString::fromUtf8(f.path)},  // for a person reading the store
            {"device", numberText(f.identity.device)},
            {"inode", numberText(f.identity.inode)},
            {"size", numberText(std::uint64_t(f.identity.size))},
            {"modifiedNs", QString::number(f.identity.modifiedNs)},
            {"contentHash", numberText(f.identity.contentHash)},
            {"user", qint64(f.ownership.user)},
            {"group", qint64(f.ownership.group)},
            {"mode", qint64(f.ownership.mode)},
            {"removed", f.removed},
        });
    }
    return QJsonObject{
        {"version", kManifestVersion},
        {"kind", entry.kind == BackupKind::Deletion ? "deletion" : "edit"},
        {"when", QDateTime::fromMSecsSinceEpoch(entry.whenMs, Qt::UTC).toString(Qt::ISODateWithMs)},
        {"name", bytesText(entry.name)},
        {"nameText", QString::fromUtf8(entry.name)},
        {"moniker", bytesText(entry.moniker)},
        {"restored", entry.restored},
        {"files", files},
    };
}

std::optional<BackupEntry> fromJson(const QByteArray& id, const QJsonObject& o)
{
    if (o.value("version").toInt() != kManifestVersion)
        return std::nullopt;
    BackupEntry entry;
    entry.id = id;
    const QString kind = o.value("kind").toString();
    if (kind != QLatin1String("deletion") && kind != QLatin1String("edit"))
        return std::nullopt;
    entry.kind = kind == QLatin1String("deletion") ? BackupKind::Deletion : BackupKind::Edit;
    const QDateTime when = QDateTime::fromString(o.value("when").toString(), Qt::ISODateWithMs);
    if (!when.isValid())
        return std::nullopt;
    entry.whenMs = when.toMSecsSinceEpoch();
    entry.name = textBytes(o.value("name"));
    entry.moniker = textBytes(o.value("moniker"));
    entry.restored = o.value("restored").toBool();
    for (const QJsonValue& v : o.value("files").toArray()) {
        const QJsonObject f = v.toObject();
        const auto file = fileOfName(f.value("file").toString());
        if (!file)
            return std::nullopt;
        KeptFile kept;
        kept.file = *file;
        kept.path = textBytes(f.value("path"));
        kept.identity.device = f.value("device").toString().toULongLong();
        kept.identity.inode = f.value("inode").toString().toULongLong();
        kept.identity.size = f.value("size").toString().toLongLong();
        kept.identity.modifiedNs = f.value("modifiedNs").toString().toLongLong();
        kept.identity.contentHash = f.value("contentHash").toString().toULongLong();
        kept.ownership = {std::uint32_t(f.value("user").toInteger()), std::uint32_t(f.value("group").toInteger()),
                          std::uint32_t(f.value("mode").toInteger()) & 07777};
        kept.removed = f.value("removed").toBool();
        if (kept.path.isEmpty() || entry.find(kept.file))
            return std::nullopt;
        entry.files.push_back(kept);
    }
    return entry;
}

QByteArray newEntryId(qint64 nowMs)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray id = QDateTime::fromMSecsSinceEpoch(nowMs, Qt::UTC).toString("yyyyMMdd-HHmmss-zzz-").toLatin1();
    for (int i = 0; i < 4; ++i)
        id += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return id;
}

// Ids the store made itself: anything else in its folder is left alone.
bool isEntryId(QByteArrayView name)
{
    if (name.size() != 24)
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool dash = i == 8 || i == 15 || i == 19;
        if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

// The entries of a store's folder, oldest first (their names sort as their
// times do).
std::vector<QByteArray> entryIds(const QByteArray& folder)
{
    std::vector<QByteArray> ids;
    Directory(folder).list([&ids](QByteArrayView name, bool) {
        if (isEntryId(name))
            ids.push_back(name.toByteArray());
    });
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

qint64 BackupEntry::bytes() const
{
    qint64 total = 0;
    for (const KeptFile& f : files)
        total += std::max<qint64>(0, f.identity.size);
    return total;
}

const KeptFile* BackupEntry::find(CreatureFile file) const
{
    for (const KeptFile& f : files)
        if (f.file == file)
            return &f;
    return nullptr;
}

FileToKeep readFileToKeep(CreatureFile file, const QByteArray& path)
{
    FileToKeep keep;
    keep.kept.file = file;
    keep.kept.path = path;
    keep.bytes = readRegularFile(path, kMaxKeptFileBytes, &keep.kept.identity, &keep.kept.ownership);
    return keep;
}

BackupStore::BackupStore(const QByteArray& dataHome, const QByteArray& historyDirectory,
                         const QByteArray& geneticsDirectory, BackupLimits limits)
    : dataHome_(withSeparator(dataHome)),
      installation_(QCryptographicHash::hash(historyDirectory + '\n' + geneticsDirectory, QCryptographicHash::Sha256)
                        .toHex()
                        .left(16)),
      folder_(dataHome_ + "lifeledger/backups/" + installation_ + '/'),
      limits_(limits)
{
}

BackupEntry BackupStore::keep(BackupKind kind, const QByteArray& name, const QByteArray& moniker,
                              const std::vector<FileToKeep>& files, qint64 nowMs)
{
    // The user's data folder itself may be missing on a new account; the
    // store's own folders below it are made one by one, never through a link.
    if (!QDir().mkpath(QString::fromLocal8Bit(dataHome_)))
        throw FileCreateError(createErrorText(pathText(dataHome_), translated("The folder cannot be made.")));
    const WriteFolder home(dataHome_);
    const WriteFolder program(home, "lifeledger");
    const WriteFolder backups(program, "backups");
    const WriteFolder installation(backups, installation_);
    BackupEntry entry;
    entry.kind = kind;
    entry.whenMs = nowMs;
    entry.name = name;
    entry.moniker = moniker;
    do
        entry.id = newEntryId(nowMs);
    while (installation.holds(entry.id));
    try {
        const WriteFolder folder(installation, entry.id);
        for (const FileToKeep& f : files) {
            replaceFile(folder, copyName(f.kept.file), f.bytes);
            entry.files.push_back(f.kept);
        }
        replaceFile(folder, kManifest, QJsonDocument(toJson(entry)).toJson());
    } catch (...) {
        removeFolder(installation, entry.id);
        throw;
    }
    if (counted_)
        counted_->push_back({entry.id, nowMs, entry.bytes(), true});
    prune(nowMs);
    return entry;
}

void BackupStore::update(const BackupEntry& entry) const
{
    const WriteFolder folder(folder_ + entry.id);
    replaceFile(folder, kManifest, QJsonDocument(toJson(entry)).toJson());
}

bool BackupStore::remove(const QByteArray& id) const
{
    if (!isEntryId(id))
        return false;
    forget(id);
    try {
        const WriteFolder installation(folder_);
        return removeFolder(installation, id);
    } catch (const FileCreateError&) {
        return false;
    }
}

std::optional<BackupEntry> BackupStore::entry(const QByteArray& id) const
{
    if (!isEntryId(id))
        return std::nullopt;
    try {
        const QJsonDocument manifest = QJsonDocument::fromJson(readRegularFile(folder_ + id + '/' + kManifest, kManifestMaxBytes));
        return fromJson(id, manifest.object());
    } catch (const FileOpenError&) {
        return std::nullopt;
    }
}

std::vector<BackupEntry> BackupStore::entries() const
{
    std::vector<BackupEntry> found;
    const std::vector<QByteArray> ids = entryIds(folder_);
    for (auto id = ids.rbegin(); id != ids.rend(); ++id)
        if (auto e = entry(*id))
            found.push_back(std::move(*e));
    return found;
}

QByteArray BackupStore::copyOf(const BackupEntry& entry, CreatureFile file) const
{
    const KeptFile* kept = entry.find(file);
    const QByteArray path = folder_ + entry.id + '/' + copyName(file);
    FileIdentity identity;
    QByteArray bytes = readRegularFile(path, kMaxKeptFileBytes, &identity);
    if (!kept || identity.size != kept->identity.size || identity.contentHash != kept->identity.contentHash)
        throw FileOpenError(translated("The copy \"%1\" is not the file that was kept.").arg(pathText(path)));
    return bytes;
}

namespace {

// When an entry was made, from its id; 0 when the id says no time.
qint64 madeAt(const QByteArray& id)
{
    QDateTime made = QDateTime::fromString(QString::fromLatin1(id.left(19)), QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    if (!made.isValid())
        return 0;
    made.setTimeSpec(Qt::UTC);
    return made.toMSecsSinceEpoch();
}

}  // namespace

void BackupStore::count() const
{
    counted_.emplace();
    for (const QByteArray& id : entryIds(folder_)) {
        Counted c{id, madeAt(id), 0, false};
        const Directory entry(folder_ + id);
        for (CreatureFile file : {CreatureFile::Album, CreatureFile::Genetics, CreatureFile::History})
            if (const auto identity = entry.identityOf(copyName(file).constData()))
                c.bytes += identity->size;
        c.complete = entry.identityOf(kManifest).has_value();
        counted_->push_back(std::move(c));
    }
}

void BackupStore::forget(const QByteArray& id) const
{
    if (!counted_)
        return;
    counted_->erase(std::remove_if(counted_->begin(), counted_->end(), [&id](const Counted& c) { return c.id == id; }),
                    counted_->end());
}

void BackupStore::prune(qint64 nowMs) const
{
    if (!counted_)
        count();
    if (counted_->empty())
        return;
    std::optional<WriteFolder> installation;
    try {
        installation.emplace(folder_);
    } catch (const FileCreateError&) {
        return;
    }
    qint64 total = 0;
    for (const Counted& c : *counted_)
        total += c.bytes;
    const QByteArray newest = counted_->back().id;
    std::vector<QByteArray> gone;
    for (const Counted& c : *counted_) {
        if (c.id == newest)
            break;
        // Cut short (a copy that died midway): cleared once surely abandoned.
        const bool abandoned = !c.complete && c.whenMs < nowMs - kCutShortAfterMs;
        const bool tooOld = c.complete && c.whenMs < nowMs - limits_.maxAgeDays * kDayMs;
        if (abandoned || tooOld || (c.complete && total > limits_.maxBytes)) {
            if (removeFolder(*installation, c.id)) {
                total -= c.bytes;
                gone.push_back(c.id);
            }
        }
    }
    for (const QByteArray& id : gone)
        forget(id);
}

std::vector<KeptFile> restoreRemovedFiles(const BackupStore& store, const BackupEntry& entry,
                                          const std::vector<QByteArray>& allowedFolders)
{
    struct Put {
        const KeptFile* kept;
        QByteArray folder, name;
    };
    std::vector<Put> puts;
    QStringList taken;
    // The album and genetics file first: the record, that makes the
    // creature appear in the list, comes last.
    for (CreatureFile file : {CreatureFile::Album, CreatureFile::Genetics, CreatureFile::History}) {
        const KeptFile* kept = entry.find(file);
        if (!kept || !kept->removed)
            continue;
        const qsizetype slash = kept->path.lastIndexOf('/');
        Put put{kept, kept->path.left(slash + 1), kept->path.mid(slash + 1)};
        if (std::find(allowedFolders.begin(), allowedFolders.end(), put.folder) == allowedFolders.end()
            || put.name.isEmpty() || put.name == "." || put.name == "..")
            throw FileCreateError(createErrorText(
                pathText(kept->path), translated("It is not in the game's folders of this installation.")));
        if (entryExists(kept->path))
            taken << pathText(kept->path);
        puts.push_back(put);
    }
    if (!taken.isEmpty())
        throw FileExistsError(translated("A file of the same name is there again, so nothing has been put back:\n%1")
                                  .arg(taken.join(QLatin1Char('\n'))));
    std::vector<KeptFile> written;
    try {
        for (const Put& put : puts) {
            const WriteFolder folder(put.folder, put.kept->path);
            FileWriter writer(folder, put.name);
            writer.write(store.copyOf(entry, put.kept->file));
            KeptFile now = *put.kept;
            writer.commitNew(put.kept->ownership, &now.identity);
            written.push_back(now);
        }
    } catch (...) {
        // All or nothing: a restore that stops midway (a full disk) takes
        // back what it put, so that a later try does not find its own files
        // in the way.
        for (const KeptFile& file : written) {
            QString reason;
            deleteFile(file.path, &reason, &file.identity);
        }
        throw;
    }
    return written;
}
