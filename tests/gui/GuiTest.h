// Support for tests that drive the real windows offscreen: a fresh sample
// installation per test, the four windows, and answers to modal dialogs.
#pragma once

#include "browser/CreatureListModel.h"
#include "browser/CreatureListView.h"
#include "browser/HistoryController.h"
#include "browser/Startup.h"
#include "browser/MainWindow.h"
#include "sampleworld/SampleWorld.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// What a message box showed before a test answered it.
struct SeenBox {
    QString title;
    QString text;
    QString details;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton Default = QMessageBox::NoButton;
};

// The text the tooltip shows now (its rich text read as a user sees it),
// or "" when none is shown.
QString shownToolTip();

// Runs handler on the next modal widget once it is on screen (from a timer,
// so it works while a dialog's own event loop runs). Handlers may chain.
void whenModal(std::function<void(QWidget*)> handler);

// Makes the window the one keys and shortcuts go to, as a click on it
// would, once the window system has caught up (a closed dialog's
// deactivation may still be on its way). False if it never becomes so.
bool activate(QWidget* window);

// Answers the next message box with `answer`, recording it in *seen.
void answerBox(QMessageBox::StandardButton answer, SeenBox* seen = nullptr);

// Answers every message box that appears with its default button until
// StopAnsweringBoxes, recording them; for steps that may show errors.
class BoxCollector {
public:
    BoxCollector();
    ~BoxCollector();
    QList<SeenBox> boxes;

private:
    class QTimer* timer_;
};

// The picture the sample generator drew for photo `index` of the creature's
// album, stored in `layout`, as the 5-6-5 image the dialogs show.
QImage sampleAlbumImage(const QByteArray& moniker, int photos, int index, PixelLayout layout);

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the four windows on the sample installation (or on WINEPREFIX).
    void openWindows();
    CreatureListView* list() const { return viewer->creatureList(); }
    CreatureListModel* model() const { return viewer->controller()->model(); }
    // The row of the creature with that moniker, or -1.
    int rowOf(const QByteArray& moniker) const;
    // Clicks the row (brought into view first), as a user selects it.
    void select(int row);
    // Triggers a command of the main window by its action's name, as its
    // menu item does (a disabled command does nothing).
    void trigger(const char* action);
    const SampleCreature& creature(const QByteArray& moniker) const;
    QString cellText(int row, int column) const;
    int listedRows() const;

    // Makes the main window the active one and gives the list the focus as
    // when the window comes up, so that keys and shortcuts reach it as a
    // user's would.
    void focusList();
    // Presses a key (with modifiers) in the list.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // Opens the edit dialog on the creature and accepts it unchanged (which
    // saves the record and refills the list); `whileOpen` runs first.
    void acceptEditOf(const QByteArray& moniker, const std::function<void()>& whileOpen = {});

    // Runs a command that must do nothing: no window may open (any that
    // does is closed at once, so the test fails instead of hanging) and no
    // file of the installation may change.
    void expectNothingHappens(const std::function<void()>& command);

    QTemporaryDir dir;
    SampleWorld world;
    std::unique_ptr<MainWindow> viewer;
};
