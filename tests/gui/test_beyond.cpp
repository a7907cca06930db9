// Beyond the list: the family tree, the find bar, the exports and the
// contact sheet, each on the sample installation and driven as a user would.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/ContactSheetDialog.h"
#include "browser/Exports.h"
#include "history/Lineage.h"
#include "browser/FamilyTreeWindow.h"
#include "sprites/SpriteImage.h"

#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QCheckBox>
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
void typeInto(QWidget* box, const QString& text)
{
    for (QChar c : text)
        QTest::keyClick(box, c.toLatin1());
}

// Presses "Save All Photos..." on a contact sheet and answers the folder
// dialog with `folder`, the question whether to replace (when `replacing`)
// with Yes, and the closing message (seen in *said).
void saveAllInto(QWidget* sheet, const QString& folder, bool replacing, SeenBox* said)
{
    whenModal([folder, replacing, said](QWidget* w) {
        auto* files = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(files);
        if (replacing)
            whenModal([said](QWidget* question) {
                answerBox(QMessageBox::Ok, said);
                static_cast<QMessageBox*>(question)->button(QMessageBox::Yes)->click();
            });
        else
            answerBox(QMessageBox::Ok, said);
        files->setDirectory(folder);
        files->selectFile(folder);
        static_cast<QDialog*>(files)->accept();
    });
    QTest::mouseClick(child<QPushButton>(sheet, "saveAllButton"), Qt::LeftButton);
}

// Fills Qt's own file dialog's name box and accepts it with Enter.
void answerFileDialog(const QString& path)
{
    whenModal([path](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
    });
}

// What a reader of the family book in `page`'s folder meets in a real
// headless browser (tests/family_book_check.py), after a click on the first
// parent link of `section` on `page`; empty when there is no browser here.
QJsonObject readInABrowser(const QString& page, const QString& section)
{
    const QString chromium = QStandardPaths::findExecutable("chromium");
    // The system's Python, which Debian's websocket package serves, before
    // any other one on the PATH.
    QString python = QStandardPaths::findExecutable("python3", {"/usr/bin"});
    if (python.isEmpty())
        python = QStandardPaths::findExecutable("python3");
    if (chromium.isEmpty() || python.isEmpty())
        return {};
    QProcess check;
    check.start(python, {LIFELEDGER_TESTS_DIR "/family_book_check.py", chromium, page, section});
    EXPECT_TRUE(check.waitForFinished(240000));
    const QByteArray said = check.readAllStandardOutput();
    const QJsonObject report = QJsonDocument::fromJson(said).object();
    EXPECT_FALSE(report.isEmpty()) << said.constData() << check.readAllStandardError().constData();
    return report;
}

}  // namespace

class Beyond : public GuiTest {
protected:
    // Selects the creature and presses Ctrl+T: the tree window it opened.
    FamilyTreeWindow* openTreeOf(const QByteArray& moniker)
    {
        select(rowOf(moniker));
        focusList();
        press(Qt::Key_T, Qt::ControlModifier);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* tree = qobject_cast<FamilyTreeWindow*>(w); tree && tree->isVisible())
                return tree;
        return nullptr;
    }

    // Gives a sample creature another name in its history file.
    void rename(const char* moniker, const QByteArray& name)
    {
        HistoryRecord e = creature(moniker).entry;
        e.displayName = name;
        e.fileName = encodePath(world.historyDir) + "cr_" + moniker;
        e.saveToFile();
    }

    // Gives the tree the keyboard (activation arrives through the event queue).
    static void focusTree(FamilyTreeWindow* window)
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([window] { return window->isActiveWindow(); }));
        window->view()->setFocus();
    }
};

