#include "browser/unitLifeledger.h"
#include "browser/PlainText.h"

#include "browser/CommandGuard.h"
#include "browser/CutTextTipDelegate.h"
#include "browser/ContactSheet.h"
#include "browser/EntryIcons.h"
#include "browser/Exports.h"
#include "browser/FamilyTree.h"
#include "browser/SaveFileDialog.h"
#include "browser/FindBar.h"
#include "browser/FindFilter.h"
#include "browser/unitDeleteEntry.h"
#include "browser/unitEditEntry.h"
#include "browser/unitPhotoAlbum.h"
#include "browser/InstallationChooser.h"
#include "browser/Startup.h"
#include "history/CreatureFiles.h"
#include "history/Lineage.h"
#include "sprites/SpriteImage.h"
#include "platform/DirectoryWatch.h"
#include "platform/Launchers.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "ui_unitLifeledger.h"

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

TDateTimeNames LocaleDateTimeNames()
{
    TDateTimeNames names = TDateTimeNames::English();
    const QLocale locale;
    // English months are shown with three letters, Jan to Dec, whatever the
    // English locale's own abbreviations ("Sept", "June" and so on).
    for (int m = 1; m <= 12 && locale.language() != QLocale::English; ++m) {
        const QString name = locale.monthName(m, QLocale::ShortFormat);
        if (!name.isEmpty())
            names.ShortMonthNames[m - 1] = name;
    }
    // Qt has no time separator of its own; take the character that follows
    // the hours in the locale's short time format ("HH:mm", "H.mm", ...).
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    qsizetype i = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    if (i >= 0) {
        while (i < format.size() && (format[i] == QLatin1Char('h') || format[i] == QLatin1Char('H')))
            ++i;
        if (i < format.size() && !format[i].isLetterOrNumber() && !format[i].isSpace() && format[i] != QLatin1Char('\''))
            names.TimeSeparator = format[i];
    }
    return names;
}

void ShowNoInstallation(QWidget* parent, const QStringList& searched)
{
    ShowMessage(parent, QMessageBox::Critical, THistoryViewer::tr(kNoInstallationCaption), THistoryViewer::tr(kNoInstallationText),
                QMessageBox::Ok, QMessageBox::NoButton,
                searched.isEmpty() ? QString()
                                   : THistoryViewer::tr("Places searched:") + QLatin1Char('\n') + searched.join(QLatin1Char('\n')));
}

