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

// The albums and genetics files the listings found, by name, and how their
// names start.
struct Listings {
    std::unordered_set<std::string> albums, genetics;
    QByteArray albumStart, geneticsStart;
};

// The earlier scan's record of each name listed now (null for a new name):
// the listing's order seldom changes, so each name is first compared with
// the one after the last match, and a hash map is made only at a miss.
std::vector<const ScannedRecord*> earlierRecords(const EarlierScan* earlier, const Directory& history,
                                                 const std::vector<ScannedRecord>& found)
{
    std::vector<const ScannedRecord*> matches(found.size());
    if (!earlier || earlier->directory != QByteArrayView(history.path()))
        return matches;
    const std::span<const ScannedRecord> before = earlier->records;
    std::unordered_map<std::string_view, size_t> byName;
    size_t next = 0;
    for (size_t i = 0; i < found.size(); ++i) {
        if (next < before.size() && std::strcmp(before[next].name, found[i].name) == 0) {
            matches[i] = &before[next++];
            continue;
        }
        if (byName.empty())
            for (size_t k = 0; k < before.size(); ++k)
                byName.emplace(before[k].name, k);
        if (const auto at = byName.find(found[i].name); at != byName.end()) {
            matches[i] = &before[at->second];
            next = at->second + 1;
        }
    }
    return matches;
}

// How many records one reader takes at a time, and how many readers there
// are at most: enough requests in flight for a disk to sort and overlap,
// few enough not to crowd a small machine when the files are cached.
constexpr size_t kRecordsPerTurn = 32;
constexpr size_t kMaxReaders = 8;

// The work of a scan on its records, shared by a few threads: each record
// is taken over from the earlier scan when its file is unchanged, else
// read, and its badges found in the listings.
class ScanReaders {
public:
    ScanReaders(const Directory& history, std::vector<ScannedRecord>& found,
                 const std::vector<const ScannedRecord*>& earlier, qint64 earlierStartedNs, const Listings& listings)
        : history_(history),
          found_(found),
          earlier_(earlier),
          // Modified this long before the earlier scan began, a file with
          // the same identity holds the same bytes.
          settled_(earlierStartedNs - kTimeGranularityNs),
          listings_(listings),
          read_(found.size())
    {
    }

