#include "sprites/S16File.h"

#include "common/ByteOrder.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------- sprite

void convert555To565(std::uint16_t* pixels, std::size_t count)
{
    // Blue stays; green and red move up one bit together; bit 15 is dropped.
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t p = pixels[i];
        pixels[i] = static_cast<std::uint16_t>((p & 0x001F) | ((p & 0x7FE0) << 1));
    }
}

void S16Sprite::convertTo565()
{
    if (pixelLayout == pl565)
        return;
    convert555To565(pixels.data(), pixels.size());
    pixelLayout = pl565;
}

// ---------------------------------------------------------------- file

namespace {

constexpr qint64 kFileHeaderBytes = 6;
constexpr qint64 kSpriteHeaderBytes = 8;

}  // namespace

void S16File::clear()
{
    sprites.clear();
    fileName.clear();
    pixelLayout = pl565;
}

const S16Sprite& S16File::getSprite(int index) const
{
    if (index < 0 || index >= count())
        throw SpriteError(QCoreApplication::translate("S16File", "List Index Out of Bounds"));
    return *sprites[std::size_t(index)];
}

S16Sprite& S16File::getSprite(int index)
{
    return const_cast<S16Sprite&>(std::as_const(*this).getSprite(index));
}

void S16File::loadFromFile(const QByteArray& path, std::uint64_t maxPixelBytes, FileIdentity* identity)
{
    clear();
    const QString name = pathText(path);
    std::unique_ptr<FileReader> file;
    try {
        file = std::make_unique<FileReader>(path);
    } catch (const FileOpenError& why) {
        // A missing file, a folder, a pipe: no sprite file, one message, and
        // the reason under its details.
        throw SpriteError(QCoreApplication::translate("S16File", "Unable to open file %1").arg(name), why.message);
    }
    load([&file](std::span<const ByteRange> into) { return file->read(into); }, name, maxPixelBytes);
    if (identity)
        *identity = file->identity();
}

void S16File::loadFromMemory(QByteArrayView bytes, const QString& name, std::uint64_t maxPixelBytes)
{
    qint64 at = 0;
    load(
        [&](std::span<const ByteRange> into) {
            qint64 total = 0;
            for (const ByteRange& range : into) {
                const qint64 got = std::max<qint64>(0, std::min(range.size, qint64(bytes.size()) - at));
                if (got > 0)
                    std::memcpy(range.data, bytes.data() + at, size_t(got));
                at += got;
                total += got;
            }
            return total;
        },
        name, maxPixelBytes);
}

void S16File::load(const ReadFunction& read, const QString& name, std::uint64_t maxPixelBytes)
{
    clear();
    auto readExactly = [&](char* target, qint64 size) {
        const ByteRange range{target, size};
        if (read({&range, 1}) != size)
            throw ReadError(QCoreApplication::translate("S16File", "The sprite file \"%1\" ends inside its headers.").arg(name));
    };

    char head[kFileHeaderBytes];
    readExactly(head, kFileHeaderBytes);
    const PixelLayout layout = (readLittleEndian<std::uint32_t>(head) & 1) ? pl565 : pl555;
    const auto count = readLittleEndian<std::uint16_t>(head + 4);

    // All headers first: a file cut short there leaves the object empty
    // rather than half built.
    std::vector<char> headers(std::size_t(count) * kSpriteHeaderBytes);
    readExactly(headers.data(), static_cast<qint64>(headers.size()));
    auto width = [&](std::size_t i) { return readLittleEndian<std::uint16_t>(&headers[i * kSpriteHeaderBytes + 4]); };
    auto height = [&](std::size_t i) { return readLittleEndian<std::uint16_t>(&headers[i * kSpriteHeaderBytes + 6]); };

    // Checked before anything is allocated: 16-bit sizes allow gigabytes.
    std::uint64_t pixelBytes = 0;
    for (std::size_t i = 0; i < count; ++i)
        pixelBytes += std::uint64_t(width(i)) * height(i) * 2;
    if (pixelBytes > maxPixelBytes)
        throw SpriteError(QCoreApplication::translate("S16File", "The sprite file \"%1\" claims %2 MiB of pixels; at most %3 MiB are accepted.")
                               .arg(name)
                               .arg(pixelBytes >> 20)
                               .arg(maxPixelBytes >> 20));

    sprites.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto sprite = std::make_unique<S16Sprite>();
        sprite->width = width(i);
        sprite->height = height(i);
        sprite->pixels.resize(std::size_t(sprite->width) * sprite->height);
        sprite->pixelLayout = layout;
        sprites.push_back(std::move(sprite));
    }

    // Straight into the sprites' buffers, with one system call for many. A
    // block cut short keeps zeros where the file has no bytes; the load
    // succeeds regardless.
    std::vector<ByteRange> blocks;
    blocks.reserve(sprites.size());
    for (auto& sprite : sprites)
        blocks.push_back({reinterpret_cast<char*>(sprite->pixels.data()), static_cast<qint64>(sprite->pixels.size() * 2)});
    qint64 left = read(blocks);
    for (const ByteRange& block : blocks) {
        const qint64 filled = std::min(left, block.size);
        if (filled < block.size)  // (an empty photo has no memory to point at)
            std::memset(block.data + filled, 0, size_t(block.size - filled));
        left -= filled;
    }
    if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
        for (auto& sprite : sprites)
            for (auto& p : sprite->pixels)
                p = readLittleEndian<std::uint16_t>(&p);
    }
    pixelLayout = layout;
    fileName = name;
}
