#include "browser/unitPhotoAlbum.h"

#include "browser/CommandGuard.h"
#include "browser/DialogLook.h"
#include "browser/ImageBox.h"
#include "browser/SaveFileDialog.h"
#include "sprites/SpriteImage.h"
#include "ui_unitPhotoAlbum.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QShortcut>

TPhotoAlbum::TPhotoAlbum(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TPhotoAlbum>())
{
    ui->setupUi(this);
    SetUpPicturePanel(ui->Panel1);

    // The keyboard and the mouse both move the current row (a mouse press
    // moves it before it selects the item); a row set by the program itself
    // is shown by an explicit call.
    connect(ui->Images, &QListWidget::currentRowChanged, this, &TPhotoAlbum::ImagesClick);
    connect(ui->GraveImage, &TImageBox::doubleClicked, this, &TPhotoAlbum::GraveImageDblClick);
    // The same save from the keyboard: Enter on the picture or the list,
    // and Ctrl+S (the same keys in every language).
    connect(ui->GraveImage, &TImageBox::activated, this, &TPhotoAlbum::GraveImageDblClick);
    // (Not the list's "activated": some desktops activate on a single click.)
    ui->Images->installEventFilter(this);
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(save, &QShortcut::activated, this, &TPhotoAlbum::GraveImageDblClick);
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

void TPhotoAlbum::Fill(const QByteArray& albumPath)
{
    SpriteFile->LoadFromFile(albumPath);
    {
        const QSignalBlocker quiet(ui->Images);
        ui->Images->clear();
        for (int i = 0; i < SpriteFile->Count(); ++i) {
            const TS16Sprite& s = SpriteFile->GetSprite(i);
            ui->Images->addItem(PhotoCaption(i, s.Width, s.Height));
        }
        if (SpriteFile->Count() > 0)
            ui->Images->setCurrentRow(0);
    }
    // An album without photos shows the black area, not the last creature's photo.
    if (SpriteFile->Count() == 0)
        ui->GraveImage->Clear();
    ImagesClick();
}

void TPhotoAlbum::Clear()
{
    SpriteFile = std::make_unique<TS16File>();
}

bool TPhotoAlbum::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->Images && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            GraveImageDblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TPhotoAlbum::showEvent(QShowEvent* event)
{
    CentreOnScreen(this, parentWidget());
    QDialog::showEvent(event);
}

void TPhotoAlbum::ImagesClick()
{
    RunCommand(this, [this] {
        const int index = ui->Images->currentRow();
        if (index >= 0)
            ShowSprite(ui->GraveImage, SpriteFile->GetSprite(index));
    });
}

void TPhotoAlbum::GraveImageDblClick()
{
    if (ui->GraveImage->Picture().isNull())
        return;
    RunCommand(this, [this] {
        // Made on first use: Qt's file dialog, with its file-system model and
        // the thread that scans a folder, costs more than the whole start.
        if (!SaveBMP) {
            SaveBMP = new TSaveFileDialog(this, tr("Bitmap Files (*.bmp)"), QStringLiteral("bmp"));
            SaveBMP->setObjectName(QStringLiteral("SaveBMP"));
        }
        if (SaveBMP->exec() != QDialog::Accepted || SaveBMP->selectedFiles().isEmpty())
            return;
        const QString path = SaveBMP->selectedFiles().first();
        SaveBMP->selectFile(path);  // offered again next time
        WriteBmp565(path, ui->GraveImage->Picture());
    });
}