    // Runs the readers; the scan's arena takes over theirs. Returns why the
    // records that could not be read could not, in listing order.
    std::vector<std::pair<size_t, QString>> run(ByteArena& arena)
    {
        const size_t readers = std::min(kMaxReaders, found_.size() / (4 * kRecordsPerTurn) + 1);
        std::vector<Turns> turns(readers);
        std::vector<std::exception_ptr> errors(readers);
        {
            std::vector<std::jthread> threads;
            for (size_t t = 1; t < readers; ++t)
                threads.emplace_back([&, t] {
                    try {
                        work(turns[t]);
                    } catch (...) {
                        errors[t] = std::current_exception();
                    }
                });
            work(turns[0]);
        }
        std::vector<std::pair<size_t, QString>> failures;
        for (size_t t = 0; t < readers; ++t) {
            if (errors[t])
                std::rethrow_exception(errors[t]);
            arena.adopt(std::move(turns[t].arena));
            filesRead_ += turns[t].filesRead;
            std::move(turns[t].failures.begin(), turns[t].failures.end(), std::back_inserter(failures));
        }
        std::sort(failures.begin(), failures.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        return failures;
    }

    bool wasRead(size_t i) const { return read_[i] != 0; }
    int filesRead() const { return filesRead_; }

private:
    // What one reader keeps of its own.
    struct Turns {
        ByteArena arena;
        std::vector<std::pair<size_t, QString>> failures;
        int filesRead = 0;
        std::string lookup;
    };

    void work(Turns& mine)
    {
        for (size_t from; (from = next_.fetch_add(kRecordsPerTurn)) < found_.size();)
            for (size_t i = from; i < std::min(from + kRecordsPerTurn, found_.size()); ++i)
                if (takeOver(i, mine) || readAgain(i, mine)) {
                    findBadges(found_[i], mine.lookup);
                    read_[i] = 1;
                }
    }

    bool takeOver(size_t i, Turns& mine)
    {
        const ScannedRecord* was = earlier_[i];
        if (!was || was->loaded.modifiedNs >= settled_ || was->bytes.size() != was->loaded.size)  // not one that shrank while read
            return false;
        const std::optional<FileIdentity> now = history_.identityOf(found_[i].name);
        // The hash is not asked: the file is not read, and its time settled.
        if (!now || now->device != was->loaded.device || now->inode != was->loaded.inode || now->size != was->loaded.size
            || now->modifiedNs != was->loaded.modifiedNs)
            return false;
        char* bytes = mine.arena.allocate(was->loaded.size);
        std::memcpy(bytes, was->bytes.data(), size_t(was->loaded.size));
        found_[i].bytes = QByteArrayView(bytes, was->loaded.size);
        found_[i].loaded = was->loaded;
        return true;
    }

    bool readAgain(size_t i, Turns& mine)
    {
        ScannedRecord& record = found_[i];
        ++mine.filesRead;
        try {
            char* bytes = nullptr;
            const qint64 got = history_.readFile(record.name, kMaxRecordFileBytes, [&](qint64 size) {
                return bytes = mine.arena.allocate(size);
            }, &record.loaded);
            mine.arena.shrink(bytes, got);
            record.bytes = QByteArrayView(bytes, got);
            return true;
        } catch (const Exception& e) {
            mine.failures.emplace_back(i, e.message);
        } catch (const std::bad_alloc&) {
            mine.failures.emplace_back(i, QCoreApplication::translate("FileSystem", "Cannot read file \"%1\". There is not enough memory for it.")
                                              .arg(pathText(history_.path() + record.name)));
        }
        return false;
    }

    void findBadges(ScannedRecord& record, std::string& lookup) const
    {
        const RecordKey key = readRecordKey(record.bytes);
        record.badges = {};
        record.badges.state = key.state;
        const std::optional<QByteArray> moniker = key.state == csExported ? std::nullopt : monikerInNames(key.moniker);
        if (!moniker)
            return;
        const auto listed = [&](const std::unordered_set<std::string>& names, const QByteArray& start, const char* suffix) {
            lookup.assign(start.constData(), size_t(start.size())).append(moniker->constData(), size_t(moniker->size())).append(suffix);
            return names.count(lookup) > 0;
        };
        record.badges.album = listed(listings_.albums, listings_.albumStart, kAlbumFileSuffix);
        record.badges.genetics = listed(listings_.genetics, listings_.geneticsStart, kGeneticsFileSuffix);
    }

    const Directory& history_;
    std::vector<ScannedRecord>& found_;
    const std::vector<const ScannedRecord*>& earlier_;
    const qint64 settled_;
    const Listings& listings_;
    std::vector<char> read_;  // by position: taken over or read (each written by one reader)
    std::atomic<size_t> next_{0};
    int filesRead_ = 0;
};

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
    Listings listings{{}, {}, albums.nameStart, genetics.nameStart};
    history.list([&](QByteArrayView name, bool regular) {
        if (startsWithIgnoringCase(name, records.nameStart)) {
            char* copy = scan.arena->allocate(name.size() + 1);
            std::memcpy(copy, name.data(), size_t(name.size()));
            copy[name.size()] = '\0';
            found.push_back({{}, copy, {}, {}});
        } else if (regular && name.startsWith(albums.nameStart) && name.endsWith(kAlbumFileSuffix)) {
            listings.albums.emplace(name.data(), size_t(name.size()));
        } else if (regular && isTemporaryName(name)) {
            // What a save killed midway left behind.
            history.removeStaleTemporaryFile(name);
        }
    });
    const auto collectGenetics = [&](QByteArrayView name, bool regular) {
        if (regular && name.startsWith(genetics.nameStart) && name.endsWith(kGeneticsFileSuffix))
            listings.genetics.emplace(name.data(), size_t(name.size()));
    };
    if (genetics.directory == records.directory)
        history.list(collectGenetics);
    else
        Directory(genetics.directory).list(collectGenetics);

    const std::vector<const ScannedRecord*> before = earlierRecords(earlier, history, found);
    ScanReaders reader(history, found, before, earlier ? earlier->startedNs : 0, listings);
    std::vector<std::pair<size_t, QString>> failures = reader.run(*scan.arena);
    scan.filesRead = reader.filesRead();
    scan.records.reserve(found.size() - failures.size());
    for (size_t i = 0; i < found.size(); ++i)
        if (reader.wasRead(i))
            scan.records.push_back(found[i]);
    // One unreadable match must not hide the creatures after it.
    for (auto& failure : failures)
        scan.failures << std::move(failure.second);
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
