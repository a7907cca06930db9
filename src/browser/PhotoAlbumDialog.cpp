#include "browser/PhotoAlbumDialog.h"

#include "browser/CommandGuard.h"
#include "browser/DialogLook.h"
#include "browser/ImageBox.h"
#include "browser/SaveFileDialog.h"
#include "sprites/SpriteImage.h"
#include "ui_PhotoAlbumDialog.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QShortcut>

PhotoAlbumDialog::PhotoAlbumDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::PhotoAlbumDialog>())
{
    ui->setupUi(this);
    setUpPicturePanel(ui->photoPanel);

    // The keyboard and the mouse both move the current row (a mouse press
    // moves it before it selects the item); a row set by the program itself
    // is shown by an explicit call.
    connect(ui->photoList, &QListWidget::currentRowChanged, this, &PhotoAlbumDialog::imagesClick);
    connect(ui->photoImage, &ImageBox::doubleClicked, this, &PhotoAlbumDialog::graveImageDblClick);
    // The same save from the keyboard: Enter on the picture or the list,
    // and Ctrl+S (the same keys in every language).
    connect(ui->photoImage, &ImageBox::activated, this, &PhotoAlbumDialog::graveImageDblClick);
    // (Not the list's "activated": some desktops activate on a single click.)
    ui->photoList->installEventFilter(this);
    // The arrows move through the photos wherever the focus is.
    ui->photoImage->installEventFilter(this);
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(save, &QShortcut::activated, this, &PhotoAlbumDialog::graveImageDblClick);
}

PhotoAlbumDialog::~PhotoAlbumDialog() = default;

void PhotoAlbumDialog::fill(const QByteArray& albumPath)
{
    Album album(albumPath);  // a failure leaves the dialog as it was
    album_ = std::move(album);
    {
        const QSignalBlocker quiet(ui->photoList);
        ui->photoList->clear();
        for (int i = 0; i < album_->count(); ++i)
            ui->photoList->addItem(album_->caption(i));
        if (album_->count() > 0)
            ui->photoList->setCurrentRow(0);
    }
    // An album without photos shows the black area, not the last creature's photo.
    if (album_->count() == 0)
        ui->photoImage->clear();
    imagesClick();
}

void PhotoAlbumDialog::clear()
{
    album_.reset();
}

bool PhotoAlbumDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->photoList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            graveImageDblClick();
            return true;
        }
    }
    if (watched == ui->photoImage && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown
            || key == Qt::Key_Home || key == Qt::Key_End) {
            ui->photoList->setFocus();
            QCoreApplication::sendEvent(ui->photoList, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PhotoAlbumDialog::showEvent(QShowEvent* event)
{
    centreOnScreen(this, parentWidget());
    QDialog::showEvent(event);
}

void PhotoAlbumDialog::imagesClick()
{
    runCommand(this, [this] {
        const int index = ui->photoList->currentRow();
        if (index >= 0 && album_) {
            ui->photoImage->setPicture(album_->photo(index));
            ui->photoImage->setAccessibleName(album_->caption(index));
        }
    });
}

void PhotoAlbumDialog::graveImageDblClick()
{
    if (ui->photoImage->picture().isNull())
        return;
    runCommand(this, [this] {
        // Made on first use: Qt's file dialog, with its file-system model and
        // the thread that scans a folder, costs more than the whole start.
        if (!saveDialog_) {
            saveDialog_ = new SaveFileDialog(this, tr("Bitmap Files (*.bmp)"), QStringLiteral("bmp"));
            saveDialog_->setObjectName(QStringLiteral("saveBmpDialog"));
        }
        if (saveDialog_->exec() != QDialog::Accepted || saveDialog_->selectedFiles().isEmpty())
            return;
        const QString path = saveDialog_->selectedFiles().first();
        saveDialog_->selectFile(path);  // offered again next time
        writeBmp565(path, ui->photoImage->picture());
    });
}
