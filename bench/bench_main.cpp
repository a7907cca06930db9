// Lifeledger's speed and memory, each figure against the floor it is held
// to, measured in the same run with the two taking turns (the cold-disk
// figures need root, to empty the page cache; the family book's pages are
// opened in Chromium when it is installed). Prints one line per
// comparison as it goes, then the whole as a Markdown table (the README's).
//   lifeledger-bench [--quick] [--only TEXT] [--table FILE]
// --only runs the comparisons whose name holds TEXT (for a profiler).
#include "Harness.h"
#include "browser/FamilyTreeWindow.h"
#include "browser/FindFilterModel.h"
#include "browser/ImageBox.h"
#include "browser/CreatureListView.h"
#include "browser/HistoryController.h"
#include "browser/MainWindow.h"
#include "browser/StatisticsWindow.h"
#include "history/BackupStore.h"
#include "history/CreatureFiles.h"
#include "history/Lineage.h"
#include "platform/Installation.h"
#include "platform/WineRegistry.h"
#include "sampleworld/SampleWorld.h"
#include "sprites/SpriteImage.h"
#include "sprites/S16File.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <benchmark/benchmark.h>
#include <chrono>
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

struct BenchWorld {
    QTemporaryDir dir;
    QString prefix, history, genetics;
};

// An empty installation in a fresh Wine prefix.
std::unique_ptr<BenchWorld> emptyWorld()
{
    auto w = std::make_unique<BenchWorld>();
    w->prefix = w->dir.path();
    const QString install = w->prefix + "/drive_c/Game/";
    w->history = install + "History/";
    w->genetics = install + "Genetics/";
    QDir().mkpath(w->history);
    QDir().mkpath(w->genetics);
    QDir().mkpath(w->prefix + "/dosdevices");
    QFile::link("../drive_c", w->prefix + "/dosdevices/c:");
    writeWholeFile(w->prefix + "/system.reg", sampleRegistryText("C:\\Game\\History\\", "C:\\Game\\Genetics\\"));
    return w;
}

// Each kind of world is written once per size and kept for the whole run.
template <class Fill>
BenchWorld& keptWorld(std::map<int, std::unique_ptr<BenchWorld>>& worlds, int n, Fill fill)
{
    auto& slot = worlds[n];
    if (!slot) {
        slot = emptyWorld();
        fill(*slot);
    }
    return *slot;
}

// A Wine prefix whose history directory holds n creatures made from the
// sample ones (about 430 bytes of record each); every third has a genetics
// file and every fifth an album.
BenchWorld& world(int n)
{
    static std::map<int, std::unique_ptr<BenchWorld>> worlds;
    return keptWorld(worlds, n, [n](BenchWorld& w) {
        const auto& samples = sampleCreatures();
        for (int i = 0; i < n; ++i) {
            HistoryRecord e = samples[size_t(i) % samples.size()].entry;
            char moniker[5];
            std::snprintf(moniker, sizeof moniker, "%04X", i & 0xFFFF);
            const QByteArray name = QByteArray(moniker) + QByteArray::number(i >> 16);  // unique file names
            std::memcpy(e.moniker.data(), name.constData(), 4);
            writeWholeFile(w.history + kHistoryFilePrefix + name, e.saveToBytes());
            if (i % 3 == 0)
                writeWholeFile(pathText(geneticsPath(encodePath(w.genetics), e.moniker)), "GENE");
            if (i % 5 == 0)
                writeWholeFile(pathText(albumPath(encodePath(w.history), e.moniker)), QByteArray(6, '\0'));
        }
    });
}

// A world of n creatures in one line of descent, the deepest there can be:
// creature i is the child of creatures i - 1 and i - 2, so the tree of the
// middle one holds every creature, about n / 2 generations deep. Monikers
// are i in base 36, unique.
BenchWorld& deepWorld(int n)
{
    static std::map<int, std::unique_ptr<BenchWorld>> worlds;
    return keptWorld(worlds, n, [n](BenchWorld& w) {
        auto moniker = [](int i) {
            Moniker m{};
            static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
            for (int k = 3; k >= 0; --k, i /= 36)
                m[size_t(k)] = digits[i % 36];
            return m;
        };
        const auto& samples = sampleCreatures();
        for (int i = 0; i < n; ++i) {
            HistoryRecord e = samples[size_t(i) % samples.size()].entry;
            e.moniker = moniker(i);
            e.parent1Moniker = i >= 1 ? moniker(i - 1) : Moniker{};
            e.parent2Moniker = i >= 2 ? moniker(i - 2) : Moniker{};
            writeWholeFile(w.history + kHistoryFilePrefix + QByteArray(e.moniker.data(), 4), e.saveToBytes());
        }
    });
}

