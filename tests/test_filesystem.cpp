// The file system as Lifeledger uses it: whole reads with a cap, raw names,
// and replacements that never lose the old file, never write through a link,
// keep the owner, and never overwrite what another program wrote meanwhile.
#include "TestUtil.h"
#include "platform/FileSystem.h"
#include "sampleworld/SampleWorld.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Writes a file under a raw name (which need not be UTF-8).
void WriteRaw(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

struct TFaultPoint {
    TWriteStep step;
    int chunk;
};

class FileSystem : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path_ = At("cr_TOVA");
        oldBytes_ = SampleCreatures().front().Entry.SaveToBytes();
        WriteRaw(path_, oldBytes_);
        // Large enough to be written in several chunks.
        THistoryEntry edited = SampleCreatures().front().Entry;
        edited.Epitaph = QByteArray(65535, 'e');
        edited.OwnerNotes = QByteArray(65535, 'n');
        edited.ExtraString1 = QByteArray(65535, 'x');
        newBytes_ = edited.SaveToBytes();
        ASSERT_GT(newBytes_.size(), 3 * kWriteChunk);
    }

    QByteArray At(const QByteArray& name) const { return EncodePath(dir.path()) + "/" + name; }

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
    QByteArray path_, oldBytes_, newBytes_;
};

}  // namespace

TEST_F(FileSystem, AFailureAtEveryStepLeavesTheOldFileAndNoLitter)
{
    for (const TFaultPoint& point : Points()) {
        const TWriteFault fault = [point](TWriteStep step, int chunk) { return !(step == point.step && chunk == point.chunk); };
        EXPECT_THROW(ReplaceFile(path_, newBytes_, nullptr, nullptr, fault), EFCreateError)
            << int(point.step) << "/" << point.chunk;
        EXPECT_EQ(ReadAll(path_), oldBytes_) << int(point.step) << "/" << point.chunk;
        EXPECT_EQ(Listing(), QStringList{"cr_TOVA"}) << int(point.step) << "/" << point.chunk;
    }
    ReplaceFile(path_, newBytes_);
    EXPECT_EQ(ReadAll(path_), newBytes_);
    EXPECT_EQ(Listing(), QStringList{"cr_TOVA"});
}

TEST_F(FileSystem, AProcessKilledAtEveryStepLeavesOldOrNewWhole)
{
    std::vector<TFaultPoint> points = Points();
    points.push_back({TWriteStep::Check, 0});
    points.push_back({TWriteStep::Done, 0});
    for (const TFaultPoint& point : points) {
        WriteRaw(path_, oldBytes_);
        TFileIdentity loaded;
        ReadRegularFile(path_, 1 << 20, &loaded);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const TWriteFault dieThere = [point](TWriteStep step, int chunk) {
                if (step == point.step && chunk == point.chunk)
                    _exit(9);  // dies on the spot: no clean-up runs
                return true;
            };
            try {
                ReplaceFile(path_, newBytes_, &loaded, nullptr, dieThere);
            } catch (...) {
            }
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << int(point.step) << "/" << point.chunk;
        const bool placed = point.step == TWriteStep::Check || point.step == TWriteStep::Done;
        EXPECT_EQ(ReadAll(path_), placed ? newBytes_ : oldBytes_)
            << int(point.step) << "/" << point.chunk;
        // What a dead process leaves behind is hidden and never taken for a record.
        for (const QString& name : Listing()) {
            EXPECT_TRUE(name == "cr_TOVA" || name.startsWith(".lifeledger-")) << name.toStdString();
            if (name != "cr_TOVA")
                QFile::remove(dir.filePath(name));
        }
    }
}

