// The history the program shows, and everything done to it: the one source
// of truth the windows follow. It owns the installation, the list's model
// (filled and refilled here), the watch on the game's folders and the
// lineage index, and it runs the operations: save an edit, delete a
// creature's files, export. It has no widgets; it says what changed, and
// the windows follow.
#pragma once

#include "browser/CreatureListModel.h"
#include "browser/Exports.h"
#include "history/BackupStore.h"
#include "history/CreatureFiles.h"
#include "history/WorldStatistics.h"
#include "platform/Installation.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class DirectoryWatch;
class LineageIndex;

class HistoryController : public QObject {
    Q_OBJECT
public:
    // `dataHome` is the user's data folder, where the copies of the safety
    // net are kept (the XDG one when not given).
    explicit HistoryController(InstallationSource source, QObject* parent = nullptr, QByteArray dataHome = {},
                               BackupLimits limits = {});
    ~HistoryController() override;

    CreatureListModel* model() const { return model_; }
    const InstallationSource& source() const { return source_; }
    // The folders of the last fill, as plain prefixes.
    const QByteArray& historyDirectory() const { return folders_.historyDirectory; }
    const QByteArray& geneticsDirectory() const { return folders_.geneticsDirectory; }

    // What the list cannot show or notice now (a history folder that cannot
    // be read, changes that cannot be watched), one short line each, and the
    // folders they concern.
    const QStringList& problems() const { return problems_; }
    const QStringList& problemPlaces() const { return problemPlaces_; }

    // Reads the installation again and fills the list afresh, every record
    // read again (F5), in one reset.
    // Throws NoInstallationError (the place looked in as its details) when
    // the game's key is gone; the list then stays as it was. Records that
    // cannot be read are left out and named afterwards, in an Exception
    // thrown once the list is filled.
    void refill();
    // Shows another installation and remembers nothing itself. False, and
    // nothing changes, when that one no longer holds the game.
    bool switchTo(const InstallationSource& source);

    // Who descends from whom, made when first asked for after a change.
    const LineageIndex& lineage();
    // A row's files: its record by the name it was listed under, its album
    // and genetics file by its moniker (empty where that names no file).
    CreatureFilePaths filesOf(int row) const;

    // Applies the edit to the row's record and saves it over the very file
    // read, then refills. False when the game changed the record since the
    // list was read: nothing was written, and the list is refilled to show
    // the record as it is. Throws FileCreateError when the save fails, or
    // when no copy of the record could be kept first (nothing is replaced
    // without one); the record then keeps the edit for another try.
    bool saveEdit(int row, const std::function<void(HistoryRecord&)>& edit);
    // Deletes the chosen files of a row's creature and says what became of
    // each; the list follows (the row goes with its record, a badge with its
    // file; the list is refilled when the game changed the record). A copy
    // of each is kept first: when one cannot be, Exception says why and
    // nothing is deleted.
    std::vector<FileDeletion> deleteFiles(int row, bool album, bool genetics, bool history);

    // Undo and redo of this session's edits and deletions, newest first.
    // Each step acts only on the very files the operation left: when the
    // game changed one since, or a deleted file's name is taken again, the
    // step does nothing, throws Exception saying so, and leaves the history
    // of steps (the files stay as they are).
    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < operations_.size(); }
    // What the next undo or redo takes back or does again ("Deletion of
    // Tova"); empty when there is none.
    QString undoText() const;
    QString redoText() const;
    void undo();
    void redo();

    // The deletions the safety net keeps for this installation (this
    // session's and earlier ones'), newest first, without those put back.
    std::vector<BackupEntry> keptDeletions() const;
    // Puts a kept deletion's files back, as an undo does.
    void restoreDeletion(const QByteArray& id);
    // Removes kept entries from the store.
    void forgetKept(const std::vector<QByteArray>& ids);
    // The store of this installation (made when first written to).
    const BackupStore& backupStore();

    // The statistics of the rows `counted` (the whole history when null).
    WorldStatistics statistics(const std::vector<int>* counted = nullptr);

    // The rows (model rows, in this order) as CSV, into `path`.
    void exportList(const QString& path, const std::vector<int>& rows) const;
    // The whole history as a family book in `folder`.
    FamilyBook exportFamilyBook(const QString& folder, const FamilyBookOptions& options = {});

signals:
    // The list was filled afresh (the model has been reset).
    void refilled();
    // The game changed its folders since the list was read.
    void historyChangedOnDisk();
    // problems() changed.
    void problemsChanged();
    // What undo and redo would do changed.
    void undoChanged();

private:
    enum class Reading { Everything, WhatChanged };
    // The fill, or after the program's own change a rebuild that reads
    // again only the records whose files changed (and new ones), as fast as
    // a user expects an edit to be.
    void fill(Reading reading);
    void rebuild();
    void setProblems(QStringList problems, QStringList places);
    // A step of the session's undo history.
    struct Operation {
        BackupKind kind = BackupKind::Edit;
        QString name;        // the creature's, for the menu
        QByteArray entryId;  // its copies in the store
        // An edit: the record's path, its bytes before and after, and what
        // the file is since the last step (the save, its undo or redo).
        QByteArray path, before, after;
        FileIdentity current;
        // A deletion undone: the files as put back, for its redo.
        std::vector<KeptFile> restored;
    };
    void push(Operation operation);
    void drop(size_t index);
    static QString stepText(const Operation& operation);
    // Takes a step back (undo) or forward again (redo); a step that fails
    // leaves the history.
    void takeStep(size_t index, bool back);
    // An edit's record put back as it was before the edit, or as the edit
    // made it, over the very file the last step left.
    void putRecord(Operation& operation, bool before);
    void undoDeletion(Operation& operation);
    void redoDeletion(Operation& operation);
    // After the program's own change: the list reads what changed.
    void followOwnChange();
    // The installation's folders, the only places a restore writes into.
    std::vector<QByteArray> gameFolders() const;

    InstallationSource source_;
    Installation folders_;
    CreatureListModel* model_;
    DirectoryWatch* watch_;
    std::unique_ptr<LineageIndex> lineage_;
    QStringList problems_, problemPlaces_;
    QByteArray dataHome_;
    BackupLimits limits_;
    std::unique_ptr<BackupStore> store_;
    std::vector<Operation> operations_;
    size_t done_ = 0;  // operations_[0, done_) are done, the rest undone
};