THistoryViewer::THistoryViewer(TStartContext context, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::THistoryViewer>()),
      context_(std::move(context))
{
    ui->setupUi(this);
    move(327, 159);

    Entries = ui->Entries;
    EntriesImages = MakeEntriesImages();
    EntryRecords = new TEntryRecords(EntriesImages, LocaleDateTimeNames(), this);
    filter_ = new TFindFilter(EntryRecords, this);
    Entries->setModel(filter_);
    findBar_ = new TFindBar(this);
    ui->clientLayout->insertWidget(0, findBar_);
    connect(findBar_, &TFindBar::TextChanged, this, [this](const QString& text) {
        filter_->SetText(text);
        findBar_->SetCount(filter_->rowCount(), EntryRecords->Count());
    });
    Entries->header()->setSectionsClickable(false);
    Entries->header()->setSectionsMovable(false);
    Entries->header()->setStretchLastSection(true);
    Entries->setItemDelegate(new TCutTextTipDelegate(Entries));
    Entries->installEventFilter(this);
    FitColumns();

    EntriesMenu = new QMenu(this);
    EntriesMenu->setObjectName(QStringLiteral("EntriesMenu"));
    EntriesMenu->addAction(ui->DeleteEntry1);
    EntriesMenu->addAction(ui->EditEntries1);
    EntriesMenu->addAction(ui->ViewPhotoAlbum1);
    EntriesMenu->addSeparator();
    EntriesMenu->addAction(ui->FamilyTree1);
    EntriesMenu->addAction(ui->ContactSheet1);
    connect(Entries, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { EntriesMenu->popup(Entries->viewport()->mapToGlobal(pos)); });
    connect(Entries, &QAbstractItemView::doubleClicked, this, &THistoryViewer::EditEntries1Click);

    connect(ui->Exit1, &QAction::triggered, this, &THistoryViewer::Exit1Click);
    connect(ui->OpenInstallation1, &QAction::triggered, this, &THistoryViewer::OpenInstallation1Click);
    connect(ui->Reread1, &QAction::triggered, this, &THistoryViewer::Reread1Click);
    connect(ui->About1, &QAction::triggered, this, &THistoryViewer::About1Click);
    connect(ui->Find1, &QAction::triggered, this, &THistoryViewer::Find1Click);
    connect(ui->FamilyTree1, &QAction::triggered, this, &THistoryViewer::FamilyTree1Click);
    connect(ui->ContactSheet1, &QAction::triggered, this, &THistoryViewer::ContactSheet1Click);
    connect(ui->ExportList1, &QAction::triggered, this, &THistoryViewer::ExportList1Click);
    connect(ui->ExportFamilyBook1, &QAction::triggered, this, &THistoryViewer::ExportFamilyBook1Click);
    // Ctrl+Q quits like "E&xit" (which shows no shortcut of its own).
    auto* quit = new QAction(this);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    addAction(quit);
    connect(quit, &QAction::triggered, this, &THistoryViewer::Exit1Click);

    // The list is a snapshot; the user is told when the game has changed the
    // history since, and F5 rereads it.
    watch_ = new TDirectoryWatch(this);
    connect(watch_, &TDirectoryWatch::Changed, this, &THistoryViewer::ShowStaleNotice);
    staleNotice_ = new QLabel(tr(kStaleNotice), this);
    staleNotice_->setObjectName(QStringLiteral("StaleNotice"));
    staleNotice_->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(staleNotice_, 1);
    // What the list cannot show or notice: a history folder that cannot be
    // read, changes that cannot be watched.
    folderNotice_ = new QLabel(this);
    folderNotice_->setObjectName(QStringLiteral("FolderNotice"));
    folderNotice_->setTextFormat(Qt::PlainText);
    // Never wider than the window: the whole of it is in its tooltip.
    folderNotice_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(folderNotice_, 1);
    staleNotice_->hide();
    folderNotice_->hide();
    statusBar()->hide();
    for (QAction* a : {ui->Delete1, ui->DeleteEntry1})
        connect(a, &QAction::triggered, this, &THistoryViewer::DeleteEntry1Click);
    for (QAction* a : {ui->ViewEdit1, ui->EditEntries1})
        connect(a, &QAction::triggered, this, &THistoryViewer::EditEntries1Click);
    for (QAction* a : {ui->ViewPhotoAlbum2, ui->ViewPhotoAlbum1})
        connect(a, &QAction::triggered, this, &THistoryViewer::ViewPhotoAlbum1Click);

    RestorePlace();

    // A missing installation at start-up ends construction here: the
    // exception reaches main, which ends the program with exit code 1.
    RunCommand(this, [this] { FormCreate(); }, [] { throw ENoInstallation(); });
}

THistoryViewer::~THistoryViewer() = default;

void THistoryViewer::SetDialogs(TDeleteEntry* deleteEntry, TEditEntry* editEntry, TPhotoAlbum* photoAlbum)
{
    DeleteEntry = deleteEntry;
    EditEntry = editEntry;
    PhotoAlbum = photoAlbum;
}

void THistoryViewer::FitColumns()
{
    // Each column as wide as its caption, the last taking the rest: all
    // seven stay in view at the window's design size, however long a
    // creature's texts are (a cut text shows whole as the cell's tooltip).
    QHeaderView* header = Entries->header();
    for (int c = 0; c < kEntryColumns - 1; ++c)
        header->resizeSection(c, header->sectionSizeHint(c));
}

