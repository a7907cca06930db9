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

Moniker m(const char* text)
{
    Moniker m{};
    std::memcpy(m.data(), text, std::min<size_t>(4, std::strlen(text)));
    return m;
}

// Seconds since 1970 for a date and time, UTC, for readable fixtures.
std::int32_t stamp(int y, int mo, int d, int h = 12, int mi = 0, int s = 0)
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
    std::vector<SampleCreature> list;

    SampleCreature& add(const char* moniker, const QByteArray& name, int species, int gender, int state)
    {
        SampleCreature c;
        c.historyFile = kHistoryFilePrefix + QByteArray(moniker);
        HistoryRecord& e = c.entry;
        e.moniker = m(moniker);
        e.displayName = name;
        e.species = species;
        e.gender = gender;
        e.state = state;
        e.registered = state == csDead;
        e.gravestoneIndex = -1;
        const int n = static_cast<int>(list.size());
        e.birthTime = stamp(2001 + n % 9, 1 + n % 12, 1 + (n * 7) % 28, n % 24, (n * 13) % 60, (n * 29) % 60);
        e.deathTime = e.birthTime + 86400 * (3 + n * 5) + 3600 * (n % 11);
        e.extraInteger1 = 1000 + n;
        e.extraInteger2 = n * 3;
        e.extraInteger3 = -n;
        e.extraString1 = "world-" + QByteArray::number(n % 3);
        for (size_t i = 0; i < e.block256.size(); ++i)
            e.block256[i] = static_cast<char>((i * 7 + static_cast<size_t>(n)) & 0xFF);
        for (size_t i = 0; i < e.block36.size(); ++i)
            e.block36[i] = static_cast<char>(i % 5 == 0 ? n : 0);
        list.push_back(std::move(c));
        return list.back();
    }
};

void parents(HistoryRecord& e, const char* m1, const QByteArray& n1, const char* m2, const QByteArray& n2)
{
    e.parent1Moniker = m(m1);
    e.parent1Name = n1;
    e.parent2Moniker = m(m2);
    e.parent2Name = n2;
}

void owner(HistoryRecord& e, const QByteArray& name, const QByteArray& url, const QByteArray& mail,
           const QByteArray& notes)
{
    e.ownerName = name;
    e.ownerUrl = url;
    e.ownerEMail = mail;
    e.ownerNotes = notes;
}

