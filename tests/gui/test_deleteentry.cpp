// Deleting a creature's files: what is offered, the confirmation text, and a
// list that afterwards shows what is really on disk.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/unitDeleteEntry.h"
#include "browser/unitPhotoAlbum.h"
#include "history/CreatureFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace {

struct TOffer {
    bool historyChecked, photoChecked, photoEnabled, geneticsChecked, geneticsEnabled;
    QString moniker, name;
};

// The dialog's three boxes.
struct TBoxes {
    QCheckBox* History;
    QCheckBox* Genetics;
    QCheckBox* Photo;
};

// Sets a box as a user does: by clicking it (a disabled box ignores the click).
void Set(QCheckBox* box, bool checked)
{
    if (box->isChecked() != checked)
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
}

}  // namespace

class DeleteEntry : public GuiTest {
protected:
    // Runs the command on the creature's row: `choose` sets the boxes, then
    // "Execute Choice" is pressed and the confirmation (if any) answered.
    TOffer Delete(const QByteArray& moniker, const std::function<void(const TBoxes&)>& choose,
                  QMessageBox::StandardButton answer = QMessageBox::Yes, TSeenBox* confirmation = nullptr)
    {
        Select(RowOf(moniker));
        return DeleteSelected(choose, answer, confirmation);
    }

    // answer NoButton leaves the confirmation to a TBoxCollector.
    TOffer DeleteSelected(const std::function<void(const TBoxes&)>& choose,
                          QMessageBox::StandardButton answer = QMessageBox::Yes, TSeenBox* confirmation = nullptr)
    {
        TOffer offer{};
        WhenModal([&](QWidget* w) {
            ASSERT_TRUE(qobject_cast<TDeleteEntry*>(w));
            const TBoxes d{Child<QCheckBox>(w, "History"), Child<QCheckBox>(w, "Genetics"), Child<QCheckBox>(w, "Photo")};
            offer = {d.History->isChecked(), d.Photo->isChecked(), d.Photo->isEnabled(), d.Genetics->isChecked(),
                     d.Genetics->isEnabled(), Child<QLineEdit>(w, "Moniker")->text(), Child<QLineEdit>(w, "DisplayName")->text()};
            choose(d);
            const bool anyChecked = d.History->isChecked() || d.Photo->isChecked() || d.Genetics->isChecked();
            if (anyChecked && answer != QMessageBox::NoButton)
                AnswerBox(answer, confirmation);
            QTest::mouseClick(Child<QPushButton>(w, "Button1"), Qt::LeftButton);
        });
        viewer->DeleteEntry1Click();
        return offer;
    }

    QString Hist(const char* file) const { return viewer->HistoryDirectory + file; }
    QString Album(const char* moniker) const { return AlbumPath(viewer->HistoryDirectory, Moniker(moniker)); }
    QString Genes(const char* moniker) const { return GeneticsPath(viewer->GeneticsDirectory, Moniker(moniker)); }
    static TMoniker Moniker(const char* text)
    {
        TMoniker m{};
        std::copy_n(text, std::min<size_t>(4, std::strlen(text)), m.begin());
        return m;
    }
    static bool Exists(const QString& path) { return QFileInfo::exists(path); }
};

const auto kUnchanged = [](const TBoxes&) {};

TEST_F(DeleteEntry, TheDialogOffersWhatTheListFound)
{
    Open();
    TOffer o = Delete("DAGP", [](const TBoxes& d) { Set(d.Photo, false), Set(d.Genetics, false); });
    EXPECT_FALSE(o.historyChecked);
    EXPECT_TRUE(o.photoChecked && o.photoEnabled && o.geneticsChecked && o.geneticsEnabled);
    EXPECT_EQ(o.moniker, "DAGP");
    EXPECT_EQ(o.name, "Keepsake");

    o = Delete("C102", kUnchanged);  // neither album nor genetics file
    EXPECT_FALSE(o.photoChecked || o.photoEnabled || o.geneticsChecked || o.geneticsEnabled);

    o = Delete("YREX", kUnchanged);  // exported: files exist, but are not offered
    EXPECT_FALSE(o.photoEnabled || o.geneticsEnabled);
    EXPECT_TRUE(Exists(Album("YREX")) && Exists(Genes("YREX")));
}

