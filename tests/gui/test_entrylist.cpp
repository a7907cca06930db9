// The main window on a sample installation: start-up, rows, icons, the scan's
// damaged matches and the rebuild.
#include "gui/GuiTest.h"

#include "browser/CommandGuard.h"
#include "history/HistoryRecord.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QToolTip>
#include <QTreeView>
#include <map>
#include <sys/stat.h>

namespace {

// The icon of every sample creature: 0 head, 1 gravestone, +2 album, +4
// genetics file, 8 exported; a strange state is its own number (ST03 reads
// as having an album it lacks; STNG's -1 shows no icon).
const std::map<QByteArray, int> kExpectedImage = {
    {"TOVA", 6}, {"SKDR", 7}, {"BRDN", 3}, {"YREX", 8}, {"ST03", 3}, {"ST07", 7}, {"STNG", -1}, {"SP00", 0},
    {"SP05", 0}, {"SPNG", 1}, {"NOPA", 0}, {"ACCE", 7}, {"CAPS", 2}, {"AB", 7},   {"LONG", 1}, {"MULT", 3},
    {"EMPT", 3}, {"BIG1", 3}, {"ONE1", 3}, {"GR05", 1}, {"GRM3", 3}, {"GEN1", 4}, {"DEAG", 5}, {"DAGP", 7},
    {"OLDY", 1}, {"LAST", 0}, {"C100", 5}, {"C101", 6}, {"C102", 0}, {"C103", 5}, {"C104", 4}, {"C105", 8},
    {"C106", 5}, {"C107", 4}, {"C108", 0}, {"C109", 7}, {"C110", 8}, {"C111", 0}, {"C112", 5}, {"C113", 6}};

}  // namespace

using EntryList = GuiTest;

TEST_F(EntryList, WindowCaptionsMenusAndColumns)
{
    openWindows();
    EXPECT_EQ(QCoreApplication::applicationName(), "Vivarion2 History Viewer");
    EXPECT_EQ(viewer->windowTitle(), "Endrish Creature History");
    const Qt::WindowFlags flags = viewer->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);

    QStringList captions;
    for (int c = 0; c < 7; ++c)
        captions << model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(captions, (QStringList{"Name of Creature", "Moniker", "Species", "Gender", "Parents",
                                     "Life (From -> To)", "State"}));
    const QFontMetrics metrics(list()->header()->font());
    for (int c = 0; c < 6; ++c)
        EXPECT_GT(list()->header()->sectionSize(c), metrics.horizontalAdvance(captions[c])) << c;
    EXPECT_FALSE(list()->header()->sectionsClickable());
    EXPECT_EQ(list()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list()->editTriggers(), QAbstractItemView::NoEditTriggers);

    QStringList main, popup;
    for (QAction* menu : viewer->menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            if (!item->isSeparator())
                main << menu->text() + "/" + item->text() + "/" + item->shortcut().toString();
    // The pop-up menu as a right-click on a row shows it (the platform
    // turns the click into this event).
    const QPoint at = list()->visualRect(list()->viewIndex(0)).center();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, list()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list()->viewport(), &rightClick);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    for (QAction* item : menu->actions())
        popup << item->text() + "/" + item->shortcut().toString();
    QTest::keyClick(menu, Qt::Key_Escape);
    // The specified items, and beside them the program's own.
    EXPECT_EQ(main, (QStringList{"&File/&Open Installation.../", "&File/&Reread/F5", "&File/Export &List.../",
                                 "&File/Export &Family Book.../", "&File/Restore &Deleted.../", "&File/E&xit/Ctrl+Q",
                                 "&Edit/&Undo/Ctrl+Z", "&Edit/&Redo/Ctrl+Shift+Z", "&Creature/&Delete/Ctrl+D",
                                 "&Creature/View/&Edit/Ctrl+E", "&Creature/&View Photo Album/Ctrl+V",
                                 "&Creature/Family &Tree/Ctrl+T", "&Creature/Contact &Sheet/Ctrl+K",
                                 "&Creature/&World Statistics/Ctrl+I", "&Creature/&Find.../Ctrl+F",
                                 "&Help/&About Lifeledger/"}));
    EXPECT_EQ(popup, (QStringList{"Delete Entry/Ctrl+D", "Edit Entry Data/Ctrl+E", "View Photo Album/Ctrl+V", "/",
                                  "Family &Tree/Ctrl+T", "Contact &Sheet/Ctrl+K"}));
}

