// A world's statistics over known figures, and the store of copies that
// undo and "Restore Deleted..." rely on.
#include "history/BackupStore.h"
#include "history/Lineage.h"
#include "history/WorldStatistics.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int32_t kDay = 86400;
constexpr std::int32_t kT0 = 1'200'000'000;  // 10 Jan 2008

Moniker moniker(const char* text)
{
    Moniker m{};
    for (size_t i = 0; i < 4 && text[i]; ++i)
        m[i] = text[i];
    return m;
}

struct Creature {
    const char* moniker;
    std::int32_t state, birth, death;
    std::int32_t species = 1, gender = 1;
    const char* parent1 = "";
    const char* parent2 = "";
};

struct World {
    std::vector<RecordFigures> figures;
    std::unique_ptr<LineageIndex> lineage;

    explicit World(std::initializer_list<Creature> creatures)
    {
        std::vector<RecordKey> keys;
        for (const Creature& c : creatures) {
            const RecordKey key{moniker(c.moniker), moniker(c.parent1), moniker(c.parent2), c.state};
            keys.push_back(key);
            figures.push_back({key, c.gender, c.death, c.birth, c.species});
        }
        lineage = std::make_unique<LineageIndex>(keys);
    }
    WorldStatistics statistics(const std::vector<int>* counted = nullptr) const
    {
        return computeWorldStatistics(figures, *lineage, counted);
    }
};

}  // namespace

TEST(WorldStatistics, CountsEveryStateAndLifeAsTheListShowsThem)
{
    const World world{
        {"ALIV", 0, kT0, 0, 1, 1},
        {"DEA1", 1, kT0, kT0 + 10 * kDay, 2, 2},
        {"DEA2", 1, kT0 + kDay, kT0 + 3 * kDay, 2, 1},
        {"EXPO", 2, kT0, 0, 3, 2},
        {"STA3", 3, kT0, 0, 5, 0},
        {"NEGS", -1, kT0, 0, 0, -3},
        {"BACK", 1, kT0 + 5 * kDay, kT0, 4, 2},  // died before it was born
        {"FRST", 0, INT_MIN, 0, -2, 1},            // both ends of the stamps
        {"LAST", 1, kT0, INT_MAX, 1, 2},
    };
    const WorldStatistics s = world.statistics();
    EXPECT_EQ(s.creatures, 9);
    EXPECT_EQ(s.alive, 2);
    EXPECT_EQ(s.dead, 4);
    EXPECT_EQ(s.exported, 1);
    EXPECT_EQ(s.otherStates, 2);
    EXPECT_EQ(s.impossibleSpans, 1);
    // Spans of 10, 2 and (INT_MAX - kT0) / kDay days.
    const double longest = double(std::int64_t(INT_MAX) - kT0) / kDay;
    ASSERT_TRUE(s.meanLifeDays && s.medianLifeDays);
    EXPECT_DOUBLE_EQ(*s.meanLifeDays, (10 + 2 + longest) / 3);
    EXPECT_DOUBLE_EQ(*s.medianLifeDays, 10);
    EXPECT_EQ(s.earliestStamp, INT_MIN);
    EXPECT_EQ(s.newestStamp, INT_MAX);

    // 1901 to 2038: decades, the only period that fits in a hundred bars.
    EXPECT_EQ(s.period, StatisticsPeriod::Decade);
    ASSERT_EQ(s.periods.size(), 14u);
    EXPECT_EQ(s.periods.front().start, periodStart(StatisticsPeriod::Decade, INT_MIN));
    int births = 0, deaths = 0;
    for (const PeriodFigures& p : s.periods)
        births += p.births, deaths += p.deaths;
    EXPECT_EQ(births, 9);
    EXPECT_EQ(deaths, 4);
    EXPECT_EQ(s.periods.front().aliveAtEnd, 1);  // FRST, alone in the 1900s
    // At the newest stamp the dead are gone, the still living stay: ALIV,
    // EXPO, STA3, NEGS, FRST (LAST dies in that very period).
    EXPECT_EQ(s.periods.back().aliveAtEnd, 5);
    EXPECT_EQ(s.periods[10].aliveAtEnd, 6);  // 2000s: LAST still lives

    EXPECT_EQ(s.species, (std::vector<CodeCount>{{-2, 1}, {0, 1}, {1, 2}, {2, 2}, {3, 1}, {4, 1}, {5, 1}}));
    EXPECT_EQ(s.genders, (std::vector<CodeCount>{{-3, 1}, {0, 1}, {1, 3}, {2, 4}}));
    // Bins of a width of 1, 2 or 5 times a power of ten, at most 25 of them.
    EXPECT_EQ(s.spanBinDays, 500);
    EXPECT_EQ(s.spanBins.front(), 2);
    EXPECT_EQ(s.spanBins.back(), 1);
}

