// A creature's three files, its states and the flags of its row, in one
// place. The files are named from the record's moniker text:
//   history directory + "cr_" + moniker               the history record
//   history directory + "photo_" + moniker + ".s16"   the photo album
//   genetics directory + moniker + ".gen"             the genetics file
// The directories are plain prefixes (they carry their own trailing
// separator). A moniker that could reach outside its directory names no file.
#pragma once

#include "history/unitHistoryClass.h"

#include <QString>
#include <cstdint>
#include <optional>

// The State field. Other values are carried as they are and shown as numbers.
enum TCreatureState : std::int32_t { csAlive = 0, csDead = 1, csExported = 2 };

// A row's image index: the state (or kExportedImage), with a flag for each
// file found when the list was filled.
enum TImageFlag : int { ifAlbum = 2, ifGenetics = 4 };
inline constexpr int kExportedImage = 8;  // carries no flag: an exported creature's files are not looked for
// Whether the list found the creature's album, its genetics file.
inline bool HasAlbum(int imageIndex) { return (imageIndex & ifAlbum) != 0; }
inline bool HasGenetics(int imageIndex) { return (imageIndex & ifGenetics) != 0; }

inline constexpr char kHistoryFilePrefix[] = "cr_";
inline constexpr char kAlbumFilePrefix[] = "photo_";
inline constexpr char kAlbumFileSuffix[] = ".s16";
inline constexpr char kGeneticsFileSuffix[] = ".gen";

// The moniker as the program shows it (decoded from the game's code page).
QString MonikerDisplayText(const TMoniker& moniker);

// The moniker as part of a file name: decoded like every record text, as
// Wine names the game's files from the same code page. nullopt when it
// cannot safely name a file (MonikerNamesAFile).
std::optional<QString> MonikerFileText(const TMoniker& moniker);

// The full paths, in the file system's bytes; empty when the moniker names
// no file.
QByteArray AlbumPath(const QByteArray& historyDirectory, const TMoniker& moniker);
QByteArray GeneticsPath(const QByteArray& geneticsDirectory, const TMoniker& moniker);
