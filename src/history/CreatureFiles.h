// A creature's three files, its states and the flags of its row, in one
// place. The files are named from the record's moniker text:
//   history directory + "cr_" + moniker               the history record
//   history directory + "photo_" + moniker + ".s16"   the photo album
//   genetics directory + moniker + ".gen"             the genetics file
// The directories are plain prefixes (they carry their own trailing
// separator). A moniker that could reach outside its directory names no file.
#pragma once

#include "history/HistoryRecord.h"

#include <QString>
#include <cstdint>
#include <optional>

// The State field. Other values are carried as they are and shown as numbers.
enum CreatureState : std::int32_t { csAlive = 0, csDead = 1, csExported = 2 };

// A row's image index: the state (or kExportedImage), with a flag for each
// file found when the list was filled.
enum ImageFlag : int { ifAlbum = 2, ifGenetics = 4 };
inline constexpr int kExportedImage = 8;  // carries no flag: an exported creature's files are not looked for
// Whether the list found the creature's album, its genetics file.
inline bool hasAlbum(int imageIndex) { return (imageIndex & ifAlbum) != 0; }
inline bool hasGenetics(int imageIndex) { return (imageIndex & ifGenetics) != 0; }

inline constexpr char kHistoryFilePrefix[] = "cr_";
inline constexpr char kAlbumFilePrefix[] = "photo_";
inline constexpr char kAlbumFileSuffix[] = ".s16";
inline constexpr char kGeneticsFileSuffix[] = ".gen";

// The moniker as the program shows it (decoded from the game's code page).
QString monikerDisplayText(const Moniker& moniker);

// The moniker as part of a file name: decoded like every record text, as
// Wine names the game's files from the same code page. nullopt when it
// cannot safely name a file (MonikerNamesAFile).
std::optional<QString> monikerFileText(const Moniker& moniker);

// The full paths, in the file system's bytes; empty when the moniker names
// no file.
QByteArray albumPath(const QByteArray& historyDirectory, const Moniker& moniker);
QByteArray geneticsPath(const QByteArray& geneticsDirectory, const Moniker& moniker);
