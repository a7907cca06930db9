// The history record file: encodings, byte-exact round trips, damaged files
// and saves that must never cost the old file.
#include "TestUtil.h"
#include "common/ByteOrder.h"
#include "common/Exception.h"
#include "history/CreatureFiles.h"
#include "history/HistoryScan.h"
#include "history/Lineage.h"
#include "history/unitHistoryClass.h"
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

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

THistoryEntry Reload(const QByteArray& image)
{
    THistoryEntry e;
    e.LoadFromBytes(image);
    return e;
}

}  // namespace

TEST(RecordLayout, EmptyRecordIs354ZeroBytes)
{
    EXPECT_EQ(THistoryEntry().SaveToBytes(), QByteArray(354, '\0'));
}

TEST(RecordLayout, FieldsLieAtFixedOffsetsWhenStringsAreEmpty)
{
    THistoryEntry e;
    e.Moniker = {'A', 'B', 'C', 'D'};
    e.Parent1Moniker = {'P', 'Q', 'R', 'S'};
    e.Parent2Moniker = {'W', 'X', 'Y', 'Z'};
    e.State = 0x11111111;
    e.Gender = 0x22222222;
    e.ExtraInteger1 = 0x33333333;
    e.GravestoneIndex = 0x44444444;
    e.DeathTime = 0x55555555;
    e.BirthTime = 0x66666666;
    e.ExtraInteger2 = 0x77777777;
    e.Registered = true;
    e.Species = 0x09090909;
    e.ExtraInteger3 = 0x0A0A0A0A;
    e.Block256.fill('\x5A');
    e.Block36.fill('\x6B');
    const QByteArray b = e.SaveToBytes();
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
    EXPECT_EQ(b.mid(50, 4), Bytes({1, 0, 0, 0}));  // Registered
    EXPECT_EQ(b.mid(62, 256), QByteArray(256, '\x5A'));
    EXPECT_EQ(b.mid(318, 36), QByteArray(36, '\x6B'));
    EXPECT_EQ(Reload(b), e);
}

TEST(CountedString, UsesTheShortestForm)
{
    auto encode = [](qsizetype n) {
        QByteArray out;
        WriteCountedString(out, QByteArray(n, 'a'));
        return out;
    };
    EXPECT_EQ(encode(0), Bytes({0}));
    EXPECT_EQ(encode(1), Bytes({1, 'a'}));
    EXPECT_EQ(encode(254).size(), 255);
    EXPECT_EQ(encode(254).at(0), '\xFE');
    EXPECT_EQ(encode(255).size(), 258);
    EXPECT_EQ(encode(255).left(3), Bytes({0xFF, 0xFF, 0x00}));
    EXPECT_EQ(encode(300).left(3), Bytes({0xFF, 0x2C, 0x01}));
    EXPECT_EQ(encode(65535).left(3), Bytes({0xFF, 0xFF, 0xFF}));
}

TEST(CountedString, TextsLongerThanTheFormatAllowsAreCutSoTheFileStaysWellFormed)
{
    QByteArray out;
    WriteCountedString(out, QByteArray(70000, 'z'));
    ASSERT_EQ(out.size(), 3 + 65535);
    EXPECT_EQ(out.left(3), Bytes({0xFF, 0xFF, 0xFF}));

    THistoryEntry e;
    e.Epitaph = QByteArray(70000, 'z');
    e.OwnerName = "after";
    const THistoryEntry back = Reload(e.SaveToBytes());
    EXPECT_EQ(back.Epitaph, QByteArray(65535, 'z'));
    EXPECT_EQ(back.OwnerName, "after");
}

TEST(CountedString, LongFormWithShortLengthLoadsAndIsWrittenShorter)
{
    QByteArray image = THistoryEntry().SaveToBytes();
    image.replace(4, 1, Bytes({0xFF, 0x03, 0x00}) + "Bob");  // DisplayName, long form
    image.replace(14 + 5, 1, Bytes({0xFF, 0x02, 0x00}) + "Cy");  // Parent2Name, moved by the 5 bytes above
    const THistoryEntry e = Reload(image);
    EXPECT_EQ(e.DisplayName, "Bob");
    EXPECT_EQ(e.Parent2Name, "Cy");
    const QByteArray again = e.SaveToBytes();
    EXPECT_EQ(again.size(), image.size() - 4);  // 2 bytes from each long form
    EXPECT_EQ(Reload(again), e);
}