TEST_F(DeleteEntry, TheDialogHasOnlyItsOneButtonAsAWayOut)
{
    Open();
    Select(RowOf("TOVA"));
    bool stillOpenAfterEsc = false;
    QString title;
    Qt::WindowFlags flags;
    TSeenBox confirmation;
    WhenModal([&](QWidget* w) {
        title = w->windowTitle();
        flags = w->windowFlags();
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w, &esc);
        stillOpenAfterEsc = w->isVisible();
        AnswerBox(QMessageBox::No, &confirmation);
        w->findChild<QPushButton*>("Button1")->click();
    });
    viewer->DeleteEntry1Click();
    EXPECT_EQ(title, "Deleting an entry");
    EXPECT_TRUE(stillOpenAfterEsc);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_EQ(confirmation.Title, "The Endrish Lifeledger");
    EXPECT_EQ(confirmation.Icon, QMessageBox::Question);
    EXPECT_EQ(confirmation.Buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(confirmation.Default, QMessageBox::Yes);
}

TEST_F(DeleteEntry, AlbumAndGeneticsOfALivingCreature)
{
    Open();
    TSeenBox seen;
    Delete("TOVA", kUnchanged, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.Text, "Warning, this operation will irretreivably delete the following files:\n" + Album("TOVA") + "\n"
                             + Genes("TOVA")
                             + "\nAs the creature is probably still in the game, this may cause problems in later life.\n"
                               "Are you sure?");
    EXPECT_FALSE(Exists(Album("TOVA")));
    EXPECT_FALSE(Exists(Genes("TOVA")));
    ASSERT_GE(RowOf("TOVA"), 0);
    EXPECT_EQ(viewer->EntryRecords->ImageIndex(RowOf("TOVA")), 0);
}

TEST_F(DeleteEntry, AlbumAndGeneticsOfADeadCreature)
{
    Open();
    TSeenBox seen;
    Delete("DAGP", kUnchanged, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.Text, "Warning, this operation will irretreivably delete the following files:\n" + Album("DAGP") + "\n"
                             + Genes("DAGP") + "\nThis could cause problems with the gravestone.\nAre you sure?");
    EXPECT_EQ(viewer->EntryRecords->ImageIndex(RowOf("DAGP")), 1);
}

TEST_F(DeleteEntry, OnlyTheAlbumOfALivingCreatureHasNoConsequenceLine)
{
    Open();
    TSeenBox seen;
    Delete("TOVA", [](const TBoxes& d) { Set(d.Genetics, false); }, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.Text, "Warning, this operation will irretreivably delete the following files:\n" + Album("TOVA")
                             + "\nAre you sure?");
    EXPECT_EQ(viewer->EntryRecords->ImageIndex(RowOf("TOVA")), 4);
    EXPECT_TRUE(Exists(Genes("TOVA")));
}

TEST_F(DeleteEntry, HistoryAloneOfADeadCreatureWithBothFiles)
{
    Open();
    TSeenBox seen;
    Delete("DAGP", [](const TBoxes& d) {
        Set(d.Photo, false);
        Set(d.Genetics, false);
        Set(d.History, true);
    }, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.Text, "Warning, this operation will irretreivably delete the following files:\n" + Hist("cr_DAGP")
                             + "\nThis will remove the entry from the funeral kit\n"
                               "This will leave a genetics file un-referenced by the history data\n"
                               "This will leave a photo album file un-referenced by the history data\n"
                               "Are you sure?");
    EXPECT_FALSE(Exists(Hist("cr_DAGP")));
    EXPECT_TRUE(Exists(Album("DAGP")) && Exists(Genes("DAGP")));
    EXPECT_EQ(RowOf("DAGP"), -1);
}

TEST_F(DeleteEntry, HistoryWithAlbumHasNoGravestoneLine)
{
    Open();
    TSeenBox seen;
    Delete("SKDR", [](const TBoxes& d) {
        Set(d.Genetics, false);
        Set(d.History, true);
    }, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.Text, "Warning, this operation will irretreivably delete the following files:\n" + Album("SKDR") + "\n"
                             + Hist("cr_SKDR")
                             + "\nThis will remove the entry from the funeral kit\n"
                               "This will leave a genetics file un-referenced by the history data\n"
                               "Are you sure?");
}

