#include "browser/MainWindow.h"
#include "browser/PlainText.h"

#include "browser/CommandGuard.h"
#include "browser/CutTextTipDelegate.h"
#include "browser/ContactSheetDialog.h"
#include "browser/EntryIcons.h"
#include "browser/Exports.h"
#include "browser/FamilyTreeWindow.h"
#include "browser/SaveFileDialog.h"
#include "browser/FindBar.h"
#include "browser/FindFilterModel.h"
#include "browser/DeleteCreatureDialog.h"
#include "browser/EditCreatureDialog.h"
#include "browser/PhotoAlbumDialog.h"
#include "browser/InstallationChooserDialog.h"
#include "browser/Startup.h"
#include "history/CreatureFiles.h"
#include "history/Lineage.h"
#include "sprites/SpriteImage.h"
#include "platform/DirectoryWatch.h"
#include "platform/Launchers.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTreeView>
#include <algorithm>

DateTimeNames localeDateTimeNames()
{
    DateTimeNames names = DateTimeNames::english();
    const QLocale locale;
    // English months are shown with three letters, Jan to Dec, whatever the
    // English locale's own abbreviations ("Sept", "June" and so on).
    for (int m = 1; m <= 12 && locale.language() != QLocale::English; ++m) {
        const QString name = locale.monthName(m, QLocale::ShortFormat);
        if (!name.isEmpty())
            names.shortMonthNames[m - 1] = name;
    }
    // Qt has no time separator of its own; take the character that follows
    // the hours in the locale's short time format ("HH:mm", "H.mm", ...).
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    qsizetype i = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    if (i >= 0) {
        while (i < format.size() && (format[i] == QLatin1Char('h') || format[i] == QLatin1Char('H')))
            ++i;
        if (i < format.size() && !format[i].isLetterOrNumber() && !format[i].isSpace() && format[i] != QLatin1Char('\''))
            names.timeSeparator = format[i];
    }
    return names;
}

void showNoInstallation(QWidget* parent, const QStringList& searched)
{
    showMessage(parent, QMessageBox::Critical, MainWindow::tr(kNoInstallationCaption), MainWindow::tr(kNoInstallationText),
                QMessageBox::Ok, QMessageBox::NoButton,
                searched.isEmpty() ? QString()
                                   : MainWindow::tr("Places searched:") + QLatin1Char('\n') + searched.join(QLatin1Char('\n')));
}

