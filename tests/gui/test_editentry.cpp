// Editing a record: filling the dialog, the gravestone choice, acceptance
// that writes and rebuilds, and the mends that keep data from being lost.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/ImageBox.h"
#include "browser/unitEditEntry.h"
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

THistoryEntry Load(const QString& path)
{
    THistoryEntry e;
    e.LoadFromFile(EncodePath(path));
    return e;
}

// The dialog's controls, found by their names as a user finds them by sight.
struct TEditView {
    explicit TEditView(TEditEntry* dialog)
        : Dialog(dialog),
          Moniker(Child<QLineEdit>(dialog, "Moniker")),
          DisplayName(Child<QLineEdit>(dialog, "DisplayName")),
          OwnerName(Child<QLineEdit>(dialog, "OwnerName")),
          OwnerURL(Child<QLineEdit>(dialog, "OwnerURL")),
          OwnerEMail(Child<QLineEdit>(dialog, "OwnerEMail")),
          Epitaph(Child<QPlainTextEdit>(dialog, "Epitaph")),
          OwnerNotes(Child<QPlainTextEdit>(dialog, "OwnerNotes")),
          ChooseStone(Child<QPushButton>(dialog, "ChooseStone")),
          Button2(Child<QPushButton>(dialog, "Button2")),
          Button3(Child<QPushButton>(dialog, "Button3")),
          GraveImage(Child<TImageBox>(dialog, "GraveImage"))
    {
    }
    std::int32_t ChosenStone() const { return Dialog->Result().ChosenStone; }

    TEditEntry* Dialog;
    QLineEdit *Moniker, *DisplayName, *OwnerName, *OwnerURL, *OwnerEMail;
    QPlainTextEdit *Epitaph, *OwnerNotes;
    QPushButton *ChooseStone, *Button2, *Button3;
    TImageBox* GraveImage;
};

void Click(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Replaces a box's text by typing: select all, then one key per character
// (Enter for a line break).
void Type(QWidget* box, const QString& text)
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
void Paste(QWidget* box, const QString& text)
{
    QApplication::clipboard()->setText(text);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

}  // namespace

class EditEntry : public GuiTest {
protected:
    QString Hist(const char* moniker) const { return viewer->HistoryDirectory + kHistoryFilePrefix + moniker; }

    // Stores a changed copy of a sample record before the list is filled.
    void Rewrite(const char* moniker, const std::function<void(THistoryEntry&)>& change)
    {
        THistoryEntry e = Creature(moniker).Entry;
        change(e);
        e.FileName = EncodePath(world.HistoryDir) + kHistoryFilePrefix + moniker;
        e.SaveToFile();
    }

    // Opens the dialog on the creature, lets `act` work in it, then presses
    // "Accept Edit" (accept) or "Cancel Edit".
    void Edit(const QByteArray& moniker, const std::function<void(const TEditView&)>& act, bool accept = true)
    {
        Select(RowOf(moniker));
        WhenModal([&, accept](QWidget* w) {
            auto* dialog = qobject_cast<TEditEntry*>(w);
            ASSERT_TRUE(dialog);
            const TEditView d(dialog);
            act(d);
            Click(accept ? d.Button3 : d.Button2);
        });
        viewer->EditEntries1Click();
    }

    struct TState {
        bool chooseEnabled = false;
        QImage picture;
        int chosen = -9;
    };
    static TState Look(const TEditView& d) { return {d.ChooseStone->isEnabled(), d.GraveImage->Picture(), d.ChosenStone()}; }
};

TEST_F(EditEntry, TheDialogShowsTheRecordsTextsAndItsLook)
{
    Open();
    QStringList texts;
    QString title;
    Qt::WindowFlags flags;
    bool openAfterKeys = false;
    Edit("ACCE", [&](const TEditView& d) {
        title = d.Dialog->windowTitle();
        flags = d.Dialog->windowFlags();
        texts = {d.Moniker->text(), d.DisplayName->text(), d.Epitaph->toPlainText(), d.OwnerName->text(),
                 d.OwnerURL->text(), d.OwnerEMail->text(), d.OwnerNotes->toPlainText()};
        for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(d.DisplayName, &press);
        }
        openAfterKeys = d.Dialog->isVisible();
    }, false);
    EXPECT_EQ(title, "Editing a Creature Entry");
    EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint));
    EXPECT_TRUE(openAfterKeys) << "neither Enter nor Esc ends the dialog";
    const THistoryEntry& e = Creature("ACCE").Entry;
    EXPECT_EQ(texts, (QStringList{"ACCE", DecodeText(e.DisplayName), DecodeText(e.Epitaph), DecodeText(e.OwnerName),
                                  DecodeText(e.OwnerURL), DecodeText(e.OwnerEMail), DecodeText(e.OwnerNotes)}));
}

