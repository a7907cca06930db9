#include "soak/GameRace.h"

#include "history/CreatureFiles.h"
#include "history/HistoryScan.h"
#include "history/HistoryRecord.h"
#include "platform/FileSystem.h"
#include "sampleworld/SampleWorld.h"

#include <QDir>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <random>
#include <set>
#include <tuple>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class GameOp : std::int32_t { Write, Remove, Look };

// One line of the game's log, written as it happened: a write of a version,
// a removal, or a look at the record before the next step (what the game
// left there last, and what it found).
struct GameStep {
    std::int32_t creature;
    GameOp op;
    std::int32_t version;      // written; for a look, the one left there last (kMissing: none)
    std::int32_t found = 0;    // for a look: the version found, kMissing or kTorn
};
constexpr std::int32_t kMissing = -1, kTorn = -2;

QByteArray racerMoniker(int creature)
{
    return QByteArray("R") + QByteArray::number(100 + creature).right(3);
}

// The record the game writes for a creature at a version: every field but
// the owner's name is the game's; the version stands in a field the
// program never edits.
HistoryRecord gameRecord(int creature, int version)
{
    HistoryRecord e = sampleCreatures()[size_t(creature) % sampleCreatures().size()].entry;
    const QByteArray moniker = racerMoniker(creature);
    std::memcpy(e.moniker.data(), moniker.constData(), 4);
    e.displayName = "Racer " + moniker;
    e.ownerName = "player";
    e.extraString2 = "game v" + QByteArray::number(version);
    return e;
}

int versionOf(const HistoryRecord& e)
{
    return e.extraString2.startsWith("game v") ? e.extraString2.mid(6).toInt() : -1;
}

void writeAll(int fd, const QByteArray& bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + at, size_t(bytes.size() - at));
        if (n <= 0)
            _exit(3);
        at += n;
    }
}

// The version a record file holds now, kMissing or kTorn.
std::int32_t look(const QByteArray& path, int creature)
{
    QByteArray bytes;
    try {
        bytes = readRegularFile(path, 1 << 20);
    } catch (const FileOpenError&) {
        return kMissing;
    }
    HistoryRecord found;
    found.loadFromBytes(bytes);
    HistoryRecord expected = gameRecord(creature, std::max(versionOf(found), 0));
    expected.ownerName = found.ownerName;
    const bool whole = found == expected && (found.ownerName == "player" || found.ownerName.startsWith("edit "));
    return whole ? versionOf(found) : kTorn;
}

volatile std::sig_atomic_t stopGame = 0;

// The game: runs in a child process until told to stop, each step whole.
[[noreturn]] void playGame(const QByteArray& history, const RaceOptions& options, int log)
{
    std::signal(SIGTERM, [](int) { stopGame = 1; });
    const int creatures = options.creatures;
    std::mt19937 random(options.seed * 7919u + 1u);
    std::vector<int> version(size_t(creatures), 0);
    std::vector<bool> present(size_t(creatures), true);
    while (!stopGame) {
        const int c = int(random() % unsigned(creatures));
        const QByteArray path = history + "cr_" + racerMoniker(c);
        // What is there now? A save or deletion that meets a change backs out
        // in microseconds, so a surprise is looked at again a moment later.
        const std::int32_t left = present[size_t(c)] ? version[size_t(c)] : kMissing;
        std::int32_t found = look(path, c);
        if (found != left) {
            ::usleep(5000);
            found = look(path, c);
        }
        const GameStep look{c, GameOp::Look, left, found};
        if (::write(log, &look, sizeof look) != sizeof look)
            _exit(4);
        present[size_t(c)] = found != kMissing;  // the program may have deleted it
        const auto what = unsigned(random() % 100);
        GameStep step{c, GameOp::Write, 0, 0};
        if (what < 12 && present[size_t(c)]) {
            ::unlink(path.constData());
            present[size_t(c)] = false;
            step.op = GameOp::Remove;
        } else if (what < 20) {
            const QByteArray album = history + "photo_" + racerMoniker(c) + ".s16";
            if (random() % 2)
                ::unlink(album.constData());
            else
                writeWholeFile(pathText(album), encodeS16(sampleAlbum(racerMoniker(c), 1), pl565));
            continue;
        } else {
            step.version = ++version[size_t(c)];
            const QByteArray bytes = gameRecord(c, step.version).saveToBytes();
            if (what < 60) {
                // In place, in two writes with a pause between.
                const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
                writeAll(fd, bytes.left(bytes.size() / 2));
                ::usleep(unsigned(random() % 200));
                writeAll(fd, bytes.mid(bytes.size() / 2));
                ::close(fd);
            } else {
                // Written beside and renamed over, as careful programs do.
                const QByteArray temp = history + ".game-" + racerMoniker(c);
                const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
                writeAll(fd, bytes);
                ::close(fd);
                ::rename(temp.constData(), path.constData());
            }
            present[size_t(c)] = true;
        }
        if (::write(log, &step, sizeof step) != sizeof step)
            _exit(4);
        ::usleep(unsigned(random() % unsigned(options.gamePauseMicros + 1)));
    }
    _exit(0);
}

}  // namespace

