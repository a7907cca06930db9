// Lifeledger's speed and memory, each figure against the floor it is held
// to, measured in the same run with the two taking turns. Prints one line per
// comparison as it goes, then the whole as a Markdown table (the README's).
//   lifeledger-bench [--quick] [--only TEXT] [--table FILE]
// --only runs the comparisons whose name holds TEXT (for a profiler).
#include "Harness.h"
#include "browser/FamilyTree.h"
#include "browser/FindFilter.h"
#include "browser/ImageBox.h"
#include "browser/unitLifeledger.h"
#include "history/CreatureFiles.h"
#include "history/Lineage.h"
#include "platform/Installation.h"
#include "platform/WineRegistry.h"
#include "sampleworld/SampleWorld.h"
#include "sprites/SpriteImage.h"
#include "sprites/unitS16Handler.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <spawn.h>
#include <strings.h>
#include <unordered_map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// ---------------------------------------------------------------- worlds

struct TBenchWorld {
    QTemporaryDir dir;
    QString prefix, history, genetics;
};

// An empty installation in a fresh Wine prefix.
std::unique_ptr<TBenchWorld> EmptyWorld()
{
    auto w = std::make_unique<TBenchWorld>();
    w->prefix = w->dir.path();
    const QString install = w->prefix + "/drive_c/Game/";
    w->history = install + "History/";
    w->genetics = install + "Genetics/";
    QDir().mkpath(w->history);
    QDir().mkpath(w->genetics);
    QDir().mkpath(w->prefix + "/dosdevices");
    QFile::link("../drive_c", w->prefix + "/dosdevices/c:");
    WriteWholeFile(w->prefix + "/system.reg", SampleRegistryText("C:\\Game\\History\\", "C:\\Game\\Genetics\\"));
    return w;
}

// Each kind of world is written once per size and kept for the whole run.
template <class Fill>
TBenchWorld& KeptWorld(std::map<int, std::unique_ptr<TBenchWorld>>& worlds, int n, Fill fill)
{
    auto& slot = worlds[n];
    if (!slot) {
        slot = EmptyWorld();
        fill(*slot);
    }
    return *slot;
}

// A Wine prefix whose history directory holds n creatures made from the
// sample ones (about 430 bytes of record each); every third has a genetics
// file and every fifth an album.
TBenchWorld& World(int n)
{
    static std::map<int, std::unique_ptr<TBenchWorld>> worlds;
    return KeptWorld(worlds, n, [n](TBenchWorld& w) {
        const auto& samples = SampleCreatures();
        for (int i = 0; i < n; ++i) {
            THistoryEntry e = samples[size_t(i) % samples.size()].Entry;
            char moniker[5];
            std::snprintf(moniker, sizeof moniker, "%04X", i & 0xFFFF);
            const QByteArray name = QByteArray(moniker) + QByteArray::number(i >> 16);  // unique file names
            std::memcpy(e.Moniker.data(), name.constData(), 4);
            WriteWholeFile(w.history + kHistoryFilePrefix + name, e.SaveToBytes());
            if (i % 3 == 0)
                WriteWholeFile(PathText(GeneticsPath(EncodePath(w.genetics), e.Moniker)), "GENE");
            if (i % 5 == 0)
                WriteWholeFile(PathText(AlbumPath(EncodePath(w.history), e.Moniker)), QByteArray(6, '\0'));
        }
    });
}

// A world of n creatures in one line of descent, the deepest there can be:
// creature i is the child of creatures i - 1 and i - 2, so the tree of the
// middle one holds every creature, about n / 2 generations deep. Monikers
// are i in base 36, unique.
TBenchWorld& DeepWorld(int n)
{
    static std::map<int, std::unique_ptr<TBenchWorld>> worlds;
    return KeptWorld(worlds, n, [n](TBenchWorld& w) {
        auto moniker = [](int i) {
            TMoniker m{};
            static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
            for (int k = 3; k >= 0; --k, i /= 36)
                m[size_t(k)] = digits[i % 36];
            return m;
        };
        const auto& samples = SampleCreatures();
        for (int i = 0; i < n; ++i) {
            THistoryEntry e = samples[size_t(i) % samples.size()].Entry;
            e.Moniker = moniker(i);
            e.Parent1Moniker = i >= 1 ? moniker(i - 1) : TMoniker{};
            e.Parent2Moniker = i >= 2 ? moniker(i - 2) : TMoniker{};
            WriteWholeFile(w.history + kHistoryFilePrefix + QByteArray(e.Moniker.data(), 4), e.SaveToBytes());
        }
    });
}

