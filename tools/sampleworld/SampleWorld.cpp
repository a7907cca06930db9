#include "sampleworld/SampleWorld.h"

#include "history/CreatureFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <zlib.h>

namespace {

TMoniker M(const char* text)
{
    TMoniker m{};
    std::memcpy(m.data(), text, std::min<size_t>(4, std::strlen(text)));
    return m;
}

// Seconds since 1970 for a date and time, UTC, for readable fixtures.
std::int32_t Stamp(int y, int mo, int d, int h = 12, int mi = 0, int s = 0)
{
    // days-from-civil (Howard Hinnant)
    y -= mo <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days = era * 146097 + doe - 719468;
    return static_cast<std::int32_t>(days * 86400 + h * 3600 + mi * 60 + s);
}

struct Builder {
    std::vector<TSampleCreature> list;

    TSampleCreature& Add(const char* moniker, const QByteArray& name, int species, int gender, int state)
    {
        TSampleCreature c;
        c.HistoryFile = kHistoryFilePrefix + QByteArray(moniker);
        THistoryEntry& e = c.Entry;
        e.Moniker = M(moniker);
        e.DisplayName = name;
        e.Species = species;
        e.Gender = gender;
        e.State = state;
        e.Registered = state == csDead;
        e.GravestoneIndex = -1;
        const int n = static_cast<int>(list.size());
        e.BirthTime = Stamp(2001 + n % 9, 1 + n % 12, 1 + (n * 7) % 28, n % 24, (n * 13) % 60, (n * 29) % 60);
        e.DeathTime = e.BirthTime + 86400 * (3 + n * 5) + 3600 * (n % 11);
        e.ExtraInteger1 = 1000 + n;
        e.ExtraInteger2 = n * 3;
        e.ExtraInteger3 = -n;
        e.ExtraString1 = "world-" + QByteArray::number(n % 3);
        for (size_t i = 0; i < e.Block256.size(); ++i)
            e.Block256[i] = static_cast<char>((i * 7 + static_cast<size_t>(n)) & 0xFF);
        for (size_t i = 0; i < e.Block36.size(); ++i)
            e.Block36[i] = static_cast<char>(i % 5 == 0 ? n : 0);
        list.push_back(std::move(c));
        return list.back();
    }
};

void Parents(THistoryEntry& e, const char* m1, const QByteArray& n1, const char* m2, const QByteArray& n2)
{
    e.Parent1Moniker = M(m1);
    e.Parent1Name = n1;
    e.Parent2Moniker = M(m2);
    e.Parent2Name = n2;
}

void Owner(THistoryEntry& e, const QByteArray& name, const QByteArray& url, const QByteArray& mail,
           const QByteArray& notes)
{
    e.OwnerName = name;
    e.OwnerURL = url;
    e.OwnerEMail = mail;
    e.OwnerNotes = notes;
}

std::vector<TSampleCreature> BuildCreatures()
{
    Builder b;
    // Names are Windows-1252 bytes, as the game stores them.
    {
        auto& c = b.Add("TOVA", "Tavi", 1, 1, csAlive);
        Parents(c.Entry, "SKDR", "Sorrel", "BRDN", "Bracken");
        Owner(c.Entry, "Mira Holt", "http://vivarion.example/mira", "mira@example.org", "First hatchling of the spring.");
        c.AlbumPhotos = 5;
        c.Genetics = true;
    }
    {
        auto& c = b.Add("SKDR", "Sorrel", 2, 2, csDead);
        c.Entry.Epitaph = "Flew highest of us all.";
        c.AlbumPhotos = 3;
        c.AlbumLayout = pl555;
        c.Genetics = true;
    }
    {
        auto& c = b.Add("BRDN", "Bracken", 3, 1, csDead);
        c.Entry.Registered = false;
        c.Entry.GravestoneIndex = 2;
        c.Entry.Epitaph = "Never registered, never forgotten.";
        c.AlbumPhotos = 3;
    }
    {
        auto& c = b.Add("YREX", "Yonder", 4, 2, csExported);
        Owner(c.Entry, "Pell Quist", "", "pell@example.net", "Sent to a friend's world.");
        c.Entry.GravestoneIndex = 1;
        c.AlbumPhotos = 2;
        c.Genetics = true;
    }
    {
        auto& c = b.Add("ST03", "Oddity", 1, 2, 3);
        c.Entry.Epitaph = "State three: neither here nor there.";
    }
    b.Add("ST07", "Septima", 2, 1, 7).Genetics = true;
    b.Add("STNG", "Backwards", 3, 2, -1);
    b.Add("SP00", "Nobody", 0, 0, csAlive);
    b.Add("SP05", "Quintus", 5, 3, csAlive);
    b.Add("SPNG", "Minus", -2, -1, csDead).Entry.Registered = true;
    {
        auto& c = b.Add("NOPA", "Foundling", 1, 1, csAlive);
        Parents(c.Entry, "", "", "", "");
    }
    {
        auto& c = b.Add("ACCE", "Zo\xEB \xC5ngstr\xF6m", 2, 2, csDead);
        Parents(c.Entry, "SKDR", "Ren\xE9" "e", "TOVA", "\x8C" "dipe");
        Owner(c.Entry, "Fran\xE7ois \x80uro", "http://caf\xE9.example/", "francois@example.fr",
              "Stra\xDF" "e 5, M\xFCnchen \x96 \x93quoted\x94");
        c.Entry.Epitaph = "Na\xEFve and brave \x85";
        c.AlbumPhotos = 1;
        c.Genetics = true;
    }
    {
        auto& c = b.Add("CAPS", "Shouty", 3, 1, csAlive);
        c.HistoryFile = "CR_CAPS";
        c.AlbumPhotos = 1;
    }
    {
        auto& c = b.Add("AB", "Shortname", 4, 1, csDead);
        c.HistoryFile = "cr_AB";
        c.Entry.GravestoneIndex = 0;
        c.AlbumPhotos = 2;
        c.Genetics = true;
    }
    {
        auto& c = b.Add("LONG", "Longfellow", 1, 1, csDead);
        QByteArray notes;
        for (int i = 0; notes.size() < 300; ++i)
            notes += "Note " + QByteArray::number(i) + " of a long story. ";
        c.Entry.OwnerNotes = notes.left(300);
        c.Entry.Epitaph = QByteArray(254, 'e');
        c.Entry.ExtraString2 = QByteArray(255, 'x');
    }
    {
        auto& c = b.Add("MULT", "Manylines", 2, 2, csDead);
        c.Entry.Epitaph = "Here lies Manylines,\r\nwho sang at dawn\r\nand slept at noon.";
        Owner(c.Entry, "Ada", "", "", "Line one\r\nLine two\r\n\r\nLine four");
        c.AlbumPhotos = 1;
    }
    {
        auto& c = b.Add("EMPT", "Shy", 3, 2, csDead);
        c.AlbumPhotos = 0;
    }
    {
        auto& c = b.Add("BIG1", "Panorama", 4, 1, csDead);
        c.Entry.GravestoneIndex = 0;
        c.AlbumPhotos = 1;  // the one photo is larger than the picture area
        c.AlbumLayout = pl555;
    }
    {
        auto& c = b.Add("ONE1", "Solo", 1, 2, csDead);
        c.Entry.GravestoneIndex = 0;
        c.AlbumPhotos = 1;
    }
    {
        auto& c = b.Add("GR05", "Lostphoto", 2, 1, csDead);
        c.Entry.GravestoneIndex = 5;
    }
    {
        auto& c = b.Add("GRM3", "Negative", 3, 1, csDead);
        c.Entry.GravestoneIndex = -3;
        c.AlbumPhotos = 2;
    }
    b.Add("GEN1", "Helix", 4, 2, csAlive).Genetics = true;
    b.Add("DEAG", "Strand", 1, 1, csDead).Genetics = true;
    {
        auto& c = b.Add("DAGP", "Keepsake", 2, 2, csDead);
        c.AlbumPhotos = 4;
        c.AlbumLayout = pl555;
        c.Genetics = true;
    }
    {
        auto& c = b.Add("OLDY", "Ancient", 3, 1, csDead);
        c.Entry.BirthTime = std::numeric_limits<std::int32_t>::min();
        c.Entry.DeathTime = -1;
    }
    {
        auto& c = b.Add("LAST", "Endtimes", 4, 2, csAlive);
        c.Entry.BirthTime = std::numeric_limits<std::int32_t>::max();
    }
    // A crowd of ordinary creatures around them.
    const char* names[] = {"Amber", "Basil", "Clover", "Dusk",  "Ember", "Fennel", "Gale",
                           "Hazel", "Iris",  "Juniper", "Kestrel", "Linden", "Moss", "Nettle"};
    for (int i = 0; i < 14; ++i) {
        const QByteArray moniker = "C" + QByteArray::number(100 + i);
        const int state = i % 3 == 0 ? csDead : i % 5 == 0 ? csExported : csAlive;
        auto& c = b.Add(moniker.constData(), names[i], 1 + i % 4, 1 + i % 2, state);
        c.Entry.Registered = state == csDead && i % 2 == 0;
        Parents(c.Entry, "TOVA", "Tavi", "SKDR", "Sorrel");
        if (i % 4 == 1)
            c.AlbumPhotos = 1 + i % 3;
        c.Genetics = i % 3 != 2;
    }
    return b.list;
}

void Paint(TPicture& p, int x, int y, TRgb c)
{
    if (x >= 0 && y >= 0 && x < p.width && y < p.height)
        p.pixels[static_cast<size_t>(y * p.width + x)] = c;
}

}  // namespace

