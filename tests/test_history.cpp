// The history record file: encodings, byte-exact round trips, damaged files
// and saves that must never cost the old file.
#include "TestUtil.h"
#include "common/ByteOrder.h"
#include "common/Exception.h"
#include "history/CreatureFiles.h"
#include "history/HistoryScan.h"
#include "history/Lineage.h"
#include "history/HistoryRecord.h"
#include "sampleworld/SampleWorld.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <map>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

HistoryRecord reload(const QByteArray& image)
{
    HistoryRecord e;
    e.loadFromBytes(image);
    return e;
}

}  // namespace

TEST(RecordLayout, EmptyRecordIs354ZeroBytes)
{
    EXPECT_EQ(HistoryRecord().saveToBytes(), QByteArray(354, '\0'));
}

TEST(RecordLayout, FieldsLieAtFixedOffsetsWhenStringsAreEmpty)
{
    HistoryRecord e;
    e.moniker = {'A', 'B', 'C', 'D'};
    e.parent1Moniker = {'P', 'Q', 'R', 'S'};
    e.parent2Moniker = {'W', 'X', 'Y', 'Z'};
    e.state = 0x11111111;
    e.gender = 0x22222222;
    e.extraInteger1 = 0x33333333;
    e.gravestoneIndex = 0x44444444;
    e.deathTime = 0x55555555;
    e.birthTime = 0x66666666;
    e.extraInteger2 = 0x77777777;
    e.registered = true;
    e.species = 0x09090909;
    e.extraInteger3 = 0x0A0A0A0A;
    e.block256.fill('\x5A');
    e.block36.fill('\x6B');
    const QByteArray b = e.saveToBytes();
    ASSERT_EQ(b.size(), 354);
    EXPECT_EQ(b.mid(0, 4), "ABCD");
    EXPECT_EQ(b.mid(5, 4), "PQRS");
    EXPECT_EQ(b.mid(10, 4), "WXYZ");
    EXPECT_EQ(b.mid(14, 7), QByteArray(7, '\0'));
    const std::pair<int, char> ints[] = {{21, 0x11}, {25, 0x22}, {29, 0x33}, {34, 0x44}, {38, 0x55},
                                         {42, 0x66}, {46, 0x77}, {54, 0x09}, {58, 0x0A}};
    for (auto [offset, byte] : ints)
        EXPECT_EQ(b.mid(offset, 4), QByteArray(4, byte)) << "offset " << offset;
    EXPECT_EQ(b.at(33), '\0');                 // Epitaph
    EXPECT_EQ(b.mid(50, 4), bytes({1, 0, 0, 0}));  // Registered
    EXPECT_EQ(b.mid(62, 256), QByteArray(256, '\x5A'));
    EXPECT_EQ(b.mid(318, 36), QByteArray(36, '\x6B'));
    EXPECT_EQ(reload(b), e);
}

TEST(CountedString, UsesTheShortestForm)
{
    auto encode = [](qsizetype n) {
        QByteArray out;
        writeCountedString(out, QByteArray(n, 'a'));
        return out;
    };
    EXPECT_EQ(encode(0), bytes({0}));
    EXPECT_EQ(encode(1), bytes({1, 'a'}));
    EXPECT_EQ(encode(254).size(), 255);
    EXPECT_EQ(encode(254).at(0), '\xFE');
    EXPECT_EQ(encode(255).size(), 258);
    EXPECT_EQ(encode(255).left(3), bytes({0xFF, 0xFF, 0x00}));
    EXPECT_EQ(encode(300).left(3), bytes({0xFF, 0x2C, 0x01}));
    EXPECT_EQ(encode(65535).left(3), bytes({0xFF, 0xFF, 0xFF}));
}

