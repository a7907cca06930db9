// take-screenshots OUTDIR [PREFIX]: opens Lifeledger on a fresh sample
// installation (or on the Wine prefix given: the paths the pictures show are
// then that prefix's, not a temporary folder's),
// runs each command on a typical creature and saves a picture of every
// window and message it shows (the family tree, the find bar and the contact
// sheet too) (screen grabs under a real display such as
// Xvfb, widget renderings elsewhere). For the README and for looking at the
// windows as a user would.
#include "browser/FamilyTree.h"
#include "browser/FindBar.h"
#include "browser/Startup.h"
#include "browser/unitLifeledger.h"
#include "sampleworld/SampleWorld.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

QString outDir;

void Save(QWidget* window, const QString& name)
{
    QPixmap shot;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QRect frame = window->frameGeometry();
        shot = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    } else
        shot = window->grab();
    const QString path = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    shot.save(path);
    std::printf("%s\n", qPrintable(path));
}

// When the next modal window is up and painted: save it, then finish it.
void OnModal(const QString& name, std::function<void(QWidget*)> finish)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, name, finish] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        QTimer::singleShot(400, [modal, name, finish] {
            Save(modal, name);
            finish(modal);
        });
    });
    timer->start(20);
}

void Select(THistoryViewer& viewer, const QByteArray& moniker)
{
    for (int row = 0; row < viewer.EntryRecords->Count(); ++row)
        if (MonikerText(viewer.EntryRecords->Record(row).Moniker) == moniker) {
            viewer.SelectRow(row);
        }
}

void Close(QWidget* w)
{
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
        QAbstractButton* no = box->button(QMessageBox::No);
        (no ? no : box->buttons().value(0))->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
        dialog->done(QDialog::Rejected);
    } else {
        w->close();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: take-screenshots OUTDIR [PREFIX]\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    QTemporaryDir dir;
    TSampleWorld world;
    world.Prefix = argc == 3 ? QString::fromLocal8Bit(argv[2]) : WriteSampleWorld(dir.path()).Prefix;

    std::unique_ptr<THistoryViewer> viewer = CreateWindows({TInstallationSource::FromPrefix(EncodePath(world.Prefix)), nullptr, {}});
    viewer->show();

    // The steps run one after another; each opens a window and is finished
    // by OnModal before the next begins.
    using Step = std::function<void()>;
    auto* steps = new std::vector<Step>;
    THistoryViewer* v = viewer.get();
    steps->push_back([v] {
        // As a user reading every column would: each widened to its texts.
        int width = 0;
        for (int c = 0; c < v->EntryRecords->columnCount(); ++c) {
            v->Entries->resizeColumnToContents(c);
            width += v->Entries->columnWidth(c);
        }
        const QRect screen = v->screen()->availableGeometry();
        v->resize(std::min(width + 40, screen.width() - 20), 520);
        v->move(screen.topLeft() + QPoint(10, 10));
    });
    steps->push_back([v] { Save(v, QStringLiteral("main-window")); });
    steps->push_back([v] {
        Select(*v, "TOVA");
        OnModal(QStringLiteral("photo-album"), Close);
        v->ViewPhotoAlbum1Click();
    });
    steps->push_back([v] {
        Select(*v, "SKDR");
        OnModal(QStringLiteral("edit-entry"), Close);
        v->EditEntries1Click();
    });
    steps->push_back([v] {
        Select(*v, "DAGP");
        OnModal(QStringLiteral("delete-entry"), [](QWidget* w) {
            OnModal(QStringLiteral("delete-confirmation"), Close);  // answered No
            if (auto* execute = w->findChild<QPushButton*>(QStringLiteral("Button1")))
                execute->click();
        });
        v->DeleteEntry1Click();
    });
    steps->push_back([v] {
        Select(*v, "TOVA");
        v->FamilyTree1Click();
    });
    steps->push_back([] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFamilyTree*>(w) && w->isVisible()) {
                Save(w, QStringLiteral("family-tree"));
                w->close();
            }
    });
    steps->push_back([v] {
        v->Find1Click();
        auto* text = v->findChild<QLineEdit*>(QStringLiteral("FindText"));
        text->setText(QStringLiteral("sorrel"));
    });
    steps->push_back([v] {
        Save(v, QStringLiteral("find-bar"));
        v->findChild<TFindBar*>()->Close();
    });
    steps->push_back([v] {
        Select(*v, "TOVA");
        OnModal(QStringLiteral("contact-sheet"), Close);
        v->ContactSheet1Click();
    });
    steps->push_back([v] {
        // The family book into OUTDIR/family-book, to be looked at in a browser.
        const QString book = outDir + QStringLiteral("/family-book");
        QDir().mkpath(book);
        OnModal(QStringLiteral("export-family-book"), [book](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog) {
                Close(w);
                return;
            }
            OnModal(QStringLiteral("family-book-written"), Close);
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(book);
            static_cast<QDialog*>(dialog)->accept();
        });
        v->ExportFamilyBook1Click();
    });
    auto* index = new size_t(0);
    auto* driver = new QTimer(&app);
    QObject::connect(driver, &QTimer::timeout, [steps, index, driver] {
        if (QApplication::activeModalWidget())
            return;
        if (*index == steps->size()) {
            driver->stop();
            QApplication::quit();
            return;
        }
        (*steps)[(*index)++]();
    });
    driver->start(800);
    return app.exec();
}