// The plain work of a family tree: a hash map from moniker to row and one
// from moniker to children, then a walk up and down from the creature.
void plainLineage(const std::vector<RecordKey>& keys, int from)
{
    std::unordered_map<std::uint32_t, int> row;
    std::unordered_multimap<std::uint32_t, int> children;
    for (size_t i = 0; i < keys.size(); ++i) {
        row.emplace(LineageIndex::slot(keys[i].moniker), int(i));
        children.emplace(LineageIndex::slot(keys[i].parent1Moniker), int(i));
        children.emplace(LineageIndex::slot(keys[i].parent2Moniker), int(i));
    }
    std::vector<char> seen(keys.size());
    std::vector<int> queue{from};
    seen[size_t(from)] = 1;
    for (size_t k = 0; k < queue.size(); ++k) {
        const RecordKey& key = keys[size_t(queue[k])];
        for (const Moniker& parent : {key.parent1Moniker, key.parent2Moniker})
            if (auto it = row.find(LineageIndex::slot(parent)); it != row.end() && !seen[size_t(it->second)]) {
                seen[size_t(it->second)] = 1;
                queue.push_back(it->second);
            }
        auto [first, last] = children.equal_range(LineageIndex::slot(key.moniker));
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
void plainLoop(const BenchWorld& world)
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
void dropFromCache(const BenchWorld& world)
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

std::map<int, std::unique_ptr<MainWindow>>& viewers()
{
    static std::map<int, std::unique_ptr<MainWindow>> viewers;
    return viewers;
}

// The safety net's copies of the edits measured: never in the user's store.
QByteArray benchDataHome()
{
    static QTemporaryDir data;
    return encodePath(data.path());
}

MainWindow& viewerOf(int n)
{
    auto& slot = viewers()[n];
    if (!slot) {
        slot = std::make_unique<MainWindow>(
            StartContext{InstallationSource::fromPrefix(encodePath(world(n).prefix)), nullptr, {}, benchDataHome()});
        slot->resize(800, 600);
        slot->show();
    }
    return *slot;
}

void rebuild(int n)
{
    MainWindow& viewer = viewerOf(n);
    viewer.controller()->refill();
    if (viewer.controller()->model()->count() != n)
        std::abort();
}

// ---------------------------------------------------------------- programs

struct ProgramRun {
    Sample sample;
    long maxRssKiB = 0;
};

// Runs a program to its end with WINEPREFIX set; times it from outside.
ProgramRun runProgram(const char* program, const QString& prefix, bool withText = false)
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
    ProgramRun run;
    const size_t at = said.find("peak-kib ");
    run.maxRssKiB = at == std::string::npos ? 0 : std::strtol(said.c_str() + at + 9, nullptr, 10);
    // Real time runs to the first paint, which the child reports on the
    // same clock; CPU time is all the child used, its exit included.
    const size_t painted = said.find("painted-ns ");
    if (painted == std::string::npos)
        std::abort();
    run.sample.real = double(std::strtoll(said.c_str() + painted + 11, nullptr, 10) - start.tv_sec * 1000000000LL
                             - start.tv_nsec)
                      * 1e-9;
    run.sample.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                     + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::abort();
    return run;
}

Measure program(const char* program, const QString& prefix, bool withText = false)
{
    return [program, prefix, withText] { return runProgram(program, prefix, withText).sample; };
}

// The median peak memory of a few runs.
long peakKiB(const char* program, const QString& prefix)
{
    std::vector<long> peaks;
    for (int i = 0; i < 5; ++i)
        peaks.push_back(runProgram(program, prefix).maxRssKiB);
    std::sort(peaks.begin(), peaks.end());
    return peaks[peaks.size() / 2];
}

// ---------------------------------------------------------------- albums

const QString& albumFile(int which)
{
    static QTemporaryDir dir;
    static std::map<int, QString> paths;
    QString& path = paths[which];
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("album%1.s16").arg(which));
        std::vector<Picture> pictures;
        if (which == 0)
            for (int i = 0; i < 64; ++i)
                pictures.push_back(drawPicture(i, 160, 120));
        else
            pictures.push_back(drawPicture(2, 2048, 2048));
        writeS16File(path, pictures, pl555);
    }
    return path;
}

