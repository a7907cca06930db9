// A complete sample installation of the game inside a Wine-style prefix:
//   OUTDIR/system.reg                  the game's registry key
//   OUTDIR/dosdevices/c: -> ../drive_c
//   OUTDIR/drive_c/Program Files/Quenmoor/Vivarion 2/{History,Genetics}/
// about forty creatures covering every state, code and file combination the
// browser distinguishes. Every run writes the same bytes.
#pragma once

#include "history/HistoryRecord.h"
#include "sampleworld/S16Writer.h"

#include <QByteArray>
#include <QString>
#include <vector>

struct SampleCreature {
    QByteArray historyFile;     // the history file's name, "cr_" + moniker (one in capitals)
    HistoryRecord entry;
    int albumPhotos = -1;       // -1: no album; 0: an album without photos
    PixelLayout albumLayout = pl565;
    bool genetics = false;
};

struct SampleWorld {
    QString prefix;       // the Wine prefix (OUTDIR)
    QString historyDir;   // host paths, ending in '/'
    QString geneticsDir;
};

// The creatures of the sample installation, in the order they are written.
const std::vector<SampleCreature>& sampleCreatures();

// The album pictures of a creature with `photos` photos; the same moniker
// always gets the same pictures.
std::vector<Picture> sampleAlbum(const QByteArray& moniker, int photos);

// One drawn picture: kind picks the motif (sun, face, rings, checks, heart, stripes).
Picture drawPicture(int kind, int width, int height);

// The Windows paths the registry holds.
inline const char* const kSampleHistoryWinPath = "C:\\Program Files\\Quenmoor\\Vivarion 2\\History\\";
inline const char* const kSampleGeneticsWinPath = "C:\\Program Files\\Quenmoor\\Vivarion 2\\Genetics\\";

// The registry text as Wine writes it, holding the game's key with the two
// values (under Wow6432Node when wow64 is set, as in a 64-bit prefix).
QByteArray sampleRegistryText(const QString& historyWinPath, const QString& geneticsWinPath, bool wow64 = false);

// Writes the whole installation below outDir (created if needed). Throws
// FileCreateError when something cannot be written.
SampleWorld writeSampleWorld(const QString& outDir);

// Adds `count` generated creatures to a world, for trying Lifeledger at
// scale: each is the child of two earlier ones (one of the last 40, one of
// the last 400), so lines run deep and families wide; every 50th has an
// album of three photos, every third a genetics file. Monikers are four
// capitals and digits that no sample creature uses; every run writes the
// same bytes.
void writeGeneratedCreatures(const SampleWorld& world, int count);

// Writes one creature's files into a world (history record, album, genetics).
void writeSampleCreature(const SampleWorld& world, const SampleCreature& creature);

// The unpacked content of a gzip file (the real Wine registry kept for tests
// and benchmarks); empty when it cannot be read.
QByteArray gunzipFile(const QString& path);

// Writes a file whole or throws FileCreateError.
void writeWholeFile(const QString& path, const QByteArray& bytes);
