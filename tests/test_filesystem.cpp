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
void writeRaw(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

struct FaultPoint {
    WriteStep step;
    int chunk;
};

class FileSystem : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = at("cr_TOVA");
        oldBytes = sampleCreatures().front().entry.saveToBytes();
        writeRaw(path, oldBytes);
        // Large enough to be written in several chunks.
        HistoryRecord edited = sampleCreatures().front().entry;
        edited.epitaph = QByteArray(65535, 'e');
        edited.ownerNotes = QByteArray(65535, 'n');
        edited.extraString1 = QByteArray(65535, 'x');
        newBytes = edited.saveToBytes();
        ASSERT_GT(newBytes.size(), 3 * kWriteChunk);
    }

    QByteArray at(const QByteArray& name) const { return encodePath(dir.path()) + "/" + name; }

    std::vector<FaultPoint> faultPoints() const
    {
        std::vector<FaultPoint> points{{WriteStep::Create, 0}};
        for (int c = 0; c * kWriteChunk < newBytes.size(); ++c)
            points.push_back({WriteStep::Write, c});
        points.push_back({WriteStep::Flush, 0});
        points.push_back({WriteStep::Rename, 0});
        return points;
    }

    QStringList listing() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

    QTemporaryDir dir;
    QByteArray path, oldBytes, newBytes;
};

}  // namespace

TEST_F(FileSystem, AFailureAtEveryStepLeavesTheOldFileAndNoLitter)
{
    for (const FaultPoint& point : faultPoints()) {
        const WriteFault fault = [point](WriteStep step, int chunk) { return !(step == point.step && chunk == point.chunk); };
        EXPECT_THROW(replaceFile(path, newBytes, nullptr, nullptr, fault), FileCreateError)
            << int(point.step) << "/" << point.chunk;
        EXPECT_EQ(readAll(path), oldBytes) << int(point.step) << "/" << point.chunk;
        EXPECT_EQ(listing(), QStringList{"cr_TOVA"}) << int(point.step) << "/" << point.chunk;
    }
    replaceFile(path, newBytes);
    EXPECT_EQ(readAll(path), newBytes);
    EXPECT_EQ(listing(), QStringList{"cr_TOVA"});
}

