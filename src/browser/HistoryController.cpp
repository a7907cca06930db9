#include "browser/HistoryController.h"

#include "browser/CommandGuard.h"
#include "browser/EntryIcons.h"
#include "history/Lineage.h"
#include "platform/DirectoryWatch.h"
#include "platform/FileSystem.h"

#include "platform/Launchers.h"
#include "platform/TextCodec.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
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

HistoryController::HistoryController(InstallationSource source, QObject* parent, QByteArray dataHome,
                                     BackupLimits limits)
    : QObject(parent),
      source_(std::move(source)),
      // Badges are pictures where there is a screen; an export run from the
      // command line has none.
      model_(new CreatureListModel(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? makeEntriesImages() : QList<QPixmap>(),
                                   localeDateTimeNames(), this)),
      watch_(new DirectoryWatch(this)),
      dataHome_(dataHome.isEmpty() ? encodePath(UserFolders::fromEnvironment(QDir::homePath()).dataHome) : std::move(dataHome)),
      limits_(limits)
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
    if (found->historyDirectory != folders_.historyDirectory || found->geneticsDirectory != folders_.geneticsDirectory) {
        // Another installation: its store, and no steps to undo in it.
        store_.reset();
        operations_.clear();
        done_ = 0;
        emit undoChanged();
    }
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

namespace {

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// A creature's name as a step of the undo history names it: a name of
// thousands of letters would make the menu wider than any screen.
QString stepName(const QByteArray& displayName)
{
    constexpr qsizetype kLongest = 40;
    QString name = decodeText(displayName);
    if (name.size() > kLongest)
        name = name.left(kLongest - 1) + QChar(0x2026);
    return name;
}

// A copy that could not be kept stops the operation: the message says so.
[[noreturn]] void cannotKeep(const Exception& why, const char* what)
{
    throw Exception(translated(what) + QStringLiteral("\n\n") + why.message, why.details);
}

}  // namespace

std::vector<QByteArray> HistoryController::gameFolders() const
{
    return {folderOf(folders_.historyDirectory), folderOf(folders_.geneticsDirectory)};
}

const BackupStore& HistoryController::backupStore()
{
    if (!store_)
        store_ = std::make_unique<BackupStore>(dataHome_, folders_.historyDirectory, folders_.geneticsDirectory, limits_);
    return *store_;
}

bool HistoryController::saveEdit(int row, const std::function<void(HistoryRecord&)>& edit)
{
    HistoryRecord& record = model_->record(row);
    const FileIdentity& loaded = model_->loaded(row);
    const QString name = stepName(record.displayName);
    // Only over the very file that was read: the game may have written the
    // record since (a death, say), and its change must not be lost. What is
    // replaced is kept first.
    FileToKeep before;
    try {
        before = readFileToKeep(CreatureFile::History, record.fileName);
    } catch (const FileOpenError&) {
        before.kept.identity = {};  // gone or unreadable: not the file read
    }
    if (before.kept.identity != loaded) {
        watch_->discard();
        rebuild();
        return false;
    }
    const QByteArray nameBefore = record.displayName, moniker = monikerText(record.moniker);
    edit(record);
    backupStore();
    BackupEntry entry;
    try {
        entry = store_->keep(BackupKind::Edit, nameBefore, moniker, {before}, now());
    } catch (const Exception& e) {
        throw Exception(tr("No copy of the history record %1 could be kept, so nothing has been saved.")
                            .arg(pathText(record.fileName)) + QStringLiteral("\n\n") + e.message, e.details);
    }
    FileIdentity written;
    bool saved = true;
    try {
        record.saveToFile(&loaded, &written);
    } catch (const FileChangedError&) {
        saved = false;
    } catch (...) {
        store_->remove(entry.id);
        throw;
    }
    if (saved)
        push({BackupKind::Edit, name, entry.id, record.fileName, before.bytes, record.saveToBytes(), written, {}});
    else
        store_->remove(entry.id);
    followOwnChange();
    return saved;
}

