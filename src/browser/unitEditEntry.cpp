#include "browser/unitEditEntry.h"

#include "browser/CommandGuard.h"
#include "browser/DialogLook.h"
#include "browser/ImageBox.h"
#include "platform/TextCodec.h"
#include "ui_unitEditEntry.h"
#include "browser/unitLifeledger.h"

#include <QMessageBox>
#include <QPlainTextEdit>

namespace {

// Records hold a carriage return and line feed at each line break; a memo
// shows them as its own line breaks (a plain line feed). A one-line box
// keeps whatever it is given, so it gets the stored text unchanged.
QString MemoText(const QByteArray& bytes)
{
    return DecodeText(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

QString TEditEntry::TField::Text() const
{
    return Line ? Line->text() : Memo->toPlainText();
}

TEditEntry::TEditEntry(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(std::make_unique<Ui::TEditEntry>())
{
    ui->setupUi(this);
    Moniker = ui->Moniker;
    DisplayName = ui->DisplayName;
    Epitaph = ui->Epitaph;
    ChooseStone = ui->ChooseStone;
    GraveImage = ui->GraveImage;
    OwnerName = ui->OwnerName;
    OwnerURL = ui->OwnerURL;
    OwnerEMail = ui->OwnerEMail;
    OwnerNotes = ui->OwnerNotes;
    Button2 = ui->Button2;
    Button3 = ui->Button3;
    StyleMonikerBox(Moniker);
    SetUpPicturePanel(ui->Panel1);
    for (QLineEdit* box : {DisplayName, OwnerName, OwnerURL, OwnerEMail})
        HoldAnyLength(box);
    // Qt places a dialog over its parent; this one has a place of its own.
    move(kEditEntryPosition);

    fields_ = {{QStringLiteral("Creature Name"), DisplayName, nullptr, {}, {}, {}},
               {QStringLiteral("Owner Name"), OwnerName, nullptr, {}, {}, {}},
               {QStringLiteral("Owner E-Mail"), OwnerEMail, nullptr, {}, {}, {}},
               {QStringLiteral("Owner URL"), OwnerURL, nullptr, {}, {}, {}},
               {QStringLiteral("Owner Notes"), nullptr, OwnerNotes, {}, {}, {}},
               {QStringLiteral("Epitaph"), nullptr, Epitaph, {}, {}, {}}};

    connect(ChooseStone, &QPushButton::clicked, this, &TEditEntry::ChooseStoneClick);
    connect(Button3, &QPushButton::clicked, this, &TEditEntry::accept);
    connect(Button2, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

TEditEntry::~TEditEntry() = default;

void TEditEntry::Fill(TField& field, const QByteArray& bytes)
{
    field.Original = bytes;
    if (field.Line) {
        field.Line->setText(DecodeText(bytes));
        field.Line->setCursorPosition(0);
    } else {
        field.Memo->setPlainText(MemoText(bytes));
    }
    field.Shown = field.Text();
}

void TEditEntry::accept()
{
    for (TField& field : fields_) {
        const QString text = field.Text();
        // A box left as it was gives back the very bytes it was filled from,
        // even those a box cannot show (a zero byte, a lone line end).
        if (text == field.Shown) {
            field.Result = field.Original;
            continue;
        }
        QString stored = text;
        if (field.Memo)
            stored.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        const std::optional<QByteArray> bytes = EncodeText(stored);
        if (!bytes) {
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("The %1 holds characters that a creature's record cannot store: %2\n"
                                                "Please replace them; nothing has been saved.")
                                     .arg(field.Caption, UnencodableCharacters(stored)));
            (field.Line ? static_cast<QWidget*>(field.Line) : field.Memo)->setFocus();
            return;
        }
        if (bytes->size() > kMaxCountedString) {
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("The %1 is %2 characters long; a creature's record can store at most "
                                                "%3. Please shorten it; nothing has been saved.")
                                     .arg(field.Caption)
                                     .arg(bytes->size())
                                     .arg(kMaxCountedString));
            (field.Line ? static_cast<QWidget*>(field.Line) : field.Memo)->setFocus();
            return;
        }
        field.Result = *bytes;
    }
    QDialog::accept();
}

void TEditEntry::reject() {}

void TEditEntry::Run(THistoryViewer& viewer)
{
    const int row = viewer.SelectedRow();
    if (row < 0)
        return;
    THistoryEntry& record = viewer.EntryRecords->Record(row);

    Moniker->setText(MonikerDisplayText(record.Moniker));
    Fill(fields_[0], record.DisplayName);
    Fill(fields_[5], record.Epitaph);
    Fill(fields_[1], record.OwnerName);
    Fill(fields_[3], record.OwnerURL);
    Fill(fields_[4], record.OwnerNotes);
    Fill(fields_[2], record.OwnerEMail);

    // The album is offered only where the list found it and the moniker can
    // safely name it. A dead creature without a chosen photo starts at the
    // first one.
    const QString album = viewer.AlbumPath(record);
    ChooseStone->setEnabled((viewer.EntryRecords->ImageIndex(row) & ifAlbum) && !album.isEmpty());
    ChosenStone = -1;
    std::int32_t stone = record.GravestoneIndex;
    if (ChooseStone->isEnabled() && record.State == 1 && stone == -1)
        stone = 0;
    if (ChooseStone->isEnabled())
        ChooseStone->setEnabled(stone >= 0);

    GraveImage->Clear();
    if (ChooseStone->isEnabled()) {
        // A damaged or shrunken album must not keep the creature's texts from
        // being edited: the error is shown and the dialog opens without it.
        const bool opened = RunCommand(&viewer, [&] {
            TS16File file;
            file.LoadFromFile(album);
            ShowSprite(GraveImage, file.GetSprite(stone));
            ChosenStone = stone;
            AlbumPath = album;
        });
        if (!opened) {
            ChooseStone->setEnabled(false);
            GraveImage->Clear();
        }
    }

    DisplayName->setFocus();
    if (exec() != QDialog::Accepted)
        return;

    record.DisplayName = fields_[0].Result;
    record.OwnerName = fields_[1].Result;
    record.OwnerEMail = fields_[2].Result;
    record.OwnerURL = fields_[3].Result;
    record.OwnerNotes = fields_[4].Result;
    record.Epitaph = fields_[5].Result;
    // Only a photo shown in this dialog replaces the stored choice; where the
    // album was not opened the record keeps the index it had.
    if (ChosenStone >= 0)
        record.GravestoneIndex = ChosenStone;
    try {
        // Only over the very file that was read: the game may have written
        // the record since (a death, say), and its change must not be lost.
        record.SaveToFile(&viewer.EntryRecords->Loaded(row));
    } catch (const EFileChanged&) {
        QMessageBox::warning(&viewer, windowTitle(),
                             QStringLiteral("The game changed the history record of %1 after the list was read:\n%2\n\n"
                                            "Nothing has been saved. The list now shows the record as it is; "
                                            "edit it again to make your change.")
                                 .arg(DecodeText(record.DisplayName), PathText(record.FileName)));
    }
    // (Any other failure ends the command above: no rebuild.)
    viewer.Rebuild();
}

void TEditEntry::ChooseStoneClick()
{
    RunCommand(this, [this] {
        TS16File file;
        file.LoadFromFile(AlbumPath);
        // Past the last photo, or past the end of an album that shrank while
        // the dialog was open, the choice starts again at the first photo.
        std::int32_t next = ChosenStone + 1;
        if (next >= file.Count())
            next = 0;
        ShowSprite(GraveImage, file.GetSprite(next));
        ChosenStone = next;
    });
}
