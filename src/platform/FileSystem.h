// Every file-system call Lifeledger makes, in one place (POSIX).
//
// Paths are raw bytes as the file system spells them: a name listed from a
// directory goes to the open, the save and the deletion unchanged, even when
// it is not valid UTF-8 (records unpacked from Windows archives). Paths built
// from text go through EncodePath; only messages decode them again.
#pragma once

#include "common/Exception.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

QByteArray encodePath(const QString& path);
// For messages: invalid bytes show as replacement characters.
QString pathText(const QByteArray& path);
// The message of a file that cannot be written: the path and why.
QString createErrorText(const QString& path, const QString& reason);

// One open file descriptor (a file, a folder, an inotify instance), closed
// when its owner goes: every descriptor the program opens is held by one,
// whatever the path out of the code that opened it.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// What a file was when it was read. A save compares it with what is on the
// disk now, so that it never overwrites what another program (the game)
// wrote meanwhile.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
    std::uint64_t contentHash = 0;

    bool operator==(const FileIdentity&) const = default;
};

// Who a file belongs to and who may do what with it: kept by every file
// put back where it was.
struct FileOwnership {
    std::uint32_t user = 0;
    std::uint32_t group = 0;
    std::uint32_t mode = 0;  // permission bits
    bool operator==(const FileOwnership&) const = default;
};

// Reads a whole regular file (following links). Throws FileOpenError naming
// the path when it is missing or unreadable, is not a regular file (a pipe
// or device is refused without waiting on it) or is larger than maxBytes
// (the message gives its size). With `identity`, also says what was read.
QByteArray readRegularFile(const QByteArray& path, qint64 maxBytes, FileIdentity* identity = nullptr,
                           FileOwnership* ownership = nullptr);


// The locale of the language the messages are in: numbers in a message are
// formatted with it.
QLocale messageLocale();

// A run of memory to read into.
struct ByteRange {
    char* data;
    qint64 size;
};

// An open regular file, read from its start piece by piece: for formats
// whose parts go straight into buffers of their own.
class FileReader {
public:
    // Throws FileOpenError naming the path, as ReadRegularFile does.
    explicit FileReader(const QByteArray& path);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Reads up to `size` bytes into `into`; fewer only at the end of the
    // file. Throws ReadError naming the path when the disk fails.
    qint64 read(char* into, qint64 size);
    // Reads into the ranges one after another, with as few system calls as
    // the system allows (one for up to a thousand ranges); fewer bytes than
    // they hold only at the end of the file. Returns how many were read.
    // Throws ReadError naming the path when the disk fails.
    qint64 read(std::span<const ByteRange> into);

    // What the file was when it was opened.
    const FileIdentity& identity() const { return identity_; }

private:
    QByteArray path_;
    UniqueFd fd_;
    FileIdentity identity_;
};

// What a path names now (links followed): device, inode, size and time, no
// content; nullopt when it names nothing readable.
std::optional<FileIdentity> statIdentity(const QByteArray& path);

// A directory opened once, for many files listed, tested and read by name
// relative to it: a fill of the list reads every record of the history
// directory this way, with one walk of the directory's path instead of one
// per file.
class Directory {
public:
    // A directory that cannot be opened (missing, no folder) lists nothing
    // and has no files.
    explicit Directory(const QByteArray& path);
    ~Directory();
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;

    const QByteArray& path() const { return path_; }
    // Why it could not be opened (empty when it is open).
    QString problem() const;

    // Every entry but "." and "..", in the order the system lists them:
    // its raw name and whether it is a regular file (following links) --
    // the answer a stat of that name would give now.
    void list(const std::function<void(QByteArrayView name, bool regular)>& visit) const;

    // Reads the whole regular file `name` (zero-terminated) into memory that
    // allocate(size) provides and returns how many bytes it read (fewer than
    // asked when the file shrank meanwhile). Throws FileOpenError as
    // ReadRegularFile does, naming the directory's path with the name.
    qint64 readFile(const char* name, qint64 maxBytes, const std::function<char*(qint64 size)>& allocate,
                    FileIdentity* identity = nullptr) const;

    // What the regular file `name` is now (links followed), without opening
    // it; nullopt when it names no regular file. The content hash stays 0.
    std::optional<FileIdentity> identityOf(const char* name) const;

    // Removes `name` when it is a hidden file that a write killed midway
    // left behind (IsTemporaryName): a regular file, never a link, last
    // changed longer ago than `olderThanSeconds` (a write in progress is
    // never touched). Whether it was removed.
    bool removeStaleTemporaryFile(QByteArrayView name, int olderThanSeconds = 60) const;

private:
    QByteArray path_;
    UniqueFd fd_;
    int error_ = 0;
};

// Whether path (links followed) names a regular file or nothing at all;
// otherwise *reason says what it is.
bool isRegularFileOrAbsent(const QByteArray& path, QString* reason);

// The steps of a write, for tests that make one of them fail or act in
// them. Check is the moment after the new file took the old one's place and
// before the old one is judged: another program's write there must still be
// caught.
enum class WriteStep { Create, Write, Flush, Rename, Check, Done };
// Called before each step (Write once per chunk, with its number; Done
// after the rename); returning false makes that step fail as a full disk
// would.
using WriteFault = std::function<bool(WriteStep step, int chunk)>;
inline constexpr qsizetype kWriteChunk = 64 * 1024;

