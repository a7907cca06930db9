// The main window: every creature of the history directory as one row, and
// the three commands on the selected row.
#pragma once

#include "browser/CreatureListModel.h"
#include "platform/Installation.h"

#include <QMainWindow>
#include <functional>
#include <memory>

namespace Ui {
class MainWindow;
}
class QLabel;
class QMenu;
class QSettings;
class QTreeView;
class DirectoryWatch;
class FamilyTreeWindow;
class FindBar;
class FindFilterModel;
class LineageIndex;
class DeleteCreatureDialog;
class EditCreatureDialog;
class PhotoAlbumDialog;

inline constexpr const char* kApplicationTitle = "Vivarion2 History Viewer";
inline constexpr const char* kNoInstallationCaption =
    QT_TRANSLATE_NOOP("MainWindow", "Lifeledger - No Vivarion 2 Installation found");
inline constexpr const char* kNoInstallationText =
    QT_TRANSLATE_NOOP("MainWindow", "Warning, without Vivarion 2 installed, the Lifeledger is useless.");

// The names of the locale for the life-span column, English where it has none.
DateTimeNames localeDateTimeNames();

// The notice shown while the list is older than the history on the disk.
inline constexpr const char* kStaleNotice =
    QT_TRANSLATE_NOOP("MainWindow", "The game changed the history since it was read: F5 rereads it");

// The message that the game is missing (caption, text, stop icon, OK), with
// the places searched under "Show Details".
void showNoInstallation(QWidget* parent, const QStringList& searched);

// What the main window needs of start-up: where the game is, and where a
// choice of installation is remembered (none: not remembered).
struct StartContext {
    InstallationSource source;
    QSettings* settings = nullptr;
    QString home;  // searched for launchers' prefixes by "Open Installation..."
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Runs FormCreate on the installation the context names. Throws
    // NoInstallationError (after the user has seen the message) when the game's
    // registry key is missing.
    explicit MainWindow(StartContext context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The dialogs, created after the main window and owned by it.
    void setDialogs(DeleteCreatureDialog* deleteEntry, EditCreatureDialog* editEntry, PhotoAlbumDialog* photoAlbum);

    // The installation lookup, the scan of "cr_*" and the fill. Files that
    // cannot be read are skipped; one error lists them after the fill.
    void formCreate();
    // Removes every row and record, then runs FormCreate again.
    void rebuild();

    // The selected row's position in the list's model (and so in
    // EntryRecords), or -1 when none is selected; a find filter in between
    // changes nothing.
    int selectedRow() const;
    // Selects the model's row in the view (showing every row again if the
    // find filter hides it) and scrolls it into view.
    void selectRow(int row);
    // The view's index of a model row (invalid when filtered out).
    QModelIndex viewIndex(int row, int column = 0) const;

    // The paths of a record's album and genetics file; empty when its
    // moniker cannot safely name a file.
    QByteArray albumPath(const HistoryRecord& entry) const;
    QByteArray geneticsPath(const HistoryRecord& entry) const;

    // The installation the list shows; every fill reads it again.
    const InstallationSource& source() const { return context_.source; }

    QTreeView* entries = nullptr;
    CreatureListModel* entryRecords = nullptr;
    QList<QPixmap> entriesImages;
    QMenu* entriesMenu = nullptr;
    QByteArray historyDirectory;
    QByteArray geneticsDirectory;

    DeleteCreatureDialog* deleteEntry = nullptr;
    EditCreatureDialog* editEntry = nullptr;
    PhotoAlbumDialog* photoAlbum = nullptr;

signals:
    // The game's installation has gone (found missing at a rebuild); the
    // user has seen the message and the window is hidden. The program ends
    // with exit code 1.
    void installationLost();

public slots:
    void exit1Click();
    // Asks which installation to show, among those the launchers keep.
    void openInstallation1Click();
    // Reads the list afresh (F5), as after an accepted edit.
    void reread1Click();
    // What the program is and where it is reading now.
    void about1Click();
    // Opens the find bar over the list.
    void find1Click();
    // The selected creature's ancestors and descendants, in a window of their own.
    void familyTree1Click();
    // Every photo of the selected creature's album at a glance.
    void contactSheet1Click();
    // The list as shown, as a CSV file.
    void exportList1Click();
    // The whole history as one HTML page with the photos, in a folder.
    void exportFamilyBook1Click();
    void deleteEntry1Click();
    void editEntries1Click();
    void viewPhotoAlbum1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void lookupInstallation();
    void fitColumns();
    // Runs a command body through the command guard.
    void command(const std::function<void()>& body);

    void showStaleNotice();
    // The status bar, shown while it has something to say.
    void showNotices();
    // The place and size the user left the window at, where there is one.
    void restorePlace();

    std::unique_ptr<Ui::MainWindow> ui;
    StartContext context_;
    DirectoryWatch* watch_ = nullptr;
    FindFilterModel* filter_ = nullptr;
    // Who descends from whom, made when first asked after a fill; a removed
    // row makes it stale.
    const LineageIndex& lineage();
    std::unique_ptr<LineageIndex> lineage_;
    FindBar* findBar_ = nullptr;
    QLabel* staleNotice_ = nullptr;
    QLabel* folderNotice_ = nullptr;
    bool keepOnScreen_ = false;
};