// Ctrl+T on Tavi: its parents above, its children (and theirs) below, each a
// card with the creature's name and moniker for a screen reader; the arrows
// move between cards and Enter selects the creature in the list.
TEST_F(Beyond, TheFamilyTreeShowsAncestorsAndDescendantsAsCards)
{
    openWindows();
    FamilyTreeWindow* window = openTreeOf("TOVA");
    ASSERT_TRUE(window);
    FamilyTreeView* view = window->view();
    QStringList cards;
    for (int i = 0; i < view->cardCount(); ++i)
        cards << view->face(i).moniker;
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
    ASSERT_EQ(tree->childCount(), view->cardCount());
    EXPECT_EQ(tree->child(0)->text(QAccessible::Name), "Tavi (TOVA)");
    EXPECT_EQ(tree->child(1)->text(QAccessible::Name), "Sorrel (SKDR)");

    focusTree(window);
    EXPECT_EQ(view->focusedCard(), 0);
    QTest::keyClick(view->viewport(), Qt::Key_Up);  // to the first parent
    EXPECT_EQ(view->face(view->focusedCard()).moniker, "SKDR");
    EXPECT_TRUE(tree->child(view->focusedCard())->state().focused);
    QTest::keyClick(view->viewport(), Qt::Key_Return);
    EXPECT_EQ(list()->selectedRow(), rowOf("SKDR"));

    // A double-click on a card selects it too.
    const int card = static_cast<int>(cards.indexOf("C105"));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->cardRect(card).center());
    EXPECT_EQ(list()->selectedRow(), rowOf("C105"));
    window->close();
}

// A parent the history does not hold is a card of its own, named as its
// child's record names it.
TEST_F(Beyond, AParentOutsideTheHistoryIsShownByWhatTheChildSays)
{
    QFile::remove(world.historyDir + "cr_BRDN");
    openWindows();
    FamilyTreeWindow* window = openTreeOf("TOVA");
    ASSERT_TRUE(window);
    FamilyTreeView* view = window->view();
    int outside = -1;
    for (int i = 0; i < view->cardCount(); ++i)
        if (view->face(i).moniker == "BRDN")
            outside = i;
    ASSERT_GE(outside, 0);
    EXPECT_TRUE(view->face(outside).outside);
    EXPECT_EQ(view->face(outside).name, "Bracken");
    window->close();
}

// A line of 1,200 generations: the tree opens with only the cards in sight
// made, and the keys and "Whole Tree" travel it without making the rest.
TEST_F(Beyond, ADeepTreeMakesOnlyTheCardsInSight)
{
    constexpr int kLine = 1200;
    auto moniker = [](int i) {
        Moniker m{'L', '0', '0', '0'};
        for (int k = 3; k >= 1; --k, i /= 36)
            m[size_t(k)] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[i % 36];
        return m;
    };
    HistoryRecord e = creature("TOVA").entry;
    for (int i = 0; i < kLine; ++i) {
        e.moniker = moniker(i);
        e.parent1Moniker = i >= 1 ? moniker(i - 1) : Moniker{};
        e.parent2Moniker = i >= 2 ? moniker(i - 2) : Moniker{};
        writeWholeFile(world.historyDir + "cr_" + QByteArray(e.moniker.data(), 4), e.saveToBytes());
    }
    openWindows();
    FamilyTreeWindow* window = openTreeOf(QByteArray(moniker(kLine / 2).data(), 4));
    ASSERT_TRUE(window);
    FamilyTreeView* view = window->view();
    EXPECT_EQ(view->cardCount(), kLine);
    EXPECT_LT(view->scene()->items().size(), 100);

    focusTree(window);
    for (int i = 0; i < 60; ++i)
        QTest::keyClick(view->viewport(), Qt::Key_Up);
    const int far = view->focusedCard();
    ASSERT_GE(far, 0);
    EXPECT_EQ(view->face(far).moniker, QString::fromLatin1(moniker(kLine / 2 - 60).data(), 4));
    EXPECT_TRUE(view->viewport()->rect().contains(view->cardRect(far)));
    EXPECT_LT(view->scene()->items().size(), 100);

    QTest::mouseClick(child<QToolButton>(window, "zoomFitButton"), Qt::LeftButton);
    EXPECT_LT(view->scene()->items().size(), 1000);
    EXPECT_EQ(view->focusedCard(), far) << "the focus stays on its card";
    window->close();
}