const std::vector<TSampleCreature>& SampleCreatures()
{
    static const std::vector<TSampleCreature> creatures = BuildCreatures();
    return creatures;
}

TPicture DrawPicture(int kind, int width, int height)
{
    TPicture p{width, height, std::vector<TRgb>(static_cast<size_t>(width * height))};
    const double cx = width / 2.0, cy = height / 2.0, r = std::min(width, height) * 0.4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
            TRgb c{};
            switch (kind % 6) {
            case 0:  // a sun over green hills under a blue sky
                c = {80, 150, 255};
                if (std::hypot(x - width * 0.7, y - height * 0.3) < r * 0.45)
                    c = {255, 220, 40};
                if (y > height * 0.65 + 8 * std::sin(x * 0.15))
                    c = {40, 170, 60};
                break;
            case 1:  // a round yellow face with eyes and a smile
                c = {30, 30, 90};
                if (d < r) {
                    c = {250, 210, 60};
                    if (std::hypot(dx + r * 0.35, dy + r * 0.3) < r * 0.12 || std::hypot(dx - r * 0.35, dy + r * 0.3) < r * 0.12)
                        c = {20, 20, 20};
                    if (dy > r * 0.2 && std::abs(d - r * 0.6) < r * 0.08)
                        c = {200, 40, 40};
                }
                break;
            case 2:  // rainbow rings
            {
                static const TRgb ring[] = {{230, 30, 30}, {250, 140, 0}, {250, 230, 0}, {40, 190, 60}, {30, 90, 230}, {140, 50, 200}};
                c = ring[static_cast<int>(d / std::max(2.0, r / 5)) % 6];
                break;
            }
            case 3:  // a red and white checkerboard
                c = ((x / 8 + y / 8) % 2) ? TRgb{220, 30, 30} : TRgb{250, 250, 250};
                break;
            case 4:  // a pink heart on purple
            {
                const double u = dx / r, v = -dy / r + 0.2;
                const double f = std::pow(u * u + v * v - 0.5, 3) - u * u * v * v * v * 0.8;
                c = f < 0 ? TRgb{250, 90, 160} : TRgb{70, 20, 100};
                break;
            }
            default:  // diagonal stripes of teal and orange
                c = ((x + y) / 10 % 2) ? TRgb{0, 160, 160} : TRgb{250, 150, 30};
                break;
            }
            p.pixels[static_cast<size_t>(y * width + x)] = c;
        }
    }
    // A white frame marks the edges, so clipping and centring can be seen.
    for (int x = 0; x < width; ++x) {
        Paint(p, x, 0, {255, 255, 255});
        Paint(p, x, height - 1, {255, 255, 255});
    }
    for (int y = 0; y < height; ++y) {
        Paint(p, 0, y, {255, 255, 255});
        Paint(p, width - 1, y, {255, 255, 255});
    }
    return p;
}

