// Editing a record: filling the dialog, the gravestone choice, acceptance
// that writes and rebuilds, and the mends that keep data from being lost.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/ImageBox.h"
#include "browser/EditCreatureDialog.h"
#include "history/CreatureFiles.h"
#include "platform/TextCodec.h"
#include "sprites/SpriteImage.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <csignal>
#include <sys/resource.h>

namespace {

HistoryRecord load(const QString& path)
{
    HistoryRecord e;
    e.loadFromFile(encodePath(path));
    return e;
}

// The dialog's controls, found by their names as a user finds them by sight.
struct EditView {
    explicit EditView(EditCreatureDialog* shown)
        : dialog(shown),
          moniker(child<QLineEdit>(dialog, "monikerEdit")),
          displayName(child<QLineEdit>(dialog, "nameEdit")),
          ownerName(child<QLineEdit>(dialog, "ownerNameEdit")),
          ownerUrl(child<QLineEdit>(dialog, "ownerUrlEdit")),
          ownerEMail(child<QLineEdit>(dialog, "ownerEmailEdit")),
          epitaph(child<QPlainTextEdit>(dialog, "epitaphEdit")),
          ownerNotes(child<QPlainTextEdit>(dialog, "ownerNotesEdit")),
          chooseStone(child<QPushButton>(dialog, "chooseButton")),
          button2(child<QPushButton>(dialog, "cancelButton")),
          button3(child<QPushButton>(dialog, "acceptButton")),
          graveImage(child<ImageBox>(dialog, "photoImage"))
    {
    }
    std::int32_t chosenStone() const { return dialog->editResult().chosenStone; }

    EditCreatureDialog* dialog;
    QLineEdit *moniker, *displayName, *ownerName, *ownerUrl, *ownerEMail;
    QPlainTextEdit *epitaph, *ownerNotes;
    QPushButton *chooseStone, *button2, *button3;
    ImageBox* graveImage;
};

void click(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Replaces a box's text by typing: select all, then one key per character
// (Enter for a line break).
void type(QWidget* box, const QString& text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() ? 2 : 1;
        const QString ch = text.mid(i, n);
        const int key = ch == "\n" ? int(Qt::Key_Return) : 0;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key ? QString() : ch);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, key ? QString() : ch);
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
        i += n - 1;
    }
}

// Pastes a long text in place of a box's text, as a user would.
void paste(QWidget* box, const QString& text)
{
    QApplication::clipboard()->setText(text);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

}  // namespace

class EditEntry : public GuiTest {
protected:
    QString hist(const char* moniker) const { return viewer->controller()->historyDirectory() + kHistoryFilePrefix + moniker; }

    // Stores a changed copy of a sample record before the list is filled.
    void rewrite(const char* moniker, const std::function<void(HistoryRecord&)>& change)
    {
        HistoryRecord e = creature(moniker).entry;
        change(e);
        e.fileName = encodePath(world.historyDir) + kHistoryFilePrefix + moniker;
        e.saveToFile();
    }

    // Opens the dialog on the creature, lets `act` work in it, then presses
    // "Accept Edit" (accept) or "Cancel Edit".
    void edit(const QByteArray& moniker, const std::function<void(const EditView&)>& act, bool accept = true)
    {
        select(rowOf(moniker));
        whenModal([&, accept](QWidget* w) {
            auto* dialog = qobject_cast<EditCreatureDialog*>(w);
            ASSERT_TRUE(dialog);
            const EditView d(dialog);
            act(d);
            click(accept ? d.button3 : d.button2);
        });
        trigger("editAction");
    }

    struct State {
        bool chooseEnabled = false;
        QImage picture;
        int chosen = -9;
    };
    static State look(const EditView& d) { return {d.chooseStone->isEnabled(), d.graveImage->picture(), d.chosenStone()}; }
};

