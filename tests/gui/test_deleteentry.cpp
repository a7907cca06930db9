// Deleting a creature's files: what is offered, the confirmation text, and a
// list that afterwards shows what is really on disk.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/DeleteCreatureDialog.h"
#include "browser/PhotoAlbumDialog.h"
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

struct Offer {
    bool historyChecked, photoChecked, photoEnabled, geneticsChecked, geneticsEnabled;
    QString moniker, name;
};

// The dialog's three boxes.
struct Boxes {
    QCheckBox* history;
    QCheckBox* genetics;
    QCheckBox* photo;
};

// Sets a box as a user does: by clicking it (a disabled box ignores the click).
void set(QCheckBox* box, bool checked)
{
    if (box->isChecked() != checked)
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
}

}  // namespace

class DeleteEntry : public GuiTest {
protected:
    // Runs the command on the creature's row: `choose` sets the boxes, then
    // "Execute Choice" is pressed and the confirmation (if any) answered.
    Offer Delete(const QByteArray& moniker, const std::function<void(const Boxes&)>& choose,
                  QMessageBox::StandardButton answer = QMessageBox::Yes, SeenBox* confirmation = nullptr)
    {
        select(rowOf(moniker));
        return deleteSelected(choose, answer, confirmation);
    }

    // answer NoButton leaves the confirmation to a BoxCollector.
    Offer deleteSelected(const std::function<void(const Boxes&)>& choose,
                          QMessageBox::StandardButton answer = QMessageBox::Yes, SeenBox* confirmation = nullptr)
    {
        Offer offer{};
        whenModal([&](QWidget* w) {
            ASSERT_TRUE(qobject_cast<DeleteCreatureDialog*>(w));
            const Boxes d{child<QCheckBox>(w, "historyCheck"), child<QCheckBox>(w, "geneticsCheck"), child<QCheckBox>(w, "photoAlbumCheck")};
            offer = {d.history->isChecked(), d.photo->isChecked(), d.photo->isEnabled(), d.genetics->isChecked(),
                     d.genetics->isEnabled(), child<QLineEdit>(w, "monikerEdit")->text(), child<QLineEdit>(w, "nameEdit")->text()};
            choose(d);
            const bool anyChecked = d.history->isChecked() || d.photo->isChecked() || d.genetics->isChecked();
            if (anyChecked && answer != QMessageBox::NoButton)
                answerBox(answer, confirmation);
            QTest::mouseClick(child<QPushButton>(w, "executeButton"), Qt::LeftButton);
        });
        trigger("deleteAction");
        return offer;
    }

    QString hist(const char* file) const { return viewer->controller()->historyDirectory() + file; }
    QString album(const char* moniker) const { return albumPath(viewer->controller()->historyDirectory(), monikerOf(moniker)); }
    QString genes(const char* moniker) const { return geneticsPath(viewer->controller()->geneticsDirectory(), monikerOf(moniker)); }
    static Moniker monikerOf(const char* text)
    {
        Moniker m{};
        std::copy_n(text, std::min<size_t>(4, std::strlen(text)), m.begin());
        return m;
    }
    static bool exists(const QString& path) { return QFileInfo::exists(path); }
};

const auto kUnchanged = [](const Boxes&) {};

TEST_F(DeleteEntry, TheDialogOffersWhatTheListFound)
{
    openWindows();
    Offer o = Delete("DAGP", [](const Boxes& d) { set(d.photo, false), set(d.genetics, false); });
    EXPECT_FALSE(o.historyChecked);
    EXPECT_TRUE(o.photoChecked && o.photoEnabled && o.geneticsChecked && o.geneticsEnabled);
    EXPECT_EQ(o.moniker, "DAGP");
    EXPECT_EQ(o.name, "Keepsake");

    o = Delete("C102", kUnchanged);  // neither album nor genetics file
    EXPECT_FALSE(o.photoChecked || o.photoEnabled || o.geneticsChecked || o.geneticsEnabled);

    o = Delete("YREX", kUnchanged);  // exported: files exist, but are not offered
    EXPECT_FALSE(o.photoEnabled || o.geneticsEnabled);
    EXPECT_TRUE(exists(album("YREX")) && exists(genes("YREX")));
}

