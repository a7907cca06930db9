#include "unitLifeledger.h"

#include "CommandGuard.h"
#include "CutTextTipDelegate.h"
#include "EntryIcons.h"
#include "FileSystem.h"
#include "TextCodec.h"
#include "ui_unitLifeledger.h"
#include "unitDeleteEntry.h"
#include "unitEditEntry.h"
#include "unitPhotoAlbum.h"

#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTreeView>

TDateTimeNames LocaleDateTimeNames()
{
    TDateTimeNames names = TDateTimeNames::English();
    const QLocale locale;
    for (int m = 1; m <= 12; ++m) {
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

THistoryViewer::THistoryViewer(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowCloseButtonHint),
      Terminate([](int code) { QCoreApplication::exit(code); }),
      ui(std::make_unique<Ui::THistoryViewer>()),
      dateNames_(LocaleDateTimeNames())
{
    ui->setupUi(this);
    setWindowIcon(MakeWindowIcon());
    move(327, 159);

    Entries = ui->Entries;
    EntriesImages = MakeEntriesImages();
    EntryRecords = new TEntryRecords(EntriesImages, this);
    Entries->setModel(EntryRecords);
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
    connect(Entries, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { EntriesMenu->popup(Entries->viewport()->mapToGlobal(pos)); });
    connect(Entries, &QAbstractItemView::doubleClicked, this, &THistoryViewer::EditEntries1Click);

    connect(ui->Exit1, &QAction::triggered, this, &THistoryViewer::Exit1Click);
    for (QAction* a : {ui->Delete1, ui->DeleteEntry1})
        connect(a, &QAction::triggered, this, &THistoryViewer::DeleteEntry1Click);
    for (QAction* a : {ui->ViewEdit1, ui->EditEntries1})
        connect(a, &QAction::triggered, this, &THistoryViewer::EditEntries1Click);
    for (QAction* a : {ui->ViewPhotoAlbum2, ui->ViewPhotoAlbum1})
        connect(a, &QAction::triggered, this, &THistoryViewer::ViewPhotoAlbum1Click);

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
        && !Entries->selectionModel()->hasSelection()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_Home || key == Qt::Key_PageUp) {
            Entries->selectionModel()->setCurrentIndex(EntryRecords->index(0, 0), QItemSelectionModel::ClearAndSelect
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
        Terminate(1);
    });
}

void THistoryViewer::LookupInstallation()
{
    const std::optional<TInstallation> found = ::LookupInstallation();
    if (!found) {
        QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kNoInstallationCaption),
                        QString::fromLatin1(kNoInstallationText), QMessageBox::Ok, isVisible() ? this : nullptr);
        box.exec();
        throw ENoInstallation();
    }
    HistoryDirectory = found->HistoryDirectory;
    GeneticsDirectory = found->GeneticsDirectory;
}

QString THistoryViewer::AlbumPath(const THistoryEntry& entry) const
{
    const auto moniker = MonikerFileText(entry.Moniker);
    return moniker ? HistoryDirectory + QLatin1String(kAlbumPrefix) + *moniker + QLatin1String(kAlbumSuffix) : QString();
}

QString THistoryViewer::GeneticsPath(const THistoryEntry& entry) const
{
    const auto moniker = MonikerFileText(entry.Moniker);
    return moniker ? GeneticsDirectory + *moniker + QLatin1String(kGeneticsSuffix) : QString();
}

void THistoryViewer::FormCreate()
{
    LookupInstallation();

    // The directory value is a plain prefix: "cr_*" is glued to it, so a
    // value without a trailing separator searches its parent directory for
    // names starting with its last component, as the game's own lookup does.
    const QString pattern = HistoryDirectory + QStringLiteral("cr_");
    const qsizetype slash = pattern.lastIndexOf(QLatin1Char('/'));
    const QString directory = pattern.left(slash + 1);
    const QStringList names = NamesStartingWith(directory, pattern.mid(slash + 1));

    std::vector<std::unique_ptr<THistoryEntry>> records;
    std::vector<TEntryRow> rows;
    records.reserve(size_t(names.size()));
    rows.reserve(size_t(names.size()));
    QStringList failures;
    // The two existence tests per creature build their paths in one reused
    // buffer, in the file system's encoding.
    const QByteArray historyPrefix = QFile::encodeName(HistoryDirectory) + kAlbumPrefix;
    const QByteArray geneticsPrefix = QFile::encodeName(GeneticsDirectory);
    QByteArray path;
    auto exists = [&path](const QByteArray& prefix, const QByteArray& moniker, const char* suffix) {
        path.resize(0);
        path.append(prefix).append(moniker).append(suffix);
        return IsRegularFile(path);
    };
    for (const QString& name : names) {
        auto entry = std::make_unique<THistoryEntry>();
        try {
            entry->LoadFromFile(directory + name);
        } catch (const Exception& e) {
            // One unreadable match must not hide the creatures after it.
            failures << e.Message;
            continue;
        }
        TEntryRow row = FormatEntryRow(*entry, dateNames_);
        if (entry->State == 2) {
            row.ImageIndex = kExportedImage;
        } else {
            row.ImageIndex = entry->State;
            if (const auto moniker = MonikerFileText(entry->Moniker)) {
                const QByteArray encoded = QFile::encodeName(*moniker);
                if (exists(historyPrefix, encoded, kAlbumSuffix))
                    row.ImageIndex |= kAlbumFlag;
                if (exists(geneticsPrefix, encoded, kGeneticsSuffix))
                    row.ImageIndex |= kGeneticsFlag;
            }
        }
        records.push_back(std::move(entry));
        rows.push_back(std::move(row));
    }
    EntryRecords->Append(std::move(records), std::move(rows));

    if (!failures.isEmpty())
        throw Exception(QStringLiteral("These history files could not be read, so their creatures are not listed:\n\n")
                        + failures.join(QLatin1Char('\n')));
}

void THistoryViewer::Rebuild()
{
    EntryRecords->Clear();
    FormCreate();
}

int THistoryViewer::SelectedRow() const
{
    const QModelIndexList selected = Entries->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void THistoryViewer::Exit1Click()
{
    close();
    QCoreApplication::exit(0);
}

void THistoryViewer::DeleteEntry1Click()
{
    Command([this] {
        if (DeleteEntry)
            DeleteEntry->Run(*this);
    });
}

void THistoryViewer::EditEntries1Click()
{
    Command([this] {
        if (EditEntry)
            EditEntry->Run(*this);
    });
}

void THistoryViewer::ViewPhotoAlbum1Click()
{
    Command([this] {
        if (PhotoAlbum)
            PhotoAlbum->Run(*this);
    });
}