TEST(CountedString, TextsLongerThanTheFormatAllowsAreCutSoTheFileStaysWellFormed)
{
    QByteArray out;
    writeCountedString(out, QByteArray(70000, 'z'));
    ASSERT_EQ(out.size(), 3 + 65535);
    EXPECT_EQ(out.left(3), bytes({0xFF, 0xFF, 0xFF}));

    HistoryRecord e;
    e.epitaph = QByteArray(70000, 'z');
    e.ownerName = "after";
    const HistoryRecord back = reload(e.saveToBytes());
    EXPECT_EQ(back.epitaph, QByteArray(65535, 'z'));
    EXPECT_EQ(back.ownerName, "after");
}

TEST(CountedString, LongFormWithShortLengthLoadsAndIsWrittenShorter)
{
    QByteArray image = HistoryRecord().saveToBytes();
    image.replace(4, 1, bytes({0xFF, 0x03, 0x00}) + "Bob");  // DisplayName, long form
    image.replace(14 + 5, 1, bytes({0xFF, 0x02, 0x00}) + "Cy");  // Parent2Name, moved by the 5 bytes above
    const HistoryRecord e = reload(image);
    EXPECT_EQ(e.displayName, "Bob");
    EXPECT_EQ(e.parent2Name, "Cy");
    const QByteArray again = e.saveToBytes();
    EXPECT_EQ(again.size(), image.size() - 4);  // 2 bytes from each long form
    EXPECT_EQ(reload(again), e);
}

TEST(CountedString, LongFormOfLengthZeroIsEmptyAndWrittenAsOneByte)
{
    QByteArray image = HistoryRecord().saveToBytes();
    image.replace(4, 1, bytes({0xFF, 0x00, 0x00}));
    const HistoryRecord e = reload(image);
    EXPECT_TRUE(e.displayName.isEmpty());
    EXPECT_EQ(e.saveToBytes(), QByteArray(354, '\0'));
}

TEST(RecordFields, RegisteredIsAnyNonZeroValueAndWrittenAsOne)
{
    for (int stored : {1, 2, 255, -1, 0x01000000}) {
        QByteArray image = HistoryRecord().saveToBytes();
        const auto u = static_cast<std::uint32_t>(stored);
        image.replace(50, 4, bytes({int(u & 0xFF), int(u >> 8 & 0xFF), int(u >> 16 & 0xFF), int(u >> 24)}));
        const HistoryRecord e = reload(image);
        EXPECT_TRUE(e.registered) << stored;
        EXPECT_EQ(e.saveToBytes().mid(50, 4), bytes({1, 0, 0, 0}));
    }
}

TEST(RecordFields, MonikerTextEndsAtTheFirstZeroByte)
{
    EXPECT_EQ(monikerText({'A', 'B', 'C', 'D'}), "ABCD");
    EXPECT_EQ(monikerText({'A', 'B', 0, 0}), "AB");
    EXPECT_EQ(monikerText({0, 0, 0, 0}), "");
    EXPECT_EQ(monikerText({'A', 0, 'C', 'D'}), "A");
}

TEST(RecordRoundTrip, EverySampleRecordIsReproducedByteForByte)
{
    for (const SampleCreature& c : sampleCreatures()) {
        const QByteArray image = c.entry.saveToBytes();
        const HistoryRecord e = reload(image);
        EXPECT_EQ(e.saveToBytes(), image) << c.historyFile.constData();
    }
}

TEST(RecordRoundTrip, UnusedFieldsBlocksAndTrailingBytesSurvive)
{
    HistoryRecord e = sampleCreatures().front().entry;
    for (size_t i = 0; i < e.block256.size(); ++i)
        e.block256[i] = static_cast<char>(255 - i);
    e.block36.fill('\xEE');
    e.extraString1 = QByteArray("\0\x01\xFF zero inside", 15);
    e.extraInteger1 = std::numeric_limits<std::int32_t>::min();
    e.extraInteger3 = -1;
    e.trailer = "appended by a newer game";
    const QByteArray image = e.saveToBytes();
    EXPECT_TRUE(image.endsWith("appended by a newer game"));
    EXPECT_EQ(reload(image), e);
    EXPECT_EQ(reload(image).saveToBytes(), image);
}