// The plain work of a family tree: a hash map from moniker to row and one
// from moniker to children, then a walk up and down from the creature.
void PlainLineage(const std::vector<TRecordKey>& keys, int from)
{
    std::unordered_map<std::uint32_t, int> row;
    std::unordered_multimap<std::uint32_t, int> children;
    for (size_t i = 0; i < keys.size(); ++i) {
        row.emplace(TLineageIndex::Slot(keys[i].Moniker), int(i));
        children.emplace(TLineageIndex::Slot(keys[i].Parent1Moniker), int(i));
        children.emplace(TLineageIndex::Slot(keys[i].Parent2Moniker), int(i));
    }
    std::vector<char> seen(keys.size());
    std::vector<int> queue{from};
    seen[size_t(from)] = 1;
    for (size_t k = 0; k < queue.size(); ++k) {
        const TRecordKey& key = keys[size_t(queue[k])];
        for (const TMoniker& parent : {key.Parent1Moniker, key.Parent2Moniker})
            if (auto it = row.find(TLineageIndex::Slot(parent)); it != row.end() && !seen[size_t(it->second)]) {
                seen[size_t(it->second)] = 1;
                queue.push_back(it->second);
            }
        auto [first, last] = children.equal_range(TLineageIndex::Slot(key.Moniker));
        for (auto it = first; it != last; ++it)
            if (!seen[size_t(it->second)]) {
                seen[size_t(it->second)] = 1;
                queue.push_back(it->second);
            }
    }
    benchmark::DoNotOptimize(queue.data());
}

// The system work of a fill in a plain loop: list the history directory,
// open, read whole and close each record by its full path, and stat its
// album and genetics file by their full paths.
void PlainLoop(const TBenchWorld& world)
{
    const QByteArray history = QFile::encodeName(world.history), genetics = QFile::encodeName(world.genetics);
    static std::vector<char> buffer(1 << 16);
    DIR* dir = opendir(history.constData());
    int found = 0;
    while (dirent* d = readdir(dir)) {
        if (strncasecmp(d->d_name, kHistoryFilePrefix, 3) != 0)
            continue;
        char path[4096];
        std::snprintf(path, sizeof path, "%s%s", history.constData(), d->d_name);
        const int fd = open(path, O_RDONLY);
        while (read(fd, buffer.data(), buffer.size()) > 0) {
        }
        close(fd);
        struct stat st;
        std::snprintf(path, sizeof path, "%s%s%.4s%s", history.constData(), kAlbumFilePrefix, d->d_name + 3,
                      kAlbumFileSuffix);
        benchmark::DoNotOptimize(stat(path, &st));
        std::snprintf(path, sizeof path, "%s%.4s%s", genetics.constData(), d->d_name + 3, kGeneticsFileSuffix);
        benchmark::DoNotOptimize(stat(path, &st));
        ++found;
    }
    closedir(dir);
    benchmark::DoNotOptimize(found);
}

// Drops the world's files from the page cache, so the next fill reads them
// from the disk.
void DropFromCache(const TBenchWorld& world)
{
    for (const QString& folder : {world.history, world.genetics}) {
        const QByteArray path = QFile::encodeName(folder);
        DIR* dir = opendir(path.constData());
        while (dirent* d = readdir(dir)) {
            const int fd = openat(dirfd(dir), d->d_name, O_RDONLY);
            if (fd >= 0) {
                posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
                close(fd);
            }
        }
        closedir(dir);
    }
}

std::map<int, std::unique_ptr<THistoryViewer>>& Viewers()
{
    static std::map<int, std::unique_ptr<THistoryViewer>> viewers;
    return viewers;
}

THistoryViewer& Viewer(int n)
{
    auto& slot = Viewers()[n];
    if (!slot) {
        slot = std::make_unique<THistoryViewer>(TStartContext{TInstallationSource::FromPrefix(EncodePath(World(n).prefix)), nullptr, {}});
        slot->resize(800, 600);
        slot->show();
    }
    return *slot;
}

void Rebuild(int n)
{
    THistoryViewer& viewer = Viewer(n);
    viewer.Rebuild();
    if (viewer.EntryRecords->Count() != n)
        std::abort();
}

// ---------------------------------------------------------------- programs

struct TRun {
    TSample Sample;
    long MaxRssKiB = 0;
};