TEST_F(DeleteEntry, AnExportedCreatureOnlyOffersItsHistory)
{
    Open();
    TSeenBox seen;
    Delete("YREX", [](const TBoxes& d) { Set(d.History, true); }, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.Text, "Warning, this operation will irretreivably delete the following files:\n" + Hist("cr_YREX")
                             + "\nAre you sure?");
    EXPECT_EQ(RowOf("YREX"), -1);
}

TEST_F(DeleteEntry, NoAndNothingCheckedChangeNothing)
{
    Open();
    const int rows = Rows();
    Delete("DAGP", [](const TBoxes& d) { Set(d.History, true); }, QMessageBox::No);
    {
        TBoxCollector boxes;
        Delete("DAGP", [](const TBoxes& d) { Set(d.Photo, false), Set(d.Genetics, false); });
        EXPECT_TRUE(boxes.Boxes.isEmpty()) << "no confirmation when nothing is chosen";
    }
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(viewer->EntryRecords->ImageIndex(RowOf("DAGP")), 7);
    EXPECT_TRUE(Exists(Hist("cr_DAGP")) && Exists(Album("DAGP")) && Exists(Genes("DAGP")));
    // The next opening starts again from the row's flags.
    const TOffer o = Delete("DAGP", kUnchanged, QMessageBox::No);
    EXPECT_TRUE(o.photoChecked && o.geneticsChecked && !o.historyChecked);
}

TEST_F(DeleteEntry, WithNoRowSelectedCtrlDDoesNothing)
{
    Open();
    FocusList();
    ExpectNothingHappens([this] { Press(Qt::Key_D, Qt::ControlModifier); });
}

TEST_F(DeleteEntry, RowsBelowARemovedRowKeepTheirOwnRecords)
{
    Open();
    const int middle = Rows() / 2;
    const QByteArray victim = MonikerText(viewer->EntryRecords->Record(middle).Moniker);
    const QByteArray below = MonikerText(viewer->EntryRecords->Record(middle + 1).Moniker);
    Select(middle);
    DeleteSelected([](const TBoxes& d) { Set(d.History, true); });
    EXPECT_EQ(RowOf(victim), -1);
    for (int r = 0; r < Rows(); ++r)
        EXPECT_EQ(Text(r, 1).toLatin1(), MonikerText(viewer->EntryRecords->Record(r).Moniker));
    EXPECT_EQ(MonikerText(viewer->EntryRecords->Record(middle).Moniker), below);

    // The album command on the row that moved up shows that row's album.
    Select(RowOf("TOVA"));
    QStringList items;
    WhenModal([&](QWidget* w) {
        auto* list = w->findChild<QListWidget*>("Images");
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        w->close();
    });
    viewer->ViewPhotoAlbum1Click();
    EXPECT_EQ(items.size(), 5);
}

TEST_F(DeleteEntry, AFileRemovedMeanwhileCountsAsDeleted)
{
    Open();
    QFile::remove(world.HistoryDir + "photo_DAGP.s16");
    TBoxCollector boxes;
    const TOffer o = Delete("DAGP", [](const TBoxes& d) { Set(d.Genetics, false); }, QMessageBox::NoButton);
    EXPECT_TRUE(o.photoChecked);
    ASSERT_EQ(boxes.Boxes.size(), 1);  // the confirmation, no error
    EXPECT_EQ(viewer->EntryRecords->ImageIndex(RowOf("DAGP")), 5);
}