void readWhole(const QString& path)
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

std::vector<std::uint16_t>& pixels16MiB()
{
    static std::vector<std::uint16_t> pixels = [] {
        std::vector<std::uint16_t> v(kPixels16MiB);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = static_cast<std::uint16_t>(i * 2654435761u >> 7);
        return v;
    }();
    return pixels;
}

const QString& registryFile()
{
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath("system.reg");
        writeWholeFile(path, gunzipFile(QStringLiteral(LIFELEDGER_TEST_DATA "/wine-system.reg.gz")));
    }
    return path;
}

std::string kiB(double bytes)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, bytes >= 10 << 20 ? "%.0f MiB" : "%.0f KiB",
                  bytes >= 10 << 20 ? bytes / (1 << 20) : bytes / 1024);
    return buffer;
}

// ---------------------------------------------------------------- cold disk

// Empties the page cache, as a reboot does; false when this process may not
// (it needs root).
bool dropCaches()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool done = ::write(fd, "3\n", 2) == 2;
    ::close(fd);
    return done;
}

// ---------------------------------------------------------------- browser

// Times a program from its start to its end (real time; CPU time of it and
// its children), its output thrown away.
Sample timeProcess(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        std::abort();
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Sample sample;
    sample.real = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sample.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                 + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    return sample;
}

// A page opened in headless Chromium to its load event, its DOM printed.
Measure chromiumOpens(const std::string& chromium, const QString& page)
{
    return [chromium, page] {
        QTemporaryDir profile;
        return timeProcess({chromium, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
                            "--disable-background-networking", "--disable-component-update", "--disable-sync",
                            "--user-data-dir=" + profile.path().toStdString(), "--dump-dom",
                            QUrl::fromLocalFile(page).toString().toStdString()});
    };
}

// ---------------------------------------------------------------- the run

// What a run measures and what it found so far.
struct Run {
    bool quick = false;
    std::string only;  // --only: the comparisons whose name holds it
    int big = 100000;
    std::string bigName = "100,000";
    int reps = 7;
    std::vector<BenchResult> results;

    bool wanted(const std::string& name) const { return only.empty() || name.find(only) != std::string::npos; }
    void add(BenchResult r)
    {
        printLine(r);
        results.push_back(std::move(r));
    }
    // Runs a comparison unless --only leaves it out.
    void compare(const Comparison& c)
    {
        if (wanted(c.name))
            add(runComparison(c));
    }
    std::string count(int n) const { return n == 10000 ? "10,000" : bigName; }
};

// Fill and rebuild: the scan, the records and the rows, from the page
// cache and from the disk.
void fills(Run& run)
{
    for (int n : {10000, run.big}) {
        run.compare({"fill of " + run.count(n) + " records (F5)", "plain loop", 0.8, timed([n] { rebuild(n); }),
                     timed([n] { plainLoop(world(n)); }), run.quick ? run.reps : 11});
        viewers().clear();
    }
    for (int n : {10000, run.big}) {
        run.compare({"fill of " + run.count(n) + ", files not in the page cache", "plain loop, likewise", 0,
                     [n] {
                         dropFromCache(world(n));
                         return timed([n] { rebuild(n); })();
                     },
                     [n] {
                         dropFromCache(world(n));
                         return timed([n] { plainLoop(world(n)); })();
                     },
                     run.quick ? 2 : 3});
    }
}

// A find at the largest list: the filter over every record's texts, as one
// pause in typing sets it (the view's update included).
void find(Run& run)
{
    if (!run.wanted("find"))
        return;
    MainWindow& viewer = viewerOf(run.big);
    FindFilterModel* filter = viewer.findChild<FindFilterModel*>();
    int flip = 0;
    const int big = run.big;
    run.compare({"find among " + run.bigName + " (filter and view)", "fill of the same list (a peer)", 0,
                 timed([filter, &flip] {
                     filter->setText(++flip % 2 ? QStringLiteral("ke") : QStringLiteral("ek"));
                     QApplication::processEvents();
                 }),
                 timed([big] { rebuild(big); }), run.quick ? run.reps : 11});
    filter->setText({});
}