// Typing filters the rows to those whose texts hold what was typed; the
// commands act on the creature selected among them; Escape shows all again.
TEST_F(Beyond, TheFindBarFiltersAndTheCommandsKeepTheirCreature)
{
    openWindows();
    const int all = listedRows();
    focusList();
    press(Qt::Key_F, Qt::ControlModifier);
    auto* text = child<QLineEdit>(viewer.get(), "findEdit");
    ASSERT_TRUE(text->isVisible() && text->hasFocus());
    typeInto(text, "sorREL");
    QTest::keyClick(text, Qt::Key_Return);
    // Sorrel itself, Tavi (its mother is Sorrel) and the fourteen with Sorrel as a parent.
    QStringList shown;
    for (int r = 0; r < list()->model()->rowCount(); ++r)
        shown << list()->model()->index(r, 1).data().toString();
    shown.sort();
    QStringList expected{"SKDR", "TOVA"};
    for (int i = 0; i < 14; ++i)
        expected << QStringLiteral("C%1").arg(100 + i);
    expected.sort();
    EXPECT_EQ(shown, expected);

    // The third row shown, chosen by the mouse, is the creature the command opens.
    const QModelIndex third = list()->model()->index(2, 0);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualRect(third).center());
    const QString chosen = third.siblingAtColumn(1).data().toString();
    QString opened;
    whenModal([&](QWidget* d) {
        opened = child<QLineEdit>(d, "monikerEdit")->text();
        QTest::mouseClick(child<QPushButton>(d, "cancelButton"), Qt::LeftButton);
    });
    press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(opened, chosen);

    text->setFocus();
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_FALSE(text->isVisible());
    EXPECT_EQ(list()->model()->rowCount(), all);
}

// The list as CSV, read back by Python's csv module: every row as shown,
// the raw time stamps and the paths, a name with a comma and quotes intact.
TEST_F(Beyond, TheListExportsAsCsvThatPythonReadsBack)
{
    rename("TOVA", "He said \"hi\", twice");
    // Names from other players that a spreadsheet would run as formulas are
    // written behind an apostrophe; NUL characters are dropped.
    const std::vector<std::pair<const char*, QByteArray>> hostile = {
        {"ACCE", "=HYPERLINK(\"http://x.test\",\"Gale\")"}, {"BIG1", "+1+2"}, {"LAST", "-2+3"},
        {"DAGP", "@SUM(A1:A2)"}, {"DEAG", "\tTab"}, {"EMPT", "\rCR"}, {"GEN1", QByteArray("Nu\0l", 4)}, {"GR05", "-5"}};
    for (const auto& [moniker, name] : hostile)
        rename(moniker, name);
    openWindows();
    const QString csv = dir.filePath("list.csv");
    answerFileDialog(csv);
    viewer->findChild<QAction*>("exportListAction")->trigger();
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
    ASSERT_EQ(rows.size(), listedRows() + 1);
    EXPECT_EQ(rows[0].toArray().size(), 12);
    EXPECT_EQ(rows[0].toArray()[0].toString(), "Name of Creature");
    EXPECT_EQ(rows[0].toArray()[7].toString(), "Birth time stamp");
    const QJsonArray tova = rows[rowOf("TOVA") + 1].toArray();
    EXPECT_EQ(tova[0].toString(), "He said \"hi\", twice");
    EXPECT_EQ(tova[4].toString(), "Sorrel (SKDR) and Bracken (BRDN)");
    EXPECT_EQ(tova[7].toString(), QString::number(creature("TOVA").entry.birthTime));
    EXPECT_EQ(tova[9].toString(), viewer->controller()->historyDirectory() + "cr_TOVA");
    EXPECT_EQ(tova[10].toString(), viewer->controller()->historyDirectory() + "photo_TOVA.s16");
    EXPECT_EQ(tova[11].toString(), viewer->controller()->geneticsDirectory() + "TOVA.gen");
    const QJsonArray oldy = rows[rowOf("OLDY") + 1].toArray();
    EXPECT_EQ(oldy[8].toString(), "-1");
    EXPECT_EQ(oldy[10].toString(), "") << "no album: no path";
    const std::vector<QString> guarded = {"'=HYPERLINK(\"http://x.test\",\"Gale\")", "'+1+2", "'-2+3", "'@SUM(A1:A2)",
                                          "'\tTab", "'\rCR", "Nul", "-5"};
    for (size_t i = 0; i < hostile.size(); ++i)
        EXPECT_EQ(rows[rowOf(hostile[i].first) + 1].toArray()[0].toString(), guarded[i]) << hostile[i].first;
}

