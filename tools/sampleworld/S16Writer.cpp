#include "sampleworld/S16Writer.h"

#include "common/ByteOrder.h"

#include <QFile>
#include <QtEndian>

std::uint16_t PackPixel(TRgb c, TPixelLayout layout)
{
    if (layout == pl565)
        return static_cast<std::uint16_t>((c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3));
    return static_cast<std::uint16_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3));
}

QByteArray EncodeS16(const std::vector<TPicture>& pictures, TPixelLayout layout)
{
    QByteArray out;
    AppendLittleEndian<std::uint32_t>(out, layout == pl565 ? 1 : 0);
    AppendLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(pictures.size()));
    std::uint32_t offset = 0;
    for (const TPicture& p : pictures) {
        AppendLittleEndian<std::uint32_t>(out, offset);
        AppendLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(p.width));
        AppendLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(p.height));
        offset += static_cast<std::uint32_t>(p.width * p.height * 2);
    }
    for (const TPicture& p : pictures)
        for (const TRgb& c : p.pixels)
            AppendLittleEndian<std::uint16_t>(out, PackPixel(c, layout));
    return out;
}

void WriteS16File(const QString& path, const std::vector<TPicture>& pictures, TPixelLayout layout)
{
    QFile file(path);
    const QByteArray image = EncodeS16(pictures, layout);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
}
