#include "sprites/SpriteImage.h"

#include "common/ByteOrder.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QBuffer>
#include <cstring>

QImage spriteToImage(S16Sprite& sprite)
{
    sprite.convertTo565();
    if (sprite.width == 0 || sprite.height == 0)
        return {};
    QImage image(sprite.width, sprite.height, QImage::Format_RGB16);
    const auto* source = sprite.pixels.data();
    const size_t rowBytes = size_t(sprite.width) * 2;
    for (int y = 0; y < sprite.height; ++y)
        std::memcpy(image.scanLine(y), source + size_t(y) * sprite.width, rowBytes);
    return image;
}

QByteArray encodeBmp565(const QImage& source)
{
    const QImage image = source.format() == QImage::Format_RGB16 ? source : source.convertToFormat(QImage::Format_RGB16);
    const int w = image.width(), h = image.height();
    const quint32 stride = (quint32(w) * 2 + 3) & ~3u;
    const quint32 dataOffset = 14 + 40 + 12;
    const quint32 dataSize = stride * quint32(h);

    QByteArray out;
    out.reserve(int(dataOffset + dataSize));
    out.append("BM", 2);
    appendLittleEndian<quint32>(out, dataOffset + dataSize);
    appendLittleEndian<quint32>(out, 0);  // reserved
    appendLittleEndian<quint32>(out, dataOffset);
    appendLittleEndian<quint32>(out, 40);  // BITMAPINFOHEADER
    appendLittleEndian<qint32>(out, w);
    appendLittleEndian<qint32>(out, h);    // positive: rows bottom-up
    appendLittleEndian<quint16>(out, 1);   // planes
    appendLittleEndian<quint16>(out, 16);  // bits per pixel
    appendLittleEndian<quint32>(out, 3);   // BI_BITFIELDS
    appendLittleEndian<quint32>(out, dataSize);
    appendLittleEndian<qint32>(out, 2835);  // 72 dpi
    appendLittleEndian<qint32>(out, 2835);
    appendLittleEndian<quint32>(out, 0);
    appendLittleEndian<quint32>(out, 0);
    appendLittleEndian<quint32>(out, 0xF800);  // red, green and blue masks
    appendLittleEndian<quint32>(out, 0x07E0);
    appendLittleEndian<quint32>(out, 0x001F);
    const QByteArray padding(int(stride) - w * 2, '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const quint16*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            appendLittleEndian<quint16>(out, line[x]);
        out.append(padding);
    }
    return out;
}

QByteArray encodePng(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

void writeBmp565(const QString& path, const QImage& image)
{
    replaceFile(encodePath(path), encodeBmp565(image));
}

QString photoCaption(int index, int width, int height)
{
    return QStringLiteral("[%1] %2 x %3").arg(index).arg(width).arg(height);
}

Album::Album(const QByteArray& path) : path_(path)
{
    file_.loadFromFile(path, kMaxS16PixelBytes, &identity_);
    photos_.resize(size_t(file_.count()));
}

QSize Album::photoSize(int index) const
{
    const S16Sprite& sprite = file_.getSprite(index);
    return {sprite.width, sprite.height};
}

QString Album::caption(int index) const
{
    const QSize size = photoSize(index);
    return photoCaption(index, size.width(), size.height());
}

const QImage& Album::photo(int index)
{
    S16Sprite& sprite = file_.getSprite(index);  // throws outside the album
    std::optional<QImage>& image = photos_[size_t(index)];
    if (!image)
        image = spriteToImage(sprite);
    return *image;
}

bool Album::isCurrent() const
{
    const std::optional<FileIdentity> now = statIdentity(path_);
    return now && now->device == identity_.device && now->inode == identity_.inode && now->size == identity_.size
           && now->modifiedNs == identity_.modifiedNs;
}
