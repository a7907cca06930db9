// A save stopped at any point, by an error or by the death of the process,
// leaves the complete old record or the complete new one and nothing else.
#include "AtomicWrite.h"
#include "SampleWorld.h"
#include "common/Exception.h"
#include "unitHistoryClass.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

struct TFaultPoint {
    TWriteStep step;
    int chunk;
};

class AtomicSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        old_ = SampleCreatures().front().Entry;
        old_.FileName = dir.filePath("cr_TOVA");
        old_.SaveToFile();
        oldBytes_ = ReadAll(old_.FileName);
        // Large enough to be written in several chunks.
        edited_ = old_;
        edited_.Epitaph = QByteArray(65535, 'e');
        edited_.OwnerNotes = QByteArray(65535, 'n');
        edited_.ExtraString1 = QByteArray(65535, 'x');
        newBytes_ = edited_.SaveToBytes();
        ASSERT_GT(newBytes_.size(), 3 * kWriteChunk);
    }
    void TearDown() override { SetWriteFaultForTesting({}); }

    std::vector<TFaultPoint> Points() const
    {
        std::vector<TFaultPoint> points{{TWriteStep::Create, 0}};
        for (int c = 0; c * kWriteChunk < newBytes_.size(); ++c)
            points.push_back({TWriteStep::Write, c});
        points.push_back({TWriteStep::Flush, 0});
        points.push_back({TWriteStep::Rename, 0});
        return points;
    }

    QStringList Listing() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

    QTemporaryDir dir;
    THistoryEntry old_, edited_;
    QByteArray oldBytes_, newBytes_;
};

}  // namespace

TEST_F(AtomicSave, AFailureAtEveryStepLeavesTheOldFileAndNoLitter)
{
    for (const TFaultPoint& point : Points()) {
        SetWriteFaultForTesting([point](TWriteStep step, int chunk) { return !(step == point.step && chunk == point.chunk); });
        EXPECT_THROW(edited_.SaveToFile(), EFCreateError) << int(point.step) << "/" << point.chunk;
        EXPECT_EQ(ReadAll(old_.FileName), oldBytes_) << int(point.step) << "/" << point.chunk;
        EXPECT_EQ(Listing(), QStringList{"cr_TOVA"}) << int(point.step) << "/" << point.chunk;
    }
    SetWriteFaultForTesting({});
    edited_.SaveToFile();
    EXPECT_EQ(ReadAll(old_.FileName), newBytes_);
    EXPECT_EQ(Listing(), QStringList{"cr_TOVA"});
}

TEST_F(AtomicSave, AProcessKilledAtEveryStepLeavesOldOrNewWhole)
{
    std::vector<TFaultPoint> points = Points();
    points.push_back({TWriteStep::Done, 0});
    for (const TFaultPoint& point : points) {
        WriteWholeFile(old_.FileName, oldBytes_);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SetWriteFaultForTesting([point](TWriteStep step, int chunk) {
                if (step == point.step && chunk == point.chunk)
                    _exit(9);  // dies on the spot: no clean-up runs
                return true;
            });
            try {
                edited_.SaveToFile();
            } catch (...) {
            }
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << int(point.step) << "/" << point.chunk;
        const QByteArray now = ReadAll(old_.FileName);
        if (point.step == TWriteStep::Done)
            EXPECT_EQ(now, newBytes_);
        else
            EXPECT_EQ(now, oldBytes_) << int(point.step) << "/" << point.chunk;
        // What a dead process leaves behind is hidden and never taken for a record.
        for (const QString& name : Listing())
            EXPECT_TRUE(name == "cr_TOVA" || name.startsWith(".lifeledger-cr_TOVA-")) << name.toStdString();
        for (const QString& name : Listing())
            if (name != "cr_TOVA")
                QFile::remove(dir.filePath(name));
    }
}

TEST_F(AtomicSave, PermissionsAndLinksSurviveASave)
{
    QFile::setPermissions(old_.FileName, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    QFile::link(old_.FileName, dir.filePath("cr_LINK"));
    edited_.FileName = dir.filePath("cr_LINK");
    edited_.SaveToFile();
    EXPECT_TRUE(QFileInfo(dir.filePath("cr_LINK")).isSymLink());
    EXPECT_EQ(ReadAll(old_.FileName), newBytes_);
    EXPECT_EQ(QFileInfo(old_.FileName).permissions() & 0x7777,
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser
                  | QFileDevice::ReadOther);
}
