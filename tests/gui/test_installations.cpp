// Finding the game wherever it runs: the launchers' prefixes, the chooser
// and the remembered choice, the command line, and a list that knows when
// the game changed the history since it was read.
#include "gui/GuiTest.h"

#include "FakeHome.h"
#include "TestUtil.h"
#include "browser/HistoryController.h"
#include "browser/Settings.h"
#include "browser/Startup.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>
#include <numeric>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

class Installations : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        qunsetenv("WINEPREFIX");
        home = std::make_unique<FakeHome>(dir.filePath("home"));
        settings = std::make_unique<QSettings>(dir.filePath("settings.conf"), QSettings::IniFormat);
    }

    StartChoice choose(const StartOptions& options = {})
    {
        return chooseStartInstallation(options, settings.get(), home->root);
    }

    // The chooser's rows as the user reads them.
    static QStringList offeredRows(QWidget* chooser)
    {
        QStringList rows;
        const QAbstractItemModel* model = child<QTreeView>(chooser, "installationList")->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c)
                cells << model->index(r, c).data().toString();
            rows << cells.join(" | ");
        }
        return rows;
    }

    // Clicks row `row` of the chooser, then its Open button.
    static void pick(QWidget* chooser, int row)
    {
        auto* view = child<QTreeView>(chooser, "installationList");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 1)).center());
        QTest::mouseClick(child<QDialogButtonBox>(chooser, "buttonBox")->button(QDialogButtonBox::Open), Qt::LeftButton);
    }

    std::unique_ptr<FakeHome> home;
    std::unique_ptr<QSettings> settings;
};

}  // namespace

TEST_F(Installations, TheOneInstallationFoundIsUsedWithoutAsking)
{
    home->steam(false, false);
    home->lutris(true);
    home->bottles(false, false);
    StartChoice choice;
    expectNothingHappens([&] { choice = choose(); });
    ASSERT_TRUE(choice.source);
    EXPECT_EQ(choice.source->prefix, home->at("Games/vivarion"));
    EXPECT_EQ(choice.source->launcher, "Lutris");
}

TEST_F(Installations, SeveralAreOfferedAndTheChoiceIsRememberedWhileItHoldsTheGame)
{
    home->steam(false, true);
    home->bottles(false, true);
    QStringList offered;
    whenModal([&](QWidget* chooser) {
        offered = offeredRows(chooser);
        pick(chooser, 1);
    });
    StartChoice choice = choose();
    const QString bottle = home->at(".var/app/com.usebottles.bottles/data/bottles/bottles/Vivarion");
    const QString creatures = QString::number(sampleCreatures().size());
    EXPECT_EQ(offered, (QStringList{"Steam | " + creatures + " | " + home->at("games/SteamLibrary/steamapps/compatdata/200/pfx")
                                        + " | " + home->at("games/SteamLibrary/steamapps/compatdata/200/pfx")
                                        + "/dosdevices/c:/Program Files/Quenmoor/Vivarion 2/History/",
                                    "Bottles (Flatpak) | " + creatures + " | " + bottle + " | " + bottle
                                        + "/dosdevices/c:/Program Files/Quenmoor/Vivarion 2/History/"}));
    ASSERT_TRUE(choice.source);
    EXPECT_EQ(choice.source->prefix, bottle);

    // The next start opens it without asking, until it no longer holds the game.
    expectNothingHappens([&] { choice = choose(); });
    ASSERT_TRUE(choice.source);
    EXPECT_EQ(choice.source->prefix, bottle);
    QFile::remove(bottle + "/system.reg");
    whenModal([&](QWidget* chooser) {
        offered = offeredRows(chooser);
        child<QDialogButtonBox>(chooser, "buttonBox")->button(QDialogButtonBox::Cancel)->click();
    });
    home->makePrefix(".local/share/bottles/bottles/Games", true);
    choice = choose();
    EXPECT_EQ(offered.size(), 2);
    EXPECT_FALSE(choice.source);
    EXPECT_TRUE(choice.cancelled);
}