TEST_F(EditEntry, TheDialogOpensAtItsDesignPosition)
{
    Open();
    QPoint at;
    Edit("TOVA", [&](const TEditView& d) { at = d.Dialog->pos(); }, false);
    EXPECT_EQ(at, QPoint(293, 104));
}

// A one-line box holds all that a record can hold: nothing is cut on the
// way through the dialog, and more than the record can store is refused.
TEST_F(EditEntry, LongOneLineTextsAreKeptWholeOrRefused)
{
    Rewrite("TOVA", [](THistoryEntry& e) { e.OwnerName = QByteArray(40000, 'o'); });
    Open();
    Edit("TOVA", [](const TEditView& d) {
        d.OwnerName->setFocus();
        QTest::keyClick(d.OwnerName, Qt::Key_End);
        QTest::keyClick(d.OwnerName, 'X');
    });
    EXPECT_EQ(Load(Hist("TOVA")).OwnerName, QByteArray(40000, 'o') + "X");

    const QByteArray before = ReadAll(Hist("TOVA"));
    QList<TSeenBox> boxes;
    Edit("TOVA", [&](const TEditView& d) {
        Paste(d.OwnerURL, QString(70000, QLatin1Char('u')));
        EXPECT_EQ(d.OwnerURL->text().size(), 70000);
        TBoxCollector collector;
        Click(d.Button3);
        boxes = collector.Boxes;
    }, false);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].Text.contains("Owner URL")) << boxes[0].Text.toStdString();
    EXPECT_EQ(ReadAll(Hist("TOVA")), before);
}

TEST_F(EditEntry, AOneLineBoxKeepsTheRecordsLineBreaksWhenEdited)
{
    Rewrite("TOVA", [](THistoryEntry& e) { e.OwnerEMail = "first\r\nsecond"; });
    Open();
    Edit("TOVA", [](const TEditView& d) {
        d.OwnerEMail->setFocus();
        QTest::keyClick(d.OwnerEMail, Qt::Key_End);
        QTest::keyClick(d.OwnerEMail, 'X');
    });
    EXPECT_EQ(Load(Hist("TOVA")).OwnerEMail, "first\r\nsecondX");
}

TEST_F(EditEntry, ADeadCreatureWithoutChoiceStartsAtTheFirstPhoto)
{
    Open();
    TState s;
    Edit("SKDR", [&](const TEditView& d) { s = Look(d); });
    EXPECT_TRUE(s.chooseEnabled);
    EXPECT_EQ(s.chosen, 0);
    EXPECT_EQ(s.picture, SampleAlbumImage("SKDR", 3, 0, pl555));
    EXPECT_EQ(Load(Hist("SKDR")).GravestoneIndex, 0);
}

TEST_F(EditEntry, ALivingCreatureWithoutChoiceKeepsNone)
{
    Open();
    // An earlier opening leaves a picture behind; it is cleared, not shown
    // for another creature.
    Edit("SKDR", [](const TEditView&) {}, false);
    TState s;
    Edit("TOVA", [&](const TEditView& d) { s = Look(d); });
    EXPECT_FALSE(s.chooseEnabled);
    EXPECT_TRUE(s.picture.isNull());
    EXPECT_EQ(Load(Hist("TOVA")).GravestoneIndex, -1);
}

TEST_F(EditEntry, ALivingCreatureWithAChoiceShowsIt)
{
    Rewrite("TOVA", [](THistoryEntry& e) { e.GravestoneIndex = 1; });
    Open();
    TState s;
    Edit("TOVA", [&](const TEditView& d) { s = Look(d); }, false);
    EXPECT_TRUE(s.chooseEnabled);
    EXPECT_EQ(s.picture, SampleAlbumImage("TOVA", 5, 1, pl565));
}

