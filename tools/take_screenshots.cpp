// take-screenshots OUTDIR [PREFIX]: opens Lifeledger on a fresh sample
// installation (or on the Wine prefix given: the paths the pictures show are
// then that prefix's, not a temporary folder's),
// runs each command on a typical creature and saves a picture of every
// window and message it shows (the family tree, the find bar and the contact
// sheet too, and the installation chooser on the launchers found in $HOME)
// (screen grabs under a real display such as
// Xvfb, widget renderings elsewhere). For the README and for looking at the
// windows as a user would.
#include "browser/FamilyTreeWindow.h"
#include "browser/FindBar.h"
#include "browser/Startup.h"
#include "browser/Translations.h"
#include "browser/CreatureListModel.h"
#include "browser/CreatureListView.h"
#include "browser/HistoryController.h"
#include "browser/MainWindow.h"
#include "browser/StatisticsWindow.h"
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
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

QString outDir;

void save(QWidget* window, const QString& name)
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
void onModal(const QString& name, std::function<void(QWidget*)> finish)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, name, finish] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        QTimer::singleShot(400, [modal, name, finish] {
            save(modal, name);
            finish(modal);
        });
    });
    timer->start(20);
}

void select(MainWindow& viewer, const QByteArray& moniker)
{
    const CreatureListModel* model = viewer.controller()->model();
    for (int row = 0; row < model->count(); ++row)
        if (monikerText(model->readRecord(row).moniker) == moniker)
            viewer.creatureList()->selectRow(row);
}

void closeWindow(QWidget* w)
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
    setUpApplication(app);
    const Translations translations;  // in the user's language, as the program is
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: take-screenshots OUTDIR [PREFIX]\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    QTemporaryDir dir;
    SampleWorld world;
    world.prefix = argc == 3 ? QString::fromLocal8Bit(argv[2]) : writeSampleWorld(dir.path()).prefix;

    // The safety net's copies go with the sample, never into the user's store.
    std::unique_ptr<MainWindow> viewer = createWindows(
        {InstallationSource::fromPrefix(encodePath(world.prefix)), nullptr, QDir::homePath(), encodePath(dir.filePath("data"))});
    viewer->show();

    // The steps run one after another; each opens a window and is finished
    // by OnModal before the next begins.
    using Step = std::function<void()>;
    auto* steps = new std::vector<Step>;
    MainWindow* v = viewer.get();
    steps->push_back([v] {
        // As a user reading every column would: each widened to its texts.
        int width = 0;
        for (int c = 0; c < CreatureListModel::ColumnCount; ++c) {
            v->creatureList()->resizeColumnToContents(c);
            width += v->creatureList()->columnWidth(c);
        }
        const QRect screen = v->screen()->availableGeometry();
        v->resize(std::min(width + 40, screen.width() - 20), 520);
        v->move(screen.topLeft() + QPoint(10, 10));
    });
    steps->push_back([v] { save(v, QStringLiteral("main-window")); });
    steps->push_back([v] {
        select(*v, "TOVA");
        onModal(QStringLiteral("photo-album"), closeWindow);
        v->viewPhotoAlbum();
    });
    steps->push_back([v] {
        select(*v, "SKDR");
        onModal(QStringLiteral("edit-entry"), closeWindow);
        v->editCreature();
    });
    steps->push_back([v] {
        select(*v, "DAGP");
        onModal(QStringLiteral("delete-entry"), [](QWidget* w) {
            onModal(QStringLiteral("delete-confirmation"), closeWindow);  // answered No
            if (auto* execute = w->findChild<QPushButton*>(QStringLiteral("executeButton")))
                execute->click();
        });
        v->deleteCreature();
    });
    steps->push_back([v] {
        select(*v, "TOVA");
        v->showFamilyTree();
    });
    steps->push_back([] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<FamilyTreeWindow*>(w) && w->isVisible()) {
                save(w, QStringLiteral("family-tree"));
                w->close();
            }
    });
    steps->push_back([v] {
        v->find();
        auto* text = v->findChild<QLineEdit*>(QStringLiteral("findEdit"));
        text->setText(QStringLiteral("sorrel"));
    });
    steps->push_back([v] {
        save(v, QStringLiteral("find-bar"));
        v->findChild<FindBar*>()->closeBar();
    });
    steps->push_back([v] {
        select(*v, "TOVA");
        onModal(QStringLiteral("contact-sheet"), closeWindow);
        v->showContactSheet();
    });
    steps->push_back([v] { v->showStatistics(); });
    for (const auto& [tab, name] : {std::pair{1, "statistics-population"}, {2, "statistics-births"}, {3, "statistics-life-spans"},
                                    {6, "statistics-generations"}}) {
        steps->push_back([tab = tab, name = name] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* stats = qobject_cast<StatisticsWindow*>(w); stats && w->isVisible()) {
                    stats->findChild<QTabWidget*>(QStringLiteral("tabs"))->setCurrentIndex(tab);
                    QTimer::singleShot(300, [w, name] { save(w, QString::fromLatin1(name)); });
                }
        });
    }
    steps->push_back([] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<StatisticsWindow*>(w) && w->isVisible())
                w->close();
    });
    steps->push_back([v] {
        // A deletion, so that the safety net has something to show.
        select(*v, "DAGP");
        const int row = v->creatureList()->selectedRow();
        if (row >= 0)
            v->controller()->deleteFiles(row, true, true, true);
        onModal(QStringLiteral("restore-deleted"), closeWindow);
        v->restoreDeleted();
    });
    steps->push_back([v] {
        // The launchers' prefixes found in $HOME.
        onModal(QStringLiteral("installation-chooser"), closeWindow);
        v->openInstallation();
    });
    steps->push_back([v] {
        // The family book into OUTDIR/family-book, to be looked at in a browser.
        const QString book = outDir + QStringLiteral("/family-book");
        QDir().mkpath(book);
        onModal(QStringLiteral("export-family-book"), [book](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog) {
                closeWindow(w);
                return;
            }
            onModal(QStringLiteral("family-book-written"), closeWindow);
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(book);
            static_cast<QDialog*>(dialog)->accept();
        });
        v->exportFamilyBook();
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
