#include "browser/MainWindow.h"

#include "browser/CommandGuard.h"
#include "browser/ContactSheetDialog.h"
#include "browser/CreatureListView.h"
#include "browser/DeleteCreatureDialog.h"
#include "browser/EditCreatureDialog.h"
#include "browser/FamilyTreeWindow.h"
#include "browser/FindBar.h"
#include "browser/FindFilterModel.h"
#include "browser/HistoryController.h"
#include "browser/InstallationChooserDialog.h"
#include "browser/MenuDialogs.h"
#include "browser/PhotoAlbumDialog.h"
#include "browser/PlainText.h"
#include "browser/Settings.h"
#include "platform/TextCodec.h"
#include "ui_MainWindow.h"

#include "browser/RestoreDeletedDialog.h"
#include "browser/StatisticsWindow.h"

#include "platform/Launchers.h"

#include <QCloseEvent>
#include <QScreen>
#include <QDir>
#include <QLabel>
#include <QStatusBar>

MainWindow::MainWindow(StartContext context, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::MainWindow>()),
      context_(std::move(context))
{
    ui->setupUi(this);
    move(327, 159);
    controller_ = new HistoryController(
        context_.source, this,
        context_.dataHome.isEmpty() ? encodePath(UserFolders::fromEnvironment(context_.home.isEmpty() ? QDir::homePath() : context_.home).dataHome)
                                    : context_.dataHome);
    filter_ = new FindFilterModel(controller_->model(), this);
    ui->creatureList->setModels(controller_->model(), filter_);
    restoreColumnWidths(context_.settings, ui->creatureList->header());
    ui->creatureList->setContextActions({ui->deleteAction, ui->editAction, ui->viewPhotoAlbumAction, nullptr,
                                         ui->familyTreeAction, ui->contactSheetAction});
    findBar_ = new FindBar(this);
    findBar_->setFilter(filter_);
    // Escape in the bar: the list shows every row again, with the creature
    // still selected in sight, and has the keyboard.
    connect(findBar_, &FindBar::closed, this, [this] {
        ui->creatureList->scrollTo(ui->creatureList->currentIndex());
        ui->creatureList->setFocus();
    });
    ui->clientLayout->insertWidget(0, findBar_);
    connectActions();
    setUpStatusBar();
    restoreWindowPlace(context_.settings, this);
    // The design's place or the restored one, kept on the screen: a small
    // or scaled screen may not hold either.
    keepOnScreen_ = true;

    // A missing installation at start-up ends construction here: the
    // exception reaches main, which ends the program with exit code 1.
    runCommand(this, [this] { controller_->refill(); }, [](const NoInstallationError& missing) {
        showNoInstallation(nullptr, missing.searched());
        throw missing;
    });
    deleteDialog_ = new DeleteCreatureDialog(this);
    editDialog_ = new EditCreatureDialog(this);
    albumDialog_ = new PhotoAlbumDialog(this);
    updateActions();
}

MainWindow::~MainWindow() = default;

CreatureListView* MainWindow::creatureList() const
{
    return ui->creatureList;
}

void MainWindow::connectActions()
{
    const std::pair<QAction*, void (MainWindow::*)()> commands[] = {
        {ui->openInstallationAction, &MainWindow::openInstallation}, {ui->rereadAction, &MainWindow::reread},
        {ui->exportListAction, &MainWindow::exportList}, {ui->exportFamilyBookAction, &MainWindow::exportFamilyBook},
        {ui->findAction, &MainWindow::find}, {ui->familyTreeAction, &MainWindow::showFamilyTree},
        {ui->contactSheetAction, &MainWindow::showContactSheet}, {ui->deleteAction, &MainWindow::deleteCreature},
        {ui->editAction, &MainWindow::editCreature}, {ui->viewPhotoAlbumAction, &MainWindow::viewPhotoAlbum},
        {ui->statisticsAction, &MainWindow::showStatistics}, {ui->restoreDeletedAction, &MainWindow::restoreDeleted},
        {ui->undoAction, &MainWindow::undo}, {ui->redoAction, &MainWindow::redo}};
    for (const auto& [action, slot] : commands)
        connect(action, &QAction::triggered, this, slot);
    connect(ui->aboutAction, &QAction::triggered, this, [this] { showAboutBox(this, controller_); });
    connect(ui->exitAction, &QAction::triggered, this, [this] {
        close();
        QCoreApplication::exit(0);
    });
    // The find box lets the commands' keys through to them, but its own
    // undo and redo stay with the typing.
    QList<QKeySequence> commandKeys;
    for (QAction* action : findChildren<QAction*>())
        if (action != ui->undoAction && action != ui->redoAction)
            commandKeys += action->shortcuts();
    findBar_->letThrough(commandKeys);
    connect(ui->creatureList, &QAbstractItemView::doubleClicked, this, &MainWindow::editCreature);
    connect(ui->creatureList->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MainWindow::updateActions);
    connect(filter_, &QAbstractItemModel::modelReset, this, &MainWindow::updateActions);
    connect(filter_, &QAbstractItemModel::rowsRemoved, this, &MainWindow::updateActions);
    connect(controller_, &HistoryController::undoChanged, this, &MainWindow::updateUndoActions);
    updateUndoActions();
}

