// An S16 album of any bytes loads or fails with one of the reader's errors;
// every sprite loaded can be fetched and converted both ways.
#include "unitS16Handler.h"

#include <QBuffer>
#include <QFile>
#include <sys/mman.h>
#include <unistd.h>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The same code with a smaller limit: zeroing hundreds of megabytes for
    // a few header bytes would slow the search a thousandfold.
    TS16File::PixelByteLimit = 256u << 10;
    // Half the inputs through a buffer, half through an unbuffered file, as
    // real albums are read (the path that fills many sprites per call).
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QFile memory;
    QIODevice* device = &buffer;
    const int fd = size % 2 ? memfd_create("album", MFD_CLOEXEC) : -1;
    if (fd >= 0 && ::write(fd, data, size) == static_cast<ssize_t>(size) && ::lseek(fd, 0, SEEK_SET) == 0
        && memory.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        device = &memory;
    else if (fd >= 0)
        ::close(fd);
    TS16File file;
    try {
        file.LoadFromDevice(*device, QStringLiteral("album.s16"));
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
