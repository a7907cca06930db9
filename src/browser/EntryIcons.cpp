#include "browser/EntryIcons.h"

#include "history/CreatureFiles.h"

#include <QColor>
#include <QImage>
#include <cstring>

namespace {

using Art = std::initializer_list<const char*>;

const Art kHead = {
    "................", ".##..........##.", "#oo#........#oo#", "#ooo#......#ooo#",
    ".#ooo######ooo#.", "..#oooooooooo#..", ".#oooooooooooo#.", ".#oowkoooowkoo#.",
    ".#oowkoooowkoo#.", ".#oooooooooooo#.", ".#ooooo##ooooo#.", "..#oopoooopoo#..",
    "..#oooo##oooo#..", "...#oooooooo#...", "....########....", "................"};

const Art kGrave = {
    "................", "......####......", "....##llll##....", "...#llllllll#...",
    "..#llllGGllll#..", "..#llGGGGGGll#..", "..#llllGGllll#..", "..#llllGGllll#..",
    "..#llllllllll#..", "..#llGGGGGGll#..", "..#llllllllll#..", "..#llGGGGGGll#..",
    "..#llllllllll#..", ".r#gggggggggg#r.", "rrrrrrrrrrrrrrrr", "................"};

const Art kPhoto = {"nnnnnnnn", "nssssyyn", "nssssyyn", "nssssssn", "nrrsssrn", "nrrrrrrn", "nnnnnnnn"};

const Art kLetterG = {".bbbb.", "bb..bb", "bb....", "bb.bbb", "bb..bb", "bb..bb", ".bbbb."};

const Art kQuestion = {
    "................", ".....bbbbbb.....", "....bbbbbbbb....", "...bbb....bbb...",
    "...bbb....bbb...", "..........bbb...", ".........bbb....", "........bbb.....",
    ".......bbb......", ".......bbb......", ".......bbb......", "................",
    ".......bbb......", ".......bbb......", "................", "................"};

QColor ink(char c)
{
    switch (c) {
    case '#': return QColor(60, 40, 30);
    case 'o': return QColor(240, 150, 50);
    case 'w': return QColor(255, 255, 255);
    case 'k': return QColor(20, 20, 20);
    case 'p': return QColor(250, 120, 140);
    case 'l': return QColor(190, 190, 200);
    case 'G': return QColor(110, 110, 120);
    case 'g': return QColor(150, 150, 160);
    case 'r': return QColor(60, 160, 60);
    case 'n': return QColor(140, 90, 40);
    case 's': return QColor(120, 190, 250);
    case 'y': return QColor(250, 220, 40);
    case 'b': return QColor(20, 70, 220);
    default: return QColor(0, 0, 0, 0);
    }
}

// Paints art onto the image at (x, y); with a halo, the transparent
// neighbours of painted pixels become white so a badge stands out.
void paint(QImage& image, const Art& art, int x, int y, bool halo = false)
{
    const int h = static_cast<int>(art.size());
    auto at = [&](int col, int row) {
        return row >= 0 && row < h && col >= 0 && col < static_cast<int>(std::strlen(art.begin()[row]))
                   ? art.begin()[row][col]
                   : '.';
    };
    if (halo) {
        for (int row = -1; row <= h; ++row)
            for (int col = -1; col <= 16; ++col)
                if (at(col, row) == '.' && (at(col - 1, row) != '.' || at(col + 1, row) != '.'
                                            || at(col, row - 1) != '.' || at(col, row + 1) != '.')
                    && image.valid(x + col, y + row))
                    image.setPixelColor(x + col, y + row, Qt::white);
    }
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < static_cast<int>(std::strlen(art.begin()[row])); ++col)
            if (at(col, row) != '.' && image.valid(x + col, y + row))
                image.setPixelColor(x + col, y + row, ink(at(col, row)));
}

// The picture of a row's image index (badgeImageIndex): the state, +2 for
// the album, +4 for the genetics file; 8 for an exported creature.
constexpr int kAlbumBit = 2, kGeneticsBit = 4, kExportedPicture = 8;

QImage picture(int index)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (index == kExportedPicture) {
        paint(image, kQuestion, 0, 0);
        return image;
    }
    paint(image, (index & csDead) ? kGrave : kHead, 0, 0);
    if (index & kGeneticsBit)
        paint(image, kLetterG, 10, 1, true);
    if (index & kAlbumBit)
        paint(image, kPhoto, 8, 9, true);
    return image;
}

}  // namespace

QList<QPixmap> makeEntriesImages()
{
    QList<QPixmap> images;
    for (int i = 0; i <= kExportedPicture; ++i)
        images.append(QPixmap::fromImage(picture(i)));
    return images;
}

QImage applicationIconArt()
{
    return picture(3);
}

QIcon makeWindowIcon()
{
    QIcon icon;
    const QImage base = applicationIconArt();
    for (int scale : {1, 2, 3, 4})  // 16 to 64; the installed hicolor icons serve larger sizes
        icon.addPixmap(QPixmap::fromImage(base.scaled(16 * scale, 16 * scale)));
    return icon;
}
