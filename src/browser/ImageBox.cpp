#include "browser/ImageBox.h"

#include "sprites/SpriteImage.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPainter>

TImageBox::TImageBox(QWidget* parent) : QWidget(parent) {}

void TImageBox::SetPicture(QImage picture)
{
    picture_ = std::move(picture);
    update();
}

void TImageBox::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint((width() - picture_.width()) / 2, (height() - picture_.height()) / 2), picture_);
}

void TImageBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void SetUpPicturePanel(QFrame* panel)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::black);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
}

void ShowSprite(TImageBox* GraveImage, TS16Sprite& sprite)
{
    GraveImage->SetPicture(SpriteToImage(sprite));
}