// An accepted edit at the largest list: the save, then the rebuild that
// reads again only what changed.
void edit(Run& run)
{
    const int big = run.big;
    run.compare({"accepted edit of one of " + run.bigName + " (save and rebuild)", "plain loop", 0.3,
                 timed([big] {
                     HistoryController* controller = viewerOf(big).controller();
                     controller->saveEdit(0, [](HistoryRecord& record) {
                         record.ownerNotes = QByteArray::number(record.ownerNotes.toInt() + 1);
                     });
                     if (controller->model()->count() != big)
                         std::abort();
                 }),
                 timed([big] { plainLoop(world(big)); }), run.quick ? run.reps : 11});
    viewers().clear();
}

// A window from the command that opens it to the window painted, as it is
// when it appears; closed again afterwards, so that the next opens anew.
template <typename Window>
Sample openedWindow(const std::function<void()>& command)
{
    const Sample sample = timed([&command] {
        command();
        QApplication::processEvents();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<Window*>(w); window && window->isVisible())
                window->grab();
    })();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<Window*>(w))
            w->close();
    QApplication::processEvents();
    return sample;
}

// The world statistics of the largest list, from the command to the window
// drawn, after a fill (so the lineage index is made anew), against the fill.
void statistics(Run& run)
{
    if (!run.wanted("statistics"))
        return;
    const int big = run.big;
    MainWindow& viewer = viewerOf(big);
    const Measure open = [&viewer] { return openedWindow<StatisticsWindow>([&viewer] { viewer.showStatistics(); }); };
    run.compare({"world statistics of " + run.bigName + " opened (window drawn)", "fill of the same list", 0.25, open,
                 timed([big] { rebuild(big); }), run.quick ? run.reps : 11});
}

// The family tree of the middle creature of a deep world: the lineage index
// (built at the first tree after a fill), the tree, its cards and the window
// drawn, from the command to the painted window.
void familyTree(Run& run)
{
    if (!run.wanted("family tree"))
        return;
    const int big = run.big;
    MainWindow deep(StartContext{InstallationSource::fromPrefix(encodePath(deepWorld(big).prefix)), nullptr, {}, benchDataHome()});
    deep.resize(800, 600);
    deep.show();
    const std::vector<RecordKey> keys = deep.controller()->model()->keys();
    const int middle = big / 2;
    const Measure tree = [&deep, middle] {
        deep.controller()->refill();  // a fresh fill: no index yet
        deep.creatureList()->selectRow(middle);
        return openedWindow<FamilyTreeWindow>([&deep] { deep.showFamilyTree(); });
    };
    run.compare({"family tree of all of " + run.bigName + " creatures in one line", "hash maps and a walk", 1, tree,
                 timed([&keys, middle] { plainLineage(keys, middle); }), run.quick ? 3 : 7});
    run.compare({"family tree of all of " + run.bigName + " creatures in one line", "plain loop of the fill (a peer)", 0,
                 tree, timed([big] { plainLoop(deepWorld(big)); }), run.quick ? 3 : 7});
}

// The family book of the largest world: writing it against a fill, and its
// pages opened in Chromium against a page of one line.
void familyBook(Run& run)
{
    if (!run.wanted("family book"))
        return;
    const int big = run.big;
    QTemporaryDir out;
    const QString book = out.filePath("book");
    QDir().mkpath(book);
    // The world's albums hold no photo: nothing to encode.
    run.compare({"family book of " + run.bigName + " creatures written (no photos)", "fill of the same list", 5,
                 timed([big, &book] { viewerOf(big).controller()->exportFamilyBook(book); }),
                 timed([big] { rebuild(big); }), run.quick ? 3 : 7});
    viewers().clear();
    // What a photo adds to the book's writing.
    Album album(encodePath(albumFile(0)));
    const QImage photo = album.photo(0);
    std::vector<std::uint16_t> from(160 * 120, 7), to(160 * 120);
    run.compare({"family book: a 160 x 120 photo encoded as PNG", "memcpy of its pixels", 0,
                 timed([&photo] { benchmark::DoNotOptimize(encodePng(photo).size()); }, 200),
                 timed([&] {
                     std::memcpy(to.data(), from.data(), from.size() * 2);
                     benchmark::ClobberMemory();
                 }, 200),
                 run.reps});
    const std::string chromium = QStandardPaths::findExecutable("chromium").toStdString();
    if (chromium.empty()) {
        std::printf("family book in a browser: skipped, no chromium here\n");
        return;
    }
    const QString oneLine = out.filePath("one-line.html");
    writeWholeFile(oneLine, "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>x</title></head><body><p>One line.</p></body></html>\n");
    const int middle = (big / 500) / 2 + 1;
    for (const auto& [what, page] : {std::pair<std::string, QString>{"first page", book + "/index.html"},
                                     {"page " + std::to_string(middle), book + QStringLiteral("/creatures-%1.html").arg(middle)}})
        run.compare({"family book of " + run.bigName + ", its " + what + " opened in Chromium", "a page of one line", 2,
                     chromiumOpens(chromium, page), chromiumOpens(chromium, oneLine), run.quick ? 3 : 7});
}