namespace {

// The program's side: each cycle reads the folder afresh, then edits or
// deletes one creature as the window's commands do. What it deleted is
// kept, with the version it had read.
void playProgram(const RaceOptions& options, const QByteArray& history, const QByteArray& genetics, RaceFigures& figures,
                 std::map<int, std::vector<int>>& deleted)
{
    std::mt19937 random(options.seed);
    for (int cycle = 0; cycle < options.cycles; ++cycle) {
        ++figures.cycles;
        const HistoryScan scan = scanHistory(history, genetics);
        if (scan.records.empty())
            continue;
        const ScannedRecord& picked = scan.records[random() % scan.records.size()];
        HistoryRecord record;
        record.loadFromBytes(picked.bytes);
        record.fileName = history + picked.name;
        const int creature = QByteArray(record.moniker.data(), 4).mid(1).toInt() - 100;
        if (random() % 5 != 0) {
            record.ownerName = "edit " + QByteArray::number(cycle);
            try {
                // The save's own path (SaveToFile), on a disk slow to flush
                // and rename, as a busy or traced one is: the moments
                // between its steps are where the game's writes fall.
                const WriteFault slowDisk = [&options](WriteStep step, int) {
                    if (step == WriteStep::Flush || step == WriteStep::Rename || step == WriteStep::Check)
                        ::usleep(unsigned(options.slowDiskMicros));
                    return true;
                };
                replaceFile(record.fileName, record.saveToBytes(), &picked.loaded, nullptr, slowDisk);
                ++figures.saves;
            } catch (const FileChangedError&) {
                ++figures.savesRefused;
            } catch (const Exception& e) {
                figures.problems << QStringLiteral("a save failed: ") + e.message;
            }
        } else {
            QString reason;
            const DeleteResult result = deleteFile(record.fileName, &reason, &picked.loaded);
            deleteFile(albumPath(history, record.moniker), &reason);
            if (result == DeleteResult::Deleted) {
                ++figures.deletes;
                deleted[creature].push_back(versionOf(record));
            } else if (result == DeleteResult::Changed) {
                ++figures.deletesRefused;
            } else {
                figures.problems << QStringLiteral("a deletion failed: ") + reason;
            }
        }
    }
}

// Every look the game took, and at the end one more at every record: each
// must find what the game left there, an edit of it, or nothing where the
// program deleted just that version.
void judge(const RaceOptions& options, const QByteArray& history, const QByteArray& logPath,
           std::map<int, std::vector<int>>& deleted, RaceFigures& figures)
{
    std::vector<GameStep> looks;
    std::map<int, GameStep> last;
    for (int c = 0; c < options.creatures; ++c)
        last[c] = {c, GameOp::Write, 0, 0};
    const QByteArray steps = readRegularFile(logPath, 1 << 30);
    for (qsizetype at = 0; at + qsizetype(sizeof(GameStep)) <= steps.size(); at += sizeof(GameStep)) {
        GameStep step;
        std::memcpy(&step, steps.constData() + at, sizeof step);
        if (step.op == GameOp::Look) {
            looks.push_back(step);
            continue;
        }
        last[step.creature] = step;
        (step.op == GameOp::Write ? figures.gameWrites : figures.gameRemovals)++;
    }
    for (const auto& [c, step] : last)
        looks.push_back({c, GameOp::Look, step.op == GameOp::Write ? step.version : kMissing,
                         look(history + "cr_" + racerMoniker(c), c)});
    // Each fault counts once, however often the game looked at it.
    std::set<std::tuple<int, std::int32_t, std::int32_t>> seen;
    for (const GameStep& look : looks) {
        const QString name = QString::fromLatin1(racerMoniker(look.creature));
        const auto& gone = deleted[look.creature];
        if (look.found == look.version || !seen.insert({look.creature, look.version, look.found}).second)
            continue;
        if (look.found == kTorn) {
            ++figures.corrupted;
            figures.problems << QStringLiteral("%1: not a whole record of the game's").arg(name);
        } else if (look.version == kMissing) {
            ++figures.resurrected;
            figures.problems << QStringLiteral("%1: removed by the game, back at version %2").arg(name).arg(look.found);
        } else if (look.found == kMissing && std::find(gone.begin(), gone.end(), look.version) != gone.end()) {
            continue;  // the program deleted just that version
        } else {
            ++figures.lost;
            figures.problems << QStringLiteral("%1: the game left version %2, found %3")
                                    .arg(name)
                                    .arg(look.version)
                                    .arg(look.found == kMissing ? QStringLiteral("nothing") : QString::number(look.found));
        }
    }
}

}  // namespace

