// Every feature's second step: after an edit, a deletion and an F5, from
// the keyboard alone, as a screen reader hears it, in English and German.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/ContactSheetDialog.h"
#include "browser/FamilyTreeWindow.h"
#include "browser/PhotoAlbumDialog.h"
#include "browser/Translations.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace {

FamilyTreeWindow* shownTree()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* tree = qobject_cast<FamilyTreeWindow*>(w); tree && tree->isVisible())
            return tree;
    return nullptr;
}

// Whether the card's rectangle is inside the view's viewport.
bool inSight(FamilyTreeView* view, int card)
{
    return view->viewport()->rect().contains(view->cardRect(card));
}

}  // namespace

class SecondStep : public GuiTest {
protected:
    // Presses a key in whatever has the keyboard in the window.
    static void key(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = window->focusWidget() ? window->focusWidget() : window;
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }
    // The modal window a key opens, closed again (Cancel, No, Close).
    QString modalOf(int k)
    {
        QString opened;
        whenModal([&opened](QWidget* w) {
            opened = QString::fromLatin1(w->metaObject()->className());
            if (auto* cancel = w->findChild<QPushButton*>(QStringLiteral("cancelButton")))
                cancel->click();
            else if (auto* execute = w->findChild<QPushButton*>(QStringLiteral("executeButton"))) {
                answerBox(QMessageBox::No);  // the confirmation: nothing is deleted
                execute->click();
            }
            else
                static_cast<QDialog*>(w)->reject();
        });
        focusList();
        press(k, Qt::ControlModifier);
        return opened;
    }
    // Tavi's family tree, opened by Ctrl+T from the list.
    FamilyTreeWindow* openTavisTree()
    {
        select(rowOf("TOVA"));
        focusList();
        press(Qt::Key_T, Qt::ControlModifier);
        return shownTree();
    }
};