MainWindow::MainWindow(StartContext context, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::MainWindow>()),
      context_(std::move(context))
{
    ui->setupUi(this);
    move(327, 159);

    entries = ui->creatureList;
    entriesImages = makeEntriesImages();
    entryRecords = new CreatureListModel(entriesImages, localeDateTimeNames(), this);
    filter_ = new FindFilterModel(entryRecords, this);
    entries->setModel(filter_);
    findBar_ = new FindBar(this);
    ui->clientLayout->insertWidget(0, findBar_);
    connect(findBar_, &FindBar::textChanged, this, [this](const QString& text) {
        filter_->setText(text);
        findBar_->setCount(filter_->rowCount(), entryRecords->count());
    });
    entries->header()->setSectionsClickable(false);
    entries->header()->setSectionsMovable(false);
    entries->header()->setStretchLastSection(true);
    entries->setItemDelegate(new CutTextTipDelegate(entries));
    entries->installEventFilter(this);
    fitColumns();

    entriesMenu = new QMenu(this);
    entriesMenu->setObjectName(QStringLiteral("creatureListMenu"));
    entriesMenu->addAction(ui->popupDeleteAction);
    entriesMenu->addAction(ui->popupEditAction);
    entriesMenu->addAction(ui->popupViewPhotoAlbumAction);
    entriesMenu->addSeparator();
    entriesMenu->addAction(ui->familyTreeAction);
    entriesMenu->addAction(ui->contactSheetAction);
    connect(entries, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { entriesMenu->popup(entries->viewport()->mapToGlobal(pos)); });
    connect(entries, &QAbstractItemView::doubleClicked, this, &MainWindow::editEntries1Click);

    connect(ui->exitAction, &QAction::triggered, this, &MainWindow::exit1Click);
    connect(ui->openInstallationAction, &QAction::triggered, this, &MainWindow::openInstallation1Click);
    connect(ui->rereadAction, &QAction::triggered, this, &MainWindow::reread1Click);
    connect(ui->aboutAction, &QAction::triggered, this, &MainWindow::about1Click);
    connect(ui->findAction, &QAction::triggered, this, &MainWindow::find1Click);
    connect(ui->familyTreeAction, &QAction::triggered, this, &MainWindow::familyTree1Click);
    connect(ui->contactSheetAction, &QAction::triggered, this, &MainWindow::contactSheet1Click);
    connect(ui->exportListAction, &QAction::triggered, this, &MainWindow::exportList1Click);
    connect(ui->exportFamilyBookAction, &QAction::triggered, this, &MainWindow::exportFamilyBook1Click);
    // Ctrl+Q quits like "E&xit" (which shows no shortcut of its own).
    auto* quit = new QAction(this);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    addAction(quit);
    connect(quit, &QAction::triggered, this, &MainWindow::exit1Click);

    // The list is a snapshot; the user is told when the game has changed the
    // history since, and F5 rereads it.
    watch_ = new DirectoryWatch(this);
    connect(watch_, &DirectoryWatch::changed, this, &MainWindow::showStaleNotice);
    staleNotice_ = new QLabel(tr(kStaleNotice), this);
    staleNotice_->setObjectName(QStringLiteral("staleNotice"));
    staleNotice_->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(staleNotice_, 1);
    // What the list cannot show or notice: a history folder that cannot be
    // read, changes that cannot be watched.
    folderNotice_ = new QLabel(this);
    folderNotice_->setObjectName(QStringLiteral("folderNotice"));
    folderNotice_->setTextFormat(Qt::PlainText);
    // Never wider than the window: the whole of it is in its tooltip.
    folderNotice_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(folderNotice_, 1);
    staleNotice_->hide();
    folderNotice_->hide();
    statusBar()->hide();
    for (QAction* a : {ui->deleteAction, ui->popupDeleteAction})
        connect(a, &QAction::triggered, this, &MainWindow::deleteEntry1Click);
    for (QAction* a : {ui->editAction, ui->popupEditAction})
        connect(a, &QAction::triggered, this, &MainWindow::editEntries1Click);
    for (QAction* a : {ui->viewPhotoAlbumAction, ui->popupViewPhotoAlbumAction})
        connect(a, &QAction::triggered, this, &MainWindow::viewPhotoAlbum1Click);

    restorePlace();

    // A missing installation at start-up ends construction here: the
    // exception reaches main, which ends the program with exit code 1.
    runCommand(this, [this] { formCreate(); }, [] { throw NoInstallationError(); });
}

MainWindow::~MainWindow() = default;

void MainWindow::setDialogs(DeleteCreatureDialog* deleteDialog, EditCreatureDialog* editDialog, PhotoAlbumDialog* albumDialog)
{
    deleteEntry = deleteDialog;
    editEntry = editDialog;
    photoAlbum = albumDialog;
}