TEST_F(EditEntry, ChooseStepsThroughTheAlbumAndWrapsToTheFirst)
{
    Open();
    std::vector<int> seen;
    QImage last;
    Edit("BRDN", [&](const TEditView& d) {  // album of 3, stored choice 2
        seen.push_back(d.ChosenStone());
        for (int i = 0; i < 2; ++i) {
            Click(d.ChooseStone);
            seen.push_back(d.ChosenStone());
        }
        last = d.GraveImage->Picture();
    });
    EXPECT_EQ(seen, (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(last, SampleAlbumImage("BRDN", 3, 1, pl565));
    EXPECT_EQ(Load(Hist("BRDN")).GravestoneIndex, 1);

    seen.clear();
    Edit("ONE1", [&](const TEditView& d) {
        for (int i = 0; i < 3; ++i) {
            Click(d.ChooseStone);
            seen.push_back(d.ChosenStone());
        }
    }, false);
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 0}));
}

TEST_F(EditEntry, AnAlbumThatShrinksWhileOpenNeverYieldsAnIndexOutsideIt)
{
    Open();
    Edit("BRDN", [&](const TEditView& d) {
        WriteWholeFile(world.HistoryDir + "photo_BRDN.s16", EncodeS16(SampleAlbum("BRDN", 2), pl565));
        Click(d.ChooseStone);  // 3 is past the end of an album of 2
        EXPECT_EQ(d.ChosenStone(), 0);
    });
    EXPECT_EQ(Load(Hist("BRDN")).GravestoneIndex, 0);
}

TEST_F(EditEntry, ACreatureWhoseAlbumIsNotOpenedKeepsItsStoredChoice)
{
    Rewrite("YREX", [](THistoryEntry& e) { e.GravestoneIndex = 1; });
    Open();
    for (const char* moniker : {"YREX", "GR05", "GRM3"}) {  // exported; no album; -3
        const std::int32_t before = Load(Hist(moniker)).GravestoneIndex;
        TState s;
        Edit(moniker, [&](const TEditView& d) { s = Look(d); });
        EXPECT_FALSE(s.chooseEnabled) << moniker;
        EXPECT_EQ(Load(Hist(moniker)).GravestoneIndex, before) << moniker;
    }
}

TEST_F(EditEntry, AnAlbumThatCannotBeShownStillLetsTheTextsBeEdited)
{
    Rewrite("BRDN", [](THistoryEntry& e) { e.GravestoneIndex = 3; });  // album of 3
    Open();
    struct {
        const char* moniker;
        QString error;
        std::int32_t stored;
    } cases[] = {{"BRDN", "List Index Out of Bounds", 3},
                 {"EMPT", "List Index Out of Bounds", -1},
                 {"DAGP", "Unable to open file " + viewer->HistoryDirectory + "photo_DAGP.s16", -1}};
    for (const auto& c : cases) {
        // Gone after the list was filled (each acceptance fills it again).
        if (QByteArray(c.moniker) == "DAGP")
            QFile::remove(world.HistoryDir + "photo_DAGP.s16");
        TSeenBox error;
        AnswerBox(QMessageBox::Ok, &error);
        TState s;
        Edit(c.moniker, [&](const TEditView& d) {
            s = Look(d);
            Type(d.OwnerName, "New owner");
        });
        EXPECT_EQ(error.Text, c.error) << c.moniker;
        EXPECT_FALSE(s.chooseEnabled) << c.moniker;
        const THistoryEntry saved = Load(Hist(c.moniker));
        EXPECT_EQ(saved.OwnerName, "New owner") << c.moniker;
        EXPECT_EQ(saved.GravestoneIndex, c.stored) << c.moniker;
    }
}

TEST_F(EditEntry, CancellingWritesNothing)
{
    Open();
    const QByteArray before = ReadAll(Hist("SKDR"));
    const QDateTime stamp = QFileInfo(Hist("SKDR")).lastModified();
    Edit("SKDR", [](const TEditView& d) {
        Type(d.DisplayName, "Not kept");
        Click(d.ChooseStone);
        Click(d.ChooseStone);
    }, false);
    EXPECT_EQ(ReadAll(Hist("SKDR")), before);
    EXPECT_EQ(QFileInfo(Hist("SKDR")).lastModified(), stamp);
    EXPECT_EQ(viewer->EntryRecords->Record(RowOf("SKDR")).DisplayName, "Sorrel");
    EXPECT_EQ(viewer->EntryRecords->Record(RowOf("SKDR")).GravestoneIndex, -1);
}