TEST_F(EditEntry, TheDialogShowsTheRecordsTextsAndItsLook)
{
    openWindows();
    QStringList texts;
    QString title;
    Qt::WindowFlags flags;
    bool openAfterKeys = false;
    edit("ACCE", [&](const EditView& d) {
        title = d.dialog->windowTitle();
        flags = d.dialog->windowFlags();
        texts = {d.moniker->text(), d.displayName->text(), d.epitaph->toPlainText(), d.ownerName->text(),
                 d.ownerUrl->text(), d.ownerEMail->text(), d.ownerNotes->toPlainText()};
        for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(d.displayName, &press);
        }
        openAfterKeys = d.dialog->isVisible();
    }, false);
    EXPECT_EQ(title, "Editing a Creature Entry");
    EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint));
    EXPECT_TRUE(openAfterKeys) << "neither Enter nor Esc ends the dialog";
    const HistoryRecord& e = creature("ACCE").entry;
    EXPECT_EQ(texts, (QStringList{"ACCE", decodeText(e.displayName), decodeText(e.epitaph), decodeText(e.ownerName),
                                  decodeText(e.ownerUrl), decodeText(e.ownerEMail), decodeText(e.ownerNotes)}));
}

TEST_F(EditEntry, TheDialogOpensAtItsDesignPosition)
{
    openWindows();
    QPoint at;
    edit("TOVA", [&](const EditView& d) { at = d.dialog->pos(); }, false);
    EXPECT_EQ(at, QPoint(293, 104));
}

// A one-line box holds all that a record can hold: nothing is cut on the
// way through the dialog, and more than the record can store is refused.
TEST_F(EditEntry, LongOneLineTextsAreKeptWholeOrRefused)
{
    rewrite("TOVA", [](HistoryRecord& e) { e.ownerName = QByteArray(40000, 'o'); });
    openWindows();
    edit("TOVA", [](const EditView& d) {
        d.ownerName->setFocus();
        QTest::keyClick(d.ownerName, Qt::Key_End);
        QTest::keyClick(d.ownerName, 'X');
    });
    EXPECT_EQ(load(hist("TOVA")).ownerName, QByteArray(40000, 'o') + "X");

    const QByteArray before = readAll(hist("TOVA"));
    QList<SeenBox> boxes;
    edit("TOVA", [&](const EditView& d) {
        paste(d.ownerUrl, QString(70000, QLatin1Char('u')));
        EXPECT_EQ(d.ownerUrl->text().size(), 70000);
        BoxCollector collector;
        click(d.button3);
        boxes = collector.boxes;
    }, false);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].text.contains("Owner URL")) << boxes[0].text.toStdString();
    EXPECT_EQ(readAll(hist("TOVA")), before);
}

TEST_F(EditEntry, AOneLineBoxKeepsTheRecordsLineBreaksWhenEdited)
{
    rewrite("TOVA", [](HistoryRecord& e) { e.ownerEMail = "first\r\nsecond"; });
    openWindows();
    edit("TOVA", [](const EditView& d) {
        d.ownerEMail->setFocus();
        QTest::keyClick(d.ownerEMail, Qt::Key_End);
        QTest::keyClick(d.ownerEMail, 'X');
    });
    EXPECT_EQ(load(hist("TOVA")).ownerEMail, "first\r\nsecondX");
}

TEST_F(EditEntry, ADeadCreatureWithoutChoiceStartsAtTheFirstPhoto)
{
    openWindows();
    State s;
    edit("SKDR", [&](const EditView& d) { s = look(d); });
    EXPECT_TRUE(s.chooseEnabled);
    EXPECT_EQ(s.chosen, 0);
    EXPECT_EQ(s.picture, sampleAlbumImage("SKDR", 3, 0, pl555));
    EXPECT_EQ(load(hist("SKDR")).gravestoneIndex, 0);
}

TEST_F(EditEntry, ALivingCreatureWithoutChoiceKeepsNone)
{
    openWindows();
    // An earlier opening leaves a picture behind; it is cleared, not shown
    // for another creature.
    edit("SKDR", [](const EditView&) {}, false);
    State s;
    edit("TOVA", [&](const EditView& d) { s = look(d); });
    EXPECT_FALSE(s.chooseEnabled);
    EXPECT_TRUE(s.picture.isNull());
    EXPECT_EQ(load(hist("TOVA")).gravestoneIndex, -1);
}