// Every shortcut the menus and the README promise does what it says, in
// English and in German (the keys are the same in every language).
TEST_F(SecondStep, EveryPromisedShortcutWorksInEnglishAndGerman)
{
    for (const QLocale& locale : {QLocale(QLocale::English), QLocale(QLocale::German, QLocale::Germany)}) {
        const Translations language(locale);
        openWindows();
        const std::string l = locale.name().toStdString();
        select(rowOf("TOVA"));
        EXPECT_EQ(modalOf(Qt::Key_E), "EditCreatureDialog") << l;
        EXPECT_EQ(modalOf(Qt::Key_D), "DeleteCreatureDialog") << l;
        EXPECT_EQ(modalOf(Qt::Key_V), "PhotoAlbumDialog") << l;
        EXPECT_EQ(modalOf(Qt::Key_K), "ContactSheetDialog") << l;
        focusList();
        press(Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(viewer->findChild<QLineEdit*>("findEdit")->isVisible()) << l;
        key(viewer.get(), Qt::Key_Escape);

        focusList();
        press(Qt::Key_T, Qt::ControlModifier);
        FamilyTreeWindow* tree = shownTree();
        ASSERT_TRUE(tree) << l;
        tree->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([tree] { return tree->isActiveWindow(); }));
        auto zoom = [tree] { return tree->view()->transform().m11(); };
        key(tree, Qt::Key_Minus, Qt::ControlModifier);
        EXPECT_LT(zoom(), 1) << l;
        key(tree, Qt::Key_Plus, Qt::ControlModifier);
        key(tree, Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_GT(zoom(), 1) << l;
        key(tree, Qt::Key_0, Qt::ControlModifier);
        EXPECT_EQ(zoom(), 1) << l;
        key(tree, Qt::Key_W, Qt::ControlModifier);
        EXPECT_FALSE(tree->isVisible()) << l << ": Ctrl+W closes the tree";

        const int rows = listedRows();
        QFile::remove(world.historyDir + "cr_SKDR");
        focusList();
        press(Qt::Key_F5);
        EXPECT_EQ(listedRows(), rows - 1) << l;
        // (Ctrl+Q would end every later event loop of this test program.)
        EXPECT_EQ(viewer->findChild<QAction*>("exitAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        viewer.reset();
        writeSampleWorld(world.prefix);
    }
}

// The tree starts on the creature's own card, keeps the focused card in
// sight at every zoom, and closes with Escape.
TEST_F(SecondStep, TheTreeStartsOnTheCreatureAndKeepsItInSight)
{
    openWindows();
    FamilyTreeWindow* tree = openTavisTree();
    ASSERT_TRUE(tree);
    FamilyTreeView* view = tree->view();
    ASSERT_TRUE(QTest::qWaitFor([view] { return view->focusedCard() == 0; }));
    key(tree, Qt::Key_Up);
    const int parent = view->focusedCard();
    EXPECT_EQ(view->face(parent).moniker, "SKDR");
    for (int k : {Qt::Key_Minus, Qt::Key_Minus, Qt::Key_0, Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Plus}) {
        key(tree, k, Qt::ControlModifier);
        EXPECT_TRUE(inSight(view, parent)) << "after Ctrl+" << QKeySequence(k).toString().toStdString();
    }
    key(tree, Qt::Key_Escape);
    EXPECT_FALSE(tree->isVisible());
}

// The find bar's count stays true after a deletion and an F5, is spoken,
// lets the command keys through, and Escape leaves the selected creature
// in sight with the keyboard on the list.
TEST_F(SecondStep, TheFindBarStaysTrueAfterEveryChange)
{
    openWindows();
    focusList();
    press(Qt::Key_F, Qt::ControlModifier);
    auto* box = viewer->findChild<QLineEdit*>("findEdit");
    auto* count = viewer->findChild<QLabel*>("findCountLabel");
    QTest::keyClicks(box, "tavi");
    QTest::keyClick(box, Qt::Key_Return);
    const int total = listedRows();
    const int shown = list()->model()->rowCount();
    EXPECT_EQ(count->text(), QStringLiteral("%1 of %2").arg(shown).arg(total));
    EXPECT_EQ(box->accessibleDescription(), QStringLiteral("%1 of %2 creatures found").arg(shown).arg(total));

    QFile::remove(world.historyDir + "cr_TOVA");  // the game removes Tavi
    focusList();
    press(Qt::Key_F5);
    EXPECT_EQ(count->text(), QStringLiteral("%1 of %2").arg(shown - 1).arg(total - 1));

    // Ctrl+E in the box edits the selected creature.
    select(0);
    const QByteArray selected = model()->fileNameOf(list()->selectedRow());
    box->setFocus();
    whenModal([](QWidget* d) { child<QPushButton>(d, "cancelButton")->click(); });
    QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(box->text() == "tavi") << "the box did not take Ctrl+E";

    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(model()->fileNameOf(list()->selectedRow()), selected);
    EXPECT_TRUE(list()->viewport()->rect().intersects(list()->visualRect(list()->currentIndex())));
    EXPECT_EQ(viewer->focusWidget(), list());
}

// An accepted edit, a deletion and F5 keep the selected creature selected
// and the open tree open.
TEST_F(SecondStep, SelectionAndTreeSurviveEveryRefill)
{
    openWindows();
    ASSERT_TRUE(openTavisTree());
    auto still = [&](const char* after) {
        EXPECT_EQ(list()->selectedRow(), rowOf("TOVA")) << after;
        EXPECT_TRUE(shownTree()) << after;
    };
    focusList();
    press(Qt::Key_F5);
    still("F5");
    acceptEditOf("TOVA");
    still("an accepted edit");
    select(rowOf("C102"));  // a child of Tavi, on the tree
    whenModal([](QWidget* d) {
        QTest::mouseClick(child<QCheckBox>(d, "historyCheck"), Qt::LeftButton, {}, QPoint(4, 8));
        answerBox(QMessageBox::Yes);
        QTest::mouseClick(child<QPushButton>(d, "executeButton"), Qt::LeftButton);
    });
    trigger("deleteAction");
    EXPECT_EQ(rowOf("C102"), -1);
    select(rowOf("TOVA"));
    still("a deletion");
    shownTree()->close();
}

// A click on the album's picture (and its double-click's save dialog)
// leaves the arrows with the photo list; the picture is a named image.
TEST_F(SecondStep, TheAlbumKeepsTheArrowsWithTheList)
{
    openWindows();
    select(rowOf("TOVA"));
    whenModal([](QWidget* d) {
        auto* photos = child<QListWidget>(d, "photoList");
        auto* picture = child<QWidget>(d, "photoImage");
        whenModal([](QWidget* save) { static_cast<QDialog*>(save)->reject(); });
        QTest::mouseDClick(picture, Qt::LeftButton);
        EXPECT_NE(d->focusWidget(), picture) << "a click leaves the keyboard where it was";
        QTest::keyClick(d->focusWidget(), Qt::Key_Down);
        EXPECT_EQ(photos->currentRow(), 1);
        QAccessibleInterface* image = QAccessible::queryAccessibleInterface(picture);
        EXPECT_EQ(image->role(), QAccessible::Graphic);
        EXPECT_EQ(image->text(QAccessible::Name), photos->item(1)->text());
        static_cast<QDialog*>(d)->reject();
    });
    trigger("viewPhotoAlbumAction");
}

// What a screen reader hears: the tree is a window whose cards say how they
// stand to the creature; a row without parents says so; the delete dialog's
// creature is reached by Tab; Shift+F10 opens the pop-up menu.
TEST_F(SecondStep, AScreenReaderHearsWhereItIs)
{
    openWindows();
    FamilyTreeWindow* tree = openTavisTree();
    ASSERT_TRUE(tree);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(tree)->role(), QAccessible::Window);
    QAccessibleInterface* cards = QAccessible::queryAccessibleInterface(tree->view());
    EXPECT_TRUE(cards->child(0)->text(QAccessible::Description).startsWith("the creature itself"));
    EXPECT_TRUE(cards->child(1)->text(QAccessible::Description).startsWith("parent"));
    tree->close();

    EXPECT_EQ(model()->index(rowOf("DEAG"), CreatureListModel::ParentsColumn).data(Qt::AccessibleDescriptionRole).toString(),
              "no parents recorded");
    QString reached;
    whenModal([&reached](QWidget* d) {
        child<QWidget>(d, "monikerEdit")->setFocus();
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        reached = d->focusWidget() ? d->focusWidget()->objectName() : QString();
        answerBox(QMessageBox::No);
        QTest::mouseClick(child<QPushButton>(d, "executeButton"), Qt::LeftButton);
    });
    select(rowOf("TOVA"));
    trigger("deleteAction");
    EXPECT_EQ(reached, "nameEdit");

    focusList();
    press(Qt::Key_F10, Qt::ShiftModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->actions().value(0)->text(), "Delete Entry");
    menu->close();
}

// A German desktop: the species column shows its species, not "…", and a
// width the user dragged comes back at the next start.
TEST_F(SecondStep, ColumnsFitTheirTextsInGermanAndKeepTheUsersWidths)
{
    QSettings settings(dir.filePath("settings.conf"), QSettings::IniFormat);
    {
        const Translations german(QLocale(QLocale::German, QLocale::Germany));
        viewer = createWindows({InstallationSource::fromPrefix(encodePath(world.prefix)), &settings, dir.path()});
        viewer->show();
        QHeaderView* header = list()->header();
        EXPECT_EQ(model()->headerData(CreatureListModel::SpeciesColumn, Qt::Horizontal, Qt::DisplayRole).toString(), "Art");
        EXPECT_GE(header->sectionSize(CreatureListModel::SpeciesColumn),
                  QFontMetrics(header->font()).horizontalAdvance("Species"));
        header->resizeSection(CreatureListModel::NameColumn, 333);
        viewer->close();
    }
    viewer = createWindows({InstallationSource::fromPrefix(encodePath(world.prefix)), &settings, dir.path()});
    EXPECT_EQ(list()->header()->sectionSize(CreatureListModel::NameColumn), 333);
}