std::vector<TPicture> SampleAlbum(const QByteArray& moniker, int photos)
{
    std::vector<TPicture> album;
    unsigned seed = 0;
    for (char ch : moniker)
        seed = seed * 31 + static_cast<unsigned char>(ch);
    const bool large = moniker == "BIG1";
    for (int i = 0; i < photos; ++i) {
        const int w = large ? 220 : 64 + static_cast<int>((seed + static_cast<unsigned>(i) * 17) % 80);
        const int h = large ? 180 : 48 + static_cast<int>((seed / 7 + static_cast<unsigned>(i) * 23) % 70);
        album.push_back(DrawPicture(static_cast<int>(seed % 6) + i, w, h));
    }
    return album;
}

namespace {

// Wine's string escapes: backslash and quote escaped, non-ASCII as \xXXXX.
QByteArray WineString(const QString& text)
{
    QByteArray out;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '"')
            out += '\\' + QByteArray(1, static_cast<char>(u));
        else if (u >= 0x20 && u < 0x7F)
            out += static_cast<char>(u);
        else
            out += "\\x" + QByteArray::number(u, 16);
    }
    return out;
}

QByteArray KeyName(const char* path)
{
    return QByteArray(path).replace("\\", "\\\\");
}

}  // namespace

QByteArray SampleRegistryText(const QString& historyWinPath, const QString& geneticsWinPath, bool wow64)
{
    QByteArray out = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n";
    out += wow64 ? "#arch=win64\n\n" : "#arch=win32\n\n";
    out += "[" + KeyName("Software\\Classes\\.txt") + "] 1796625239\n#time=1dd8614f0fb522e\n@=\"txtfile\"\n"
           "\"Content Type\"=\"text/plain\"\n\n";
    const QByteArray key = wow64 ? KeyName("Software\\Wow6432Node\\Quenmoor Technology\\Vivarion 2\\1.0")
                                 : KeyName("Software\\Quenmoor Technology\\Vivarion 2\\1.0");
    out += "[" + key + "] 1796625244\n#time=1dd8614f3fab8b6\n";
    out += "\"Genetics Directory\"=\"" + WineString(geneticsWinPath) + "\"\n";
    out += "\"History Directory\"=\"" + WineString(historyWinPath) + "\"\n";
    out += "\"Install Size\"=dword:00a1b2c3\n\n";
    out += "[" + KeyName("Software\\Wine") + "] 1796625239\n#time=1dd8614f1003a5a\n"
           "\"Version\"=\"wine-8.0\"\n\n";
    return out;
}