// However long a creature's texts, the seven columns are in view at the
// window's design size, and a text that is cut shows whole as a tooltip.
TEST_F(EntryList, EveryColumnIsInViewAtTheDesignSize)
{
    HistoryRecord verbose = creature("TOVA").entry;
    verbose.displayName = QByteArray(300, 'W');
    verbose.fileName = encodePath(world.historyDir) + "cr_TOVA";
    verbose.saveToFile();
    openWindows();
    QHeaderView* header = list()->header();
    const int width = list()->viewport()->width();
    for (int c = 0; c < 7; ++c) {
        EXPECT_GE(header->sectionViewportPosition(c), 0) << c;
        EXPECT_LE(header->sectionViewportPosition(c) + header->sectionSize(c), width) << c;
        EXPECT_GE(header->sectionSize(c), QFontMetrics(header->font()).horizontalAdvance(
                      model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString())) << c;
    }
    EXPECT_EQ(header->sectionViewportPosition(6) + header->sectionSize(6), width) << "the last takes the rest";

    auto tipAt = [&](int row, int column) {
        QToolTip::hideText();
        (void)QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000);
        const QRect cell = list()->visualRect(list()->viewIndex(row, column));
        QHelpEvent help(QEvent::ToolTip, cell.center(), list()->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(list()->viewport(), &help);
        return shownToolTip();
    };
    EXPECT_EQ(tipAt(rowOf("TOVA"), 0), QString(300, 'W'));
    EXPECT_EQ(tipAt(rowOf("TOVA"), 4), "Sorrel (SKDR) and Bracken (BRDN)");
    EXPECT_EQ(tipAt(rowOf("AB"), 1), "") << "a text that fits has no tooltip";
}

// At start no row is selected; the first Down or Home selects the first row
// (not the second, not none). A refill keeps the creature selected.
TEST_F(EntryList, TheFirstStepIntoTheListSelectsTheFirstRow)
{
    for (int key : {Qt::Key_Down, Qt::Key_Home}) {
        openWindows();
        focusList();
        ASSERT_EQ(list()->selectedRow(), -1);
        press(key);
        EXPECT_EQ(list()->selectedRow(), 0) << key;
        press(Qt::Key_Down);
        EXPECT_EQ(list()->selectedRow(), 1) << key;
    }
    press(Qt::Key_F5);
    EXPECT_EQ(list()->selectedRow(), 1);
}

TEST_F(EntryList, EveryCreatureIsOneRowWithItsRecordAndIcon)
{
    openWindows();
    ASSERT_EQ(listedRows(), static_cast<int>(sampleCreatures().size()));
    for (const SampleCreature& c : sampleCreatures()) {
        const QByteArray moniker = monikerText(c.entry.moniker);
        const int row = rowOf(moniker);
        ASSERT_GE(row, 0) << moniker.constData();
        HistoryRecord expected = c.entry;
        expected.fileName = model()->record(row).fileName;
        EXPECT_EQ(model()->record(row), expected) << moniker.constData();
        EXPECT_TRUE(expected.fileName.endsWith("/" + c.historyFile));
        const int image = kExpectedImage.at(moniker);
        EXPECT_EQ(badgeImageIndex(model()->badges(row)), image) << moniker.constData();
        const QVariant icon = model()->index(row, 0).data(Qt::DecorationRole);
        EXPECT_EQ(icon.isValid(), image >= 0 && image <= 8) << moniker.constData();
    }
}