// Start-up to the first painted, filled window, timed from outside; and from
// a cold disk, as after a reboot.
void startUp(Run& run)
{
    const int reps = run.quick ? 5 : 11;
    run.compare({"start-up, 0 creatures", "minimal Qt window", 1, program(LIFELEDGER_STARTUP_PROBE, world(0).prefix),
                 program(LIFELEDGER_MINIMAL_WINDOW, world(0).prefix), reps});
    run.compare({"start-up, 10,000 creatures", "minimal Qt window + plain loop", 1,
                 program(LIFELEDGER_STARTUP_PROBE, world(10000).prefix),
                 [] {
                     Sample window = runProgram(LIFELEDGER_MINIMAL_WINDOW, world(10000).prefix).sample;
                     const Sample loop = timed([] { plainLoop(world(10000)); })();
                     return Sample{window.real + loop.real, window.cpu + loop.cpu};
                 },
                 reps});
    // The same floor with what any window of text pays for: a menu bar and
    // column captions (fonts found and shaped). A peer, not the target's floor.
    run.compare({"start-up, 0 creatures", "minimal Qt window with menus and captions (a peer)", 0,
                 program(LIFELEDGER_STARTUP_PROBE, world(0).prefix), program(LIFELEDGER_MINIMAL_WINDOW, world(0).prefix, true),
                 reps});

    const std::string cold = "start-up, " + run.bigName + " creatures, cold disk";
    if (!run.wanted(cold))
        return;
    if (!dropCaches()) {
        std::printf("%s: skipped, the page cache can be dropped only by root\n", cold.c_str());
        return;
    }
    const QString prefix = world(run.big).prefix;
    const int big = run.big;
    run.compare({cold, "cold minimal Qt window + cold plain loop", 0.6,
                 [prefix] {
                     dropCaches();
                     return runProgram(LIFELEDGER_STARTUP_PROBE, prefix).sample;
                 },
                 [prefix, big] {
                     dropCaches();
                     const Sample window = runProgram(LIFELEDGER_MINIMAL_WINDOW, prefix).sample;
                     dropCaches();
                     const Sample loop = timed([big] { plainLoop(world(big)); })();
                     return Sample{window.real + loop.real, window.cpu + loop.cpu};
                 },
                 run.quick ? 2 : 7});
}

// Peak memory of the start-up at three sizes.
void memory(Run& run)
{
    if (!run.wanted("peak memory"))
        return;
    const double empty = double(peakKiB(LIFELEDGER_STARTUP_PROBE, world(0).prefix)) * 1024;
    const double minimal = double(peakKiB(LIFELEDGER_MINIMAL_WINDOW, world(0).prefix)) * 1024;
    run.add(figure("peak memory, 0 creatures", kiB(empty), "minimal Qt window: " + kiB(minimal), 0, 0, ""));
    for (int n : {10000, run.big}) {
        const double peak = double(peakKiB(LIFELEDGER_STARTUP_PROBE, world(n).prefix)) * 1024;
        const double perCreature = (peak - empty) / n;
        char text[64];
        std::snprintf(text, sizeof text, "%.0f bytes per creature", perCreature);
        const bool largest = n == run.big;
        run.add(figure("peak memory, " + run.count(n) + " creatures", kiB(peak) + ", " + text, "0 creatures: " + kiB(empty),
                       perCreature, largest ? 768 : 1024, largest ? "<= 768 B per creature" : "<= 1,024 B per creature"));
    }
}

// Albums: opening one (its headers and pixels read, no photo converted)
// against reading the file whole.
void albums(Run& run)
{
    for (int which : {0, 1}) {
        const QString& path = albumFile(which);
        run.compare({which == 0 ? "album of 64 photos of 160 x 120" : "album of one 2048 x 2048 photo", "reading the file", 1.3,
                     timed([&path] {
                         Album album(encodePath(path));
                         benchmark::DoNotOptimize(album.count());
                     }, which == 0 ? 200 : 40),
                     timed([&path] { readWhole(path); }, which == 0 ? 200 : 40), run.reps});
    }
}