TEST_F(EditEntry, WithNoRowSelectedCtrlEDoesNothing)
{
    Open();
    FocusList();
    ExpectNothingHappens([this] { Press(Qt::Key_E, Qt::ControlModifier); });
}

TEST_F(EditEntry, AcceptingUnchangedRewritesTheSameBytesAndRebuilds)
{
    // Dead creatures with a chosen photo, so acceptance has nothing to change.
    Rewrite("ACCE", [](THistoryEntry& e) { e.GravestoneIndex = 0; });
    Rewrite("MULT", [](THistoryEntry& e) { e.GravestoneIndex = 0; });
    Open();
    for (const char* moniker : {"TOVA", "ACCE", "LONG", "MULT"}) {
        const QByteArray before = ReadAll(Hist(moniker));
        Edit(moniker, [](const TEditView&) {});
        EXPECT_EQ(ReadAll(Hist(moniker)), before) << moniker;
        EXPECT_EQ(viewer->SelectedRow(), -1);
    }
}

TEST_F(EditEntry, ANewNameIsShownAfterTheRebuild)
{
    Open();
    Edit("TOVA", [](const TEditView& d) { Type(d.DisplayName, QString::fromUtf16(u"Tavi the B\u00f6ld")); });
    EXPECT_EQ(Text(RowOf("TOVA"), 0), QString::fromUtf16(u"Tavi the B\u00f6ld"));
    EXPECT_EQ(Load(Hist("TOVA")).DisplayName, "Tavi the B\xF6ld");
}

TEST_F(EditEntry, LineBreaksAreStoredAsCarriageReturnAndLineFeed)
{
    Open();
    Edit("TOVA", [](const TEditView& d) { Type(d.Epitaph, "one\ntwo\nthree"); });
    EXPECT_EQ(Load(Hist("TOVA")).Epitaph, "one\r\ntwo\r\nthree");
    QString shown;
    int blocks = 0;
    Edit("TOVA", [&](const TEditView& d) {
        shown = d.Epitaph->toPlainText();
        blocks = d.Epitaph->document()->blockCount();
    }, false);
    EXPECT_EQ(shown, "one\ntwo\nthree");
    EXPECT_EQ(blocks, 3);
}

TEST_F(EditEntry, BoxesLeftAloneGiveBackTheirExactBytes)
{
    const QByteArray odd("\x81 zero\0inside\r lone CR\n lone LF", 31);
    Rewrite("TOVA", [&](THistoryEntry& e) {
        e.OwnerURL = odd;
        e.OwnerNotes = odd;
        e.Epitaph = QByteArray("tab\there", 8);
    });
    Open();
    Edit("TOVA", [](const TEditView& d) { Type(d.DisplayName, "Changed"); });
    const THistoryEntry saved = Load(Hist("TOVA"));
    EXPECT_EQ(saved.DisplayName, "Changed");
    EXPECT_EQ(saved.OwnerURL, odd);
    EXPECT_EQ(saved.OwnerNotes, odd);
    EXPECT_EQ(saved.Epitaph, QByteArray("tab\there", 8));
}

TEST_F(EditEntry, TextTheRecordCannotHoldIsRefusedNamingTheField)
{
    Open();
    const QByteArray before = ReadAll(Hist("TOVA"));
    QList<TSeenBox> boxes;
    bool openAfter = false;
    Edit("TOVA", [&](const TEditView& d) {
        Type(d.Epitaph, QString::fromUtf16(u"Snow \u2603 man"));
        {
            TBoxCollector collector;
            Click(d.Button3);
            openAfter = d.Dialog->isVisible();
            Type(d.Epitaph, "fine");
            Paste(d.OwnerNotes, QString(70000, QLatin1Char('n')));
            Click(d.Button3);
            openAfter = openAfter && d.Dialog->isVisible();
            boxes = collector.Boxes;
        }
    }, false);
    EXPECT_TRUE(openAfter);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[0].Text.contains("Epitaph")) << boxes[0].Text.toStdString();
    EXPECT_TRUE(boxes[0].Text.contains(QChar(0x2603)));
    EXPECT_TRUE(boxes[1].Text.contains("Owner Notes")) << boxes[1].Text.toStdString();
    EXPECT_TRUE(boxes[1].Text.contains("65535"));
    EXPECT_EQ(ReadAll(Hist("TOVA")), before);
}

