// A good desktop citizen: every control named for screen readers, labels
// tied to their boxes, the photo saved from the keyboard, the program in
// German under a German locale, the window where the user left it.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/ImageBox.h"
#include "browser/InstallationChooser.h"
#include "browser/Translations.h"
#include "browser/unitDeleteEntry.h"
#include "browser/unitEditEntry.h"
#include "browser/unitPhotoAlbum.h"

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
QStringList Unnamed(QWidget* window)
{
    QStringList unnamed;
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* w : controls) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)
                             || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QAbstractItemView*>(w)
                             || qobject_cast<TImageBox*>(w);
        // A header is read as part of its view (the columns of its table).
        if (!control || w->objectName().startsWith("qt_") || qobject_cast<QHeaderView*>(w))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << w->objectName() + QLatin1Char(':') + QString::fromLatin1(w->metaObject()->className());
    }
    return unnamed;
}

QString AccessibleName(QWidget* w)
{
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

}  // namespace

using Desktop = GuiTest;

TEST_F(Desktop, EveryControlHasANameAndEveryLabelItsBox)
{
    Open();
    EXPECT_EQ(Unnamed(viewer.get()), QStringList());
    EXPECT_EQ(AccessibleName(viewer->Entries), "Creatures");

    Select(RowOf("TOVA"));
    QStringList editUnnamed;
    QMap<QString, QString> names;
    WhenModal([&](QWidget* d) {
        editUnnamed = Unnamed(d);
        for (const char* box : {"DisplayName", "Epitaph", "OwnerName", "OwnerURL", "OwnerEMail", "OwnerNotes", "Moniker",
                                "GraveImage"})
            names[box] = AccessibleName(Child<QWidget>(d, box));
        // Each label is the buddy of its box: Alt and the label's letter go there.
        QTest::keyClick(d, Qt::Key_U, Qt::AltModifier);
        names["focus after Alt+U"] = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "";
        QTest::mouseClick(Child<QPushButton>(d, "Button2"), Qt::LeftButton);
    });
    viewer->EditEntries1Click();
    EXPECT_EQ(editUnnamed, QStringList());
    EXPECT_EQ(names["DisplayName"], "Creature Name:");
    EXPECT_EQ(names["Epitaph"], "Epitaph:");
    EXPECT_EQ(names["OwnerName"], "Owner Name:");
    EXPECT_EQ(names["OwnerEMail"], "Owner E-Mail:");
    EXPECT_EQ(names["Moniker"], "Moniker:");
    EXPECT_EQ(names["GraveImage"], "Gravestone photo");
    EXPECT_EQ(names["focus after Alt+U"], "OwnerURL");

    QStringList deleteUnnamed, albumUnnamed;
    WhenModal([&](QWidget* d) {
        deleteUnnamed = Unnamed(d);
        names["delete DisplayName"] = AccessibleName(Child<QWidget>(d, "DisplayName"));
        AnswerBox(QMessageBox::No);
        QTest::mouseClick(Child<QPushButton>(d, "Button1"), Qt::LeftButton);
    });
    viewer->DeleteEntry1Click();
    EXPECT_EQ(deleteUnnamed, QStringList());
    EXPECT_EQ(names["delete DisplayName"], "Creature Name:");
    WhenModal([&](QWidget* d) {
        albumUnnamed = Unnamed(d);
        d->close();
    });
    viewer->ViewPhotoAlbum1Click();
    EXPECT_EQ(albumUnnamed, QStringList());

    TInstallationChooser chooser;
    EXPECT_EQ(Unnamed(&chooser), QStringList());
}

// Every row tells in words what its icon shows, to a screen reader and as
// the icon's tooltip.
TEST_F(Desktop, EveryRowDescribesItsIcon)
{
    Open();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(viewer->Entries);
    ASSERT_TRUE(list && list->tableInterface());
    auto description = [&](const char* moniker) {
        QAccessibleInterface* cell = list->tableInterface()->cellAt(RowOf(moniker), 0);
        return cell ? cell->text(QAccessible::Description) : QString("<no cell>");
    };
    EXPECT_EQ(description("TOVA"), "alive, has a photo album, has a genetics file");
    EXPECT_EQ(description("DEAG"), "dead, has a genetics file");
    EXPECT_EQ(description("YREX"), "exported from the world");
    EXPECT_EQ(description("STNG"), "");  // a state that shows no icon

    const QRect cell = viewer->Entries->visualRect(viewer->ViewIndex(RowOf("TOVA"), 0));
    const QPoint icon(cell.left() + 10, cell.center().y());
    QHelpEvent help(QEvent::ToolTip, icon, viewer->Entries->viewport()->mapToGlobal(icon));
    QApplication::sendEvent(viewer->Entries->viewport(), &help);
    EXPECT_EQ(ShownToolTip(), "alive, has a photo album, has a genetics file");
}

