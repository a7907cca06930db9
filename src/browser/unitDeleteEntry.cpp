#include "browser/unitDeleteEntry.h"

#include "browser/DialogLook.h"
#include "history/CreatureFiles.h"
#include "platform/FileSystem.h"
#include "ui_unitDeleteEntry.h"

QString DeleteConfirmationText(const TDeleteChoice& c)
{
    QString text = TDeleteEntry::tr("Warning, this operation will irretreivably delete the following files:") + QLatin1Char('\n');
    if (c.Photo)
        text += PathText(c.AlbumPath) + QLatin1Char('\n');
    if (c.Genetics)
        text += PathText(c.GeneticsPath) + QLatin1Char('\n');
    if (c.History)
        text += PathText(c.HistoryPath) + QLatin1Char('\n');
    if (c.State == csAlive && (c.Genetics || c.History))
        text += TDeleteEntry::tr("As the creature is probably still in the game, this may cause problems in later life.") + QLatin1Char('\n');
    if (c.State == csDead && c.Photo && !c.History)
        text += TDeleteEntry::tr("This could cause problems with the gravestone.") + QLatin1Char('\n');
    if (c.State == csDead && c.History)
        text += TDeleteEntry::tr("This will remove the entry from the funeral kit") + QLatin1Char('\n');
    if (c.History && c.GeneticsOffered && !c.Genetics)
        text += TDeleteEntry::tr("This will leave a genetics file un-referenced by the history data") + QLatin1Char('\n');
    if (c.History && c.PhotoOffered && !c.Photo)
        text += TDeleteEntry::tr("This will leave a photo album file un-referenced by the history data") + QLatin1Char('\n');
    text += TDeleteEntry::tr("Are you sure?");
    return text;
}

TDeleteEntry::TDeleteEntry(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(std::make_unique<Ui::TDeleteEntry>())
{
    ui->setupUi(this);
    StyleMonikerBox(ui->Moniker);
    StyleReadOnlyBox(ui->DisplayName);
    HoldAnyLength(ui->DisplayName);
}

TDeleteEntry::~TDeleteEntry() = default;

void TDeleteEntry::Fill(const QString& moniker, const QString& displayName, bool offerPhoto, bool offerGenetics)
{
    ui->Moniker->setText(moniker);
    ui->DisplayName->setText(displayName);
    ui->DisplayName->setCursorPosition(0);
    ui->History->setChecked(false);
    ui->Photo->setChecked(offerPhoto);
    ui->Photo->setEnabled(offerPhoto);
    ui->Genetics->setChecked(offerGenetics);
    ui->Genetics->setEnabled(offerGenetics);
    ui->History->setFocus();
}

void TDeleteEntry::ReadChoice(TDeleteChoice& choice) const
{
    choice.Photo = ui->Photo->isChecked();
    choice.Genetics = ui->Genetics->isChecked();
    choice.History = ui->History->isChecked();
    choice.PhotoOffered = ui->Photo->isEnabled();
    choice.GeneticsOffered = ui->Genetics->isEnabled();
}

void TDeleteEntry::showEvent(QShowEvent* event)
{
    CentreOnScreen(this, parentWidget());
    QDialog::showEvent(event);
}

void TDeleteEntry::reject()
{
    // Esc and the window manager's close do nothing: the choice is made with
    // the boxes, and clearing them all is how the user backs out.
}
