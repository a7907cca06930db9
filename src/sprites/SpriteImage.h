// Sprites as images: the one way a sprite is shown, and BMP files of a
// shown picture.
#pragma once

#include "sprites/S16File.h"

#include <QImage>
#include <QString>

// Converts the sprite to 5-6-5 in place (once: a sprite already in 5-6-5 is
// untouched) and returns a 16-bit 5-6-5 image of its full size holding the
// same pixel values, the first at the top left. A sprite with a zero
// dimension gives a null image.
QImage spriteToImage(S16Sprite& sprite);

// The BMP file image of a 5-6-5 picture: a 16-bit BMP with BI_BITFIELDS and
// the 5-6-5 masks, so every pixel value is kept unchanged; rows bottom-up,
// each padded to a multiple of 4 bytes.
QByteArray encodeBmp565(const QImage& image);

// A photo as the album lists it: "[index] width x height".
QString photoCaption(int index, int width, int height);

// The PNG file image of a picture.
QByteArray encodePng(const QImage& image);

// Writes the BMP through the one writer (atomically, never through a link);
// throws FileCreateError naming the path.
void writeBmp565(const QString& path, const QImage& image);