// The game in ~/.wine is found as it always was, without asking, whatever
// the launchers hold; $WINEPREFIX and the options name a prefix outright.
TEST_F(Installations, DotWineWinePrefixAndTheOptionsComeFirst)
{
    home->makePrefix(".wine", true);
    home->steam(true, true);
    StartChoice choice;
    expectNothingHappens([&] { choice = choose(); });
    ASSERT_TRUE(choice.source);
    EXPECT_EQ(choice.source->prefix, home->at(".wine"));

    qputenv("WINEPREFIX", world.prefix.toLocal8Bit());
    EXPECT_EQ(choose().source->prefix, world.prefix);
    StartOptions options;
    options.prefix = home->at(".wine");
    EXPECT_EQ(choose(options).source->prefix, home->at(".wine"));
    options = {};
    options.historyDirectory = world.historyDir;
    options.geneticsDirectory = world.geneticsDir;
    const StartChoice folders = choose(options);
    EXPECT_TRUE(folders.source->prefix.isEmpty());
    EXPECT_EQ(folders.source->folders.historyDirectory, world.historyDir);
}

TEST_F(Installations, NothingFoundListsEveryPlaceSearched)
{
    home->steam(false, false);
    home->makePrefix(".wine", false);
    const StartChoice choice = choose();
    EXPECT_FALSE(choice.source);
    EXPECT_FALSE(choice.cancelled);
    for (const char* place : {".wine/system.reg", ".local/share/Steam/steamapps/libraryfolders.vdf",
                              ".config/lutris/games", ".local/share/bottles/bottles", ".PlayOnLinux/wineprefix",
                              ".cxoffice"})
        EXPECT_TRUE(choice.searched.contains(home->at(place))) << place;
}

// "Open Installation..." offers the launchers' installations and shows the
// one chosen; the rebuild after an edit stays with it.
TEST_F(Installations, OpenInstallationSwitchesTheListAndTheRebuildStaysThere)
{
    home->lutris(true);
    home->bottles(false, true);
    // Make the Lutris installation tell itself apart: one creature fewer.
    QFile::remove(home->at("Games/vivarion/drive_c/Program Files/Quenmoor/Vivarion 2/History/cr_TOVA"));
    openWindows();
    ASSERT_EQ(listedRows(), static_cast<int>(sampleCreatures().size()));
    viewer = {};
    viewer = createWindows({InstallationSource::fromPrefix(encodePath(world.prefix)), settings.get(), home->root});
    viewer->show();
    whenModal([](QWidget* chooser) { pick(chooser, 0); });
    trigger("openInstallationAction");
    EXPECT_EQ(viewer->controller()->source().prefix, home->at("Games/vivarion"));
    EXPECT_EQ(listedRows(), static_cast<int>(sampleCreatures().size()) - 1);
    EXPECT_EQ(settings->value("installation/prefix").toString(), home->at("Games/vivarion"));
    qputenv("WINEPREFIX", world.prefix.toLocal8Bit());  // not where the list comes from
    acceptEditOf("SKDR");
    EXPECT_EQ(listedRows(), static_cast<int>(sampleCreatures().size()) - 1);
    EXPECT_EQ(rowOf("TOVA"), -1);
}

