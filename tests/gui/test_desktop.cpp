// A good desktop citizen: every control named for screen readers, labels
// tied to their boxes, the photo saved from the keyboard, the program in
// German under a German locale, the window where the user left it.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/ImageBox.h"
#include "browser/InstallationChooserDialog.h"
#include "browser/Translations.h"
#include "browser/DeleteCreatureDialog.h"
#include "browser/EditCreatureDialog.h"
#include "browser/PhotoAlbumDialog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>

#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTreeView>

namespace {

// The controls of a window that a user reaches or reads: every one must
// have a name a screen reader can say.
QStringList unnamed(QWidget* window)
{
    QStringList unnamed;
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* w : controls) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)
                             || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QAbstractItemView*>(w)
                             || qobject_cast<ImageBox*>(w);
        // A header is read as part of its view (the columns of its table).
        if (!control || w->objectName().startsWith("qt_") || qobject_cast<QHeaderView*>(w))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << w->objectName() + QLatin1Char(':') + QString::fromLatin1(w->metaObject()->className());
    }
    return unnamed;
}

QString accessibleName(QWidget* w)
{
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

}  // namespace

using Desktop = GuiTest;

TEST_F(Desktop, EveryControlHasANameAndEveryLabelItsBox)
{
    openWindows();
    EXPECT_EQ(unnamed(viewer.get()), QStringList());
    EXPECT_EQ(accessibleName(list()), "Creatures");

    select(rowOf("TOVA"));
    QStringList editUnnamed;
    QMap<QString, QString> names;
    whenModal([&](QWidget* d) {
        editUnnamed = unnamed(d);
        for (const char* box : {"nameEdit", "epitaphEdit", "ownerNameEdit", "ownerUrlEdit", "ownerEmailEdit", "ownerNotesEdit", "monikerEdit",
                                "photoImage"})
            names[box] = accessibleName(child<QWidget>(d, box));
        // Each label is the buddy of its box: Alt and the label's letter go
        // there, once the dialog is the active window (late on a loaded machine).
        EXPECT_TRUE(activate(d));
        QTest::keyClick(d, Qt::Key_U, Qt::AltModifier);
        names["focus after Alt+U"] = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "";
        QTest::mouseClick(child<QPushButton>(d, "cancelButton"), Qt::LeftButton);
    });
    trigger("editAction");
    EXPECT_EQ(editUnnamed, QStringList());
    EXPECT_EQ(names["nameEdit"], "Creature Name:");
    EXPECT_EQ(names["epitaphEdit"], "Epitaph:");
    EXPECT_EQ(names["ownerNameEdit"], "Owner Name:");
    EXPECT_EQ(names["ownerEmailEdit"], "Owner E-Mail:");
    EXPECT_EQ(names["monikerEdit"], "Moniker:");
    EXPECT_EQ(names["photoImage"], "Gravestone photo");
    EXPECT_EQ(names["focus after Alt+U"], "ownerUrlEdit");

    QStringList deleteUnnamed, albumUnnamed;
    whenModal([&](QWidget* d) {
        deleteUnnamed = unnamed(d);
        names["delete DisplayName"] = accessibleName(child<QWidget>(d, "nameEdit"));
        answerBox(QMessageBox::No);
        QTest::mouseClick(child<QPushButton>(d, "executeButton"), Qt::LeftButton);
    });
    trigger("deleteAction");
    EXPECT_EQ(deleteUnnamed, QStringList());
    EXPECT_EQ(names["delete DisplayName"], "Creature Name:");
    whenModal([&](QWidget* d) {
        albumUnnamed = unnamed(d);
        d->close();
    });
    trigger("viewPhotoAlbumAction");
    EXPECT_EQ(albumUnnamed, QStringList());

    InstallationChooserDialog chooser;
    EXPECT_EQ(unnamed(&chooser), QStringList());
}