namespace {

// While it lives, no file of more than `bytes` can be written by this
// process: a write past it fails as on a full disk (EFBIG), with the signal
// that would end the process ignored.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
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
    Open();
    const QString path = Hist("TOVA");
    const QByteArray before = ReadAll(path);
    TSeenBox error;
    const int rows = Rows();
    {
        const TFileSizeLimit diskFull(100);
        Edit("TOVA", [&](const TEditView& d) {
            Type(d.DisplayName, "Edited");
            AnswerBox(QMessageBox::Ok, &error);  // the save's error, once the dialog has closed
        });
    }
    EXPECT_TRUE(error.Text.contains(path)) << error.Text.toStdString();
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(Text(RowOf("TOVA"), 0), "Tavi") << "no rebuild after a failed save";
    EXPECT_EQ(viewer->EntryRecords->Record(RowOf("TOVA")).DisplayName, "Edited");

    // With room on the disk again, accepting again saves the edit.
    QString shown;
    Edit("TOVA", [&](const TEditView& d) { shown = d.DisplayName->text(); });
    EXPECT_EQ(shown, "Edited");
    EXPECT_EQ(Load(path).DisplayName, "Edited");
    EXPECT_NE(ReadAll(path), before);
}

// The game rewrote the record (a death, say) while the dialog was open: the
// edit writes nothing, says so, and the list shows the game's record.
TEST_F(EditEntry, ARecordTheGameChangedMeanwhileIsNotOverwritten)
{
    Open();
    THistoryEntry died = Creature("TOVA").Entry;
    died.State = csDead;
    died.Registered = true;
    died.FileName = EncodePath(Hist("TOVA"));
    TSeenBox told;
    Edit("TOVA", [&](const TEditView& d) {
        died.SaveToFile();  // the game's write
        Type(d.Epitaph, "Written by the user");
        AnswerBox(QMessageBox::Ok, &told);
    });
    EXPECT_TRUE(told.Text.contains("The game changed")) << told.Text.toStdString();
    EXPECT_TRUE(told.Text.contains(Hist("TOVA"))) << told.Text.toStdString();
    EXPECT_EQ(Load(Hist("TOVA")), died);
    EXPECT_EQ(Text(RowOf("TOVA"), 6), "Dead") << "the list shows the record as it is now";

    // Edited again, the change is saved over the game's record.
    Edit("TOVA", [](const TEditView& d) { Type(d.Epitaph, "Written by the user"); });
    EXPECT_EQ(Load(Hist("TOVA")).Epitaph, "Written by the user");
    EXPECT_EQ(Load(Hist("TOVA")).State, csDead);
}

// A record that is a link to a file elsewhere is listed, but an edit never
// writes through it.
TEST_F(EditEntry, ARecordThatIsALinkIsNeverWrittenThrough)
{
    QTemporaryDir elsewhere;
    const QString precious = elsewhere.filePath("precious");
    THistoryEntry other = Creature("GEN1").Entry;
    other.Moniker = {'L', 'I', 'N', 'K'};
    other.FileName = EncodePath(precious);
    other.SaveToFile();
    const QByteArray preciousBytes = ReadAll(precious);
    ASSERT_TRUE(QFile::link(precious, world.HistoryDir + "cr_LINK"));
    Open();
    ASSERT_GE(RowOf("LINK"), 0);
    TSeenBox error;
    Edit("LINK", [&](const TEditView& d) {
        Type(d.DisplayName, "Changed");
        AnswerBox(QMessageBox::Ok, &error);
    });
    EXPECT_TRUE(error.Text.contains("symbolic link")) << error.Text.toStdString();
    EXPECT_EQ(ReadAll(precious), preciousBytes);
    EXPECT_TRUE(QFileInfo(world.HistoryDir + "cr_LINK").isSymLink());
}
