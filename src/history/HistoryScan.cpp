#include "history/HistoryScan.h"

#include "history/CreatureFiles.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <ctime>
#include <exception>
#include <new>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <unordered_set>

char* ByteArena::allocate(qint64 size)
{
    if (size > left_) {
        const qint64 block = std::max(size, kBlockBytes);
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(size_t(block)));
        next_ = blocks_.back().get();
        left_ = block;
    }
    char* at = next_;
    next_ += size;
    left_ -= size;
    return at;
}

void ByteArena::shrink(char* last, qint64 used)
{
    left_ += next_ - (last + used);
    next_ = last + used;
}

void ByteArena::adopt(ByteArena&& other)
{
    // Behind this arena's own blocks, so that its current block stays last.
    blocks_.insert(blocks_.begin(), std::make_move_iterator(other.blocks_.begin()), std::make_move_iterator(other.blocks_.end()));
    other.blocks_.clear();
    other.next_ = nullptr;
    other.left_ = 0;
}

namespace {

// A directory value is a plain prefix: "cr_" glued to a value without a
// trailing separator extends its last component, and the files are then
// looked for in its parent. Splits prefix + "x" into that folder and the
// start of the names in it.
struct Place {
    QByteArray directory;  // with its trailing separator, or empty for the working directory
    QByteArray nameStart;
};

Place placeOf(const QByteArray& prefix)
{
    const qsizetype slash = prefix.lastIndexOf('/');
    return {prefix.left(slash + 1), prefix.mid(slash + 1)};
}

bool startsWithIgnoringCase(QByteArrayView name, QByteArrayView start)
{
    return name.size() >= start.size() && qstrnicmp(name.data(), start.data(), size_t(start.size())) == 0;
}

// The moniker as file names spell it, or nothing when it names no file.
// An empty moniker names files too ("photo_.s16", ".gen").
std::optional<QByteArray> monikerInNames(const Moniker& moniker)
{
    const QByteArray text = monikerText(moniker);
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)  // the code page and UTF-8 agree
        return monikerNamesAFile(text) ? std::optional<QByteArray>(text) : std::nullopt;
    const auto decoded = monikerFileText(moniker);
    return decoded ? std::optional<QByteArray>(encodePath(*decoded)) : std::nullopt;
}

qint64 realtimeNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The coarsest modification time a file system keeps (FAT's two seconds): a
// file written twice within it may keep its time, and so its identity.
constexpr qint64 kTimeGranularityNs = 2'000'000'000;

// Takes over from the earlier scan every record whose file is the one it
// read (the bytes copied into this scan's arena) and marks it read; returns
// the positions of the records still to be read, in listing order.
std::vector<size_t> takeOverUnchanged(const Directory& history, const EarlierScan* earlier,
                                      std::vector<ScannedRecord>& found, std::vector<char>& read, ByteArena& arena)
{
    std::vector<size_t> toRead;
    std::unordered_map<std::string_view, const ScannedRecord*> before;
    if (earlier && earlier->directory == QByteArrayView(history.path())) {
        before.reserve(earlier->records.size());
        for (const ScannedRecord& record : earlier->records)
            before.emplace(record.name, &record);
    }
    const qint64 settled = earlier ? earlier->startedNs - kTimeGranularityNs : 0;
    for (size_t i = 0; i < found.size(); ++i) {
        ScannedRecord& record = found[i];
        const auto at = before.find(record.name);
        const ScannedRecord* was = at == before.end() ? nullptr : at->second;
        const std::optional<FileIdentity> now =
            was && was->loaded.modifiedNs < settled ? history.identityOf(record.name) : std::nullopt;
        // The hash is not asked: the file is not read, and its time settled.
        const bool unchanged = now && now->device == was->loaded.device && now->inode == was->loaded.inode
                               && now->size == was->loaded.size && now->modifiedNs == was->loaded.modifiedNs
                               && was->bytes.size() == was->loaded.size;  // not one that shrank while read
        if (!unchanged) {
            toRead.push_back(i);
            continue;
        }
        const FileIdentity& then = was->loaded;
        char* bytes = arena.allocate(then.size);
        std::memcpy(bytes, was->bytes.data(), size_t(then.size));
        record.bytes = QByteArrayView(bytes, then.size);
        record.loaded = then;
        read[i] = 1;
    }
    return toRead;
}

// How many records one reader takes at a time, and how many readers there
// are at most: enough requests in flight for a disk to sort and overlap,
// few enough not to crowd a small machine when the files are cached.
constexpr size_t kRecordsPerTurn = 32;
constexpr size_t kMaxReaders = 8;

// Reads the records at the positions given into found (marking each read),
// several at once when there are many. Returns why the others could not be
// read, in listing order.
std::vector<std::pair<size_t, QString>> readRecords(const Directory& history, const std::vector<size_t>& positions,
                                                    std::vector<ScannedRecord>& found, std::vector<char>& read,
                                                    ByteArena& arena)
{
    using Failures = std::vector<std::pair<size_t, QString>>;
    std::atomic<size_t> next{0};
    const auto work = [&](ByteArena& into, Failures& failures) {
        for (size_t from; (from = next.fetch_add(kRecordsPerTurn)) < positions.size();) {
            for (size_t k = from; k < std::min(from + kRecordsPerTurn, positions.size()); ++k) {
                ScannedRecord& record = found[positions[k]];
                try {
                    char* bytes = nullptr;
                    const qint64 got = history.readFile(record.name, kMaxRecordFileBytes, [&](qint64 size) {
                        return bytes = into.allocate(size);
                    }, &record.loaded);
                    into.shrink(bytes, got);
                    record.bytes = QByteArrayView(bytes, got);
                    read[positions[k]] = 1;
                } catch (const Exception& e) {
                    failures.emplace_back(positions[k], e.message);
                } catch (const std::bad_alloc&) {
                    failures.emplace_back(positions[k], QCoreApplication::translate("FileSystem", "Cannot read file \"%1\". There is not enough memory for it.")
                                                            .arg(pathText(history.path() + record.name)));
                }
            }
        }
    };

    const size_t readers = std::min(kMaxReaders, positions.size() / (4 * kRecordsPerTurn) + 1);
    std::vector<Failures> failures(readers);
    std::vector<ByteArena> arenas(readers - 1);
    std::vector<std::exception_ptr> errors(readers - 1);
    {
        std::vector<std::jthread> threads;
        for (size_t t = 0; t + 1 < readers; ++t)
            threads.emplace_back([&, t] {
                try {
                    work(arenas[t], failures[t + 1]);
                } catch (...) {
                    errors[t] = std::current_exception();
                }
            });
        work(arena, failures[0]);
    }
    for (size_t t = 0; t + 1 < readers; ++t) {
        if (errors[t])
            std::rethrow_exception(errors[t]);
        arena.adopt(std::move(arenas[t]));
    }
    Failures all;
    for (Failures& some : failures)
        std::move(some.begin(), some.end(), std::back_inserter(all));
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return all;
}

}  // namespace

