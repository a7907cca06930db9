// Beyond the list: the family tree, the find bar, the exports and the
// contact sheet, each on the sample installation and driven as a user would.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/ContactSheet.h"
#include "browser/Exports.h"
#include "history/Lineage.h"
#include "browser/FamilyTree.h"
#include "sprites/SpriteImage.h"

#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QJsonObject>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

namespace {


// Types into a box, one key at a time.
void TypeInto(QWidget* box, const QString& text)
{
    for (QChar c : text)
        QTest::keyClick(box, c.toLatin1());
}

// Fills Qt's own file dialog's name box and accepts it with Enter.
void AnswerFileDialog(const QString& path)
{
    WhenModal([path](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
    });
}

}  // namespace

class Beyond : public GuiTest {
protected:
    // Selects the creature and presses Ctrl+T: the tree window it opened.
    TFamilyTree* OpenTreeOf(const QByteArray& moniker)
    {
        Select(RowOf(moniker));
        FocusList();
        Press(Qt::Key_T, Qt::ControlModifier);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* tree = qobject_cast<TFamilyTree*>(w); tree && tree->isVisible())
                return tree;
        return nullptr;
    }

    // Gives a sample creature another name in its history file.
    void Rename(const char* moniker, const QByteArray& name)
    {
        THistoryEntry e = Creature(moniker).Entry;
        e.DisplayName = name;
        e.FileName = EncodePath(world.HistoryDir) + "cr_" + moniker;
        e.SaveToFile();
    }

    // Gives the tree the keyboard (activation arrives through the event queue).
    static void FocusTree(TFamilyTree* window)
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([window] { return window->isActiveWindow(); }));
        window->View()->setFocus();
    }
};

// Ctrl+T on Tavi: its parents above, its children (and theirs) below, each a
// card with the creature's name and moniker for a screen reader; the arrows
// move between cards and Enter selects the creature in the list.
TEST_F(Beyond, TheFamilyTreeShowsAncestorsAndDescendantsAsCards)
{
    Open();
    TFamilyTree* window = OpenTreeOf("TOVA");
    ASSERT_TRUE(window);
    TFamilyTreeView* view = window->View();
    QStringList cards;
    for (int i = 0; i < view->CardCount(); ++i)
        cards << view->Face(i).Moniker;
    // Tavi, its parents Sorrel and Bracken, then the fourteen crowd creatures
    // and Zoë, whose parents name Tavi.
    QStringList expected{"TOVA", "SKDR", "BRDN", "ACCE"};
    for (int i = 0; i < 14; ++i)
        expected << QStringLiteral("C%1").arg(100 + i);
    std::sort(expected.begin() + 3, expected.end());
    QStringList sorted = cards;
    std::sort(sorted.begin() + 3, sorted.end());
    EXPECT_EQ(sorted, expected);

    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(view);
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->childCount(), view->CardCount());
    EXPECT_EQ(tree->child(0)->text(QAccessible::Name), "Tavi (TOVA)");
    EXPECT_EQ(tree->child(1)->text(QAccessible::Name), "Sorrel (SKDR)");

    FocusTree(window);
    EXPECT_EQ(view->FocusedCard(), 0);
    QTest::keyClick(view->viewport(), Qt::Key_Up);  // to the first parent
    EXPECT_EQ(view->Face(view->FocusedCard()).Moniker, "SKDR");
    EXPECT_TRUE(tree->child(view->FocusedCard())->state().focused);
    QTest::keyClick(view->viewport(), Qt::Key_Return);
    EXPECT_EQ(viewer->SelectedRow(), RowOf("SKDR"));

    // A double-click on a card selects it too.
    const int card = static_cast<int>(cards.indexOf("C105"));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->CardRect(card).center());
    EXPECT_EQ(viewer->SelectedRow(), RowOf("C105"));
    window->close();
}

// A parent the history does not hold is a card of its own, named as its
// child's record names it.
TEST_F(Beyond, AParentOutsideTheHistoryIsShownByWhatTheChildSays)
{
    QFile::remove(world.HistoryDir + "cr_BRDN");
    Open();
    TFamilyTree* window = OpenTreeOf("TOVA");
    ASSERT_TRUE(window);
    TFamilyTreeView* view = window->View();
    int outside = -1;
    for (int i = 0; i < view->CardCount(); ++i)
        if (view->Face(i).Moniker == "BRDN")
            outside = i;
    ASSERT_GE(outside, 0);
    EXPECT_TRUE(view->Face(outside).Outside);
    EXPECT_EQ(view->Face(outside).Name, "Bracken");
    window->close();
}

