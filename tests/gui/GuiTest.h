// Support for tests that drive the real windows offscreen: a fresh sample
// installation per test, the four windows, and answers to modal dialogs.
#pragma once

#include "browser/Startup.h"
#include "browser/unitLifeledger.h"
#include "sampleworld/SampleWorld.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// What a message box showed before a test answered it.
struct TSeenBox {
    QString Title;
    QString Text;
    QString Details;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    Qt::TextFormat Format = Qt::AutoText;
    QMessageBox::StandardButtons Buttons;
    QMessageBox::StandardButton Default = QMessageBox::NoButton;
};

// The text the tooltip shows now (its rich text read as a user sees it),
// or "" when none is shown.
QString ShownToolTip();

// Runs handler on the next modal widget once it is on screen (from a timer,
// so it works while a dialog's own event loop runs). Handlers may chain.
void WhenModal(std::function<void(QWidget*)> handler);

// Answers the next message box with `answer`, recording it in *seen.
void AnswerBox(QMessageBox::StandardButton answer, TSeenBox* seen = nullptr);

// Answers every message box that appears with its default button until
// StopAnsweringBoxes, recording them; for steps that may show errors.
class TBoxCollector {
public:
    TBoxCollector();
    ~TBoxCollector();
    QList<TSeenBox> Boxes;

private:
    class QTimer* timer_;
};

// The picture the sample generator drew for photo `index` of the creature's
// album, stored in `layout`, as the 5-6-5 image the dialogs show.
QImage SampleAlbumImage(const QByteArray& moniker, int photos, int index, TPixelLayout layout);

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the four windows on the sample installation (or on WINEPREFIX).
    void Open();
    // The row of the creature with that moniker, or -1.
    int RowOf(const QByteArray& moniker) const;
    void Select(int row);
    const TSampleCreature& Creature(const QByteArray& moniker) const;
    QString Text(int row, int column) const;
    int Rows() const;

    // Makes the main window the active one and gives the list the focus as
    // when the window comes up, so that keys and shortcuts reach it as a
    // user's would.
    void FocusList();
    // Presses a key (with modifiers) in the list.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // Opens the edit dialog on the creature and accepts it unchanged (which
    // saves the record and refills the list); `whileOpen` runs first.
    void AcceptEditOf(const QByteArray& moniker, const std::function<void()>& whileOpen = {});

    // Runs a command that must do nothing: no window may open (any that
    // does is closed at once, so the test fails instead of hanging) and no
    // file of the installation may change.
    void ExpectNothingHappens(const std::function<void()>& command);

    QTemporaryDir dir;
    TSampleWorld world;
    std::unique_ptr<THistoryViewer> viewer;
};
