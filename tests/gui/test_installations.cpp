// Finding the game wherever it runs: the launchers' prefixes, the chooser
// and the remembered choice, the command line, and a list that knows when
// the game changed the history since it was read.
#include "gui/GuiTest.h"

#include "FakeHome.h"
#include "TestUtil.h"
#include "browser/Startup.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QProcess>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

class Installations : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        qunsetenv("WINEPREFIX");
        home = std::make_unique<TFakeHome>(dir.filePath("home"));
        settings = std::make_unique<QSettings>(dir.filePath("settings.conf"), QSettings::IniFormat);
    }

    TStartChoice Choose(const TStartOptions& options = {})
    {
        return ChooseStartInstallation(options, settings.get(), home->Root);
    }

    // The chooser's rows as the user reads them.
    static QStringList Offered(QWidget* chooser)
    {
        QStringList rows;
        const QAbstractItemModel* model = Child<QTreeView>(chooser, "Installations")->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c)
                cells << model->index(r, c).data().toString();
            rows << cells.join(" | ");
        }
        return rows;
    }

    // Clicks row `row` of the chooser, then its Open button.
    static void Pick(QWidget* chooser, int row)
    {
        auto* view = Child<QTreeView>(chooser, "Installations");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 1)).center());
        QTest::mouseClick(Child<QDialogButtonBox>(chooser, "Buttons")->button(QDialogButtonBox::Open), Qt::LeftButton);
    }

    std::unique_ptr<TFakeHome> home;
    std::unique_ptr<QSettings> settings;
};

}  // namespace

TEST_F(Installations, TheOneInstallationFoundIsUsedWithoutAsking)
{
    home->Steam(false, false);
    home->Lutris(true);
    home->Bottles(false, false);
    TStartChoice choice;
    ExpectNothingHappens([&] { choice = Choose(); });
    ASSERT_TRUE(choice.Source);
    EXPECT_EQ(choice.Source->Prefix, home->At("Games/vivarion"));
    EXPECT_EQ(choice.Source->Launcher, "Lutris");
}

TEST_F(Installations, SeveralAreOfferedAndTheChoiceIsRememberedWhileItHoldsTheGame)
{
    home->Steam(false, true);
    home->Bottles(false, true);
    QStringList offered;
    WhenModal([&](QWidget* chooser) {
        offered = Offered(chooser);
        Pick(chooser, 1);
    });
    TStartChoice choice = Choose();
    const QString bottle = home->At(".var/app/com.usebottles.bottles/data/bottles/bottles/Vivarion");
    const QString creatures = QString::number(SampleCreatures().size());
    EXPECT_EQ(offered, (QStringList{"Steam | " + home->At("games/SteamLibrary/steamapps/compatdata/200/pfx") + " | "
                                        + home->At("games/SteamLibrary/steamapps/compatdata/200/pfx")
                                        + "/dosdevices/c:/Program Files/Quenmoor/Vivarion 2/History/ | " + creatures,
                                    "Bottles (Flatpak) | " + bottle + " | " + bottle
                                        + "/dosdevices/c:/Program Files/Quenmoor/Vivarion 2/History/ | " + creatures}));
    ASSERT_TRUE(choice.Source);
    EXPECT_EQ(choice.Source->Prefix, bottle);

    // The next start opens it without asking, until it no longer holds the game.
    ExpectNothingHappens([&] { choice = Choose(); });
    ASSERT_TRUE(choice.Source);
    EXPECT_EQ(choice.Source->Prefix, bottle);
    QFile::remove(bottle + "/system.reg");
    WhenModal([&](QWidget* chooser) {
        offered = Offered(chooser);
        Child<QDialogButtonBox>(chooser, "Buttons")->button(QDialogButtonBox::Cancel)->click();
    });
    home->Prefix(".local/share/bottles/bottles/Games", true);
    choice = Choose();
    EXPECT_EQ(offered.size(), 2);
    EXPECT_FALSE(choice.Source);
    EXPECT_TRUE(choice.Cancelled);
}