// The file is no longer the one that was read: something else wrote it,
// replaced it or removed it since.
class FileChangedError : public FileCreateError {
public:
    using FileCreateError::FileCreateError;
};

// A file was to be put back under a name that something holds again.
class FileExistsError : public FileCreateError {
public:
    using FileCreateError::FileCreateError;
};

// The hidden name every file being written has until it is complete:
// ".lifeledger-" and six letters or digits. Never a record's name, so a
// process that dies mid-write leaves nothing a scan could take for one.
bool isTemporaryName(QByteArrayView name);

// A folder that files are written into, held open: every file written and
// every folder made in it is found relative to this very folder, so a
// folder swapped for a link meanwhile is never followed.
class WriteFolder {
public:
    // The folder at `path`, as the caller names it (a link to a folder is
    // the place the user chose). Throws FileCreateError naming it (or the
    // file `forFile` that was to be written there) when it is missing or no
    // folder.
    explicit WriteFolder(const QByteArray& path, const QByteArray& forFile = {});
    // The folder `name` inside `parent`, made when missing. A link (or
    // anything but a folder) in its place is refused, never followed.
    WriteFolder(const WriteFolder& parent, const QByteArray& name);
    ~WriteFolder();
    WriteFolder(const WriteFolder&) = delete;
    WriteFolder& operator=(const WriteFolder&) = delete;

    // The folder's path with a trailing separator, for messages.
    const QByteArray& path() const { return path_; }
    int descriptor() const { return fd_.get(); }
    // Whether an entry of that name is there: a file, a folder, or a link,
    // even one that leads nowhere.
    bool holds(const QByteArray& name) const;

private:
    QByteArray path_;
    UniqueFd fd_;
};

// The one way Lifeledger writes a file, piece by piece: into a new hidden
// file beside the target (IsTemporaryName), which is flushed, given the old
// file's owner, group and mode (or the usual mode of a new file), and put
// in the place of the directory entry itself. A failure at any step, even
// the death of the process, leaves the old file whole. The target is never
// followed when it is a link: such a write is refused, with a message
// naming the link; so are a folder or another non-file in the target's
// place and a file marked read-only.
class FileWriter {
public:
    // Checks the target and creates the hidden file. Throws FileCreateError
    // naming the target.
    FileWriter(const WriteFolder& folder, const QByteArray& name, WriteFault fault = {});
    // Removes the hidden file unless the write was committed.
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    void write(QByteArrayView bytes);

    // Puts the file in place. With `expected`, the old file must still be
    // exactly that one (device, inode, size, modification time, content),
    // else FileChangedError is thrown and the old file stays: the new one takes
    // the old one's place in one atomic exchange, and the old one is judged
    // after it, so a write by another program at any moment before is
    // caught (where the file system cannot exchange, the old one is judged
    // just before an ordinary rename). A file removed since is never made
    // again. `written` receives the new file's identity.
    void commit(const FileIdentity* expected = nullptr, FileIdentity* written = nullptr);
    // Puts the file in place only where nothing has that name now (in one
    // atomic step, so nothing made meanwhile is ever replaced), with the
    // given owner, group and mode. Throws FileExistsError when the name is
    // taken, FileCreateError otherwise.
    void commitNew(const FileOwnership& ownership, FileIdentity* written = nullptr);

private:
    void finish(FileIdentity* written);
    QByteArray target() const;
    void put(const FileIdentity* expected);
    FileCreateError fail(const QString& reason) const;
    FileChangedError changed(bool removed) const;

    const WriteFolder& folder_;
    QByteArray name_;
    WriteFault fault_;
    QByteArray temp_;  // the hidden file's name in the folder; empty once it is gone
    UniqueFd fd_;
    int chunk_ = 0;
};

// A whole file written through FileWriter, into the folder of `path`.
void replaceFile(const QByteArray& path, const QByteArray& bytes, const FileIdentity* expected = nullptr,
                 FileIdentity* written = nullptr, const WriteFault& fault = {});
// The same, for a file of a folder already open.
void replaceFile(const WriteFolder& folder, const QByteArray& name, const QByteArray& bytes);

// Removes the folder `name` of `parent` and the files in it (not following
// a link, never descending into a folder within it). Whether it is gone.
bool removeFolder(const WriteFolder& parent, const QByteArray& name);

// Whether a directory entry of that path exists, whatever it is (a link
// that leads nowhere included).
bool entryExists(const QByteArray& path);
// Whether the entry itself (not following a link) is a folder.
bool isFolderEntry(const QByteArray& path);

// Deletes a directory entry (a link itself, never its target). Deleted when
// it is gone afterwards, also when it was gone before; otherwise *reason
// says why. With `expected`, only that very file is deleted (device, inode,
// size, time, content, of the file a link leads to): a file another program
// wrote since stays, as Changed. The entry is first moved aside in one
// atomic rename and judged there, so a write in the last instant is caught
// too.
enum class DeleteResult { Deleted, Changed, Failed };
DeleteResult deleteFile(const QByteArray& path, QString* reason, const FileIdentity* expected = nullptr);