// The game writes at any moment, also in the instant between the last
// check of the old record and the new file taking its place, and in the
// instant after, while the old one is judged. Whatever it did there
// (rewrote the old file in place with the same size in the same second,
// replaced the record, removed it), the record ends as the game left it:
// the save is refused when the game's change came first, and a change the
// game made to the saved record afterwards simply stands.
TEST_F(FileSystem, TheGamesWriteInTheLastInstantIsNeverLost)
{
    const QByteArray gameBytes = QByteArray(oldBytes_).replace("Tavi", "Tovi");
    const auto rewriteOldInPlace = [&] {
        // The old file has the hidden name by now; the game still has it open.
        for (const QString& name : Listing())
            if (name.startsWith(".lifeledger-")) {
                const QByteArray old = At(EncodePath(name));
                struct stat before;
                ::stat(old.constData(), &before);
                WriteRaw(old, gameBytes);
                const struct timespec times[2] = {before.st_atim, before.st_mtim};
                ::utimensat(AT_FDCWD, old.constData(), times, 0);
            }
    };
    const auto replace = [&] {
        WriteRaw(At("g"), gameBytes);
        ::rename(At("g").constData(), path_.constData());
    };
    const auto remove = [&] { ::unlink(path_.constData()); };
    // A game that opened the record for writing just before the exchange
    // and writes after it: its write must land in the record, not in a file
    // about to be removed.
    int open = -1;
    const auto openForWriting = [&] { open = ::open(path_.constData(), O_WRONLY | O_CLOEXEC); };
    const auto writeThroughIt = [&] {
        ASSERT_EQ(::pwrite(open, gameBytes.constData(), size_t(gameBytes.size()), 0), gameBytes.size());
        ::close(open);
    };
    struct TRace {
        const char* what;
        TWriteStep when;
        std::function<void()> act;
        bool refused, removed;
        std::function<void()> after = {};
    };
    const std::vector<TRace> races = {
        {"opened for writing before, written after", TWriteStep::Rename, openForWriting, true, false, writeThroughIt},
        {"replaced just before", TWriteStep::Rename, replace, true, false},
        {"removed just before", TWriteStep::Rename, remove, true, true},
        {"old one rewritten in place, same size and time", TWriteStep::Check, rewriteOldInPlace, true, false},
        {"replaced just after", TWriteStep::Check, replace, false, false},
        {"removed just after", TWriteStep::Check, remove, false, true},
    };
    for (const TRace& race : races) {
        WriteRaw(path_, oldBytes_);
        TFileIdentity loaded;
        ReadRegularFile(path_, 1 << 20, &loaded);
        const TWriteFault game = [&](TWriteStep step, int) {
            if (step == race.when)
                race.act();
            return true;
        };
        if (race.refused)
            EXPECT_THROW(ReplaceFile(path_, newBytes_, &loaded, nullptr, game), EFileChanged) << race.what;
        else
            EXPECT_NO_THROW(ReplaceFile(path_, newBytes_, &loaded, nullptr, game)) << race.what;
        if (race.after)
            race.after();
        if (race.removed) {
            EXPECT_FALSE(EntryExists(path_)) << race.what << ": a removed record came back";
            EXPECT_EQ(Listing(), QStringList{}) << race.what;
        } else {
            EXPECT_EQ(ReadAll(path_), gameBytes) << race.what;
            EXPECT_EQ(Listing(), QStringList{"cr_TOVA"}) << race.what;
        }
    }
}

// A deletion with the identity read removes only that very file: one the
// game rewrote or replaced since stays as the game left it.
TEST_F(FileSystem, ADeletionRemovesOnlyTheFileThatWasRead)
{
    const QByteArray gameBytes = QByteArray(oldBytes_).replace("Tavi", "Tovi");
    TFileIdentity loaded;
    QString reason;
    auto read = [&] { ReadRegularFile(path_, 1 << 20, &loaded); };
    read();
    WriteRaw(path_, gameBytes);  // rewritten in place
    EXPECT_EQ(DeleteFile(path_, &reason, &loaded), TDeleteResult::Changed);
    EXPECT_EQ(ReadAll(path_), gameBytes);
    read();
    WriteRaw(At("g"), oldBytes_);
    ::rename(At("g").constData(), path_.constData());  // replaced
    EXPECT_EQ(DeleteFile(path_, &reason, &loaded), TDeleteResult::Changed);
    EXPECT_EQ(ReadAll(path_), oldBytes_);
    EXPECT_EQ(Listing(), QStringList{"cr_TOVA"});
    read();
    EXPECT_EQ(DeleteFile(path_, &reason, &loaded), TDeleteResult::Deleted);
    EXPECT_EQ(DeleteFile(path_, &reason, &loaded), TDeleteResult::Deleted) << "gone already";
    EXPECT_EQ(Listing(), QStringList{});
}

