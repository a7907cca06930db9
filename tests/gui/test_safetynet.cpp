// The safety net and the world statistics, driven as a user drives them:
// Ctrl+Z and Ctrl+Shift+Z after an edit and a deletion, File > Restore
// Deleted... in a later session, and the statistics window (Ctrl+I) through
// a search, a deletion and a saved chart.
#include "GuiTest.h"
#include "TestUtil.h"

#include "browser/StatisticsWindow.h"
#include "history/WorldStatistics.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

namespace {

void check(QCheckBox* box, bool on)
{
    if (box->isChecked() != on)
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
}

// Every file of the installation with its content.
std::map<QString, QByteArray> filesOf(const SampleWorld& world)
{
    std::map<QString, QByteArray> files;
    for (const QString& folder : {world.historyDir, world.geneticsDir})
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
            files[folder + name] = readAll(folder + name);
    return files;
}

StatisticsWindow* statisticsWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<StatisticsWindow*>(w); s && s->isVisible())
            return s;
    return nullptr;
}

// The value the summary table shows beside a figure.
QString summaryValue(StatisticsWindow* window, const QString& figure)
{
    const QAbstractItemModel* table = child<QTableView>(window, "summaryTable")->model();
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->index(r, 0).data().toString() == figure)
            return table->index(r, 1).data().toString();
    return "<none>";
}

}  // namespace

class SafetyNet : public GuiTest {
protected:
    QString hist(const char* moniker) const { return world.historyDir + kHistoryFilePrefix + moniker; }