// A line of 1,200 generations: the tree opens with only the cards in sight
// made, and the keys and "Whole Tree" travel it without making the rest.
TEST_F(Beyond, ADeepTreeMakesOnlyTheCardsInSight)
{
    constexpr int kLine = 1200;
    auto moniker = [](int i) {
        TMoniker m{'L', '0', '0', '0'};
        for (int k = 3; k >= 1; --k, i /= 36)
            m[size_t(k)] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[i % 36];
        return m;
    };
    THistoryEntry e = Creature("TOVA").Entry;
    for (int i = 0; i < kLine; ++i) {
        e.Moniker = moniker(i);
        e.Parent1Moniker = i >= 1 ? moniker(i - 1) : TMoniker{};
        e.Parent2Moniker = i >= 2 ? moniker(i - 2) : TMoniker{};
        WriteWholeFile(world.HistoryDir + "cr_" + QByteArray(e.Moniker.data(), 4), e.SaveToBytes());
    }
    Open();
    TFamilyTree* window = OpenTreeOf(QByteArray(moniker(kLine / 2).data(), 4));
    ASSERT_TRUE(window);
    TFamilyTreeView* view = window->View();
    EXPECT_EQ(view->CardCount(), kLine);
    EXPECT_LT(view->scene()->items().size(), 100);

    FocusTree(window);
    for (int i = 0; i < 60; ++i)
        QTest::keyClick(view->viewport(), Qt::Key_Up);
    const int far = view->FocusedCard();
    ASSERT_GE(far, 0);
    EXPECT_EQ(view->Face(far).Moniker, QString::fromLatin1(moniker(kLine / 2 - 60).data(), 4));
    EXPECT_TRUE(view->viewport()->rect().contains(view->CardRect(far)));
    EXPECT_LT(view->scene()->items().size(), 100);

    QTest::mouseClick(Child<QToolButton>(window, "ZoomFit"), Qt::LeftButton);
    EXPECT_LT(view->scene()->items().size(), 1000);
    EXPECT_EQ(view->FocusedCard(), far) << "the focus stays on its card";
    window->close();
}

// Typing filters the rows to those whose texts hold what was typed; the
// commands act on the creature selected among them; Escape shows all again.
TEST_F(Beyond, TheFindBarFiltersAndTheCommandsKeepTheirCreature)
{
    Open();
    const int all = Rows();
    FocusList();
    Press(Qt::Key_F, Qt::ControlModifier);
    auto* text = Child<QLineEdit>(viewer.get(), "FindText");
    ASSERT_TRUE(text->isVisible() && text->hasFocus());
    TypeInto(text, "sorREL");
    QTest::keyClick(text, Qt::Key_Return);
    // Sorrel itself, Tavi (its mother is Sorrel) and the fourteen with Sorrel as a parent.
    QStringList shown;
    for (int r = 0; r < viewer->Entries->model()->rowCount(); ++r)
        shown << viewer->Entries->model()->index(r, 1).data().toString();
    shown.sort();
    QStringList expected{"SKDR", "TOVA"};
    for (int i = 0; i < 14; ++i)
        expected << QStringLiteral("C%1").arg(100 + i);
    expected.sort();
    EXPECT_EQ(shown, expected);

    // The third row shown, chosen by the mouse, is the creature the command opens.
    const QModelIndex third = viewer->Entries->model()->index(2, 0);
    QTest::mouseClick(viewer->Entries->viewport(), Qt::LeftButton, {}, viewer->Entries->visualRect(third).center());
    const QString chosen = third.siblingAtColumn(1).data().toString();
    QString opened;
    WhenModal([&](QWidget* d) {
        opened = Child<QLineEdit>(d, "Moniker")->text();
        QTest::mouseClick(Child<QPushButton>(d, "Button2"), Qt::LeftButton);
    });
    Press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(opened, chosen);

    text->setFocus();
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_FALSE(text->isVisible());
    EXPECT_EQ(viewer->Entries->model()->rowCount(), all);
}