TEST(CountedString, LongFormOfLengthZeroIsEmptyAndWrittenAsOneByte)
{
    QByteArray image = THistoryEntry().SaveToBytes();
    image.replace(4, 1, Bytes({0xFF, 0x00, 0x00}));
    const THistoryEntry e = Reload(image);
    EXPECT_TRUE(e.DisplayName.isEmpty());
    EXPECT_EQ(e.SaveToBytes(), QByteArray(354, '\0'));
}

TEST(RecordFields, RegisteredIsAnyNonZeroValueAndWrittenAsOne)
{
    for (int stored : {1, 2, 255, -1, 0x01000000}) {
        QByteArray image = THistoryEntry().SaveToBytes();
        const auto u = static_cast<std::uint32_t>(stored);
        image.replace(50, 4, Bytes({int(u & 0xFF), int(u >> 8 & 0xFF), int(u >> 16 & 0xFF), int(u >> 24)}));
        const THistoryEntry e = Reload(image);
        EXPECT_TRUE(e.Registered) << stored;
        EXPECT_EQ(e.SaveToBytes().mid(50, 4), Bytes({1, 0, 0, 0}));
    }
}

TEST(RecordFields, MonikerTextEndsAtTheFirstZeroByte)
{
    EXPECT_EQ(MonikerText({'A', 'B', 'C', 'D'}), "ABCD");
    EXPECT_EQ(MonikerText({'A', 'B', 0, 0}), "AB");
    EXPECT_EQ(MonikerText({0, 0, 0, 0}), "");
    EXPECT_EQ(MonikerText({'A', 0, 'C', 'D'}), "A");
}

TEST(RecordRoundTrip, EverySampleRecordIsReproducedByteForByte)
{
    for (const TSampleCreature& c : SampleCreatures()) {
        const QByteArray image = c.Entry.SaveToBytes();
        const THistoryEntry e = Reload(image);
        EXPECT_EQ(e.SaveToBytes(), image) << c.HistoryFile.constData();
    }
}

TEST(RecordRoundTrip, UnusedFieldsBlocksAndTrailingBytesSurvive)
{
    THistoryEntry e = SampleCreatures().front().Entry;
    for (size_t i = 0; i < e.Block256.size(); ++i)
        e.Block256[i] = static_cast<char>(255 - i);
    e.Block36.fill('\xEE');
    e.ExtraString1 = QByteArray("\0\x01\xFF zero inside", 15);
    e.ExtraInteger1 = std::numeric_limits<std::int32_t>::min();
    e.ExtraInteger3 = -1;
    e.Trailer = "appended by a newer game";
    const QByteArray image = e.SaveToBytes();
    EXPECT_TRUE(image.endsWith("appended by a newer game"));
    EXPECT_EQ(Reload(image), e);
    EXPECT_EQ(Reload(image).SaveToBytes(), image);
}

namespace {

// A record's 25 fields in file order, each as the bytes it holds, and
// whether it is a text (a cut text is shorter; a cut number or block is
// filled with zeros).
struct TFieldBytes {
    QByteArray Bytes;
    bool Text;
};

std::vector<TFieldBytes> Fields(const THistoryEntry& e)
{
    auto number = [](std::int32_t v) {
        QByteArray b;
        AppendLittleEndian(b, v);
        return TFieldBytes{b, false};
    };
    auto raw = [](const auto& a) { return TFieldBytes{QByteArray(a.data(), qsizetype(a.size())), false}; };
    auto text = [](const QByteArray& t) { return TFieldBytes{t, true}; };
    return {raw(e.Moniker),         text(e.DisplayName),     raw(e.Parent1Moniker),  text(e.Parent1Name),
            raw(e.Parent2Moniker),  text(e.Parent2Name),     text(e.ExtraString1),   text(e.ExtraString2),
            text(e.OwnerName),      text(e.OwnerURL),        text(e.OwnerNotes),     text(e.OwnerEMail),
            number(e.State),        number(e.Gender),        number(e.ExtraInteger1), text(e.Epitaph),
            number(e.GravestoneIndex), number(e.DeathTime),  number(e.BirthTime),    number(e.ExtraInteger2),
            number(e.Registered),   number(e.Species),       number(e.ExtraInteger3), raw(e.Block256),
            raw(e.Block36)};
}

}  // namespace

