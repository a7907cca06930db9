#include "sampleworld/S16Writer.h"

#include "common/ByteOrder.h"

#include <QFile>
#include <QtEndian>

std::uint16_t packPixel(Rgb c, PixelLayout layout)
{
    if (layout == pl565)
        return static_cast<std::uint16_t>((c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3));
    return static_cast<std::uint16_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3));
}

QByteArray encodeS16(const std::vector<Picture>& pictures, PixelLayout layout)
{
    QByteArray out;
    appendLittleEndian<std::uint32_t>(out, layout == pl565 ? 1 : 0);
    appendLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(pictures.size()));
    std::uint32_t offset = 0;
    for (const Picture& p : pictures) {
        appendLittleEndian<std::uint32_t>(out, offset);
        appendLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(p.width));
        appendLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(p.height));
        offset += static_cast<std::uint32_t>(p.width * p.height * 2);
    }
    for (const Picture& p : pictures)
        for (const Rgb& c : p.pixels)
            appendLittleEndian<std::uint16_t>(out, packPixel(c, layout));
    return out;
}

void writeS16File(const QString& path, const std::vector<Picture>& pictures, PixelLayout layout)
{
    QFile file(path);
    const QByteArray image = encodeS16(pictures, layout);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        throw FileCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
}