TEST_F(DeleteEntry, TheHistoryFileDeletedIsTheOneTheRecordCameFrom)
{
    // A file named for one creature that holds another's moniker.
    THistoryEntry impostor = Creature("GEN1").Entry;
    impostor.Moniker = {'T', 'O', 'V', 'A'};
    impostor.DisplayName = "Impostor";
    impostor.FileName = EncodePath(world.HistoryDir) + "cr_ZZZZ";
    impostor.SaveToFile();
    Open();
    int row = -1;
    for (int r = 0; r < Rows(); ++r)
        if (viewer->EntryRecords->Record(r).DisplayName == "Impostor")
            row = r;
    ASSERT_GE(row, 0);
    Select(row);
    TSeenBox seen;
    DeleteSelected([](const TBoxes& d) {
        Set(d.Photo, false), Set(d.Genetics, false), Set(d.History, true);
    }, QMessageBox::Yes, &seen);
    EXPECT_TRUE(seen.Text.contains(Hist("cr_ZZZZ") + "\n"));
    EXPECT_FALSE(seen.Text.contains(Hist("cr_TOVA")));
    EXPECT_FALSE(Exists(Hist("cr_ZZZZ")));
    EXPECT_TRUE(Exists(Hist("cr_TOVA")));
    EXPECT_GE(RowOf("TOVA"), 0);

    // A file named in capitals is really deleted.
    Delete("CAPS", [](const TBoxes& d) { Set(d.Photo, false), Set(d.History, true); });
    EXPECT_FALSE(Exists(Hist("CR_CAPS")));
    EXPECT_EQ(RowOf("CAPS"), -1);
}

TEST_F(DeleteEntry, FilesThatSurviveAreReportedAndKeepTheirRowAndBadge)
{
    Open();
    // Non-empty directories where files were: no deletion removes them, not even root's.
    QFile::remove(Genes("DAGP"));
    QDir().mkpath(Genes("DAGP") + "/inside");
    QFile::remove(Hist("cr_DAGP"));
    QDir().mkpath(Hist("cr_DAGP") + "/inside");
    TBoxCollector boxes;
    Delete("DAGP", [](const TBoxes& d) { Set(d.History, true); }, QMessageBox::NoButton);
    ASSERT_EQ(boxes.Boxes.size(), 2);
    const TSeenBox& error = boxes.Boxes[1];
    EXPECT_EQ(error.Icon, QMessageBox::Critical);
    EXPECT_TRUE(error.Text.contains(Genes("DAGP") + ": ")) << error.Text.toStdString();
    EXPECT_TRUE(error.Text.contains(Hist("cr_DAGP") + ": ")) << error.Text.toStdString();
    EXPECT_FALSE(error.Text.contains(Album("DAGP")));
    EXPECT_FALSE(Exists(Album("DAGP")));
    // The row stays, its genetics badge too; the album badge goes.
    ASSERT_GE(RowOf("DAGP"), 0);
    EXPECT_EQ(viewer->EntryRecords->ImageIndex(RowOf("DAGP")), 5);
}

TEST_F(DeleteEntry, AnUnsafeMonikerIsNeverOfferedForTheFilesItNames)
{
    THistoryEntry odd = Creature("ST03").Entry;  // state 3 reads as having an album
    odd.Moniker = {'.', '.', 0, 0};
    odd.FileName = EncodePath(world.HistoryDir) + "cr_odd";
    odd.SaveToFile();
    Open();
    ASSERT_EQ(viewer->EntryRecords->ImageIndex(RowOf("..")), 3);
    const TOffer o = Delete("..", kUnchanged);
    EXPECT_FALSE(o.photoEnabled || o.photoChecked || o.geneticsEnabled);
}

TEST(DeleteConfirmation, EachConsequenceLineHasItsCondition)
{
    TDeleteChoice c;
    c.AlbumPath = "A", c.GeneticsPath = "G", c.HistoryPath = "H";
    const QString head = "Warning, this operation will irretreivably delete the following files:\n";
    c.State = 0, c.Genetics = true;
    EXPECT_EQ(DeleteConfirmationText(c),
              head + "G\nAs the creature is probably still in the game, this may cause problems in later life.\nAre you sure?");
    c = {}, c.AlbumPath = "A", c.GeneticsPath = "G", c.HistoryPath = "H";
    c.State = 2, c.History = true, c.PhotoOffered = true, c.GeneticsOffered = true;
    EXPECT_EQ(DeleteConfirmationText(c), head + "H\n"
                                                "This will leave a genetics file un-referenced by the history data\n"
                                                "This will leave a photo album file un-referenced by the history data\n"
                                                "Are you sure?");
    c.State = 1, c.Photo = true, c.Genetics = true;
    EXPECT_EQ(DeleteConfirmationText(c), head + "A\nG\nH\nThis will remove the entry from the funeral kit\nAre you sure?");
    EXPECT_FALSE(DeleteConfirmationText(c).contains('\r'));
}