// The 5-5-5 to 5-6-5 conversion, in place, against an in-place pass over the
// same memory; Qt's own conversion (into a new picture) as a peer.
void conversion(Run& run)
{
    std::vector<std::uint16_t> pixels = pixels16MiB();
    const auto convert = timed([&pixels] {
        convert555To565(pixels.data(), pixels.size());
        benchmark::ClobberMemory();
    }, 10);
    run.compare({"5-5-5 to 5-6-5, 16 MiB in place", "in-place pass", 2, convert,
                 timed([&pixels] {
                     for (auto& p : pixels)
                         p = static_cast<std::uint16_t>(p + 1);
                     benchmark::ClobberMemory();
                 }, 10),
                 run.reps});
    const QImage source(reinterpret_cast<const uchar*>(pixels16MiB().data()), 4096, 2048, QImage::Format_RGB555);
    run.compare({"5-5-5 to 5-6-5, 16 MiB in place", "Qt's convertToFormat (a peer)", 0, convert,
                 timed([&source] {
                     QImage converted = source.convertToFormat(QImage::Format_RGB16);
                     benchmark::DoNotOptimize(converted.constBits());
                 }, 10),
                 run.reps});
}

// What the safety net adds to a save: reading the record, writing its copy
// and manifest and keeping the store in bounds, in a store that already
// holds 1,000 entries, against the save alone.
void safetyNet(Run& run)
{
    if (!run.wanted("copy kept"))
        return;
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("History"));
    const QByteArray history = encodePath(dir.filePath("History/"));
    const QByteArray record = history + "cr_TOVA";
    const QByteArray bytes = sampleCreatures().front().entry.saveToBytes();
    replaceFile(record, bytes);
    BackupStore store(encodePath(dir.filePath("data")), history, history);
    qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (int i = 0; i < 1000; ++i)
        store.keep(BackupKind::Edit, "Tavi", "TOVA", {readFileToKeep(CreatureFile::History, record)}, ++now);
    run.compare({"save with its copy kept (store of 1,000 entries)", "the save alone", 0,
                 timed([&] {
                     store.keep(BackupKind::Edit, "Tavi", "TOVA", {readFileToKeep(CreatureFile::History, record)}, ++now);
                     replaceFile(record, bytes);
                 }),
                 timed([&] { replaceFile(record, bytes); }), run.reps});
}

// The registry lookup in a real 1.7 MB Wine registry.
void registry(Run& run)
{
    const QString prefix = QFileInfo(registryFile()).path();
    run.compare({"registry lookup (1.7 MB system.reg)", "reading the file", 3,
                 timed([&prefix] { benchmark::DoNotOptimize(readInstallation(encodePath(prefix))); }, 100),
                 timed([] {
                     QFile file(registryFile());
                     file.open(QIODevice::ReadOnly);
                     benchmark::DoNotOptimize(file.readAll());
                 }, 100),
                 run.reps});
}

// Showing a photo, its conversion included.
void photo(Run& run)
{
    ImageBox box;
    box.resize(150, 150);
    S16File album;
    album.loadFromFile(encodePath(albumFile(0)));
    std::vector<std::uint16_t> from(160 * 120, 7), to(160 * 120);
    run.compare({"showing a 160 x 120 photo (with its conversion)", "memcpy of its pixels", 0,
                 timed([&] {
                     S16Sprite sprite = album.getSprite(0);  // a fresh 5-5-5 copy each time
                     box.setPicture(spriteToImage(sprite));
                     benchmark::DoNotOptimize(box.picture().constBits());
                 }, 2000),
                 timed([&] {
                     std::memcpy(to.data(), from.data(), from.size() * 2);
                     benchmark::ClobberMemory();
                 }, 2000),
                 run.reps});
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Run run;
    QString tableFile;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            run.quick = true;
        else if (std::strcmp(argv[i], "--table") == 0 && i + 1 < argc)
            tableFile = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            run.only = argv[++i];
    }
    if (run.quick) {
        run.big = 20000;
        run.bigName = "20,000";
        run.reps = 3;
    }
    for (void (*part)(Run&) : {fills, find, statistics, edit, familyTree, familyBook, startUp, memory, albums, conversion, safetyNet, registry,
                               photo})
        part(run);

    const std::string table = markdownTable(run.results);
    std::printf("\n%s", table.c_str());
    if (!tableFile.isEmpty())
        writeWholeFile(tableFile, QByteArray::fromStdString(table));
    return 0;
}
