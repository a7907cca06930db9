// Writes S16 sprite files. Lifeledger itself never writes them; the sample
// installation, the tests and the benchmarks need albums to read.
#pragma once

#include "sprites/unitS16Handler.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

struct TRgb {
    std::uint8_t r, g, b;
};

// One picture in 8-bit RGB, row by row from the top.
struct TPicture {
    int width = 0;
    int height = 0;
    std::vector<TRgb> pixels;
};

std::uint16_t PackPixel(TRgb c, TPixelLayout layout);

// The whole file image: flags, count, headers (offsets filled in as the game
// would, though readers ignore them) and the pixel blocks.
QByteArray EncodeS16(const std::vector<TPicture>& pictures, TPixelLayout layout);

// Writes the file or throws EFCreateError.
void WriteS16File(const QString& path, const std::vector<TPicture>& pictures, TPixelLayout layout);
