#include "unitS16Handler.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <climits>
#include <sys/uio.h>
#endif

// ---------------------------------------------------------------- sprite

void TS16Sprite::Resize()
{
    const std::size_t before = Pixels.size();
    Pixels.resize(std::size_t(Width) * Height);
    if (Pixels.size() > before)
        std::fill(Pixels.begin() + std::ptrdiff_t(before), Pixels.end(), std::uint16_t(0));
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
    if ((info.exists() && !info.isFile()) || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw ESpriteError(QStringLiteral("Unable to open file ") + name);
    LoadFromDevice(file, name);
}

// Every block straight into its sprite's buffer. A block cut short gets
// zeros where the file has no bytes; the load succeeds regardless.
void TS16File::ReadPixelBlocks(QIODevice& device)
{
    std::size_t next = 0;  // the first sprite not yet read
#ifdef Q_OS_UNIX
    // From an unbuffered file, one system call fills up to IOV_MAX buffers:
    // an album of many small photos costs little more than one read.
    auto* file = qobject_cast<QFile*>(&device);
    if (file && file->handle() >= 0 && (file->openMode() & QIODevice::Unbuffered)) {
        std::vector<iovec> parts;
        while (next < Sprites.size()) {
            parts.clear();
            std::size_t wanted = 0;
            for (std::size_t i = next; i < Sprites.size() && parts.size() < IOV_MAX; ++i) {
                TPixelBuffer& pixels = Sprites[i]->Pixels;
                parts.push_back({pixels.data(), pixels.size() * 2});
                wanted += pixels.size() * 2;
            }
            std::size_t got = 0;
            for (std::size_t part = 0; part < parts.size();) {
                const ssize_t n = ::readv(file->handle(), &parts[part], static_cast<int>(parts.size() - part));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                got += std::size_t(n);
                // Step over the parts filled; a part filled only partly goes on.
                std::size_t left = std::size_t(n);
                while (part < parts.size() && left >= parts[part].iov_len)
                    left -= parts[part++].iov_len;
                if (part < parts.size() && left > 0) {
                    parts[part].iov_base = static_cast<char*>(parts[part].iov_base) + left;
                    parts[part].iov_len -= left;
                }
            }
            // Zeros where the file ended.
            std::size_t at = 0;
            for (std::size_t i = next; i < next + parts.size(); ++i) {
                auto* bytes = reinterpret_cast<char*>(Sprites[i]->Pixels.data());
                const std::size_t size = Sprites[i]->Pixels.size() * 2;
                if (at + size > got)
                    std::fill(bytes + (got > at ? got - at : 0), bytes + size, '\0');
                at += size;
            }
            next += parts.size();
            if (got < wanted)
                break;
        }
    }
#endif
    for (; next < Sprites.size(); ++next) {
        auto* target = reinterpret_cast<char*>(Sprites[next]->Pixels.data());
        const auto wanted = static_cast<qint64>(Sprites[next]->Pixels.size() * 2);
        const qint64 got = wanted ? std::max<qint64>(device.read(target, wanted), 0) : 0;
        std::fill(target + got, target + wanted, '\0');
    }
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

    // New sprites have no change notification, so their size is set without
    // the setters' zeroing: every pixel is read or zeroed just below.
    Sprites.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto sprite = std::make_unique<TS16Sprite>();
        sprite->Width = U16At(&headers[i * 8 + 4]);
        sprite->Height = U16At(&headers[i * 8 + 6]);
        sprite->Pixels.resize(std::size_t(sprite->Width) * sprite->Height);
        sprite->PixelLayout = layout;
        Sprites.push_back(std::move(sprite));
    }

    ReadPixelBlocks(file);
    for (auto& sprite : Sprites) {
        if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
            for (auto& p : sprite->Pixels)
                p = qFromLittleEndian(p);
        }
    }
    PixelLayout = layout;
    FileName = name;
}