TEST_F(FileSystem, AProcessKilledAtEveryStepLeavesOldOrNewWhole)
{
    std::vector<FaultPoint> points = faultPoints();
    points.push_back({WriteStep::Check, 0});
    points.push_back({WriteStep::Done, 0});
    for (const FaultPoint& point : points) {
        writeRaw(path, oldBytes);
        FileIdentity loaded;
        readRegularFile(path, 1 << 20, &loaded);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const WriteFault dieThere = [point](WriteStep step, int chunk) {
                if (step == point.step && chunk == point.chunk)
                    _exit(9);  // dies on the spot: no clean-up runs
                return true;
            };
            try {
                replaceFile(path, newBytes, &loaded, nullptr, dieThere);
            } catch (...) {
            }
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << int(point.step) << "/" << point.chunk;
        const bool placed = point.step == WriteStep::Check || point.step == WriteStep::Done;
        EXPECT_EQ(readAll(path), placed ? newBytes : oldBytes)
            << int(point.step) << "/" << point.chunk;
        // What a dead process leaves behind is hidden and never taken for a record.
        for (const QString& name : listing()) {
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
    const QByteArray gameBytes = QByteArray(oldBytes).replace("Tavi", "Tovi");
    const auto rewriteOldInPlace = [&] {
        // The old file has the hidden name by now; the game still has it open.
        for (const QString& name : listing())
            if (name.startsWith(".lifeledger-")) {
                const QByteArray old = at(encodePath(name));
                struct stat before;
                ::stat(old.constData(), &before);
                writeRaw(old, gameBytes);
                const struct timespec times[2] = {before.st_atim, before.st_mtim};
                ::utimensat(AT_FDCWD, old.constData(), times, 0);
            }
    };
    const auto replace = [&] {
        writeRaw(at("g"), gameBytes);
        ::rename(at("g").constData(), path.constData());
    };
    const auto remove = [&] { ::unlink(path.constData()); };
    // A game that opened the record for writing just before the exchange
    // and writes after it: its write must land in the record, not in a file
    // about to be removed.
    int open = -1;
    const auto openForWriting = [&] { open = ::open(path.constData(), O_WRONLY | O_CLOEXEC); };
    const auto writeThroughIt = [&] {
        ASSERT_EQ(::pwrite(open, gameBytes.constData(), size_t(gameBytes.size()), 0), gameBytes.size());
        ::close(open);
    };
    struct Race {
        const char* what;
        WriteStep when;
        std::function<void()> act;
        bool refused, removed;
        std::function<void()> after = {};
    };
    const std::vector<Race> races = {
        {"opened for writing before, written after", WriteStep::Rename, openForWriting, true, false, writeThroughIt},
        {"replaced just before", WriteStep::Rename, replace, true, false},
        {"removed just before", WriteStep::Rename, remove, true, true},
        {"old one rewritten in place, same size and time", WriteStep::Check, rewriteOldInPlace, true, false},
        {"replaced just after", WriteStep::Check, replace, false, false},
        {"removed just after", WriteStep::Check, remove, false, true},
    };
    for (const Race& race : races) {
        writeRaw(path, oldBytes);
        FileIdentity loaded;
        readRegularFile(path, 1 << 20, &loaded);
        const WriteFault game = [&](WriteStep step, int) {
            if (step == race.when)
                race.act();
            return true;
        };
        if (race.refused)
            EXPECT_THROW(replaceFile(path, newBytes, &loaded, nullptr, game), FileChangedError) << race.what;
        else
            EXPECT_NO_THROW(replaceFile(path, newBytes, &loaded, nullptr, game)) << race.what;
        if (race.after)
            race.after();
        if (race.removed) {
            EXPECT_FALSE(entryExists(path)) << race.what << ": a removed record came back";
            EXPECT_EQ(listing(), QStringList{}) << race.what;
        } else {
            EXPECT_EQ(readAll(path), gameBytes) << race.what;
            EXPECT_EQ(listing(), QStringList{"cr_TOVA"}) << race.what;
        }
    }
}

// A deletion with the identity read removes only that very file: one the
// game rewrote or replaced since stays as the game left it.
TEST_F(FileSystem, ADeletionRemovesOnlyTheFileThatWasRead)
{
    const QByteArray gameBytes = QByteArray(oldBytes).replace("Tavi", "Tovi");
    FileIdentity loaded;
    QString reason;
    auto read = [&] { readRegularFile(path, 1 << 20, &loaded); };
    read();
    writeRaw(path, gameBytes);  // rewritten in place
    EXPECT_EQ(deleteFile(path, &reason, &loaded), DeleteResult::Changed);
    EXPECT_EQ(readAll(path), gameBytes);
    read();
    writeRaw(at("g"), oldBytes);
    ::rename(at("g").constData(), path.constData());  // replaced
    EXPECT_EQ(deleteFile(path, &reason, &loaded), DeleteResult::Changed);
    EXPECT_EQ(readAll(path), oldBytes);
    EXPECT_EQ(listing(), QStringList{"cr_TOVA"});
    read();
    EXPECT_EQ(deleteFile(path, &reason, &loaded), DeleteResult::Deleted);
    EXPECT_EQ(deleteFile(path, &reason, &loaded), DeleteResult::Deleted) << "gone already";
    EXPECT_EQ(listing(), QStringList{});
}

// Whatever stands in a written file's place that is no plain file is
// refused, with a message naming it: a link (to a file, to nothing, to a
// folder), a folder. A folder the writer makes is never a link either. Nothing
// outside the chosen folder is touched.
TEST_F(FileSystem, TheWriterNeverFollowsALink)
{
    QTemporaryDir elsewhere;
    const QByteArray outside = encodePath(elsewhere.path()) + "/";
    writeRaw(outside + "victim", "mine");
    ASSERT_EQ(::symlink((outside + "victim").constData(), at("index.html").constData()), 0);
    ASSERT_EQ(::symlink((outside + "made-by-link").constData(), at("dangling.png").constData()), 0);
    ASSERT_EQ(::symlink(outside.constData(), at("photos").constData()), 0);
    QDir(dir.path()).mkdir("folder.csv");
    const WriteFolder folder(encodePath(dir.path()));
    for (const char* name : {"index.html", "dangling.png", "folder.csv"}) {
        EXPECT_TRUE(folder.holds(name)) << name;
        try {
            replaceFile(folder, name, "written");
            ADD_FAILURE() << "wrote " << name;
        } catch (const FileCreateError& e) {
            EXPECT_TRUE(e.message.contains(pathText(at(name)))) << e.message.toStdString();
        }
    }
    try {
        const WriteFolder photos(folder, "photos");
        ADD_FAILURE() << "opened a link as a folder";
    } catch (const FileCreateError& e) {
        EXPECT_TRUE(e.message.contains("symbolic link")) << e.message.toStdString();
    }
    EXPECT_EQ(readAll(outside + "victim"), "mine");
    EXPECT_FALSE(entryExists(outside + "made-by-link"));
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"victim"});

    // A folder it makes, and files in it, are written where they belong.
    const WriteFolder made(folder, "made");
    replaceFile(made, "a.png", "png");
    FileWriter streamed(made, "b.html");
    streamed.write("<p>");
    streamed.write("</p>");
    streamed.commit();
    EXPECT_EQ(readAll(at("made/a.png")), "png");
    EXPECT_EQ(readAll(at("made/b.html")), "<p></p>");
    EXPECT_EQ(QDir(dir.filePath("made")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"a.png", "b.html"}));
}