// Cut anywhere, a record reads as far as its bytes go: every field before
// the cut as it stands, the field the cut falls in with what was there (a
// text cut short, a number or block filled up with zeros), every later
// field zero or empty; never a trailer.
TEST(RecordDamage, AFileThatEndsEarlyLoadsWithZerosAndCutTexts)
{
    THistoryEntry full = SampleCreatures().front().Entry;
    full.Epitaph = "An epitaph to be cut";
    full.GravestoneIndex = 0x01020304;
    full.Block256.fill('\x02');
    full.Block36.fill('\x01');
    const QByteArray image = full.SaveToBytes();
    const std::vector<TFieldBytes> want = Fields(full);
    size_t wholeBefore = 0;
    for (qsizetype n = 0; n <= image.size(); ++n) {
        const THistoryEntry cut = Reload(image.left(n));
        EXPECT_TRUE(cut.Trailer.isEmpty()) << n;
        const std::vector<TFieldBytes> got = Fields(cut);
        size_t whole = 0;
        while (whole < got.size() && got[whole].Bytes == want[whole].Bytes)
            ++whole;
        EXPECT_GE(whole, wholeBefore) << "a longer file lost a field at " << n;
        wholeBefore = whole;
        if (whole == got.size())
            continue;
        const QByteArray& g = got[whole].Bytes;
        const QByteArray& w = want[whole].Bytes;
        if (want[whole].Text) {
            EXPECT_TRUE(w.startsWith(g)) << "field " << whole << " at " << n;
        } else {
            bool zeroFilled = false;
            for (qsizetype j = 0; j <= w.size() && !zeroFilled; ++j)
                zeroFilled = g == w.left(j) + QByteArray(w.size() - j, '\0');
            EXPECT_TRUE(zeroFilled) << "field " << whole << " at " << n;
        }
        for (size_t later = whole + 1; later < got.size(); ++later)
            EXPECT_EQ(got[later].Bytes.count('\0'), got[later].Bytes.size()) << "field " << later << " at " << n;
    }
    EXPECT_EQ(wholeBefore, want.size());
    const THistoryEntry cut = Reload(image.left(6));  // moniker, length byte, one character
    EXPECT_EQ(MonikerText(cut.Moniker), "TOVA");
    EXPECT_EQ(cut.DisplayName, "T");
    EXPECT_EQ(Reload(QByteArray()), THistoryEntry());
}

class RecordFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray Path(const char* name) const { return EncodePath(dir.filePath(QString::fromUtf8(name))); }

    QByteArray WriteSample(const char* name)
    {
        THistoryEntry e = SampleCreatures().front().Entry;
        e.FileName = Path(name);
        e.SaveToFile();
        return e.FileName;
    }

    QStringList Listing() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }
};

TEST_F(RecordFiles, SaveAndLoadGoThroughTheFileName)
{
    const QByteArray path = WriteSample("cr_TOVA");
    THistoryEntry e;
    e.LoadFromFile(path);
    EXPECT_EQ(e.FileName, path);
    THistoryEntry expected = SampleCreatures().front().Entry;
    expected.FileName = path;
    EXPECT_EQ(e, expected);
    EXPECT_EQ(ReadAll(path), expected.SaveToBytes());
}

TEST_F(RecordFiles, PathsThatAreNoReadableFileRaiseTheOpenErrorNamingThePath)
{
    QDir(dir.path()).mkdir(QStringLiteral("cr_DIR"));
    for (const char* name : {"cr_missing", "cr_DIR", "no/such/cr_X"}) {
        THistoryEntry e;
        e.DisplayName = "kept";
        try {
            e.LoadFromFile(Path(name));
            ADD_FAILURE() << "no error for " << name;
        } catch (const EFOpenError& err) {
            EXPECT_TRUE(err.Message.contains(PathText(Path(name)))) << err.Message.toStdString();
        }
        EXPECT_EQ(e.FileName, Path(name));
        EXPECT_EQ(e.DisplayName, "kept");
    }
}