void MainWindow::fitColumns()
{
    // Each column as wide as its caption, the last taking the rest: all
    // seven stay in view at the window's design size, however long a
    // creature's texts are (a cut text shows whole as the cell's tooltip).
    QHeaderView* header = entries->header();
    for (int c = 0; c < kEntryColumns - 1; ++c)
        header->resizeSection(c, header->sectionSizeHint(c));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Qt makes the first row current, but not selected, when the list gets
    // the focus; Down would then select the second row and Home nothing. The
    // first step into a list without a selection selects the first row.
    if (watched == entries && event->type() == QEvent::KeyPress && entryRecords->count() > 0
        && filter_->rowCount() > 0 && !entries->selectionModel()->hasSelection()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_Home || key == Qt::Key_PageUp) {
            entries->selectionModel()->setCurrentIndex(filter_->index(0, 0), QItemSelectionModel::ClearAndSelect
                                                                                 | QItemSelectionModel::Rows);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::command(const std::function<void()>& body)
{
    runCommand(this, body, [this] {
        hide();
        emit installationLost();
    });
}

void MainWindow::lookupInstallation()
{
    const std::optional<Installation> found = resolveInstallation(context_.source);
    if (!found) {
        showNoInstallation(isVisible() ? this : nullptr, {pathText(context_.source.prefix + "/system.reg")});
        throw NoInstallationError();
    }
    historyDirectory = found->historyDirectory;
    geneticsDirectory = found->geneticsDirectory;
}

QByteArray MainWindow::albumPath(const HistoryRecord& entry) const
{
    return ::albumPath(historyDirectory, entry.moniker);
}

QByteArray MainWindow::geneticsPath(const HistoryRecord& entry) const
{
    return ::geneticsPath(geneticsDirectory, entry.moniker);
}

namespace {

// The folder a directory value's files are in: the value itself when it
// ends in a separator, else its parent (the value is a plain prefix).
QByteArray folderOf(const QByteArray& directoryValue)
{
    return directoryValue.left(directoryValue.lastIndexOf('/') + 1);
}

// A message that lists many items names the first few and counts the rest;
// the whole list goes into the details, where it can be scrolled.
Exception listedError(const QString& lead, const QStringList& items)
{
    constexpr qsizetype shown = 10;
    QString text = lead + QStringLiteral("\n\n") + items.mid(0, shown).join(QLatin1Char('\n'));
    if (items.size() > shown)
        text += QLatin1Char('\n') + MainWindow::tr("and %1 more.").arg(items.size() - shown);
    return Exception(text, items.size() > shown ? items.join(QLatin1Char('\n')) : QString());
}

}  // namespace

void MainWindow::formCreate()
{
    lookupInstallation();
    // What happens from now on is news; the fill clears the notice.
    watch_->watch({folderOf(historyDirectory), folderOf(geneticsDirectory)});
    staleNotice_->hide();
    lineage_.reset();
    HistoryScan scan = scanHistory(historyDirectory, geneticsDirectory);
    const QStringList failures = std::move(scan.failures);
    // One short line; the folders, whose paths can be long, in its tooltip.
    QStringList notes, where;
    if (!scan.folderProblem.isEmpty()) {
        notes << tr("The history folder cannot be read, so the list is empty: %1").arg(scan.folderProblem);
        where << pathText(scan.directory);
    }
    if (!watch_->unwatched().isEmpty()) {
        notes << tr("Changes by the game cannot be watched: F5 rereads the list.");
        where << watch_->unwatched();
    }
    folderNotice_->setText(notes.join(QLatin1Char(' ')));
    folderNotice_->setToolTip(plainToolTip(where.join(QLatin1Char('\n'))));
    folderNotice_->setVisible(!notes.isEmpty());
    showNotices();
    entryRecords->append(std::move(scan));
    if (!failures.isEmpty())
        throw listedError(tr("These history files could not be read, so their creatures are not listed:"),
                          failures);
}

void MainWindow::rebuild()
{
    entryRecords->clear();
    formCreate();
}

int MainWindow::selectedRow() const
{
    const QModelIndexList selected = entries->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : filter_->mapToSource(selected.first()).row();
}

QModelIndex MainWindow::viewIndex(int row, int column) const
{
    return filter_->mapFromSource(entryRecords->index(row, column));
}

void MainWindow::selectRow(int row)
{
    if (row < 0 || row >= entryRecords->count())
        return;
    if (!viewIndex(row).isValid())
        findBar_->closeBar();
    const QModelIndex index = viewIndex(row);
    entries->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    entries->scrollTo(index);
}

void MainWindow::find1Click()
{
    findBar_->openBar();
}

const LineageIndex& MainWindow::lineage()
{
    if (!lineage_)
        lineage_ = std::make_unique<LineageIndex>(entryRecords->keys());
    return *lineage_;
}

void MainWindow::familyTree1Click()
{
    command([this] {
        const int row = selectedRow();
        if (row < 0)
            return;
        auto tree = std::make_shared<const LineageTree>(buildLineageTree(lineage(), row, [this](int r, int which) {
            const HistoryRecord record = entryRecords->readRecord(r);
            return decodeText(which == 1 ? record.parent1Name : record.parent2Name);
        }));
        // A card's texts and photo are made when the card is first drawn or
        // spoken: a tree of the whole history opens at once. The window
        // closes with the list's rows, so they stay valid while it is open.
        auto faceOf = [this, tree](int card) {
            const LineagePerson& person = tree->people[size_t(card)];
            CardFace face;
            face.moniker = monikerDisplayText(person.moniker);
            face.sharedMoniker = person.sharedMoniker;
            if (person.row < 0 || person.row >= entryRecords->count()) {
                face.name = person.name;
                face.outside = true;
                return face;
            }
            const int image = entryRecords->imageIndex(person.row);
            face.icon = entryRecords->image(image);
            face.iconDescription = imageDescription(image);
            face.fileName = entryRecords->fileNameOf(person.row);
            try {
                const CreatureRow texts = entryRecords->rowTexts(person.row);
                face.name = texts.texts[0];
                face.life = texts.texts[5];
            } catch (const std::exception&) {
                face.name = face.moniker;  // a card is never left without a name
            }
            return face;
        };
        auto photo = [this, tree](int card) -> QImage {
            const int r = tree->people[size_t(card)].row;
            if (r < 0 || r >= entryRecords->count() || !hasAlbum(entryRecords->imageIndex(r)))
                return {};
            try {
                const HistoryRecord record = entryRecords->readRecord(r);
                if (record.gravestoneIndex < 0)
                    return {};
                S16File album;
                album.loadFromFile(albumPath(record));
                return spriteToImage(album.getSprite(record.gravestoneIndex));
            } catch (const std::exception&) {
                return {};  // a card is drawn without the photo it cannot show
            }
        };
        auto* window = new FamilyTreeWindow(this);
        window->showTree(faceOf(0).name, *tree, faceOf, photo);
        connect(window, &FamilyTreeWindow::creatureChosen, this, [this](const QByteArray& file) {
            selectRow(entryRecords->rowOfFile(file));
            activateWindow();
        });
        // The tree is of this list: a new fill, or a creature deleted, closes it.
        connect(entryRecords, &QAbstractItemModel::modelReset, window, &QWidget::close);
        connect(entryRecords, &QAbstractItemModel::rowsRemoved, window, &QWidget::close);
        window->show();
    });
}

void MainWindow::contactSheet1Click()
{
    command([this] {
        const int row = selectedRow();
        if (row < 0)
            return;
        if (!hasAlbum(entryRecords->imageIndex(row))) {
            showMessage(this, QMessageBox::Warning, PhotoAlbumDialog::tr(kNoAlbumCaption), PhotoAlbumDialog::tr(kNoAlbumText));
            return;
        }
        const HistoryRecord& record = entryRecords->record(row);
        ContactSheetDialog sheet(this);
        sheet.fill(decodeText(record.displayName), albumPath(record), monikerFileText(record.moniker).value_or(QString()));
        sheet.exec();
    });
}

void MainWindow::exportList1Click()
{
    command([this] {
        SaveFileDialog dialog(this, tr("CSV Files (*.csv)"), QStringLiteral("csv"));
        dialog.setWindowTitle(tr("Export List"));
        dialog.selectFile(QStringLiteral("creatures.csv"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        // The rows as the list shows them (the find bar's filter included).
        std::vector<int> rows;
        for (int r = 0; r < filter_->rowCount(); ++r)
            rows.push_back(filter_->mapToSource(filter_->index(r, 0)).row());
        const QString path = dialog.selectedFiles().first();
        replaceFile(encodePath(path), listAsCsv(*entryRecords, rows, historyDirectory, geneticsDirectory));
    });
}

void MainWindow::exportFamilyBook1Click()
{
    command([this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Export Family Book"));
        if (folder.isEmpty())
            return;
        // A link there, even one leading nowhere, is asked about too (and then refused).
        if (entryExists(encodePath(folder + QStringLiteral("/index.html")))
            && showMessage(this, QMessageBox::Question, tr("Export Family Book"),
                                     tr("%1 already holds an index.html. Replace it?").arg(folder), QMessageBox::Yes | QMessageBox::No)
                   != QMessageBox::Yes)
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        FamilyBook book;
        try {
            book = writeFamilyBook(folder, *entryRecords, lineage(), historyDirectory);
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        showMessage(this, QMessageBox::Information, tr("Export Family Book"),
                    tr("The family book of %n creatures is in %1 (open index.html in any browser).", nullptr, book.creatures)
                        .arg(folder),
                    QMessageBox::Ok, QMessageBox::NoButton,
                    book.problems.isEmpty() ? QString()
                                            : tr("Albums left out:") + QLatin1Char('\n') + book.problems.join(QLatin1Char('\n')));
    });
}

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");

// Moves (and if need be shrinks) a window so that all of it is on the screen
// it is mostly on, or on the primary screen when it is on none (a monitor
// gone, a smaller screen than before).
void keepOnScreen(QWidget* window)
{
    const QRect frame = window->frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    if (available.contains(frame))
        return;
    const QSize margins = frame.size() - window->size();
    const QSize size = window->size().boundedTo(available.size() - margins);
    window->resize(size);
    const QRect fitted(frame.topLeft(), size + margins);
    QPoint at = fitted.topLeft();
    at.setX(std::clamp(at.x(), available.left(), available.right() + 1 - fitted.width()));
    at.setY(std::clamp(at.y(), available.top(), available.bottom() + 1 - fitted.height()));
    window->move(at);
}

}  // namespace

void MainWindow::restorePlace()
{
    // The first time the window stands at its design place and size.
    if (!context_.settings)
        return;
    const QByteArray saved = context_.settings->value(kGeometryKey).toByteArray();
    // Whether it is all on the screen is known once the frame is (at the
    // first show).
    keepOnScreen_ = !saved.isEmpty() && restoreGeometry(saved);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (keepOnScreen_) {
        keepOnScreen_ = false;
        keepOnScreen(this);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (context_.settings) {
        context_.settings->setValue(kGeometryKey, saveGeometry());
        context_.settings->sync();
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::about1Click()
{
    const InstallationSource& source = context_.source;
    QString where = QStringLiteral("<table>");
    auto row = [&where](const QString& what, const QString& value) {
        where += QStringLiteral("<tr><td>%1&nbsp;</td><td>%2</td></tr>").arg(what, value.toHtmlEscaped());
    };
    row(tr("Found by:"), source.launcher);
    if (!source.prefix.isEmpty())
        row(tr("Wine prefix:"), pathText(source.prefix));
    row(tr("History folder:"), pathText(historyDirectory));
    row(tr("Genetics folder:"), pathText(geneticsDirectory));
    where += QStringLiteral("</table>");
    QMessageBox::about(this, tr("About Lifeledger"),
                       QStringLiteral("<h3>Lifeledger %1</h3><p>%2</p><p>%3</p>%4")
                           .arg(QStringLiteral(LIFELEDGER_VERSION),
                                tr("A companion for the creature-raising game Vivarion 2: every creature that ever "
                                   "lived in your world, its record, its photos and its files."),
                                tr("Reading now:"), where));
}

void MainWindow::showStaleNotice()
{
    // What the list could not read may be there now: the news says it all.
    folderNotice_->hide();
    staleNotice_->show();
    showNotices();
}

void MainWindow::showNotices()
{
    statusBar()->setVisible(!staleNotice_->isHidden() || !folderNotice_->isHidden());
}

void MainWindow::reread1Click()
{
    command([this] { rebuild(); });
}

void MainWindow::openInstallation1Click()
{
    command([this] {
        QStringList searched;
        const std::vector<FoundInstallation> found = findInstallations(context_.home, &searched);
        if (found.empty()) {
            showMessage(this, QMessageBox::Information, tr("Open Installation"), tr("No other installation of Vivarion 2 was found."),
                        QMessageBox::Ok, QMessageBox::NoButton,
                        tr("Places searched:") + QLatin1Char('\n') + searched.join(QLatin1Char('\n')));
            return;
        }
        InstallationChooserDialog chooser(this);
        chooser.fill(found, context_.source.prefix);
        if (chooser.exec() != QDialog::Accepted || chooser.choice() < 0)
            return;
        const FoundInstallation& chosen = found[size_t(chooser.choice())];
        // Gone while the user chose: the list goes on showing what it shows.
        if (!readInstallation(chosen.prefix)) {
            showMessage(this, QMessageBox::Warning, tr("Open Installation"),
                        tr("The installation in %1 no longer holds Vivarion 2. Lifeledger goes on showing the one it "
                           "showed.")
                            .arg(pathText(chosen.prefix)));
            return;
        }
        context_.source = InstallationSource::fromPrefix(chosen.prefix, chosen.launcher);
        rememberInstallation(context_.settings, context_.source);
        rebuild();
    });
}

void MainWindow::exit1Click()
{
    close();
    QCoreApplication::exit(0);
}

void MainWindow::deleteEntry1Click()
{
    command([this] {
        const int row = selectedRow();
        if (row < 0 || !deleteEntry)
            return;
        const HistoryRecord& record = entryRecords->record(row);
        const int image = entryRecords->imageIndex(row);

        // The history file is the one the record came from, whatever its name
        // and whatever moniker it holds; the other two are named by the
        // moniker and are never offered when it cannot safely name a file.
        DeleteChoice choice;
        choice.state = record.state;
        choice.historyPath = record.fileName;
        choice.albumPath = albumPath(record);
        choice.geneticsPath = geneticsPath(record);
        deleteEntry->fill(monikerDisplayText(record.moniker), decodeText(record.displayName),
                          hasAlbum(image) && !choice.albumPath.isEmpty(),
                          hasGenetics(image) && !choice.geneticsPath.isEmpty());
        deleteEntry->exec();
        deleteEntry->readChoice(choice);
        if (!choice.any())
            return;

        if (showMessage(this, QMessageBox::Question, DeleteCreatureDialog::tr(kDeleteCaption), deleteConfirmationText(choice),
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            != QMessageBox::Yes)
            return;

        // Each deletion is checked: the list must show what is really on disk.
        QStringList failures;
        bool changed = false;
        auto remove = [&](bool wanted, const QByteArray& path, const FileIdentity* expected = nullptr) {
            if (!wanted)
                return false;
            QString reason;
            const DeleteResult result = deleteFile(path, &reason, expected);
            if (result == DeleteResult::Deleted)
                return true;
            if (result == DeleteResult::Changed) {
                changed = true;
                reason = tr("The game changed it after the list was read, so it is kept; the list now shows it as it is.");
            }
            failures << pathText(path) + QStringLiteral(": ") + reason;
            return false;
        };
        const bool photoGone = remove(choice.photo, choice.albumPath);
        const bool geneticsGone = remove(choice.genetics, choice.geneticsPath);
        // The history file under the very name it was listed by, and only the
        // very file read: were it rewritten by the game since (a death, say),
        // the confirmation spoke of another creature than the one on disk.
        const bool historyGone = remove(choice.history, record.fileName, &entryRecords->loaded(row));
        watch_->discard();  // these changes are the list's own

        if (changed) {
            rebuild();  // the list shows the record as the game left it
        } else if (historyGone) {
            entryRecords->remove(row);
            lineage_.reset();
        } else {
            int updated = image;
            if (geneticsGone)
                updated ^= ifGenetics;
            if (photoGone)
                updated ^= ifAlbum;
            entryRecords->setImageIndex(row, updated);
        }
        if (!failures.isEmpty())
            throw Exception(tr("These files could not be deleted:") + QStringLiteral("\n\n") + failures.join(QLatin1Char('\n')));
    });
}

void MainWindow::editEntries1Click()
{
    command([this] {
        const int row = selectedRow();
        if (row < 0 || !editEntry)
            return;
        HistoryRecord& record = entryRecords->record(row);
        const bool albumFound = hasAlbum(entryRecords->imageIndex(row));
        editEntry->fill(record, albumFound ? albumPath(record) : QByteArray());
        if (editEntry->exec() != QDialog::Accepted)
            return;

        editEntry->editResult().applyTo(record);
        try {
            // Only over the very file that was read: the game may have
            // written the record since (a death, say), and its change must
            // not be lost.
            record.saveToFile(&entryRecords->loaded(row));
        } catch (const FileChangedError&) {
            showMessage(this, QMessageBox::Warning, editEntry->windowTitle(),
                                 tr("The game changed the history record of %1 after the list was read:\n%2\n\n"
                                    "Nothing has been saved. The list now shows the record as it is; "
                                    "edit it again to make your change.")
                                     .arg(decodeText(record.displayName), pathText(record.fileName)));
        }
        // Any other failure of the save ends the command above: no rebuild,
        // and the record keeps the edit for another try.
        rebuild();
    });
}

void MainWindow::viewPhotoAlbum1Click()
{
    command([this] {
        const int row = selectedRow();
        if (row < 0 || !photoAlbum)
            return;
        if (!hasAlbum(entryRecords->imageIndex(row))) {
            showMessage(this, QMessageBox::Warning, PhotoAlbumDialog::tr(kNoAlbumCaption), PhotoAlbumDialog::tr(kNoAlbumText));
            return;
        }
        photoAlbum->fill(albumPath(entryRecords->record(row)));  // errors end the command: no dialog
        photoAlbum->exec();
        photoAlbum->clear();
    });
}
