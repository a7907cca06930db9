#include "sprites/SpriteImage.h"

#include "common/ByteOrder.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QBuffer>
#include <cstring>

QImage SpriteToImage(TS16Sprite& sprite)
{
    sprite.SetPixelLayout(pl565);
    if (sprite.Width == 0 || sprite.Height == 0)
        return {};
    QImage image(sprite.Width, sprite.Height, QImage::Format_RGB16);
    const auto* source = sprite.Pixels.data();
    const size_t rowBytes = size_t(sprite.Width) * 2;
    for (int y = 0; y < sprite.Height; ++y)
        std::memcpy(image.scanLine(y), source + size_t(y) * sprite.Width, rowBytes);
    return image;
}

QByteArray EncodeBmp565(const QImage& source)
{
    const QImage image = source.format() == QImage::Format_RGB16 ? source : source.convertToFormat(QImage::Format_RGB16);
    const int w = image.width(), h = image.height();
    const quint32 stride = (quint32(w) * 2 + 3) & ~3u;
    const quint32 dataOffset = 14 + 40 + 12;
    const quint32 dataSize = stride * quint32(h);

    QByteArray out;
    out.reserve(int(dataOffset + dataSize));
    out.append("BM", 2);
    AppendLittleEndian<quint32>(out, dataOffset + dataSize);
    AppendLittleEndian<quint32>(out, 0);  // reserved
    AppendLittleEndian<quint32>(out, dataOffset);
    AppendLittleEndian<quint32>(out, 40);  // BITMAPINFOHEADER
    AppendLittleEndian<qint32>(out, w);
    AppendLittleEndian<qint32>(out, h);    // positive: rows bottom-up
    AppendLittleEndian<quint16>(out, 1);   // planes
    AppendLittleEndian<quint16>(out, 16);  // bits per pixel
    AppendLittleEndian<quint32>(out, 3);   // BI_BITFIELDS
    AppendLittleEndian<quint32>(out, dataSize);
    AppendLittleEndian<qint32>(out, 2835);  // 72 dpi
    AppendLittleEndian<qint32>(out, 2835);
    AppendLittleEndian<quint32>(out, 0);
    AppendLittleEndian<quint32>(out, 0);
    AppendLittleEndian<quint32>(out, 0xF800);  // red, green and blue masks
    AppendLittleEndian<quint32>(out, 0x07E0);
    AppendLittleEndian<quint32>(out, 0x001F);
    const QByteArray padding(int(stride) - w * 2, '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const quint16*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            AppendLittleEndian<quint16>(out, line[x]);
        out.append(padding);
    }
    return out;
}

QByteArray EncodePng(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

void WriteBmp565(const QString& path, const QImage& image)
{
    ReplaceFile(EncodePath(path), EncodeBmp565(image));
}

QString PhotoCaption(int index, int width, int height)
{
    return QStringLiteral("[%1] %2 x %3").arg(index).arg(width).arg(height);
}