// Every row tells in words what its icon shows, to a screen reader and as
// the icon's tooltip.
TEST_F(Desktop, EveryRowDescribesItsIcon)
{
    openWindows();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list());
    ASSERT_TRUE(table && table->tableInterface());
    auto description = [&](const char* moniker) {
        QAccessibleInterface* cell = table->tableInterface()->cellAt(rowOf(moniker), 0);
        return cell ? cell->text(QAccessible::Description) : QString("<no cell>");
    };
    EXPECT_EQ(description("TOVA"), "alive, has a photo album, has a genetics file");
    EXPECT_EQ(description("DEAG"), "dead, has a genetics file");
    EXPECT_EQ(description("YREX"), "exported from the world");
    EXPECT_EQ(description("STNG"), "");  // a state that shows no icon

    const QRect cell = list()->visualRect(list()->viewIndex(rowOf("TOVA"), 0));
    const QPoint icon(cell.left() + 10, cell.center().y());
    QHelpEvent help(QEvent::ToolTip, icon, list()->viewport()->mapToGlobal(icon));
    QApplication::sendEvent(list()->viewport(), &help);
    EXPECT_EQ(shownToolTip(), "alive, has a photo album, has a genetics file");
}

// The save of a photo needs no mouse: Enter on the picture or the list, or
// Ctrl+S, opens the same save dialog.
TEST_F(Desktop, APhotoIsSavedFromTheKeyboard)
{
    openWindows();
    select(rowOf("TOVA"));
    QStringList reached;
    whenModal([&](QWidget* d) {
        auto* picture = child<ImageBox>(d, "photoImage");
        auto* list = child<QListWidget>(d, "photoList");
        const std::vector<std::pair<QString, std::function<void()>>> ways = {
            {"Enter on the picture", [&] { picture->setFocus(), QTest::keyClick(picture, Qt::Key_Return); }},
            {"Enter on the list", [&] { list->setFocus(), QTest::keyClick(list, Qt::Key_Enter); }},
            {"Ctrl+S", [&] {
                 EXPECT_TRUE(activate(d));
                 QTest::keyClick(list, Qt::Key_S, Qt::ControlModifier);
             }},
        };
        for (const auto& [way, press] : ways) {
            whenModal([&, way = way](QWidget* save) {
                if (qobject_cast<QFileDialog*>(save))
                    reached << way;
                static_cast<QDialog*>(save)->reject();
            });
            press();
        }
        d->close();
    });
    trigger("viewPhotoAlbumAction");
    EXPECT_EQ(reached, (QStringList{"Enter on the picture", "Enter on the list", "Ctrl+S"}));
}

// Under a German locale the program is German, Qt's own buttons included;
// the shortcuts stay what they are.
TEST_F(Desktop, UnderAGermanLocaleTheProgramIsGerman)
{
    const Translations german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(german.translated());
    openWindows();
    EXPECT_EQ(viewer->windowTitle(), "Endrish-Geschöpfchronik");
    EXPECT_EQ(model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Name des Geschöpfs");
    EXPECT_EQ(cellText(rowOf("TOVA"), 6), "Lebt in der Welt");
    EXPECT_EQ(viewer->findChild<QAction*>("deleteAction")->shortcut().toString(), "Ctrl+D");
    select(rowOf("DAGP"));
    SeenBox confirmation;
    QStringList buttons;
    QString dialogTitle;
    whenModal([&](QWidget* d) {
        dialogTitle = d->windowTitle();
        whenModal([&](QWidget* box) {
            for (QAbstractButton* b : static_cast<QMessageBox*>(box)->buttons())
                buttons << b->text();
            static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
        });
        QTest::mouseClick(child<QPushButton>(d, "executeButton"), Qt::LeftButton);
    });
    trigger("deleteAction");
    EXPECT_EQ(dialogTitle, "Eintrag löschen");
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"&Ja", "&Nein"}));

    // Numbers in messages are grouped as German groups them.
    writeWholeFile(dir.filePath("large"), QByteArray(2000000, 'x'));
    try {
        readRegularFile(encodePath(dir.filePath("large")), 1000000);
        ADD_FAILURE() << "read a file over the limit";
    } catch (const FileOpenError& e) {
        EXPECT_TRUE(e.message.contains("Sie ist 2.000.000 Bytes lang; gelesen werden höchstens 1.000.000 Bytes.")) << e.message.toStdString();
    }
}