TEST_F(EntryList, ColumnTexts)
{
    openWindows();
    auto row = [&](const char* m) {
        QStringList texts;
        for (int c = 0; c < 7; ++c)
            texts << cellText(rowOf(m), c);
        return texts;
    };
    EXPECT_EQ(row("TOVA"), (QStringList{"Tavi", "TOVA", "Tovik", "Male", "Sorrel (SKDR) and Bracken (BRDN)",
                                        cellText(rowOf("TOVA"), 5), "Alive and in world"}));
    EXPECT_TRUE(cellText(rowOf("TOVA"), 5).endsWith(" (Still alive)"));
    EXPECT_EQ(row("NOPA")[4], " () and  ()");
    EXPECT_EQ(row("SKDR")[6], "Dead");
    EXPECT_EQ(row("BRDN")[6], "Dead but not registered");
    EXPECT_EQ(row("YREX")[6], "Exported - State Unknown");
    EXPECT_TRUE(row("YREX")[5].endsWith(" (Still alive)"));
    EXPECT_EQ(row("ST03")[6], "3");
    EXPECT_EQ(row("STNG")[6], "-1");
    EXPECT_TRUE(row("ST07")[5].endsWith(" (Still alive)"));
    EXPECT_EQ((QStringList{row("SKDR")[2], row("BRDN")[2], row("YREX")[2]}), (QStringList{"Skarrow", "Brumble", "Yarrel?"}));
    EXPECT_EQ((QStringList{row("SP00")[2], row("SP00")[3]}), (QStringList{"0", "0"}));
    EXPECT_EQ((QStringList{row("SP05")[2], row("SP05")[3]}), (QStringList{"5", "3"}));
    EXPECT_EQ((QStringList{row("SPNG")[2], row("SPNG")[3]}), (QStringList{"-2", "-1"}));
    EXPECT_EQ(row("SKDR")[3], "Female");
    EXPECT_EQ(row("OLDY")[5], "13 Dec 1901 (20:45:52) -> 31 Dec 1969 (23:59:59)");
    EXPECT_EQ(row("LAST")[5], "19 Jan 2038 (03:14:07) (Still alive)");
    EXPECT_EQ(row("ACCE")[0], QString::fromUtf16(u"Zo\u00eb \u00c5ngstr\u00f6m"));
    EXPECT_EQ(row("ACCE")[4], QString::fromUtf16(u"Ren\u00e9e (SKDR) and \u0152dipe (TOVA)"));
    EXPECT_EQ(row("AB")[1], "AB");
}

TEST_F(EntryList, UnreadableMatchesAreSkippedAndListedInOneError)
{
    QDir(world.historyDir).mkdir("cr_adir");
    ASSERT_EQ(mkfifo(QFile::encodeName(world.historyDir + "cr_pipe").constData(), 0644), 0);
    QFile::link(world.historyDir + "nowhere", world.historyDir + "cr_dangling");
    BoxCollector boxes;
    openWindows();
    ASSERT_EQ(boxes.boxes.size(), 1);
    const QString text = boxes.boxes[0].text;
    EXPECT_EQ(boxes.boxes[0].icon, QMessageBox::Critical);
    for (const char* name : {"cr_adir", "cr_pipe", "cr_dangling"})
        EXPECT_TRUE(text.contains(viewer->controller()->historyDirectory() + name)) << text.toStdString();
    EXPECT_TRUE(text.contains("It is a directory.")) << text.toStdString();
    EXPECT_EQ(listedRows(), static_cast<int>(sampleCreatures().size()));
    for (int r = 0; r < listedRows(); ++r)
        EXPECT_EQ(cellText(r, 1), monikerDisplayText(model()->record(r).moniker));
}

