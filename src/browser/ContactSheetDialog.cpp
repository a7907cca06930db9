#include "browser/ContactSheetDialog.h"
#include "browser/PlainText.h"

#include "browser/CommandGuard.h"
#include "platform/FileSystem.h"
#include "sprites/SpriteImage.h"
#include "ui_ContactSheetDialog.h"
#include "ui_PhotoViewDialog.h"

#include <QBuffer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QStandardItemModel>
#include <algorithm>

// ---------------------------------------------------------------- one photo

PhotoViewDialog::PhotoViewDialog(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::PhotoViewDialog>())
{
    ui->setupUi(this);
    connect(ui->fitToWindowCheck, &QCheckBox::toggled, this, &PhotoViewDialog::lay);
}

PhotoViewDialog::~PhotoViewDialog() = default;

void PhotoViewDialog::showPhoto(const QImage& photo, const QString& caption)
{
    photo_ = photo;
    ui->captionLabel->setText(caption);
    setWindowTitle(caption);
    choseFit_ = false;
    if (isVisible())
        showEvent(nullptr);
}

void PhotoViewDialog::showEvent(QShowEvent* event)
{
    if (event)
        QDialog::showEvent(event);
    // A photo larger than the window starts fitted to it; a smaller one at
    // 1:1. Only a shown window knows the room it has.
    if (!choseFit_ && !photo_.isNull()) {
        choseFit_ = true;
        const QSize room = ui->scrollArea->viewport()->size();
        const QSignalBlocker quiet(ui->fitToWindowCheck);
        ui->fitToWindowCheck->setChecked(photo_.width() > room.width() || photo_.height() > room.height());
    }
    lay();
}

bool PhotoViewDialog::fitted() const
{
    return ui->fitToWindowCheck->isChecked();
}

QSize PhotoViewDialog::shownSize() const
{
    return ui->pictureLabel->size();
}

void PhotoViewDialog::lay()
{
    if (photo_.isNull())
        return;
    QImage shown = photo_;
    if (fitted()) {
        const QSize room = ui->scrollArea->viewport()->size() - QSize(4, 4);
        if (photo_.width() > room.width() || photo_.height() > room.height()) {
            shown = photo_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        } else {
            // A small photo is pixel art: enlarged by whole factors, each
            // pixel a sharp square.
            const int factor = std::max(1, std::min(room.width() / std::max(1, photo_.width()),
                                                    room.height() / std::max(1, photo_.height())));
            shown = photo_.scaled(photo_.size() * factor, Qt::KeepAspectRatio, Qt::FastTransformation);
        }
    }
    ui->pictureLabel->setPixmap(QPixmap::fromImage(shown));
    ui->pictureLabel->resize(shown.size());
}

void PhotoViewDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (fitted())
        lay();
}

// ---------------------------------------------------------------- the sheet

namespace {

// A photo on a square of the thumbnails' size, shrunk to fit (never
// enlarged) and centred: every caption then sits on one line.
QPixmap thumbnail(const QImage& photo)
{
    constexpr int kSide = 96;
    const QImage shown = photo.width() > kSide || photo.height() > kSide
                             ? photo.scaled(kSide, kSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             : photo;
    QPixmap square(kSide, kSide);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((kSide - shown.width()) / 2, (kSide - shown.height()) / 2, shown);
    return square;
}

}  // namespace

ContactSheetDialog::ContactSheetDialog(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::ContactSheetDialog>())
{
    ui->setupUi(this);
    model_ = new QStandardItemModel(this);
    ui->thumbnailView->setModel(model_);
    connect(ui->thumbnailView, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) { showPhoto(index.row()); });
    // Enter as well as a click (not "activated": some desktops activate on hover or single click).
    ui->thumbnailView->installEventFilter(this);
    connect(ui->saveAllButton, &QPushButton::clicked, this, &ContactSheetDialog::saveAllClick);
}

ContactSheetDialog::~ContactSheetDialog() = default;

void ContactSheetDialog::fill(const QString& creature, const QByteArray& albumPath, const QString& stem)
{
    Album album(albumPath);
    stem_ = stem;
    photos_.clear();
    model_->clear();
    for (int i = 0; i < album.count(); ++i) {
        const QImage& photo = album.photo(i);
        const QString caption = album.caption(i);
        auto* item = new QStandardItem(caption);
        if (!photo.isNull())
            item->setIcon(thumbnail(photo));
        item->setToolTip(caption);
        model_->appendRow(item);
        photos_.push_back(photo);
    }
    creature_ = creature;
    setWindowTitle(tr("Contact Sheet of %1").arg(creature));
    ui->saveAllButton->setEnabled(!photos_.empty());
    if (!photos_.empty())
        ui->thumbnailView->setCurrentIndex(model_->index(0, 0));
    ui->thumbnailView->setFocus();
}

void ContactSheetDialog::showPhoto(int index)
{
    if (index < 0 || index >= photoCount() || photos_[size_t(index)].isNull())
        return;
    PhotoViewDialog view(this);
    view.showPhoto(photos_[size_t(index)], tr("%1 - %2").arg(creature_, model_->item(index)->text()));
    view.exec();
}

QByteArray ContactSheetDialog::photoName(int index, const QString& ending) const
{
    // One pass of arg(): a moniker holding "%3" stays as it is.
    return encodePath(QStringLiteral("%1-%2.%3").arg(stem_, QString::number(index), ending));
}

int ContactSheetDialog::saveAll(const QString& folder)
{
    const bool png = ui->formatCombo->currentIndex() == 0;
    const WriteFolder into(encodePath(folder));
    int saved = 0;
    for (size_t i = 0; i < photos_.size(); ++i) {
        if (photos_[i].isNull())
            continue;
        const QByteArray name = photoName(int(i), png ? QStringLiteral("png") : QStringLiteral("bmp"));
        replaceFile(into, name, png ? encodePng(photos_[i]) : encodeBmp565(photos_[i]));
        ++saved;
    }
    return saved;
}

void ContactSheetDialog::saveAllClick()
{
    runCommand(this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Save All Photos"));
        if (folder.isEmpty())
            return;
        const QString ending = ui->formatCombo->currentIndex() == 0 ? QStringLiteral("png") : QStringLiteral("bmp");
        const WriteFolder into(encodePath(folder));
        for (int i = 0; i < photoCount(); ++i) {
            if (into.holds(photoName(i, ending))) {
                if (showMessage(this, QMessageBox::Question, windowTitle(),
                                          tr("The folder already holds photos of this creature. Replace them?"), QMessageBox::Yes | QMessageBox::No)
                    != QMessageBox::Yes)
                    return;
                break;
            }
        }
        const int saved = saveAll(folder);
        showMessage(this, QMessageBox::Information, windowTitle(), tr("%n photos saved in %1.", nullptr, saved).arg(folder));
    });
}

bool ContactSheetDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->thumbnailView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            showPhoto(ui->thumbnailView->currentIndex().row());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