TEST(Translations, TheGermanTranslationIsCompleteAndCurrent)
{
    QFile ts(QStringLiteral(LIFELEDGER_SOURCE_DIR "/translations/lifeledger_de.ts"));
    ASSERT_TRUE(ts.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ts.readAll());
    EXPECT_FALSE(text.contains("type=\"unfinished\"")) << "untranslated texts";
    EXPECT_FALSE(text.contains("<translation></translation>"));
    EXPECT_FALSE(text.contains("type=\"obsolete\"") || text.contains("type=\"vanished\""));

    // What the sources mark for translation today is all in the file.
    const QString lupdate = QStandardPaths::findExecutable("lupdate", {"/usr/lib/qt6/bin"});
    if (lupdate.isEmpty())
        GTEST_SKIP() << "lupdate is not installed";
    QTemporaryDir dir;
    QFile::copy(ts.fileName(), dir.filePath("fresh.ts"));
    QFile::setPermissions(dir.filePath("fresh.ts"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QProcess run;
    run.start(lupdate, {"-no-obsolete", "-locations", "none", LIFELEDGER_SOURCE_DIR "/src", "-ts", dir.filePath("fresh.ts")});
    ASSERT_TRUE(run.waitForFinished(60000));
    const QString said = QString::fromLocal8Bit(run.readAllStandardOutput());
    EXPECT_TRUE(said.contains("(0 new and")) << said.toStdString();
    EXPECT_FALSE(said.contains("obsolete entries")) << said.toStdString();

    // English, the program's own language, has its plural forms: every
    // text with a number, and none left to write.
    QFile::copy(LIFELEDGER_SOURCE_DIR "/translations/lifeledger_en.ts", dir.filePath("en.ts"));
    QFile::setPermissions(dir.filePath("en.ts"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    run.start(lupdate, {"-pluralonly", "-no-obsolete", "-locations", "none", LIFELEDGER_SOURCE_DIR "/src", "-ts", dir.filePath("en.ts")});
    ASSERT_TRUE(run.waitForFinished(60000));
    const QString english = QString::fromUtf8(readAll(dir.filePath("en.ts")));
    EXPECT_FALSE(english.contains("type=\"unfinished\"")) << "plural forms to write";
}

// The window comes back where the user left it, pulled onto the screen when
// that place is gone (another monitor unplugged).
TEST_F(Desktop, TheWindowComesBackWhereItWasAndOnTheScreen)
{
    QSettings settings(dir.filePath("settings.conf"), QSettings::IniFormat);
    const StartContext context{InstallationSource::fromPrefix(encodePath(world.prefix)), &settings, dir.path()};
    viewer = createWindows(context);
    viewer->show();
    // The design place the first time, where the screen holds it.
    const QRect screen = viewer->screen()->availableGeometry();
    if (screen.contains(QRect(QPoint(327, 159), viewer->frameGeometry().size())))
        EXPECT_EQ(viewer->pos(), QPoint(327, 159));
    else
        EXPECT_TRUE(screen.contains(viewer->frameGeometry())) << "kept on a small screen";
    viewer->move(40, 30);
    viewer->resize(700, 450);
    viewer->close();
    viewer = createWindows(context);
    viewer->show();
    EXPECT_EQ(viewer->pos(), QPoint(40, 30));
    EXPECT_EQ(viewer->size(), QSize(700, 450));

    viewer->move(9000, 7000);  // where a second monitor was
    viewer->close();
    viewer = createWindows(context);
    viewer->show();
    const QRect available = viewer->screen()->availableGeometry();
    const QRect frame = viewer->frameGeometry();
    EXPECT_TRUE(available.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height()
                                           << " in " << available.width() << "x" << available.height();
}

TEST_F(Desktop, CtrlQQuitsAndAboutSaysWhereItReads)
{
    openWindows();
    SeenBox about;
    whenModal([&](QWidget* w) {
        about.text = static_cast<QMessageBox*>(w)->text();
        about.title = w->windowTitle();
        static_cast<QMessageBox*>(w)->accept();
    });
    viewer->findChild<QAction*>("aboutAction")->trigger();
    EXPECT_EQ(about.title, "About Lifeledger");
    EXPECT_TRUE(about.text.contains(world.prefix.toHtmlEscaped())) << about.text.toStdString();
    EXPECT_TRUE(about.text.contains(pathText(viewer->controller()->historyDirectory()).toHtmlEscaped()));
    EXPECT_TRUE(about.text.contains(pathText(viewer->controller()->geneticsDirectory()).toHtmlEscaped()));

    focusList();
    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(viewer->isVisible());
}
