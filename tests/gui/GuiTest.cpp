#include "gui/GuiTest.h"

#include "TestUtil.h"

#include "sprites/SpriteImage.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

namespace {

// Handlers still waiting for their dialog; one left at the end of a test
// would answer a dialog of the next test.
QList<QPointer<QTimer>>& pending()
{
    static QList<QPointer<QTimer>> pending;
    return pending;
}

}  // namespace

QString shownToolTip()
{
    return QToolTip::isVisible() ? QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText() : QString();
}

bool activate(QWidget* window)
{
    QCoreApplication::processEvents();
    window->activateWindow();
    return QTest::qWaitFor([window] {
        return window->isActiveWindow() && QGuiApplication::focusWindow() == window->windowHandle();
    });
}

void whenModal(std::function<void(QWidget*)> handler)
{
    auto* timer = new QTimer(qApp);
    pending().append(timer);
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, handler] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            handler(modal);
        } else if (clock->elapsed() > 10000) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            ADD_FAILURE() << "no modal dialog appeared";
        }
    });
    timer->start(5);
}

namespace {

SeenBox seenBox(QMessageBox* box)
{
    SeenBox seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.details = box->detailedText();
    seen.icon = box->icon();
    seen.format = box->textFormat();
    seen.buttons = box->standardButtons();
    if (box->defaultButton())
        seen.Default = box->standardButton(box->defaultButton());
    return seen;
}

}  // namespace

void answerBox(QMessageBox::StandardButton answer, SeenBox* seen)
{
    whenModal([answer, seen](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            ADD_FAILURE() << "expected a message box, got " << w->metaObject()->className();
            w->close();
            return;
        }
        if (seen)
            *seen = seenBox(box);
        QAbstractButton* button = box->button(answer);
        if (!button) {
            ADD_FAILURE() << "the box has no such button: " << box->text().toStdString();
            button = box->buttons().value(0);
        }
        button->click();
    });
}

QImage sampleAlbumImage(const QByteArray& moniker, int photos, int index, PixelLayout layout)
{
    const Picture p = sampleAlbum(moniker, photos).at(size_t(index));
    S16Sprite s;
    s.width = static_cast<std::uint16_t>(p.width);
    s.height = static_cast<std::uint16_t>(p.height);
    s.pixels.resize(std::size_t(s.width) * s.height);
    s.pixelLayout = layout;
    for (size_t i = 0; i < p.pixels.size(); ++i)
        s.pixels[i] = packPixel(p.pixels[i], layout);
    return spriteToImage(s);
}

BoxCollector::BoxCollector() : timer_(new QTimer)
{
    QObject::connect(timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        boxes.append(seenBox(box));
        pressDefault(box);
    });
    timer_->start(5);
}

BoxCollector::~BoxCollector()
{
    delete timer_;
}

void GuiTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    world = writeSampleWorld(dir.path() + QStringLiteral("/prefix"));
}

void GuiTest::TearDown()
{
    for (const QPointer<QTimer>& timer : pending()) {
        if (timer && timer->isActive()) {
            ADD_FAILURE() << "a dialog the test expected never appeared";
            delete timer.data();
        }
    }
    pending().clear();
    viewer.reset();
}

void GuiTest::openWindows()
{
    viewer = createWindows({InstallationSource::fromPrefix(encodePath(world.prefix)), nullptr, dir.path(), encodePath(dir.filePath("data"))});
    // The list's model and the find filter over it keep Qt's rules through
    // every fill, deletion and filter: Qt's own tester watches both.
    for (QAbstractItemModel* watched : {static_cast<QAbstractItemModel*>(model()), list()->model()})
        new QAbstractItemModelTester(watched, QAbstractItemModelTester::FailureReportingMode::Fatal, viewer.get());
    viewer->show();
}

int GuiTest::rowOf(const QByteArray& moniker) const
{
    for (int row = 0; row < model()->count(); ++row)
        if (monikerText(model()->readRecord(row).moniker) == moniker)
            return row;
    return -1;
}

void GuiTest::select(int row)
{
    const QModelIndex index = list()->viewIndex(row);
    ASSERT_TRUE(index.isValid()) << "row " << row << " is not shown";
    list()->scrollTo(index);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualRect(index).center());
}

void GuiTest::trigger(const char* action)
{
    QAction* command = viewer->findChild<QAction*>(QLatin1String(action));
    ASSERT_TRUE(command) << "no action " << action;
    command->trigger();
}

const SampleCreature& GuiTest::creature(const QByteArray& moniker) const
{
    for (const SampleCreature& c : sampleCreatures())
        if (monikerText(c.entry.moniker) == moniker)
            return c;
    throw std::runtime_error("no sample creature " + moniker.toStdString());
}

QString GuiTest::cellText(int row, int column) const
{
    return model()->index(row, column).data().toString();
}

int GuiTest::listedRows() const
{
    return model()->rowCount();
}

void GuiTest::focusList()
{
    // Activation arrives through the event queue on every platform plugin.
    viewer->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return viewer->isActiveWindow(); }));
    list()->clearFocus();
    list()->setFocus(Qt::ActiveWindowFocusReason);
}

void GuiTest::press(int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(list(), static_cast<Qt::Key>(key), modifiers);
}

void GuiTest::acceptEditOf(const QByteArray& moniker, const std::function<void()>& whileOpen)
{
    select(rowOf(moniker));
    whenModal([whileOpen](QWidget* dialog) {
        if (whileOpen)
            whileOpen();
        child<QPushButton>(dialog, "acceptButton")->click();
    });
    trigger("editAction");
}

namespace {

// Every file below a folder with its size, time and content.
QStringList snapshot(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        QFile file(info.filePath());
        const QByteArray hash = info.isFile() && file.open(QIODevice::ReadOnly)
                                    ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex()
                                    : QByteArray("-");
        files << QStringLiteral("%1 %2 %3 %4")
                     .arg(info.filePath())
                     .arg(info.size())
                     .arg(info.lastModified().toMSecsSinceEpoch())
                     .arg(QString::fromLatin1(hash));
    }
    files.sort();
    return files;
}

}  // namespace

void GuiTest::expectNothingHappens(const std::function<void()>& command)
{
    const QStringList before = snapshot(world.prefix);
    QStringList opened;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened << QString::fromLatin1(modal->metaObject()->className()) + ": " + modal->windowTitle();
            modal->close();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->done(QDialog::Rejected);
        }
    });
    closer.start(5);
    command();
    closer.stop();
    EXPECT_TRUE(opened.isEmpty()) << opened.join(", ").toStdString();
    EXPECT_EQ(snapshot(world.prefix), before);
}