// A save killed midway leaves its hidden file; the next fill removes it once
// it is a minute old, but never a write in progress, a link or a folder.
TEST_F(FileSystem, StaleHiddenFilesOfKilledWritesAreRemoved)
{
    const struct timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
    writeRaw(at(".lifeledger-Ab12Cd"), "stale");
    ASSERT_EQ(::utimensat(AT_FDCWD, at(".lifeledger-Ab12Cd").constData(), old, 0), 0);
    writeRaw(at(".lifeledger-Xy34Zw"), "being written");
    writeRaw(at(".lifeledger-longer-name"), "someone else's");
    ASSERT_EQ(::utimensat(AT_FDCWD, at(".lifeledger-longer-name").constData(), old, 0), 0);
    ASSERT_EQ(::symlink(path.constData(), at(".lifeledger-Link00").constData()), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, at(".lifeledger-Link00").constData(), old, AT_SYMLINK_NOFOLLOW), 0);
    const Directory directory(encodePath(dir.path()) + "/");
    int removed = 0;
    directory.list([&](QByteArrayView name, bool) { removed += directory.removeStaleTemporaryFile(name); });
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(listing(), (QStringList{".lifeledger-Link00", ".lifeledger-longer-name", ".lifeledger-Xy34Zw", "cr_TOVA"}));
    EXPECT_EQ(readAll(path), oldBytes);
}

// A record that is a link, from the start or swapped in after it was read,
// is refused; the file the link points to, outside the game's folders, is
// never touched.
TEST_F(FileSystem, ALinkIsNeverWrittenThrough)
{
    QTemporaryDir elsewhere;
    const QByteArray precious = encodePath(elsewhere.filePath("precious document"));
    writeRaw(precious, "mine, not the game's");
    ASSERT_EQ(::symlink(precious.constData(), at("cr_LINK").constData()), 0);
    try {
        replaceFile(at("cr_LINK"), newBytes);
        ADD_FAILURE() << "wrote through a link";
    } catch (const FileCreateError& e) {
        EXPECT_TRUE(e.message.contains("symbolic link")) << e.message.toStdString();
    }

    FileIdentity loaded;
    readRegularFile(path, 1 << 20, &loaded);
    ASSERT_EQ(::unlink(path.constData()), 0);
    ASSERT_EQ(::symlink(precious.constData(), path.constData()), 0);
    EXPECT_THROW(replaceFile(path, newBytes, &loaded), FileCreateError);
    EXPECT_EQ(readAll(precious), "mine, not the game's");
    EXPECT_EQ(QFileInfo(pathText(path)).symLinkTarget(), pathText(precious));
}

