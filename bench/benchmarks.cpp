#include "bench_support.h"

#include "browser/ImageBox.h"
#include "browser/unitLifeledger.h"
#include "history/CreatureFiles.h"
#include "platform/Installation.h"
#include "platform/WineRegistry.h"
#include "sampleworld/SampleWorld.h"
#include "sprites/SpriteImage.h"
#include "sprites/unitS16Handler.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

const std::vector<TBenchPair>& BenchPairs()
{
    static const std::vector<TBenchPair> pairs = {
        {"BM_Fill/10000", "BM_Fill_Floor/10000", 1.5, "<= 1.5x the read floor"},
        {"BM_Fill/100000", "BM_Fill_Floor/100000", 1.5, "<= 1.5x the read floor"},
        {"BM_Fill/100000", "BM_Fill/10000", 11, "<= 11x (no superlinear growth)"},
        {"BM_AlbumLoad/0", "BM_AlbumRead/0", 1.2, "<= 1.2x reading the file (64 x 160x120)"},
        {"BM_AlbumLoad/1", "BM_AlbumRead/1", 1.2, "<= 1.2x reading the file (1 x 2048x2048)"},
        {"BM_Convert555To565", "BM_Memcpy16MiB", 2, "<= 2x memcpy"},
        {"BM_Convert555To565", "BM_QtConvert555To565", 1, "< 1x Qt's conversion"},
        {"BM_RegistryLookup", "BM_RegistryRead", 3, "<= 3x reading the file"},
        {"BM_ShowSprite", "BM_Memcpy160x120", 0, "reported"},
    };
    return pairs;
}

namespace {

// ---------------------------------------------------------------- worlds

struct TBenchWorld {
    QTemporaryDir dir;
    QString prefix, history, genetics;
};

// A Wine prefix whose history directory holds n generated creatures; every
// third has a genetics file and every fifth an album.
TBenchWorld& World(int n)
{
    static std::map<int, std::unique_ptr<TBenchWorld>> worlds;
    auto& slot = worlds[n];
    if (slot)
        return *slot;
    slot = std::make_unique<TBenchWorld>();
    TBenchWorld& w = *slot;
    w.prefix = w.dir.path();
    const QString install = w.prefix + "/drive_c/Game/";
    w.history = install + "History/";
    w.genetics = install + "Genetics/";
    QDir().mkpath(w.history);
    QDir().mkpath(w.genetics);
    QDir().mkpath(w.prefix + "/dosdevices");
    QFile::link("../drive_c", w.prefix + "/dosdevices/c:");
    WriteWholeFile(w.prefix + "/system.reg", SampleRegistryText("C:\\Game\\History\\", "C:\\Game\\Genetics\\"));
    const auto& samples = SampleCreatures();
    for (int i = 0; i < n; ++i) {
        THistoryEntry e = samples[size_t(i) % samples.size()].Entry;
        char moniker[5];
        std::snprintf(moniker, sizeof moniker, "%04X", i & 0xFFFF);
        const QByteArray name = QByteArray(moniker) + QByteArray::number(i >> 16);  // unique file names
        std::memcpy(e.Moniker.data(), name.constData(), 4);
        WriteWholeFile(w.history + kHistoryFilePrefix + name, e.SaveToBytes());
        if (i % 3 == 0)
            WriteWholeFile(GeneticsPath(w.genetics, e.Moniker), "GENE");
        if (i % 5 == 0)
            WriteWholeFile(AlbumPath(w.history, e.Moniker), QByteArray(6, '\0'));
    }
    return w;
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
        qputenv("WINEPREFIX", World(n).prefix.toLocal8Bit());
        slot = std::make_unique<THistoryViewer>();
        slot->resize(800, 600);
        slot->show();
    }
    return *slot;
}

// ---------------------------------------------------------------- fill

