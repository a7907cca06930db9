// An S16 album of any bytes loads or fails with one of the reader's errors;
// every sprite loaded can be fetched and converted both ways.
#include "sprites/unitS16Handler.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A smaller pixel limit than the program's: zeroing hundreds of
    // megabytes for a few header bytes would slow the search a thousandfold.
    constexpr std::uint64_t kFuzzPixelBytes = 256u << 10;
    TS16File file;
    try {
        file.LoadFromMemory(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                            QStringLiteral("album.s16"), kFuzzPixelBytes);
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