TEST_F(EditEntry, ALivingCreatureWithAChoiceShowsIt)
{
    rewrite("TOVA", [](HistoryRecord& e) { e.gravestoneIndex = 1; });
    openWindows();
    State s;
    edit("TOVA", [&](const EditView& d) { s = look(d); }, false);
    EXPECT_TRUE(s.chooseEnabled);
    EXPECT_EQ(s.picture, sampleAlbumImage("TOVA", 5, 1, pl565));
}

TEST_F(EditEntry, ChooseStepsThroughTheAlbumAndWrapsToTheFirst)
{
    openWindows();
    std::vector<int> seen;
    QImage last;
    edit("BRDN", [&](const EditView& d) {  // album of 3, stored choice 2
        seen.push_back(d.chosenStone());
        for (int i = 0; i < 2; ++i) {
            click(d.chooseStone);
            seen.push_back(d.chosenStone());
        }
        last = d.graveImage->picture();
    });
    EXPECT_EQ(seen, (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(last, sampleAlbumImage("BRDN", 3, 1, pl565));
    EXPECT_EQ(load(hist("BRDN")).gravestoneIndex, 1);

    seen.clear();
    edit("ONE1", [&](const EditView& d) {
        for (int i = 0; i < 3; ++i) {
            click(d.chooseStone);
            seen.push_back(d.chosenStone());
        }
    }, false);
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 0}));
}

TEST_F(EditEntry, AnAlbumThatShrinksWhileOpenNeverYieldsAnIndexOutsideIt)
{
    openWindows();
    edit("BRDN", [&](const EditView& d) {
        writeWholeFile(world.historyDir + "photo_BRDN.s16", encodeS16(sampleAlbum("BRDN", 2), pl565));
        click(d.chooseStone);  // 3 is past the end of an album of 2
        EXPECT_EQ(d.chosenStone(), 0);
    });
    EXPECT_EQ(load(hist("BRDN")).gravestoneIndex, 0);
}

TEST_F(EditEntry, ACreatureWhoseAlbumIsNotOpenedKeepsItsStoredChoice)
{
    rewrite("YREX", [](HistoryRecord& e) { e.gravestoneIndex = 1; });
    openWindows();
    for (const char* moniker : {"YREX", "GR05", "GRM3"}) {  // exported; no album; -3
        const std::int32_t before = load(hist(moniker)).gravestoneIndex;
        State s;
        edit(moniker, [&](const EditView& d) { s = look(d); });
        EXPECT_FALSE(s.chooseEnabled) << moniker;
        EXPECT_EQ(load(hist(moniker)).gravestoneIndex, before) << moniker;
    }
}

TEST_F(EditEntry, AnAlbumThatCannotBeShownStillLetsTheTextsBeEdited)
{
    rewrite("BRDN", [](HistoryRecord& e) { e.gravestoneIndex = 3; });  // album of 3
    openWindows();
    struct {
        const char* moniker;
        QString error;
        std::int32_t stored;
    } cases[] = {{"BRDN", "List Index Out of Bounds", 3},
                 {"EMPT", "List Index Out of Bounds", -1},
                 {"DAGP", "Unable to open file " + viewer->controller()->historyDirectory() + "photo_DAGP.s16", -1}};
    for (const auto& c : cases) {
        // Gone after the list was filled (each acceptance fills it again).
        if (QByteArray(c.moniker) == "DAGP")
            QFile::remove(world.historyDir + "photo_DAGP.s16");
        SeenBox error;
        answerBox(QMessageBox::Ok, &error);
        State s;
        edit(c.moniker, [&](const EditView& d) {
            s = look(d);
            type(d.ownerName, "New owner");
        });
        EXPECT_EQ(error.text, c.error) << c.moniker;
        EXPECT_FALSE(s.chooseEnabled) << c.moniker;
        const HistoryRecord saved = load(hist(c.moniker));
        EXPECT_EQ(saved.ownerName, "New owner") << c.moniker;
        EXPECT_EQ(saved.gravestoneIndex, c.stored) << c.moniker;
    }
}