TEST_F(DeleteEntry, TheDialogHasOnlyItsOneButtonAsAWayOut)
{
    openWindows();
    select(rowOf("TOVA"));
    bool stillOpenAfterEsc = false;
    QString title;
    Qt::WindowFlags flags;
    SeenBox confirmation;
    whenModal([&](QWidget* w) {
        title = w->windowTitle();
        flags = w->windowFlags();
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w, &esc);
        stillOpenAfterEsc = w->isVisible();
        answerBox(QMessageBox::No, &confirmation);
        w->findChild<QPushButton*>("executeButton")->click();
    });
    trigger("deleteAction");
    EXPECT_EQ(title, "Deleting an entry");
    EXPECT_TRUE(stillOpenAfterEsc);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_EQ(confirmation.title, "The Endrish Lifeledger");
    EXPECT_EQ(confirmation.icon, QMessageBox::Question);
    EXPECT_EQ(confirmation.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(confirmation.Default, QMessageBox::Yes);
}

TEST_F(DeleteEntry, AlbumAndGeneticsOfALivingCreature)
{
    openWindows();
    SeenBox seen;
    Delete("TOVA", kUnchanged, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.text, "Warning, this operation will irretreivably delete the following files:\n" + album("TOVA") + "\n"
                             + genes("TOVA")
                             + "\nAs the creature is probably still in the game, this may cause problems in later life.\n"
                               "Are you sure?");
    EXPECT_FALSE(exists(album("TOVA")));
    EXPECT_FALSE(exists(genes("TOVA")));
    ASSERT_GE(rowOf("TOVA"), 0);
    EXPECT_EQ(badgeImageIndex(model()->badges(rowOf("TOVA"))), 0);
}

TEST_F(DeleteEntry, AlbumAndGeneticsOfADeadCreature)
{
    openWindows();
    SeenBox seen;
    Delete("DAGP", kUnchanged, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.text, "Warning, this operation will irretreivably delete the following files:\n" + album("DAGP") + "\n"
                             + genes("DAGP") + "\nThis could cause problems with the gravestone.\nAre you sure?");
    EXPECT_EQ(badgeImageIndex(model()->badges(rowOf("DAGP"))), 1);
}

TEST_F(DeleteEntry, OnlyTheAlbumOfALivingCreatureHasNoConsequenceLine)
{
    openWindows();
    SeenBox seen;
    Delete("TOVA", [](const Boxes& d) { set(d.genetics, false); }, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.text, "Warning, this operation will irretreivably delete the following files:\n" + album("TOVA")
                             + "\nAre you sure?");
    EXPECT_EQ(badgeImageIndex(model()->badges(rowOf("TOVA"))), 4);
    EXPECT_TRUE(exists(genes("TOVA")));
}

TEST_F(DeleteEntry, HistoryAloneOfADeadCreatureWithBothFiles)
{
    openWindows();
    SeenBox seen;
    Delete("DAGP", [](const Boxes& d) {
        set(d.photo, false);
        set(d.genetics, false);
        set(d.history, true);
    }, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.text, "Warning, this operation will irretreivably delete the following files:\n" + hist("cr_DAGP")
                             + "\nThis will remove the entry from the funeral kit\n"
                               "This will leave a genetics file un-referenced by the history data\n"
                               "This will leave a photo album file un-referenced by the history data\n"
                               "Are you sure?");
    EXPECT_FALSE(exists(hist("cr_DAGP")));
    EXPECT_TRUE(exists(album("DAGP")) && exists(genes("DAGP")));
    EXPECT_EQ(rowOf("DAGP"), -1);
}

TEST_F(DeleteEntry, HistoryWithAlbumHasNoGravestoneLine)
{
    openWindows();
    SeenBox seen;
    Delete("SKDR", [](const Boxes& d) {
        set(d.genetics, false);
        set(d.history, true);
    }, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.text, "Warning, this operation will irretreivably delete the following files:\n" + album("SKDR") + "\n"
                             + hist("cr_SKDR")
                             + "\nThis will remove the entry from the funeral kit\n"
                               "This will leave a genetics file un-referenced by the history data\n"
                               "Are you sure?");
}

