// The main window: every creature of the history as one row, the menus, and
// the commands on the selected creature. It builds the menus, enables the
// commands from the selection, forwards each command to the history
// controller or a dialog, and shows the results; the list, the find bar,
// the family tree and the status notices follow the controller.
#pragma once

#include "platform/Installation.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

namespace Ui {
class MainWindow;
}
class CreatureListView;
class DeleteCreatureDialog;
class EditCreatureDialog;
class FindBar;
class FindFilterModel;
class HistoryController;
class PhotoAlbumDialog;
class QLabel;
class StatisticsWindow;
class QSettings;

inline constexpr const char* kApplicationTitle = "Vivarion2 History Viewer";

// What the main window needs of start-up: where the game is, and where a
// choice of installation and the window's place are remembered (none: not
// remembered).
struct StartContext {
    InstallationSource source;
    QSettings* settings = nullptr;
    QString home;  // searched for launchers' prefixes by "Open Installation..."
    // The user's data folder, where the safety net keeps its copies; when
    // empty, the XDG one of `home`.
    QByteArray dataHome = {};
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Fills the list from the installation the context names, then creates
    // the delete, edit and album dialogs, in that order. Throws
    // NoInstallationError (after the user has seen the message) when the
    // game's registry key is missing.
    explicit MainWindow(StartContext context, QWidget* parent = nullptr);
    ~MainWindow() override;

    HistoryController* controller() const { return controller_; }
    CreatureListView* creatureList() const;

signals:
    // The game's installation has gone (found missing at a refill); the user
    // has seen the message and the window is hidden. The program ends with
    // exit code 1.
    void installationLost();

public slots:
    void openInstallation();
    void reread();
    void exportList();
    void exportFamilyBook();
    void find();
    void showFamilyTree();
    void showContactSheet();
    void showStatistics();
    void restoreDeleted();
    void undo();
    void redo();
    void deleteCreature();
    void editCreature();
    void viewPhotoAlbum();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectActions();
    void setUpStatusBar();
    // The commands that act on a creature are enabled while one is selected.
    void updateActions();
    void updateUndoActions();
    void showNotices();
    // Runs a command body: an error is shown; a lost installation ends the
    // program after its message.
    void command(const std::function<void()>& body);
    // The selected creature's row, after the "no album" message where the
    // command needs its album; -1 when there is nothing to do.
    int selectedCreature(bool needsAlbum);
    void selectCreature(int row);

    std::unique_ptr<Ui::MainWindow> ui;
    StartContext context_;
    HistoryController* controller_ = nullptr;
    FindFilterModel* filter_ = nullptr;
    FindBar* findBar_ = nullptr;
    QLabel* staleNotice_ = nullptr;
    QLabel* problemNotice_ = nullptr;
    DeleteCreatureDialog* deleteDialog_ = nullptr;
    EditCreatureDialog* editDialog_ = nullptr;
    PhotoAlbumDialog* albumDialog_ = nullptr;
    QPointer<StatisticsWindow> statisticsWindow_;
    bool keepOnScreen_ = false;
};