namespace {

// A record's 25 fields in file order, each as the bytes it holds, and
// whether it is a text (a cut text is shorter; a cut number or block is
// filled with zeros).
struct FieldBytes {
    QByteArray bytes;
    bool text;
};

std::vector<FieldBytes> fields(const HistoryRecord& e)
{
    auto number = [](std::int32_t v) {
        QByteArray b;
        appendLittleEndian(b, v);
        return FieldBytes{b, false};
    };
    auto raw = [](const auto& a) { return FieldBytes{QByteArray(a.data(), qsizetype(a.size())), false}; };
    auto text = [](const QByteArray& t) { return FieldBytes{t, true}; };
    return {raw(e.moniker),         text(e.displayName),     raw(e.parent1Moniker),  text(e.parent1Name),
            raw(e.parent2Moniker),  text(e.parent2Name),     text(e.extraString1),   text(e.extraString2),
            text(e.ownerName),      text(e.ownerUrl),        text(e.ownerNotes),     text(e.ownerEMail),
            number(e.state),        number(e.gender),        number(e.extraInteger1), text(e.epitaph),
            number(e.gravestoneIndex), number(e.deathTime),  number(e.birthTime),    number(e.extraInteger2),
            number(e.registered),   number(e.species),       number(e.extraInteger3), raw(e.block256),
            raw(e.block36)};
}

}  // namespace

// Cut anywhere, a record reads as far as its bytes go: every field before
// the cut as it stands, the field the cut falls in with what was there (a
// text cut short, a number or block filled up with zeros), every later
// field zero or empty; never a trailer.
TEST(RecordDamage, AFileThatEndsEarlyLoadsWithZerosAndCutTexts)
{
    HistoryRecord full = sampleCreatures().front().entry;
    full.epitaph = "An epitaph to be cut";
    full.gravestoneIndex = 0x01020304;
    full.block256.fill('\x02');
    full.block36.fill('\x01');
    const QByteArray image = full.saveToBytes();
    const std::vector<FieldBytes> want = fields(full);
    size_t wholeBefore = 0;
    for (qsizetype n = 0; n <= image.size(); ++n) {
        const HistoryRecord cut = reload(image.left(n));
        EXPECT_TRUE(cut.trailer.isEmpty()) << n;
        const std::vector<FieldBytes> got = fields(cut);
        size_t whole = 0;
        while (whole < got.size() && got[whole].bytes == want[whole].bytes)
            ++whole;
        EXPECT_GE(whole, wholeBefore) << "a longer file lost a field at " << n;
        wholeBefore = whole;
        if (whole == got.size())
            continue;
        const QByteArray& g = got[whole].bytes;
        const QByteArray& w = want[whole].bytes;
        if (want[whole].text) {
            EXPECT_TRUE(w.startsWith(g)) << "field " << whole << " at " << n;
        } else {
            bool zeroFilled = false;
            for (qsizetype j = 0; j <= w.size() && !zeroFilled; ++j)
                zeroFilled = g == w.left(j) + QByteArray(w.size() - j, '\0');
            EXPECT_TRUE(zeroFilled) << "field " << whole << " at " << n;
        }
        for (size_t later = whole + 1; later < got.size(); ++later)
            EXPECT_EQ(got[later].bytes.count('\0'), got[later].bytes.size()) << "field " << later << " at " << n;
    }
    EXPECT_EQ(wholeBefore, want.size());
    const HistoryRecord cut = reload(image.left(6));  // moniker, length byte, one character
    EXPECT_EQ(monikerText(cut.moniker), "TOVA");
    EXPECT_EQ(cut.displayName, "T");
    EXPECT_EQ(reload(QByteArray()), HistoryRecord());
}

class RecordFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray pathOf(const char* name) const { return encodePath(dir.filePath(QString::fromUtf8(name))); }

    QByteArray writeSample(const char* name)
    {
        HistoryRecord e = sampleCreatures().front().entry;
        e.fileName = pathOf(name);
        e.saveToFile();
        return e.fileName;
    }

    QStringList listing() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }
};

