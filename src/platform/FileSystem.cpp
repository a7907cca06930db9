#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QFile>
#include <QHashFunctions>
#include <QLocale>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef Q_OS_UNIX
#error "Lifeledger's file access is written for POSIX systems (Linux, where the game runs under Wine)."
#endif

QByteArray EncodePath(const QString& path)
{
    return QFile::encodeName(path);
}

QString PathText(const QByteArray& path)
{
    return QFile::decodeName(path);
}

QString CreateErrorText(const QString& path, const QString& reason)
{
    return QCoreApplication::translate("FileSystem", "Cannot create file \"%1\". %2").arg(path, reason);
}

namespace {

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char('.');
}

QString Bytes(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

// Closes a descriptor when it goes out of scope.
struct TDescriptor {
    int fd = -1;
    explicit TDescriptor(int f) : fd(f) {}
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    ~TDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

std::uint64_t HashOf(const char* data, qsizetype size)
{
    return qHashBits(data, size_t(size), 0);
}

void Describe(const struct stat& st, TFileIdentity& identity)
{
    identity.Device = std::uint64_t(st.st_dev);
    identity.Inode = std::uint64_t(st.st_ino);
    identity.Size = std::int64_t(st.st_size);
    identity.ModifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// Reads up to `size` bytes into `into`: fewer only at the end of the file
// (it shrank since it was measured). -1 on an error, errno telling which.
qint64 ReadUpTo(int fd, char* into, qint64 size)
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

QString OpenError(const QByteArray& path, const QString& reason)
{
    return QCoreApplication::translate("FileSystem", "Cannot open file \"%1\". %2").arg(PathText(path), reason);
}

QString CreateError(const QByteArray& path, const QString& reason)
{
    return CreateErrorText(PathText(path), reason);
}

QString KindReason(const struct stat& st)
{
    return S_ISDIR(st.st_mode) ? QCoreApplication::translate("FileSystem", "It is a directory.") : QCoreApplication::translate("FileSystem", "It is not a regular file.");
}

// Opens `name` (relative to `dir`, or AT_FDCWD) for reading as a regular
// file; messages name it as prefix + name. The open does not wait on a
// pipe, and only a regular file is kept. Throws EFOpenError.
int OpenRegular(int dir, const char* name, const QByteArray& prefix, struct stat& st)
{
    const int fd = ::openat(dir, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const auto path = [&] { return prefix + name; };
    if (fd < 0)
        throw EFOpenError(OpenError(path(), SystemReason(errno)));
    QString refused;
    if (::fstat(fd, &st) != 0)
        refused = SystemReason(errno);
    else if (!S_ISREG(st.st_mode))
        refused = KindReason(st);
    if (!refused.isEmpty()) {
        ::close(fd);
        throw EFOpenError(OpenError(path(), refused));
    }
    return fd;
}

// Reads an opened regular file whole into memory from allocate(size): the
// size fstat gave is the snapshot taken (the game rewrites its files whole
// and never appends). Returns the bytes read.
qint64 ReadOpened(int fd, const struct stat& st, const QByteArray& prefix, const char* name, qint64 maxBytes,
                  const std::function<char*(qint64)>& allocate, TFileIdentity* identity)
{
    const auto path = [&] { return prefix + name; };
    if (st.st_size > maxBytes)
        throw EFOpenError(OpenError(path(), QCoreApplication::translate("FileSystem", "It is %1 bytes long; at most %2 bytes are read.")
                                              .arg(Bytes(st.st_size), Bytes(maxBytes))));
    char* into = allocate(qint64(st.st_size));
    const qint64 got = ReadUpTo(fd, into, qint64(st.st_size));
    if (got < 0)
        throw EFOpenError(QCoreApplication::translate("FileSystem", "Cannot read file \"%1\". %2").arg(PathText(path()), SystemReason(errno)));
    if (identity) {
        Describe(st, *identity);
        identity->ContentHash = HashOf(into, got);
    }
    return got;
}

}  // namespace

QByteArray ReadRegularFile(const QByteArray& path, qint64 maxBytes, TFileIdentity* identity)
{
    struct stat st;
    const TDescriptor file(OpenRegular(AT_FDCWD, path.constData(), {}, st));
    QByteArray data;
    const qint64 got = ReadOpened(file.fd, st, {}, path.constData(), maxBytes, [&data](qint64 size) {
        data.resize(size);
        return data.data();
    }, identity);
    data.truncate(got);
    return data;
}

TFileReader::TFileReader(const QByteArray& path)
{
    struct stat st;
    fd_ = OpenRegular(AT_FDCWD, path.constData(), {}, st);
}

TFileReader::~TFileReader()
{
    ::close(fd_);
}

qint64 TFileReader::Read(char* into, qint64 size)
{
    return std::max<qint64>(ReadUpTo(fd_, into, size), 0);
}

TDirectory::TDirectory(const QByteArray& path) : path_(path)
{
    fd_ = ::open(path.isEmpty() ? "." : path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

TDirectory::~TDirectory()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void TDirectory::List(const std::function<void(QByteArrayView name, bool regular)>& visit) const
{
    if (fd_ < 0)
        return;
    // A listing of its own: fdopendir takes the descriptor over.
    const int listing = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        bool regular = entry->d_type == DT_REG;
        // The listing tells most types; a link, or a file system that does
        // not say, is asked.
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st;
            regular = ::fstatat(fd_, name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        visit(QByteArrayView(name, qsizetype(std::strlen(name))), regular);
    }
    ::closedir(dir);
}

qint64 TDirectory::ReadFile(const char* name, qint64 maxBytes, const std::function<char*(qint64 size)>& allocate,
                            TFileIdentity* identity) const
{
    if (fd_ < 0)
        throw EFOpenError(OpenError(path_ + name, SystemReason(ENOENT)));
    struct stat st;
    const TDescriptor file(OpenRegular(fd_, name, path_, st));
    return ReadOpened(file.fd, st, path_, name, maxBytes, allocate, identity);
}

bool IsRegularFile(const QByteArray& path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

// The old file as it stands, checked before anything is written.
struct TOldFile {
    bool Exists = false;
    struct stat Stat {};
};

TOldFile CheckOldFile(const QByteArray& path, const TFileIdentity* expected)
{
    TOldFile old;
    // O_NOFOLLOW: a link is refused, never followed to a file elsewhere.
    const TDescriptor file(::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.fd < 0) {
        const int error = errno;
        if (error == ELOOP)
            throw EFCreateError(CreateError(path, QCoreApplication::translate("FileSystem", "It is a symbolic link; Lifeledger never writes "
                                                      "through a link to a file elsewhere.")));
        if (error != ENOENT)
            throw EFCreateError(CreateError(path, SystemReason(error)));
        if (expected)
            throw EFileChanged(CreateError(path, QCoreApplication::translate("FileSystem", "The file has been removed since it was read.")));
        return old;
    }
    old.Exists = true;
    if (::fstat(file.fd, &old.Stat) != 0)
        throw EFCreateError(CreateError(path, SystemReason(errno)));
    if (S_ISDIR(old.Stat.st_mode))
        throw EFCreateError(CreateError(path, QCoreApplication::translate("FileSystem", "A directory of that name is in the way.")));
    if (!S_ISREG(old.Stat.st_mode))
        throw EFCreateError(CreateError(path, KindReason(old.Stat)));
    // The rename would replace a read-only file without asking (and root
    // ignores permission bits anyway), so the user's mark is honoured here.
    if (!(old.Stat.st_mode & S_IWUSR))
        throw EFCreateError(CreateError(path, QCoreApplication::translate("FileSystem", "The file is read-only.")));
    if (expected) {
        TFileIdentity now;
        Describe(old.Stat, now);
        bool same = now.Device == expected->Device && now.Inode == expected->Inode && now.Size == expected->Size
                    && now.ModifiedNs == expected->ModifiedNs;
        if (same) {
            QByteArray content(qsizetype(now.Size), Qt::Uninitialized);
            const qint64 got = ReadUpTo(file.fd, content.data(), content.size());
            // (Content that cannot be read back is judged by its stat alone.)
            same = got < 0 || HashOf(content.constData(), got) == expected->ContentHash;
        }
        if (!same)
            throw EFileChanged(CreateError(path, QCoreApplication::translate("FileSystem", "The file has been changed since it was read.")));
    }
    return old;
}

mode_t CreationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void ReplaceFile(const QByteArray& path, const QByteArray& bytes, const TFileIdentity* expected,
                 TFileIdentity* written, const TWriteFault& fault)
{
    auto allowed = [&fault](TWriteStep step, int chunk = 0) { return !fault || fault(step, chunk); };
    const TOldFile old = CheckOldFile(path, expected);

    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray directory = slash < 0 ? QByteArray(".") : path.left(slash + 1);
    // Short, hidden and never "cr_*": a process that dies before the rename
    // leaves nothing a scan could take for a record, and the name fits even
    // beside a record whose own name is as long as names can be.
    QByteArray temp = directory + (slash < 0 ? "/" : "") + ".lifeledger-XXXXXX";
    if (!allowed(TWriteStep::Create))
        throw EFCreateError(CreateError(path, SystemReason(ENOSPC)));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        throw EFCreateError(CreateError(path, SystemReason(errno)));
    TDescriptor file(fd);
    auto fail = [&](const QString& reason) {
        ::unlink(temp.constData());
        return EFCreateError(CreateError(path, reason));
    };

    int chunk = 0;
    for (qsizetype at = 0; at < bytes.size(); ++chunk) {
        const qsizetype n = std::min(kWriteChunk, bytes.size() - at);
        if (!allowed(TWriteStep::Write, chunk))
            throw fail(QCoreApplication::translate("FileSystem", "Not all of it could be written (is the disk full?)."));
        qsizetype done = 0;
        while (done < n) {
            const ssize_t w = ::write(fd, bytes.constData() + at + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                throw fail(QCoreApplication::translate("FileSystem", "Not all of it could be written (is the disk full?). ") + SystemReason(errno));
            done += w;
        }
        at += n;
    }
    if (!allowed(TWriteStep::Flush) || ::fsync(fd) != 0)
        throw fail(QCoreApplication::translate("FileSystem", "It could not be written to the disk."));

    // The new file takes the old one's place in every respect the game and
    // its user rely on: owner, group and mode.
    struct stat mine;
    if (::fstat(fd, &mine) != 0)
        throw fail(SystemReason(errno));
    if (old.Exists) {
        if ((mine.st_uid != old.Stat.st_uid || mine.st_gid != old.Stat.st_gid)
            && ::fchown(fd, old.Stat.st_uid, old.Stat.st_gid) != 0)
            throw fail(QCoreApplication::translate("FileSystem", "It belongs to user %1, group %2, and a new file cannot be given that owner, "
                              "so the file is left as it was.")
                           .arg(old.Stat.st_uid)
                           .arg(old.Stat.st_gid));
        if (::fchmod(fd, old.Stat.st_mode & 07777) != 0)
            throw fail(SystemReason(errno));
    } else if (::fchmod(fd, CreationMode()) != 0) {
        throw fail(SystemReason(errno));
    }
    if (written) {
        if (::fstat(fd, &mine) != 0)
            throw fail(SystemReason(errno));
        Describe(mine, *written);
        written->ContentHash = HashOf(bytes.constData(), bytes.size());
    }

    if (!allowed(TWriteStep::Rename))
        throw fail(SystemReason(EIO));
    // rename() replaces the directory entry itself: were the record swapped
    // for a link since the check above, the link is replaced, not its target.
    if (::rename(temp.constData(), path.constData()) != 0)
        throw fail(SystemReason(errno));
    // The rename itself on the disk, where the file system allows it.
    const TDescriptor dir(::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd >= 0)
        ::fsync(dir.fd);
    allowed(TWriteStep::Done);
}

bool DeleteFile(const QByteArray& path, QString* reason)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0) {
        if (errno == ENOENT)
            return true;
        *reason = SystemReason(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        *reason = QCoreApplication::translate("FileSystem", "It is a directory.");
        return false;
    }
    if (::unlink(path.constData()) == 0 || errno == ENOENT)
        return true;
    *reason = SystemReason(errno);
    return false;
}
