// The scan of the history directory that fills the list: every "cr_*" file
// read whole, in the order the directory lists them, with the row image
// index its creature gets (the state, and a flag for each of its album and
// genetics file found).
//
// Built for lists of 100,000 creatures and more: the history and genetics
// directories are each listed once and every record is opened relative to
// its directory, so a file's existence is answered from the listing rather
// than by a walk of its full path; the files' bytes go back to back into a
// few large blocks (an arena) instead of one allocation per text. The
// records are read by a few threads at once (a disk answers many requests
// at once far faster than one after another, which is what a start after a
// reboot waits for); the result keeps the listing's order.
//
// A rebuild after the program's own change reads again only what changed:
// the folder is listed again and every record's identity (device, inode,
// size, modification time to the nanosecond) is asked, which costs far less
// than reading it; a record whose identity is unchanged is taken over from
// the scan before, unless it was modified so shortly before that scan began
// that a later write within the file system's time granularity could have
// left its time as it was.
#pragma once

#include "history/CreatureFiles.h"
#include "history/HistoryRecord.h"
#include "platform/FileSystem.h"

#include <QByteArrayView>
#include <QStringList>
#include <memory>
#include <span>
#include <vector>

// Memory for many small byte runs that live and die together: handed out
// from large blocks, all freed at once.
class ByteArena {
public:
    // Room for `size` bytes; it stays where it is until the arena goes.
    char* allocate(qint64 size);
    // The last allocation needs only `used` of its bytes.
    void shrink(char* last, qint64 used);
    // Takes over another arena's blocks: what they hold stays where it is.
    void adopt(ByteArena&& other);

private:
    static constexpr qint64 kBlockBytes = 1 << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    qint64 left_ = 0;
};

// One creature as the scan found it.
struct ScannedRecord {
    QByteArrayView bytes;        // its history file as read, in the scan's arena
    const char* name = nullptr;  // the file's name as listed, zero-terminated, in the arena
    Badges badges;
    FileIdentity loaded;        // what the file was when it was read
};

// What a scan found before, for a rebuild to take over what did not change.
struct EarlierScan {
    QByteArrayView directory;  // where its names are
    std::span<const ScannedRecord> records;
    qint64 startedNs = 0;      // when it began (CLOCK_REALTIME)
};

struct HistoryScan {
    QByteArray directory;                 // where the names are, with its trailing separator
    std::vector<ScannedRecord> records;  // in listing order
    std::unique_ptr<ByteArena> arena;    // holds the records' bytes and names
    QStringList failures;                 // one message per "cr_*" entry that could not be read
    QString folderProblem;                // why the history folder itself cannot be read (empty when it can)
    qint64 startedNs = 0;                 // when the scan began (CLOCK_REALTIME)
    int filesRead = 0;                    // records read from the disk (the rest were taken over)
};

// Scans the directories of an installation; they are plain prefixes, as the
// game's registry gives them. With an earlier scan of the same folder, a
// record whose file is unchanged is taken over from it instead of read.
HistoryScan scanHistory(const QByteArray& historyDirectory, const QByteArray& geneticsDirectory,
                        const EarlierScan* earlier = nullptr);

// How many "cr_*" entries the scan would find there, without reading them.
int countHistoryFiles(const QByteArray& historyDirectory);
