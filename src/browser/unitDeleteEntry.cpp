#include "browser/unitDeleteEntry.h"

#include "browser/DialogLook.h"
#include "common/Exception.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "ui_unitDeleteEntry.h"
#include "browser/unitLifeledger.h"

#include <QMessageBox>

QString DeleteConfirmationText(const TDeleteChoice& c)
{
    QString text = QStringLiteral("Warning, this operation will irretreivably delete the following files:\n");
    if (c.Photo)
        text += c.AlbumPath + QLatin1Char('\n');
    if (c.Genetics)
        text += c.GeneticsPath + QLatin1Char('\n');
    if (c.History)
        text += c.HistoryPath + QLatin1Char('\n');
    if (c.State == 0 && (c.Genetics || c.History))
        text += QStringLiteral("As the creature is probably still in the game, this may cause problems in later life.\n");
    if (c.State == 1 && c.Photo && !c.History)
        text += QStringLiteral("This could cause problems with the gravestone.\n");
    if (c.State == 1 && c.History)
        text += QStringLiteral("This will remove the entry from the funeral kit\n");
    if (c.History && c.GeneticsOffered && !c.Genetics)
        text += QStringLiteral("This will leave a genetics file un-referenced by the history data\n");
    if (c.History && c.PhotoOffered && !c.Photo)
        text += QStringLiteral("This will leave a photo album file un-referenced by the history data\n");
    text += QStringLiteral("Are you sure?");
    return text;
}

TDeleteEntry::TDeleteEntry(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(std::make_unique<Ui::TDeleteEntry>())
{
    ui->setupUi(this);
    Moniker = ui->Moniker;
    DisplayName = ui->DisplayName;
    History = ui->History;
    Genetics = ui->Genetics;
    Photo = ui->Photo;
    StyleMonikerBox(Moniker);
    StyleReadOnlyBox(DisplayName);
    HoldAnyLength(DisplayName);
}

TDeleteEntry::~TDeleteEntry() = default;

void TDeleteEntry::reject()
{
    // Esc and the window manager's close do nothing: the choice is made with
    // the boxes, and clearing them all is how the user backs out.
}

void TDeleteEntry::Run(THistoryViewer& viewer)
{
    const int row = viewer.SelectedRow();
    if (row < 0)
        return;
    TEntryRecords& records = *viewer.EntryRecords;
    const THistoryEntry& record = records.Record(row);
    const int image = records.ImageIndex(row);

    TDeleteChoice choice;
    choice.State = record.State;
    // The history file is the one the record came from, whatever its name
    // and whatever moniker it holds; the other two are named by the moniker
    // and are never offered when it cannot safely name a file.
    choice.HistoryPath = PathText(record.FileName);
    choice.AlbumPath = viewer.AlbumPath(record);
    choice.GeneticsPath = viewer.GeneticsPath(record);

    Moniker->setText(MonikerDisplayText(record.Moniker));
    DisplayName->setText(DecodeText(record.DisplayName));
    DisplayName->setCursorPosition(0);
    History->setChecked(false);
    const bool offerPhoto = (image & ifAlbum) && !choice.AlbumPath.isEmpty();
    const bool offerGenetics = (image & ifGenetics) && !choice.GeneticsPath.isEmpty();
    Photo->setChecked(offerPhoto);
    Photo->setEnabled(offerPhoto);
    Genetics->setChecked(offerGenetics);
    Genetics->setEnabled(offerGenetics);
    History->setFocus();

    CentreOnScreen(this, &viewer);
    exec();

    choice.Photo = Photo->isChecked();
    choice.Genetics = Genetics->isChecked();
    choice.History = History->isChecked();
    choice.PhotoOffered = Photo->isEnabled();
    choice.GeneticsOffered = Genetics->isEnabled();
    if (!choice.Photo && !choice.Genetics && !choice.History)
        return;

    QMessageBox confirm(QMessageBox::Question, QString::fromLatin1(kDeleteCaption), DeleteConfirmationText(choice),
                        QMessageBox::Yes | QMessageBox::No, &viewer);
    confirm.setDefaultButton(QMessageBox::Yes);
    if (confirm.exec() != QMessageBox::Yes)
        return;

    // Each deletion is checked: the list must show what is really on disk.
    QStringList failures;
    auto remove = [&failures](bool wanted, const QByteArray& path) {
        if (!wanted)
            return false;
        QString reason;
        if (DeleteFile(path, &reason))
            return true;
        failures << PathText(path) + QStringLiteral(": ") + reason;
        return false;
    };
    const bool photoGone = remove(choice.Photo, EncodePath(choice.AlbumPath));
    const bool geneticsGone = remove(choice.Genetics, EncodePath(choice.GeneticsPath));
    // The history file under the very name it was listed by.
    const bool historyGone = remove(choice.History, record.FileName);

    if (historyGone) {
        records.Remove(row);
    } else {
        int updated = image;
        if (geneticsGone)
            updated ^= ifGenetics;
        if (photoGone)
            updated ^= ifAlbum;
        records.SetImageIndex(row, updated);
    }
    if (!failures.isEmpty())
        throw Exception(QStringLiteral("These files could not be deleted:\n\n") + failures.join(QLatin1Char('\n')));
}