void MainWindow::setUpStatusBar()
{
    // The list is a snapshot; the user is told when the game has changed the
    // history since, and F5 rereads it.
    staleNotice_ = new QLabel(tr("The game changed the history since it was read: F5 rereads it"), this);
    staleNotice_->setObjectName(QStringLiteral("staleNotice"));
    // What the list cannot show or notice: one short line, never wider than
    // the window, the folders in its tooltip.
    problemNotice_ = new QLabel(this);
    problemNotice_->setObjectName(QStringLiteral("folderNotice"));
    problemNotice_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    for (QLabel* notice : {staleNotice_, problemNotice_}) {
        notice->setTextFormat(Qt::PlainText);
        notice->hide();
        statusBar()->addWidget(notice, 1);
    }
    connect(controller_, &HistoryController::historyChangedOnDisk, staleNotice_, &QWidget::show);
    connect(controller_, &HistoryController::historyChangedOnDisk, this, &MainWindow::showNotices);
    connect(controller_, &HistoryController::refilled, staleNotice_, &QWidget::hide);
    connect(controller_, &HistoryController::refilled, this, &MainWindow::showNotices);
    showNotices();
}

void MainWindow::showNotices()
{
    // What the list could not read may be there now: the news says it all.
    problemNotice_->setText(controller_->problems().join(QLatin1Char(' ')));
    const QString places = controller_->problemPlaces().join(QLatin1Char('\n'));
    problemNotice_->setToolTip(plainToolTip(places));
    problemNotice_->setAccessibleDescription(places);  // else a screen reader reads the tooltip's markup
    problemNotice_->setVisible(!controller_->problems().isEmpty() && staleNotice_->isHidden());
    statusBar()->setVisible(!staleNotice_->isHidden() || !problemNotice_->isHidden());
}

void MainWindow::updateActions()
{
    const bool selected = ui->creatureList->selectedRow() >= 0;
    for (QAction* action : {ui->deleteAction, ui->editAction, ui->viewPhotoAlbumAction, ui->familyTreeAction,
                            ui->contactSheetAction})
        action->setEnabled(selected);
}

void MainWindow::updateUndoActions()
{
    // A name's own "&" is no mnemonic.
    auto escaped = [](QString step) { return step.replace(QLatin1Char('&'), QStringLiteral("&&")); };
    const QString undo = controller_->undoText(), redo = controller_->redoText();
    ui->undoAction->setEnabled(controller_->canUndo());
    ui->undoAction->setText(undo.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(escaped(undo)));
    ui->redoAction->setEnabled(controller_->canRedo());
    ui->redoAction->setText(redo.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(escaped(redo)));
}

void MainWindow::undo()
{
    command([this] { controller_->undo(); });
}

void MainWindow::redo()
{
    command([this] { controller_->redo(); });
}

void MainWindow::showStatistics()
{
    command([this] {
        if (!statisticsWindow_) {
            statisticsWindow_ = new StatisticsWindow(controller_, filter_, this);
            // Over the list it counts, kept on the screen.
            const QRect screen = this->screen()->availableGeometry();
            QRect place(QPoint(), statisticsWindow_->size());
            place.moveCenter(frameGeometry().center());
            place.moveTopLeft(QPoint(std::clamp(place.left(), screen.left(), std::max(screen.left(), screen.right() - place.width())),
                                     std::clamp(place.top(), screen.top(), std::max(screen.top(), screen.bottom() - place.height()))));
            statisticsWindow_->move(place.topLeft());
        }
        statisticsWindow_->show();
        statisticsWindow_->raise();
        statisticsWindow_->activateWindow();
    });
}

void MainWindow::restoreDeleted()
{
    command([this] {
        RestoreDeletedDialog dialog(controller_, this);
        dialog.exec();
    });
}

void MainWindow::command(const std::function<void()>& body)
{
    runCommand(this, body, [this](const NoInstallationError& missing) {
        showNoInstallation(this, missing.searched());
        hide();
        emit installationLost();
    });
}

int MainWindow::selectedCreature(bool needsAlbum)
{
    const int row = ui->creatureList->selectedRow();
    if (row >= 0 && needsAlbum && !controller_->model()->badges(row).album) {
        showMessage(this, QMessageBox::Warning, PhotoAlbumDialog::tr(kNoAlbumCaption), PhotoAlbumDialog::tr(kNoAlbumText));
        return -1;
    }
    return row;
}

void MainWindow::selectCreature(int row)
{
    // A creature the find bar hides is shown by showing every row again.
    if (!ui->creatureList->selectRow(row)) {
        findBar_->closeBar();
        ui->creatureList->selectRow(row);
    }
}

