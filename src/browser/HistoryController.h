// The history the program shows, and everything done to it: the one source
// of truth the windows follow. It owns the installation, the list's model
// (filled and refilled here), the watch on the game's folders and the
// lineage index, and it runs the operations: save an edit, delete a
// creature's files, export. It has no widgets; it says what changed, and
// the windows follow.
#pragma once

#include "browser/CreatureListModel.h"
#include "browser/Exports.h"
#include "history/CreatureFiles.h"
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
    explicit HistoryController(InstallationSource source, QObject* parent = nullptr);
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
    // the record as it is. Throws FileCreateError when the save fails; the
    // record then keeps the edit for another try.
    bool saveEdit(int row, const std::function<void(HistoryRecord&)>& edit);
    // Deletes the chosen files of a row's creature and says what became of
    // each; the list follows (the row goes with its record, a badge with its
    // file; the list is refilled when the game changed the record).
    std::vector<FileDeletion> deleteFiles(int row, bool album, bool genetics, bool history);

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

private:
    enum class Reading { Everything, WhatChanged };
    // The fill, or after the program's own change a rebuild that reads
    // again only the records whose files changed (and new ones), as fast as
    // a user expects an edit to be.
    void fill(Reading reading);
    void rebuild();
    void setProblems(QStringList problems, QStringList places);

    InstallationSource source_;
    Installation folders_;
    CreatureListModel* model_;
    DirectoryWatch* watch_;
    std::unique_ptr<LineageIndex> lineage_;
    QStringList problems_, problemPlaces_;
};