std::vector<FileDeletion> HistoryController::deleteFiles(int row, bool album, bool genetics, bool history)
{
    const CreatureFilePaths paths = filesOf(row);
    const HistoryRecord record = model_->readRecord(row);
    // Every file about to go is copied first, as it is now; the deletion
    // then removes only that very file.
    std::vector<FileToKeep> keep;
    try {
        const std::pair<bool, std::pair<CreatureFile, QByteArray>> chosen[] = {
            {album, {CreatureFile::Album, paths.album}},
            {genetics, {CreatureFile::Genetics, paths.genetics}},
            {history, {CreatureFile::History, paths.history}}};
        for (const auto& [wanted, file] : chosen)
            // A folder in a file's place is never deleted (the deletion says
            // so): there is nothing to keep.
            if (wanted && !file.second.isEmpty() && entryExists(file.second) && !isFolderEntry(file.second)) {
                keep.push_back(readFileToKeep(file.first, file.second));
                keep.back().kept.removed = true;
            }
    } catch (const Exception& e) {
        cannotKeep(e, QT_TRANSLATE_NOOP("HistoryController", "A copy of the files could not be kept, so nothing has been deleted."));
    }
    std::optional<BackupEntry> entry;
    if (!keep.empty()) {
        backupStore();
        try {
            entry = store_->keep(BackupKind::Deletion, record.displayName, monikerText(record.moniker), keep, now());
        } catch (const Exception& e) {
            cannotKeep(e, QT_TRANSLATE_NOOP("HistoryController", "A copy of the files could not be kept, so nothing has been deleted."));
        }
    }
    auto identityOf = [&keep](CreatureFile file) -> const FileIdentity* {
        for (const FileToKeep& k : keep)
            if (k.kept.file == file)
                return &k.kept.identity;
        return nullptr;
    };
    const std::vector<FileDeletion> done = deleteCreatureFiles(paths, album, genetics, history, model_->loaded(row),
                                                               identityOf(CreatureFile::Album), identityOf(CreatureFile::Genetics));
    watch_->discard();  // these changes are the list's own
    bool historyGone = false, changed = false;
    for (const FileDeletion& d : done) {
        historyGone = historyGone || (d.file == CreatureFile::History && d.result == DeleteResult::Deleted);
        changed = changed || d.result == DeleteResult::Changed;
    }
    if (entry) {
        // The manifest says what is gone; an entry of nothing is not kept.
        bool anyRemoved = false;
        for (KeptFile& kept : entry->files) {
            kept.removed = false;
            for (const FileDeletion& d : done)
                kept.removed = kept.removed || (d.file == kept.file && d.result == DeleteResult::Deleted);
            anyRemoved = anyRemoved || kept.removed;
        }
        if (!anyRemoved) {
            store_->remove(entry->id);
        } else {
            try {
                store_->update(*entry);
            } catch (const FileCreateError&) {
                // The manifest still names every chosen file as removed: a
                // restore of one that stayed finds its name taken and stops.
            }
            push({BackupKind::Deletion, stepName(record.displayName), entry->id, {}, {}, {}, {}, {}});
        }
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

void HistoryController::push(Operation operation)
{
    operations_.resize(done_);  // what was undone cannot be redone after a new step
    operations_.push_back(std::move(operation));
    done_ = operations_.size();
    emit undoChanged();
}

void HistoryController::drop(size_t index)
{
    operations_.erase(operations_.begin() + std::ptrdiff_t(index));
    if (done_ > index)
        --done_;
    emit undoChanged();
}

void HistoryController::followOwnChange()
{
    watch_->discard();
    rebuild();
}

QString HistoryController::stepText(const Operation& op)
{
    return (op.kind == BackupKind::Edit ? tr("Edit of %1") : tr("Deletion of %1")).arg(op.name);
}

QString HistoryController::undoText() const
{
    return canUndo() ? stepText(operations_[done_ - 1]) : QString();
}

QString HistoryController::redoText() const
{
    return canRedo() ? stepText(operations_[done_]) : QString();
}

void HistoryController::undo()
{
    if (canUndo())
        takeStep(done_ - 1, true);
}

void HistoryController::redo()
{
    if (canRedo())
        takeStep(done_, false);
}

void HistoryController::takeStep(size_t index, bool back)
{
    try {
        Operation& op = operations_[index];
        if (op.kind == BackupKind::Edit)
            putRecord(op, back);
        else if (back)
            undoDeletion(op);
        else
            redoDeletion(op);
    } catch (const Exception&) {
        drop(index);
        followOwnChange();
        throw;
    }
    done_ = back ? index : index + 1;
    emit undoChanged();
    followOwnChange();
}

void HistoryController::putRecord(Operation& op, bool before)
{
    try {
        FileIdentity written;
        replaceFile(op.path, before ? op.before : op.after, &op.current, &written);
        op.current = written;
    } catch (const FileChangedError&) {
        throw Exception((before ? tr("The history record of %1 has been changed or removed since the edit, so the edit cannot be "
                                     "taken back; the record is left as it is:\n%2")
                                : tr("The history record of %1 has been changed or removed since the edit was taken back, so it "
                                     "cannot be made again; the record is left as it is:\n%2"))
                            .arg(op.name, pathText(op.path)));
    }
}

void HistoryController::undoDeletion(Operation& op)
{
    std::optional<BackupEntry> entry = backupStore().entry(op.entryId);
    if (!entry)
        throw Exception(tr("The copies of %1's files are no longer in the store, so they cannot be put back.").arg(op.name));
    op.restored = restoreRemovedFiles(*store_, *entry, gameFolders());
    entry->restored = true;
    store_->update(*entry);
}

void HistoryController::redoDeletion(Operation& op)
{
    QStringList stayed;
    for (const KeptFile& file : op.restored) {
        QString reason;
        if (deleteFile(file.path, &reason, &file.identity) != DeleteResult::Deleted)
            stayed << pathText(file.path) + QStringLiteral(": ") + reason;
    }
    if (std::optional<BackupEntry> entry = backupStore().entry(op.entryId)) {
        entry->restored = false;
        store_->update(*entry);
    }
    if (!stayed.isEmpty())
        throw Exception(tr("Not every file of %1 could be deleted again; these stay:\n%2").arg(op.name, stayed.join(QLatin1Char('\n'))));
}

std::vector<BackupEntry> HistoryController::keptDeletions() const
{
    std::vector<BackupEntry> kept;
    if (!store_ && folders_.historyDirectory.isEmpty())
        return kept;
    const BackupStore store(dataHome_, folders_.historyDirectory, folders_.geneticsDirectory, limits_);
    for (BackupEntry& e : store.entries())
        if (e.kind == BackupKind::Deletion && !e.restored)
            kept.push_back(std::move(e));
    return kept;
}

void HistoryController::restoreDeletion(const QByteArray& id)
{
    std::optional<BackupEntry> entry = backupStore().entry(id);
    if (!entry)
        throw Exception(tr("That deletion is no longer in the store."));
    try {
        restoreRemovedFiles(*store_, *entry, gameFolders());
    } catch (...) {
        followOwnChange();
        throw;
    }
    entry->restored = true;
    store_->update(*entry);
    // Put back from here, it is no step of the session's history any more.
    for (size_t i = operations_.size(); i-- > 0;)
        if (operations_[i].entryId == id)
            drop(i);
    followOwnChange();
}

void HistoryController::forgetKept(const std::vector<QByteArray>& ids)
{
    for (const QByteArray& id : ids) {
        backupStore().remove(id);
        for (size_t i = operations_.size(); i-- > 0;)
            if (operations_[i].entryId == id && operations_[i].kind == BackupKind::Deletion)
                drop(i);
    }
}

WorldStatistics HistoryController::statistics(const std::vector<int>* counted)
{
    const std::vector<RecordFigures> figures = model_->figures();
    if (!lineage_) {
        // The figures hold the keys: the index is made from them, without
        // reading every record a second time.
        std::vector<RecordKey> keys;
        keys.reserve(figures.size());
        for (const RecordFigures& f : figures)
            keys.push_back(f.key);
        lineage_ = std::make_unique<LineageIndex>(keys);
    }
    return computeWorldStatistics(figures, *lineage_, counted);
}

void HistoryController::exportList(const QString& path, const std::vector<int>& rows) const
{
    replaceFile(encodePath(path), listAsCsv(*model_, rows, folders_.historyDirectory, folders_.geneticsDirectory));
}

FamilyBook HistoryController::exportFamilyBook(const QString& folder, const FamilyBookOptions& options)
{
    return writeFamilyBook(folder, *model_, lineage(), folders_.historyDirectory, options);
}