QByteArray GunzipFile(const QString& path)
{
    QByteArray out;
    gzFile in = gzopen(QFile::encodeName(path).constData(), "rb");
    if (!in)
        return out;
    char buffer[65536];
    int got;
    while ((got = gzread(in, buffer, sizeof buffer)) > 0)
        out.append(buffer, got);
    gzclose(in);
    return out;
}

void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
}

void WriteSampleCreature(const TSampleWorld& world, const TSampleCreature& creature)
{
    THistoryEntry entry = creature.Entry;
    entry.FileName = EncodePath(world.HistoryDir) + creature.HistoryFile;
    entry.SaveToFile();
    if (creature.AlbumPhotos >= 0)
        WriteS16File(PathText(AlbumPath(EncodePath(world.HistoryDir), entry.Moniker)), SampleAlbum(MonikerText(entry.Moniker), creature.AlbumPhotos),
                     creature.AlbumLayout);
    if (creature.Genetics) {
        QByteArray genes = "GENE";
        for (int i = 0; i < 96; ++i)
            genes += static_cast<char>((i * 37 + MonikerText(entry.Moniker).size() * 11) & 0xFF);
        WriteWholeFile(PathText(GeneticsPath(EncodePath(world.GeneticsDir), entry.Moniker)), genes);
    }
}