// Every export writes into the chosen folder only: a link where a file or
// the photos folder goes (to a file elsewhere, to a folder elsewhere, to
// nothing) is refused with a message naming it, and nothing elsewhere is
// written. A link there, even a dangling one, is asked about before.
TEST_F(Beyond, EveryExportRefusesALinkAndWritesNothingOutside)
{
    openWindows();
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath("victim");
    writeWholeFile(victim, "mine");
    const QString book = dir.filePath("book");
    const LineageIndex lineage(model()->keys());
    auto refused = [&](const QString& link, const std::function<void()>& write) {
        try {
            write();
            ADD_FAILURE() << "wrote through " << link.toStdString();
        } catch (const FileCreateError& e) {
            EXPECT_TRUE(e.message.contains(link) && e.message.contains("symbolic link")) << e.message.toStdString();
        }
    };
    auto writeBook = [&] { writeFamilyBook(book, *model(), lineage, viewer->controller()->historyDirectory()); };
    QDir().mkpath(book + "/photos");
    QFile::link(victim, book + "/index.html");
    refused(book + "/index.html", writeBook);
    QFile::remove(book + "/index.html");
    const QString photo = book + QStringLiteral("/photos/c%1-0.png").arg(rowOf("TOVA"));
    QFile::link(victim, photo);
    refused(photo, writeBook);
    QDir(book).removeRecursively();
    QDir().mkpath(book);
    QFile::link(elsewhere.path(), book + "/photos");
    refused(book + "/photos", writeBook);
    QFile::remove(book + "/photos");

    ContactSheetDialog sheet;
    sheet.fill("Tavi", viewer->controller()->historyDirectory() + "photo_TOVA.s16", "TOVA");
    QFile::link(victim, dir.filePath("TOVA-1.png"));
    refused(dir.filePath("TOVA-1.png"), [&] { sheet.saveAll(dir.path()); });
    QFile::link(victim, dir.filePath("photo.bmp"));
    refused(dir.filePath("photo.bmp"), [&] { writeBmp565(dir.filePath("photo.bmp"), QImage(2, 2, QImage::Format_RGB16)); });
    EXPECT_EQ(readAll(victim), "mine");
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"victim"});

    // Through the window: a dangling link is asked about, then refused; the
    // place it leads to stays empty.
    QFile::link(elsewhere.filePath("made-by-link"), book + "/index.html");
    SeenBox question, error;
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        dialog->setDirectory(book);
        dialog->selectFile(book);
        answerBox(QMessageBox::Yes, &question);
        answerBox(QMessageBox::Ok, &error);
        static_cast<QDialog*>(dialog)->accept();
    });
    viewer->findChild<QAction*>("exportFamilyBookAction")->trigger();
    EXPECT_TRUE(question.text.contains("index.html")) << question.text.toStdString();
    EXPECT_TRUE(error.text.contains(book + "/index.html") && error.text.contains("symbolic link")) << error.text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(elsewhere.filePath("made-by-link")));
}

// The family book opened in a real browser: every creature listed and
// described, every photo loaded, and a parent's link leads to the parent.
TEST_F(Beyond, TheFamilyBookReadsInABrowserAndItsLinksLead)
{
    // A name holding place markers is written as it is, not filled in.
    rename("DAGP", "Keep %5 %1");
    openWindows();
    const QString book = dir.filePath("book");
    QDir().mkpath(book);
    whenModal([book](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog);
        dialog->setDirectory(book);
        dialog->selectFile(book);
        static_cast<QDialog*>(dialog)->accept();
        answerBox(QMessageBox::Ok);  // "The family book ... is in ..."
    });
    viewer->findChild<QAction*>("exportFamilyBookAction")->trigger();
    ASSERT_TRUE(QFileInfo::exists(book + "/index.html"));
    const int photos = static_cast<int>(QDir(book + "/photos").entryList(QDir::Files).size());
    int expectedPhotos = 0;
    for (const SampleCreature& c : sampleCreatures())
        if (c.albumPhotos > 0 && c.entry.state != 2)
            expectedPhotos += c.albumPhotos;
    EXPECT_EQ(photos, expectedPhotos);
    const QString page = QString::fromUtf8(readAll(book + "/index.html"));
    EXPECT_TRUE(page.contains("alt=\"Photo 0 of Keep %5 %1\""));
    EXPECT_EQ(page.count(QRegularExpression("<figcaption>\\[\\d+\\] \\d+ x \\d+</figcaption>")), expectedPhotos);

    const QJsonObject report = readInABrowser(book + "/index.html", QStringLiteral("c%1").arg(rowOf("TOVA")));
    if (report.isEmpty())
        GTEST_SKIP() << "no headless browser here (install chromium and python3-websocket)";
    EXPECT_EQ(report["title"].toString(), "Family Book");
    EXPECT_EQ(report["listed"].toInt(), listedRows());
    EXPECT_EQ(report["sections"].toInt(), listedRows());
    EXPECT_EQ(report["images"].toInt(), expectedPhotos);
    EXPECT_TRUE(report["imagesLoaded"].toBool());
    EXPECT_EQ(report["clicked"].toString(), "Sorrel");
    EXPECT_EQ(report["hash"].toString(), QStringLiteral("#c%1").arg(rowOf("SKDR")));
    EXPECT_EQ(report["arrived"].toString(), "Sorrel (SKDR)");
    EXPECT_EQ(report["pages"].toInt(), 1);
    EXPECT_EQ(report["broken"].toArray().size(), 0) << QJsonDocument(report).toJson().constData();
}