TEST_F(RecordFiles, FailedSavesLeaveTheOldFileByteForByteAndNoLitter)
{
    const QByteArray path = WriteSample("cr_TOVA");
    const QByteArray before = ReadAll(path);
    THistoryEntry e;
    e.LoadFromFile(path);
    e.DisplayName = "Changed";

    // Read-only files are not replaced, even for root.
    QFile::setPermissions(PathText(path), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_THROW(e.SaveToFile(), EFCreateError);
    EXPECT_EQ(ReadAll(path), before);
    QFile::setPermissions(PathText(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // A directory where the file should be, and a missing parent directory.
    QDir(dir.path()).mkdir(QStringLiteral("cr_DIR"));
    for (const QByteArray& target : {Path("cr_DIR"), Path("gone/cr_TOVA")}) {
        e.FileName = target;
        try {
            e.SaveToFile();
            ADD_FAILURE() << "saved to " << target.constData();
        } catch (const EFCreateError& err) {
            EXPECT_TRUE(err.Message.contains(PathText(target))) << err.Message.toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo(PathText(Path("cr_DIR"))).isDir());
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(Listing(), (QStringList{QStringLiteral("cr_DIR"), QStringLiteral("cr_TOVA")}));

    // And the same record saves fine where it may.
    e.FileName = path;
    e.SaveToFile();
    THistoryEntry back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.DisplayName, "Changed");
}

TEST(CreatureFiles, UnsafeMonikersNeverNameAFile)
{
    EXPECT_EQ(MonikerFileText({'A', 'B', 'C', 'D'}), "ABCD");
    EXPECT_EQ(MonikerFileText({'\xE9', 't', 0, 0}), QString::fromUtf16(u"\u00e9t"));
    for (TMoniker bad : {TMoniker{'.', 0, 0, 0}, TMoniker{'.', '.', 0, 0}, TMoniker{'a', '/', 'b', 0},
                         TMoniker{'.', '.', '/', 'x'}, TMoniker{'\\', 'x', 0, 0}})
        EXPECT_FALSE(MonikerFileText(bad));
}

TEST(CreatureFiles, PathsAreTheDirectoryWithTheNameAppended)
{
    const TMoniker m = {'A', 'B', 0, 0};
    EXPECT_EQ(AlbumPath("/h/", m), "/h/photo_AB.s16");
    EXPECT_EQ(GeneticsPath("/g/", m), "/g/AB.gen");
    EXPECT_EQ(AlbumPath("/h/", {'.', '.', 0, 0}), "");
    EXPECT_EQ(GeneticsPath("/g/", {'a', '/', 'b', 0}), "");
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
        THistoryEntry e;
        std::copy_n(moniker, 4, e.Moniker.begin());
        e.FileName = EncodePath(history) + kHistoryFilePrefix + moniker;
        e.SaveToFile();
    };
    for (const char* m : {"LINK", "DANG", "FOLD", "CASE", "BOTH"})
        record(m);
    WriteWholeFile(dir.filePath("elsewhere.s16"), "x");
    QFile::link(dir.filePath("elsewhere.s16"), history + "photo_LINK.s16");  // a link to a file: exists
    QFile::link(dir.filePath("gone.s16"), history + "photo_DANG.s16");       // a dangling link: does not
    QDir().mkpath(history + "photo_FOLD.s16");                               // a folder: does not
    WriteWholeFile(history + "photo_case.s16", "x");                         // other letter case: does not
    WriteWholeFile(history + "photo_BOTH.s16", "x");
    WriteWholeFile(genes + "BOTH.gen", "x");
    WriteWholeFile(history + "CASE.gen", "x");  // in the wrong folder
    // A save killed two minutes ago left its hidden file: the fill removes it.
    WriteWholeFile(history + ".lifeledger-Kil1ed", "x");
    const struct timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    ::utimensat(AT_FDCWD, EncodePath(history + ".lifeledger-Kil1ed").constData(), old, 0);

    const THistoryScan scan = ScanHistory(EncodePath(history), EncodePath(genes));
    EXPECT_FALSE(QFileInfo::exists(history + ".lifeledger-Kil1ed"));
    EXPECT_TRUE(scan.Failures.isEmpty());
    std::map<QByteArray, int> images;
    for (const TScannedRecord& r : scan.Records)
        images[QByteArray(r.Name)] = r.ImageIndex;
    EXPECT_EQ(images, (std::map<QByteArray, int>{
                          {"cr_BOTH", ifAlbum | ifGenetics}, {"cr_CASE", 0}, {"cr_DANG", 0}, {"cr_FOLD", 0}, {"cr_LINK", ifAlbum}}));
}

namespace {

TRecordKey Key(const char* moniker, const char* parent1 = "", const char* parent2 = "")
{
    TRecordKey key;
    std::copy_n(moniker, std::min<size_t>(4, std::strlen(moniker)), key.Moniker.begin());
    std::copy_n(parent1, std::min<size_t>(4, std::strlen(parent1)), key.Parent1Moniker.begin());
    std::copy_n(parent2, std::min<size_t>(4, std::strlen(parent2)), key.Parent2Moniker.begin());
    return key;
}

// The tree as "MONIKER@generation<parent,parent>" in the order it was found.
QStringList Describe(const TLineageTree& tree)
{
    QStringList people;
    for (const TLineagePerson& p : tree.People) {
        QStringList parents;
        for (int parent : p.Parents)
            parents << MonikerDisplayText(tree.People[size_t(parent)].Moniker);
        people << QStringLiteral("%1%2@%3<%4>")
                      .arg(p.Row < 0 ? QStringLiteral("~") : QString(), MonikerDisplayText(p.Moniker))
                      .arg(p.Generation)
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
    const std::vector<TRecordKey> keys = {
        Key("KID", "MUM", "DAD"),   // 0
        Key("MUM", "GMA", "GPA"),   // 1
        Key("DAD", "OUT"),          // 2: a parent exported from the world
        Key("GMA"), Key("GPA"),     // 3, 4
        Key("SON", "KID"),          // 5
        Key("DOT", "KID", "SON"),   // 6: a child of KID and of its own brother SON
        Key("GSN", "SON"),          // 7
        Key("P", "Q"), Key("Q", "P"),  // 8, 9: a circle
        Key("TWIN"), Key("TWIN"),   // 10, 11: one moniker, two records
        Key("HEIR", "TWIN"),        // 12
        Key("SELF", "SELF"),        // 13
    };
    const TLineageIndex index(keys);
    EXPECT_EQ(index.RowsOf(Key("TWIN").Moniker).size(), 2u);
    EXPECT_EQ(std::vector<int>(index.ChildrenOf(Key("KID").Moniker).begin(), index.ChildrenOf(Key("KID").Moniker).end()),
              (std::vector<int>{5, 6}));
    auto names = [](int row, int which) { return QStringLiteral("name of parent %1 of row %2").arg(which).arg(row); };

    const TLineageTree kid = BuildLineageTree(index, 0, names);
    EXPECT_EQ(Describe(kid), (QStringList{"KID@0<MUM,DAD>", "MUM@-1<GMA,GPA>", "DAD@-1<OUT>", "GMA@-2<>", "GPA@-2<>",
                                          "~OUT@-2<>", "SON@1<KID>", "DOT@1<KID,SON>", "GSN@2<SON>"}));
    EXPECT_EQ(kid.People[5].Name, "name of parent 1 of row 2");

    EXPECT_EQ(Describe(BuildLineageTree(index, 8, names)), (QStringList{"P@0<Q>", "Q@-1<P>"}));
    const TLineageTree heir = BuildLineageTree(index, 12, names);
    EXPECT_EQ(Describe(heir), (QStringList{"HEIR@0<TWIN,TWIN>", "TWIN@-1<>", "TWIN@-1<>"}));
    EXPECT_TRUE(heir.People[1].SharedMoniker && heir.People[2].SharedMoniker);
    EXPECT_EQ(Describe(BuildLineageTree(index, 13, names)), QStringList{"SELF@0<>"});
}

// A line of 100,000 generations is walked in linear time (a quadratic walk
// would take minutes).
TEST(Lineage, ALongLineIsWalkedInLinearTime)
{
    // Monikers of four bytes none of which is zero (a zero ends a moniker).
    auto moniker = [](int i) {
        TMoniker m;
        for (int b = 0; b < 4; ++b, i /= 250)
            m[size_t(b)] = static_cast<char>(1 + i % 250);
        return m;
    };
    std::vector<TRecordKey> keys;
    for (int i = 0; i < 100000; ++i) {
        TRecordKey key;
        key.Moniker = moniker(i);
        if (i > 0)
            key.Parent1Moniker = moniker(i - 1);
        keys.push_back(key);
    }
    const TLineageIndex index(keys);
    const TLineageTree fromTop = BuildLineageTree(index, 0, [](int, int) { return QString(); });
    EXPECT_EQ(fromTop.People.size(), 100000u);
    EXPECT_EQ(fromTop.People.back().Generation, 99999);
    const TLineageTree fromBottom = BuildLineageTree(index, 99999, [](int, int) { return QString(); });
    EXPECT_EQ(fromBottom.People.back().Generation, -99999);
}
