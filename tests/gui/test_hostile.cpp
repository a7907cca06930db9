// A hostile world: names from other players that look like HTML, folders
// that change under the program, launcher files and settings that are no
// plain files. Each is shown as it stands, noticed, or refused, and nothing
// hangs.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/FamilyTree.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStatusBar>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QTreeView>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A pipe that no one must ever open for reading: were a view to take a name
// for HTML and load its <img>, it would open the pipe and wait there. A
// writer waits on the other end, so such an open is seen (and does not hang
// the test).
class TTrapPipe {
public:
    explicit TTrapPipe(const QString& path) : path_(EncodePath(path))
    {
        ::mkfifo(path_.constData(), 0600);
        writer_ = std::thread([this] {
            while (!stopping_) {
                const int fd = ::open(path_.constData(), O_WRONLY);
                if (!stopping_)
                    opened_ = true;
                if (fd >= 0)
                    ::close(fd);
            }
        });
    }
    ~TTrapPipe()
    {
        stopping_ = true;
        const int fd = ::open(path_.constData(), O_RDONLY | O_NONBLOCK);
        writer_.join();
        if (fd >= 0)
            ::close(fd);
    }
    bool Opened() const { return opened_; }

private:
    QByteArray path_;
    std::thread writer_;
    std::atomic<bool> stopping_{false}, opened_{false};
};

}  // namespace

class Hostile : public GuiTest {};

// Names and owner texts holding markup are shown as the texts they are: in
// the list's tooltip, the conflict warning, the delete dialog and its
// confirmation, and the family tree. No view ever loads what they name.
TEST_F(Hostile, NamesThatLookLikeHtmlAreShownAsPlainText)
{
    TTrapPipe pipe(dir.filePath("pipe"));
    const QString name = QStringLiteral("<img src=\"%1\"><b>bold</b>").arg(dir.filePath("pipe")) + QString(60, 'x');
    THistoryEntry tova = Creature("TOVA").Entry;
    tova.DisplayName = name.toLatin1();
    tova.OwnerName = "<b>owner</b>";
    tova.FileName = EncodePath(world.HistoryDir) + "cr_TOVA";
    tova.SaveToFile();
    Open();
    const int row = RowOf("TOVA");

    // The pointer rests on the cut name: the tooltip shows it, escaped.
    QTreeView* list = viewer->Entries;
    list->scrollTo(viewer->ViewIndex(row));
    const QRect cell = list->visualRect(viewer->ViewIndex(row, 0));
    const QPoint at = cell.center() + QPoint(cell.width() / 4, 0);
    QHelpEvent hover(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &hover);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().contains(name.toHtmlEscaped())) << QToolTip::text().toStdString();
    QToolTip::hideText();

    // The conflict warning names the creature as it is.
    TSeenBox conflict;
    Select(row);
    WhenModal([&](QWidget* dialog) {
        THistoryEntry died = tova;
        died.State = 1;
        died.SaveToFile();  // the game's write while the dialog is open
        AnswerBox(QMessageBox::Ok, &conflict);
        QTest::mouseClick(Child<QPushButton>(dialog, "Button3"), Qt::LeftButton);
    });
    viewer->EditEntries1Click();
    EXPECT_EQ(conflict.Format, Qt::PlainText);
    EXPECT_TRUE(conflict.Text.contains("The game changed the history record of " + name)) << conflict.Text.toStdString();

    // The delete dialog shows the name; the confirmation is plain text.
    TSeenBox confirmation;
    Select(RowOf("TOVA"));
    QString shown;
    WhenModal([&](QWidget* dialog) {
        shown = Child<QLineEdit>(dialog, "DisplayName")->text();
        QTest::mouseClick(Child<QCheckBox>(dialog, "History"), Qt::LeftButton, {}, QPoint(4, 8));
        AnswerBox(QMessageBox::No, &confirmation);
        QTest::mouseClick(Child<QPushButton>(dialog, "Button1"), Qt::LeftButton);
    });
    viewer->DeleteEntry1Click();
    EXPECT_EQ(shown, name);
    EXPECT_EQ(confirmation.Format, Qt::PlainText);

    // The family tree: the card, its spoken name, the window's title.
    Select(RowOf("TOVA"));
    FocusList();
    Press(Qt::Key_T, Qt::ControlModifier);
    TFamilyTree* tree = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<TFamilyTree*>(w); t && t->isVisible())
            tree = t;
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->View()->Face(0).Name, name);
    QAccessibleInterface* cards = QAccessible::queryAccessibleInterface(tree->View());
    EXPECT_EQ(cards->child(0)->text(QAccessible::Name), name + " (TOVA)");
    EXPECT_TRUE(tree->windowTitle().contains(name));
    tree->grab();  // every card in sight drawn
    tree->close();

    EXPECT_FALSE(pipe.Opened()) << "a view loaded the <img> of a name";
}

// The change notice follows the history folder, not its path: removed and
// made again, moved away and replaced, replaced by a link, missing at the
// start and made later. After each, F5 reads it and later changes by the
// game are noticed again. A folder that cannot be read is named.
TEST_F(Hostile, TheWatchFollowsTheFolderThroughEveryChange)
{
    const QString history = world.HistoryDir.chopped(1);
    ASSERT_TRUE(QDir().rename(history, history + ".away"));
    Open();
    auto* stale = Child<QLabel>(viewer.get(), "StaleNotice");
    auto* folder = Child<QLabel>(viewer.get(), "FolderNotice");
    auto noticed = [&] {
        return QTest::qWaitFor([&] { return viewer->statusBar()->isVisible() && stale->isVisible(); }, 3000);
    };
    auto reread = [&] {
        FocusList();
        Press(Qt::Key_F5);
    };
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(!folder->isHidden() && folder->text().startsWith("The history folder cannot be read") && folder->toolTip().contains("Vivarion 2/History/")) << folder->text().toStdString();

    ASSERT_TRUE(QDir().rename(history + ".away", history));
    EXPECT_TRUE(noticed()) << "the missing folder appeared";
    reread();
    EXPECT_EQ(Rows(), static_cast<int>(SampleCreatures().size()));
    EXPECT_TRUE(folder->isHidden());

    int added = 0;
    auto gameAdds = [&] {
        THistoryEntry born = Creature("GEN1").Entry;
        born.Moniker = {'N', 'E', 'W', char('0' + added++)};
        born.FileName = EncodePath(world.HistoryDir) + "cr_" + QByteArray(born.Moniker.data(), 4);
        born.SaveToFile();
    };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"removed and made again",
         [&] {
             ASSERT_TRUE(QDir().rename(history, history + ".old"));
             ASSERT_EQ(QProcess::execute("cp", {"-a", history + ".old", history}), 0);
             QDir(history + ".old").removeRecursively();
         }},
        {"replaced by a link",
         [&] {
             ASSERT_TRUE(QDir().rename(history, history + ".real"));
             ASSERT_TRUE(QFile::link(history + ".real", history));
         }},
    };
    for (const auto& [what, change] : changes) {
        change();
        EXPECT_TRUE(noticed()) << what;
        reread();
        EXPECT_FALSE(stale->isVisible()) << what;
        gameAdds();
        EXPECT_TRUE(noticed()) << what << ": a later change by the game";
        reread();
    }
    EXPECT_EQ(Rows(), static_cast<int>(SampleCreatures().size()) + added);
}
