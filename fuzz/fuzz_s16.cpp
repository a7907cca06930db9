// An S16 album of any bytes loads or fails with one of the reader's errors;
// every sprite loaded can be fetched and converted both ways.
#include "sprites/S16File.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A smaller pixel limit than the program's: zeroing hundreds of
    // megabytes for a few header bytes would slow the search a thousandfold.
    constexpr std::uint64_t kFuzzPixelBytes = 256u << 10;
    S16File file;
    try {
        file.loadFromMemory(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                            QStringLiteral("album.s16"), kFuzzPixelBytes);
    } catch (const SpriteError&) {
        if (file.count() != 0 || !file.fileName.isEmpty())
            std::abort();
        return 0;
    } catch (const ReadError&) {
        if (file.count() != 0 || !file.fileName.isEmpty())
            std::abort();
        return 0;
    }
    for (int i = 0; i < file.count(); ++i) {
        S16Sprite& sprite = file.getSprite(i);
        if (sprite.pixels.size() != std::size_t(sprite.width) * sprite.height)
            std::abort();
        sprite.convertTo565();
    }
    try {
        file.getSprite(file.count());
        std::abort();
    } catch (const SpriteError&) {
    }
    return 0;
}