// Whatever stands in a written file's place that is no plain file is
// refused, with a message naming it: a link (to a file, to nothing, to a
// folder), a folder. A folder the writer makes is never a link either. Nothing
// outside the chosen folder is touched.
TEST_F(FileSystem, TheWriterNeverFollowsALink)
{
    QTemporaryDir elsewhere;
    const QByteArray outside = EncodePath(elsewhere.path()) + "/";
    WriteRaw(outside + "victim", "mine");
    ASSERT_EQ(::symlink((outside + "victim").constData(), At("index.html").constData()), 0);
    ASSERT_EQ(::symlink((outside + "made-by-link").constData(), At("dangling.png").constData()), 0);
    ASSERT_EQ(::symlink(outside.constData(), At("photos").constData()), 0);
    QDir(dir.path()).mkdir("folder.csv");
    const TWriteFolder folder(EncodePath(dir.path()));
    for (const char* name : {"index.html", "dangling.png", "folder.csv"}) {
        EXPECT_TRUE(folder.Holds(name)) << name;
        try {
            ReplaceFile(folder, name, "written");
            ADD_FAILURE() << "wrote " << name;
        } catch (const EFCreateError& e) {
            EXPECT_TRUE(e.Message.contains(PathText(At(name)))) << e.Message.toStdString();
        }
    }
    try {
        const TWriteFolder photos(folder, "photos");
        ADD_FAILURE() << "opened a link as a folder";
    } catch (const EFCreateError& e) {
        EXPECT_TRUE(e.Message.contains("symbolic link")) << e.Message.toStdString();
    }
    EXPECT_EQ(ReadAll(outside + "victim"), "mine");
    EXPECT_FALSE(EntryExists(outside + "made-by-link"));
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"victim"});

    // A folder it makes, and files in it, are written where they belong.
    const TWriteFolder made(folder, "made");
    ReplaceFile(made, "a.png", "png");
    TFileWriter streamed(made, "b.html");
    streamed.Write("<p>");
    streamed.Write("</p>");
    streamed.Commit();
    EXPECT_EQ(ReadAll(At("made/a.png")), "png");
    EXPECT_EQ(ReadAll(At("made/b.html")), "<p></p>");
    EXPECT_EQ(QDir(dir.filePath("made")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"a.png", "b.html"}));
}

// A save killed midway leaves its hidden file; the next fill removes it once
// it is a minute old, but never a write in progress, a link or a folder.
TEST_F(FileSystem, StaleHiddenFilesOfKilledWritesAreRemoved)
{
    const struct timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    WriteRaw(At(".lifeledger-Ab12Cd"), "stale");
    ASSERT_EQ(::utimensat(AT_FDCWD, At(".lifeledger-Ab12Cd").constData(), old, 0), 0);
    WriteRaw(At(".lifeledger-Xy34Zw"), "being written");
    WriteRaw(At(".lifeledger-longer-name"), "someone else's");
    ASSERT_EQ(::utimensat(AT_FDCWD, At(".lifeledger-longer-name").constData(), old, 0), 0);
    ASSERT_EQ(::symlink(path_.constData(), At(".lifeledger-Link00").constData()), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, At(".lifeledger-Link00").constData(), old, AT_SYMLINK_NOFOLLOW), 0);
    const TDirectory directory(EncodePath(dir.path()) + "/");
    int removed = 0;
    directory.List([&](QByteArrayView name, bool) { removed += directory.RemoveStaleTemporaryFile(name); });
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(Listing(), (QStringList{".lifeledger-Link00", ".lifeledger-longer-name", ".lifeledger-Xy34Zw", "cr_TOVA"}));
    EXPECT_EQ(ReadAll(path_), oldBytes_);
}