TEST_F(FileSystem, AReplacementKeepsOwnerGroupAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    ASSERT_EQ(::chown(path.constData(), 1000, 1000), 0);
    ASSERT_EQ(::chmod(path.constData(), 0640), 0);
    replaceFile(path, newBytes);
    struct stat st;
    ASSERT_EQ(::stat(path.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 1000u);
    EXPECT_EQ(st.st_gid, 1000u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(readAll(path), newBytes);
}

TEST_F(FileSystem, NamesAsLongAsNamesCanBeAreReplaced)
{
    for (int length : {237, 250, 255}) {
        const QByteArray name = "cr_" + QByteArray(length - 3, 'x');
        writeRaw(at(name), oldBytes);
        replaceFile(at(name), newBytes);
        EXPECT_EQ(readAll(at(name)), newBytes) << length;
    }
}

// The game may write a record after Lifeledger read it: a save over such a
// file is refused and the game's bytes stay.
TEST_F(FileSystem, AFileChangedSinceItWasReadIsNeverOverwritten)
{
    FileIdentity loaded;
    ASSERT_EQ(readRegularFile(path, 1 << 20, &loaded), oldBytes);
    const QByteArray gameBytes = QByteArray(oldBytes).replace("Tavi", "Tovi");
    ASSERT_EQ(gameBytes.size(), oldBytes.size());
    struct stat before;
    ASSERT_EQ(::stat(path.constData(), &before), 0);

    auto refused = [&](const char* what) {
        EXPECT_THROW(replaceFile(path, newBytes, &loaded), FileChangedError) << what;
        EXPECT_NE(readAll(path), newBytes) << what;
    };
    // Rewritten in place with the same size, its time put back: only the content tells.
    writeRaw(path, gameBytes);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
    refused("same size and time, other content");
    EXPECT_EQ(readAll(path), gameBytes);
    // Replaced by a new file, as the game's own saves do.
    writeRaw(at("new"), oldBytes);
    ASSERT_EQ(::rename(at("new").constData(), path.constData()), 0);
    refused("another file");
    ASSERT_EQ(::unlink(path.constData()), 0);
    refused("removed");
    EXPECT_FALSE(QFileInfo::exists(pathText(path)));

    // The file as it was read is replaced, and what was written is known.
    writeRaw(path, oldBytes);
    readRegularFile(path, 1 << 20, &loaded);
    FileIdentity written;
    replaceFile(path, newBytes, &loaded, &written);
    FileIdentity reread;
    EXPECT_EQ(readRegularFile(path, 1 << 20, &reread), newBytes);
    EXPECT_EQ(written, reread);
}

// Nothing that is no plain file of a plausible size is read: not a pipe
// (which would block), not a device (which never ends), not a sparse file
// of gigabytes (which would exhaust memory).
TEST_F(FileSystem, OnlyRegularFilesOfBoundedSizeAreRead)
{
    ASSERT_EQ(::mkfifo(at("cr_pipe").constData(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", at("cr_zero").constData()), 0);
    const int sparse = ::open(at("cr_huge").constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::ftruncate(sparse, 6000000000LL), 0);
    ::close(sparse);
    ASSERT_EQ(::symlink(path.constData(), at("cr_link").constData()), 0);

    for (const char* name : {"cr_pipe", "cr_zero", "cr_huge", "cr_missing"})
        EXPECT_THROW(readRegularFile(at(name), 1 << 20), FileOpenError) << name;
    try {
        readRegularFile(at("cr_huge"), 1 << 20);
    } catch (const FileOpenError& e) {
        EXPECT_TRUE(e.message.contains("6,000,000,000 bytes")) << e.message.toStdString();
    }
    EXPECT_EQ(readRegularFile(at("cr_link"), 1 << 20), oldBytes);
}

// Names that are not UTF-8 keep their bytes from the listing to the read
// and the deletion; two names that would decode alike stay two. The listing
// tells regular files (links followed) from everything else.
TEST_F(FileSystem, NamesAreRawBytesFromListingToDeletion)
{
    const QByteArray odd[] = {"cr_\xff\xfe", "cr_\xff", "cr_\xef\xbf\xbd"};
    for (const QByteArray& name : odd)
        writeRaw(at(name), name);
    ASSERT_EQ(::symlink(at("cr_TOVA").constData(), at("link").constData()), 0);
    QDir(dir.path()).mkdir("folder");
    std::vector<QByteArray> listed;
    const Directory directory(encodePath(dir.path()) + "/");
    directory.list([&](QByteArrayView name, bool regular) {
        listed.push_back(name.toByteArray() + (regular ? "" : " (not a file)"));
    });
    std::sort(listed.begin(), listed.end());
    std::vector<QByteArray> expected = {"cr_TOVA", odd[0], odd[1], odd[2], "folder (not a file)", "link"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    for (const QByteArray& name : odd) {
        EXPECT_EQ(readRegularFile(at(name), 100), name);
        QByteArray read;
        const qint64 got = directory.readFile(name.constData(), 100, [&read](qint64 size) {
            read.resize(size);
            return read.data();
        });
        EXPECT_EQ(read.left(got), name);
    }
    QString reason;
    EXPECT_EQ(deleteFile(at(odd[1]), &reason), DeleteResult::Deleted);
    EXPECT_FALSE(QFileInfo::exists(pathText(at(odd[1]))) && readAll(at(odd[1])) == odd[1]);
    EXPECT_EQ(readRegularFile(at(odd[2]), 100), odd[2]);
    EXPECT_EQ(readRegularFile(at(odd[0]), 100), odd[0]);
}

TEST_F(FileSystem, DeletingALinkDeletesTheLinkOnly)
{
    ASSERT_EQ(::symlink(path.constData(), at("photo_LINK.s16").constData()), 0);
    QString reason;
    EXPECT_EQ(deleteFile(at("photo_LINK.s16"), &reason), DeleteResult::Deleted);
    EXPECT_EQ(readAll(path), oldBytes);
    EXPECT_EQ(deleteFile(at("photo_LINK.s16"), &reason), DeleteResult::Deleted) << "already gone counts as deleted";
    QDir(dir.path()).mkpath("cr_DIR/inside");
    EXPECT_EQ(deleteFile(at("cr_DIR"), &reason), DeleteResult::Failed);
    EXPECT_EQ(reason, "It is a directory.");
}
