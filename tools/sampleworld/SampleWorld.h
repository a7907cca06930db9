// A complete sample installation of the game inside a Wine-style prefix:
//   OUTDIR/system.reg                  the game's registry key
//   OUTDIR/dosdevices/c: -> ../drive_c
//   OUTDIR/drive_c/Program Files/Quenmoor/Vivarion 2/{History,Genetics}/
// about forty creatures covering every state, code and file combination the
// browser distinguishes. Every run writes the same bytes.
#pragma once

#include "history/unitHistoryClass.h"
#include "sampleworld/S16Writer.h"

#include <QByteArray>
#include <QString>
#include <vector>

struct TSampleCreature {
    QByteArray HistoryFile;     // the history file's name, "cr_" + moniker (one in capitals)
    THistoryEntry Entry;
    int AlbumPhotos = -1;       // -1: no album; 0: an album without photos
    TPixelLayout AlbumLayout = pl565;
    bool Genetics = false;
};

struct TSampleWorld {
    QString Prefix;       // the Wine prefix (OUTDIR)
    QString HistoryDir;   // host paths, ending in '/'
    QString GeneticsDir;
};

// The creatures of the sample installation, in the order they are written.
const std::vector<TSampleCreature>& SampleCreatures();

// The album pictures of a creature with `photos` photos; the same moniker
// always gets the same pictures.
std::vector<TPicture> SampleAlbum(const QByteArray& moniker, int photos);

// One drawn picture: kind picks the motif (sun, face, rings, checks, heart, stripes).
TPicture DrawPicture(int kind, int width, int height);

// The Windows paths the registry holds.
inline const char* const kSampleHistoryWinPath = "C:\\Program Files\\Quenmoor\\Vivarion 2\\History\\";
inline const char* const kSampleGeneticsWinPath = "C:\\Program Files\\Quenmoor\\Vivarion 2\\Genetics\\";

// The registry text as Wine writes it, holding the game's key with the two
// values (under Wow6432Node when wow64 is set, as in a 64-bit prefix).
QByteArray SampleRegistryText(const QString& historyWinPath, const QString& geneticsWinPath, bool wow64 = false);

// Writes the whole installation below outDir (created if needed). Throws
// EFCreateError when something cannot be written.
TSampleWorld WriteSampleWorld(const QString& outDir);

// Adds `count` generated creatures to a world, for trying Lifeledger at
// scale: each is the child of two earlier ones (one of the last 40, one of
// the last 400), so lines run deep and families wide; every 50th has an
// album of three photos, every third a genetics file. Monikers are four
// capitals and digits that no sample creature uses; every run writes the
// same bytes.
void WriteGeneratedCreatures(const TSampleWorld& world, int count);

// Writes one creature's files into a world (history record, album, genetics).
void WriteSampleCreature(const TSampleWorld& world, const TSampleCreature& creature);

// The unpacked content of a gzip file (the real Wine registry kept for tests
// and benchmarks); empty when it cannot be read.
QByteArray GunzipFile(const QString& path);

// Writes a file whole or throws EFCreateError.
void WriteWholeFile(const QString& path, const QByteArray& bytes);
