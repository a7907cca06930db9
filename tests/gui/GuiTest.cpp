#include "gui/GuiTest.h"

#include "TestUtil.h"

#include "sprites/SpriteImage.h"

#include <QAbstractButton>
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
QList<QPointer<QTimer>>& Pending()
{
    static QList<QPointer<QTimer>> pending;
    return pending;
}

}  // namespace

QString ShownToolTip()
{
    return QToolTip::isVisible() ? QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText() : QString();
}

void WhenModal(std::function<void(QWidget*)> handler)
{
    auto* timer = new QTimer(qApp);
    Pending().append(timer);
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

TSeenBox Seen(QMessageBox* box)
{
    TSeenBox seen;
    seen.Title = box->windowTitle();
    seen.Text = box->text();
    seen.Details = box->detailedText();
    seen.Icon = box->icon();
    seen.Format = box->textFormat();
    seen.Buttons = box->standardButtons();
    if (box->defaultButton())
        seen.Default = box->standardButton(box->defaultButton());
    return seen;
}

}  // namespace

void AnswerBox(QMessageBox::StandardButton answer, TSeenBox* seen)
{
    WhenModal([answer, seen](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            ADD_FAILURE() << "expected a message box, got " << w->metaObject()->className();
            w->close();
            return;
        }
        if (seen)
            *seen = Seen(box);
        QAbstractButton* button = box->button(answer);
        if (!button) {
            ADD_FAILURE() << "the box has no such button: " << box->text().toStdString();
            button = box->buttons().value(0);
        }
        button->click();
    });
}

QImage SampleAlbumImage(const QByteArray& moniker, int photos, int index, TPixelLayout layout)
{
    const TPicture p = SampleAlbum(moniker, photos).at(size_t(index));
    TS16Sprite s;
    s.SetWidth(static_cast<std::uint16_t>(p.width));
    s.SetHeight(static_cast<std::uint16_t>(p.height));
    s.PixelLayout = layout;
    for (size_t i = 0; i < p.pixels.size(); ++i)
        s.Pixels[i] = PackPixel(p.pixels[i], layout);
    return SpriteToImage(s);
}

TBoxCollector::TBoxCollector() : timer_(new QTimer)
{
    QObject::connect(timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        Boxes.append(Seen(box));
        PressDefault(box);
    });
    timer_->start(5);
}

TBoxCollector::~TBoxCollector()
{
    delete timer_;
}

void GuiTest::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    world = WriteSampleWorld(dir.path() + QStringLiteral("/prefix"));
}

void GuiTest::TearDown()
{
    for (const QPointer<QTimer>& timer : Pending()) {
        if (timer && timer->isActive()) {
            ADD_FAILURE() << "a dialog the test expected never appeared";
            delete timer.data();
        }
    }
    Pending().clear();
    viewer.reset();
}

void GuiTest::Open()
{
    viewer = CreateWindows({TInstallationSource::FromPrefix(EncodePath(world.Prefix)), nullptr, dir.path()});
    viewer->show();
}

int GuiTest::RowOf(const QByteArray& moniker) const
{
    for (int row = 0; row < viewer->EntryRecords->Count(); ++row)
        if (MonikerText(viewer->EntryRecords->Record(row).Moniker) == moniker)
            return row;
    return -1;
}

void GuiTest::Select(int row)
{
    viewer->SelectRow(row);
}

const TSampleCreature& GuiTest::Creature(const QByteArray& moniker) const
{
    for (const TSampleCreature& c : SampleCreatures())
        if (MonikerText(c.Entry.Moniker) == moniker)
            return c;
    throw std::runtime_error("no sample creature " + moniker.toStdString());
}

QString GuiTest::Text(int row, int column) const
{
    return viewer->EntryRecords->index(row, column).data().toString();
}

int GuiTest::Rows() const
{
    return viewer->EntryRecords->rowCount();
}

void GuiTest::FocusList()
{
    // Activation arrives through the event queue on every platform plugin.
    viewer->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return viewer->isActiveWindow(); }));
    viewer->Entries->clearFocus();
    viewer->Entries->setFocus(Qt::ActiveWindowFocusReason);
}

void GuiTest::Press(int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(viewer->Entries, static_cast<Qt::Key>(key), modifiers);
}

void GuiTest::AcceptEditOf(const QByteArray& moniker, const std::function<void()>& whileOpen)
{
    Select(RowOf(moniker));
    WhenModal([whileOpen](QWidget* dialog) {
        if (whileOpen)
            whileOpen();
        Child<QPushButton>(dialog, "Button3")->click();
    });
    viewer->EditEntries1Click();
}

namespace {

// Every file below a folder with its size, time and content.
QStringList Snapshot(const QString& root)
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

void GuiTest::ExpectNothingHappens(const std::function<void()>& command)
{
    const QStringList before = Snapshot(world.Prefix);
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
    EXPECT_EQ(Snapshot(world.Prefix), before);
}