void BM_Fill(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    THistoryViewer& viewer = Viewer(n);
    qputenv("WINEPREFIX", World(n).prefix.toLocal8Bit());
    for (auto _ : state) {
        viewer.Rebuild();
        benchmark::DoNotOptimize(viewer.EntryRecords->Count());
    }
    if (viewer.EntryRecords->Count() != n)
        state.SkipWithError("wrong number of rows");
}
BENCHMARK(BM_Fill)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same system work in a plain loop: list the directory, open, read whole
// and close each record, and test for its album and genetics file.
void BM_Fill_Floor(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const QByteArray history = QFile::encodeName(World(n).history), genetics = QFile::encodeName(World(n).genetics);
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
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
}
BENCHMARK(BM_Fill_Floor)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();


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

void BM_AlbumLoad(benchmark::State& state)
{
    const QString& path = AlbumFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TS16File file;
        file.LoadFromFile(path);
        benchmark::DoNotOptimize(file.Count());
    }
}
BENCHMARK(BM_AlbumLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_AlbumRead(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(AlbumFile(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const int fd = open(path.constData(), O_RDONLY);
        struct stat st;
        fstat(fd, &st);
        std::unique_ptr<char[]> data(new char[size_t(st.st_size)]);
        benchmark::DoNotOptimize(read(fd, data.get(), size_t(st.st_size)));
        close(fd);
        benchmark::DoNotOptimize(data.get());
    }
}
BENCHMARK(BM_AlbumRead)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

// ---------------------------------------------------------------- conversion

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

void BM_Convert555To565(benchmark::State& state)
{
    std::vector<std::uint16_t> pixels = Pixels16MiB();
    for (auto _ : state) {
        Convert555To565(pixels.data(), pixels.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels16MiB * 2));
}
BENCHMARK(BM_Convert555To565)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_Memcpy16MiB(benchmark::State& state)
{
    const std::vector<std::uint16_t>& from = Pixels16MiB();
    std::vector<std::uint16_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 2);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels16MiB * 2));
}
BENCHMARK(BM_Memcpy16MiB)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_QtConvert555To565(benchmark::State& state)
{
    // 16 MiB as a 4096 x 2048 picture in Qt's 5-5-5 format.
    const QImage source(reinterpret_cast<const uchar*>(Pixels16MiB().data()), 4096, 2048, QImage::Format_RGB555);
    for (auto _ : state) {
        QImage converted = source.convertToFormat(QImage::Format_RGB16);
        benchmark::DoNotOptimize(converted.constBits());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels16MiB * 2));
}
BENCHMARK(BM_QtConvert555To565)->Unit(benchmark::kMicrosecond)->UseRealTime();

// ---------------------------------------------------------------- registry

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

void BM_RegistryLookup(benchmark::State& state)
{
    const QString prefix = QFileInfo(RegistryFile()).path();
    for (auto _ : state) {
        auto found = ReadInstallation(prefix);
        if (!found)
            state.SkipWithError("the game's key was not found");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_RegistryLookup)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_RegistryRead(benchmark::State& state)
{
    for (auto _ : state) {
        QFile file(RegistryFile());
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
    }
}
BENCHMARK(BM_RegistryRead)->Unit(benchmark::kMicrosecond)->UseRealTime();

// ---------------------------------------------------------------- showing a photo

void BM_ShowSprite(benchmark::State& state)
{
    TImageBox box;
    box.resize(150, 150);
    TS16File file;
    file.LoadFromFile(AlbumFile(0));
    for (auto _ : state) {
        TS16Sprite sprite = file.GetSprite(0);  // a fresh 5-5-5 copy each time
        ShowSprite(&box, sprite);
        benchmark::DoNotOptimize(box.Picture().constBits());
    }
}
BENCHMARK(BM_ShowSprite)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_Memcpy160x120(benchmark::State& state)
{
    std::vector<std::uint16_t> from(160 * 120, 7), to(160 * 120);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * 2);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy160x120)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

void ReleaseBenchWindows()
{
    Viewers().clear();
}