// A record that is a link, from the start or swapped in after it was read,
// is refused; the file the link points to, outside the game's folders, is
// never touched.
TEST_F(FileSystem, ALinkIsNeverWrittenThrough)
{
    QTemporaryDir elsewhere;
    const QByteArray precious = EncodePath(elsewhere.filePath("precious document"));
    WriteRaw(precious, "mine, not the game's");
    ASSERT_EQ(::symlink(precious.constData(), At("cr_LINK").constData()), 0);
    try {
        ReplaceFile(At("cr_LINK"), newBytes_);
        ADD_FAILURE() << "wrote through a link";
    } catch (const EFCreateError& e) {
        EXPECT_TRUE(e.Message.contains("symbolic link")) << e.Message.toStdString();
    }

    TFileIdentity loaded;
    ReadRegularFile(path_, 1 << 20, &loaded);
    ASSERT_EQ(::unlink(path_.constData()), 0);
    ASSERT_EQ(::symlink(precious.constData(), path_.constData()), 0);
    EXPECT_THROW(ReplaceFile(path_, newBytes_, &loaded), EFCreateError);
    EXPECT_EQ(ReadAll(precious), "mine, not the game's");
    EXPECT_EQ(QFileInfo(PathText(path_)).symLinkTarget(), PathText(precious));
}

TEST_F(FileSystem, AReplacementKeepsOwnerGroupAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    ASSERT_EQ(::chown(path_.constData(), 1000, 1000), 0);
    ASSERT_EQ(::chmod(path_.constData(), 0640), 0);
    ReplaceFile(path_, newBytes_);
    struct stat st;
    ASSERT_EQ(::stat(path_.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 1000u);
    EXPECT_EQ(st.st_gid, 1000u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadAll(path_), newBytes_);
}

TEST_F(FileSystem, NamesAsLongAsNamesCanBeAreReplaced)
{
    for (int length : {237, 250, 255}) {
        const QByteArray name = "cr_" + QByteArray(length - 3, 'x');
        WriteRaw(At(name), oldBytes_);
        ReplaceFile(At(name), newBytes_);
        EXPECT_EQ(ReadAll(At(name)), newBytes_) << length;
    }
}

// The game may write a record after Lifeledger read it: a save over such a
// file is refused and the game's bytes stay.
TEST_F(FileSystem, AFileChangedSinceItWasReadIsNeverOverwritten)
{
    TFileIdentity loaded;
    ASSERT_EQ(ReadRegularFile(path_, 1 << 20, &loaded), oldBytes_);
    const QByteArray gameBytes = QByteArray(oldBytes_).replace("Tavi", "Tovi");
    ASSERT_EQ(gameBytes.size(), oldBytes_.size());
    struct stat before;
    ASSERT_EQ(::stat(path_.constData(), &before), 0);

    auto refused = [&](const char* what) {
        EXPECT_THROW(ReplaceFile(path_, newBytes_, &loaded), EFileChanged) << what;
        EXPECT_NE(ReadAll(path_), newBytes_) << what;
    };
    // Rewritten in place with the same size, its time put back: only the content tells.
    WriteRaw(path_, gameBytes);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path_.constData(), times, 0), 0);
    refused("same size and time, other content");
    EXPECT_EQ(ReadAll(path_), gameBytes);
    // Replaced by a new file, as the game's own saves do.
    WriteRaw(At("new"), oldBytes_);
    ASSERT_EQ(::rename(At("new").constData(), path_.constData()), 0);
    refused("another file");
    ASSERT_EQ(::unlink(path_.constData()), 0);
    refused("removed");
    EXPECT_FALSE(QFileInfo::exists(PathText(path_)));

    // The file as it was read is replaced, and what was written is known.
    WriteRaw(path_, oldBytes_);
    ReadRegularFile(path_, 1 << 20, &loaded);
    TFileIdentity written;
    ReplaceFile(path_, newBytes_, &loaded, &written);
    TFileIdentity reread;
    EXPECT_EQ(ReadRegularFile(path_, 1 << 20, &reread), newBytes_);
    EXPECT_EQ(written, reread);
}