// Runs a program to its end with WINEPREFIX set; times it from outside.
TRun RunProgram(const char* program, const QString& prefix, bool withText = false)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "WINEPREFIX=", 11) != 0 && std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*e);
    env.push_back("WINEPREFIX=" + prefix.toStdString());
    env.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char withTextArgument[] = "--with-text";
    char* argv[] = {const_cast<char*>(program), withText ? withTextArgument : nullptr, nullptr};

    // The child reports its peak memory on its standard output.
    int out[2];
    if (pipe(out) != 0)
        std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    if (posix_spawn(&pid, program, &actions, nullptr, argv, envp.data()) != 0)
        std::abort();
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string said;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    TRun run;
    const size_t at = said.find("peak-kib ");
    run.MaxRssKiB = at == std::string::npos ? 0 : std::strtol(said.c_str() + at + 9, nullptr, 10);
    // Real time runs to the first paint, which the child reports on the
    // same clock; CPU time is all the child used, its exit included.
    const size_t painted = said.find("painted-ns ");
    if (painted == std::string::npos)
        std::abort();
    run.Sample.Real = double(std::strtoll(said.c_str() + painted + 11, nullptr, 10) - start.tv_sec * 1000000000LL
                             - start.tv_nsec)
                      * 1e-9;
    run.Sample.Cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                     + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::abort();
    return run;
}

TMeasure Program(const char* program, const QString& prefix, bool withText = false)
{
    return [program, prefix, withText] { return RunProgram(program, prefix, withText).Sample; };
}

// The median peak memory of a few runs.
long PeakKiB(const char* program, const QString& prefix)
{
    std::vector<long> peaks;
    for (int i = 0; i < 5; ++i)
        peaks.push_back(RunProgram(program, prefix).MaxRssKiB);
    std::sort(peaks.begin(), peaks.end());
    return peaks[peaks.size() / 2];
}

// ---------------------------------------------------------------- albums

const QString& AlbumFile(int which)
{
    static QTemporaryDir dir;
    static std::map<int, QString> paths;
    QString& path = paths[which];
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("album%1.s16").arg(which));
        std::vector<TPicture> pictures;
        if (which == 0)
            for (int i = 0; i < 64; ++i)
                pictures.push_back(DrawPicture(i, 160, 120));
        else
            pictures.push_back(DrawPicture(2, 2048, 2048));
        WriteS16File(path, pictures, pl555);
    }
    return path;
}

void ReadWhole(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = open(name.constData(), O_RDONLY);
    struct stat st;
    fstat(fd, &st);
    std::unique_ptr<char[]> data(new char[size_t(st.st_size)]);
    benchmark::DoNotOptimize(read(fd, data.get(), size_t(st.st_size)));
    close(fd);
    benchmark::DoNotOptimize(data.get());
}

constexpr size_t kPixels16MiB = (16u << 20) / 2;

std::vector<std::uint16_t>& Pixels16MiB()
{
    static std::vector<std::uint16_t> pixels = [] {
        std::vector<std::uint16_t> v(kPixels16MiB);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = static_cast<std::uint16_t>(i * 2654435761u >> 7);
        return v;
    }();
    return pixels;
}

const QString& RegistryFile()
{
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath("system.reg");
        WriteWholeFile(path, GunzipFile(QStringLiteral(LIFELEDGER_TEST_DATA "/wine-system.reg.gz")));
    }
    return path;
}