TEST_F(RecordFiles, SaveAndLoadGoThroughTheFileName)
{
    const QByteArray path = writeSample("cr_TOVA");
    HistoryRecord e;
    e.loadFromFile(path);
    EXPECT_EQ(e.fileName, path);
    HistoryRecord expected = sampleCreatures().front().entry;
    expected.fileName = path;
    EXPECT_EQ(e, expected);
    EXPECT_EQ(readAll(path), expected.saveToBytes());
}

TEST_F(RecordFiles, PathsThatAreNoReadableFileRaiseTheOpenErrorNamingThePath)
{
    QDir(dir.path()).mkdir(QStringLiteral("cr_DIR"));
    for (const char* name : {"cr_missing", "cr_DIR", "no/such/cr_X"}) {
        HistoryRecord e;
        e.displayName = "kept";
        try {
            e.loadFromFile(pathOf(name));
            ADD_FAILURE() << "no error for " << name;
        } catch (const FileOpenError& err) {
            EXPECT_TRUE(err.message.contains(pathText(pathOf(name)))) << err.message.toStdString();
        }
        EXPECT_EQ(e.fileName, pathOf(name));
        EXPECT_EQ(e.displayName, "kept");
    }
}

TEST_F(RecordFiles, FailedSavesLeaveTheOldFileByteForByteAndNoLitter)
{
    const QByteArray path = writeSample("cr_TOVA");
    const QByteArray before = readAll(path);
    HistoryRecord e;
    e.loadFromFile(path);
    e.displayName = "Changed";

    // Read-only files are not replaced, even for root.
    QFile::setPermissions(pathText(path), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_THROW(e.saveToFile(), FileCreateError);
    EXPECT_EQ(readAll(path), before);
    QFile::setPermissions(pathText(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // A directory where the file should be, and a missing parent directory.
    QDir(dir.path()).mkdir(QStringLiteral("cr_DIR"));
    for (const QByteArray& target : {pathOf("cr_DIR"), pathOf("gone/cr_TOVA")}) {
        e.fileName = target;
        try {
            e.saveToFile();
            ADD_FAILURE() << "saved to " << target.constData();
        } catch (const FileCreateError& err) {
            EXPECT_TRUE(err.message.contains(pathText(target))) << err.message.toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo(pathText(pathOf("cr_DIR"))).isDir());
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(listing(), (QStringList{QStringLiteral("cr_DIR"), QStringLiteral("cr_TOVA")}));

    // And the same record saves fine where it may.
    e.fileName = path;
    e.saveToFile();
    HistoryRecord back;
    back.loadFromFile(path);
    EXPECT_EQ(back.displayName, "Changed");
}

TEST(CreatureFiles, UnsafeMonikersNeverNameAFile)
{
    EXPECT_EQ(monikerFileText({'A', 'B', 'C', 'D'}), "ABCD");
    EXPECT_EQ(monikerFileText({'\xE9', 't', 0, 0}), QString::fromUtf16(u"\u00e9t"));
    for (Moniker bad : {Moniker{'.', 0, 0, 0}, Moniker{'.', '.', 0, 0}, Moniker{'a', '/', 'b', 0},
                         Moniker{'.', '.', '/', 'x'}, Moniker{'\\', 'x', 0, 0}})
        EXPECT_FALSE(monikerFileText(bad));
}

TEST(CreatureFiles, PathsAreTheDirectoryWithTheNameAppended)
{
    const Moniker m = {'A', 'B', 0, 0};
    EXPECT_EQ(albumPath("/h/", m), "/h/photo_AB.s16");
    EXPECT_EQ(geneticsPath("/g/", m), "/g/AB.gen");
    EXPECT_EQ(albumPath("/h/", {'.', '.', 0, 0}), "");
    EXPECT_EQ(geneticsPath("/g/", {'a', '/', 'b', 0}), "");
}

// The scan answers "does the album / genetics file exist" from one listing
// of each folder, and must answer as a stat of the full name would have.
TEST(HistoryScan, FilesExistAsAStatWouldSayAtTheFill)
{
    QTemporaryDir dir;
    const QString history = dir.filePath("History/"), genes = dir.filePath("Genes/");
    QDir().mkpath(history);
    QDir().mkpath(genes);
    auto record = [&](const char* moniker) {
        HistoryRecord e;
        std::copy_n(moniker, std::strlen(moniker), e.moniker.begin());
        e.fileName = encodePath(history) + kHistoryFilePrefix + moniker;
        e.saveToFile();
    };
    for (const char* m : {"LINK", "DANG", "FOLD", "CASE", "BOTH", ""})
        record(m);
    writeWholeFile(dir.filePath("elsewhere.s16"), "x");
    QFile::link(dir.filePath("elsewhere.s16"), history + "photo_LINK.s16");  // a link to a file: exists
    QFile::link(dir.filePath("gone.s16"), history + "photo_DANG.s16");       // a dangling link: does not
    QDir().mkpath(history + "photo_FOLD.s16");                               // a folder: does not
    writeWholeFile(history + "photo_case.s16", "x");                         // other letter case: does not
    writeWholeFile(history + "photo_BOTH.s16", "x");
    writeWholeFile(genes + "BOTH.gen", "x");
    writeWholeFile(history + "CASE.gen", "x");  // in the wrong folder
    writeWholeFile(history + "photo_.s16", "x");  // an empty moniker names files too
    writeWholeFile(genes + ".gen", "x");
    // A save killed two minutes ago left its hidden file: the fill removes it.
    writeWholeFile(history + ".lifeledger-Kil1ed", "x");
    const struct timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    ::utimensat(AT_FDCWD, encodePath(history + ".lifeledger-Kil1ed").constData(), old, 0);

    const HistoryScan scan = scanHistory(encodePath(history), encodePath(genes));
    EXPECT_FALSE(QFileInfo::exists(history + ".lifeledger-Kil1ed"));
    EXPECT_TRUE(scan.failures.isEmpty());
    std::map<QByteArray, int> images;
    for (const ScannedRecord& r : scan.records)
        images[QByteArray(r.name)] = badgeImageIndex(r.badges);
    EXPECT_EQ(images, (std::map<QByteArray, int>{
                          {"cr_", 2 | 4}, {"cr_BOTH", 2 | 4}, {"cr_CASE", 0}, {"cr_DANG", 0}, {"cr_FOLD", 0}, {"cr_LINK", 2}}));
}

namespace {

void setModified(const QString& path, qint64 ns)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {ns / 1000000000, ns % 1000000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, encodePath(path).constData(), times, 0), 0);
}

std::vector<QByteArray> namesOf(const HistoryScan& scan)
{
    std::vector<QByteArray> names;
    for (const ScannedRecord& r : scan.records)
        names.emplace_back(r.name);
    return names;
}

}  // namespace

// Many records read at once come out in the listing's order, the failures
// too; a rebuild reads again only what changed, whatever its time says.
TEST(HistoryScan, ParallelReadsKeepTheListingOrderAndARebuildReadsOnlyWhatChanged)
{
    QTemporaryDir dir;
    const QString history = dir.filePath("History/");
    QDir().mkpath(history);
    const auto record = [&](int i) { return QByteArray(400 + i % 7, char('a' + i % 26)) + QByteArray::number(i); };
    for (int i = 0; i < 1500; ++i)
        writeWholeFile(history + QStringLiteral("cr_%1").arg(i), record(i));
    // Written an hour ago: settled, as a record the game wrote long before.
    const qint64 hourAgo = (qint64(::time(nullptr)) - 3600) * 1000000000;
    for (int i = 0; i < 1500; ++i)
        setModified(history + QStringLiteral("cr_%1").arg(i), hourAgo + i);
    // But one written just now.
    const qint64 recent = (qint64(::time(nullptr)) - 1) * 1000000000 + 123;
    setModified(history + "cr_11", recent);
    for (const char* unreadable : {"cr_z1", "cr_z2", "cr_z3"})
        QDir().mkpath(history + unreadable);

    std::vector<QByteArray> listed;
    Directory(encodePath(history)).list([&](QByteArrayView name, bool) {
        if (name.startsWith("cr_"))
            listed.emplace_back(name.toByteArray());
    });
    const HistoryScan first = scanHistory(encodePath(history), encodePath(history));
    EXPECT_EQ(first.filesRead, 1503);
    QStringList failedNames;
    for (const QString& failure : first.failures)
        failedNames << failure.section('/', -1).section('"', 0, 0);
    std::vector<QByteArray> expected = listed;
    std::erase_if(expected, [](const QByteArray& n) { return n.startsWith("cr_z"); });
    EXPECT_EQ(namesOf(first), expected);
    QStringList expectedFailures;
    for (const QByteArray& n : listed)
        if (n.startsWith("cr_z"))
            expectedFailures << n;
    EXPECT_EQ(failedNames, expectedFailures);
    for (const ScannedRecord& r : first.records)
        ASSERT_EQ(r.bytes.toByteArray(), record(QByteArray(r.name).mid(3).toInt())) << r.name;

    // Changed: one rewritten (new file, as a save makes it), one new, one
    // gone, and the recent one rewritten in place with the same size and
    // its time put back to the nanosecond, as a game writing twice within
    // its file system's time granularity leaves it: it is read again.
    writeWholeFile(history + "cr_7", "edited");
    writeWholeFile(history + "cr_new", "new");
    QFile::remove(history + "cr_9");
    {
        QFile same(history + "cr_11");
        ASSERT_TRUE(same.open(QIODevice::ReadWrite));
        same.write(QByteArray(record(11).size(), 'X'));
    }
    setModified(history + "cr_11", recent);
    const EarlierScan earlier{first.directory, first.records, first.startedNs};
    const HistoryScan rebuilt = scanHistory(encodePath(history), encodePath(history), &earlier);
    EXPECT_EQ(rebuilt.filesRead, 3 + 3) << "cr_7, cr_new, cr_11 and the three folders";
    std::map<QByteArray, QByteArray> contents;
    for (const ScannedRecord& r : rebuilt.records)
        contents[QByteArray(r.name)] = r.bytes.toByteArray();
    EXPECT_EQ(contents.size(), 1500u);
    EXPECT_EQ(contents["cr_11"], QByteArray(record(11).size(), 'X'));
    EXPECT_EQ(contents["cr_7"], "edited");
    EXPECT_EQ(contents["cr_new"], "new");
    EXPECT_EQ(contents.count("cr_9"), 0u);
    EXPECT_EQ(contents["cr_12"], record(12));
    EXPECT_EQ(rebuilt.failures.size(), 3);
    std::vector<QByteArray> order;
    Directory(encodePath(history)).list([&](QByteArrayView name, bool) {
        if (name.startsWith("cr_") && !name.startsWith("cr_z"))
            order.emplace_back(name.toByteArray());
    });
    EXPECT_EQ(namesOf(rebuilt), order);
}

namespace {

RecordKey key(const char* moniker, const char* parent1 = "", const char* parent2 = "")
{
    RecordKey key;
    std::copy_n(moniker, std::min<size_t>(4, std::strlen(moniker)), key.moniker.begin());
    std::copy_n(parent1, std::min<size_t>(4, std::strlen(parent1)), key.parent1Moniker.begin());
    std::copy_n(parent2, std::min<size_t>(4, std::strlen(parent2)), key.parent2Moniker.begin());
    return key;
}

// The tree as "MONIKER@generation<parent,parent>" in the order it was found.
QStringList describe(const LineageTree& tree)
{
    QStringList people;
    for (const LineagePerson& p : tree.people) {
        QStringList parents;
        for (int parent : p.parents)
            parents << monikerDisplayText(tree.people[size_t(parent)].moniker);
        people << QStringLiteral("%1%2@%3<%4>")
                      .arg(p.row < 0 ? QStringLiteral("~") : QString(), monikerDisplayText(p.moniker))
                      .arg(p.generation)
                      .arg(parents.join(','));
    }
    return people;
}

}  // namespace

// A family with grandparents, a parent outside the history, children and a
// grandchild; a line that runs in a circle, a moniker carried twice and a
// creature that names itself: every person once, no hang.
TEST(Lineage, AncestorsAndDescendantsEachOnceWhateverTheHistoryHolds)
{
    const std::vector<RecordKey> keys = {
        key("KID", "MUM", "DAD"),   // 0
        key("MUM", "GMA", "GPA"),   // 1
        key("DAD", "OUT"),          // 2: a parent exported from the world
        key("GMA"), key("GPA"),     // 3, 4
        key("SON", "KID"),          // 5
        key("DOT", "KID", "SON"),   // 6: a child of KID and of its own brother SON
        key("GSN", "SON"),          // 7
        key("P", "Q"), key("Q", "P"),  // 8, 9: a circle
        key("TWIN"), key("TWIN"),   // 10, 11: one moniker, two records
        key("HEIR", "TWIN"),        // 12
        key("SELF", "SELF"),        // 13
    };
    const LineageIndex index(keys);
    EXPECT_EQ(index.rowsOf(key("TWIN").moniker).size(), 2u);
    EXPECT_EQ(std::vector<int>(index.childrenOf(key("KID").moniker).begin(), index.childrenOf(key("KID").moniker).end()),
              (std::vector<int>{5, 6}));
    auto names = [](int row, int which) { return QStringLiteral("name of parent %1 of row %2").arg(which).arg(row); };

    const LineageTree kid = buildLineageTree(index, 0, names);
    EXPECT_EQ(describe(kid), (QStringList{"KID@0<MUM,DAD>", "MUM@-1<GMA,GPA>", "DAD@-1<OUT>", "GMA@-2<>", "GPA@-2<>",
                                          "~OUT@-2<>", "SON@1<KID>", "DOT@1<KID,SON>", "GSN@2<SON>"}));
    EXPECT_EQ(kid.people[5].name, "name of parent 1 of row 2");

    EXPECT_EQ(describe(buildLineageTree(index, 8, names)), (QStringList{"P@0<Q>", "Q@-1<P>"}));
    const LineageTree heir = buildLineageTree(index, 12, names);
    EXPECT_EQ(describe(heir), (QStringList{"HEIR@0<TWIN,TWIN>", "TWIN@-1<>", "TWIN@-1<>"}));
    EXPECT_TRUE(heir.people[1].sharedMoniker && heir.people[2].sharedMoniker);
    EXPECT_EQ(describe(buildLineageTree(index, 13, names)), QStringList{"SELF@0<>"});
}

// A line of 100,000 generations is walked in linear time (a quadratic walk
// would take minutes).
TEST(Lineage, ALongLineIsWalkedInLinearTime)
{
    // Monikers of four bytes none of which is zero (a zero ends a moniker).
    auto moniker = [](int i) {
        Moniker m;
        for (int b = 0; b < 4; ++b, i /= 250)
            m[size_t(b)] = static_cast<char>(1 + i % 250);
        return m;
    };
    std::vector<RecordKey> keys;
    for (int i = 0; i < 100000; ++i) {
        RecordKey key;
        key.moniker = moniker(i);
        if (i > 0)
            key.parent1Moniker = moniker(i - 1);
        keys.push_back(key);
    }
    const LineageIndex index(keys);
    const LineageTree fromTop = buildLineageTree(index, 0, [](int, int) { return QString(); });
    EXPECT_EQ(fromTop.people.size(), 100000u);
    EXPECT_EQ(fromTop.people.back().generation, 99999);
    const LineageTree fromBottom = buildLineageTree(index, 99999, [](int, int) { return QString(); });
    EXPECT_EQ(fromBottom.people.back().generation, -99999);
}
