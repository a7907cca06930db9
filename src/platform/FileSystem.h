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
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

QByteArray EncodePath(const QString& path);
// For messages: invalid bytes show as replacement characters.
QString PathText(const QByteArray& path);
// The message of a file that cannot be written: the path and why.
QString CreateErrorText(const QString& path, const QString& reason);

// What a file was when it was read. A save compares it with what is on the
// disk now, so that it never overwrites what another program (the game)
// wrote meanwhile.
struct TFileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = -1;
    std::int64_t ModifiedNs = 0;
    std::uint64_t ContentHash = 0;

    bool operator==(const TFileIdentity&) const = default;
};

// Reads a whole regular file (following links). Throws EFOpenError naming
// the path when it is missing or unreadable, is not a regular file (a pipe
// or device is refused without waiting on it) or is larger than maxBytes
// (the message gives its size). With `identity`, also says what was read.
QByteArray ReadRegularFile(const QByteArray& path, qint64 maxBytes, TFileIdentity* identity = nullptr);

// An open regular file, read from its start piece by piece: for formats
// whose parts go straight into buffers of their own.
class TFileReader {
public:
    // Throws EFOpenError naming the path, as ReadRegularFile does.
    explicit TFileReader(const QByteArray& path);
    ~TFileReader();
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;

    // Reads up to `size` bytes into `into`; fewer only at the end of the
    // file or on a read error.
    qint64 Read(char* into, qint64 size);

private:
    int fd_ = -1;
};

// A directory opened once, for many files listed, tested and read by name
// relative to it: a fill of the list reads every record of the history
// directory this way, with one walk of the directory's path instead of one
// per file.
class TDirectory {
public:
    // A directory that cannot be opened (missing, no folder) lists nothing
    // and has no files.
    explicit TDirectory(const QByteArray& path);
    ~TDirectory();
    TDirectory(const TDirectory&) = delete;
    TDirectory& operator=(const TDirectory&) = delete;

    const QByteArray& Path() const { return path_; }

    // Every entry but "." and "..", in the order the system lists them:
    // its raw name and whether it is a regular file (following links) --
    // the answer a stat of that name would give now.
    void List(const std::function<void(QByteArrayView name, bool regular)>& visit) const;

    // Reads the whole regular file `name` (zero-terminated) into memory that
    // allocate(size) provides and returns how many bytes it read (fewer than
    // asked when the file shrank meanwhile). Throws EFOpenError as
    // ReadRegularFile does, naming the directory's path with the name.
    qint64 ReadFile(const char* name, qint64 maxBytes, const std::function<char*(qint64 size)>& allocate,
                    TFileIdentity* identity = nullptr) const;

private:
    QByteArray path_;
    int fd_ = -1;
};


// Whether path names a regular file (following links).
bool IsRegularFile(const QByteArray& path);

// The steps of ReplaceFile, for tests that make one of them fail.
enum class TWriteStep { Create, Write, Flush, Rename, Done };
// Called before each step (Write once per chunk, with its number; Done
// after the rename); returning false makes that step fail as a full disk
// would.
using TWriteFault = std::function<bool(TWriteStep step, int chunk)>;
inline constexpr qsizetype kWriteChunk = 64 * 1024;

// The file is no longer the one that was read: something else wrote it,
// replaced it or removed it since.
class EFileChanged : public EFCreateError {
public:
    using EFCreateError::EFCreateError;
};

// Replaces the file at `path` by `bytes`, or creates it, so that a failure
// at any step (even the death of the process) leaves the old file whole:
// the bytes go into a new hidden file beside it (".lifeledger-XXXXXX",
// never a record's name), which is flushed, given the old file's owner,
// group and mode, and renamed over the directory entry. Nothing outside the
// path's own directory is touched: a path that is a symbolic link is
// refused, never written through. A file marked read-only is refused too.
// With `expected`, the file must still be exactly that one (device, inode,
// size, modification time, content), or EFileChanged is thrown and nothing
// written. `written` receives the new file's identity. Throws EFCreateError
// naming the path and the reason.
void ReplaceFile(const QByteArray& path, const QByteArray& bytes, const TFileIdentity* expected = nullptr,
                 TFileIdentity* written = nullptr, const TWriteFault& fault = {});

// Deletes a directory entry (a link itself, never its target). True when it
// is gone afterwards, also when it was gone before; otherwise *reason says
// why.
bool DeleteFile(const QByteArray& path, QString* reason);
