// Start-up: the command line, finding the game, the application title and
// the four windows in their order, and the event loop.
#pragma once

#include "browser/CommandLine.h"
#include "platform/Installation.h"
#include "platform/Launchers.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QApplication;
class QSettings;
class QWidget;
class MainWindow;
struct StartContext;

// Sets the application's names and icon.
void setUpApplication(QApplication& app);

// Creates the main window (which fills the list, then makes its three
// dialogs). Throws NoInstallationError when the game is missing; the user
// has then seen the message.
std::unique_ptr<MainWindow> createWindows(const StartContext& context);

// Where start-up finds the game:
//   --history-dir/--genetics-dir, else --prefix, else $WINEPREFIX (each used
//   as given: a prefix without the game is reported by the lookup);
//   else the installation chosen last time, while it still holds the game;
//   else ~/.wine when it holds the game;
//   else the one prefix of a launcher that holds it, or the user's choice
//   among several (remembered).
struct StartChoice {
    std::optional<InstallationSource> source;
    std::vector<FoundInstallation> found;  // what the launcher search found, when it was made
    bool cancelled = false;  // several were found and the user chose none
    QStringList searched;    // every place looked in
};
// The same without asking: with several found and none settled on, no
// source (`found` lists them).
StartChoice findStartInstallation(const StartOptions& options, QSettings* settings, const QString& home);
StartChoice chooseStartInstallation(const StartOptions& options, QSettings* settings, const QString& home,
                                     QWidget* parent = nullptr);

// The whole program once the application object exists and the command line
// is read: names, the installation, windows, the event loop. Returns the
// exit code (1 when the game is missing).
// `settings` may be null (then nothing is remembered).
int runLifeledger(QApplication& app, const StartOptions& options, QSettings* settings);

// main(): reads the command line (answering --help, --version and mistakes
// without a display), makes the application and runs it. `prepared` runs
// once the application object exists (test programs add to it there).
int lifeledgerMain(int argc, char** argv, const std::function<void(QApplication&)>& prepared = {});
