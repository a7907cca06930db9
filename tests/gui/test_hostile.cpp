// A hostile world: names from other players that look like HTML, folders
// that change under the program, launcher files and settings that are no
// plain files. Each is shown as it stands, noticed, or refused, and nothing
// hangs.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/FamilyTreeWindow.h"

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
class TrapPipe {
public:
    explicit TrapPipe(const QString& path) : path_(encodePath(path))
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
    ~TrapPipe()
    {
        stopping_ = true;
        const int fd = ::open(path_.constData(), O_RDONLY | O_NONBLOCK);
        writer_.join();
        if (fd >= 0)
            ::close(fd);
    }
    bool opened() const { return opened_; }

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
    TrapPipe pipe(dir.filePath("pipe"));
    const QString name = QStringLiteral("<img src=\"%1\"><b>bold</b>").arg(dir.filePath("pipe")) + QString(60, 'x');
    HistoryRecord tova = creature("TOVA").entry;
    tova.displayName = name.toLatin1();
    tova.ownerName = "<b>owner</b>";
    tova.fileName = encodePath(world.historyDir) + "cr_TOVA";
    tova.saveToFile();
    openWindows();
    const int row = rowOf("TOVA");

    // The pointer rests on the cut name: the tooltip shows it, escaped.
    QTreeView* view = list();
    view->scrollTo(list()->viewIndex(row));
    const QRect cell = view->visualRect(list()->viewIndex(row, 0));
    const QPoint at = cell.center() + QPoint(cell.width() / 4, 0);
    QHelpEvent hover(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &hover);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().contains(name.toHtmlEscaped())) << QToolTip::text().toStdString();
    QToolTip::hideText();

    // The conflict warning names the creature as it is.
    SeenBox conflict;
    select(row);
    whenModal([&](QWidget* dialog) {
        HistoryRecord died = tova;
        died.state = 1;
        died.saveToFile();  // the game's write while the dialog is open
        answerBox(QMessageBox::Ok, &conflict);
        QTest::mouseClick(child<QPushButton>(dialog, "acceptButton"), Qt::LeftButton);
    });
    trigger("editAction");
    EXPECT_EQ(conflict.format, Qt::PlainText);
    EXPECT_TRUE(conflict.text.contains("The game changed the history record of " + name)) << conflict.text.toStdString();

    // The delete dialog shows the name; the confirmation is plain text.
    SeenBox confirmation;
    select(rowOf("TOVA"));
    QString shown;
    whenModal([&](QWidget* dialog) {
        shown = child<QLineEdit>(dialog, "nameEdit")->text();
        QTest::mouseClick(child<QCheckBox>(dialog, "historyCheck"), Qt::LeftButton, {}, QPoint(4, 8));
        answerBox(QMessageBox::No, &confirmation);
        QTest::mouseClick(child<QPushButton>(dialog, "executeButton"), Qt::LeftButton);
    });
    trigger("deleteAction");
    EXPECT_EQ(shown, name);
    EXPECT_EQ(confirmation.format, Qt::PlainText);

    // The family tree: the card, its spoken name, the window's title.
    select(rowOf("TOVA"));
    focusList();
    press(Qt::Key_T, Qt::ControlModifier);
    FamilyTreeWindow* tree = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<FamilyTreeWindow*>(w); t && t->isVisible())
            tree = t;
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->view()->face(0).name, name);
    QAccessibleInterface* cards = QAccessible::queryAccessibleInterface(tree->view());
    EXPECT_EQ(cards->child(0)->text(QAccessible::Name), name + " (TOVA)");
    EXPECT_TRUE(tree->windowTitle().contains(name));
    tree->grab();  // every card in sight drawn
    tree->close();

    EXPECT_FALSE(pipe.opened()) << "a view loaded the <img> of a name";
}

// The change notice follows the history folder, not its path: removed and
// made again, moved away and replaced, replaced by a link, missing at the
// start and made later. After each, F5 reads it and later changes by the
// game are noticed again. A folder that cannot be read is named.
TEST_F(Hostile, TheWatchFollowsTheFolderThroughEveryChange)
{
    const QString history = world.historyDir.chopped(1);
    ASSERT_TRUE(QDir().rename(history, history + ".away"));
    openWindows();
    auto* stale = child<QLabel>(viewer.get(), "staleNotice");
    auto* folder = child<QLabel>(viewer.get(), "folderNotice");
    auto noticed = [&] {
        return QTest::qWaitFor([&] { return viewer->statusBar()->isVisible() && stale->isVisible(); }, 3000);
    };
    auto reread = [&] {
        focusList();
        press(Qt::Key_F5);
    };
    EXPECT_EQ(listedRows(), 0);
    EXPECT_TRUE(!folder->isHidden() && folder->text().startsWith("The history folder cannot be read") && folder->toolTip().contains("Vivarion 2/History/")) << folder->text().toStdString();
    // Heard as plain text, not as the tooltip's markup.
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(folder)->text(QAccessible::Description).endsWith("Vivarion 2/History/"));

    ASSERT_TRUE(QDir().rename(history + ".away", history));
    EXPECT_TRUE(noticed()) << "the missing folder appeared";
    reread();
    EXPECT_EQ(listedRows(), static_cast<int>(sampleCreatures().size()));
    EXPECT_TRUE(folder->isHidden());

    int added = 0;
    auto gameAdds = [&] {
        HistoryRecord born = creature("GEN1").entry;
        born.moniker = {'N', 'E', 'W', char('0' + added++)};
        born.fileName = encodePath(world.historyDir) + "cr_" + QByteArray(born.moniker.data(), 4);
        born.saveToFile();
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
    EXPECT_EQ(listedRows(), static_cast<int>(sampleCreatures().size()) + added);
}
