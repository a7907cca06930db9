#include "browser/EditCreatureDialog.h"
#include "browser/PlainText.h"

#include "browser/CommandGuard.h"
#include "browser/DialogLook.h"
#include "browser/ImageBox.h"
#include "history/CreatureFiles.h"
#include "platform/TextCodec.h"
#include "sprites/S16File.h"
#include "ui_EditCreatureDialog.h"

#include <QMessageBox>
#include <QPlainTextEdit>

namespace {

// The boxes that edit texts of the record: the box's name, the caption a
// message calls it by, and the record field it edits, in the order
// acceptance stores them.
struct FieldBox {
    const char* box;
    const char* caption;
    QByteArray HistoryRecord::*field;
};
const FieldBox kFields[kEditedTexts] = {
    {"nameEdit", QT_TRANSLATE_NOOP("EditCreatureDialog", "Creature Name"), &HistoryRecord::displayName},
    {"ownerNameEdit", QT_TRANSLATE_NOOP("EditCreatureDialog", "Owner Name"), &HistoryRecord::ownerName},
    {"ownerEmailEdit", QT_TRANSLATE_NOOP("EditCreatureDialog", "Owner E-Mail"), &HistoryRecord::ownerEMail},
    {"ownerUrlEdit", QT_TRANSLATE_NOOP("EditCreatureDialog", "Owner URL"), &HistoryRecord::ownerUrl},
    {"ownerNotesEdit", QT_TRANSLATE_NOOP("EditCreatureDialog", "Owner Notes"), &HistoryRecord::ownerNotes},
    {"epitaphEdit", QT_TRANSLATE_NOOP("EditCreatureDialog", "Epitaph"), &HistoryRecord::epitaph},
};

// Records hold a carriage return and line feed at each line break; a memo
// shows them as its own line breaks (a plain line feed). A one-line box
// keeps whatever it is given, so it gets the stored text unchanged.
QString memoText(const QByteArray& bytes)
{
    return decodeText(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

void EditResult::applyTo(HistoryRecord& record) const
{
    for (int i = 0; i < kEditedTexts; ++i)
        record.*kFields[i].field = texts[size_t(i)];
    // Only a photo shown in the dialog replaces the stored choice; where the
    // album was not opened the record keeps the index it had.
    if (chosenStone >= 0)
        record.gravestoneIndex = chosenStone;
}

EditCreatureDialog::EditCreatureDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(std::make_unique<Ui::EditCreatureDialog>())
{
    ui->setupUi(this);
    styleMonikerBox(ui->monikerEdit);
    setUpPicturePanel(ui->photoPanel);
    for (QLineEdit* box : {ui->nameEdit, ui->ownerNameEdit, ui->ownerUrlEdit, ui->ownerEmailEdit})
        holdAnyLength(box);
    for (int i = 0; i < kEditedTexts; ++i)
        boxes_[size_t(i)] = findChild<QWidget*>(QLatin1String(kFields[i].box));
    // Qt places a dialog over its parent; this one has a place of its own.
    move(kEditEntryPosition);

    connect(ui->chooseButton, &QPushButton::clicked, this, &EditCreatureDialog::chooseStoneClick);
    connect(ui->acceptButton, &QPushButton::clicked, this, &EditCreatureDialog::accept);
    connect(ui->cancelButton, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

EditCreatureDialog::~EditCreatureDialog() = default;

namespace {

QString boxText(const QWidget* box)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(box))
        return line->text();
    return static_cast<const QPlainTextEdit*>(box)->toPlainText();
}

}  // namespace

void EditCreatureDialog::fill(const HistoryRecord& record, const QByteArray& albumPath)
{
    ui->monikerEdit->setText(monikerDisplayText(record.moniker));
    for (int i = 0; i < kEditedTexts; ++i) {
        const QByteArray& bytes = record.*kFields[i].field;
        QWidget* box = boxes_[size_t(i)];
        if (auto* line = qobject_cast<QLineEdit*>(box)) {
            line->setText(decodeText(bytes));
            line->setCursorPosition(0);
        } else {
            static_cast<QPlainTextEdit*>(box)->setPlainText(memoText(bytes));
        }
        original_[size_t(i)] = bytes;
        shown_[size_t(i)] = boxText(box);
    }

    // The album is offered only where the list found it; a dead creature
    // without a chosen photo starts at the first one.
    ui->chooseButton->setEnabled(!albumPath.isEmpty());
    result_.chosenStone = -1;
    std::int32_t stone = record.gravestoneIndex;
    if (ui->chooseButton->isEnabled() && record.state == csDead && stone == -1)
        stone = 0;
    if (ui->chooseButton->isEnabled())
        ui->chooseButton->setEnabled(stone >= 0);

    ui->photoImage->clear();
    album_.reset();
    if (ui->chooseButton->isEnabled()) {
        // A damaged or shrunken album must not keep the creature's texts from
        // being edited: the error is shown and the dialog opens without it.
        if (!runCommand(parentWidget(), [&] {
                album_.emplace(albumPath);
                showStone(stone);
            })) {
            ui->chooseButton->setEnabled(false);
            ui->photoImage->clear();
            album_.reset();
        }
    }
    ui->nameEdit->setFocus();
}

void EditCreatureDialog::showStone(std::int32_t index)
{
    ui->photoImage->setPicture(album_->photo(index));
    ui->photoImage->setAccessibleDescription(album_->caption(index));
    result_.chosenStone = index;
}

void EditCreatureDialog::chooseStoneClick()
{
    runCommand(this, [this] {
        if (!album_)
            return;
        if (!album_->isCurrent()) {
            const QByteArray path = album_->path();  // the album is remade from its own path
            album_.emplace(path);
        }
        // Past the last photo, or past the end of an album that shrank while
        // the dialog was open, the choice starts again at the first photo.
        std::int32_t next = result_.chosenStone + 1;
        if (next >= album_->count())
            next = 0;
        showStone(next);
    });
}

void EditCreatureDialog::accept()
{
    for (int i = 0; i < kEditedTexts; ++i) {
        QWidget* box = boxes_[size_t(i)];
        const QString text = boxText(box);
        QByteArray& stored = result_.texts[size_t(i)];
        // A box left as it was gives back the very bytes it was filled from,
        // even those a box cannot show (a zero byte, a lone line end).
        if (text == shown_[size_t(i)]) {
            stored = original_[size_t(i)];
            continue;
        }
        QString recordText = text;
        if (qobject_cast<QPlainTextEdit*>(box))
            recordText.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        const std::optional<QByteArray> bytes = encodeText(recordText);
        const QString caption = tr(kFields[i].caption);
        if (!bytes) {
            showMessage(this, QMessageBox::Warning, windowTitle(),
                                 tr("The %1 holds characters that a creature's record cannot store: %2\n"
                                    "Please replace them; nothing has been saved.")
                                     .arg(caption, unencodableCharacters(recordText)));
            box->setFocus();
            return;
        }
        if (bytes->size() > kMaxCountedString) {
            showMessage(this, QMessageBox::Warning, windowTitle(),
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

void EditCreatureDialog::reject() {}