bool THistoryViewer::eventFilter(QObject* watched, QEvent* event)
{
    // Qt makes the first row current, but not selected, when the list gets
    // the focus; Down would then select the second row and Home nothing. The
    // first step into a list without a selection selects the first row.
    if (watched == Entries && event->type() == QEvent::KeyPress && EntryRecords->Count() > 0
        && filter_->rowCount() > 0 && !Entries->selectionModel()->hasSelection()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_Home || key == Qt::Key_PageUp) {
            Entries->selectionModel()->setCurrentIndex(filter_->index(0, 0), QItemSelectionModel::ClearAndSelect
                                                                                 | QItemSelectionModel::Rows);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void THistoryViewer::Command(const std::function<void()>& body)
{
    RunCommand(this, body, [this] {
        hide();
        emit InstallationLost();
    });
}

void THistoryViewer::LookupInstallation()
{
    const std::optional<TInstallation> found = ResolveInstallation(context_.Source);
    if (!found) {
        ShowNoInstallation(isVisible() ? this : nullptr, {PathText(context_.Source.Prefix + "/system.reg")});
        throw ENoInstallation();
    }
    HistoryDirectory = found->HistoryDirectory;
    GeneticsDirectory = found->GeneticsDirectory;
}

QByteArray THistoryViewer::AlbumPath(const THistoryEntry& entry) const
{
    return ::AlbumPath(HistoryDirectory, entry.Moniker);
}

QByteArray THistoryViewer::GeneticsPath(const THistoryEntry& entry) const
{
    return ::GeneticsPath(GeneticsDirectory, entry.Moniker);
}

namespace {

// The folder a directory value's files are in: the value itself when it
// ends in a separator, else its parent (the value is a plain prefix).
QByteArray FolderOf(const QByteArray& directoryValue)
{
    return directoryValue.left(directoryValue.lastIndexOf('/') + 1);
}

// A message that lists many items names the first few and counts the rest;
// the whole list goes into the details, where it can be scrolled.
Exception ListedError(const QString& lead, const QStringList& items)
{
    constexpr qsizetype shown = 10;
    QString text = lead + QStringLiteral("\n\n") + items.mid(0, shown).join(QLatin1Char('\n'));
    if (items.size() > shown)
        text += QLatin1Char('\n') + THistoryViewer::tr("and %1 more.").arg(items.size() - shown);
    return Exception(text, items.size() > shown ? items.join(QLatin1Char('\n')) : QString());
}

}  // namespace

void THistoryViewer::FormCreate()
{
    LookupInstallation();
    // What happens from now on is news; the fill clears the notice.
    watch_->Watch({FolderOf(HistoryDirectory), FolderOf(GeneticsDirectory)});
    staleNotice_->hide();
    lineage_.reset();
    THistoryScan scan = ScanHistory(HistoryDirectory, GeneticsDirectory);
    const QStringList failures = std::move(scan.Failures);
    // One short line; the folders, whose paths can be long, in its tooltip.
    QStringList notes, where;
    if (!scan.FolderProblem.isEmpty()) {
        notes << tr("The history folder cannot be read, so the list is empty: %1").arg(scan.FolderProblem);
        where << PathText(scan.Directory);
    }
    if (!watch_->Unwatched().isEmpty()) {
        notes << tr("Changes by the game cannot be watched: F5 rereads the list.");
        where << watch_->Unwatched();
    }
    folderNotice_->setText(notes.join(QLatin1Char(' ')));
    folderNotice_->setToolTip(PlainToolTip(where.join(QLatin1Char('\n'))));
    folderNotice_->setVisible(!notes.isEmpty());
    ShowNotices();
    EntryRecords->Append(std::move(scan));
    if (!failures.isEmpty())
        throw ListedError(tr("These history files could not be read, so their creatures are not listed:"),
                          failures);
}

void THistoryViewer::Rebuild()
{
    EntryRecords->Clear();
    FormCreate();
}

int THistoryViewer::SelectedRow() const
{
    const QModelIndexList selected = Entries->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : filter_->mapToSource(selected.first()).row();
}

QModelIndex THistoryViewer::ViewIndex(int row, int column) const
{
    return filter_->mapFromSource(EntryRecords->index(row, column));
}

void THistoryViewer::SelectRow(int row)
{
    if (row < 0 || row >= EntryRecords->Count())
        return;
    if (!ViewIndex(row).isValid())
        findBar_->Close();
    const QModelIndex index = ViewIndex(row);
    Entries->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Entries->scrollTo(index);
}

void THistoryViewer::Find1Click()
{
    findBar_->Open();
}

const TLineageIndex& THistoryViewer::Lineage()
{
    if (!lineage_)
        lineage_ = std::make_unique<TLineageIndex>(EntryRecords->Keys());
    return *lineage_;
}

void THistoryViewer::FamilyTree1Click()
{
    Command([this] {
        const int row = SelectedRow();
        if (row < 0)
            return;
        auto tree = std::make_shared<const TLineageTree>(BuildLineageTree(Lineage(), row, [this](int r, int which) {
            const THistoryEntry record = EntryRecords->ReadRecord(r);
            return DecodeText(which == 1 ? record.Parent1Name : record.Parent2Name);
        }));
        // A card's texts and photo are made when the card is first drawn or
        // spoken: a tree of the whole history opens at once. The window
        // closes with the list's rows, so they stay valid while it is open.
        auto faceOf = [this, tree](int card) {
            const TLineagePerson& person = tree->People[size_t(card)];
            TCardFace face;
            face.Moniker = MonikerDisplayText(person.Moniker);
            face.SharedMoniker = person.SharedMoniker;
            if (person.Row < 0 || person.Row >= EntryRecords->Count()) {
                face.Name = person.Name;
                face.Outside = true;
                return face;
            }
            const int image = EntryRecords->ImageIndex(person.Row);
            face.Icon = EntryRecords->Image(image);
            face.IconDescription = ImageDescription(image);
            face.FileName = EntryRecords->FileNameOf(person.Row);
            try {
                const TEntryRow texts = EntryRecords->RowTexts(person.Row);
                face.Name = texts.Texts[0];
                face.Life = texts.Texts[5];
            } catch (const std::exception&) {
                face.Name = face.Moniker;  // a card is never left without a name
            }
            return face;
        };
        auto photo = [this, tree](int card) -> QImage {
            const int r = tree->People[size_t(card)].Row;
            if (r < 0 || r >= EntryRecords->Count() || !HasAlbum(EntryRecords->ImageIndex(r)))
                return {};
            try {
                const THistoryEntry record = EntryRecords->ReadRecord(r);
                if (record.GravestoneIndex < 0)
                    return {};
                TS16File album;
                album.LoadFromFile(AlbumPath(record));
                return SpriteToImage(album.GetSprite(record.GravestoneIndex));
            } catch (const std::exception&) {
                return {};  // a card is drawn without the photo it cannot show
            }
        };
        auto* window = new TFamilyTree(this);
        window->Show(faceOf(0).Name, *tree, faceOf, photo);
        connect(window, &TFamilyTree::CreatureChosen, this, [this](const QByteArray& file) {
            SelectRow(EntryRecords->RowOfFile(file));
            activateWindow();
        });
        // The tree is of this list: a new fill, or a creature deleted, closes it.
        connect(EntryRecords, &QAbstractItemModel::modelReset, window, &QWidget::close);
        connect(EntryRecords, &QAbstractItemModel::rowsRemoved, window, &QWidget::close);
        window->show();
    });
}

void THistoryViewer::ContactSheet1Click()
{
    Command([this] {
        const int row = SelectedRow();
        if (row < 0)
            return;
        if (!HasAlbum(EntryRecords->ImageIndex(row))) {
            ShowMessage(this, QMessageBox::Warning, TPhotoAlbum::tr(kNoAlbumCaption), TPhotoAlbum::tr(kNoAlbumText));
            return;
        }
        const THistoryEntry& record = EntryRecords->Record(row);
        TContactSheet sheet(this);
        sheet.Fill(DecodeText(record.DisplayName), AlbumPath(record), MonikerFileText(record.Moniker).value_or(QString()));
        sheet.exec();
    });
}

void THistoryViewer::ExportList1Click()
{
    Command([this] {
        TSaveFileDialog dialog(this, tr("CSV Files (*.csv)"), QStringLiteral("csv"));
        dialog.setWindowTitle(tr("Export List"));
        dialog.selectFile(QStringLiteral("creatures.csv"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        // The rows as the list shows them (the find bar's filter included).
        std::vector<int> rows;
        for (int r = 0; r < filter_->rowCount(); ++r)
            rows.push_back(filter_->mapToSource(filter_->index(r, 0)).row());
        const QString path = dialog.selectedFiles().first();
        ReplaceFile(EncodePath(path), ListAsCsv(*EntryRecords, rows, HistoryDirectory, GeneticsDirectory));
    });
}

void THistoryViewer::ExportFamilyBook1Click()
{
    Command([this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Export Family Book"));
        if (folder.isEmpty())
            return;
        // A link there, even one leading nowhere, is asked about too (and then refused).
        if (EntryExists(EncodePath(folder + QStringLiteral("/index.html")))
            && ShowMessage(this, QMessageBox::Question, tr("Export Family Book"),
                                     tr("%1 already holds an index.html. Replace it?").arg(folder), QMessageBox::Yes | QMessageBox::No)
                   != QMessageBox::Yes)
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        TFamilyBook book;
        try {
            book = WriteFamilyBook(folder, *EntryRecords, Lineage(), HistoryDirectory);
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        ShowMessage(this, QMessageBox::Information, tr("Export Family Book"),
                    tr("The family book of %n creatures is in %1 (open index.html in any browser).", nullptr, book.Creatures)
                        .arg(folder),
                    QMessageBox::Ok, QMessageBox::NoButton,
                    book.Problems.isEmpty() ? QString()
                                            : tr("Albums left out:") + QLatin1Char('\n') + book.Problems.join(QLatin1Char('\n')));
    });
}

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");

// Moves (and if need be shrinks) a window so that all of it is on the screen
// it is mostly on, or on the primary screen when it is on none (a monitor
// gone, a smaller screen than before).
void KeepOnScreen(QWidget* window)
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

void THistoryViewer::RestorePlace()
{
    // The first time the window stands at its design place and size.
    if (!context_.Settings)
        return;
    const QByteArray saved = context_.Settings->value(kGeometryKey).toByteArray();
    // Whether it is all on the screen is known once the frame is (at the
    // first show).
    keepOnScreen_ = !saved.isEmpty() && restoreGeometry(saved);
}

void THistoryViewer::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (keepOnScreen_) {
        keepOnScreen_ = false;
        KeepOnScreen(this);
    }
}

void THistoryViewer::closeEvent(QCloseEvent* event)
{
    if (context_.Settings) {
        context_.Settings->setValue(kGeometryKey, saveGeometry());
        context_.Settings->sync();
    }
    QMainWindow::closeEvent(event);
}

void THistoryViewer::About1Click()
{
    const TInstallationSource& source = context_.Source;
    QString where = QStringLiteral("<table>");
    auto row = [&where](const QString& what, const QString& value) {
        where += QStringLiteral("<tr><td>%1&nbsp;</td><td>%2</td></tr>").arg(what, value.toHtmlEscaped());
    };
    row(tr("Found by:"), source.Launcher);
    if (!source.Prefix.isEmpty())
        row(tr("Wine prefix:"), PathText(source.Prefix));
    row(tr("History folder:"), PathText(HistoryDirectory));
    row(tr("Genetics folder:"), PathText(GeneticsDirectory));
    where += QStringLiteral("</table>");
    QMessageBox::about(this, tr("About Lifeledger"),
                       QStringLiteral("<h3>Lifeledger %1</h3><p>%2</p><p>%3</p>%4")
                           .arg(QStringLiteral(LIFELEDGER_VERSION),
                                tr("A companion for the creature-raising game Vivarion 2: every creature that ever "
                                   "lived in your world, its record, its photos and its files."),
                                tr("Reading now:"), where));
}

void THistoryViewer::ShowStaleNotice()
{
    // What the list could not read may be there now: the news says it all.
    folderNotice_->hide();
    staleNotice_->show();
    ShowNotices();
}

void THistoryViewer::ShowNotices()
{
    statusBar()->setVisible(!staleNotice_->isHidden() || !folderNotice_->isHidden());
}

void THistoryViewer::Reread1Click()
{
    Command([this] { Rebuild(); });
}

void THistoryViewer::OpenInstallation1Click()
{
    Command([this] {
        QStringList searched;
        const std::vector<TFoundInstallation> found = FindInstallations(context_.Home, &searched);
        if (found.empty()) {
            ShowMessage(this, QMessageBox::Information, tr("Open Installation"), tr("No other installation of Vivarion 2 was found."),
                        QMessageBox::Ok, QMessageBox::NoButton,
                        tr("Places searched:") + QLatin1Char('\n') + searched.join(QLatin1Char('\n')));
            return;
        }
        TInstallationChooser chooser(this);
        chooser.Fill(found, context_.Source.Prefix);
        if (chooser.exec() != QDialog::Accepted || chooser.Choice() < 0)
            return;
        const TFoundInstallation& chosen = found[size_t(chooser.Choice())];
        // Gone while the user chose: the list goes on showing what it shows.
        if (!ReadInstallation(chosen.Prefix)) {
            ShowMessage(this, QMessageBox::Warning, tr("Open Installation"),
                        tr("The installation in %1 no longer holds Vivarion 2. Lifeledger goes on showing the one it "
                           "showed.")
                            .arg(PathText(chosen.Prefix)));
            return;
        }
        context_.Source = TInstallationSource::FromPrefix(chosen.Prefix, chosen.Launcher);
        RememberInstallation(context_.Settings, context_.Source);
        Rebuild();
    });
}

void THistoryViewer::Exit1Click()
{
    close();
    QCoreApplication::exit(0);
}

void THistoryViewer::DeleteEntry1Click()
{
    Command([this] {
        const int row = SelectedRow();
        if (row < 0 || !DeleteEntry)
            return;
        const THistoryEntry& record = EntryRecords->Record(row);
        const int image = EntryRecords->ImageIndex(row);

        // The history file is the one the record came from, whatever its name
        // and whatever moniker it holds; the other two are named by the
        // moniker and are never offered when it cannot safely name a file.
        TDeleteChoice choice;
        choice.State = record.State;
        choice.HistoryPath = record.FileName;
        choice.AlbumPath = AlbumPath(record);
        choice.GeneticsPath = GeneticsPath(record);
        DeleteEntry->Fill(MonikerDisplayText(record.Moniker), DecodeText(record.DisplayName),
                          HasAlbum(image) && !choice.AlbumPath.isEmpty(),
                          HasGenetics(image) && !choice.GeneticsPath.isEmpty());
        DeleteEntry->exec();
        DeleteEntry->ReadChoice(choice);
        if (!choice.Any())
            return;

        if (ShowMessage(this, QMessageBox::Question, TDeleteEntry::tr(kDeleteCaption), DeleteConfirmationText(choice),
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            != QMessageBox::Yes)
            return;

        // Each deletion is checked: the list must show what is really on disk.
        QStringList failures;
        bool changed = false;
        auto remove = [&](bool wanted, const QByteArray& path, const TFileIdentity* expected = nullptr) {
            if (!wanted)
                return false;
            QString reason;
            const TDeleteResult result = DeleteFile(path, &reason, expected);
            if (result == TDeleteResult::Deleted)
                return true;
            if (result == TDeleteResult::Changed) {
                changed = true;
                reason = tr("The game changed it after the list was read, so it is kept; the list now shows it as it is.");
            }
            failures << PathText(path) + QStringLiteral(": ") + reason;
            return false;
        };
        const bool photoGone = remove(choice.Photo, choice.AlbumPath);
        const bool geneticsGone = remove(choice.Genetics, choice.GeneticsPath);
        // The history file under the very name it was listed by, and only the
        // very file read: were it rewritten by the game since (a death, say),
        // the confirmation spoke of another creature than the one on disk.
        const bool historyGone = remove(choice.History, record.FileName, &EntryRecords->Loaded(row));
        watch_->Discard();  // these changes are the list's own

        if (changed) {
            Rebuild();  // the list shows the record as the game left it
        } else if (historyGone) {
            EntryRecords->Remove(row);
            lineage_.reset();
        } else {
            int updated = image;
            if (geneticsGone)
                updated ^= ifGenetics;
            if (photoGone)
                updated ^= ifAlbum;
            EntryRecords->SetImageIndex(row, updated);
        }
        if (!failures.isEmpty())
            throw Exception(tr("These files could not be deleted:") + QStringLiteral("\n\n") + failures.join(QLatin1Char('\n')));
    });
}

void THistoryViewer::EditEntries1Click()
{
    Command([this] {
        const int row = SelectedRow();
        if (row < 0 || !EditEntry)
            return;
        THistoryEntry& record = EntryRecords->Record(row);
        const bool albumFound = HasAlbum(EntryRecords->ImageIndex(row));
        EditEntry->Fill(record, albumFound ? AlbumPath(record) : QByteArray());
        if (EditEntry->exec() != QDialog::Accepted)
            return;

        EditEntry->Result().ApplyTo(record);
        try {
            // Only over the very file that was read: the game may have
            // written the record since (a death, say), and its change must
            // not be lost.
            record.SaveToFile(&EntryRecords->Loaded(row));
        } catch (const EFileChanged&) {
            ShowMessage(this, QMessageBox::Warning, EditEntry->windowTitle(),
                                 tr("The game changed the history record of %1 after the list was read:\n%2\n\n"
                                    "Nothing has been saved. The list now shows the record as it is; "
                                    "edit it again to make your change.")
                                     .arg(DecodeText(record.DisplayName), PathText(record.FileName)));
        }
        // Any other failure of the save ends the command above: no rebuild,
        // and the record keeps the edit for another try.
        Rebuild();
    });
}

void THistoryViewer::ViewPhotoAlbum1Click()
{
    Command([this] {
        const int row = SelectedRow();
        if (row < 0 || !PhotoAlbum)
            return;
        if (!HasAlbum(EntryRecords->ImageIndex(row))) {
            ShowMessage(this, QMessageBox::Warning, TPhotoAlbum::tr(kNoAlbumCaption), TPhotoAlbum::tr(kNoAlbumText));
            return;
        }
        PhotoAlbum->Fill(AlbumPath(EntryRecords->Record(row)));  // errors end the command: no dialog
        PhotoAlbum->exec();
        PhotoAlbum->Clear();
    });
}
