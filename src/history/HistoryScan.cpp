#include "history/HistoryScan.h"

#include "history/CreatureFiles.h"

#include <QCoreApplication>
#include <cstring>
#include <new>
#include <unordered_set>

char* TByteArena::Allocate(qint64 size)
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

void TByteArena::Shrink(char* last, qint64 used)
{
    left_ += next_ - (last + used);
    next_ = last + used;
}

namespace {

// A directory value is a plain prefix: "cr_" glued to a value without a
// trailing separator extends its last component, and the files are then
// looked for in its parent. Splits prefix + "x" into that folder and the
// start of the names in it.
struct TPlace {
    QByteArray Directory;  // with its trailing separator, or empty for the working directory
    QByteArray NameStart;
};

TPlace PlaceOf(const QByteArray& prefix)
{
    const qsizetype slash = prefix.lastIndexOf('/');
    return {prefix.left(slash + 1), prefix.mid(slash + 1)};
}

bool StartsWithIgnoringCase(QByteArrayView name, QByteArrayView start)
{
    return name.size() >= start.size() && qstrnicmp(name.data(), start.data(), size_t(start.size())) == 0;
}

// The moniker as file names spell it, or empty when it names no file.
QByteArray MonikerInNames(const TMoniker& moniker)
{
    const QByteArray text = MonikerText(moniker);
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)  // the code page and UTF-8 agree
        return MonikerNamesAFile(text) ? text : QByteArray();
    const auto decoded = MonikerFileText(moniker);
    return decoded ? EncodePath(*decoded) : QByteArray();
}

}  // namespace

THistoryScan ScanHistory(const QByteArray& historyDirectory, const QByteArray& geneticsDirectory)
{
    THistoryScan scan;
    scan.Arena = std::make_unique<TByteArena>();
    const TPlace records = PlaceOf(historyDirectory + kHistoryFilePrefix);
    const TPlace albums = PlaceOf(historyDirectory + kAlbumFilePrefix);
    const TPlace genetics = PlaceOf(geneticsDirectory);
    scan.Directory = records.Directory;

    // One listing of each directory, taken now, answers every existence
    // test of this fill: a name present as a regular file (links followed),
    // letter case as the file system has it.
    const TDirectory history(records.Directory);
    scan.FolderProblem = history.Problem();
    std::vector<const char*> names;
    std::unordered_set<std::string> albumNames, geneticsNames;
    history.List([&](QByteArrayView name, bool regular) {
        if (StartsWithIgnoringCase(name, records.NameStart)) {
            char* copy = scan.Arena->Allocate(name.size() + 1);
            std::memcpy(copy, name.data(), size_t(name.size()));
            copy[name.size()] = '\0';
            names.push_back(copy);
        } else if (regular && name.startsWith(albums.NameStart) && name.endsWith(kAlbumFileSuffix)) {
            albumNames.emplace(name.data(), size_t(name.size()));
        } else if (regular && IsTemporaryName(name)) {
            // What a save killed midway left behind.
            history.RemoveStaleTemporaryFile(name);
        }
    });
    const auto collectGenetics = [&](QByteArrayView name, bool regular) {
        if (regular && name.startsWith(genetics.NameStart) && name.endsWith(kGeneticsFileSuffix))
            geneticsNames.emplace(name.data(), size_t(name.size()));
    };
    if (genetics.Directory == records.Directory)
        history.List(collectGenetics);
    else
        TDirectory(genetics.Directory).List(collectGenetics);

    scan.Records.reserve(names.size());
    std::string lookup;
    const auto listed = [&lookup](const std::unordered_set<std::string>& found, const QByteArray& start,
                                  const QByteArray& moniker, const char* suffix) {
        lookup.assign(start.constData(), size_t(start.size()))
            .append(moniker.constData(), size_t(moniker.size()))
            .append(suffix);
        return found.count(lookup) > 0;
    };
    for (const char* name : names) {
        TScannedRecord record;
        record.Name = name;
        try {
            char* bytes = nullptr;
            const qint64 got = history.ReadFile(name, kMaxRecordFileBytes, [&](qint64 size) {
                return bytes = scan.Arena->Allocate(size);
            }, &record.Loaded);
            scan.Arena->Shrink(bytes, got);
            record.Bytes = QByteArrayView(bytes, got);
        } catch (const Exception& e) {
            // One unreadable match must not hide the creatures after it.
            scan.Failures << e.Message;
            continue;
        } catch (const std::bad_alloc&) {
            scan.Failures << QCoreApplication::translate("FileSystem", "Cannot read file \"%1\". There is not enough memory for it.")
                                 .arg(PathText(records.Directory + name));
            continue;
        }

        const TRecordKey key = ReadRecordKey(record.Bytes);
        if (key.State == csExported) {
            record.ImageIndex = kExportedImage;
        } else {
            record.ImageIndex = key.State;
            const QByteArray moniker = MonikerInNames(key.Moniker);
            if (!moniker.isEmpty()) {
                if (listed(albumNames, albums.NameStart, moniker, kAlbumFileSuffix))
                    record.ImageIndex |= ifAlbum;
                if (listed(geneticsNames, genetics.NameStart, moniker, kGeneticsFileSuffix))
                    record.ImageIndex |= ifGenetics;
            }
        }
        scan.Records.push_back(record);
    }
    return scan;
}

int CountHistoryFiles(const QByteArray& historyDirectory)
{
    const TPlace records = PlaceOf(historyDirectory + kHistoryFilePrefix);
    int count = 0;
    TDirectory(records.Directory).List([&](QByteArrayView name, bool) {
        count += StartsWithIgnoringCase(name, records.NameStart);
    });
    return count;
}
