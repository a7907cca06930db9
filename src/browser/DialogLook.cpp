#include "browser/DialogLook.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QScreen>
#include <limits>

void styleReadOnlyBox(QLineEdit* box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    box->setPalette(palette);
}

void styleMonikerBox(QLineEdit* box)
{
    styleReadOnlyBox(box);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setBold(true);
    font.setPixelSize(13);
    box->setFont(font);
}

void holdAnyLength(QLineEdit* box)
{
    box->setMaxLength(std::numeric_limits<int>::max());
}

void centreOnScreen(QWidget* window, QWidget* parent)
{
    window->adjustSize();
    if (const QScreen* screen = parent ? parent->screen() : window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}