// The game in ~/.wine is found as it always was, without asking, whatever
// the launchers hold; $WINEPREFIX and the options name a prefix outright.
TEST_F(Installations, DotWineWinePrefixAndTheOptionsComeFirst)
{
    home->Prefix(".wine", true);
    home->Steam(true, true);
    TStartChoice choice;
    ExpectNothingHappens([&] { choice = Choose(); });
    ASSERT_TRUE(choice.Source);
    EXPECT_EQ(choice.Source->Prefix, home->At(".wine"));

    qputenv("WINEPREFIX", world.Prefix.toLocal8Bit());
    EXPECT_EQ(Choose().Source->Prefix, world.Prefix);
    TStartOptions options;
    options.Prefix = home->At(".wine");
    EXPECT_EQ(Choose(options).Source->Prefix, home->At(".wine"));
    options = {};
    options.HistoryDirectory = world.HistoryDir;
    options.GeneticsDirectory = world.GeneticsDir;
    const TStartChoice folders = Choose(options);
    EXPECT_TRUE(folders.Source->Prefix.isEmpty());
    EXPECT_EQ(folders.Source->Folders.HistoryDirectory, world.HistoryDir);
}

TEST_F(Installations, NothingFoundListsEveryPlaceSearched)
{
    home->Steam(false, false);
    home->Prefix(".wine", false);
    const TStartChoice choice = Choose();
    EXPECT_FALSE(choice.Source);
    EXPECT_FALSE(choice.Cancelled);
    for (const char* place : {".wine/system.reg", ".local/share/Steam/steamapps/libraryfolders.vdf",
                              ".config/lutris/games", ".local/share/bottles/bottles", ".PlayOnLinux/wineprefix",
                              ".cxoffice"})
        EXPECT_TRUE(choice.Searched.contains(home->At(place))) << place;
}

// "Open Installation..." offers the launchers' installations and shows the
// one chosen; the rebuild after an edit stays with it.
TEST_F(Installations, OpenInstallationSwitchesTheListAndTheRebuildStaysThere)
{
    home->Lutris(true);
    home->Bottles(false, true);
    // Make the Lutris installation tell itself apart: one creature fewer.
    QFile::remove(home->At("Games/vivarion/drive_c/Program Files/Quenmoor/Vivarion 2/History/cr_TOVA"));
    Open();
    ASSERT_EQ(Rows(), static_cast<int>(SampleCreatures().size()));
    viewer = {};
    viewer = CreateWindows({TInstallationSource::FromPrefix(EncodePath(world.Prefix)), settings.get(), home->Root});
    viewer->show();
    WhenModal([](QWidget* chooser) { Pick(chooser, 0); });
    viewer->OpenInstallation1Click();
    EXPECT_EQ(viewer->Source().Prefix, home->At("Games/vivarion"));
    EXPECT_EQ(Rows(), static_cast<int>(SampleCreatures().size()) - 1);
    EXPECT_EQ(settings->value("installation/prefix").toString(), home->At("Games/vivarion"));
    qputenv("WINEPREFIX", world.Prefix.toLocal8Bit());  // not where the list comes from
    AcceptEditOf("SKDR");
    EXPECT_EQ(Rows(), static_cast<int>(SampleCreatures().size()) - 1);
    EXPECT_EQ(RowOf("TOVA"), -1);
}