// One hostile entry spoils nothing else: a sparse record of gigabytes is
// skipped unread, names that are not UTF-8 are listed and used under their
// own bytes, and a hundred unreadable entries make one box of reasonable size.
TEST_F(EntryList, HostileEntriesInTheHistoryDirectorySpoilNothingElse)
{
    const QByteArray history = encodePath(world.historyDir);
    QFile huge(world.historyDir + "cr_huge");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(6000000000LL));
    huge.close();
    for (int i = 0; i < 100; ++i)
        QDir(world.historyDir).mkdir(QStringLiteral("cr_dir%1").arg(i, 3, 10, QLatin1Char('0')));
    const QByteArray odd[] = {"cr_\xff\xfe", "cr_\xff", "cr_\xef\xbf\xbd"};
    for (int i = 0; i < 3; ++i) {
        HistoryRecord e = creature("GEN1").entry;
        e.moniker = {'O', 'D', 'D', char('0' + i)};
        e.fileName = history + odd[i];
        e.saveToFile();
    }
    BoxCollector boxes;
    openWindows();
    ASSERT_EQ(boxes.boxes.size(), 1);
    const SeenBox& box = boxes.boxes[0];
    EXPECT_LE(box.text.count('\n'), 14) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains("and 91 more.")) << box.text.toStdString();
    EXPECT_EQ(box.details.count('\n'), 100) << "every entry in the details";
    const QString listed = viewer->controller()->historyDirectory();
    EXPECT_TRUE(box.details.contains(listed + "cr_huge\". It is 6,000,000,000 bytes long")) << box.details.toStdString();
    EXPECT_TRUE(box.details.contains(listed + "cr_dir099"));

    EXPECT_EQ(listedRows(), static_cast<int>(sampleCreatures().size()) + 3);
    for (int i = 0; i < 3; ++i) {
        const int row = rowOf(QByteArray("ODD") + char('0' + i));
        ASSERT_GE(row, 0) << i;
        EXPECT_EQ(model()->record(row).fileName, encodePath(listed) + odd[i]);
    }
    // The raw names are edited and deleted under their own bytes.
    select(rowOf("ODD1"));
    whenModal([](QWidget* w) {
        w->findChild<QLineEdit*>("nameEdit")->setText("Renamed");
        w->findChild<QPushButton*>("acceptButton")->click();
    });
    trigger("editAction");
    HistoryRecord saved;
    saved.loadFromFile(history + odd[1]);
    EXPECT_EQ(saved.displayName, "Renamed");
    BoxCollector answers;  // the confirmation: Yes
    select(rowOf("ODD2"));
    whenModal([](QWidget* w) {
        w->findChild<QCheckBox*>("historyCheck")->setChecked(true);
        w->findChild<QPushButton*>("executeButton")->click();
    });
    trigger("deleteAction");
    EXPECT_FALSE(entryExists(history + odd[2]));
    EXPECT_TRUE(entryExists(history + odd[0]));
    EXPECT_TRUE(entryExists(history + odd[1]));
}

