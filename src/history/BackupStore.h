// The safety net: before a deletion removes a creature's files, and before
// a save replaces a record, their bytes are kept here, so that the change
// can be taken back, in this session or a later one.
//
// Layout, in the user's data folder (never inside the game's folders):
//   lifeledger/backups/<installation>/<entry>/manifest.json
//                                             history, album, genetics
// <installation> is a short hash of the installation's two folders, so every
// installation keeps its own entries. An <entry> is named by its UTC time
// (names sort as time does) and holds one operation: the copies under fixed
// names (never a name from the game) and a manifest saying when, which
// creature, which files (their paths as raw bytes, identities, owner, group
// and mode) and what became of them. The manifest is written last: an entry
// without one is a copy cut short and is cleared away.
//
// The store is bounded: entries older than the age limit go, then the
// oldest until the copies take no more than the size limit (the newest
// entry always stays, however large).
#pragma once

#include "history/CreatureFiles.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

struct BackupLimits {
    qint64 maxBytes = qint64(1) << 30;  // 1 GiB
    qint64 maxAgeDays = 90;
};

// The largest file kept (an album of the largest pictures the reader takes).
inline constexpr qint64 kMaxKeptFileBytes = qint64(512) << 20;

enum class BackupKind { Deletion, Edit };

// One file of an operation, as it was before.
struct KeptFile {
    CreatureFile file = CreatureFile::History;
    QByteArray path;  // where it was, as the file system spells it
    FileIdentity identity;
    FileOwnership ownership;
    bool removed = false;  // a deletion removed it (and it has not been put back)
};

struct BackupEntry {
    QByteArray id;  // the entry's folder
    BackupKind kind = BackupKind::Deletion;
    qint64 whenMs = 0;  // UTC, ms since 1970
    QByteArray name;     // the creature's name as its record stores it
    QByteArray moniker;  // its moniker text
    std::vector<KeptFile> files;
    bool restored = false;  // a deletion whose files were all put back

    qint64 bytes() const;
    const KeptFile* find(CreatureFile file) const;
};

// A file read to be kept: its bytes and what it was.
struct FileToKeep {
    KeptFile kept;
    QByteArray bytes;
};

// Reads a file whole to be kept. Throws FileOpenError naming it.
FileToKeep readFileToKeep(CreatureFile file, const QByteArray& path);

class BackupStore {
public:
    // The store of the installation whose folders are these, under the
    // user's data folder `dataHome` (its parents made when first written).
    BackupStore(const QByteArray& dataHome, const QByteArray& historyDirectory, const QByteArray& geneticsDirectory,
                BackupLimits limits = {});

    // The installation's folder in the store, with a trailing separator.
    const QByteArray& folder() const { return folder_; }
    const BackupLimits& limits() const { return limits_; }

    // Keeps the files in a new entry and writes its manifest; then clears
    // what is past the bounds (`nowMs`: the time; the clock is the
    // caller's). Throws FileCreateError naming what could not be written:
    // then nothing of the entry stays.
    BackupEntry keep(BackupKind kind, const QByteArray& name, const QByteArray& moniker,
                     const std::vector<FileToKeep>& files, qint64 nowMs);
    // Writes the entry's manifest anew (what became of its files).
    void update(const BackupEntry& entry) const;
    // Removes an entry. Whether it is gone.
    bool remove(const QByteArray& id) const;
    // Every complete entry, newest first.
    std::vector<BackupEntry> entries() const;
    std::optional<BackupEntry> entry(const QByteArray& id) const;
    // The bytes kept of a file; throws FileOpenError when the copy is gone
    // or is not what was kept.
    QByteArray copyOf(const BackupEntry& entry, CreatureFile file) const;
    // Clears entries past the age, then the oldest past the size (never the
    // newest), and copies cut short. The store's entries are counted once
    // (by the names and sizes of their files, no manifest read); later
    // prunes keep that count, so that a store of many entries costs a save
    // no more than an empty one.
    void prune(qint64 nowMs) const;

private:
    struct Counted {
        QByteArray id;
        qint64 whenMs = 0;
        qint64 bytes = 0;
        bool complete = false;
    };
    void count() const;
    void forget(const QByteArray& id) const;
    mutable std::optional<std::vector<Counted>> counted_;  // oldest first

    QByteArray dataHome_;
    QByteArray installation_;
    QByteArray folder_;
    BackupLimits limits_;
};

// Puts the files a deletion removed back under their own names, each with
// its owner, group and mode, in the folder it was in, which must be one of
// `allowedFolders` (the installation's own). Nothing is written when any
// name is taken again (FileExistsError naming them) or lies elsewhere
// (FileCreateError). Returns the files as written, for a later deletion of
// the very same files.
std::vector<KeptFile> restoreRemovedFiles(const BackupStore& store, const BackupEntry& entry,
                                          const std::vector<QByteArray>& allowedFolders);