// The list as CSV, read back by Python's csv module: every row as shown,
// the raw time stamps and the paths, a name with a comma and quotes intact.
TEST_F(Beyond, TheListExportsAsCsvThatPythonReadsBack)
{
    Rename("TOVA", "He said \"hi\", twice");
    // Names from other players that a spreadsheet would run as formulas are
    // written behind an apostrophe; NUL characters are dropped.
    const std::vector<std::pair<const char*, QByteArray>> hostile = {
        {"ACCE", "=HYPERLINK(\"http://x.test\",\"Gale\")"}, {"BIG1", "+1+2"}, {"LAST", "-2+3"},
        {"DAGP", "@SUM(A1:A2)"}, {"DEAG", "\tTab"}, {"EMPT", "\rCR"}, {"GEN1", QByteArray("Nu\0l", 4)}, {"GR05", "-5"}};
    for (const auto& [moniker, name] : hostile)
        Rename(moniker, name);
    Open();
    const QString csv = dir.filePath("list.csv");
    AnswerFileDialog(csv);
    viewer->findChild<QAction*>("ExportList1")->trigger();
    ASSERT_TRUE(QFileInfo::exists(csv));
    // The system's Python, which Debian's websocket package serves, before
    // any other one on the PATH.
    QString python = QStandardPaths::findExecutable("python3", {"/usr/bin"});
    if (python.isEmpty())
        python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    QProcess read;
    read.start(python, {"-c", "import csv, json, sys\n"
                              "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))\n"
                              "print(json.dumps(rows))",
                        csv});
    ASSERT_TRUE(read.waitForFinished(30000));
    const QJsonArray rows = QJsonDocument::fromJson(read.readAllStandardOutput()).array();
    ASSERT_EQ(rows.size(), Rows() + 1);
    EXPECT_EQ(rows[0].toArray().size(), 12);
    EXPECT_EQ(rows[0].toArray()[0].toString(), "Name of Creature");
    EXPECT_EQ(rows[0].toArray()[7].toString(), "Birth time stamp");
    const QJsonArray tova = rows[RowOf("TOVA") + 1].toArray();
    EXPECT_EQ(tova[0].toString(), "He said \"hi\", twice");
    EXPECT_EQ(tova[4].toString(), "Sorrel (SKDR) and Bracken (BRDN)");
    EXPECT_EQ(tova[7].toString(), QString::number(Creature("TOVA").Entry.BirthTime));
    EXPECT_EQ(tova[9].toString(), viewer->HistoryDirectory + "cr_TOVA");
    EXPECT_EQ(tova[10].toString(), viewer->HistoryDirectory + "photo_TOVA.s16");
    EXPECT_EQ(tova[11].toString(), viewer->GeneticsDirectory + "TOVA.gen");
    const QJsonArray oldy = rows[RowOf("OLDY") + 1].toArray();
    EXPECT_EQ(oldy[8].toString(), "-1");
    EXPECT_EQ(oldy[10].toString(), "") << "no album: no path";
    const std::vector<QString> guarded = {"'=HYPERLINK(\"http://x.test\",\"Gale\")", "'+1+2", "'-2+3", "'@SUM(A1:A2)",
                                          "'\tTab", "'\rCR", "Nul", "-5"};
    for (size_t i = 0; i < hostile.size(); ++i)
        EXPECT_EQ(rows[RowOf(hostile[i].first) + 1].toArray()[0].toString(), guarded[i]) << hostile[i].first;
}