// The list stays a snapshot, but says when the game has changed the history
// since it was read; F5 reads it again and the notice goes.
TEST_F(Installations, TheListSaysWhenTheGameChangedTheHistoryAndF5Rereads)
{
    openWindows();
    QStatusBar* bar = viewer->statusBar();
    auto noticeShown = [&] {
        QCoreApplication::processEvents();
        return bar->isVisible() && child<QLabel>(viewer.get(), "staleNotice")->text()
                                       == "The game changed the history since it was read: F5 rereads it";
    };
    EXPECT_FALSE(noticeShown());
    const int rows = listedRows();

    HistoryRecord born = creature("GEN1").entry;
    born.moniker = {'N', 'E', 'W', '1'};
    born.fileName = encodePath(world.historyDir) + "cr_NEW1";
    auto change = [&](const char* what, const std::function<void()>& act) {
        act();
        EXPECT_TRUE(QTest::qWaitFor(noticeShown, 5000)) << what;
        focusList();
        press(Qt::Key_F5);
        EXPECT_FALSE(noticeShown()) << what;
    };
    change("added", [&] { born.saveToFile(); });
    EXPECT_EQ(listedRows(), rows + 1);
    change("rewritten in place", [&] {
        QFile file(world.historyDir + "cr_NEW1");
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(5);
        file.write("X");
    });
    EXPECT_EQ(cellText(rowOf("NEW1"), 0), "Xelix");
    change("removed", [&] { QFile::remove(world.historyDir + "cr_NEW1"); });
    EXPECT_EQ(listedRows(), rows);
    change("a genetics file added", [&] { writeWholeFile(world.geneticsDir + "SP00.gen", "x"); });

    // The list's own changes are no news.
    acceptEditOf("TOVA");
    select(rowOf("C102"));
    whenModal([](QWidget* d) {
        QTest::mouseClick(child<QCheckBox>(d, "historyCheck"), Qt::LeftButton, {}, QPoint(4, 8));
        answerBox(QMessageBox::Yes);
        QTest::mouseClick(child<QPushButton>(d, "executeButton"), Qt::LeftButton);
    });
    trigger("deleteAction");
    QTest::qWait(200);
    EXPECT_FALSE(noticeShown());
}

// ---------------------------------------------------------------- the command line

namespace {

struct ProgramRun {
    int code = -1;
    QString out, err;
    bool finished = false;
};

// Runs a program without any display, in a home of its own.
ProgramRun runProgram(const char* program, const QStringList& arguments, const QString& home, const QStringList& extraEnv = {},
         int waitMs = 20000)
{
    QProcess process;
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH"));
    env.insert("HOME", home);
    for (const QString& pair : extraEnv)
        env.insert(pair.section('=', 0, 0), pair.section('=', 1));
    process.setProcessEnvironment(env);
    process.start(QString::fromLocal8Bit(program), arguments);
    ProgramRun run;
    run.finished = process.waitForFinished(waitMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.code = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

}  // namespace

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay)
{
    QTemporaryDir home;
    const ProgramRun help = runProgram(LIFELEDGER_INSTALLED, {"--help"}, home.path());
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: lifeledger [options]")) << help.out.toStdString();
    for (const char* option : {"--prefix DIR", "--history-dir DIR", "--genetics-dir DIR", "--export-csv FILE", "--export-family-book DIR", "--version"})
        EXPECT_TRUE(help.out.contains(option)) << option;
    const ProgramRun version = runProgram(LIFELEDGER_INSTALLED, {"--version"}, home.path());
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.startsWith("Lifeledger ")) << version.out.toStdString();

    // Help that cannot be written is no success.
    QProcess full;
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(LIFELEDGER_INSTALLED, {"--help"});
    ASSERT_TRUE(full.waitForFinished(10000));
    EXPECT_EQ(full.exitCode(), 1);
    EXPECT_TRUE(full.readAllStandardError().contains("write error")) << "said on standard error";
}