    // Deletes the chosen files of a creature through the delete dialog; the
    // message that follows, if one is expected, is answered into *error.
    void deleteFiles(const QByteArray& moniker, bool album, bool genetics, bool history, SeenBox* error = nullptr)
    {
        select(rowOf(moniker));
        whenModal([=](QWidget* w) {
            check(child<QCheckBox>(w, "photoAlbumCheck"), album);
            check(child<QCheckBox>(w, "geneticsCheck"), genetics);
            check(child<QCheckBox>(w, "historyCheck"), history);
            whenModal([error](QWidget* confirmation) {
                if (error)
                    answerBox(QMessageBox::Ok, error);
                static_cast<QMessageBox*>(confirmation)->button(QMessageBox::Yes)->click();
            });
            QTest::mouseClick(child<QPushButton>(w, "executeButton"), Qt::LeftButton);
        });
        trigger("deleteAction");
    }
    void undo()
    {
        focusList();
        press(Qt::Key_Z, Qt::ControlModifier);
    }
    void redo()
    {
        focusList();
        press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
    QAction* action(const char* name) const { return viewer->findChild<QAction*>(name); }
};

TEST_F(SafetyNet, UndoAndRedoOfAnEditPutBackTheVeryBytes)
{
    openWindows();
    const QByteArray before = readAll(hist("TOVA"));
    EXPECT_FALSE(action("undoAction")->isEnabled());
    acceptEditOf("TOVA", [] {
        auto* name = QApplication::activeModalWidget()->findChild<QLineEdit*>("nameEdit");
        name->selectAll();
        QTest::keyClicks(name, "Renamed & Co");
    });
    const QByteArray edited = readAll(hist("TOVA"));
    ASSERT_NE(edited, before);
    EXPECT_EQ(action("undoAction")->text(), "&Undo Edit of Tavi");

    undo();
    EXPECT_EQ(readAll(hist("TOVA")), before);
    EXPECT_EQ(cellText(rowOf("TOVA"), 0), "Tavi");
    EXPECT_EQ(action("redoAction")->text(), "&Redo Edit of Tavi");
    redo();
    EXPECT_EQ(readAll(hist("TOVA")), edited);
    EXPECT_EQ(cellText(rowOf("TOVA"), 0), "Renamed & Co");

    // The game writes the record: the undo leaves the game's file and says so.
    undo();
    redo();
    writeWholeFile(hist("TOVA"), before + "game");
    SeenBox seen;
    answerBox(QMessageBox::Ok, &seen);
    undo();
    EXPECT_TRUE(seen.text.contains("changed or removed since the edit")) << seen.text.toStdString();
    EXPECT_EQ(readAll(hist("TOVA")), before + "game");
    EXPECT_FALSE(action("undoAction")->isEnabled()) << "a step that cannot be taken leaves the history";
}

TEST_F(SafetyNet, UndoOfADeletionPutsBackEveryFileAndRedoDeletesThemAgain)
{
    openWindows();
    const auto before = filesOf(world);
    const int rows = listedRows();
    deleteFiles("TOVA", true, true, true);
    EXPECT_EQ(rowOf("TOVA"), -1);
    EXPECT_EQ(filesOf(world).size(), before.size() - 3);
    EXPECT_EQ(action("undoAction")->text(), "&Undo Deletion of Tavi");

    undo();
    EXPECT_EQ(filesOf(world), before);
    EXPECT_EQ(listedRows(), rows);
    ASSERT_GE(rowOf("TOVA"), 0);
    EXPECT_EQ(badgeImageIndex(model()->badges(rowOf("TOVA"))), 6) << "album and genetics badges back";

    redo();
    EXPECT_EQ(rowOf("TOVA"), -1);
    EXPECT_EQ(filesOf(world).size(), before.size() - 3);

    // A deletion of the album alone, then the name taken again: refused.
    undo();
    deleteFiles("DAGP", true, false, false);
    const QString album = world.historyDir + "photo_DAGP.s16";
    writeWholeFile(album, "a new album");
    SeenBox seen;
    answerBox(QMessageBox::Ok, &seen);
    undo();
    EXPECT_TRUE(seen.text.contains("is there again")) << seen.text.toStdString();
    EXPECT_EQ(readAll(album), "a new album");
}

TEST_F(SafetyNet, ADeletionIsRestoredInALaterSessionAndCanBeRemovedFromTheStore)
{
    openWindows();
    const auto before = filesOf(world);
    deleteFiles("TOVA", true, true, true);
    deleteFiles("SKDR", false, false, true);
    viewer.reset();  // the program ends; the store stays

    openWindows();
    EXPECT_FALSE(action("undoAction")->isEnabled()) << "undo is of this session";
    QStringList listed;
    whenModal([&](QWidget* dialog) {
        auto* list = child<QTreeWidget>(dialog, "deletionList");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            listed << list->topLevelItem(i)->text(1) + " " + list->topLevelItem(i)->text(3);
        // Tavi's deletion, chosen by a click, restored.
        QTreeWidgetItem* tova = list->findItems("TOVA", Qt::MatchExactly, 1).value(0);
        ASSERT_TRUE(tova);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(tova).center());
        answerBox(QMessageBox::Ok);
        QTest::mouseClick(child<QPushButton>(dialog, "restoreButton"), Qt::LeftButton);
        // Skarrow's copies removed for good.
        listed << QString::number(list->topLevelItemCount());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
        answerBox(QMessageBox::Yes);
        QTest::mouseClick(child<QPushButton>(dialog, "removeButton"), Qt::LeftButton);
        listed << QString::number(list->topLevelItemCount());
        QTest::mouseClick(child<QPushButton>(dialog, "closeButton"), Qt::LeftButton);
    });
    trigger("restoreDeletedAction");
    EXPECT_EQ(listed, (QStringList{"SKDR history record", "TOVA photo album, genetics file, history record", "1", "0"}));
    auto after = filesOf(world);
    EXPECT_EQ(after.count(hist("SKDR")), 0u);
    after[hist("SKDR")] = before.at(hist("SKDR"));
    EXPECT_EQ(after, before);
    EXPECT_GE(rowOf("TOVA"), 0);
}

TEST_F(SafetyNet, NothingIsDeletedOrSavedWhenNoCopyCanBeKept)
{
    // A file where the store's folder belongs.
    QDir().mkpath(dir.filePath("data"));
    writeWholeFile(dir.filePath("data/lifeledger"), "in the way");
    openWindows();
    const auto before = filesOf(world);
    SeenBox seen;
    deleteFiles("TOVA", true, true, true, &seen);
    EXPECT_TRUE(seen.text.contains("nothing has been deleted")) << seen.text.toStdString();
    EXPECT_EQ(filesOf(world), before);
    EXPECT_GE(rowOf("TOVA"), 0);

    acceptEditOf("TOVA", [&seen] {
        QTest::keyClicks(QApplication::activeModalWidget()->findChild<QLineEdit*>("nameEdit"), "x");
        answerBox(QMessageBox::Ok, &seen);  // the save's error, once the dialog has closed
    });
    EXPECT_TRUE(seen.text.contains("nothing has been saved")) << seen.text.toStdString();
    EXPECT_EQ(filesOf(world), before);
    EXPECT_FALSE(action("undoAction")->isEnabled());
}

