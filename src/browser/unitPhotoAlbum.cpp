#include "browser/unitPhotoAlbum.h"

#include "browser/CommandGuard.h"
#include "browser/DialogLook.h"
#include "browser/ImageBox.h"
#include "browser/SaveFileDialog.h"
#include "sprites/SpriteImage.h"
#include "ui_unitPhotoAlbum.h"
#include "browser/unitLifeledger.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QMessageBox>

TPhotoAlbum::TPhotoAlbum(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TPhotoAlbum>())
{
    ui->setupUi(this);
    Images = ui->Images;
    GraveImage = ui->GraveImage;
    SetUpPicturePanel(ui->Panel1);

    SaveBMP = new TSaveFileDialog(this, QStringLiteral("Bitmap Files (*.bmp)"), QStringLiteral("bmp"));
    SaveBMP->setObjectName(QStringLiteral("SaveBMP"));

    // The keyboard and the mouse both move the current row (a mouse press
    // moves it before it selects the item); a row set by the program itself
    // is shown by an explicit call.
    connect(Images, &QListWidget::currentRowChanged, this, &TPhotoAlbum::ImagesClick);
    connect(GraveImage, &TImageBox::doubleClicked, this, &TPhotoAlbum::GraveImageDblClick);
    FormCreate();
}

TPhotoAlbum::~TPhotoAlbum()
{
    FormDestroy();
}

void TPhotoAlbum::FormCreate()
{
    SpriteFile = std::make_unique<TS16File>();
}

void TPhotoAlbum::FormDestroy()
{
    SpriteFile.reset();
}

void TPhotoAlbum::Run(THistoryViewer& viewer)
{
    const int row = viewer.SelectedRow();
    if (row < 0)
        return;
    if (!(viewer.EntryRecords->ImageIndex(row) & ifAlbum)) {
        QMessageBox::warning(&viewer, QString::fromLatin1(kNoAlbumCaption), QString::fromLatin1(kNoAlbumText));
        return;
    }
    const QString path = viewer.AlbumPath(viewer.EntryRecords->Record(row));
    SpriteFile->LoadFromFile(path);  // errors end the command; the dialog does not open

    {
        const QSignalBlocker quiet(Images);
        Images->clear();
        for (int i = 0; i < SpriteFile->Count(); ++i) {
            const TS16Sprite& s = SpriteFile->GetSprite(i);
            Images->addItem(QStringLiteral("[%1] %2 x %3").arg(i).arg(s.Width).arg(s.Height));
        }
        if (SpriteFile->Count() > 0)
            Images->setCurrentRow(0);
    }
    // An album without photos shows the black area, not the last creature's photo.
    if (SpriteFile->Count() == 0)
        GraveImage->Clear();
    ImagesClick();

    CentreOnScreen(this, &viewer);
    exec();
    SpriteFile = std::make_unique<TS16File>();
}

void TPhotoAlbum::ImagesClick()
{
    RunCommand(this, [this] {
        const int index = Images->currentRow();
        if (index >= 0)
            ShowSprite(GraveImage, SpriteFile->GetSprite(index));
    });
}

void TPhotoAlbum::GraveImageDblClick()
{
    if (GraveImage->Picture().isNull())
        return;
    RunCommand(this, [this] {
        if (SaveBMP->exec() != QDialog::Accepted || SaveBMP->selectedFiles().isEmpty())
            return;
        const QString path = SaveBMP->selectedFiles().first();
        SaveBMP->selectFile(path);  // offered again next time
        WriteBmp565(path, GraveImage->Picture());
    });
}
