// An S16 album of any bytes loads or fails with one of the reader's errors;
// every sprite loaded can be fetched and converted both ways.
#include "unitS16Handler.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The same code with a smaller limit: zeroing hundreds of megabytes for
    // a few header bytes would slow the search a thousandfold.
    TS16File::PixelByteLimit = 256u << 10;
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TS16File file;
    try {
        file.LoadFromDevice(buffer, QStringLiteral("album.s16"));
    } catch (const ESpriteError&) {
        if (file.Count() != 0 || !file.FileName.isEmpty())
            std::abort();
        return 0;
    } catch (const EReadError&) {
        if (file.Count() != 0 || !file.FileName.isEmpty())
            std::abort();
        return 0;
    }
    for (int i = 0; i < file.Count(); ++i) {
        TS16Sprite& sprite = file.GetSprite(i);
        if (sprite.Pixels.size() != std::size_t(sprite.Width) * sprite.Height)
            std::abort();
        sprite.SetPixelLayout(pl565);
        sprite.SetPixelLayout(pl555);
    }
    try {
        file.GetSprite(file.Count());
        std::abort();
    } catch (const ESpriteError&) {
    }
    return 0;
}