TEST_F(SafetyNet, StatisticsFollowTheSearchADeletionAndF5AndSaveTheirCharts)
{
    openWindows();
    int alive = 0, dead = 0;
    for (const SampleCreature& c : sampleCreatures())
        alive += c.entry.state == 0, dead += c.entry.state == 1;
    focusList();
    press(Qt::Key_I, Qt::ControlModifier);
    StatisticsWindow* stats = statisticsWindow();
    ASSERT_TRUE(stats);
    EXPECT_EQ(summaryValue(stats, "Creatures"), QString::number(listedRows()));
    EXPECT_EQ(summaryValue(stats, "Alive"), QString::number(alive));
    EXPECT_EQ(summaryValue(stats, "Dead"), QString::number(dead));
    EXPECT_EQ(child<QLabel>(stats, "scopeLabel")->text(), QString("All %1 creatures of the history.").arg(listedRows()));

    // A search: the creatures found are counted.
    focusList();
    press(Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(child<QLineEdit>(viewer.get(), "findEdit"), "sorrel");
    const auto shown = [this] { return list()->model()->rowCount(); };
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() < model()->count() && stats->statistics().creatures == shown(); }, 3000));
    EXPECT_EQ(stats->statistics().creatures, shown());
    EXPECT_LT(shown(), model()->count());
    EXPECT_TRUE(child<QLabel>(stats, "scopeLabel")->text().contains("found by \"sorrel\""));
    const int found = shown();
    int first = 0;
    while (!list()->viewIndex(first).isValid())
        ++first;  // the first creature found
    deleteFiles(monikerText(model()->readRecord(first).moniker), false, false, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return stats->statistics().creatures == found - 1; }, 3000));
    EXPECT_EQ(stats->statistics().creatures, found - 1);
    trigger("rereadAction");
    EXPECT_TRUE(QTest::qWaitFor([&] { return stats->statistics().creatures == found - 1; }, 3000));
    EXPECT_EQ(stats->statistics().creatures, found - 1);

    // The births chart, as SVG and as PNG, through the save dialog.
    auto* tabs = child<QTabWidget>(stats, "tabs");
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
    ASSERT_EQ(tabs->currentIndex(), 2);
    for (const QString name : {"births.svg", "births.png"}) {
        const QString path = dir.filePath(name);
        whenModal([path](QWidget* w) {
            auto* edit = w->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_TRUE(edit);
            edit->setText(path);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        ASSERT_TRUE(activate(stats));
        QTest::keyClick(stats, Qt::Key_S, Qt::ControlModifier);
        const QByteArray saved = readAll(path);
        if (name.endsWith("svg"))
            EXPECT_TRUE(saved.contains("<svg") && saved.contains("Births")) << saved.left(200).toStdString();
        else
            EXPECT_TRUE(saved.startsWith("\x89PNG")) << saved.left(8).toStdString();
    }
}

TEST_F(SafetyNet, EnterInTheRestoreListRestoresTheChosenDeletionOnce)
{
    openWindows();
    deleteFiles("TOVA", false, false, true);
    deleteFiles("SKDR", false, false, true);
    int left = -1;
    whenModal([&](QWidget* dialog) {
        auto* list = child<QTreeWidget>(dialog, "deletionList");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);  // the older one: Tavi
        answerBox(QMessageBox::Ok);
        QTest::keyClick(list, Qt::Key_Return);
        left = list->topLevelItemCount();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    trigger("restoreDeletedAction");
    EXPECT_EQ(left, 1);
    EXPECT_GE(rowOf("TOVA"), 0);
    EXPECT_EQ(rowOf("SKDR"), -1);
}

TEST_F(SafetyNet, ManyUnknownSpeciesShowAsTheCommonestAndTheRestInTheChart)
{
    // Codes no game writes, one per creature.
    std::int32_t code = 100;
    for (const SampleCreature& c : sampleCreatures()) {
        HistoryRecord e = c.entry;
        e.species = code++;
        e.fileName = encodePath(world.historyDir) + kHistoryFilePrefix + monikerText(c.entry.moniker);
        if (QFile::exists(QString::fromUtf8(e.fileName)))
            e.saveToFile();
    }
    openWindows();
    focusList();
    press(Qt::Key_I, Qt::ControlModifier);
    StatisticsWindow* stats = statisticsWindow();
    ASSERT_TRUE(stats);
    const QChart* chart = child<QChartView>(stats, "speciesChart")->chart();
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
    ASSERT_TRUE(axis);
    EXPECT_EQ(axis->count(), 12);
    EXPECT_EQ(axis->categories().last(), "Other codes");
    EXPECT_EQ(child<QTableView>(stats, "speciesTable")->model()->rowCount(), int(stats->statistics().species.size()));
    EXPECT_GT(stats->statistics().species.size(), 12u);
}