// A history too large for one page: pages of a bounded size that name each
// other, and every link, within a page or to another, leads to its creature.
TEST_F(Beyond, ALargeFamilyBookIsPagesWhoseEveryLinkLeads)
{
    openWindows();
    const QString book = dir.filePath("pages");
    QDir().mkpath(book);
    HistoryController* controller = viewer->controller();
    std::vector<int> told;
    const FamilyBook written = controller->exportFamilyBook(book, {7, [&](int done, int total) {
                                                                      EXPECT_EQ(total, listedRows());
                                                                      told.push_back(done);
                                                                  }});
    const int pages = (listedRows() + 6) / 7;
    EXPECT_EQ(written.pages, pages);
    EXPECT_EQ(told.back(), listedRows());
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    for (int page = 2; page <= pages; ++page)
        EXPECT_TRUE(QFileInfo::exists(book + QStringLiteral("/creatures-%1.html").arg(page)));
    EXPECT_FALSE(QFileInfo::exists(book + QStringLiteral("/creatures-%1.html").arg(pages + 1)));
    const QString page = QString::fromUtf8(readAll(book + "/index.html"));
    EXPECT_TRUE(page.contains("<title>Family Book</title>") && page.contains("<h2>Creatures 1 to 7 of")) << page.left(2000).toStdString();
    EXPECT_EQ(page.count("<section"), 7);

    // TOVA's parents live on other pages than hers.
    const int tova = rowOf("TOVA");
    const QString tovaPage = tova < 7 ? QStringLiteral("index.html") : QStringLiteral("creatures-%1.html").arg(tova / 7 + 1);
    const QJsonObject report = readInABrowser(book + "/" + tovaPage, QStringLiteral("c%1").arg(tova));
    if (report.isEmpty())
        GTEST_SKIP() << "no headless browser here (install chromium and python3-websocket)";
    EXPECT_EQ(report["pages"].toInt(), pages);
    EXPECT_EQ(report["listed"].toInt(), listedRows());
    EXPECT_EQ(report["sections"].toInt(), listedRows());
    EXPECT_TRUE(report["imagesLoaded"].toBool());
    EXPECT_EQ(report["broken"].toArray().size(), 0) << QJsonDocument(report).toJson().constData();
    const int sorrel = rowOf("SKDR");
    EXPECT_EQ(report["page"].toString(), sorrel < 7 ? QStringLiteral("index.html") : QStringLiteral("creatures-%1.html").arg(sorrel / 7 + 1));
    EXPECT_EQ(report["arrived"].toString(), "Sorrel (SKDR)");
}

