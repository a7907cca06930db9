#include "unitDeleteEntry.h"

#include "DialogLook.h"
#include "common/Exception.h"
#include "TextCodec.h"
#include "ui_unitDeleteEntry.h"
#include "unitLifeledger.h"

#include <QFile>
#include <QFileInfo>
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

namespace {

// Deletes a file; true when it is gone afterwards (also when it was gone
// before). Otherwise *reason says why.
bool DeleteFileChecked(const QString& path, QString* reason)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isDir() && !info.isSymLink()) {
        *reason = QStringLiteral("It is a directory.");
        return false;
    }
    QFile file(path);
    if (file.remove())
        return true;
    const QFileInfo after(path);
    if (!after.exists() && !after.isSymLink())
        return true;
    *reason = file.errorString();
    return false;
}

}  // namespace

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
    choice.HistoryPath = record.FileName;
    choice.AlbumPath = viewer.AlbumPath(record);
    choice.GeneticsPath = viewer.GeneticsPath(record);

    Moniker->setText(DecodeText(MonikerText(record.Moniker)));
    DisplayName->setText(DecodeText(record.DisplayName));
    DisplayName->setCursorPosition(0);
    History->setChecked(false);
    const bool offerPhoto = (image & kAlbumFlag) && !choice.AlbumPath.isEmpty();
    const bool offerGenetics = (image & kGeneticsFlag) && !choice.GeneticsPath.isEmpty();
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
    auto remove = [&failures](bool wanted, const QString& path) {
        if (!wanted)
            return false;
        QString reason;
        if (DeleteFileChecked(path, &reason))
            return true;
        failures << path + QStringLiteral(": ") + reason;
        return false;
    };
    const bool photoGone = remove(choice.Photo, choice.AlbumPath);
    const bool geneticsGone = remove(choice.Genetics, choice.GeneticsPath);
    const bool historyGone = remove(choice.History, choice.HistoryPath);

    if (historyGone) {
        records.Remove(row);
    } else {
        int updated = image;
        if (geneticsGone)
            updated ^= kGeneticsFlag;
        if (photoGone)
            updated ^= kAlbumFlag;
        records.SetImageIndex(row, updated);
    }
    if (!failures.isEmpty())
        throw Exception(QStringLiteral("These files could not be deleted:\n\n") + failures.join(QLatin1Char('\n')));
}