void MainWindow::openInstallation()
{
    command([this] {
        const auto chosen = InstallationChooserDialog::chooseAnother(this, context_.home, controller_->source().prefix);
        if (!chosen)
            return;
        if (!controller_->switchTo(*chosen))
            return;
        context_.source = *chosen;
        rememberInstallation(context_.settings, *chosen);
    });
}

void MainWindow::reread()
{
    command([this] { controller_->refill(); });
}

void MainWindow::exportList()
{
    command([this] {
        // The rows as the list shows them (the find bar's filter included).
        std::vector<int> rows;
        for (int r = 0; r < filter_->rowCount(); ++r)
            rows.push_back(filter_->mapToSource(filter_->index(r, 0)).row());
        exportListInteractively(this, controller_, rows);
    });
}

void MainWindow::exportFamilyBook()
{
    command([this] { exportFamilyBookInteractively(this, controller_); });
}

void MainWindow::find()
{
    findBar_->openBar();
}

void MainWindow::showFamilyTree()
{
    command([this] {
        const int row = selectedCreature(false);
        if (row < 0)
            return;
        FamilyTreeWindow* window = FamilyTreeWindow::open(controller_, row, this);
        connect(window, &FamilyTreeWindow::creatureChosen, this, [this](const QByteArray& file) {
            selectCreature(controller_->model()->rowOfFile(file));
            activateWindow();
        });
    });
}

void MainWindow::showContactSheet()
{
    command([this] {
        const int row = selectedCreature(true);
        if (row < 0)
            return;
        const HistoryRecord& record = controller_->model()->record(row);
        ContactSheetDialog sheet(this);
        sheet.fill(decodeText(record.displayName), controller_->filesOf(row).album,
                   monikerFileText(record.moniker).value_or(QString()));
        sheet.exec();
    });
}

void MainWindow::deleteCreature()
{
    command([this] {
        const int row = selectedCreature(false);
        if (row < 0)
            return;
        const HistoryRecord& record = controller_->model()->record(row);
        const Badges badges = controller_->model()->badges(row);
        const CreatureFilePaths files = controller_->filesOf(row);
        DeleteChoice choice;
        choice.state = record.state;
        choice.historyPath = files.history;
        choice.albumPath = files.album;
        choice.geneticsPath = files.genetics;
        deleteDialog_->fill(monikerDisplayText(record.moniker), decodeText(record.displayName),
                            badges.album && !files.album.isEmpty(), badges.genetics && !files.genetics.isEmpty());
        deleteDialog_->exec();
        deleteDialog_->readChoice(choice);
        if (!choice.any()
            || showMessage(this, QMessageBox::Question, DeleteCreatureDialog::tr(kDeleteCaption), deleteConfirmationText(choice),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
                   != QMessageBox::Yes)
            return;
        QStringList failures;
        for (const FileDeletion& d : controller_->deleteFiles(row, choice.photo, choice.genetics, choice.history))
            if (d.result != DeleteResult::Deleted)
                failures << pathText(d.path) + QStringLiteral(": ")
                                + (d.result == DeleteResult::Changed ? tr("The game changed it after the list was read, so it "
                                                                          "is kept; the list now shows it as it is.")
                                                                     : d.reason);
        if (!failures.isEmpty())
            throw Exception(tr("These files could not be deleted:") + QStringLiteral("\n\n") + failures.join(QLatin1Char('\n')));
    });
}

void MainWindow::editCreature()
{
    command([this] {
        const int row = selectedCreature(false);
        if (row < 0)
            return;
        const bool albumFound = controller_->model()->badges(row).album;
        editDialog_->fill(controller_->model()->record(row), albumFound ? controller_->filesOf(row).album : QByteArray());
        if (editDialog_->exec() != QDialog::Accepted)
            return;
        // Named as the list read it: the new name was never saved.
        const HistoryRecord read = controller_->model()->readRecord(row);
        const QString name = decodeText(read.displayName), file = pathText(read.fileName);
        const bool saved = controller_->saveEdit(row, [this](HistoryRecord& record) { editDialog_->editResult().applyTo(record); });
        if (!saved)
            showMessage(this, QMessageBox::Warning, editDialog_->windowTitle(),
                        tr("The game changed the history record of %1 after the list was read:\n%2\n\n"
                           "Nothing has been saved. The list now shows the record as it is; edit it again to make your change.")
                            .arg(name, file));
    });
}

void MainWindow::viewPhotoAlbum()
{
    command([this] {
        const int row = selectedCreature(true);
        if (row < 0)
            return;
        albumDialog_->fill(controller_->filesOf(row).album);  // errors end the command: no dialog
        albumDialog_->exec();
        albumDialog_->clear();
    });
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Whether the first place is all on the screen is known once the frame
    // is, at the first show.
    if (keepOnScreen_) {
        keepOnScreen_ = false;
        keepOnScreen(this);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    saveColumnWidths(context_.settings, ui->creatureList->header());
    saveWindowPlace(context_.settings, this);
    QMainWindow::closeEvent(event);
}