TEST_F(EditEntry, CancellingWritesNothing)
{
    openWindows();
    const QByteArray before = readAll(hist("SKDR"));
    const QDateTime stamp = QFileInfo(hist("SKDR")).lastModified();
    edit("SKDR", [](const EditView& d) {
        type(d.displayName, "Not kept");
        click(d.chooseStone);
        click(d.chooseStone);
    }, false);
    EXPECT_EQ(readAll(hist("SKDR")), before);
    EXPECT_EQ(QFileInfo(hist("SKDR")).lastModified(), stamp);
    EXPECT_EQ(model()->record(rowOf("SKDR")).displayName, "Sorrel");
    EXPECT_EQ(model()->record(rowOf("SKDR")).gravestoneIndex, -1);
}

TEST_F(EditEntry, WithNoRowSelectedCtrlEDoesNothing)
{
    openWindows();
    focusList();
    expectNothingHappens([this] { press(Qt::Key_E, Qt::ControlModifier); });
}

TEST_F(EditEntry, AcceptingUnchangedRewritesTheSameBytesAndRebuilds)
{
    // Dead creatures with a chosen photo, so acceptance has nothing to change.
    rewrite("ACCE", [](HistoryRecord& e) { e.gravestoneIndex = 0; });
    rewrite("MULT", [](HistoryRecord& e) { e.gravestoneIndex = 0; });
    openWindows();
    for (const char* moniker : {"TOVA", "ACCE", "LONG", "MULT"}) {
        const QByteArray before = readAll(hist(moniker));
        edit(moniker, [](const EditView&) {});
        EXPECT_EQ(readAll(hist(moniker)), before) << moniker;
        EXPECT_EQ(list()->selectedRow(), rowOf(moniker)) << "the creature edited stays selected";
    }
}

TEST_F(EditEntry, ANewNameIsShownAfterTheRebuild)
{
    openWindows();
    edit("TOVA", [](const EditView& d) { type(d.displayName, QString::fromUtf16(u"Tavi the B\u00f6ld")); });
    EXPECT_EQ(cellText(rowOf("TOVA"), 0), QString::fromUtf16(u"Tavi the B\u00f6ld"));
    EXPECT_EQ(load(hist("TOVA")).displayName, "Tavi the B\xF6ld");
}

TEST_F(EditEntry, LineBreaksAreStoredAsCarriageReturnAndLineFeed)
{
    openWindows();
    edit("TOVA", [](const EditView& d) { type(d.epitaph, "one\ntwo\nthree"); });
    EXPECT_EQ(load(hist("TOVA")).epitaph, "one\r\ntwo\r\nthree");
    QString shown;
    int blocks = 0;
    edit("TOVA", [&](const EditView& d) {
        shown = d.epitaph->toPlainText();
        blocks = d.epitaph->document()->blockCount();
    }, false);
    EXPECT_EQ(shown, "one\ntwo\nthree");
    EXPECT_EQ(blocks, 3);
}

TEST_F(EditEntry, BoxesLeftAloneGiveBackTheirExactBytes)
{
    const QByteArray odd("\x81 zero\0inside\r lone CR\n lone LF", 31);
    rewrite("TOVA", [&](HistoryRecord& e) {
        e.ownerUrl = odd;
        e.ownerNotes = odd;
        e.epitaph = QByteArray("tab\there", 8);
    });
    openWindows();
    edit("TOVA", [](const EditView& d) { type(d.displayName, "Changed"); });
    const HistoryRecord saved = load(hist("TOVA"));
    EXPECT_EQ(saved.displayName, "Changed");
    EXPECT_EQ(saved.ownerUrl, odd);
    EXPECT_EQ(saved.ownerNotes, odd);
    EXPECT_EQ(saved.epitaph, QByteArray("tab\there", 8));
}

TEST_F(EditEntry, TextTheRecordCannotHoldIsRefusedNamingTheField)
{
    openWindows();
    const QByteArray before = readAll(hist("TOVA"));
    QList<SeenBox> boxes;
    bool openAfter = false;
    edit("TOVA", [&](const EditView& d) {
        type(d.epitaph, QString::fromUtf16(u"Snow \u2603 man"));
        {
            BoxCollector collector;
            click(d.button3);
            openAfter = d.dialog->isVisible();
            type(d.epitaph, "fine");
            paste(d.ownerNotes, QString(70000, QLatin1Char('n')));
            click(d.button3);
            openAfter = openAfter && d.dialog->isVisible();
            boxes = collector.boxes;
        }
    }, false);
    EXPECT_TRUE(openAfter);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[0].text.contains("Epitaph")) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(QChar(0x2603)));
    EXPECT_TRUE(boxes[1].text.contains("Owner Notes")) << boxes[1].text.toStdString();
    EXPECT_TRUE(boxes[1].text.contains("65535"));
    EXPECT_EQ(readAll(hist("TOVA")), before);
}

