#include "browser/DeleteCreatureDialog.h"

#include "browser/DialogLook.h"
#include "history/CreatureFiles.h"
#include "platform/FileSystem.h"
#include "ui_DeleteCreatureDialog.h"

QString deleteConfirmationText(const DeleteChoice& c)
{
    QString text = DeleteCreatureDialog::tr("Warning, this operation will irretreivably delete the following files:") + QLatin1Char('\n');
    if (c.photo)
        text += pathText(c.albumPath) + QLatin1Char('\n');
    if (c.genetics)
        text += pathText(c.geneticsPath) + QLatin1Char('\n');
    if (c.history)
        text += pathText(c.historyPath) + QLatin1Char('\n');
    if (c.state == csAlive && (c.genetics || c.history))
        text += DeleteCreatureDialog::tr("As the creature is probably still in the game, this may cause problems in later life.") + QLatin1Char('\n');
    if (c.state == csDead && c.photo && !c.history)
        text += DeleteCreatureDialog::tr("This could cause problems with the gravestone.") + QLatin1Char('\n');
    if (c.state == csDead && c.history)
        text += DeleteCreatureDialog::tr("This will remove the entry from the funeral kit") + QLatin1Char('\n');
    if (c.history && c.geneticsOffered && !c.genetics)
        text += DeleteCreatureDialog::tr("This will leave a genetics file un-referenced by the history data") + QLatin1Char('\n');
    if (c.history && c.photoOffered && !c.photo)
        text += DeleteCreatureDialog::tr("This will leave a photo album file un-referenced by the history data") + QLatin1Char('\n');
    text += DeleteCreatureDialog::tr("Are you sure?");
    return text;
}

DeleteCreatureDialog::DeleteCreatureDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(std::make_unique<Ui::DeleteCreatureDialog>())
{
    ui->setupUi(this);
    styleMonikerBox(ui->monikerEdit);
    styleReadOnlyBox(ui->nameEdit);
    holdAnyLength(ui->nameEdit);
}

DeleteCreatureDialog::~DeleteCreatureDialog() = default;

void DeleteCreatureDialog::fill(const QString& moniker, const QString& displayName, bool offerPhoto, bool offerGenetics)
{
    ui->monikerEdit->setText(moniker);
    ui->nameEdit->setText(displayName);
    ui->nameEdit->setCursorPosition(0);
    ui->historyCheck->setChecked(false);
    ui->photoAlbumCheck->setChecked(offerPhoto);
    ui->photoAlbumCheck->setEnabled(offerPhoto);
    ui->geneticsCheck->setChecked(offerGenetics);
    ui->geneticsCheck->setEnabled(offerGenetics);
    ui->historyCheck->setFocus();
}

void DeleteCreatureDialog::readChoice(DeleteChoice& choice) const
{
    choice.photo = ui->photoAlbumCheck->isChecked();
    choice.genetics = ui->geneticsCheck->isChecked();
    choice.history = ui->historyCheck->isChecked();
    choice.photoOffered = ui->photoAlbumCheck->isEnabled();
    choice.geneticsOffered = ui->geneticsCheck->isEnabled();
}

void DeleteCreatureDialog::showEvent(QShowEvent* event)
{
    centreOnScreen(this, parentWidget());
    QDialog::showEvent(event);
}

void DeleteCreatureDialog::reject()
{
    // Esc and the window manager's close do nothing: the choice is made with
    // the boxes, and clearing them all is how the user backs out.
}
