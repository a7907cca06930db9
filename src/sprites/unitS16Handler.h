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

#include <QIODevice>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

enum TPixelLayout { pl565, pl555 };

class ESpriteError : public Exception {
public:
    using Exception::Exception;
};

// Most pixel memory one file may claim: 16-bit dimensions would allow 8 GiB
// per sprite and 65,535 sprites, so a damaged or hostile header could
// otherwise exhaust memory. Real albums hold small photos; 256 MiB is more
// than a thousand times the largest.
inline constexpr std::uint64_t kMaxS16PixelBytes = 256ull << 20;

// A vector that leaves new elements uninitialised when it grows, so a
// loader can read pixels straight into fresh memory without zeroing it first.
template <typename T>
struct TUninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = TUninitializedAllocator<U>;
    };
    TUninitializedAllocator() = default;
    template <typename U>
    TUninitializedAllocator(const TUninitializedAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using TPixelBuffer = std::vector<std::uint16_t, TUninitializedAllocator<std::uint16_t>>;

class TS16Sprite {
public:
    std::uint16_t Height = 0;
    std::uint16_t Width = 0;
    TPixelLayout PixelLayout = pl565;
    TPixelBuffer Pixels;  // Width * Height values, row by row
    std::function<void(TS16Sprite&)> OnChange;

    // Each resizes Pixels to Width * Height, keeping what fits; new pixels are 0.
    void SetWidth(std::uint16_t value);
    void SetHeight(std::uint16_t value);

    // Converts the pixels in place when the layout differs. 5-5-5 to 5-6-5
    // moves green up one bit and leaves the new lowest green bit 0; 5-6-5 to
    // 5-5-5 drops the lowest green bit, so 5-5-5 -> 5-6-5 -> 5-5-5 is exact.
    void SetPixelLayout(TPixelLayout value);

private:
    friend class TS16File;
    void Resize();
};

// In-place conversions of a pixel run; one pass, no allocation.
void Convert555To565(std::uint16_t* pixels, std::size_t count);
void Convert565To555(std::uint16_t* pixels, std::size_t count);

class TS16File {
public:
    QString FileName;
    std::vector<std::unique_ptr<TS16Sprite>> Sprites;
    TPixelLayout PixelLayout = pl565;

    // The pixel memory one load may claim; kMaxS16PixelBytes unless a fuzzer
    // lowers it to keep its runs fast.
    static inline std::uint64_t PixelByteLimit = kMaxS16PixelBytes;

    void Clear();

    // Replaces the content by the file's. Throws ESpriteError when the file
    // cannot be opened ("Unable to open file <path>") or claims more than
    // kMaxS16PixelBytes of pixels, and EReadError when it ends inside its
    // headers; the object is empty after any failure.
    void LoadFromFile(const QString& name);

    // The same from an open device; `name` is what messages and FileName
    // name.
    void LoadFromDevice(QIODevice& device, const QString& name);

    // Throws ESpriteError "List Index Out of Bounds" outside 0..Count()-1.
    TS16Sprite& GetSprite(int index);
    int Count() const { return static_cast<int>(Sprites.size()); }

private:
    void ReadPixelBlocks(QIODevice& device);
};