TEST(WorldStatistics, PeriodsAreTheShortestThatGiveAtMostAHundredBars)
{
    struct Case {
        std::int32_t span;
        StatisticsPeriod period;
        size_t bars;
    };
    // From 10 Jan 2008 (a Thursday), 21:20 UTC; counted independently.
    for (const Case& c : {Case{50 * 3600, StatisticsPeriod::Hour, 51}, Case{30 * kDay, StatisticsPeriod::Day, 31},
                          Case{300 * kDay, StatisticsPeriod::Week, 44}, Case{3000 * kDay, StatisticsPeriod::Month, 99},
                          Case{4000 * kDay, StatisticsPeriod::Quarter, 44}, Case{10000 * kDay, StatisticsPeriod::Year, 28}}) {
        const World world{{"OLDE", 1, kT0, kT0 + c.span}};
        const WorldStatistics s = world.statistics();
        EXPECT_EQ(s.period, c.period) << c.span;
        EXPECT_EQ(s.periods.size(), c.bars) << c.span;
        EXPECT_EQ(s.periods.front().births, 1);
        EXPECT_EQ(s.periods.back().deaths, 1);
    }
    // Calendar periods before 1970 begin where the calendar says.
    EXPECT_EQ(periodStart(StatisticsPeriod::Month, -1), -31 * kDay);  // 1 Dec 1969
    EXPECT_EQ(periodStart(StatisticsPeriod::Week, 0), -3 * kDay);     // Monday 29 Dec 1969
    EXPECT_EQ(nextPeriodStart(StatisticsPeriod::Quarter, -92 * kDay), 0);
    EXPECT_EQ(periodStart(StatisticsPeriod::Decade, 0), 0);
}

TEST(WorldStatistics, GenerationsFollowTheLineageAndEndWhereLinesRunInACircle)
{
    const World world{
        {"GRAN", 1, kT0, kT0 + kDay},
        {"MUMM", 1, kT0, kT0 + kDay, 1, 2, "GRAN", "STRA"},  // STRA is not in the history
        {"KIDD", 0, kT0, 0, 1, 1, "MUMM", "LONE"},
        {"LONE", 0, kT0, 0},
        {"CIRA", 0, kT0, 0, 1, 1, "CIRB"},  // a circle of two
        {"CIRB", 0, kT0, 0, 1, 1, "CIRA"},
    };
    const WorldStatistics all = world.statistics();
    // KIDD is of generation 3 through MUMM, not 2 through LONE; the circle
    // is cut where the walk closed it (CIRB first, CIRA its child).
    EXPECT_EQ(all.generationSizes, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(all.longestLine, (std::vector<int>{0, 1, 2}));

    // The creatures found: counted alone, their generations from the whole history.
    const std::vector<int> found = {1, 2};
    const WorldStatistics some = world.statistics(&found);
    EXPECT_EQ(some.creatures, 2);
    EXPECT_EQ(some.generationSizes, (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(some.longestLine, (std::vector<int>{0, 1, 2}));
    const std::vector<int> none;
    EXPECT_EQ(world.statistics(&none).creatures, 0);
    EXPECT_TRUE(world.statistics(&none).periods.empty());
}

namespace {

class Store : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath("game/History"));
        QDir().mkpath(dir.filePath("game/Genetics"));
        history = encodePath(dir.filePath("game/History/"));
        genetics = encodePath(dir.filePath("game/Genetics/"));
    }
    // Byte paths throughout: names need not be text.
    QByteArray write(const QByteArray& path, const QByteArray& bytes, mode_t mode = 0644)
    {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_GE(fd, 0) << path.constData();
        EXPECT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::fchmod(fd, mode);
        ::close(fd);
        return path;
    }
    static QByteArray read(const QByteArray& path)
    {
        try {
            return readRegularFile(path, 1 << 20);
        } catch (const FileOpenError&) {
            return "<missing>";
        }
    }
    BackupStore store(BackupLimits limits = {}) const
    {
        return BackupStore(encodePath(dir.filePath("data")), history, genetics, limits);
    }
    // A deletion of these files, kept, then the files removed as a deletion does.
    BackupEntry deleted(BackupStore& s, const std::vector<std::pair<CreatureFile, QByteArray>>& files, qint64 nowMs)
    {
        std::vector<FileToKeep> keep;
        for (const auto& [file, path] : files) {
            keep.push_back(readFileToKeep(file, path));
            keep.back().kept.removed = true;
        }
        BackupEntry e = s.keep(BackupKind::Deletion, "Tavi", "TOVA", keep, nowMs);
        for (const auto& f : files)
            ::unlink(f.second.constData());
        return e;
    }
    QTemporaryDir dir;
    QByteArray history, genetics;
    const qint64 now = 1'800'000'000'000;
};

}  // namespace

