#include "browser/ImageBox.h"

#include "sprites/SpriteImage.h"

#include <QAccessibleWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

// A picture, for a screen reader (a plain widget would be a "filler").
QAccessibleInterface* imageBoxAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("ImageBox") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}

}  // namespace

ImageBox::ImageBox(QWidget* parent) : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(imageBoxAccessible);
        return true;
    }();
    (void)factoryInstalled;
}

void ImageBox::setPicture(QImage picture)
{
    picture_ = std::move(picture);
    update();
}

void ImageBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!picture_.isNull())
        painter.drawImage(QPoint((width() - picture_.width()) / 2, (height() - picture_.height()) / 2), picture_);
    // A keyboard user sees where the focus is.
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.backgroundColor = Qt::black;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void ImageBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        emit activated();
    else
        QWidget::keyPressEvent(event);
}

void ImageBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void setUpPicturePanel(QFrame* panel)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::black);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
}