// Every export writes into the chosen folder only: a link where a file or
// the photos folder goes (to a file elsewhere, to a folder elsewhere, to
// nothing) is refused with a message naming it, and nothing elsewhere is
// written. A link there, even a dangling one, is asked about before.
TEST_F(Beyond, EveryExportRefusesALinkAndWritesNothingOutside)
{
    Open();
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath("victim");
    WriteWholeFile(victim, "mine");
    const QString book = dir.filePath("book");
    const TLineageIndex lineage(viewer->EntryRecords->Keys());
    auto refused = [&](const QString& link, const std::function<void()>& write) {
        try {
            write();
            ADD_FAILURE() << "wrote through " << link.toStdString();
        } catch (const EFCreateError& e) {
            EXPECT_TRUE(e.Message.contains(link) && e.Message.contains("symbolic link")) << e.Message.toStdString();
        }
    };
    auto writeBook = [&] { WriteFamilyBook(book, *viewer->EntryRecords, lineage, viewer->HistoryDirectory); };
    QDir().mkpath(book + "/photos");
    QFile::link(victim, book + "/index.html");
    refused(book + "/index.html", writeBook);
    QFile::remove(book + "/index.html");
    const QString photo = book + QStringLiteral("/photos/c%1-0.png").arg(RowOf("TOVA"));
    QFile::link(victim, photo);
    refused(photo, writeBook);
    QDir(book).removeRecursively();
    QDir().mkpath(book);
    QFile::link(elsewhere.path(), book + "/photos");
    refused(book + "/photos", writeBook);
    QFile::remove(book + "/photos");

    TContactSheet sheet;
    sheet.Fill("Tavi", viewer->HistoryDirectory + "photo_TOVA.s16", "TOVA");
    QFile::link(victim, dir.filePath("TOVA-1.png"));
    refused(dir.filePath("TOVA-1.png"), [&] { sheet.SaveAll(dir.path()); });
    QFile::link(victim, dir.filePath("photo.bmp"));
    refused(dir.filePath("photo.bmp"), [&] { WriteBmp565(dir.filePath("photo.bmp"), QImage(2, 2, QImage::Format_RGB16)); });
    EXPECT_EQ(ReadAll(victim), "mine");
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"victim"});

    // Through the window: a dangling link is asked about, then refused; the
    // place it leads to stays empty.
    QFile::link(elsewhere.filePath("made-by-link"), book + "/index.html");
    TSeenBox question, error;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        dialog->setDirectory(book);
        dialog->selectFile(book);
        AnswerBox(QMessageBox::Yes, &question);
        AnswerBox(QMessageBox::Ok, &error);
        static_cast<QDialog*>(dialog)->accept();
    });
    viewer->findChild<QAction*>("ExportFamilyBook1")->trigger();
    EXPECT_TRUE(question.Text.contains("index.html")) << question.Text.toStdString();
    EXPECT_TRUE(error.Text.contains(book + "/index.html") && error.Text.contains("symbolic link")) << error.Text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(elsewhere.filePath("made-by-link")));
}

// The family book opened in a real browser: every creature listed and
// described, every photo loaded, and a parent's link leads to the parent.
TEST_F(Beyond, TheFamilyBookReadsInABrowserAndItsLinksLead)
{
    // A name holding place markers is written as it is, not filled in.
    Rename("DAGP", "Keep %5 %1");
    Open();
    const QString book = dir.filePath("book");
    QDir().mkpath(book);
    WhenModal([book](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        dialog->setDirectory(book);
        dialog->selectFile(book);
        static_cast<QDialog*>(dialog)->accept();
        AnswerBox(QMessageBox::Ok);  // "The family book ... is in ..."
    });
    viewer->findChild<QAction*>("ExportFamilyBook1")->trigger();
    ASSERT_TRUE(QFileInfo::exists(book + "/index.html"));
    const int photos = static_cast<int>(QDir(book + "/photos").entryList(QDir::Files).size());
    int expectedPhotos = 0;
    for (const TSampleCreature& c : SampleCreatures())
        if (c.AlbumPhotos > 0 && c.Entry.State != 2)
            expectedPhotos += c.AlbumPhotos;
    EXPECT_EQ(photos, expectedPhotos);
    const QString page = QString::fromUtf8(ReadAll(book + "/index.html"));
    EXPECT_TRUE(page.contains("alt=\"Photo 0 of Keep %5 %1\""));
    EXPECT_EQ(page.count(QRegularExpression("<figcaption>\\[\\d+\\] \\d+ x \\d+</figcaption>")), expectedPhotos);

    const QString chromium = QStandardPaths::findExecutable("chromium");
    // The system's Python, which Debian's websocket package serves, before
    // any other one on the PATH.
    QString python = QStandardPaths::findExecutable("python3", {"/usr/bin"});
    if (python.isEmpty())
        python = QStandardPaths::findExecutable("python3");
    if (chromium.isEmpty() || python.isEmpty())
        GTEST_SKIP() << "no headless browser here (install chromium and python3-websocket)";
    QProcess check;
    check.start(python, {LIFELEDGER_TESTS_DIR "/family_book_check.py", chromium, book + "/index.html",
                         QStringLiteral("c%1").arg(RowOf("TOVA"))});
    ASSERT_TRUE(check.waitForFinished(120000));
    const QByteArray said = check.readAllStandardOutput();
    const QJsonObject report = QJsonDocument::fromJson(said).object();
    ASSERT_FALSE(report.isEmpty()) << said.constData() << check.readAllStandardError().constData();
    EXPECT_EQ(report["title"].toString(), "Family Book");
    EXPECT_EQ(report["listed"].toInt(), Rows());
    EXPECT_EQ(report["sections"].toInt(), Rows());
    EXPECT_EQ(report["images"].toInt(), expectedPhotos);
    EXPECT_TRUE(report["imagesLoaded"].toBool());
    EXPECT_EQ(report["clicked"].toString(), "Sorrel");
    EXPECT_EQ(report["hash"].toString(), QStringLiteral("#c%1").arg(RowOf("SKDR")));
    EXPECT_EQ(report["arrived"].toString(), "Sorrel (SKDR)");
}