// The list stays a snapshot, but says when the game has changed the history
// since it was read; F5 reads it again and the notice goes.
TEST_F(Installations, TheListSaysWhenTheGameChangedTheHistoryAndF5Rereads)
{
    Open();
    QStatusBar* bar = viewer->statusBar();
    auto noticeShown = [&] {
        QCoreApplication::processEvents();
        return bar->isVisible() && Child<QLabel>(viewer.get(), "StaleNotice")->text()
                                       == "The game changed the history since it was read: F5 rereads it";
    };
    EXPECT_FALSE(noticeShown());
    const int rows = Rows();

    THistoryEntry born = Creature("GEN1").Entry;
    born.Moniker = {'N', 'E', 'W', '1'};
    born.FileName = EncodePath(world.HistoryDir) + "cr_NEW1";
    auto change = [&](const char* what, const std::function<void()>& act) {
        act();
        EXPECT_TRUE(QTest::qWaitFor(noticeShown, 5000)) << what;
        FocusList();
        Press(Qt::Key_F5);
        EXPECT_FALSE(noticeShown()) << what;
    };
    change("added", [&] { born.SaveToFile(); });
    EXPECT_EQ(Rows(), rows + 1);
    change("rewritten in place", [&] {
        QFile file(world.HistoryDir + "cr_NEW1");
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(5);
        file.write("X");
    });
    EXPECT_EQ(Text(RowOf("NEW1"), 0), "Xelix");
    change("removed", [&] { QFile::remove(world.HistoryDir + "cr_NEW1"); });
    EXPECT_EQ(Rows(), rows);
    change("a genetics file added", [&] { WriteWholeFile(world.GeneticsDir + "SP00.gen", "x"); });

    // The list's own changes are no news.
    AcceptEditOf("TOVA");
    Select(RowOf("C102"));
    WhenModal([](QWidget* d) {
        QTest::mouseClick(Child<QCheckBox>(d, "History"), Qt::LeftButton, {}, QPoint(4, 8));
        AnswerBox(QMessageBox::Yes);
        QTest::mouseClick(Child<QPushButton>(d, "Button1"), Qt::LeftButton);
    });
    viewer->DeleteEntry1Click();
    QTest::qWait(200);
    EXPECT_FALSE(noticeShown());
}

// ---------------------------------------------------------------- the command line

namespace {

struct TRun {
    int Code = -1;
    QString Out, Err;
    bool Finished = false;
};

// Runs a program without any display, in a home of its own.
TRun RunProgram(const char* program, const QStringList& arguments, const QString& home, const QStringList& extraEnv = {},
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
    TRun run;
    run.Finished = process.waitForFinished(waitMs);
    if (!run.Finished) {
        process.kill();
        process.waitForFinished();
    }
    run.Code = process.exitCode();
    run.Out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.Err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

}  // namespace

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay)
{
    QTemporaryDir home;
    const TRun help = RunProgram(LIFELEDGER_INSTALLED, {"--help"}, home.path());
    EXPECT_EQ(help.Code, 0);
    EXPECT_TRUE(help.Out.startsWith("Usage: lifeledger [options]")) << help.Out.toStdString();
    for (const char* option : {"--prefix DIR", "--history-dir DIR", "--genetics-dir DIR", "--version"})
        EXPECT_TRUE(help.Out.contains(option)) << option;
    const TRun version = RunProgram(LIFELEDGER_INSTALLED, {"--version"}, home.path());
    EXPECT_EQ(version.Code, 0);
    EXPECT_TRUE(version.Out.startsWith("Lifeledger ")) << version.Out.toStdString();
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
        const TRun run = RunProgram(LIFELEDGER_INSTALLED, arguments, home.path());
        EXPECT_EQ(run.Code, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains(message)) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains("--help")) << run.Err.toStdString();
        EXPECT_TRUE(run.Out.isEmpty());
    }
}

TEST(CommandLine, TheGamesFoldersOrAPrefixOpenTheList)
{
    QTemporaryDir dir;
    const TSampleWorld world = WriteSampleWorld(dir.filePath("world"));
    for (const QStringList& arguments :
         {QStringList{"--history-dir", world.HistoryDir, "--genetics-dir", world.GeneticsDir},
          QStringList{"--prefix", world.Prefix}}) {
        const TRun run = RunProgram(LIFELEDGER_ANSWERING, arguments, dir.filePath("home"), {"QT_QPA_PLATFORM=offscreen"}, 1500);
        EXPECT_FALSE(run.Finished) << "ended by itself: " << run.Err.toStdString();
        EXPECT_FALSE(run.Err.contains("message box:")) << run.Err.toStdString();
    }
}