std::vector<SampleCreature> buildCreatures()
{
    Builder b;
    // Names are Windows-1252 bytes, as the game stores them.
    {
        auto& c = b.add("TOVA", "Tavi", 1, 1, csAlive);
        parents(c.entry, "SKDR", "Sorrel", "BRDN", "Bracken");
        owner(c.entry, "Mira Holt", "http://vivarion.example/mira", "mira@example.org", "First hatchling of the spring.");
        c.albumPhotos = 5;
        c.genetics = true;
    }
    {
        auto& c = b.add("SKDR", "Sorrel", 2, 2, csDead);
        c.entry.epitaph = "Flew highest of us all.";
        c.albumPhotos = 3;
        c.albumLayout = pl555;
        c.genetics = true;
    }
    {
        auto& c = b.add("BRDN", "Bracken", 3, 1, csDead);
        c.entry.registered = false;
        c.entry.gravestoneIndex = 2;
        c.entry.epitaph = "Never registered, never forgotten.";
        c.albumPhotos = 3;
    }
    {
        auto& c = b.add("YREX", "Yonder", 4, 2, csExported);
        owner(c.entry, "Pell Quist", "", "pell@example.net", "Sent to a friend's world.");
        c.entry.gravestoneIndex = 1;
        c.albumPhotos = 2;
        c.genetics = true;
    }
    {
        auto& c = b.add("ST03", "Oddity", 1, 2, 3);
        c.entry.epitaph = "State three: neither here nor there.";
    }
    b.add("ST07", "Septima", 2, 1, 7).genetics = true;
    b.add("STNG", "Backwards", 3, 2, -1);
    b.add("SP00", "Nobody", 0, 0, csAlive);
    b.add("SP05", "Quintus", 5, 3, csAlive);
    b.add("SPNG", "Minus", -2, -1, csDead).entry.registered = true;
    {
        auto& c = b.add("NOPA", "Foundling", 1, 1, csAlive);
        parents(c.entry, "", "", "", "");
    }
    {
        auto& c = b.add("ACCE", "Zo\xEB \xC5ngstr\xF6m", 2, 2, csDead);
        parents(c.entry, "SKDR", "Ren\xE9" "e", "TOVA", "\x8C" "dipe");
        owner(c.entry, "Fran\xE7ois \x80uro", "http://caf\xE9.example/", "francois@example.fr",
              "Stra\xDF" "e 5, M\xFCnchen \x96 \x93quoted\x94");
        c.entry.epitaph = "Na\xEFve and brave \x85";
        c.albumPhotos = 1;
        c.genetics = true;
    }
    {
        auto& c = b.add("CAPS", "Shouty", 3, 1, csAlive);
        c.historyFile = "CR_CAPS";
        c.albumPhotos = 1;
    }
    {
        auto& c = b.add("AB", "Shortname", 4, 1, csDead);
        c.historyFile = "cr_AB";
        c.entry.gravestoneIndex = 0;
        c.albumPhotos = 2;
        c.genetics = true;
    }
    {
        auto& c = b.add("LONG", "Longfellow", 1, 1, csDead);
        QByteArray notes;
        for (int i = 0; notes.size() < 300; ++i)
            notes += "Note " + QByteArray::number(i) + " of a long story. ";
        c.entry.ownerNotes = notes.left(300);
        c.entry.epitaph = QByteArray(254, 'e');
        c.entry.extraString2 = QByteArray(255, 'x');
    }
    {
        auto& c = b.add("MULT", "Manylines", 2, 2, csDead);
        c.entry.epitaph = "Here lies Manylines,\r\nwho sang at dawn\r\nand slept at noon.";
        owner(c.entry, "Ada", "", "", "Line one\r\nLine two\r\n\r\nLine four");
        c.albumPhotos = 1;
    }
    {
        auto& c = b.add("EMPT", "Shy", 3, 2, csDead);
        c.albumPhotos = 0;
    }
    {
        auto& c = b.add("BIG1", "Panorama", 4, 1, csDead);
        c.entry.gravestoneIndex = 0;
        c.albumPhotos = 1;  // the one photo is larger than the picture area
        c.albumLayout = pl555;
    }
    {
        auto& c = b.add("ONE1", "Solo", 1, 2, csDead);
        c.entry.gravestoneIndex = 0;
        c.albumPhotos = 1;
    }
    {
        auto& c = b.add("GR05", "Lostphoto", 2, 1, csDead);
        c.entry.gravestoneIndex = 5;
    }
    {
        auto& c = b.add("GRM3", "Negative", 3, 1, csDead);
        c.entry.gravestoneIndex = -3;
        c.albumPhotos = 2;
    }
    b.add("GEN1", "Helix", 4, 2, csAlive).genetics = true;
    b.add("DEAG", "Strand", 1, 1, csDead).genetics = true;
    {
        auto& c = b.add("DAGP", "Keepsake", 2, 2, csDead);
        c.albumPhotos = 4;
        c.albumLayout = pl555;
        c.genetics = true;
    }
    {
        auto& c = b.add("OLDY", "Ancient", 3, 1, csDead);
        c.entry.birthTime = std::numeric_limits<std::int32_t>::min();
        c.entry.deathTime = -1;
    }
    {
        auto& c = b.add("LAST", "Endtimes", 4, 2, csAlive);
        c.entry.birthTime = std::numeric_limits<std::int32_t>::max();
    }
    // A crowd of ordinary creatures around them.
    const char* names[] = {"Amber", "Basil", "Clover", "Dusk",  "Ember", "Fennel", "Gale",
                           "Hazel", "Iris",  "Juniper", "Kestrel", "Linden", "Moss", "Nettle"};
    for (int i = 0; i < 14; ++i) {
        const QByteArray moniker = "C" + QByteArray::number(100 + i);
        const int state = i % 3 == 0 ? csDead : i % 5 == 0 ? csExported : csAlive;
        auto& c = b.add(moniker.constData(), names[i], 1 + i % 4, 1 + i % 2, state);
        c.entry.registered = state == csDead && i % 2 == 0;
        parents(c.entry, "TOVA", "Tavi", "SKDR", "Sorrel");
        if (i % 4 == 1)
            c.albumPhotos = 1 + i % 3;
        c.genetics = i % 3 != 2;
    }
    return b.list;
}

void paint(Picture& p, int x, int y, Rgb c)
{
    if (x >= 0 && y >= 0 && x < p.width && y < p.height)
        p.pixels[static_cast<size_t>(y * p.width + x)] = c;
}

}  // namespace

const std::vector<SampleCreature>& sampleCreatures()
{
    static const std::vector<SampleCreature> creatures = buildCreatures();
    return creatures;
}

