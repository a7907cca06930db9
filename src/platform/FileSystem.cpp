#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QFile>
#include <QHashFunctions>
#include <QLocale>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/syscall.h>
#include <linux/fs.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

void UniqueFd::reset(int fd)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

#ifndef Q_OS_UNIX
#error "Lifeledger's file access is written for POSIX systems (Linux, where the game runs under Wine)."
#endif

QByteArray encodePath(const QString& path)
{
    return QFile::encodeName(path);
}

QString pathText(const QByteArray& path)
{
    return QFile::decodeName(path);
}

QString createErrorText(const QString& path, const QString& reason)
{
    return QCoreApplication::translate("FileSystem", "Cannot create file \"%1\". %2").arg(path, reason);
}

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char('.');
}

QString bytes(qint64 n)
{
    return messageLocale().toString(n);
}


}  // namespace

QLocale messageLocale()
{
    // The language the messages are in says how their numbers are grouped
    // ("2,000,000" in English, "2.000.000" in German), whatever the system.
    return QLocale(QCoreApplication::translate("FileSystem", "en", "the language of the messages, for their numbers"));
}

namespace {

std::uint64_t hashOf(const char* data, qsizetype size)
{
    return qHashBits(data, size_t(size), 0);
}

void describe(const struct stat& st, FileIdentity& identity)
{
    identity.device = std::uint64_t(st.st_dev);
    identity.inode = std::uint64_t(st.st_ino);
    identity.size = std::int64_t(st.st_size);
    identity.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// Reads up to `size` bytes into `into`: fewer only at the end of the file
// (it shrank since it was measured). -1 on an error, errno telling which.
qint64 readUpTo(int fd, char* into, qint64 size)
{
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, into + got, size_t(size - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

QString openError(const QByteArray& path, const QString& reason)
{
    return QCoreApplication::translate("FileSystem", "Cannot open file \"%1\". %2").arg(pathText(path), reason);
}

QString createError(const QByteArray& path, const QString& reason)
{
    return createErrorText(pathText(path), reason);
}

QString folderError(const QByteArray& path, const QString& reason)
{
    return QCoreApplication::translate("FileSystem", "Cannot write into folder \"%1\". %2").arg(pathText(path), reason);
}

QString kindReason(const struct stat& st)
{
    return S_ISDIR(st.st_mode) ? QCoreApplication::translate("FileSystem", "It is a directory.") : QCoreApplication::translate("FileSystem", "It is not a regular file.");
}

// Opens `name` (relative to `dir`, or AT_FDCWD) for reading as a regular
// file; messages name it as prefix + name. The open does not wait on a
// pipe, and only a regular file is kept. Throws FileOpenError.
UniqueFd openRegular(int dir, const char* name, const QByteArray& prefix, struct stat& st)
{
    UniqueFd fd(::openat(dir, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    const auto path = [&] { return prefix + name; };
    if (!fd.valid())
        throw FileOpenError(openError(path(), systemReason(errno)));
    if (::fstat(fd.get(), &st) != 0)
        throw FileOpenError(openError(path(), systemReason(errno)));
    if (!S_ISREG(st.st_mode))
        throw FileOpenError(openError(path(), kindReason(st)));
    return fd;
}

// Reads an opened regular file whole into memory from allocate(size): the
// size fstat gave is the snapshot taken (the game rewrites its files whole
// and never appends). Returns the bytes read.
qint64 readOpened(int fd, const struct stat& st, const QByteArray& prefix, const char* name, qint64 maxBytes,
                  const std::function<char*(qint64)>& allocate, FileIdentity* identity)
{
    const auto path = [&] { return prefix + name; };
    if (st.st_size > maxBytes)
        throw FileOpenError(openError(path(), QCoreApplication::translate("FileSystem", "It is %1 bytes long; at most %2 bytes are read.")
                                              .arg(bytes(st.st_size), bytes(maxBytes))));
    char* into = allocate(qint64(st.st_size));
    const qint64 got = readUpTo(fd, into, qint64(st.st_size));
    if (got < 0)
        throw FileOpenError(QCoreApplication::translate("FileSystem", "Cannot read file \"%1\". %2").arg(pathText(path()), systemReason(errno)));
    if (identity) {
        describe(st, *identity);
        identity->contentHash = hashOf(into, got);
    }
    return got;
}

}  // namespace

QByteArray readRegularFile(const QByteArray& path, qint64 maxBytes, FileIdentity* identity, FileOwnership* ownership)
{
    struct stat st;
    const UniqueFd file(openRegular(AT_FDCWD, path.constData(), {}, st));
    if (ownership)
        *ownership = {std::uint32_t(st.st_uid), std::uint32_t(st.st_gid), std::uint32_t(st.st_mode & 07777)};
    QByteArray data;
    const qint64 got = readOpened(file.get(), st, {}, path.constData(), maxBytes, [&data](qint64 size) {
        data.resize(size);
        return data.data();
    }, identity);
    data.truncate(got);
    return data;
}

FileReader::FileReader(const QByteArray& path) : path_(path)
{
    struct stat st;
    fd_ = openRegular(AT_FDCWD, path.constData(), {}, st);
    describe(st, identity_);
}

FileReader::~FileReader() = default;

qint64 FileReader::read(char* into, qint64 size)
{
    const qint64 got = readUpTo(fd_.get(), into, size);
    if (got < 0)
        throw ReadError(QCoreApplication::translate("FileSystem", "Cannot read file \"%1\". %2").arg(pathText(path_), systemReason(errno)));
    return got;
}

qint64 FileReader::read(std::span<const ByteRange> into)
{
    std::vector<iovec> pieces;
    pieces.reserve(into.size());
    for (const ByteRange& range : into)
        if (range.size > 0)
            pieces.push_back({range.data, size_t(range.size)});
    qint64 total = 0;
    for (size_t at = 0; at < pieces.size();) {
        const ssize_t got = ::readv(fd_.get(), &pieces[at], int(std::min<size_t>(pieces.size() - at, IOV_MAX)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw ReadError(QCoreApplication::translate("FileSystem", "Cannot read file \"%1\". %2").arg(pathText(path_), systemReason(errno)));
        if (got == 0)
            break;
        total += got;
        // Past the pieces filled; into the one filled in part.
        for (size_t left = size_t(got); left > 0;) {
            const size_t step = std::min(left, pieces[at].iov_len);
            pieces[at].iov_base = static_cast<char*>(pieces[at].iov_base) + step;
            pieces[at].iov_len -= step;
            left -= step;
            if (pieces[at].iov_len == 0)
                ++at;
        }
    }
    return total;
}

std::optional<FileIdentity> statIdentity(const QByteArray& path)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return std::nullopt;
    FileIdentity identity;
    describe(st, identity);
    return identity;
}

Directory::Directory(const QByteArray& path) : path_(path)
{
    fd_.reset(::open(path.isEmpty() ? "." : path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    error_ = fd_.valid() ? 0 : errno;
}

QString Directory::problem() const
{
    return !fd_.valid() ? systemReason(error_) : QString();
}

Directory::~Directory() = default;

void Directory::list(const std::function<void(QByteArrayView name, bool regular)>& visit) const
{
    if (!fd_.valid())
        return;
    // A listing of its own: fdopendir takes the descriptor over, and the
    // stream is closed however the visit ends.
    UniqueFd listing(::openat(fd_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(listing.valid() ? ::fdopendir(listing.get()) : nullptr, &::closedir);
    if (!dir)
        return;
    listing.release();
    while (const dirent* entry = ::readdir(dir.get())) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        bool regular = entry->d_type == DT_REG;
        // The listing tells most types; a link, or a file system that does
        // not say, is asked.
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st;
            regular = ::fstatat(fd_.get(), name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        visit(QByteArrayView(name, qsizetype(std::strlen(name))), regular);
    }
}

qint64 Directory::readFile(const char* name, qint64 maxBytes, const std::function<char*(qint64 size)>& allocate,
                            FileIdentity* identity) const
{
    if (!fd_.valid())
        throw FileOpenError(openError(path_ + name, systemReason(ENOENT)));
    struct stat st;
    const UniqueFd file(openRegular(fd_.get(), name, path_, st));
    return readOpened(file.get(), st, path_, name, maxBytes, allocate, identity);
}

std::optional<FileIdentity> Directory::identityOf(const char* name) const
{
    struct stat st;
    if (!fd_.valid() || ::fstatat(fd_.get(), name, &st, 0) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    FileIdentity identity;
    describe(st, identity);
    return identity;
}

bool isRegularFileOrAbsent(const QByteArray& path, QString* reason)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0) {
        if (errno == ENOENT)
            return true;
        *reason = systemReason(errno);
        return false;
    }
    if (S_ISREG(st.st_mode))
        return true;
    *reason = kindReason(st);
    return false;
}

namespace {

constexpr char kTemporaryPrefix[] = ".lifeledger-";
constexpr int kTemporaryLetters = 6;

QString linkRefusal()
{
    return QCoreApplication::translate("FileSystem", "It is a symbolic link; Lifeledger never writes "
                                                     "through a link to a file elsewhere.");
}

// What stands at a target now, opened without following a link and without
// waiting on a pipe: -1 when nothing does. Throws FileCreateError for what is
// never written over: a link, a folder, another non-file, a read-only file.
UniqueFd openTarget(int folder, const char* name, const QByteArray& shown, struct stat& st)
{
    if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return {};
        throw FileCreateError(createError(shown, systemReason(errno)));
    }
    if (S_ISLNK(st.st_mode))
        throw FileCreateError(createError(shown, linkRefusal()));
    if (S_ISDIR(st.st_mode))
        throw FileCreateError(createError(shown, QCoreApplication::translate("FileSystem", "A directory of that name is in the way.")));
    if (!S_ISREG(st.st_mode))
        throw FileCreateError(createError(shown, kindReason(st)));
    // The rename would replace a read-only file without asking (and root
    // ignores permission bits anyway), so the user's mark is honoured here.
    if (!(st.st_mode & S_IWUSR))
        throw FileCreateError(createError(shown, QCoreApplication::translate("FileSystem", "The file is read-only.")));
    // O_NOFOLLOW: swapped for a link since, it is still refused.
    UniqueFd fd(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        const int error = errno;
        if (error == ENOENT)
            return {};
        throw FileCreateError(createError(shown, error == ELOOP ? linkRefusal() : systemReason(error)));
    }
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        throw FileCreateError(createError(shown, QCoreApplication::translate("FileSystem", "It is not a regular file.")));
    return fd;
}

// The content of an open file from its start, hashed as a read hashes it;
// nullopt when it cannot be read.
std::optional<std::uint64_t> contentHash(int fd, qint64 size)
{
    QByteArray content(qsizetype(size), Qt::Uninitialized);
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, content.data() + got, size_t(size - got), got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += n;
    }
    return hashOf(content.constData(), got);
}

// Whether an open file is still the one read: device, inode, size, time and
// (where those agree) content. A content that cannot be read back is judged
// by its stat alone.
bool isStill(int fd, const FileIdentity& expected)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return false;
    FileIdentity now;
    describe(st, now);
    if (now.device != expected.device || now.inode != expected.inode || now.size != expected.size
        || now.modifiedNs != expected.modifiedNs)
        return false;
    const auto hash = contentHash(fd, now.size);
    return !hash || *hash == expected.contentHash;
}

// Whether no other open file, of this process or another, refers to the
// file open as `fd`: the kernel grants a write lease only then. A game still
// writing into a record it opened a moment ago holds it open; once the
// record's name leads elsewhere, nobody can open it anew. Where no lease can
// be had (another user's file, a file system without leases), nothing can
// be told and the answer is yes. The lease lasts until `fd` is closed.
bool openNowhereElse(int fd)
{
    if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0)
        return true;
    return errno != EAGAIN && errno != EBUSY;
}

// Whether a name in a folder is that very file (same device and inode), not
// following a link.
bool nameIs(int folder, const char* name, const struct stat& file)
{
    struct stat st;
    return ::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_dev == file.st_dev
           && st.st_ino == file.st_ino;
}

mode_t creationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

QByteArray withSeparator(const QByteArray& path)
{
    if (path.isEmpty())
        return "./";
    return path.endsWith('/') ? path : path + '/';
}

QByteArray newTemporaryName()
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name = kTemporaryPrefix;
    for (int i = 0; i < kTemporaryLetters; ++i)
        name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return name;
}

int exchange(int folder, const char* a, const char* b)
{
    return int(::syscall(SYS_renameat2, folder, a, folder, b, RENAME_EXCHANGE));
}

}  // namespace

bool isTemporaryName(QByteArrayView name)
{
    const qsizetype prefix = qsizetype(sizeof kTemporaryPrefix - 1);
    if (name.size() != prefix + kTemporaryLetters || !name.startsWith(kTemporaryPrefix))
        return false;
    for (qsizetype i = prefix; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return true;
}

WriteFolder::WriteFolder(const QByteArray& path, const QByteArray& forFile) : path_(withSeparator(path))
{
    fd_.reset(::open(path_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd_.valid()) {
        const QString reason = errno == ENOTDIR ? QCoreApplication::translate("FileSystem", "It is not a folder.") : systemReason(errno);
        throw FileCreateError(forFile.isEmpty() ? folderError(path_, reason) : createError(forFile, reason));
    }
}

WriteFolder::WriteFolder(const WriteFolder& parent, const QByteArray& name) : path_(parent.path() + name + '/')
{
    if (::mkdirat(parent.descriptor(), name.constData(), 0777) != 0 && errno != EEXIST)
        throw FileCreateError(folderError(path_, systemReason(errno)));
    fd_.reset(::openat(parent.descriptor(), name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd_.valid()) {
        const int error = errno;
        struct stat st;
        const bool link = ::fstatat(parent.descriptor(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0
                          && S_ISLNK(st.st_mode);
        throw FileCreateError(folderError(
            path_, link ? QCoreApplication::translate("FileSystem", "It is a symbolic link; Lifeledger never writes "
                                                                    "through a link to a folder elsewhere.")
                   : error == ENOTDIR ? QCoreApplication::translate("FileSystem", "It is not a folder.")
                                      : systemReason(error)));
    }
}

WriteFolder::~WriteFolder() = default;

bool WriteFolder::holds(const QByteArray& name) const
{
    struct stat st;
    return ::fstatat(fd_.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

FileWriter::FileWriter(const WriteFolder& folder, const QByteArray& name, WriteFault fault)
    : folder_(folder), name_(name), fault_(std::move(fault))
{
    // Refused before anything is written: a link, a folder, a read-only file.
    struct stat st;
    const UniqueFd old(openTarget(folder_.descriptor(), name_.constData(), target(), st));
    if (fault_ && !fault_(WriteStep::Create, 0))
        throw FileCreateError(createError(target(), systemReason(ENOSPC)));
    // Short and hidden: it fits even beside a record whose own name is as
    // long as names can be.
    for (int attempt = 0; attempt < 100 && !fd_.valid(); ++attempt) {
        const QByteArray candidate = newTemporaryName();
        fd_.reset(::openat(folder_.descriptor(), candidate.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           0600));
        if (fd_.valid())
            temp_ = candidate;
        else if (errno != EEXIST)
            break;
    }
    if (!fd_.valid())
        throw FileCreateError(createError(target(), systemReason(errno)));
}

FileWriter::~FileWriter()
{
    if (!temp_.isEmpty())
        ::unlinkat(folder_.descriptor(), temp_.constData(), 0);
}

QByteArray FileWriter::target() const
{
    return folder_.path() + name_;
}

FileCreateError FileWriter::fail(const QString& reason) const
{
    // The hidden file goes with the writer.
    return FileCreateError(createError(target(), reason));
}

FileChangedError FileWriter::changed(bool removed) const
{
    return FileChangedError(createError(target(), removed ? QCoreApplication::translate("FileSystem", "The file has been removed since it was read.")
                                                      : QCoreApplication::translate("FileSystem", "The file has been changed since it was read.")));
}

void FileWriter::write(QByteArrayView bytes)
{
    const QString full = QCoreApplication::translate("FileSystem", "Not all of it could be written (is the disk full?).");
    for (qsizetype at = 0; at < bytes.size(); ++chunk_) {
        const qsizetype n = std::min(kWriteChunk, bytes.size() - at);
        if (fault_ && !fault_(WriteStep::Write, chunk_))
            throw fail(full);
        qsizetype done = 0;
        while (done < n) {
            const ssize_t w = ::write(fd_.get(), bytes.data() + at + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                throw fail(full + QLatin1Char(' ') + systemReason(w < 0 ? errno : ENOSPC));
            done += w;
        }
        at += n;
    }
}

void FileWriter::commit(const FileIdentity* expected, FileIdentity* written)
{
    auto allowed = [this](WriteStep step) { return !fault_ || fault_(step, 0); };
    if (!allowed(WriteStep::Flush) || ::fsync(fd_.get()) != 0)
        throw fail(QCoreApplication::translate("FileSystem", "It could not be written to the disk."));

    // The old file as it stands now: its owner, group and mode go to the new
    // one, in every respect the game and its user rely on.
    struct stat oldStat;
    UniqueFd old(openTarget(folder_.descriptor(), name_.constData(), target(), oldStat));
    if (expected && (!old.valid() || !isStill(old.get(), *expected)))
        throw changed(!old.valid());
    const bool oldExists = old.valid();
    // Closed now: the old file is judged once more after the exchange, and
    // only an old file nobody holds open (this process included) passes.
    old.reset();
    struct stat mine;
    if (::fstat(fd_.get(), &mine) != 0)
        throw fail(systemReason(errno));
    if (oldExists) {
        if ((mine.st_uid != oldStat.st_uid || mine.st_gid != oldStat.st_gid)
            && ::fchown(fd_.get(), oldStat.st_uid, oldStat.st_gid) != 0)
            throw fail(QCoreApplication::translate("FileSystem", "It belongs to user %1, group %2, and a new file cannot be given that owner, "
                                                                 "so the file is left as it was.")
                           .arg(oldStat.st_uid)
                           .arg(oldStat.st_gid));
        if (::fchmod(fd_.get(), oldStat.st_mode & 07777) != 0)
            throw fail(systemReason(errno));
    } else if (::fchmod(fd_.get(), creationMode()) != 0) {
        throw fail(systemReason(errno));
    }
    finish(written);
    if (!allowed(WriteStep::Rename))
        throw fail(systemReason(EIO));
    put(expected && oldExists ? expected : nullptr);
    // The rename itself on the disk, where the file system allows it.
    ::fsync(folder_.descriptor());
    allowed(WriteStep::Done);
}

void FileWriter::finish(FileIdentity* written)
{
    struct stat mine;
    if (written) {
        if (::fstat(fd_.get(), &mine) != 0)
            throw fail(systemReason(errno));
        describe(mine, *written);
        written->contentHash = contentHash(fd_.get(), written->size).value_or(0);
    }
}

void FileWriter::commitNew(const FileOwnership& ownership, FileIdentity* written)
{
    auto allowed = [this](WriteStep step) { return !fault_ || fault_(step, 0); };
    if (!allowed(WriteStep::Flush) || ::fsync(fd_.get()) != 0)
        throw fail(QCoreApplication::translate("FileSystem", "It could not be written to the disk."));
    struct stat mine;
    if (::fstat(fd_.get(), &mine) != 0)
        throw fail(systemReason(errno));
    if ((mine.st_uid != ownership.user || mine.st_gid != ownership.group)
        && ::fchown(fd_.get(), ownership.user, ownership.group) != 0)
        throw fail(QCoreApplication::translate("FileSystem", "It belonged to user %1, group %2, and a new file cannot be given that owner.")
                       .arg(ownership.user)
                       .arg(ownership.group));
    if (::fchmod(fd_.get(), ownership.mode & 07777) != 0)
        throw fail(systemReason(errno));
    finish(written);
    if (!allowed(WriteStep::Rename))
        throw fail(systemReason(EIO));
    const int folder = folder_.descriptor();
    int placed = int(::syscall(SYS_renameat2, folder, temp_.constData(), folder, name_.constData(), RENAME_NOREPLACE));
    if (placed != 0 && errno == EINVAL) {
        // A file system without the flag: a hard link is never made over
        // an existing name either.
        placed = ::linkat(folder, temp_.constData(), folder, name_.constData(), 0);
        if (placed == 0)
            ::unlinkat(folder, temp_.constData(), 0);
    }
    if (placed != 0) {
        if (errno == EEXIST)
            throw FileExistsError(createError(target(), QCoreApplication::translate("FileSystem", "A file of that name is there again.")));
        throw fail(systemReason(errno));
    }
    temp_.clear();
    ::fsync(folder);
    allowed(WriteStep::Done);
}

void FileWriter::put(const FileIdentity* expected)
{
    const int folder = folder_.descriptor();
    const char* name = name_.constData();
    const int exchanged = expected ? exchange(folder, temp_.constData(), name) : -1;
    const int exchangeError = errno;
    if (exchanged == 0) {
        // The new file is in place and the old one, whatever was there at
        // that instant, now has the hidden name. Only now is it judged: no
        // moment is left for another program's write to slip through.
        if (fault_)
            fault_(WriteStep::Check, 0);
        // Unchanged, and not open for writing (or reading) anywhere: a game
        // that opened the old record just before would write into a file
        // about to be removed.
        const UniqueFd previous(::openat(folder, temp_.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (previous.valid() && openNowhereElse(previous.get()) && isStill(previous.get(), *expected)) {
            ::unlinkat(folder, temp_.constData(), 0);
            temp_.clear();
            return;
        }
        // Changed or replaced meanwhile: the game's file goes back. Had the
        // game replaced the record once more in between (the hidden name then
        // holds that newer file, not this one), it is exchanged once more, so
        // that the newest of its files stays. A record the game removed in
        // between stays removed. What the hidden name holds at the end goes
        // with the writer.
        struct stat mine;
        if (::fstat(fd_.get(), &mine) == 0 && exchange(folder, temp_.constData(), name) == 0
            && !nameIs(folder, temp_.constData(), mine))
            exchange(folder, temp_.constData(), name);
        throw changed(false);
    }
    // Removed since it was judged: it is never made again.
    if (expected && exchangeError == ENOENT)
        throw changed(true);
    // No exchange (a file system without it), or nothing to judge: rename()
    // replaces the directory entry itself, so were the target swapped for a
    // link since the check, the link is replaced, not its target.
    if (::renameat(folder, temp_.constData(), folder, name) != 0)
        throw fail(systemReason(errno));
    temp_.clear();
}

void replaceFile(const QByteArray& path, const QByteArray& bytes, const FileIdentity* expected,
                 FileIdentity* written, const WriteFault& fault)
{
    const qsizetype slash = path.lastIndexOf('/');
    const WriteFolder folder(slash < 0 ? QByteArray(".") : path.left(slash + 1), path);
    FileWriter file(folder, path.mid(slash + 1), fault);
    file.write(bytes);
    file.commit(expected, written);
}

void replaceFile(const WriteFolder& folder, const QByteArray& name, const QByteArray& bytes)
{
    FileWriter file(folder, name);
    file.write(bytes);
    file.commit();
}

bool removeFolder(const WriteFolder& parent, const QByteArray& name)
{
    const int parentFd = parent.descriptor();
    {
        UniqueFd fd(::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!fd.valid())
            return errno == ENOENT;
        const int folder = fd.get();
        std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(fd.release()), ::closedir);
        if (!listing)
            return false;
        std::vector<QByteArray> names;
        while (const dirent* entry = ::readdir(listing.get()))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.emplace_back(entry->d_name);
        for (const QByteArray& entry : names)
            ::unlinkat(folder, entry.constData(), 0);  // a folder within stays, and so does this one
    }
    return ::unlinkat(parentFd, name.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT;
}

bool isFolderEntry(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool entryExists(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

bool Directory::removeStaleTemporaryFile(QByteArrayView name, int olderThanSeconds) const
{
    if (!fd_.valid() || !isTemporaryName(name))
        return false;
    const QByteArray zeroTerminated = name.toByteArray();
    struct stat st;
    return ::fstatat(fd_.get(), zeroTerminated.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)
           && st.st_mtim.tv_sec < ::time(nullptr) - olderThanSeconds
           && ::unlinkat(fd_.get(), zeroTerminated.constData(), 0) == 0;
}

namespace {

// Moves `name` aside to a new hidden name in the same folder, never over
// anything: the hidden name, or empty (errno telling why).
QByteArray moveAside(int folder, const char* name, int* error)
{
    *error = EEXIST;
    for (int attempt = 0; attempt < 100 && *error == EEXIST; ++attempt) {
        const QByteArray temp = newTemporaryName();
        if (::syscall(SYS_renameat2, folder, name, folder, temp.constData(), RENAME_NOREPLACE) == 0)
            return temp;
        *error = errno;
    }
    return {};
}

}  // namespace

DeleteResult deleteFile(const QByteArray& path, QString* reason, const FileIdentity* expected)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0) {
        if (errno == ENOENT)
            return DeleteResult::Deleted;
        *reason = systemReason(errno);
        return DeleteResult::Failed;
    }
    if (S_ISDIR(st.st_mode)) {
        *reason = QCoreApplication::translate("FileSystem", "It is a directory.");
        return DeleteResult::Failed;
    }
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray name = path.mid(slash + 1);
    const UniqueFd folder(::open(slash < 0 ? "." : path.left(slash + 1).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    QByteArray aside;
    int asideError = 0;
    if (expected && folder.valid())
        aside = moveAside(folder.get(), name.constData(), &asideError);
    if (aside.isEmpty()) {
        if (expected && asideError == ENOENT)
            return DeleteResult::Deleted;  // gone meanwhile
        // No atomic move here (a file system without it): judged in place.
        if (expected) {
            const UniqueFd file(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
            if (file.valid() && !isStill(file.get(), *expected)) {
                *reason = QCoreApplication::translate("FileSystem", "The file has been changed since it was read.");
                return DeleteResult::Changed;
            }
        }
        if (::unlink(path.constData()) == 0 || errno == ENOENT)
            return DeleteResult::Deleted;
        *reason = systemReason(errno);
        return DeleteResult::Failed;
    }
    // Aside, nothing can open it by its name any more: it is judged there,
    // and only when nothing holds it open (a game writing into it).
    const UniqueFd file(::openat(folder.get(), aside.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid() || (openNowhereElse(file.get()) && isStill(file.get(), *expected))) {
        ::unlinkat(folder.get(), aside.constData(), 0);
        return DeleteResult::Deleted;
    }
    // Changed: back it goes, unless the game has made the record anew
    // meanwhile (its newer file then stays, and this one is superseded).
    if (::syscall(SYS_renameat2, folder.get(), aside.constData(), folder.get(), name.constData(), RENAME_NOREPLACE) != 0)
        ::unlinkat(folder.get(), aside.constData(), 0);
    *reason = QCoreApplication::translate("FileSystem", "The file has been changed since it was read.");
    return DeleteResult::Changed;
}