TEST_F(DeleteEntry, AnExportedCreatureOnlyOffersItsHistory)
{
    openWindows();
    SeenBox seen;
    Delete("YREX", [](const Boxes& d) { set(d.history, true); }, QMessageBox::Yes, &seen);
    EXPECT_EQ(seen.text, "Warning, this operation will irretreivably delete the following files:\n" + hist("cr_YREX")
                             + "\nAre you sure?");
    EXPECT_EQ(rowOf("YREX"), -1);
}

TEST_F(DeleteEntry, NoAndNothingCheckedChangeNothing)
{
    openWindows();
    const int rows = listedRows();
    Delete("DAGP", [](const Boxes& d) { set(d.history, true); }, QMessageBox::No);
    {
        BoxCollector boxes;
        Delete("DAGP", [](const Boxes& d) { set(d.photo, false), set(d.genetics, false); });
        EXPECT_TRUE(boxes.boxes.isEmpty()) << "no confirmation when nothing is chosen";
    }
    EXPECT_EQ(listedRows(), rows);
    EXPECT_EQ(badgeImageIndex(model()->badges(rowOf("DAGP"))), 7);
    EXPECT_TRUE(exists(hist("cr_DAGP")) && exists(album("DAGP")) && exists(genes("DAGP")));
    // The next opening starts again from the row's flags.
    const Offer o = Delete("DAGP", kUnchanged, QMessageBox::No);
    EXPECT_TRUE(o.photoChecked && o.geneticsChecked && !o.historyChecked);
}

TEST_F(DeleteEntry, WithNoRowSelectedCtrlDDoesNothing)
{
    openWindows();
    focusList();
    expectNothingHappens([this] { press(Qt::Key_D, Qt::ControlModifier); });
}

TEST_F(DeleteEntry, RowsBelowARemovedRowKeepTheirOwnRecords)
{
    openWindows();
    const int middle = listedRows() / 2;
    const QByteArray victim = monikerText(model()->record(middle).moniker);
    const QByteArray below = monikerText(model()->record(middle + 1).moniker);
    select(middle);
    deleteSelected([](const Boxes& d) { set(d.history, true); });
    EXPECT_EQ(rowOf(victim), -1);
    for (int r = 0; r < listedRows(); ++r)
        EXPECT_EQ(cellText(r, 1).toLatin1(), monikerText(model()->record(r).moniker));
    EXPECT_EQ(monikerText(model()->record(middle).moniker), below);

    // The album command on the row that moved up shows that row's album.
    select(rowOf("TOVA"));
    QStringList items;
    whenModal([&](QWidget* w) {
        auto* list = w->findChild<QListWidget*>("photoList");
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        w->close();
    });
    trigger("viewPhotoAlbumAction");
    EXPECT_EQ(items.size(), 5);
}

TEST_F(DeleteEntry, AFileRemovedMeanwhileCountsAsDeleted)
{
    openWindows();
    QFile::remove(world.historyDir + "photo_DAGP.s16");
    BoxCollector boxes;
    const Offer o = Delete("DAGP", [](const Boxes& d) { set(d.genetics, false); }, QMessageBox::NoButton);
    EXPECT_TRUE(o.photoChecked);
    ASSERT_EQ(boxes.boxes.size(), 1);  // the confirmation, no error
    EXPECT_EQ(badgeImageIndex(model()->badges(rowOf("DAGP"))), 5);
}