// Nothing that is no plain file of a plausible size is read: not a pipe
// (which would block), not a device (which never ends), not a sparse file
// of gigabytes (which would exhaust memory).
TEST_F(FileSystem, OnlyRegularFilesOfBoundedSizeAreRead)
{
    ASSERT_EQ(::mkfifo(At("cr_pipe").constData(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", At("cr_zero").constData()), 0);
    const int sparse = ::open(At("cr_huge").constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::ftruncate(sparse, 6000000000LL), 0);
    ::close(sparse);
    ASSERT_EQ(::symlink(path_.constData(), At("cr_link").constData()), 0);

    for (const char* name : {"cr_pipe", "cr_zero", "cr_huge", "cr_missing"})
        EXPECT_THROW(ReadRegularFile(At(name), 1 << 20), EFOpenError) << name;
    try {
        ReadRegularFile(At("cr_huge"), 1 << 20);
    } catch (const EFOpenError& e) {
        EXPECT_TRUE(e.Message.contains("6,000,000,000 bytes")) << e.Message.toStdString();
    }
    EXPECT_EQ(ReadRegularFile(At("cr_link"), 1 << 20), oldBytes_);
}

// Names that are not UTF-8 keep their bytes from the listing to the read
// and the deletion; two names that would decode alike stay two. The listing
// tells regular files (links followed) from everything else.
TEST_F(FileSystem, NamesAreRawBytesFromListingToDeletion)
{
    const QByteArray odd[] = {"cr_\xff\xfe", "cr_\xff", "cr_\xef\xbf\xbd"};
    for (const QByteArray& name : odd)
        WriteRaw(At(name), name);
    ASSERT_EQ(::symlink(At("cr_TOVA").constData(), At("link").constData()), 0);
    QDir(dir.path()).mkdir("folder");
    std::vector<QByteArray> listed;
    const TDirectory directory(EncodePath(dir.path()) + "/");
    directory.List([&](QByteArrayView name, bool regular) {
        listed.push_back(name.toByteArray() + (regular ? "" : " (not a file)"));
    });
    std::sort(listed.begin(), listed.end());
    std::vector<QByteArray> expected = {"cr_TOVA", odd[0], odd[1], odd[2], "folder (not a file)", "link"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    for (const QByteArray& name : odd) {
        EXPECT_EQ(ReadRegularFile(At(name), 100), name);
        QByteArray read;
        const qint64 got = directory.ReadFile(name.constData(), 100, [&read](qint64 size) {
            read.resize(size);
            return read.data();
        });
        EXPECT_EQ(read.left(got), name);
    }
    QString reason;
    EXPECT_EQ(DeleteFile(At(odd[1]), &reason), TDeleteResult::Deleted);
    EXPECT_FALSE(QFileInfo::exists(PathText(At(odd[1]))) && ReadAll(At(odd[1])) == odd[1]);
    EXPECT_EQ(ReadRegularFile(At(odd[2]), 100), odd[2]);
    EXPECT_EQ(ReadRegularFile(At(odd[0]), 100), odd[0]);
}

TEST_F(FileSystem, DeletingALinkDeletesTheLinkOnly)
{
    ASSERT_EQ(::symlink(path_.constData(), At("photo_LINK.s16").constData()), 0);
    QString reason;
    EXPECT_EQ(DeleteFile(At("photo_LINK.s16"), &reason), TDeleteResult::Deleted);
    EXPECT_EQ(ReadAll(path_), oldBytes_);
    EXPECT_EQ(DeleteFile(At("photo_LINK.s16"), &reason), TDeleteResult::Deleted) << "already gone counts as deleted";
    QDir(dir.path()).mkpath("cr_DIR/inside");
    EXPECT_EQ(DeleteFile(At("cr_DIR"), &reason), TDeleteResult::Failed);
    EXPECT_EQ(reason, "It is a directory.");
}