// The contact sheet of albums in both pixel layouts: every photo with its
// index and size; a click shows it whole; save-all writes every photo.
TEST_F(Beyond, TheContactSheetShowsAndSavesEveryPhoto)
{
    // One photo larger than the photo window, to be fitted to it.
    writeS16File(world.historyDir + "photo_ONE1.s16", {drawPicture(1, 1200, 900)}, pl565);
    openWindows();
    for (const auto& [moniker, photos, layout] :
         {std::tuple<const char*, int, PixelLayout>{"TOVA", 5, pl565}, {"SKDR", 3, pl555}}) {
        select(rowOf(moniker));
        QStringList items;
        QImage clicked;
        QSize shown;
        bool fitted = true;
        // A folder whose name holds a place marker.
        const QString folder = dir.filePath(QString::fromLatin1(moniker) + "-100%3");
        QDir().mkpath(folder);
        whenModal([&, moniker = moniker, photos = photos](QWidget* w) {
            auto* sheet = qobject_cast<ContactSheetDialog*>(w);
            ASSERT_TRUE(sheet);
            auto* list = child<QListView>(w, "thumbnailView");
            for (int i = 0; i < list->model()->rowCount(); ++i)
                items << list->model()->index(i, 0).data().toString();
            whenModal([&](QWidget* view) {
                clicked = child<QLabel>(view, "pictureLabel")->pixmap().toImage();
                fitted = static_cast<PhotoViewDialog*>(view)->fitted();
                shown = static_cast<PhotoViewDialog*>(view)->shownSize();
                EXPECT_TRUE(view->windowTitle().startsWith(moniker == QByteArray("TOVA") ? "Tavi - [" : "Sorrel - ["))
                    << view->windowTitle().toStdString();
                // Fitted, a small photo grows by a whole factor.
                QTest::mouseClick(child<QCheckBox>(view, "fitToWindowCheck"), Qt::LeftButton, {}, QPoint(4, 8));
                const QSize grown = static_cast<PhotoViewDialog*>(view)->shownSize();
                EXPECT_TRUE(grown.width() > shown.width() && grown.width() % shown.width() == 0) << grown.width();
                static_cast<QDialog*>(view)->accept();
            });
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(photos - 1, 0)).center());
            SeenBox saved;
            saveAllInto(w, folder, false, &saved);
            EXPECT_EQ(saved.text, QStringLiteral("%1 photos saved in %2.").arg(photos).arg(folder));
            child<QComboBox>(w, "formatCombo")->setCurrentIndex(1);
            saveAllInto(w, folder, false, &saved);
            saveAllInto(w, folder, true, &saved);  // the BMP files are there now: asked first
            EXPECT_EQ(saved.text, QStringLiteral("%1 photos saved in %2.").arg(photos).arg(folder));
            static_cast<QDialog*>(w)->accept();
        });
        focusList();
        press(Qt::Key_K, Qt::ControlModifier);
        const std::vector<Picture> album = sampleAlbum(moniker, photos);
        QStringList expected;
        for (size_t i = 0; i < album.size(); ++i)
            expected << QStringLiteral("[%1] %2 x %3").arg(i).arg(album[i].width).arg(album[i].height);
        EXPECT_EQ(items, expected) << moniker;
        const QImage last = sampleAlbumImage(moniker, photos, photos - 1, layout);
        EXPECT_EQ(clicked.convertToFormat(QImage::Format_RGB16), last) << moniker;
        EXPECT_FALSE(fitted) << "a small photo is shown 1:1";
        EXPECT_EQ(shown, last.size());
        for (int i = 0; i < photos; ++i) {
            const QString stem = QStringLiteral("%1/%2-%3").arg(folder, QString::fromLatin1(moniker), QString::number(i));
            EXPECT_EQ(QImage(stem + ".png").convertToFormat(QImage::Format_RGB16),
                      sampleAlbumImage(moniker, photos, i, layout)) << stem.toStdString();
            EXPECT_EQ(QImage(stem + ".bmp").size(), sampleAlbumImage(moniker, photos, i, layout).size());
        }
    }

    // A photo larger than the window starts fitted into it.
    select(rowOf("ONE1"));
    bool fitted = false;
    QSize shown;
    whenModal([&](QWidget* w) {
        whenModal([&](QWidget* view) {
            fitted = static_cast<PhotoViewDialog*>(view)->fitted();
            shown = static_cast<PhotoViewDialog*>(view)->shownSize();
            static_cast<QDialog*>(view)->accept();
        });
        auto* list = child<QListView>(w, "thumbnailView");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
        static_cast<QDialog*>(w)->accept();
    });
    focusList();
    press(Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(fitted);
    EXPECT_LT(shown.width(), 1200);
    EXPECT_NEAR(double(shown.width()) / shown.height(), 1200.0 / 900.0, 0.02);
}