TEST_F(Store, DeletedFilesComeBackByteForByteWithTheirModeAndOddNames)
{
    // A name that is no UTF-8 (a record unpacked from a Windows archive).
    const QByteArray record = write(history + "cr_T\xe9VA", QByteArray("record\0bytes", 12), 0640);
    const QByteArray genes = write(genetics + "T\xe9VA.gen", QByteArray(70000, 'g'), 0600);
    BackupStore s = store();
    const BackupEntry kept = deleted(s, {{CreatureFile::Genetics, genes}, {CreatureFile::History, record}}, now);

    // Read back from its manifest, as a later session does.
    const std::vector<BackupEntry> entries = store().entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].id, kept.id);
    EXPECT_EQ(entries[0].name, "Tavi");
    EXPECT_EQ(entries[0].whenMs, now);
    ASSERT_TRUE(entries[0].find(CreatureFile::History));
    EXPECT_EQ(entries[0].find(CreatureFile::History)->path, record);
    EXPECT_EQ(entries[0].find(CreatureFile::History)->identity, kept.find(CreatureFile::History)->identity);

    const std::vector<KeptFile> back = restoreRemovedFiles(s, entries[0], {history, genetics});
    EXPECT_EQ(read(record), QByteArray("record\0bytes", 12));
    EXPECT_EQ(read(genes), QByteArray(70000, 'g'));
    struct stat st;
    ASSERT_EQ(::stat(record.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(::stat(genes.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    // What was written, for a redo to delete that very file again.
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].file, CreatureFile::Genetics);
    EXPECT_EQ(back[0].identity.inode, std::uint64_t(st.st_ino));
}

TEST_F(Store, ANameTakenAgainOrAFolderElsewhereStopsTheRestoreBeforeAnythingIsWritten)
{
    const QByteArray album = write(history + "photo_TOVA.s16", "album");
    const QByteArray record = write(history + "cr_TOVA", "record");
    BackupStore s = store();
    const BackupEntry kept = deleted(s, {{CreatureFile::Album, album}, {CreatureFile::History, record}}, now);

    write(record, "the game's new creature");
    EXPECT_THROW(restoreRemovedFiles(s, kept, {history, genetics}), FileExistsError);
    EXPECT_EQ(read(record), "the game's new creature");
    EXPECT_FALSE(QFile::exists(QString::fromLocal8Bit(album))) << "nothing is put back when one name is taken";

    QFile::remove(QString::fromLocal8Bit(record));
    EXPECT_THROW(restoreRemovedFiles(s, kept, {genetics}), FileCreateError) << "only into the installation's folders";
    EXPECT_FALSE(QFile::exists(QString::fromLocal8Bit(record)));
    restoreRemovedFiles(s, kept, {history, genetics});
    EXPECT_EQ(read(record), "record");
}

TEST_F(Store, ACopyThatCannotBeMadeLeavesNothingAndSaysWhere)
{
    const QByteArray record = write(history + "cr_TOVA", "record");
    // A file where the store's folder belongs.
    QDir().mkpath(dir.filePath("data"));
    write(encodePath(dir.filePath("data/lifeledger")), "in the way");
    BackupStore s = store();
    try {
        s.keep(BackupKind::Deletion, "Tavi", "TOVA", {readFileToKeep(CreatureFile::History, record)}, now);
        FAIL() << "kept";
    } catch (const FileCreateError& e) {
        EXPECT_TRUE(e.message.contains("lifeledger")) << e.message.toStdString();
    }
    EXPECT_TRUE(s.entries().empty());

    // A file that cannot be read cannot be kept either: the caller stops.
    EXPECT_THROW(readFileToKeep(CreatureFile::Album, history), FileOpenError);
    EXPECT_EQ(read(record), "record");
}

TEST_F(Store, TheStoreKeepsItsBoundsOldestFirstButNeverItsNewestEntry)
{
    const qint64 day = 24 * 3600 * 1000;
    BackupStore s = store({1000, 30});
    std::vector<QByteArray> ids;
    for (int i = 0; i < 4; ++i) {
        const QByteArray path = write(history + "cr_N" + QByteArray::number(i), QByteArray(400, char('a' + i)));
        ids.push_back(deleted(s, {{CreatureFile::History, path}}, now + i * 1000).id);
    }
    // 4 x 400 bytes in a store of 1000: the two oldest went.
    std::vector<QByteArray> left;
    for (const BackupEntry& e : s.entries())
        left.push_back(e.id);
    EXPECT_EQ(left, (std::vector<QByteArray>{ids[3], ids[2]}));

    // Larger than the whole store: kept all the same, alone.
    const QByteArray big = write(history + "photo_BIGG.s16", QByteArray(5000, 'b'));
    const QByteArray bigId = deleted(s, {{CreatureFile::Album, big}}, now + 10000).id;
    ASSERT_EQ(s.entries().size(), 1u);
    EXPECT_EQ(s.entries()[0].id, bigId);

    // Past the age limit, even the newest goes when another is newer.
    const QByteArray small = write(history + "cr_SMAL", "x");
    deleted(s, {{CreatureFile::History, small}}, now + 31 * day);
    ASSERT_EQ(s.entries().size(), 1u);
    EXPECT_EQ(s.entries()[0].name, "Tavi");

    // A copy cut short (no manifest, a session that died) is cleared by the
    // next session once it is surely abandoned; what the store did not make
    // is left alone.
    QDir().mkpath(QString::fromLocal8Bit(s.folder() + "20260101-000000-000-abcd"));
    QDir().mkpath(QString::fromLocal8Bit(s.folder() + "not-an-entry"));
    store({1000, 30}).prune(now + 32 * day);
    EXPECT_FALSE(QDir(QString::fromLocal8Bit(s.folder() + "20260101-000000-000-abcd")).exists());
    EXPECT_TRUE(QDir(QString::fromLocal8Bit(s.folder() + "not-an-entry")).exists());
    EXPECT_EQ(s.entries().size(), 1u);
}

TEST_F(Store, ARestoreThatStopsMidwayTakesBackWhatItPut)
{
    const QByteArray album = write(history + "photo_TOVA.s16", "album");
    const QByteArray record = write(history + "cr_TOVA", "record");
    BackupStore s = store();
    const BackupEntry kept = deleted(s, {{CreatureFile::Album, album}, {CreatureFile::History, record}}, now);
    // The record's copy is damaged: the album was put back first, and goes again.
    write(s.folder() + kept.id + "/history", "damaged");
    EXPECT_THROW(restoreRemovedFiles(s, kept, {history, genetics}), FileOpenError);
    EXPECT_EQ(read(album), "<missing>");
    EXPECT_EQ(read(record), "<missing>");
}