// The save of a photo needs no mouse: Enter on the picture or the list, or
// Ctrl+S, opens the same save dialog.
TEST_F(Desktop, APhotoIsSavedFromTheKeyboard)
{
    Open();
    Select(RowOf("TOVA"));
    QStringList reached;
    WhenModal([&](QWidget* d) {
        auto* picture = Child<TImageBox>(d, "GraveImage");
        auto* list = Child<QListWidget>(d, "Images");
        const std::vector<std::pair<QString, std::function<void()>>> ways = {
            {"Enter on the picture", [&] { picture->setFocus(), QTest::keyClick(picture, Qt::Key_Return); }},
            {"Enter on the list", [&] { list->setFocus(), QTest::keyClick(list, Qt::Key_Enter); }},
            {"Ctrl+S", [&] {
                 d->activateWindow();
                 (void)QTest::qWaitForWindowActive(d);
                 QTest::keyClick(list, Qt::Key_S, Qt::ControlModifier);
             }},
        };
        for (const auto& [way, press] : ways) {
            WhenModal([&, way = way](QWidget* save) {
                if (qobject_cast<QFileDialog*>(save))
                    reached << way;
                static_cast<QDialog*>(save)->reject();
            });
            press();
        }
        d->close();
    });
    viewer->ViewPhotoAlbum1Click();
    EXPECT_EQ(reached, (QStringList{"Enter on the picture", "Enter on the list", "Ctrl+S"}));
}

// Under a German locale the program is German, Qt's own buttons included;
// the shortcuts stay what they are.
TEST_F(Desktop, UnderAGermanLocaleTheProgramIsGerman)
{
    const TTranslations german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(german.Translated());
    Open();
    EXPECT_EQ(viewer->windowTitle(), "Endrish-Geschöpfverlauf");
    EXPECT_EQ(viewer->EntryRecords->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Name des Geschöpfs");
    EXPECT_EQ(Text(RowOf("TOVA"), 6), "Lebt in der Welt");
    EXPECT_EQ(viewer->findChild<QAction*>("Delete1")->shortcut().toString(), "Ctrl+D");
    Select(RowOf("DAGP"));
    TSeenBox confirmation;
    QStringList buttons;
    QString dialogTitle;
    WhenModal([&](QWidget* d) {
        dialogTitle = d->windowTitle();
        WhenModal([&](QWidget* box) {
            for (QAbstractButton* b : static_cast<QMessageBox*>(box)->buttons())
                buttons << b->text();
            static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
        });
        QTest::mouseClick(Child<QPushButton>(d, "Button1"), Qt::LeftButton);
    });
    viewer->DeleteEntry1Click();
    EXPECT_EQ(dialogTitle, "Einen Eintrag löschen");
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"&Ja", "&Nein"}));
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
}

// The window comes back where the user left it, pulled onto the screen when
// that place is gone (another monitor unplugged).
TEST_F(Desktop, TheWindowComesBackWhereItWasAndOnTheScreen)
{
    QSettings settings(dir.filePath("settings.conf"), QSettings::IniFormat);
    const TStartContext context{TInstallationSource::FromPrefix(EncodePath(world.Prefix)), &settings, dir.path()};
    viewer = CreateWindows(context);
    viewer->show();
    EXPECT_EQ(viewer->pos(), QPoint(327, 159)) << "the design place the first time";
    viewer->move(40, 30);
    viewer->resize(700, 450);
    viewer->close();
    viewer = CreateWindows(context);
    viewer->show();
    EXPECT_EQ(viewer->pos(), QPoint(40, 30));
    EXPECT_EQ(viewer->size(), QSize(700, 450));

    viewer->move(9000, 7000);  // where a second monitor was
    viewer->close();
    viewer = CreateWindows(context);
    viewer->show();
    const QRect available = viewer->screen()->availableGeometry();
    const QRect frame = viewer->frameGeometry();
    EXPECT_TRUE(available.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height()
                                           << " in " << available.width() << "x" << available.height();
}

TEST_F(Desktop, CtrlQQuitsAndAboutSaysWhereItReads)
{
    Open();
    TSeenBox about;
    WhenModal([&](QWidget* w) {
        about.Text = static_cast<QMessageBox*>(w)->text();
        about.Title = w->windowTitle();
        static_cast<QMessageBox*>(w)->accept();
    });
    viewer->findChild<QAction*>("About1")->trigger();
    EXPECT_EQ(about.Title, "About Lifeledger");
    EXPECT_TRUE(about.Text.contains(world.Prefix.toHtmlEscaped())) << about.Text.toStdString();
    EXPECT_TRUE(about.Text.contains(PathText(viewer->HistoryDirectory).toHtmlEscaped()));
    EXPECT_TRUE(about.Text.contains(PathText(viewer->GeneticsDirectory).toHtmlEscaped()));

    FocusList();
    Press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(viewer->isVisible());
}