TEST(CommandLine, MistakesAreNamedAndEndWithTwo)
{
    QTemporaryDir home;
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"--bogus"}, "Unknown option 'bogus'"},
        {{"--prefix"}, "Missing value after '--prefix'"},
        {{"--history-dir", home.path()}, "--history-dir and --genetics-dir go together"},
        {{"--prefix", home.path(), "--history-dir", home.path(), "--genetics-dir", home.path()}, "one or the other"},
        {{"--prefix", home.filePath("nowhere")}, "there is no folder"},
        {{"stray"}, "Unexpected argument 'stray'"},
    };
    for (const auto& [arguments, message] : cases) {
        const ProgramRun run = runProgram(LIFELEDGER_INSTALLED, arguments, home.path());
        EXPECT_EQ(run.code, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(message)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("--help")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(CommandLine, TheGamesFoldersOrAPrefixOpenTheList)
{
    QTemporaryDir dir;
    const SampleWorld world = writeSampleWorld(dir.filePath("world"));
    // Qt's own options (a session manager restores with -session) are Qt's.
    for (const QStringList& arguments :
         {QStringList{"--history-dir", world.historyDir, "--genetics-dir", world.geneticsDir},
          QStringList{"--prefix", world.prefix, "-session", "1234_5", "-style", "fusion"}}) {
        const ProgramRun run = runProgram(LIFELEDGER_ANSWERING, arguments, dir.filePath("home"), {"QT_QPA_PLATFORM=offscreen"}, 1500);
        EXPECT_FALSE(run.finished) << "ended by itself: " << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("message box:")) << run.err.toStdString();
    }
    // -platform names Qt's display itself; without any, one line and exit 1.
    const ProgramRun given = runProgram(LIFELEDGER_ANSWERING, {"-platform", "offscreen", "--prefix", world.prefix}, dir.filePath("home"), {}, 1500);
    EXPECT_FALSE(given.finished) << given.err.toStdString();
    const ProgramRun none = runProgram(LIFELEDGER_INSTALLED, {"--prefix", world.prefix}, dir.filePath("home"));
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err.trimmed().count('\n'), 0) << none.err.toStdString();
    EXPECT_TRUE(none.err.contains("needs a graphical session")) << none.err.toStdString();
}

// The exports of the File menu from the command line, without a display:
// the same files, and a failure said in one message with exit code 1.
TEST(CommandLine, ExportsAreWrittenWithoutAWindow)
{
    QTemporaryDir dir;
    const SampleWorld world = writeSampleWorld(dir.filePath("world"));
    const QString csv = dir.filePath("list.csv"), book = dir.filePath("book");
    const ProgramRun run = runProgram(LIFELEDGER_INSTALLED, {"--prefix", world.prefix, "--export-csv", csv,
                                                             "--export-family-book", book}, dir.filePath("home"));
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << "no progress where no terminal reads it: " << run.err.toStdString();

    HistoryController menu(InstallationSource::fromPrefix(encodePath(world.prefix)));
    menu.refill();
    std::vector<int> rows(static_cast<size_t>(menu.model()->count()));
    std::iota(rows.begin(), rows.end(), 0);
    menu.exportList(dir.filePath("menu.csv"), rows);
    EXPECT_EQ(readAll(csv), readAll(dir.filePath("menu.csv")));
    QDir().mkpath(dir.filePath("menu-book"));
    menu.exportFamilyBook(dir.filePath("menu-book"));
    const auto page = [](const QString& path) {
        return QString::fromUtf8(readAll(path)).remove(QRegularExpression(QStringLiteral("written [-0-9T:]+")));
    };
    EXPECT_EQ(page(book + "/index.html"), page(dir.filePath("menu-book/index.html")));
    EXPECT_EQ(QDir(book + "/photos").entryList(QDir::Files), QDir(dir.filePath("menu-book/photos")).entryList(QDir::Files));

    // $WINEPREFIX finds the game as the window does.
    const ProgramRun fromEnvironment = runProgram(LIFELEDGER_INSTALLED, {"--export-csv", dir.filePath("env.csv")},
                                                  dir.filePath("home"), {"WINEPREFIX=" + world.prefix});
    EXPECT_EQ(fromEnvironment.code, 0) << fromEnvironment.err.toStdString();
    EXPECT_EQ(readAll(dir.filePath("env.csv")), readAll(csv));

    const std::vector<std::pair<QStringList, QString>> failures = {
        {{"--prefix", world.prefix, "--export-csv", book}, "A directory of that name is in the way"},
        {{"--prefix", world.prefix, "--export-family-book", dir.filePath("no/such/book")}, "No such file or directory"},
        {{"--prefix", dir.filePath("home"), "--export-csv", dir.filePath("x.csv")}, "the Lifeledger is useless"},
    };
    QDir().mkpath(dir.filePath("home"));
    for (const auto& [arguments, message] : failures) {
        const ProgramRun failed = runProgram(LIFELEDGER_INSTALLED, arguments, dir.filePath("home"));
        EXPECT_EQ(failed.code, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(failed.err.contains(message)) << failed.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("x.csv")));
}