// Found nowhere: the specified message, exit code 1, and every place
// searched under its details.
TEST(CommandLine, NoInstallationAnywhereSaysWhereItLooked)
{
    QTemporaryDir home;
    const TRun run = RunProgram(LIFELEDGER_ANSWERING, {}, home.path(), {"QT_QPA_PLATFORM=offscreen"});
    EXPECT_EQ(run.Code, 1);
    EXPECT_TRUE(run.Err.contains("message box: Lifeledger - No Vivarion 2 Installation found | Warning, without "
                                 "Vivarion 2 installed, the Lifeledger is useless."))
        << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains("details: Places searched:\n" + home.path() + "/.wine")) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(home.path() + "/.cxoffice")) << run.Err.toStdString();
}

// An installation that vanished while the chooser was open is not opened:
// the list goes on showing the one it showed, and the user is told.
TEST_F(Installations, AnInstallationGoneWhileChoosingKeepsTheCurrentOne)
{
    home->Lutris(true);
    home->Bottles(false, true);
    viewer = CreateWindows({TInstallationSource::FromPrefix(EncodePath(world.Prefix)), settings.get(), home->Root});
    viewer->show();
    TSeenBox told;
    WhenModal([&](QWidget* chooser) {
        QFile::remove(home->At("Games/vivarion/system.reg"));
        AnswerBox(QMessageBox::Ok, &told);
        Pick(chooser, 0);
    });
    viewer->OpenInstallation1Click();
    EXPECT_TRUE(told.Text.contains(home->At("Games/vivarion") + " no longer holds Vivarion 2")) << told.Text.toStdString();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->Source().Prefix, EncodePath(world.Prefix));
    EXPECT_EQ(Rows(), static_cast<int>(SampleCreatures().size()));
}

// A settings file that is a pipe would block the start inside Qt, and one
// that is a link to a device would have the device replaced at the first
// save: such settings are never opened. The program runs with its defaults
// and says so once. A link to nothing, or to a plain file, is used.
TEST(Settings, OnlyAPlainFileOrNothingIsUsed)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe.conf"), device = dir.filePath("device"), linked = dir.filePath("linked.conf");
    ASSERT_EQ(::mkfifo(EncodePath(pipe).constData(), 0600), 0);
    QString problem;
    EXPECT_FALSE(OpenSettings(pipe, &problem));
    EXPECT_TRUE(problem.contains(pipe) && problem.contains("runs with its defaults")) << problem.toStdString();
    if (::mknod(EncodePath(device).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
        QFile::link(device, linked);
        problem.clear();
        EXPECT_FALSE(OpenSettings(linked, &problem));
        EXPECT_FALSE(problem.isEmpty());
        struct stat st;
        EXPECT_TRUE(::stat(EncodePath(device).constData(), &st) == 0 && S_ISCHR(st.st_mode));
        QFile::remove(linked);
    }
    QFile::link(dir.filePath("nowhere.conf"), linked);
    for (const QString& usable : {dir.filePath("absent.conf"), linked}) {
        problem.clear();
        EXPECT_TRUE(OpenSettings(usable, &problem)) << usable.toStdString();
        EXPECT_TRUE(problem.isEmpty());
    }

    // The real start-up: the window comes up, the message once.
    const TSampleWorld world = WriteSampleWorld(dir.filePath("world"));
    QDir().mkpath(dir.filePath("config/lifeledger"));
    ASSERT_EQ(::mkfifo(EncodePath(dir.filePath("config/lifeledger/lifeledger.conf")).constData(), 0600), 0);
    const TRun run = RunProgram(LIFELEDGER_ANSWERING, {"--prefix", world.Prefix}, dir.filePath("home"),
                                {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + dir.filePath("config")}, 3000);
    EXPECT_FALSE(run.Finished) << "ended by itself: " << run.Err.toStdString();
    EXPECT_EQ(run.Err.count("message box: Vivarion2 History Viewer | The settings file"), 1) << run.Err.toStdString();
}
