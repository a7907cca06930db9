// Writes S16 sprite files. Lifeledger itself never writes them; the sample
// installation, the tests and the benchmarks need albums to read.
#pragma once

#include "sprites/S16File.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

struct Rgb {
    std::uint8_t r, g, b;
};

// One picture in 8-bit RGB, row by row from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
};

std::uint16_t packPixel(Rgb c, PixelLayout layout);

// The whole file image: flags, count, headers (offsets filled in as the game
// would, though readers ignore them) and the pixel blocks.
QByteArray encodeS16(const std::vector<Picture>& pictures, PixelLayout layout);

// Writes the file or throws FileCreateError.
void writeS16File(const QString& path, const std::vector<Picture>& pictures, PixelLayout layout);