std::string KiB(double bytes)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, bytes >= 10 << 20 ? "%.0f MiB" : "%.0f KiB",
                  bytes >= 10 << 20 ? bytes / (1 << 20) : bytes / 1024);
    return buffer;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool quick = false;
    QString tableFile;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (std::strcmp(argv[i], "--table") == 0 && i + 1 < argc)
            tableFile = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            only = argv[++i];
    }
    const int big = quick ? 20000 : 100000;
    const QString bigName = quick ? "20,000" : "100,000";
    const int reps = quick ? 3 : 7;

    std::vector<TResult> results;
    auto wanted = [&](const std::string& name) { return only.empty() || name.find(only) != std::string::npos; };
    auto add = [&](TResult r) {
        PrintLine(r);
        results.push_back(std::move(r));
    };
    // Runs a comparison unless --only leaves it out.
    auto compare = [&](const TComparison& c) {
        if (wanted(c.Name))
            add(Compare(c));
    };

    // Fill and rebuild: the scan, the records and the rows.
    for (int n : {10000, big}) {
        const QString count = n == 10000 ? "10,000" : bigName;
        compare({"fill of " + count.toStdString() + " records (also the rebuild)", "plain loop", 0.8,
                     Timed([n] { Rebuild(n); }), Timed([n] { PlainLoop(World(n)); }), quick ? reps : 11});
        Viewers().clear();
    }
    for (int n : {10000, big}) {
        const QString count = n == 10000 ? "10,000" : bigName;
        compare({"fill of " + count.toStdString() + ", files not in the page cache", "plain loop, likewise", 0,
                     [n] {
                         DropFromCache(World(n));
                         return Timed([n] { Rebuild(n); })();
                     },
                     [n] {
                         DropFromCache(World(n));
                         return Timed([n] { PlainLoop(World(n)); })();
                     },
                     quick ? 2 : 3});
    }
    // A find at the largest list: the filter over every record's texts, as
    // one pause in typing sets it (the view's update included).
    if (wanted("find")) {
        THistoryViewer& viewer = Viewer(big);
        TFindFilter* filter = viewer.findChild<TFindFilter*>();
        int flip = 0;
        compare({"find among " + bigName.toStdString() + " (filter and view)", "fill of the same list (a peer)", 0,
                 Timed([filter, &flip] {
                     filter->SetText(++flip % 2 ? QStringLiteral("ke") : QStringLiteral("ek"));
                     QApplication::processEvents();
                 }),
                 Timed([big] { Rebuild(big); }), quick ? reps : 11});
        filter->SetText({});
    }

    // An accepted edit at the largest list: the save, then the rebuild.
    compare({"accepted edit of one of " + bigName.toStdString() + " (save and rebuild)", "plain loop", 0.8,
                 Timed([big] {
                     THistoryViewer& viewer = Viewer(big);
                     THistoryEntry& record = viewer.EntryRecords->Record(0);
                     record.OwnerNotes = QByteArray::number(record.OwnerNotes.toInt() + 1);
                     record.SaveToFile(&viewer.EntryRecords->Loaded(0));
                     viewer.Rebuild();
                 }),
                 Timed([big] { PlainLoop(World(big)); }), quick ? reps : 11});
    Viewers().clear();

    // The family tree of the middle creature of a deep world: the lineage
    // index (built at the first tree after a fill), the tree, its cards and
    // the window drawn, from the command to the painted window.
    if (wanted("family tree")) {
        THistoryViewer deep(TStartContext{TInstallationSource::FromPrefix(EncodePath(DeepWorld(big).prefix)), nullptr, {}});
        deep.resize(800, 600);
        deep.show();
        const std::vector<TRecordKey> keys = deep.EntryRecords->Keys();
        const int middle = big / 2;
        const TMeasure tree = [&deep, middle] {
            deep.Rebuild();  // a fresh fill: no index yet
            deep.SelectRow(middle);
            const TSample sample = Timed([&deep] {
                deep.FamilyTree1Click();
                QApplication::processEvents();
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* window = qobject_cast<TFamilyTree*>(w); window && window->isVisible())
                        window->grab();  // painted, as it is when it appears
            })();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<TFamilyTree*>(w))
                    w->close();
            QApplication::processEvents();
            return sample;
        };
        compare({"family tree of all of " + bigName.toStdString() + " creatures in one line", "hash maps and a walk",
                 1, tree, Timed([&keys, middle] { PlainLineage(keys, middle); }), quick ? 3 : 7});
        compare({"family tree of all of " + bigName.toStdString() + " creatures in one line", "plain loop of the fill (a peer)", 0,
                 tree, Timed([big] { PlainLoop(DeepWorld(big)); }), quick ? 3 : 7});
    }

    // Start-up to the first painted, filled window, timed from outside.
    compare({"start-up, 0 creatures", "minimal Qt window", 1.25,
                 Program(LIFELEDGER_STARTUP_PROBE, World(0).prefix), Program(LIFELEDGER_MINIMAL_WINDOW, World(0).prefix),
                 quick ? 5 : 11});
    compare({"start-up, 10,000 creatures", "minimal Qt window + plain loop", 1.25,
                 Program(LIFELEDGER_STARTUP_PROBE, World(10000).prefix),
                 [] {
                     TSample window = RunProgram(LIFELEDGER_MINIMAL_WINDOW, World(10000).prefix).Sample;
                     const TSample loop = Timed([] { PlainLoop(World(10000)); })();
                     return TSample{window.Real + loop.Real, window.Cpu + loop.Cpu};
                 },
                 quick ? 5 : 11});

    // The same floor with what any window of text pays for: a menu bar and
    // column captions (fonts found and shaped). A peer, not the target's floor.
    compare({"start-up, 0 creatures", "minimal Qt window with menus and captions (a peer)", 0,
             Program(LIFELEDGER_STARTUP_PROBE, World(0).prefix), Program(LIFELEDGER_MINIMAL_WINDOW, World(0).prefix, true),
             quick ? 5 : 11});

    // Peak memory of the start-up at three sizes.
    if (wanted("peak memory")) {
    const double empty = double(PeakKiB(LIFELEDGER_STARTUP_PROBE, World(0).prefix)) * 1024;
    const double minimal = double(PeakKiB(LIFELEDGER_MINIMAL_WINDOW, World(0).prefix)) * 1024;
    add(Figure("peak memory, 0 creatures", KiB(empty), "minimal Qt window: " + KiB(minimal), 0, 0, ""));
    for (int n : {10000, big}) {
        const double peak = double(PeakKiB(LIFELEDGER_STARTUP_PROBE, World(n).prefix)) * 1024;
        const double perCreature = (peak - empty) / n;
        char text[64];
        std::snprintf(text, sizeof text, "%.0f bytes per creature", perCreature);
        add(Figure("peak memory, " + std::to_string(n) + " creatures", KiB(peak) + ", " + text, "0 creatures: " + KiB(empty),
                   perCreature, 1024, "<= 1,024 B per creature"));
    }
    }

    // Albums: a load against reading the file whole.
    for (int which : {0, 1}) {
        const QString& path = AlbumFile(which);
        compare({which == 0 ? "album of 64 photos of 160 x 120" : "album of one 2048 x 2048 photo", "reading the file",
                     1.2, Timed([&path] {
                         TS16File file;
                         file.LoadFromFile(EncodePath(path));
                         benchmark::DoNotOptimize(file.Count());
                     }, which == 0 ? 200 : 40),
                     Timed([&path] { ReadWhole(path); }, which == 0 ? 200 : 40), reps});
    }

    // The 5-5-5 to 5-6-5 conversion, in place, against an in-place pass over
    // the same memory; Qt's own conversion (into a new picture) as a peer.
    std::vector<std::uint16_t> pixels = Pixels16MiB();
    compare({"5-5-5 to 5-6-5, 16 MiB in place", "in-place pass", 2,
                 Timed([&pixels] {
                     Convert555To565(pixels.data(), pixels.size());
                     benchmark::ClobberMemory();
                 }, 10),
                 Timed([&pixels] {
                     for (auto& p : pixels)
                         p = static_cast<std::uint16_t>(p + 1);
                     benchmark::ClobberMemory();
                 }, 10),
                 reps});
    const QImage source(reinterpret_cast<const uchar*>(Pixels16MiB().data()), 4096, 2048, QImage::Format_RGB555);
    compare({"5-5-5 to 5-6-5, 16 MiB in place", "Qt's convertToFormat (a peer)", 0,
                 Timed([&pixels] {
                     Convert555To565(pixels.data(), pixels.size());
                     benchmark::ClobberMemory();
                 }, 10),
                 Timed([&source] {
                     QImage converted = source.convertToFormat(QImage::Format_RGB16);
                     benchmark::DoNotOptimize(converted.constBits());
                 }, 10),
                 reps});

    // The registry lookup in a real 1.7 MB Wine registry.
    const QString prefix = QFileInfo(RegistryFile()).path();
    compare({"registry lookup (1.7 MB system.reg)", "reading the file", 3,
                 Timed([&prefix] { benchmark::DoNotOptimize(ReadInstallation(EncodePath(prefix))); }, 100),
                 Timed([] {
                     QFile file(RegistryFile());
                     file.open(QIODevice::ReadOnly);
                     benchmark::DoNotOptimize(file.readAll());
                 }, 100),
                 reps});

    // Showing a photo.
    TImageBox box;
    box.resize(150, 150);
    TS16File album;
    album.LoadFromFile(EncodePath(AlbumFile(0)));
    std::vector<std::uint16_t> from(160 * 120, 7), to(160 * 120);
    compare({"showing a 160 x 120 photo (with its conversion)", "memcpy of its pixels", 0,
                 Timed([&] {
                     TS16Sprite sprite = album.GetSprite(0);  // a fresh 5-5-5 copy each time
                     ShowSprite(&box, sprite);
                     benchmark::DoNotOptimize(box.Picture().constBits());
                 }, 2000),
                 Timed([&] {
                     std::memcpy(to.data(), from.data(), from.size() * 2);
                     benchmark::ClobberMemory();
                 }, 2000),
                 reps});

    const std::string table = MarkdownTable(results);
    std::printf("\n%s", table.c_str());
    if (!tableFile.isEmpty())
        WriteWholeFile(tableFile, QByteArray::fromStdString(table));
    return 0;
}
