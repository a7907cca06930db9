// The main window: every creature of the history directory as one row, and
// the three commands on the selected row.
#pragma once

#include "browser/EntryRecords.h"
#include "platform/Installation.h"

#include <QMainWindow>
#include <functional>
#include <memory>

namespace Ui {
class THistoryViewer;
}
class QLabel;
class QMenu;
class QSettings;
class QTreeView;
class TDirectoryWatch;
class TFamilyTree;
class TFindBar;
class TFindFilter;
class TLineageIndex;
class TDeleteEntry;
class TEditEntry;
class TPhotoAlbum;

inline constexpr const char* kApplicationTitle = "Vivarion2 History Viewer";
inline constexpr const char* kNoInstallationCaption =
    QT_TRANSLATE_NOOP("THistoryViewer", "Lifeledger - No Vivarion 2 Installation found");
inline constexpr const char* kNoInstallationText =
    QT_TRANSLATE_NOOP("THistoryViewer", "Warning, without Vivarion 2 installed, the Lifeledger is useless.");

// The names of the locale for the life-span column, English where it has none.
TDateTimeNames LocaleDateTimeNames();

// The notice shown while the list is older than the history on the disk.
inline constexpr const char* kStaleNotice =
    QT_TRANSLATE_NOOP("THistoryViewer", "The game changed the history since it was read: F5 rereads it");

// The message that the game is missing (caption, text, stop icon, OK), with
// the places searched under "Show Details".
void ShowNoInstallation(QWidget* parent, const QStringList& searched);

// What the main window needs of start-up: where the game is, and where a
// choice of installation is remembered (none: not remembered).
struct TStartContext {
    TInstallationSource Source;
    QSettings* Settings = nullptr;
    QString Home;  // searched for launchers' prefixes by "Open Installation..."
};

class THistoryViewer : public QMainWindow {
    Q_OBJECT
public:
    // Runs FormCreate on the installation the context names. Throws
    // ENoInstallation (after the user has seen the message) when the game's
    // registry key is missing.
    explicit THistoryViewer(TStartContext context, QWidget* parent = nullptr);
    ~THistoryViewer() override;

    // The dialogs, created after the main window and owned by it.
    void SetDialogs(TDeleteEntry* deleteEntry, TEditEntry* editEntry, TPhotoAlbum* photoAlbum);

    // The installation lookup, the scan of "cr_*" and the fill. Files that
    // cannot be read are skipped; one error lists them after the fill.
    void FormCreate();
    // Removes every row and record, then runs FormCreate again.
    void Rebuild();

    // The selected row's position in the list's model (and so in
    // EntryRecords), or -1 when none is selected; a find filter in between
    // changes nothing.
    int SelectedRow() const;
    // Selects the model's row in the view (showing every row again if the
    // find filter hides it) and scrolls it into view.
    void SelectRow(int row);
    // The view's index of a model row (invalid when filtered out).
    QModelIndex ViewIndex(int row, int column = 0) const;

    // The paths of a record's album and genetics file; empty when its
    // moniker cannot safely name a file.
    QByteArray AlbumPath(const THistoryEntry& entry) const;
    QByteArray GeneticsPath(const THistoryEntry& entry) const;

    // The installation the list shows; every fill reads it again.
    const TInstallationSource& Source() const { return context_.Source; }

    QTreeView* Entries = nullptr;
    TEntryRecords* EntryRecords = nullptr;
    QList<QPixmap> EntriesImages;
    QMenu* EntriesMenu = nullptr;
    QByteArray HistoryDirectory;
    QByteArray GeneticsDirectory;

    TDeleteEntry* DeleteEntry = nullptr;
    TEditEntry* EditEntry = nullptr;
    TPhotoAlbum* PhotoAlbum = nullptr;

signals:
    // The game's installation has gone (found missing at a rebuild); the
    // user has seen the message and the window is hidden. The program ends
    // with exit code 1.
    void InstallationLost();

public slots:
    void Exit1Click();
    // Asks which installation to show, among those the launchers keep.
    void OpenInstallation1Click();
    // Reads the list afresh (F5), as after an accepted edit.
    void Reread1Click();
    // What the program is and where it is reading now.
    void About1Click();
    // Opens the find bar over the list.
    void Find1Click();
    // The selected creature's ancestors and descendants, in a window of their own.
    void FamilyTree1Click();
    // Every photo of the selected creature's album at a glance.
    void ContactSheet1Click();
    // The list as shown, as a CSV file.
    void ExportList1Click();
    // The whole history as one HTML page with the photos, in a folder.
    void ExportFamilyBook1Click();
    void DeleteEntry1Click();
    void EditEntries1Click();
    void ViewPhotoAlbum1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void LookupInstallation();
    void FitColumns();
    // Runs a command body through the command guard.
    void Command(const std::function<void()>& body);

    void ShowStaleNotice();
    // The status bar, shown while it has something to say.
    void ShowNotices();
    // The place and size the user left the window at, where there is one.
    void RestorePlace();

    std::unique_ptr<Ui::THistoryViewer> ui;
    TStartContext context_;
    TDirectoryWatch* watch_ = nullptr;
    TFindFilter* filter_ = nullptr;
    // Who descends from whom, made when first asked after a fill; a removed
    // row makes it stale.
    const TLineageIndex& Lineage();
    std::unique_ptr<TLineageIndex> lineage_;
    TFindBar* findBar_ = nullptr;
    QLabel* staleNotice_ = nullptr;
    QLabel* folderNotice_ = nullptr;
    bool keepOnScreen_ = false;
};
