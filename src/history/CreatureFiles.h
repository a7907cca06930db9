// A creature's three files, its states and what the list found of them, in
// one place, and the deletion of its files. The files are named from the record's moniker text:
//   history directory + "cr_" + moniker               the history record
//   history directory + "photo_" + moniker + ".s16"   the photo album
//   genetics directory + moniker + ".gen"             the genetics file
// The directories are plain prefixes (they carry their own trailing
// separator). A moniker that could reach outside its directory names no file.
#pragma once

#include "history/HistoryRecord.h"
#include "platform/FileSystem.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The State field. Other values are carried as they are and shown as numbers.
enum CreatureState : std::int32_t { csAlive = 0, csDead = 1, csExported = 2 };

// What the list shows of a creature beside its texts: its state, and
// whether its album and genetics file were found when the list was filled.
// An exported creature's files are not looked for.
struct Badges {
    std::int32_t state = csAlive;
    bool album = false;
    bool genetics = false;

    bool exported() const { return state == csExported; }
    bool operator==(const Badges&) const = default;
};

// The picture a row shows for its badges: the state, plus 2 for an album
// and 4 for a genetics file; 8 for an exported creature. A state the game
// does not know gives an index that shows no picture.
int badgeImageIndex(const Badges& badges);

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

// A creature's files as the list found them: the history record by the
// very name it was listed under, the other two by its moniker (empty where
// the moniker names no file).
struct CreatureFilePaths {
    QByteArray history, album, genetics;
};

enum class CreatureFile { Album, Genetics, History };

// What became of one file of a deletion.
struct FileDeletion {
    CreatureFile file;
    QByteArray path;
    DeleteResult result = DeleteResult::Deleted;
    QString reason;  // why it stays, when it does
};

// Deletes the chosen files, album first and history record last. Every
// deletion is checked and reported; the history record is deleted only when
// it is still the very file read (`historyRead`): one the game rewrote since
// stays, as DeleteResult::Changed. So are the album and the genetics file
// when what they were is given (the copies kept of them).
std::vector<FileDeletion> deleteCreatureFiles(const CreatureFilePaths& paths, bool album, bool genetics, bool history,
                                              const FileIdentity& historyRead, const FileIdentity* albumRead = nullptr,
                                              const FileIdentity* geneticsRead = nullptr);

// The badges after a deletion that kept the history record.
Badges badgesAfter(Badges badges, const std::vector<FileDeletion>& deletions);