HistoryScan scanHistory(const QByteArray& historyDirectory, const QByteArray& geneticsDirectory, const EarlierScan* earlier)
{
    HistoryScan scan;
    scan.startedNs = realtimeNs();
    scan.arena = std::make_unique<ByteArena>();
    const Place records = placeOf(historyDirectory + kHistoryFilePrefix);
    const Place albums = placeOf(historyDirectory + kAlbumFilePrefix);
    const Place genetics = placeOf(geneticsDirectory);
    scan.directory = records.directory;

    // One listing of each directory, taken now, answers every existence
    // test of this fill: a name present as a regular file (links followed),
    // letter case as the file system has it.
    const Directory history(records.directory);
    scan.folderProblem = history.problem();
    std::vector<ScannedRecord> found;
    std::unordered_set<std::string> albumNames, geneticsNames;
    history.list([&](QByteArrayView name, bool regular) {
        if (startsWithIgnoringCase(name, records.nameStart)) {
            char* copy = scan.arena->allocate(name.size() + 1);
            std::memcpy(copy, name.data(), size_t(name.size()));
            copy[name.size()] = '\0';
            found.push_back({{}, copy, {}, {}});
        } else if (regular && name.startsWith(albums.nameStart) && name.endsWith(kAlbumFileSuffix)) {
            albumNames.emplace(name.data(), size_t(name.size()));
        } else if (regular && isTemporaryName(name)) {
            // What a save killed midway left behind.
            history.removeStaleTemporaryFile(name);
        }
    });
    const auto collectGenetics = [&](QByteArrayView name, bool regular) {
        if (regular && name.startsWith(genetics.nameStart) && name.endsWith(kGeneticsFileSuffix))
            geneticsNames.emplace(name.data(), size_t(name.size()));
    };
    if (genetics.directory == records.directory)
        history.list(collectGenetics);
    else
        Directory(genetics.directory).list(collectGenetics);

    std::vector<char> read(found.size());
    const std::vector<size_t> toRead = takeOverUnchanged(history, earlier, found, read, *scan.arena);
    std::vector<std::pair<size_t, QString>> failures = readRecords(history, toRead, found, read, *scan.arena);
    scan.filesRead = int(toRead.size());

    scan.records.reserve(found.size());
    std::string lookup;
    const auto listed = [&lookup](const std::unordered_set<std::string>& names, const QByteArray& start,
                                  const QByteArray& moniker, const char* suffix) {
        lookup.assign(start.constData(), size_t(start.size()))
            .append(moniker.constData(), size_t(moniker.size()))
            .append(suffix);
        return names.count(lookup) > 0;
    };
    auto failure = failures.begin();
    for (size_t i = 0; i < found.size(); ++i) {
        if (!read[i]) {
            // One unreadable match must not hide the creatures after it.
            scan.failures << std::move(failure->second);
            ++failure;
            continue;
        }
        ScannedRecord& record = found[i];
        const RecordKey key = readRecordKey(record.bytes);
        record.badges.state = key.state;
        const std::optional<QByteArray> moniker = key.state == csExported ? std::nullopt : monikerInNames(key.moniker);
        if (moniker) {
            record.badges.album = listed(albumNames, albums.nameStart, *moniker, kAlbumFileSuffix);
            record.badges.genetics = listed(geneticsNames, genetics.nameStart, *moniker, kGeneticsFileSuffix);
        }
        scan.records.push_back(record);
    }
    return scan;
}

int countHistoryFiles(const QByteArray& historyDirectory)
{
    const Place records = placeOf(historyDirectory + kHistoryFilePrefix);
    int count = 0;
    Directory(records.directory).list([&](QByteArrayView name, bool) {
        count += startsWithIgnoringCase(name, records.nameStart);
    });
    return count;
}