// Other English locales abbreviate some months differently ("Sept",
// "June"); the list shows English months with three letters, Jan to Dec.
TEST(MonthNames, EnglishIsAlwaysJanToDecOtherLanguagesTheirOwn)
{
    const QStringList english = DateTimeNames::english().shortMonthNames;
    for (const char* name : {"en_GB", "en_AU", "en_US", "en_IN"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        EXPECT_EQ(localeDateTimeNames().shortMonthNames, english) << name;
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(localeDateTimeNames().shortMonthNames[9], QLocale().monthName(10, QLocale::ShortFormat));
    EXPECT_NE(localeDateTimeNames().shortMonthNames[9], "Oct");
    QLocale::setDefault(QLocale::c());
}

TEST_F(EntryList, MonikersThatCouldEscapeTheirDirectoryNeverNameFiles)
{
    HistoryRecord sly = creature("TOVA").entry;
    sly.moniker = {'.', '.', 0, 0};
    sly.fileName = encodePath(world.historyDir) + "cr_dots";
    sly.saveToFile();
    // Files such a moniker would reach, were it used in a path.
    writeWholeFile(world.historyDir + "photo_...s16", "x");
    writeWholeFile(world.geneticsDir + "...gen", "x");
    openWindows();
    const int row = rowOf("..");
    ASSERT_GE(row, 0);
    EXPECT_EQ(badgeImageIndex(model()->badges(row)), 0);
    EXPECT_TRUE(viewer->controller()->filesOf(row).album.isEmpty());
    EXPECT_TRUE(viewer->controller()->filesOf(row).genetics.isEmpty());
}

TEST_F(EntryList, RebuildReadsTheDiskAfresh)
{
    openWindows();
    const int before = listedRows();
    QFile::remove(world.historyDir + "cr_SKDR");
    HistoryRecord changed = creature("TOVA").entry;
    changed.displayName = "Renamed by the game";
    changed.fileName = encodePath(world.historyDir) + "cr_TOVA";
    changed.saveToFile();
    HistoryRecord born = creature("GEN1").entry;
    born.moniker = {'N', 'E', 'W', '1'};
    born.fileName = encodePath(world.historyDir) + "cr_NEW1";
    born.saveToFile();
    acceptEditOf("GEN1");
    EXPECT_EQ(listedRows(), before);
    EXPECT_EQ(rowOf("SKDR"), -1);
    EXPECT_GE(rowOf("NEW1"), 0);
    EXPECT_EQ(cellText(rowOf("TOVA"), 0), "Renamed by the game");
    EXPECT_EQ(list()->selectedRow(), rowOf("GEN1")) << "the creature edited stays selected";
}

TEST_F(EntryList, HistoryDirectoryWithoutTrailingSeparatorListsNothingQuietly)
{
    writeWholeFile(world.prefix + "/system.reg",
                   sampleRegistryText("C:\\Program Files\\Quenmoor\\Vivarion 2\\History", kSampleGeneticsWinPath));
    BoxCollector boxes;
    openWindows();
    EXPECT_EQ(listedRows(), 0);
    EXPECT_TRUE(boxes.boxes.isEmpty());
}

// The rebuild after an accepted edit looks the installation up again; gone,
// it ends the program as at start-up.
TEST_F(EntryList, InstallationGoneAtARebuildEndsTheProgram)
{
    openWindows();
    QSignalSpy lost(viewer.get(), &MainWindow::installationLost);
    QFile::remove(world.prefix + "/system.reg");
    expectNothingHappens([this] { trigger("editAction"); });  // no selection: no lookup either
    EXPECT_EQ(lost.count(), 0);
    SeenBox seen;
    acceptEditOf("TOVA", [&] { answerBox(QMessageBox::Ok, &seen); });
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_EQ(seen.title, "Lifeledger - No Vivarion 2 Installation found");
    EXPECT_EQ(seen.text, "Warning, without Vivarion 2 installed, the Lifeledger is useless.");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

namespace {

// Starts a program on a prefix, on the offscreen platform.
void start(QProcess& app, const char* program, const QString& prefix, const QStringList& extraEnv = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WINEPREFIX", prefix);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const QString& pair : extraEnv)
        env.insert(pair.section('=', 0, 0), pair.section('=', 1));
    app.setProcessEnvironment(env);
    app.start(QString::fromLocal8Bit(program), {});
    ASSERT_TRUE(app.waitForStarted());
}

}  // namespace

TEST(Executable, WithoutTheGameItShowsTheMessageAndExitsWithOne)
{
    QTemporaryDir emptyPrefix;
    QProcess app;
    start(app, LIFELEDGER_ANSWERING, emptyPrefix.path());
    ASSERT_TRUE(app.waitForFinished(20000));
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 1);
    const QString err = QString::fromLocal8Bit(app.readAllStandardError());
    EXPECT_TRUE(err.contains("message box: Lifeledger - No Vivarion 2 Installation found | Warning, without Vivarion 2 "
                             "installed, the Lifeledger is useless."))
        << err.toStdString();
    EXPECT_EQ(err.count("message box:"), 1);
}

TEST(Executable, WithTheGameItRunsUntilExit)
{
    QTemporaryDir dir;
    const SampleWorld world = writeSampleWorld(dir.path());
    QProcess app;
    start(app, LIFELEDGER_ANSWERING, world.prefix);
    EXPECT_FALSE(app.waitForFinished(1500)) << "ended by itself";
    app.terminate();
    app.waitForFinished(5000);
    EXPECT_FALSE(QString::fromLocal8Bit(app.readAllStandardError()).contains("message box:"));
}

// The program users install answers no message box by itself, whatever the
// environment says: the variable that once made it do so is not even in it.
TEST(Executable, TheInstalledProgramHasNoTestHook)
{
    QFile binary(QString::fromLocal8Bit(LIFELEDGER_INSTALLED));
    ASSERT_TRUE(binary.open(QIODevice::ReadOnly));
    const QByteArray image = binary.readAll();
    EXPECT_FALSE(image.contains("LIFELEDGER_TEST")) << "a test switch is compiled into the program";

    QTemporaryDir emptyPrefix;
    QProcess app;
    start(app, LIFELEDGER_INSTALLED, emptyPrefix.path(), {"LIFELEDGER_TEST_ANSWER_MODALS=1"});
    EXPECT_FALSE(app.waitForFinished(2000)) << "the message box was answered without a user";
    app.kill();
    app.waitForFinished(5000);
}
