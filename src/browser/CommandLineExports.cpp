#include "browser/CommandLineExports.h"

#include "browser/CommandGuard.h"
#include "browser/CommandLine.h"
#include "browser/HistoryController.h"
#include "browser/Startup.h"
#include "common/Exception.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>
#include <numeric>
#include <unistd.h>

namespace {

QString translated(const char* text, int n = -1)
{
    return QCoreApplication::translate("CommandLineExports", text, nullptr, n);
}

void say(const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", kProgramName, text.toLocal8Bit().constData());
}

// The message the window would show, and where the game was looked for.
void sayNoInstallation(const QStringList& searched)
{
    say(QCoreApplication::translate("CommandGuard", kNoInstallationText));
    if (!searched.isEmpty())
        std::fprintf(stderr, "%s\n  %s\n", QCoreApplication::translate("CommandGuard", "Places searched:").toLocal8Bit().constData(),
                     searched.join(QStringLiteral("\n  ")).toLocal8Bit().constData());
}

// Progress on one line that is written over, while standard error is a
// terminal; nothing when it is a file or a pipe.
class Progress {
public:
    Progress() : shown_(::isatty(STDERR_FILENO) == 1) {}
    void show(const QString& text)
    {
        if (!shown_)
            return;
        std::fprintf(stderr, "\r\033[K%s", text.toLocal8Bit().constData());
        std::fflush(stderr);
        open_ = true;
    }
    // Ends the line, so that what follows starts on a fresh one.
    void done()
    {
        if (open_)
            std::fputc('\n', stderr);
        open_ = false;
    }

private:
    bool shown_;
    bool open_ = false;
};

// The folder of the family book; made when missing (its parent must be
// there), never through a link.
void makeFolder(const QString& path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return;
    const QFileInfo info(path);
    const WriteFolder parent(encodePath(info.absolutePath()));
    const WriteFolder made(parent, encodePath(info.fileName()));
}

}  // namespace

int runCommandLineExports(const StartOptions& options, QSettings* settings, const QString& home)
{
    const StartChoice choice = findStartInstallation(options, settings, home);
    if (!choice.source) {
        if (choice.found.size() > 1) {
            QStringList places;
            for (const FoundInstallation& found : choice.found)
                places << QStringLiteral("  %1 (%2)").arg(pathText(found.prefix), found.launcher);
            say(translated(QT_TRANSLATE_NOOP("CommandLineExports", "Several Wine prefixes hold the game; name one with "
                                                                   "--prefix:"))
                + QLatin1Char('\n') + places.join(QLatin1Char('\n')));
        } else {
            sayNoInstallation(choice.searched);
        }
        return 1;
    }

    Progress progress;
    HistoryController controller(*choice.source);
    progress.show(translated(QT_TRANSLATE_NOOP("CommandLineExports", "Reading the history...")));
    try {
        controller.refill();
    } catch (const NoInstallationError& missing) {
        progress.done();
        sayNoInstallation({missing.details});
        return 1;
    } catch (const Exception& unreadable) {
        // The list is filled without them, as the window shows it.
        progress.done();
        say(unreadable.details.isEmpty() ? unreadable.message : unreadable.message.section(QLatin1Char('\n'), 0, 0) + QLatin1Char('\n') + unreadable.details);
    }
    progress.done();
    const QLocale locale = messageLocale();
    const int creatures = controller.model()->count();
    try {
        if (!options.exportCsv.isEmpty()) {
            std::vector<int> rows(static_cast<size_t>(creatures));
            std::iota(rows.begin(), rows.end(), 0);
            controller.exportList(options.exportCsv, rows);
        }
        if (!options.exportFamilyBook.isEmpty()) {
            makeFolder(options.exportFamilyBook);
            const FamilyBook book = controller.exportFamilyBook(options.exportFamilyBook, {500, [&](int done, int total) {
                progress.show(translated(QT_TRANSLATE_NOOP("CommandLineExports", "Family book: %1 of %2 creatures"))
                                  .arg(locale.toString(done), locale.toString(total)));
            }});
            progress.done();
            for (const QString& problem : book.problems)
                say(translated(QT_TRANSLATE_NOOP("CommandLineExports", "Album left out: %1")).arg(problem));
        }
    } catch (const Exception& failed) {
        progress.done();
        say(failed.details.isEmpty() ? failed.message : failed.message + QLatin1Char('\n') + failed.details);
        return 1;
    } catch (const std::bad_alloc&) {
        progress.done();
        say(QCoreApplication::translate("CommandGuard", "There is not enough memory for this."));
        return 1;
    }
    if (::isatty(STDERR_FILENO) == 1)
        say(translated(QT_TRANSLATE_N_NOOP("CommandLineExports", "%n creatures written."), creatures));
    return 0;
}
