#include "soak/GameRace.h"

#include "history/CreatureFiles.h"
#include "history/HistoryScan.h"
#include "history/unitHistoryClass.h"
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

enum class TOp : std::int32_t { Write, Remove, Look };

// One line of the game's log, written as it happened: a write of a version,
// a removal, or a look at the record before the next step (what the game
// left there last, and what it found).
struct TGameStep {
    std::int32_t Creature;
    TOp Op;
    std::int32_t Version;      // written; for a look, the one left there last (kMissing: none)
    std::int32_t Found = 0;    // for a look: the version found, kMissing or kTorn
};
constexpr std::int32_t kMissing = -1, kTorn = -2;

QByteArray Moniker(int creature)
{
    return QByteArray("R") + QByteArray::number(100 + creature).right(3);
}

// The record the game writes for a creature at a version: every field but
// the owner's name is the game's; the version stands in a field the
// program never edits.
THistoryEntry GameRecord(int creature, int version)
{
    THistoryEntry e = SampleCreatures()[size_t(creature) % SampleCreatures().size()].Entry;
    const QByteArray moniker = Moniker(creature);
    std::memcpy(e.Moniker.data(), moniker.constData(), 4);
    e.DisplayName = "Racer " + moniker;
    e.OwnerName = "player";
    e.ExtraString2 = "game v" + QByteArray::number(version);
    return e;
}

int VersionOf(const THistoryEntry& e)
{
    return e.ExtraString2.startsWith("game v") ? e.ExtraString2.mid(6).toInt() : -1;
}

void WriteAll(int fd, const QByteArray& bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + at, size_t(bytes.size() - at));
        if (n <= 0)
            _exit(3);
        at += n;
    }
}

// The version a record file holds now, kMissing or kTorn.
std::int32_t Look(const QByteArray& path, int creature)
{
    QByteArray bytes;
    try {
        bytes = ReadRegularFile(path, 1 << 20);
    } catch (const EFOpenError&) {
        return kMissing;
    }
    THistoryEntry found;
    found.LoadFromBytes(bytes);
    THistoryEntry expected = GameRecord(creature, std::max(VersionOf(found), 0));
    expected.OwnerName = found.OwnerName;
    const bool whole = found == expected && (found.OwnerName == "player" || found.OwnerName.startsWith("edit "));
    return whole ? VersionOf(found) : kTorn;
}

volatile std::sig_atomic_t stopGame = 0;

// The game: runs in a child process until told to stop, each step whole.
[[noreturn]] void PlayGame(const QByteArray& history, const TRaceOptions& options, int log)
{
    std::signal(SIGTERM, [](int) { stopGame = 1; });
    const int creatures = options.Creatures;
    std::mt19937 random(options.Seed * 7919u + 1u);
    std::vector<int> version(size_t(creatures), 0);
    std::vector<bool> present(size_t(creatures), true);
    while (!stopGame) {
        const int c = int(random() % unsigned(creatures));
        const QByteArray path = history + "cr_" + Moniker(c);
        // What is there now? A save or deletion that meets a change backs out
        // in microseconds, so a surprise is looked at again a moment later.
        const std::int32_t left = present[size_t(c)] ? version[size_t(c)] : kMissing;
        std::int32_t found = Look(path, c);
        if (found != left) {
            ::usleep(5000);
            found = Look(path, c);
        }
        const TGameStep look{c, TOp::Look, left, found};
        if (::write(log, &look, sizeof look) != sizeof look)
            _exit(4);
        present[size_t(c)] = found != kMissing;  // the program may have deleted it
        const auto what = unsigned(random() % 100);
        TGameStep step{c, TOp::Write, 0, 0};
        if (what < 12 && present[size_t(c)]) {
            ::unlink(path.constData());
            present[size_t(c)] = false;
            step.Op = TOp::Remove;
        } else if (what < 20) {
            const QByteArray album = history + "photo_" + Moniker(c) + ".s16";
            if (random() % 2)
                ::unlink(album.constData());
            else
                WriteWholeFile(PathText(album), EncodeS16(SampleAlbum(Moniker(c), 1), pl565));
            continue;
        } else {
            step.Version = ++version[size_t(c)];
            const QByteArray bytes = GameRecord(c, step.Version).SaveToBytes();
            if (what < 60) {
                // In place, in two writes with a pause between.
                const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
                WriteAll(fd, bytes.left(bytes.size() / 2));
                ::usleep(unsigned(random() % 200));
                WriteAll(fd, bytes.mid(bytes.size() / 2));
                ::close(fd);
            } else {
                // Written beside and renamed over, as careful programs do.
                const QByteArray temp = history + ".game-" + Moniker(c);
                const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
                WriteAll(fd, bytes);
                ::close(fd);
                ::rename(temp.constData(), path.constData());
            }
            present[size_t(c)] = true;
        }
        if (::write(log, &step, sizeof step) != sizeof step)
            _exit(4);
        ::usleep(unsigned(random() % unsigned(options.GamePauseMicros + 1)));
    }
    _exit(0);
}

}  // namespace

