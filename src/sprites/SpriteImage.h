// Sprites as images: the one way a sprite is shown, and BMP files of a
// shown picture.
#pragma once

#include "platform/FileSystem.h"
#include "sprites/S16File.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

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

// A creature's photo album as every window reads it, with one policy: the
// file is read whole when the album is made (a file that cannot be read,
// is cut inside its headers or claims too many pixels throws SpriteError or
// ReadError naming it; one cut inside its pictures has black pixels), and
// each photo becomes an image when first asked for.
class Album {
public:
    explicit Album(const QByteArray& path);

    const QByteArray& path() const { return path_; }
    int count() const { return file_.count(); }
    QSize photoSize(int index) const;
    // "[index] width x height".
    QString caption(int index) const;
    // The photo as a 5-6-5 image of its full size, the album's pixel values
    // unchanged; a photo with a zero side is a null image. Throws SpriteError
    // ("List Index Out of Bounds") for an index outside the album.
    const QImage& photo(int index);

    // Whether the file is still the one read (the game may rewrite it).
    bool isCurrent() const;

private:
    QByteArray path_;
    S16File file_;
    FileIdentity identity_;
    std::vector<std::optional<QImage>> photos_;
};

// The PNG file image of a picture.
QByteArray encodePng(const QImage& image);

// Writes the BMP through the one writer (atomically, never through a link);
// throws FileCreateError naming the path.
void writeBmp565(const QString& path, const QImage& image);