RaceFigures runGameRace(const RaceOptions& options)
{
    RaceFigures figures;
    const SampleWorld world = writeSampleWorld(options.folder + QStringLiteral("/world"));
    const QByteArray history = encodePath(world.historyDir), genetics = encodePath(world.geneticsDir);
    // Only the racers: the sample creatures leave.
    for (const QString& name : QDir(world.historyDir).entryList(QDir::Files))
        QFile::remove(world.historyDir + name);
    for (int c = 0; c < options.creatures; ++c)
        replaceFile(history + "cr_" + racerMoniker(c), gameRecord(c, 0).saveToBytes());

    const QByteArray logPath = encodePath(options.folder + QStringLiteral("/game.log"));
    const int log = ::open(logPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    const pid_t game = ::fork();
    if (game == 0)
        playGame(history, options, log);
    ::close(log);

    std::map<int, std::vector<int>> deleted;  // creature -> versions deleted
    playProgram(options, history, genetics, figures, deleted);
    ::kill(game, SIGTERM);
    int status = 0;
    ::waitpid(game, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        figures.problems << QStringLiteral("the game ended badly: %1").arg(status);

    judge(options, history, logPath, deleted, figures);
    Directory(history).list([&](QByteArrayView name, bool) { figures.leftOver += isTemporaryName(name); });
    return figures;
}

QString figuresText(const RaceFigures& f)
{
    return QStringLiteral("cycles %1: %2 edits saved, %3 refused (the game was first); %4 deletions, %5 refused\n"
                          "game: %6 writes, %7 removals\n"
                          "lost updates %8, resurrected records %9, corrupted records %10, temporary files left %11\n")
        .arg(f.cycles)
        .arg(f.saves)
        .arg(f.savesRefused)
        .arg(f.deletes)
        .arg(f.deletesRefused)
        .arg(f.gameWrites)
        .arg(f.gameRemovals)
        .arg(f.lost)
        .arg(f.resurrected)
        .arg(f.corrupted)
        .arg(f.leftOver)
        + f.problems.join(QLatin1Char('\n'));
}