TRaceFigures RunGameRace(const TRaceOptions& options)
{
    TRaceFigures figures;
    const TSampleWorld world = WriteSampleWorld(options.Folder + QStringLiteral("/world"));
    const QByteArray history = EncodePath(world.HistoryDir), genetics = EncodePath(world.GeneticsDir);
    // Only the racers: the sample creatures leave.
    for (const QString& name : QDir(world.HistoryDir).entryList(QDir::Files))
        QFile::remove(world.HistoryDir + name);
    for (int c = 0; c < options.Creatures; ++c)
        ReplaceFile(history + "cr_" + Moniker(c), GameRecord(c, 0).SaveToBytes());

    const QByteArray logPath = EncodePath(options.Folder + QStringLiteral("/game.log"));
    const int log = ::open(logPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    const pid_t game = ::fork();
    if (game == 0)
        PlayGame(history, options, log);
    ::close(log);

    // The program: each cycle reads the folder afresh, then edits or deletes
    // one creature as the window's commands do. What it deleted is kept,
    // with the version it had read.
    std::mt19937 random(options.Seed);
    std::map<int, std::vector<int>> deleted;  // creature -> versions deleted
    for (int cycle = 0; cycle < options.Cycles; ++cycle) {
        ++figures.Cycles;
        const THistoryScan scan = ScanHistory(history, genetics);
        if (scan.Records.empty())
            continue;
        const TScannedRecord& picked = scan.Records[random() % scan.Records.size()];
        THistoryEntry record;
        record.LoadFromBytes(picked.Bytes);
        record.FileName = history + picked.Name;
        const int creature = QByteArray(record.Moniker.data(), 4).mid(1).toInt() - 100;
        if (random() % 5 != 0) {
            record.OwnerName = "edit " + QByteArray::number(cycle);
            try {
                // The save's own path (SaveToFile), on a disk slow to flush
                // and rename, as a busy or traced one is: the moments
                // between its steps are where the game's writes fall.
                const TWriteFault slowDisk = [&options](TWriteStep step, int) {
                    if (step == TWriteStep::Flush || step == TWriteStep::Rename || step == TWriteStep::Check)
                        ::usleep(unsigned(options.SlowDiskMicros));
                    return true;
                };
                ReplaceFile(record.FileName, record.SaveToBytes(), &picked.Loaded, nullptr, slowDisk);
                ++figures.Saves;
            } catch (const EFileChanged&) {
                ++figures.SavesRefused;
            } catch (const Exception& e) {
                figures.Problems << QStringLiteral("a save failed: ") + e.Message;
            }
        } else {
            QString reason;
            const TDeleteResult result = DeleteFile(record.FileName, &reason, &picked.Loaded);
            DeleteFile(AlbumPath(history, record.Moniker), &reason);
            if (result == TDeleteResult::Deleted) {
                ++figures.Deletes;
                deleted[creature].push_back(VersionOf(record));
            } else if (result == TDeleteResult::Changed) {
                ++figures.DeletesRefused;
            } else {
                figures.Problems << QStringLiteral("a deletion failed: ") + reason;
            }
        }
    }
    ::kill(game, SIGTERM);
    int status = 0;
    ::waitpid(game, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        figures.Problems << QStringLiteral("the game ended badly: %1").arg(status);

    // Every look the game took, and at the end one more at every record:
    // each must find what the game left there, an edit of it, or nothing
    // where the program deleted just that version.
    std::vector<TGameStep> looks;
    std::map<int, TGameStep> last;
    for (int c = 0; c < options.Creatures; ++c)
        last[c] = {c, TOp::Write, 0, 0};
    const QByteArray steps = ReadRegularFile(logPath, 1 << 30);
    for (qsizetype at = 0; at + qsizetype(sizeof(TGameStep)) <= steps.size(); at += sizeof(TGameStep)) {
        TGameStep step;
        std::memcpy(&step, steps.constData() + at, sizeof step);
        if (step.Op == TOp::Look) {
            looks.push_back(step);
            continue;
        }
        last[step.Creature] = step;
        (step.Op == TOp::Write ? figures.GameWrites : figures.GameRemovals)++;
    }
    for (const auto& [c, step] : last)
        looks.push_back({c, TOp::Look, step.Op == TOp::Write ? step.Version : kMissing,
                         Look(history + "cr_" + Moniker(c), c)});
    // Each fault counts once, however often the game looked at it.
    std::set<std::tuple<int, std::int32_t, std::int32_t>> seen;
    for (const TGameStep& look : looks) {
        const QString name = QString::fromLatin1(Moniker(look.Creature));
        const auto& gone = deleted[look.Creature];
        if (look.Found == look.Version || !seen.insert({look.Creature, look.Version, look.Found}).second)
            continue;
        if (look.Found == kTorn) {
            ++figures.Corrupted;
            figures.Problems << QStringLiteral("%1: not a whole record of the game's").arg(name);
        } else if (look.Version == kMissing) {
            ++figures.Resurrected;
            figures.Problems << QStringLiteral("%1: removed by the game, back at version %2").arg(name).arg(look.Found);
        } else if (look.Found == kMissing && std::find(gone.begin(), gone.end(), look.Version) != gone.end()) {
            continue;  // the program deleted just that version
        } else {
            ++figures.Lost;
            figures.Problems << QStringLiteral("%1: the game left version %2, found %3")
                                    .arg(name)
                                    .arg(look.Version)
                                    .arg(look.Found == kMissing ? QStringLiteral("nothing") : QString::number(look.Found));
        }
    }
    TDirectory(history).List([&](QByteArrayView name, bool) { figures.LeftOver += IsTemporaryName(name); });
    return figures;
}

QString FiguresText(const TRaceFigures& f)
{
    return QStringLiteral("cycles %1: %2 edits saved, %3 refused (the game was first); %4 deletions, %5 refused\n"
                          "game: %6 writes, %7 removals\n"
                          "lost updates %8, resurrected records %9, corrupted records %10, temporary files left %11\n")
        .arg(f.Cycles)
        .arg(f.Saves)
        .arg(f.SavesRefused)
        .arg(f.Deletes)
        .arg(f.DeletesRefused)
        .arg(f.GameWrites)
        .arg(f.GameRemovals)
        .arg(f.Lost)
        .arg(f.Resurrected)
        .arg(f.Corrupted)
        .arg(f.LeftOver)
        + f.Problems.join(QLatin1Char('\n'));
}
