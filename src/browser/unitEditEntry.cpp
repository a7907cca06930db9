#include "browser/unitEditEntry.h"
#include "browser/PlainText.h"

#include "browser/CommandGuard.h"
#include "browser/DialogLook.h"
#include "browser/ImageBox.h"
#include "history/CreatureFiles.h"
#include "platform/TextCodec.h"
#include "sprites/unitS16Handler.h"
#include "ui_unitEditEntry.h"

#include <QMessageBox>
#include <QPlainTextEdit>

namespace {

// The boxes that edit texts of the record: the box's name, the caption a
// message calls it by, and the record field it edits, in the order
// acceptance stores them.
struct TFieldBox {
    const char* Box;
    const char* Caption;
    QByteArray THistoryEntry::*Field;
};
const TFieldBox kFields[kEditedTexts] = {
    {"DisplayName", QT_TRANSLATE_NOOP("TEditEntry", "Creature Name"), &THistoryEntry::DisplayName},
    {"OwnerName", QT_TRANSLATE_NOOP("TEditEntry", "Owner Name"), &THistoryEntry::OwnerName},
    {"OwnerEMail", QT_TRANSLATE_NOOP("TEditEntry", "Owner E-Mail"), &THistoryEntry::OwnerEMail},
    {"OwnerURL", QT_TRANSLATE_NOOP("TEditEntry", "Owner URL"), &THistoryEntry::OwnerURL},
    {"OwnerNotes", QT_TRANSLATE_NOOP("TEditEntry", "Owner Notes"), &THistoryEntry::OwnerNotes},
    {"Epitaph", QT_TRANSLATE_NOOP("TEditEntry", "Epitaph"), &THistoryEntry::Epitaph},
};

// Records hold a carriage return and line feed at each line break; a memo
// shows them as its own line breaks (a plain line feed). A one-line box
// keeps whatever it is given, so it gets the stored text unchanged.
QString MemoText(const QByteArray& bytes)
{
    return DecodeText(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

void TEditResult::ApplyTo(THistoryEntry& record) const
{
    for (int i = 0; i < kEditedTexts; ++i)
        record.*kFields[i].Field = Texts[size_t(i)];
    // Only a photo shown in the dialog replaces the stored choice; where the
    // album was not opened the record keeps the index it had.
    if (ChosenStone >= 0)
        record.GravestoneIndex = ChosenStone;
}

TEditEntry::TEditEntry(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(std::make_unique<Ui::TEditEntry>())
{
    ui->setupUi(this);
    StyleMonikerBox(ui->Moniker);
    SetUpPicturePanel(ui->Panel1);
    for (QLineEdit* box : {ui->DisplayName, ui->OwnerName, ui->OwnerURL, ui->OwnerEMail})
        HoldAnyLength(box);
    for (int i = 0; i < kEditedTexts; ++i)
        boxes_[size_t(i)] = findChild<QWidget*>(QLatin1String(kFields[i].Box));
    // Qt places a dialog over its parent; this one has a place of its own.
    move(kEditEntryPosition);

    connect(ui->ChooseStone, &QPushButton::clicked, this, &TEditEntry::ChooseStoneClick);
    connect(ui->Button3, &QPushButton::clicked, this, &TEditEntry::accept);
    connect(ui->Button2, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

TEditEntry::~TEditEntry() = default;

namespace {

QString BoxText(const QWidget* box)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(box))
        return line->text();
    return static_cast<const QPlainTextEdit*>(box)->toPlainText();
}

}  // namespace

void TEditEntry::Fill(const THistoryEntry& record, const QByteArray& albumPath)
{
    ui->Moniker->setText(MonikerDisplayText(record.Moniker));
    for (int i = 0; i < kEditedTexts; ++i) {
        const QByteArray& bytes = record.*kFields[i].Field;
        QWidget* box = boxes_[size_t(i)];
        if (auto* line = qobject_cast<QLineEdit*>(box)) {
            line->setText(DecodeText(bytes));
            line->setCursorPosition(0);
        } else {
            static_cast<QPlainTextEdit*>(box)->setPlainText(MemoText(bytes));
        }
        original_[size_t(i)] = bytes;
        shown_[size_t(i)] = BoxText(box);
    }

    // The album is offered only where the list found it; a dead creature
    // without a chosen photo starts at the first one.
    ui->ChooseStone->setEnabled(!albumPath.isEmpty());
    result_.ChosenStone = -1;
    std::int32_t stone = record.GravestoneIndex;
    if (ui->ChooseStone->isEnabled() && record.State == csDead && stone == -1)
        stone = 0;
    if (ui->ChooseStone->isEnabled())
        ui->ChooseStone->setEnabled(stone >= 0);

    ui->GraveImage->Clear();
    if (ui->ChooseStone->isEnabled()) {
        // A damaged or shrunken album must not keep the creature's texts from
        // being edited: the error is shown and the dialog opens without it.
        if (!RunCommand(parentWidget(), [&] { ShowStone(albumPath, stone); })) {
            ui->ChooseStone->setEnabled(false);
            ui->GraveImage->Clear();
        }
    }
    ui->DisplayName->setFocus();
}

void TEditEntry::ShowStone(const QByteArray& albumPath, std::int32_t index)
{
    TS16File file;
    file.LoadFromFile(albumPath);
    ShowSprite(ui->GraveImage, file.GetSprite(index));
    result_.ChosenStone = index;
    AlbumPath = albumPath;
}

void TEditEntry::ChooseStoneClick()
{
    RunCommand(this, [this] {
        TS16File file;
        file.LoadFromFile(AlbumPath);
        // Past the last photo, or past the end of an album that shrank while
        // the dialog was open, the choice starts again at the first photo.
        std::int32_t next = result_.ChosenStone + 1;
        if (next >= file.Count())
            next = 0;
        ShowSprite(ui->GraveImage, file.GetSprite(next));
        result_.ChosenStone = next;
    });
}

void TEditEntry::accept()
{
    for (int i = 0; i < kEditedTexts; ++i) {
        QWidget* box = boxes_[size_t(i)];
        const QString text = BoxText(box);
        QByteArray& stored = result_.Texts[size_t(i)];
        // A box left as it was gives back the very bytes it was filled from,
        // even those a box cannot show (a zero byte, a lone line end).
        if (text == shown_[size_t(i)]) {
            stored = original_[size_t(i)];
            continue;
        }
        QString recordText = text;
        if (qobject_cast<QPlainTextEdit*>(box))
            recordText.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        const std::optional<QByteArray> bytes = EncodeText(recordText);
        const QString caption = tr(kFields[i].Caption);
        if (!bytes) {
            ShowMessage(this, QMessageBox::Warning, windowTitle(),
                                 tr("The %1 holds characters that a creature's record cannot store: %2\n"
                                    "Please replace them; nothing has been saved.")
                                     .arg(caption, UnencodableCharacters(recordText)));
            box->setFocus();
            return;
        }
        if (bytes->size() > kMaxCountedString) {
            ShowMessage(this, QMessageBox::Warning, windowTitle(),
                                 tr("The %1 is %2 characters long; a creature's record can store at most "
                                    "%3. Please shorten it; nothing has been saved.")
                                     .arg(caption)
                                     .arg(bytes->size())
                                     .arg(kMaxCountedString));
            box->setFocus();
            return;
        }
        stored = *bytes;
    }
    QDialog::accept();
}

void TEditEntry::reject() {}