Picture drawPicture(int kind, int width, int height)
{
    Picture p{width, height, std::vector<Rgb>(static_cast<size_t>(width * height))};
    const double cx = width / 2.0, cy = height / 2.0, r = std::min(width, height) * 0.4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
            Rgb c{};
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
                static const Rgb ring[] = {{230, 30, 30}, {250, 140, 0}, {250, 230, 0}, {40, 190, 60}, {30, 90, 230}, {140, 50, 200}};
                c = ring[static_cast<int>(d / std::max(2.0, r / 5)) % 6];
                break;
            }
            case 3:  // a red and white checkerboard
                c = ((x / 8 + y / 8) % 2) ? Rgb{220, 30, 30} : Rgb{250, 250, 250};
                break;
            case 4:  // a pink heart on purple
            {
                const double u = dx / r, v = -dy / r + 0.2;
                const double f = std::pow(u * u + v * v - 0.5, 3) - u * u * v * v * v * 0.8;
                c = f < 0 ? Rgb{250, 90, 160} : Rgb{70, 20, 100};
                break;
            }
            default:  // diagonal stripes of teal and orange
                c = ((x + y) / 10 % 2) ? Rgb{0, 160, 160} : Rgb{250, 150, 30};
                break;
            }
            p.pixels[static_cast<size_t>(y * width + x)] = c;
        }
    }
    // A white frame marks the edges, so clipping and centring can be seen.
    for (int x = 0; x < width; ++x) {
        paint(p, x, 0, {255, 255, 255});
        paint(p, x, height - 1, {255, 255, 255});
    }
    for (int y = 0; y < height; ++y) {
        paint(p, 0, y, {255, 255, 255});
        paint(p, width - 1, y, {255, 255, 255});
    }
    return p;
}

std::vector<Picture> sampleAlbum(const QByteArray& moniker, int photos)
{
    std::vector<Picture> album;
    unsigned seed = 0;
    for (char ch : moniker)
        seed = seed * 31 + static_cast<unsigned char>(ch);
    const bool large = moniker == "BIG1";
    for (int i = 0; i < photos; ++i) {
        const int w = large ? 220 : 64 + static_cast<int>((seed + static_cast<unsigned>(i) * 17) % 80);
        const int h = large ? 180 : 48 + static_cast<int>((seed / 7 + static_cast<unsigned>(i) * 23) % 70);
        album.push_back(drawPicture(static_cast<int>(seed % 6) + i, w, h));
    }
    return album;
}

namespace {

// Wine's string escapes: backslash and quote escaped, non-ASCII as \xXXXX.
QByteArray wineString(const QString& text)
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

QByteArray keyName(const char* path)
{
    return QByteArray(path).replace("\\", "\\\\");
}

}  // namespace

QByteArray sampleRegistryText(const QString& historyWinPath, const QString& geneticsWinPath, bool wow64)
{
    QByteArray out = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n";
    out += wow64 ? "#arch=win64\n\n" : "#arch=win32\n\n";
    out += "[" + keyName("Software\\Classes\\.txt") + "] 1796625239\n#time=1dd8614f0fb522e\n@=\"txtfile\"\n"
           "\"Content Type\"=\"text/plain\"\n\n";
    const QByteArray key = wow64 ? keyName("Software\\Wow6432Node\\Quenmoor Technology\\Vivarion 2\\1.0")
                                 : keyName("Software\\Quenmoor Technology\\Vivarion 2\\1.0");
    out += "[" + key + "] 1796625244\n#time=1dd8614f3fab8b6\n";
    out += "\"Genetics Directory\"=\"" + wineString(geneticsWinPath) + "\"\n";
    out += "\"History Directory\"=\"" + wineString(historyWinPath) + "\"\n";
    out += "\"Install Size\"=dword:00a1b2c3\n\n";
    out += "[" + keyName("Software\\Wine") + "] 1796625239\n#time=1dd8614f1003a5a\n"
           "\"Version\"=\"wine-8.0\"\n\n";
    return out;
}

QByteArray gunzipFile(const QString& path)
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

void writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw FileCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
}

void writeSampleCreature(const SampleWorld& world, const SampleCreature& creature)
{
    HistoryRecord entry = creature.entry;
    entry.fileName = encodePath(world.historyDir) + creature.historyFile;
    entry.saveToFile();
    if (creature.albumPhotos >= 0)
        writeS16File(pathText(albumPath(encodePath(world.historyDir), entry.moniker)), sampleAlbum(monikerText(entry.moniker), creature.albumPhotos),
                     creature.albumLayout);
    if (creature.genetics) {
        QByteArray genes = "GENE";
        for (int i = 0; i < 96; ++i)
            genes += static_cast<char>((i * 37 + monikerText(entry.moniker).size() * 11) & 0xFF);
        writeWholeFile(pathText(geneticsPath(encodePath(world.geneticsDir), entry.moniker)), genes);
    }
}