TEST_F(DeleteEntry, TheHistoryFileDeletedIsTheOneTheRecordCameFrom)
{
    // A file named for one creature that holds another's moniker.
    HistoryRecord impostor = creature("GEN1").entry;
    impostor.moniker = {'T', 'O', 'V', 'A'};
    impostor.displayName = "Impostor";
    impostor.fileName = encodePath(world.historyDir) + "cr_ZZZZ";
    impostor.saveToFile();
    openWindows();
    int row = -1;
    for (int r = 0; r < listedRows(); ++r)
        if (model()->record(r).displayName == "Impostor")
            row = r;
    ASSERT_GE(row, 0);
    select(row);
    SeenBox seen;
    deleteSelected([](const Boxes& d) {
        set(d.photo, false), set(d.genetics, false), set(d.history, true);
    }, QMessageBox::Yes, &seen);
    EXPECT_TRUE(seen.text.contains(hist("cr_ZZZZ") + "\n"));
    EXPECT_FALSE(seen.text.contains(hist("cr_TOVA")));
    EXPECT_FALSE(exists(hist("cr_ZZZZ")));
    EXPECT_TRUE(exists(hist("cr_TOVA")));
    EXPECT_GE(rowOf("TOVA"), 0);

    // A file named in capitals is really deleted.
    Delete("CAPS", [](const Boxes& d) { set(d.photo, false), set(d.history, true); });
    EXPECT_FALSE(exists(hist("CR_CAPS")));
    EXPECT_EQ(rowOf("CAPS"), -1);
}

TEST_F(DeleteEntry, FilesThatSurviveAreReportedAndKeepTheirRowAndBadge)
{
    openWindows();
    // Non-empty directories where files were: no deletion removes them, not even root's.
    QFile::remove(genes("DAGP"));
    QDir().mkpath(genes("DAGP") + "/inside");
    QFile::remove(hist("cr_DAGP"));
    QDir().mkpath(hist("cr_DAGP") + "/inside");
    BoxCollector boxes;
    Delete("DAGP", [](const Boxes& d) { set(d.history, true); }, QMessageBox::NoButton);
    ASSERT_EQ(boxes.boxes.size(), 2);
    const SeenBox& error = boxes.boxes[1];
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    EXPECT_TRUE(error.text.contains(genes("DAGP") + ": ")) << error.text.toStdString();
    EXPECT_TRUE(error.text.contains(hist("cr_DAGP") + ": ")) << error.text.toStdString();
    EXPECT_FALSE(error.text.contains(album("DAGP")));
    EXPECT_FALSE(exists(album("DAGP")));
    // The row stays, its genetics badge too; the album badge goes.
    ASSERT_GE(rowOf("DAGP"), 0);
    EXPECT_EQ(badgeImageIndex(model()->badges(rowOf("DAGP"))), 5);
}

TEST_F(DeleteEntry, AnUnsafeMonikerIsNeverOfferedForTheFilesItNames)
{
    HistoryRecord odd = creature("ST03").entry;  // state 3 reads as having an album
    odd.moniker = {'.', '.', 0, 0};
    odd.fileName = encodePath(world.historyDir) + "cr_odd";
    odd.saveToFile();
    openWindows();
    ASSERT_EQ(badgeImageIndex(model()->badges(rowOf(".."))), 3);
    const Offer o = Delete("..", kUnchanged);
    EXPECT_FALSE(o.photoEnabled || o.photoChecked || o.geneticsEnabled);
}

TEST(DeleteConfirmation, EachConsequenceLineHasItsCondition)
{
    DeleteChoice c;
    c.albumPath = "A", c.geneticsPath = "G", c.historyPath = "H";
    const QString head = "Warning, this operation will irretreivably delete the following files:\n";
    c.state = 0, c.genetics = true;
    EXPECT_EQ(deleteConfirmationText(c),
              head + "G\nAs the creature is probably still in the game, this may cause problems in later life.\nAre you sure?");
    c = {}, c.albumPath = "A", c.geneticsPath = "G", c.historyPath = "H";
    c.state = 2, c.history = true, c.photoOffered = true, c.geneticsOffered = true;
    EXPECT_EQ(deleteConfirmationText(c), head + "H\n"
                                                "This will leave a genetics file un-referenced by the history data\n"
                                                "This will leave a photo album file un-referenced by the history data\n"
                                                "Are you sure?");
    c.state = 1, c.photo = true, c.genetics = true;
    EXPECT_EQ(deleteConfirmationText(c), head + "A\nG\nH\nThis will remove the entry from the funeral kit\nAre you sure?");
    EXPECT_FALSE(deleteConfirmationText(c).contains('\r'));
}
