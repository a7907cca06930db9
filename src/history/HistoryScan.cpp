#include "history/HistoryScan.h"

#include "history/CreatureFiles.h"

#include <QCoreApplication>
#include <cstring>
#include <new>
#include <optional>
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

}  // namespace

HistoryScan scanHistory(const QByteArray& historyDirectory, const QByteArray& geneticsDirectory)
{
    HistoryScan scan;
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
    std::vector<const char*> names;
    std::unordered_set<std::string> albumNames, geneticsNames;
    history.list([&](QByteArrayView name, bool regular) {
        if (startsWithIgnoringCase(name, records.nameStart)) {
            char* copy = scan.arena->allocate(name.size() + 1);
            std::memcpy(copy, name.data(), size_t(name.size()));
            copy[name.size()] = '\0';
            names.push_back(copy);
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

    scan.records.reserve(names.size());
    std::string lookup;
    const auto listed = [&lookup](const std::unordered_set<std::string>& found, const QByteArray& start,
                                  const QByteArray& moniker, const char* suffix) {
        lookup.assign(start.constData(), size_t(start.size()))
            .append(moniker.constData(), size_t(moniker.size()))
            .append(suffix);
        return found.count(lookup) > 0;
    };
    for (const char* name : names) {
        ScannedRecord record;
        record.name = name;
        try {
            char* bytes = nullptr;
            const qint64 got = history.readFile(name, kMaxRecordFileBytes, [&](qint64 size) {
                return bytes = scan.arena->allocate(size);
            }, &record.loaded);
            scan.arena->shrink(bytes, got);
            record.bytes = QByteArrayView(bytes, got);
        } catch (const Exception& e) {
            // One unreadable match must not hide the creatures after it.
            scan.failures << e.message;
            continue;
        } catch (const std::bad_alloc&) {
            scan.failures << QCoreApplication::translate("FileSystem", "Cannot read file \"%1\". There is not enough memory for it.")
                                 .arg(pathText(records.directory + name));
            continue;
        }

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
