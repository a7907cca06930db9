// S16 sprite files: the game's containers of 16-bit pictures.
//
// Encoding (little-endian, unsigned, packed):
//   u32 flags      bit 0: 1 = every sprite is 5-6-5, 0 = 5-5-5; rest unused
//   u16 count      N
//   N x header     u32 offset (never used: blocks are found by position),
//                  u16 width, u16 height
//   N x block      width * height u16 pixels, rows top to bottom, no padding,
//                  each block directly after the previous one
// A file that ends inside the blocks still loads; its missing pixels are 0.
#pragma once

#include "common/Exception.h"
#include "platform/FileSystem.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

enum PixelLayout { pl565, pl555 };

class SpriteError : public Exception {
public:
    using Exception::Exception;
};

// Most pixel memory one file may claim: 16-bit dimensions would allow 8 GiB
// per sprite and 65,535 sprites, so a damaged or hostile header could
// otherwise exhaust memory. Real albums hold small photos; 256 MiB is more
// than a thousand times the largest.
inline constexpr std::uint64_t kMaxS16PixelBytes = 256ull << 20;

// Pixel memory left as it comes from the allocator: the file's bytes are
// read straight into it, and a second pass to zero it first would cost as
// much as the read.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    using std::allocator<T>::allocator;
    template <class U, class... Args>
    void construct(U* at, Args&&... args)
    {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void*>(at)) U;
        else
            ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
};
using PixelBuffer = std::vector<std::uint16_t, UninitializedAllocator<std::uint16_t>>;

class S16Sprite {
public:
    std::uint16_t height = 0;
    std::uint16_t width = 0;
    PixelLayout pixelLayout = pl565;
    PixelBuffer pixels;  // width * height values, row by row

    // Converts the pixels to 5-6-5 in place, once (a sprite in 5-6-5 is
    // untouched): green moves up one bit and its new lowest bit is 0, so
    // every 5-5-5 value maps to exactly one 5-6-5 value.
    void convertTo565();
};

// The in-place conversion of a pixel run; one pass, no allocation.
void convert555To565(std::uint16_t* pixels, std::size_t count);

class S16File {
public:
    QString fileName;
    std::vector<std::unique_ptr<S16Sprite>> sprites;
    PixelLayout pixelLayout = pl565;

    void clear();

    // Replaces the content by the file's. Throws SpriteError when the file
    // cannot be opened ("Unable to open file <path>") or claims more than
    // maxPixelBytes of pixels, and ReadError when it ends inside its
    // headers; the object is empty after any failure.
    // `identity`, when given, receives what the file was when it was read.
    void loadFromFile(const QByteArray& path, std::uint64_t maxPixelBytes = kMaxS16PixelBytes,
                      FileIdentity* identity = nullptr);

    // The same from a file image in memory; `name` is what messages and
    // FileName name.
    void loadFromMemory(QByteArrayView bytes, const QString& name, std::uint64_t maxPixelBytes = kMaxS16PixelBytes);

    // Throws SpriteError "List Index Out of Bounds" outside 0..Count()-1.
    S16Sprite& getSprite(int index);
    const S16Sprite& getSprite(int index) const;
    int count() const { return static_cast<int>(sprites.size()); }

private:
    // Reads the file's next bytes into the ranges, one after another;
    // returns how many (fewer only at its end).
    using ReadFunction = std::function<qint64(std::span<const ByteRange> into)>;
    void load(const ReadFunction& read, const QString& name, std::uint64_t maxPixelBytes);
};
