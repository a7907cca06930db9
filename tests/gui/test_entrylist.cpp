// The main window on a sample installation: start-up, rows, icons, the scan's
// damaged matches and the rebuild.
#include "gui/GuiTest.h"

#include "browser/CommandGuard.h"
#include "history/unitHistoryClass.h"
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
    Open();
    EXPECT_EQ(QCoreApplication::applicationName(), "Vivarion2 History Viewer");
    EXPECT_EQ(viewer->windowTitle(), "Endrish Creature History");
    const Qt::WindowFlags flags = viewer->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);

    QStringList captions;
    for (int c = 0; c < 7; ++c)
        captions << viewer->EntryRecords->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(captions, (QStringList{"Name of Creature", "Moniker", "Species", "Gender", "Parents",
                                     "Life (From -> To)", "State"}));
    const QFontMetrics metrics(viewer->Entries->header()->font());
    for (int c = 0; c < 6; ++c)
        EXPECT_GT(viewer->Entries->header()->sectionSize(c), metrics.horizontalAdvance(captions[c])) << c;
    EXPECT_FALSE(viewer->Entries->header()->sectionsClickable());
    EXPECT_EQ(viewer->Entries->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(viewer->Entries->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(viewer->Entries->editTriggers(), QAbstractItemView::NoEditTriggers);

    QStringList main, popup;
    for (QAction* menu : viewer->menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            if (!item->isSeparator())
                main << menu->text() + "/" + item->text() + "/" + item->shortcut().toString();
    for (QAction* item : viewer->EntriesMenu->actions())
        popup << item->text() + "/" + item->shortcut().toString();
    // The specified items, and beside them two of this program's own.
    EXPECT_EQ(main, (QStringList{"&File/&Open Installation.../", "&File/&Reread/F5", "&File/Export &List.../",
                                 "&File/Export &Family Book.../", "&File/E&xit/", "&Creature/&Delete/Ctrl+D",
                                 "&Creature/View/&Edit/Ctrl+E", "&Creature/&View Photo Album/Ctrl+V",
                                 "&Creature/Family &Tree/Ctrl+T", "&Creature/Contact &Sheet/Ctrl+K",
                                 "&Creature/&Find.../Ctrl+F", "&Help/&About Lifeledger/"}));
    EXPECT_EQ(popup, (QStringList{"Delete Entry/Ctrl+D", "Edit Entry Data/Ctrl+E", "View Photo Album/Ctrl+V", "/",
                                  "Family &Tree/Ctrl+T", "Contact &Sheet/Ctrl+K"}));
}

// However long a creature's texts, the seven columns are in view at the
// window's design size, and a text that is cut shows whole as a tooltip.
TEST_F(EntryList, EveryColumnIsInViewAtTheDesignSize)
{
    THistoryEntry verbose = Creature("TOVA").Entry;
    verbose.DisplayName = QByteArray(300, 'W');
    verbose.FileName = EncodePath(world.HistoryDir) + "cr_TOVA";
    verbose.SaveToFile();
    Open();
    QHeaderView* header = viewer->Entries->header();
    const int width = viewer->Entries->viewport()->width();
    for (int c = 0; c < 7; ++c) {
        EXPECT_GE(header->sectionViewportPosition(c), 0) << c;
        EXPECT_LE(header->sectionViewportPosition(c) + header->sectionSize(c), width) << c;
        EXPECT_GE(header->sectionSize(c), QFontMetrics(header->font()).horizontalAdvance(
                      viewer->EntryRecords->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString())) << c;
    }
    EXPECT_EQ(header->sectionViewportPosition(6) + header->sectionSize(6), width) << "the last takes the rest";

    auto tipAt = [&](int row, int column) {
        QToolTip::hideText();
        (void)QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000);
        const QRect cell = viewer->Entries->visualRect(viewer->ViewIndex(row, column));
        QHelpEvent help(QEvent::ToolTip, cell.center(), viewer->Entries->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(viewer->Entries->viewport(), &help);
        return ShownToolTip();
    };
    EXPECT_EQ(tipAt(RowOf("TOVA"), 0), QString(300, 'W'));
    EXPECT_EQ(tipAt(RowOf("TOVA"), 4), "Sorrel (SKDR) and Bracken (BRDN)");
    EXPECT_EQ(tipAt(RowOf("AB"), 1), "") << "a text that fits has no tooltip";
}

// At start, and after a refill, no row is selected; the first Down or Home
// selects the first row (not the second, not none).
TEST_F(EntryList, TheFirstStepIntoTheListSelectsTheFirstRow)
{
    Open();
    for (int key : {Qt::Key_Down, Qt::Key_Home}) {
        if (key == Qt::Key_Home)
            AcceptEditOf("TOVA");
        FocusList();
        ASSERT_EQ(viewer->SelectedRow(), -1);
        Press(key);
        EXPECT_EQ(viewer->SelectedRow(), 0) << key;
        Press(Qt::Key_Down);
        EXPECT_EQ(viewer->SelectedRow(), 1) << key;
    }
}

TEST_F(EntryList, EveryCreatureIsOneRowWithItsRecordAndIcon)
{
    Open();
    ASSERT_EQ(Rows(), static_cast<int>(SampleCreatures().size()));
    for (const TSampleCreature& c : SampleCreatures()) {
        const QByteArray moniker = MonikerText(c.Entry.Moniker);
        const int row = RowOf(moniker);
        ASSERT_GE(row, 0) << moniker.constData();
        THistoryEntry expected = c.Entry;
        expected.FileName = viewer->EntryRecords->Record(row).FileName;
        EXPECT_EQ(viewer->EntryRecords->Record(row), expected) << moniker.constData();
        EXPECT_TRUE(expected.FileName.endsWith("/" + c.HistoryFile));
        const int image = kExpectedImage.at(moniker);
        EXPECT_EQ(viewer->EntryRecords->ImageIndex(row), image) << moniker.constData();
        const QVariant icon = viewer->EntryRecords->index(row, 0).data(Qt::DecorationRole);
        EXPECT_EQ(icon.isValid(), image >= 0 && image <= 8) << moniker.constData();
    }
}

TEST_F(EntryList, ColumnTexts)
{
    Open();
    auto row = [&](const char* m) {
        QStringList texts;
        for (int c = 0; c < 7; ++c)
            texts << Text(RowOf(m), c);
        return texts;
    };
    EXPECT_EQ(row("TOVA"), (QStringList{"Tavi", "TOVA", "Tovik", "Male", "Sorrel (SKDR) and Bracken (BRDN)",
                                        Text(RowOf("TOVA"), 5), "Alive and in world"}));
    EXPECT_TRUE(Text(RowOf("TOVA"), 5).endsWith(" (Still alive)"));
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
    QDir(world.HistoryDir).mkdir("cr_adir");
    ASSERT_EQ(mkfifo(QFile::encodeName(world.HistoryDir + "cr_pipe").constData(), 0644), 0);
    QFile::link(world.HistoryDir + "nowhere", world.HistoryDir + "cr_dangling");
    TBoxCollector boxes;
    Open();
    ASSERT_EQ(boxes.Boxes.size(), 1);
    const QString text = boxes.Boxes[0].Text;
    EXPECT_EQ(boxes.Boxes[0].Icon, QMessageBox::Critical);
    for (const char* name : {"cr_adir", "cr_pipe", "cr_dangling"})
        EXPECT_TRUE(text.contains(viewer->HistoryDirectory + name)) << text.toStdString();
    EXPECT_TRUE(text.contains("It is a directory.")) << text.toStdString();
    EXPECT_EQ(Rows(), static_cast<int>(SampleCreatures().size()));
    for (int r = 0; r < Rows(); ++r)
        EXPECT_EQ(Text(r, 1), MonikerDisplayText(viewer->EntryRecords->Record(r).Moniker));
}

// One hostile entry spoils nothing else: a sparse record of gigabytes is
// skipped unread, names that are not UTF-8 are listed and used under their
// own bytes, and a hundred unreadable entries make one box of reasonable size.
TEST_F(EntryList, HostileEntriesInTheHistoryDirectorySpoilNothingElse)
{
    const QByteArray history = EncodePath(world.HistoryDir);
    QFile huge(world.HistoryDir + "cr_huge");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(6000000000LL));
    huge.close();
    for (int i = 0; i < 100; ++i)
        QDir(world.HistoryDir).mkdir(QStringLiteral("cr_dir%1").arg(i, 3, 10, QLatin1Char('0')));
    const QByteArray odd[] = {"cr_\xff\xfe", "cr_\xff", "cr_\xef\xbf\xbd"};
    for (int i = 0; i < 3; ++i) {
        THistoryEntry e = Creature("GEN1").Entry;
        e.Moniker = {'O', 'D', 'D', char('0' + i)};
        e.FileName = history + odd[i];
        e.SaveToFile();
    }
    TBoxCollector boxes;
    Open();
    ASSERT_EQ(boxes.Boxes.size(), 1);
    const TSeenBox& box = boxes.Boxes[0];
    EXPECT_LE(box.Text.count('\n'), 14) << box.Text.toStdString();
    EXPECT_TRUE(box.Text.contains("and 91 more.")) << box.Text.toStdString();
    EXPECT_EQ(box.Details.count('\n'), 100) << "every entry in the details";
    const QString listed = viewer->HistoryDirectory;
    EXPECT_TRUE(box.Details.contains(listed + "cr_huge\". It is 6,000,000,000 bytes long")) << box.Details.toStdString();
    EXPECT_TRUE(box.Details.contains(listed + "cr_dir099"));

    EXPECT_EQ(Rows(), static_cast<int>(SampleCreatures().size()) + 3);
    for (int i = 0; i < 3; ++i) {
        const int row = RowOf(QByteArray("ODD") + char('0' + i));
        ASSERT_GE(row, 0) << i;
        EXPECT_EQ(viewer->EntryRecords->Record(row).FileName, EncodePath(listed) + odd[i]);
    }
    // The raw names are edited and deleted under their own bytes.
    Select(RowOf("ODD1"));
    WhenModal([](QWidget* w) {
        w->findChild<QLineEdit*>("DisplayName")->setText("Renamed");
        w->findChild<QPushButton*>("Button3")->click();
    });
    viewer->EditEntries1Click();
    THistoryEntry saved;
    saved.LoadFromFile(history + odd[1]);
    EXPECT_EQ(saved.DisplayName, "Renamed");
    TBoxCollector answers;  // the confirmation: Yes
    Select(RowOf("ODD2"));
    WhenModal([](QWidget* w) {
        w->findChild<QCheckBox*>("History")->setChecked(true);
        w->findChild<QPushButton*>("Button1")->click();
    });
    viewer->DeleteEntry1Click();
    EXPECT_FALSE(IsRegularFile(history + odd[2]));
    EXPECT_TRUE(IsRegularFile(history + odd[0]));
    EXPECT_TRUE(IsRegularFile(history + odd[1]));
}

// Other English locales abbreviate some months differently ("Sept",
// "June"); the list shows English months with three letters, Jan to Dec.
TEST(MonthNames, EnglishIsAlwaysJanToDecOtherLanguagesTheirOwn)
{
    const QStringList english = TDateTimeNames::English().ShortMonthNames;
    for (const char* name : {"en_GB", "en_AU", "en_US", "en_IN"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        EXPECT_EQ(LocaleDateTimeNames().ShortMonthNames, english) << name;
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(LocaleDateTimeNames().ShortMonthNames[9], QLocale().monthName(10, QLocale::ShortFormat));
    EXPECT_NE(LocaleDateTimeNames().ShortMonthNames[9], "Oct");
    QLocale::setDefault(QLocale::c());
}

TEST_F(EntryList, MonikersThatCouldEscapeTheirDirectoryNeverNameFiles)
{
    THistoryEntry sly = Creature("TOVA").Entry;
    sly.Moniker = {'.', '.', 0, 0};
    sly.FileName = EncodePath(world.HistoryDir) + "cr_dots";
    sly.SaveToFile();
    // Files such a moniker would reach, were it used in a path.
    WriteWholeFile(world.HistoryDir + "photo_...s16", "x");
    WriteWholeFile(world.GeneticsDir + "...gen", "x");
    Open();
    const int row = RowOf("..");
    ASSERT_GE(row, 0);
    EXPECT_EQ(viewer->EntryRecords->ImageIndex(row), 0);
    EXPECT_TRUE(viewer->AlbumPath(viewer->EntryRecords->Record(row)).isEmpty());
    EXPECT_TRUE(viewer->GeneticsPath(viewer->EntryRecords->Record(row)).isEmpty());
}

TEST_F(EntryList, RebuildReadsTheDiskAfresh)
{
    Open();
    const int before = Rows();
    QFile::remove(world.HistoryDir + "cr_SKDR");
    THistoryEntry changed = Creature("TOVA").Entry;
    changed.DisplayName = "Renamed by the game";
    changed.FileName = EncodePath(world.HistoryDir) + "cr_TOVA";
    changed.SaveToFile();
    THistoryEntry born = Creature("GEN1").Entry;
    born.Moniker = {'N', 'E', 'W', '1'};
    born.FileName = EncodePath(world.HistoryDir) + "cr_NEW1";
    born.SaveToFile();
    AcceptEditOf("GEN1");
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(RowOf("SKDR"), -1);
    EXPECT_GE(RowOf("NEW1"), 0);
    EXPECT_EQ(Text(RowOf("TOVA"), 0), "Renamed by the game");
    EXPECT_EQ(viewer->SelectedRow(), -1);
}

TEST_F(EntryList, HistoryDirectoryWithoutTrailingSeparatorListsNothingQuietly)
{
    WriteWholeFile(world.Prefix + "/system.reg",
                   SampleRegistryText("C:\\Program Files\\Quenmoor\\Vivarion 2\\History", kSampleGeneticsWinPath));
    TBoxCollector boxes;
    Open();
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(boxes.Boxes.isEmpty());
}

// The rebuild after an accepted edit looks the installation up again; gone,
// it ends the program as at start-up.
TEST_F(EntryList, InstallationGoneAtARebuildEndsTheProgram)
{
    Open();
    QSignalSpy lost(viewer.get(), &THistoryViewer::InstallationLost);
    QFile::remove(world.Prefix + "/system.reg");
    ExpectNothingHappens([this] { viewer->EditEntries1Click(); });  // no selection: no lookup either
    EXPECT_EQ(lost.count(), 0);
    TSeenBox seen;
    AcceptEditOf("TOVA", [&] { AnswerBox(QMessageBox::Ok, &seen); });
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_EQ(seen.Title, "Lifeledger - No Vivarion 2 Installation found");
    EXPECT_EQ(seen.Text, "Warning, without Vivarion 2 installed, the Lifeledger is useless.");
    EXPECT_EQ(seen.Icon, QMessageBox::Critical);
    EXPECT_EQ(seen.Buttons, QMessageBox::Ok);
}

namespace {

// Starts a program on a prefix, on the offscreen platform.
void Start(QProcess& app, const char* program, const QString& prefix, const QStringList& extraEnv = {})
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
    Start(app, LIFELEDGER_ANSWERING, emptyPrefix.path());
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
    const TSampleWorld world = WriteSampleWorld(dir.path());
    QProcess app;
    Start(app, LIFELEDGER_ANSWERING, world.Prefix);
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
    Start(app, LIFELEDGER_INSTALLED, emptyPrefix.path(), {"LIFELEDGER_TEST_ANSWER_MODALS=1"});
    EXPECT_FALSE(app.waitForFinished(2000)) << "the message box was answered without a user";
    app.kill();
    app.waitForFinished(5000);
}
