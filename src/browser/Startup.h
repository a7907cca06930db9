// Start-up: the application title and the four windows in their order.
#pragma once

#include <memory>

class QApplication;
class THistoryViewer;

// Sets the application's names and icon.
void SetUpApplication(QApplication& app);

// Creates HistoryViewer (which fills the list), then DeleteEntry, EditEntry
// and PhotoAlbum, owned by the main window. Throws ENoInstallation when the
// game is missing; the user has then seen the message.
std::unique_ptr<THistoryViewer> CreateWindows();

// The whole program once the application object exists: names, windows, the
// event loop. Returns the exit code (1 when the game is missing).
int RunLifeledger(QApplication& app);