// The contact sheet of albums in both pixel layouts: every photo with its
// index and size; a click shows it whole; save-all writes every photo.
TEST_F(Beyond, TheContactSheetShowsAndSavesEveryPhoto)
{
    // One photo larger than the photo window, to be fitted to it.
    WriteS16File(world.HistoryDir + "photo_ONE1.s16", {DrawPicture(1, 1200, 900)}, pl565);
    Open();
    for (const auto& [moniker, photos, layout] :
         {std::tuple<const char*, int, TPixelLayout>{"TOVA", 5, pl565}, {"SKDR", 3, pl555}}) {
        Select(RowOf(moniker));
        QStringList items;
        QImage clicked;
        QSize shown;
        bool fitted = true;
        // A folder whose name holds a place marker.
        const QString folder = dir.filePath(QString::fromLatin1(moniker) + "-100%3");
        QDir().mkpath(folder);
        WhenModal([&, moniker = moniker, photos = photos](QWidget* w) {
            auto* sheet = qobject_cast<TContactSheet*>(w);
            ASSERT_TRUE(sheet);
            auto* list = Child<QListView>(w, "Thumbnails");
            for (int i = 0; i < list->model()->rowCount(); ++i)
                items << list->model()->index(i, 0).data().toString();
            WhenModal([&](QWidget* view) {
                clicked = Child<QLabel>(view, "Picture")->pixmap().toImage();
                fitted = static_cast<TPhotoView*>(view)->Fitted();
                shown = static_cast<TPhotoView*>(view)->ShownSize();
                static_cast<QDialog*>(view)->accept();
            });
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(photos - 1, 0)).center());
            EXPECT_EQ(sheet->SaveAll(folder), photos);
            Child<QComboBox>(w, "Format")->setCurrentIndex(1);
            EXPECT_EQ(sheet->SaveAll(folder), photos);
            static_cast<QDialog*>(w)->accept();
        });
        FocusList();
        Press(Qt::Key_K, Qt::ControlModifier);
        const std::vector<TPicture> album = SampleAlbum(moniker, photos);
        QStringList expected;
        for (size_t i = 0; i < album.size(); ++i)
            expected << QStringLiteral("[%1] %2 x %3").arg(i).arg(album[i].width).arg(album[i].height);
        EXPECT_EQ(items, expected) << moniker;
        const QImage last = SampleAlbumImage(moniker, photos, photos - 1, layout);
        EXPECT_EQ(clicked.convertToFormat(QImage::Format_RGB16), last) << moniker;
        EXPECT_FALSE(fitted) << "a small photo is shown 1:1";
        EXPECT_EQ(shown, last.size());
        for (int i = 0; i < photos; ++i) {
            const QString stem = QStringLiteral("%1/%2-%3").arg(folder, QString::fromLatin1(moniker), QString::number(i));
            EXPECT_EQ(QImage(stem + ".png").convertToFormat(QImage::Format_RGB16),
                      SampleAlbumImage(moniker, photos, i, layout)) << stem.toStdString();
            EXPECT_EQ(QImage(stem + ".bmp").size(), SampleAlbumImage(moniker, photos, i, layout).size());
        }
    }

    // A photo larger than the window starts fitted into it.
    Select(RowOf("ONE1"));
    bool fitted = false;
    QSize shown;
    WhenModal([&](QWidget* w) {
        WhenModal([&](QWidget* view) {
            fitted = static_cast<TPhotoView*>(view)->Fitted();
            shown = static_cast<TPhotoView*>(view)->ShownSize();
            static_cast<QDialog*>(view)->accept();
        });
        auto* list = Child<QListView>(w, "Thumbnails");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
        static_cast<QDialog*>(w)->accept();
    });
    FocusList();
    Press(Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(fitted);
    EXPECT_LT(shown.width(), 1200);
    EXPECT_NEAR(double(shown.width()) / shown.height(), 1200.0 / 900.0, 0.02);
}