void writeGeneratedCreatures(const SampleWorld& world, int count)
{
    static const char* const names[] = {"Ash", "Birch", "Cedar", "Dill", "Elm", "Fern", "Gorse", "Heath",
                                        "Ivy", "Juno", "Kale", "Larch", "Moss", "Nut", "Oak", "Pine"};
    std::set<QByteArray> taken;
    for (const SampleCreature& c : sampleCreatures())
        taken.insert(monikerText(c.entry.moniker).toUpper());
    // The monikers in order: base 36 from "G000" on, skipping the samples'.
    std::vector<Moniker> monikers;
    monikers.reserve(size_t(count));
    for (int n = 36 * 36 * 36 * 16; int(monikers.size()) < count; ++n) {
        Moniker m{};
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
    HistoryRecord e = sampleCreatures().front().entry;
    std::vector<QByteArray> given(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        e.moniker = monikers[size_t(i)];
        given[size_t(i)] = QByteArray(names[next(16)]) + QByteArray::number(i);
        e.displayName = given[size_t(i)];
        e.species = static_cast<std::int32_t>(1 + next(4));
        e.gender = static_cast<std::int32_t>(1 + next(2));
        e.parent1Moniker = e.parent2Moniker = Moniker{};
        e.parent1Name = e.parent2Name = {};
        if (i >= 2) {
            const int p1 = i - 1 - int(next(std::uint32_t(std::min(i - 1, 40))));
            const int p2 = i - 1 - int(next(std::uint32_t(std::min(i - 1, 400))));
            e.parent1Moniker = monikers[size_t(p1)];
            e.parent1Name = given[size_t(p1)];
            e.parent2Moniker = monikers[size_t(p2)];
            e.parent2Name = given[size_t(p2)];
        }
        e.birthTime = 1000000000 + i * 600;
        const bool dead = next(3) == 0;
        e.deathTime = dead ? e.birthTime + 3600 * std::int32_t(1 + next(500)) : 0;
        e.state = dead ? csDead : csAlive;
        e.registered = dead;
        e.gravestoneIndex = -1;
        e.epitaph = dead ? QByteArray("Rests by the old oak.") : QByteArray();
        const bool album = i % 50 == 0;
        if (album) {
            e.gravestoneIndex = 0;
            writeS16File(pathText(albumPath(encodePath(world.historyDir), e.moniker)), sampleAlbum(QByteArray(e.moniker.data(), 4), 3), pl565);
        }
        writeWholeFile(world.historyDir + QString::fromLatin1(kHistoryFilePrefix) + QString::fromLatin1(e.moniker.data(), 4),
                       e.saveToBytes());
        if (i % 3 == 0)
            writeWholeFile(pathText(geneticsPath(encodePath(world.geneticsDir), e.moniker)), QByteArray("GENE") + QByteArray(96, char(i)));
    }
}

SampleWorld writeSampleWorld(const QString& outDir)
{
    SampleWorld world;
    QDir root(outDir);
    if (!root.mkpath(QStringLiteral(".")))
        throw FileCreateError(QStringLiteral("Cannot create directory \"%1\".").arg(outDir));
    world.prefix = root.absolutePath();
    const QString install = world.prefix + QStringLiteral("/drive_c/Program Files/Quenmoor/Vivarion 2/");
    world.historyDir = install + QStringLiteral("History/");
    world.geneticsDir = install + QStringLiteral("Genetics/");
    for (const QString& dir : {world.historyDir, world.geneticsDir, world.prefix + QStringLiteral("/dosdevices")})
        if (!QDir().mkpath(dir))
            throw FileCreateError(QStringLiteral("Cannot create directory \"%1\".").arg(dir));

    const QString drive = world.prefix + QStringLiteral("/dosdevices/c:");
    if (!QFileInfo(drive).isSymLink() && !QFile::link(QStringLiteral("../drive_c"), drive))
        throw FileCreateError(QStringLiteral("Cannot create the link \"%1\".").arg(drive));

    writeWholeFile(world.prefix + QStringLiteral("/system.reg"),
                   sampleRegistryText(QString::fromLatin1(kSampleHistoryWinPath),
                                      QString::fromLatin1(kSampleGeneticsWinPath)));
    for (const SampleCreature& creature : sampleCreatures())
        writeSampleCreature(world, creature);
    return world;
}
