#include "browser/HistoryController.h"

#include "browser/CommandGuard.h"
#include "browser/EntryIcons.h"
#include "history/Lineage.h"
#include "platform/DirectoryWatch.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("HistoryController", text);
}

// The folder a directory value's files are in: the value itself when it
// ends in a separator, else its parent (the value is a plain prefix).
QByteArray folderOf(const QByteArray& directoryValue)
{
    return directoryValue.left(directoryValue.lastIndexOf('/') + 1);
}

// A message that lists many items names the first few and counts the rest;
// the whole list goes into the details, where it can be scrolled.
Exception listedError(const QString& lead, const QStringList& items)
{
    constexpr qsizetype shown = 10;
    QString text = lead + QStringLiteral("\n\n") + items.mid(0, shown).join(QLatin1Char('\n'));
    if (items.size() > shown)
        text += QLatin1Char('\n') + translated(QT_TRANSLATE_NOOP("HistoryController", "and %1 more.")).arg(items.size() - shown);
    return Exception(text, items.size() > shown ? items.join(QLatin1Char('\n')) : QString());
}

}  // namespace

HistoryController::HistoryController(InstallationSource source, QObject* parent)
    : QObject(parent),
      source_(std::move(source)),
      // Badges are pictures where there is a screen; an export run from the
      // command line has none.
      model_(new CreatureListModel(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? makeEntriesImages() : QList<QPixmap>(),
                                   localeDateTimeNames(), this)),
      watch_(new DirectoryWatch(this))
{
    connect(watch_, &DirectoryWatch::changed, this, &HistoryController::historyChangedOnDisk);
}

HistoryController::~HistoryController() = default;

void HistoryController::refill()
{
    fill(Reading::Everything);
}

void HistoryController::rebuild()
{
    fill(Reading::WhatChanged);
}

bool HistoryController::switchTo(const InstallationSource& source)
{
    if (!resolveInstallation(source))
        return false;
    source_ = source;
    refill();
    return true;
}

void HistoryController::fill(Reading reading)
{
    const std::optional<Installation> found = resolveInstallation(source_);
    if (!found)
        throw NoInstallationError({pathText(source_.prefix + "/system.reg")});
    folders_ = *found;
    // What happens from now on is news.
    watch_->watch({folderOf(folders_.historyDirectory), folderOf(folders_.geneticsDirectory)});
    lineage_.reset();
    const EarlierScan earlier = model_->earlierScan();
    HistoryScan scan = scanHistory(folders_.historyDirectory, folders_.geneticsDirectory,
                                   reading == Reading::WhatChanged ? &earlier : nullptr);
    const QStringList failures = std::move(scan.failures);
    QStringList problems, places;
    if (!scan.folderProblem.isEmpty()) {
        problems << translated(QT_TRANSLATE_NOOP("HistoryController", "The history folder cannot be read, so the list is empty: %1"))
                        .arg(scan.folderProblem);
        places << pathText(scan.directory);
    }
    if (!watch_->unwatched().isEmpty()) {
        problems << translated(QT_TRANSLATE_NOOP("HistoryController", "Changes by the game cannot be watched: F5 rereads the list."));
        places << watch_->unwatched();
    }
    model_->reset(std::move(scan));
    setProblems(problems, places);
    emit refilled();
    if (!failures.isEmpty())
        throw listedError(translated(QT_TRANSLATE_NOOP("HistoryController",
                                                       "These history files could not be read, so their creatures are not listed:")),
                          failures);
}

void HistoryController::setProblems(QStringList problems, QStringList places)
{
    if (problems == problems_ && places == problemPlaces_)
        return;
    problems_ = std::move(problems);
    problemPlaces_ = std::move(places);
    emit problemsChanged();
}

const LineageIndex& HistoryController::lineage()
{
    if (!lineage_)
        lineage_ = std::make_unique<LineageIndex>(model_->keys());
    return *lineage_;
}

CreatureFilePaths HistoryController::filesOf(int row) const
{
    const HistoryRecord record = model_->readRecord(row);
    return {record.fileName, albumPath(folders_.historyDirectory, record.moniker),
            geneticsPath(folders_.geneticsDirectory, record.moniker)};
}

bool HistoryController::saveEdit(int row, const std::function<void(HistoryRecord&)>& edit)
{
    HistoryRecord& record = model_->record(row);
    edit(record);
    bool saved = true;
    try {
        // Only over the very file that was read: the game may have written
        // the record since (a death, say), and its change must not be lost.
        record.saveToFile(&model_->loaded(row));
    } catch (const FileChangedError&) {
        saved = false;
    }
    watch_->discard();  // the list's own change
    rebuild();
    return saved;
}

std::vector<FileDeletion> HistoryController::deleteFiles(int row, bool album, bool genetics, bool history)
{
    const std::vector<FileDeletion> done =
        deleteCreatureFiles(filesOf(row), album, genetics, history, model_->loaded(row));
    watch_->discard();  // these changes are the list's own
    bool historyGone = false, changed = false;
    for (const FileDeletion& d : done) {
        historyGone = historyGone || (d.file == CreatureFile::History && d.result == DeleteResult::Deleted);
        changed = changed || d.result == DeleteResult::Changed;
    }
    if (changed) {
        rebuild();  // the list shows the record as the game left it
    } else if (historyGone) {
        model_->remove(row);
        lineage_.reset();
    } else {
        model_->setBadges(row, badgesAfter(model_->badges(row), done));
    }
    return done;
}

void HistoryController::exportList(const QString& path, const std::vector<int>& rows) const
{
    replaceFile(encodePath(path), listAsCsv(*model_, rows, folders_.historyDirectory, folders_.geneticsDirectory));
}

FamilyBook HistoryController::exportFamilyBook(const QString& folder, const FamilyBookOptions& options)
{
    return writeFamilyBook(folder, *model_, lineage(), folders_.historyDirectory, options);
}
