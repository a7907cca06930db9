#include "unitS16Handler.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

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

void TS16File::Clear()
{
    Sprites.clear();
    FileName.clear();
    PixelLayout = pl565;
}

TS16Sprite& TS16File::GetSprite(int index)
{
    if (index < 0 || index >= Count())
        throw ESpriteError(QStringLiteral("List Index Out of Bounds"));
    return *Sprites[std::size_t(index)];
}

namespace {

std::uint16_t U16At(const char* p)
{
    return qFromLittleEndian<std::uint16_t>(p);
}

}  // namespace

void TS16File::LoadFromFile(const QString& name)
{
    Clear();
    QFile file(name);
    // A directory or a pipe is no sprite file (and a pipe would block the open).
    const QFileInfo info(name);
    if ((info.exists() && !info.isFile()) || !file.open(QIODevice::ReadOnly))
        throw ESpriteError(QStringLiteral("Unable to open file ") + name);
    LoadFromDevice(file, name);
}

void TS16File::LoadFromDevice(QIODevice& file, const QString& name)
{
    Clear();
    auto readExactly = [&](char* target, qint64 size) {
        if (file.read(target, size) != size)
            throw EReadError(QStringLiteral("The sprite file \"%1\" ends inside its headers.").arg(name));
    };

    char head[6];
    readExactly(head, 6);
    const TPixelLayout layout = (qFromLittleEndian<std::uint32_t>(head) & 1) ? pl565 : pl555;
    const std::uint16_t count = U16At(head + 4);

    // All headers first: a file cut short there leaves the object empty
    // rather than half built.
    std::vector<char> headers(std::size_t(count) * 8);
    readExactly(headers.data(), static_cast<qint64>(headers.size()));

    std::uint64_t pixelBytes = 0;
    for (std::size_t i = 0; i < count; ++i)
        pixelBytes += std::uint64_t(U16At(&headers[i * 8 + 4])) * U16At(&headers[i * 8 + 6]) * 2;
    if (pixelBytes > PixelByteLimit)
        throw ESpriteError(QStringLiteral("The sprite file \"%1\" claims %2 MiB of pixels; at most %3 MiB are accepted.")
                               .arg(name)
                               .arg(pixelBytes >> 20)
                               .arg(PixelByteLimit >> 20));

    Sprites.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto sprite = std::make_unique<TS16Sprite>();
        sprite->SetWidth(U16At(&headers[i * 8 + 4]));
        sprite->SetHeight(U16At(&headers[i * 8 + 6]));
        sprite->PixelLayout = layout;
        Sprites.push_back(std::move(sprite));
    }

    // One read per sprite, straight into its (zero-filled) buffer. A block
    // cut short keeps zeros where the file has no bytes; the load succeeds.
    for (auto& sprite : Sprites) {
        if (!sprite->Pixels.empty())
            file.read(reinterpret_cast<char*>(sprite->Pixels.data()), static_cast<qint64>(sprite->Pixels.size() * 2));
        if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
            for (auto& p : sprite->Pixels)
                p = qFromLittleEndian(p);
        }
    }
    PixelLayout = layout;
    FileName = name;
}
