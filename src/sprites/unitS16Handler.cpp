#include "sprites/unitS16Handler.h"

#include "common/ByteOrder.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------- sprite

void TS16Sprite::Resize()
{
    Pixels.resize(std::size_t(Width) * Height);
}

void TS16Sprite::SetWidth(std::uint16_t value)
{
    Width = value;
    Resize();
    if (OnChange)
        OnChange(*this);
}

void TS16Sprite::SetHeight(std::uint16_t value)
{
    Height = value;
    Resize();
    if (OnChange)
        OnChange(*this);
}

void Convert555To565(std::uint16_t* pixels, std::size_t count)
{
    // Blue stays; green and red move up one bit together; bit 15 is dropped.
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t p = pixels[i];
        pixels[i] = static_cast<std::uint16_t>((p & 0x001F) | ((p & 0x7FE0) << 1));
    }
}

void Convert565To555(std::uint16_t* pixels, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t p = pixels[i];
        pixels[i] = static_cast<std::uint16_t>((p & 0x001F) | ((p >> 1) & 0x7FE0));
    }
}

void TS16Sprite::SetPixelLayout(TPixelLayout value)
{
    if (value == PixelLayout)
        return;
    if (value == pl565)
        Convert555To565(Pixels.data(), Pixels.size());
    else
        Convert565To555(Pixels.data(), Pixels.size());
    PixelLayout = value;
}

// ---------------------------------------------------------------- file

namespace {

constexpr qint64 kFileHeaderBytes = 6;
constexpr qint64 kSpriteHeaderBytes = 8;

}  // namespace

void TS16File::Clear()
{
    Sprites.clear();
    FileName.clear();
    PixelLayout = pl565;
}

TS16Sprite& TS16File::GetSprite(int index)
{
    if (index < 0 || index >= Count())
        throw ESpriteError(QCoreApplication::translate("TS16File", "List Index Out of Bounds"));
    return *Sprites[std::size_t(index)];
}

void TS16File::LoadFromFile(const QByteArray& path, std::uint64_t maxPixelBytes)
{
    Clear();
    const QString name = PathText(path);
    std::unique_ptr<TFileReader> file;
    try {
        file = std::make_unique<TFileReader>(path);
    } catch (const EFOpenError&) {
        // A missing file, a folder, a pipe: no sprite file, one message.
        throw ESpriteError(QCoreApplication::translate("TS16File", "Unable to open file ") + name);
    }
    Load([&file](char* into, qint64 n) { return file->Read(into, n); }, name, maxPixelBytes);
}

void TS16File::LoadFromMemory(QByteArrayView bytes, const QString& name, std::uint64_t maxPixelBytes)
{
    qint64 at = 0;
    Load(
        [&](char* into, qint64 n) {
            const qint64 got = std::min(n, qint64(bytes.size()) - at);
            if (got > 0)
                std::memcpy(into, bytes.data() + at, size_t(got));
            at += got;
            return got;
        },
        name, maxPixelBytes);
}

void TS16File::Load(const TRead& read, const QString& name, std::uint64_t maxPixelBytes)
{
    Clear();
    auto readExactly = [&](char* target, qint64 size) {
        if (read(target, size) != size)
            throw EReadError(QCoreApplication::translate("TS16File", "The sprite file \"%1\" ends inside its headers.").arg(name));
    };

    char head[kFileHeaderBytes];
    readExactly(head, kFileHeaderBytes);
    const TPixelLayout layout = (ReadLittleEndian<std::uint32_t>(head) & 1) ? pl565 : pl555;
    const auto count = ReadLittleEndian<std::uint16_t>(head + 4);

    // All headers first: a file cut short there leaves the object empty
    // rather than half built.
    std::vector<char> headers(std::size_t(count) * kSpriteHeaderBytes);
    readExactly(headers.data(), static_cast<qint64>(headers.size()));
    auto width = [&](std::size_t i) { return ReadLittleEndian<std::uint16_t>(&headers[i * kSpriteHeaderBytes + 4]); };
    auto height = [&](std::size_t i) { return ReadLittleEndian<std::uint16_t>(&headers[i * kSpriteHeaderBytes + 6]); };

    // Checked before anything is allocated: 16-bit sizes allow gigabytes.
    std::uint64_t pixelBytes = 0;
    for (std::size_t i = 0; i < count; ++i)
        pixelBytes += std::uint64_t(width(i)) * height(i) * 2;
    if (pixelBytes > maxPixelBytes)
        throw ESpriteError(QCoreApplication::translate("TS16File", "The sprite file \"%1\" claims %2 MiB of pixels; at most %3 MiB are accepted.")
                               .arg(name)
                               .arg(pixelBytes >> 20)
                               .arg(maxPixelBytes >> 20));

    Sprites.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto sprite = std::make_unique<TS16Sprite>();
        sprite->Width = width(i);
        sprite->Height = height(i);
        sprite->Pixels.resize(std::size_t(sprite->Width) * sprite->Height);
        sprite->PixelLayout = layout;
        Sprites.push_back(std::move(sprite));
    }

    // One read per sprite, straight into its buffer. A block cut short keeps
    // zeros where the file has no bytes; the load succeeds regardless.
    for (auto& sprite : Sprites) {
        auto* target = reinterpret_cast<char*>(sprite->Pixels.data());
        const auto wanted = static_cast<qint64>(sprite->Pixels.size() * 2);
        if (wanted > 0)
            read(target, wanted);
        if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
            for (auto& p : sprite->Pixels)
                p = ReadLittleEndian<std::uint16_t>(&p);
        }
    }
    PixelLayout = layout;
    FileName = name;
}
