#include "browser/ContactSheet.h"
#include "browser/PlainText.h"

#include "browser/CommandGuard.h"
#include "platform/FileSystem.h"
#include "sprites/SpriteImage.h"
#include "sprites/unitS16Handler.h"
#include "ui_ContactSheet.h"
#include "ui_PhotoView.h"

#include <QBuffer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QStandardItemModel>

// ---------------------------------------------------------------- one photo

TPhotoView::TPhotoView(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TPhotoView>())
{
    ui->setupUi(this);
    connect(ui->FitToWindow, &QCheckBox::toggled, this, &TPhotoView::Lay);
}

TPhotoView::~TPhotoView() = default;

void TPhotoView::Show(const QImage& photo, const QString& caption)
{
    photo_ = photo;
    ui->Caption->setText(caption);
    setWindowTitle(caption);
    choseFit_ = false;
    if (isVisible())
        showEvent(nullptr);
}

void TPhotoView::showEvent(QShowEvent* event)
{
    if (event)
        QDialog::showEvent(event);
    // A photo larger than the window starts fitted to it; a smaller one at
    // 1:1. Only a shown window knows the room it has.
    if (!choseFit_ && !photo_.isNull()) {
        choseFit_ = true;
        const QSize room = ui->Scroll->viewport()->size();
        const QSignalBlocker quiet(ui->FitToWindow);
        ui->FitToWindow->setChecked(photo_.width() > room.width() || photo_.height() > room.height());
    }
    Lay();
}

bool TPhotoView::Fitted() const
{
    return ui->FitToWindow->isChecked();
}

QSize TPhotoView::ShownSize() const
{
    return ui->Picture->size();
}

void TPhotoView::Lay()
{
    if (photo_.isNull())
        return;
    QImage shown = photo_;
    if (Fitted()) {
        const QSize room = ui->Scroll->viewport()->size() - QSize(4, 4);
        if (photo_.width() > room.width() || photo_.height() > room.height())
            shown = photo_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    ui->Picture->setPixmap(QPixmap::fromImage(shown));
    ui->Picture->resize(shown.size());
}

void TPhotoView::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (Fitted())
        Lay();
}

// ---------------------------------------------------------------- the sheet

namespace {

// A photo on a square of the thumbnails' size, shrunk to fit (never
// enlarged) and centred: every caption then sits on one line.
QPixmap Thumbnail(const QImage& photo)
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

TContactSheet::TContactSheet(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TContactSheet>())
{
    ui->setupUi(this);
    model_ = new QStandardItemModel(this);
    ui->Thumbnails->setModel(model_);
    connect(ui->Thumbnails, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) { ShowPhoto(index.row()); });
    // Enter as well as a click (not "activated": some desktops activate on hover or single click).
    ui->Thumbnails->installEventFilter(this);
    connect(ui->SaveAll, &QPushButton::clicked, this, &TContactSheet::SaveAllClick);
}

TContactSheet::~TContactSheet() = default;

void TContactSheet::Fill(const QString& creature, const QByteArray& albumPath, const QString& stem)
{
    TS16File album;
    album.LoadFromFile(albumPath);
    stem_ = stem;
    photos_.clear();
    model_->clear();
    for (int i = 0; i < album.Count(); ++i) {
        TS16Sprite& sprite = album.GetSprite(i);
        QImage photo = SpriteToImage(sprite);
        const QString caption = PhotoCaption(i, sprite.Width, sprite.Height);
        auto* item = new QStandardItem(caption);
        if (!photo.isNull())
            item->setIcon(Thumbnail(photo));
        item->setToolTip(caption);
        model_->appendRow(item);
        photos_.push_back(std::move(photo));
    }
    setWindowTitle(tr("Contact Sheet of %1").arg(creature));
    ui->SaveAll->setEnabled(!photos_.empty());
    if (!photos_.empty())
        ui->Thumbnails->setCurrentIndex(model_->index(0, 0));
    ui->Thumbnails->setFocus();
}

void TContactSheet::ShowPhoto(int index)
{
    if (index < 0 || index >= PhotoCount() || photos_[size_t(index)].isNull())
        return;
    TPhotoView view(this);
    view.Show(photos_[size_t(index)], model_->item(index)->text());
    view.exec();
}

QByteArray TContactSheet::PhotoName(int index, const QString& ending) const
{
    // One pass of arg(): a moniker holding "%3" stays as it is.
    return EncodePath(QStringLiteral("%1-%2.%3").arg(stem_, QString::number(index), ending));
}

int TContactSheet::SaveAll(const QString& folder)
{
    const bool png = ui->Format->currentIndex() == 0;
    const TWriteFolder into(EncodePath(folder));
    int saved = 0;
    for (size_t i = 0; i < photos_.size(); ++i) {
        if (photos_[i].isNull())
            continue;
        const QByteArray name = PhotoName(int(i), png ? QStringLiteral("png") : QStringLiteral("bmp"));
        ReplaceFile(into, name, png ? EncodePng(photos_[i]) : EncodeBmp565(photos_[i]));
        ++saved;
    }
    return saved;
}

void TContactSheet::SaveAllClick()
{
    RunCommand(this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Save All Photos"));
        if (folder.isEmpty())
            return;
        const QString ending = ui->Format->currentIndex() == 0 ? QStringLiteral("png") : QStringLiteral("bmp");
        const TWriteFolder into(EncodePath(folder));
        for (int i = 0; i < PhotoCount(); ++i) {
            if (into.Holds(PhotoName(i, ending))) {
                if (ShowMessage(this, QMessageBox::Question, windowTitle(),
                                          tr("The folder already holds photos of this creature. Replace them?"), QMessageBox::Yes | QMessageBox::No)
                    != QMessageBox::Yes)
                    return;
                break;
            }
        }
        const int saved = SaveAll(folder);
        ShowMessage(this, QMessageBox::Information, windowTitle(), tr("%n photos saved in %1.", nullptr, saved).arg(folder));
    });
}

bool TContactSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->Thumbnails && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ShowPhoto(ui->Thumbnails->currentIndex().row());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