// Found nowhere: the specified message, exit code 1, and every place
// searched under its details.
TEST(CommandLine, NoInstallationAnywhereSaysWhereItLooked)
{
    QTemporaryDir home;
    const ProgramRun run = runProgram(LIFELEDGER_ANSWERING, {}, home.path(), {"QT_QPA_PLATFORM=offscreen"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains("message box: Lifeledger - No Vivarion 2 Installation found | Warning, without "
                                 "Vivarion 2 installed, the Lifeledger is useless."))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("details: Places searched:\n" + home.path() + "/.wine")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(home.path() + "/.cxoffice")) << run.err.toStdString();
}

// An installation that vanished while the chooser was open is not opened:
// the list goes on showing the one it showed, and the user is told.
TEST_F(Installations, AnInstallationGoneWhileChoosingKeepsTheCurrentOne)
{
    home->lutris(true);
    home->bottles(false, true);
    viewer = createWindows({InstallationSource::fromPrefix(encodePath(world.prefix)), settings.get(), home->root});
    viewer->show();
    SeenBox told;
    whenModal([&](QWidget* chooser) {
        QFile::remove(home->at("Games/vivarion/system.reg"));
        answerBox(QMessageBox::Ok, &told);
        pick(chooser, 0);
    });
    trigger("openInstallationAction");
    EXPECT_TRUE(told.text.contains(home->at("Games/vivarion") + " no longer holds Vivarion 2")) << told.text.toStdString();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->controller()->source().prefix, encodePath(world.prefix));
    EXPECT_EQ(listedRows(), static_cast<int>(sampleCreatures().size()));
}

// A settings file that is a pipe would block the start inside Qt, and one
// that is a link to a device would have the device replaced at the first
// save: such settings are never opened. The program runs with its defaults
// and says so once. A link to nothing, or to a plain file, is used.
TEST(Settings, OnlyAPlainFileOrNothingIsUsed)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe.conf"), device = dir.filePath("device"), linked = dir.filePath("linked.conf");
    ASSERT_EQ(::mkfifo(encodePath(pipe).constData(), 0600), 0);
    QString problem;
    EXPECT_FALSE(openSettings(pipe, &problem));
    EXPECT_TRUE(problem.contains(pipe) && problem.contains("runs with its defaults")) << problem.toStdString();
    if (::mknod(encodePath(device).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
        QFile::link(device, linked);
        problem.clear();
        EXPECT_FALSE(openSettings(linked, &problem));
        EXPECT_FALSE(problem.isEmpty());
        struct stat st;
        EXPECT_TRUE(::stat(encodePath(device).constData(), &st) == 0 && S_ISCHR(st.st_mode));
        QFile::remove(linked);
    }
    QFile::link(dir.filePath("nowhere.conf"), linked);
    for (const QString& usable : {dir.filePath("absent.conf"), linked}) {
        problem.clear();
        EXPECT_TRUE(openSettings(usable, &problem)) << usable.toStdString();
        EXPECT_TRUE(problem.isEmpty());
    }

    // The real start-up: the window comes up, the message once.
    const SampleWorld world = writeSampleWorld(dir.filePath("world"));
    QDir().mkpath(dir.filePath("config/lifeledger"));
    ASSERT_EQ(::mkfifo(encodePath(dir.filePath("config/lifeledger/lifeledger.conf")).constData(), 0600), 0);
    const ProgramRun run = runProgram(LIFELEDGER_ANSWERING, {"--prefix", world.prefix}, dir.filePath("home"),
                                {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + dir.filePath("config")}, 3000);
    EXPECT_FALSE(run.finished) << "ended by itself: " << run.err.toStdString();
    EXPECT_EQ(run.err.count("message box: Vivarion2 History Viewer | The settings file"), 1) << run.err.toStdString();
}