namespace {

// While it lives, no file of more than `bytes` can be written by this
// process: a write past it fails as on a full disk (EFBIG), with the signal
// that would end the process ignored.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

}  // namespace

TEST_F(EditEntry, AFailedSaveKeepsTheOldFileAndTheEditForARetry)
{
    openWindows();
    const QString path = hist("TOVA");
    const QByteArray before = readAll(path);
    SeenBox error;
    const int rows = listedRows();
    {
        const FileSizeLimit diskFull(100);
        edit("TOVA", [&](const EditView& d) {
            type(d.displayName, "Edited");
            answerBox(QMessageBox::Ok, &error);  // the save's error, once the dialog has closed
        });
    }
    EXPECT_TRUE(error.text.contains(path)) << error.text.toStdString();
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(listedRows(), rows);
    EXPECT_EQ(cellText(rowOf("TOVA"), 0), "Tavi") << "no rebuild after a failed save";
    EXPECT_EQ(model()->record(rowOf("TOVA")).displayName, "Edited");

    // With room on the disk again, accepting again saves the edit.
    QString shown;
    edit("TOVA", [&](const EditView& d) { shown = d.displayName->text(); });
    EXPECT_EQ(shown, "Edited");
    EXPECT_EQ(load(path).displayName, "Edited");
    EXPECT_NE(readAll(path), before);
}

// The game rewrote the record (a death, say) while the dialog was open: the
// edit writes nothing, says so, and the list shows the game's record.
TEST_F(EditEntry, ARecordTheGameChangedMeanwhileIsNotOverwritten)
{
    openWindows();
    HistoryRecord died = creature("TOVA").entry;
    died.state = csDead;
    died.registered = true;
    died.fileName = encodePath(hist("TOVA"));
    SeenBox told;
    edit("TOVA", [&](const EditView& d) {
        died.saveToFile();  // the game's write
        type(d.epitaph, "Written by the user");
        type(d.displayName, "Never saved");
        answerBox(QMessageBox::Ok, &told);
    });
    EXPECT_TRUE(told.text.contains("The game changed the history record of " + decodeText(died.displayName)))
        << told.text.toStdString();
    EXPECT_TRUE(told.text.contains(hist("TOVA"))) << told.text.toStdString();
    EXPECT_EQ(load(hist("TOVA")), died);
    EXPECT_EQ(cellText(rowOf("TOVA"), 6), "Dead") << "the list shows the record as it is now";

    // Edited again, the change is saved over the game's record.
    edit("TOVA", [](const EditView& d) { type(d.epitaph, "Written by the user"); });
    EXPECT_EQ(load(hist("TOVA")).epitaph, "Written by the user");
    EXPECT_EQ(load(hist("TOVA")).state, csDead);
}

// A record that is a link to a file elsewhere is listed, but an edit never
// writes through it.
TEST_F(EditEntry, ARecordThatIsALinkIsNeverWrittenThrough)
{
    QTemporaryDir elsewhere;
    const QString precious = elsewhere.filePath("precious");
    HistoryRecord other = creature("GEN1").entry;
    other.moniker = {'L', 'I', 'N', 'K'};
    other.fileName = encodePath(precious);
    other.saveToFile();
    const QByteArray preciousBytes = readAll(precious);
    ASSERT_TRUE(QFile::link(precious, world.historyDir + "cr_LINK"));
    openWindows();
    ASSERT_GE(rowOf("LINK"), 0);
    SeenBox error;
    edit("LINK", [&](const EditView& d) {
        type(d.displayName, "Changed");
        answerBox(QMessageBox::Ok, &error);
    });
    EXPECT_TRUE(error.text.contains("symbolic link")) << error.text.toStdString();
    EXPECT_EQ(readAll(precious), preciousBytes);
    EXPECT_TRUE(QFileInfo(world.historyDir + "cr_LINK").isSymLink());
}