void WriteGeneratedCreatures(const TSampleWorld& world, int count)
{
    static const char* const names[] = {"Ash", "Birch", "Cedar", "Dill", "Elm", "Fern", "Gorse", "Heath",
                                        "Ivy", "Juno", "Kale", "Larch", "Moss", "Nut", "Oak", "Pine"};
    std::set<QByteArray> taken;
    for (const TSampleCreature& c : SampleCreatures())
        taken.insert(MonikerText(c.Entry.Moniker).toUpper());
    // The monikers in order: base 36 from "G000" on, skipping the samples'.
    std::vector<TMoniker> monikers;
    monikers.reserve(size_t(count));
    for (int n = 36 * 36 * 36 * 16; int(monikers.size()) < count; ++n) {
        TMoniker m{};
        for (int k = 3, v = n; k >= 0; --k, v /= 36)
            m[size_t(k)] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[v % 36];
        if (!taken.count(QByteArray(m.data(), 4)))
            monikers.push_back(m);
    }
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t below) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % below;
    };
    THistoryEntry e = SampleCreatures().front().Entry;
    std::vector<QByteArray> given(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        e.Moniker = monikers[size_t(i)];
        given[size_t(i)] = QByteArray(names[next(16)]) + QByteArray::number(i);
        e.DisplayName = given[size_t(i)];
        e.Species = static_cast<std::int32_t>(1 + next(4));
        e.Gender = static_cast<std::int32_t>(1 + next(2));
        e.Parent1Moniker = e.Parent2Moniker = TMoniker{};
        e.Parent1Name = e.Parent2Name = {};
        if (i >= 2) {
            const int p1 = i - 1 - int(next(std::uint32_t(std::min(i - 1, 40))));
            const int p2 = i - 1 - int(next(std::uint32_t(std::min(i - 1, 400))));
            e.Parent1Moniker = monikers[size_t(p1)];
            e.Parent1Name = given[size_t(p1)];
            e.Parent2Moniker = monikers[size_t(p2)];
            e.Parent2Name = given[size_t(p2)];
        }
        e.BirthTime = 1000000000 + i * 600;
        const bool dead = next(3) == 0;
        e.DeathTime = dead ? e.BirthTime + 3600 * std::int32_t(1 + next(500)) : 0;
        e.State = dead ? csDead : csAlive;
        e.Registered = dead;
        e.GravestoneIndex = -1;
        e.Epitaph = dead ? QByteArray("Rests by the old oak.") : QByteArray();
        const bool album = i % 50 == 0;
        if (album) {
            e.GravestoneIndex = 0;
            WriteS16File(PathText(AlbumPath(EncodePath(world.HistoryDir), e.Moniker)), SampleAlbum(QByteArray(e.Moniker.data(), 4), 3), pl565);
        }
        WriteWholeFile(world.HistoryDir + QString::fromLatin1(kHistoryFilePrefix) + QString::fromLatin1(e.Moniker.data(), 4),
                       e.SaveToBytes());
        if (i % 3 == 0)
            WriteWholeFile(PathText(GeneticsPath(EncodePath(world.GeneticsDir), e.Moniker)), QByteArray("GENE") + QByteArray(96, char(i)));
    }
}

TSampleWorld WriteSampleWorld(const QString& outDir)
{
    TSampleWorld world;
    QDir root(outDir);
    if (!root.mkpath(QStringLiteral(".")))
        throw EFCreateError(QStringLiteral("Cannot create directory \"%1\".").arg(outDir));
    world.Prefix = root.absolutePath();
    const QString install = world.Prefix + QStringLiteral("/drive_c/Program Files/Quenmoor/Vivarion 2/");
    world.HistoryDir = install + QStringLiteral("History/");
    world.GeneticsDir = install + QStringLiteral("Genetics/");
    for (const QString& dir : {world.HistoryDir, world.GeneticsDir, world.Prefix + QStringLiteral("/dosdevices")})
        if (!QDir().mkpath(dir))
            throw EFCreateError(QStringLiteral("Cannot create directory \"%1\".").arg(dir));

    const QString drive = world.Prefix + QStringLiteral("/dosdevices/c:");
    if (!QFileInfo(drive).isSymLink() && !QFile::link(QStringLiteral("../drive_c"), drive))
        throw EFCreateError(QStringLiteral("Cannot create the link \"%1\".").arg(drive));

    WriteWholeFile(world.Prefix + QStringLiteral("/system.reg"),
                   SampleRegistryText(QString::fromLatin1(kSampleHistoryWinPath),
                                      QString::fromLatin1(kSampleGeneticsWinPath)));
    for (const TSampleCreature& creature : SampleCreatures())
        WriteSampleCreature(world, creature);
    return world;
}
