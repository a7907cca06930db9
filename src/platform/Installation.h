// Finding the game: its registry key in the Wine prefix's system.reg gives
// the history and genetics directories. The file is only ever read.
#pragma once

#include <QString>
#include <optional>

inline const char* const kGameKey = "Software\\Quenmoor Technology\\Vivarion 2\\1.0";
// The game is a 32-bit program: in a 64-bit prefix its key lives here.
inline const char* const kGameKey32 = "Software\\Wow6432Node\\Quenmoor Technology\\Vivarion 2\\1.0";

struct TInstallation {
    // Host paths used as plain prefixes: file names are appended directly.
    QString HistoryDirectory;
    QString GeneticsDirectory;
};

// $WINEPREFIX, else $HOME/.wine.
QString DefaultWinePrefix();

// nullopt when system.reg is missing or unreadable, or holds neither key.
// A value that is missing or not a string gives an empty directory.
std::optional<TInstallation> LookupInstallation(const QString& prefix = DefaultWinePrefix());

// "X:\dir\sub\" -> "<prefix>/dosdevices/x:/dir/sub/": the drive letter
// lower-cased, every backslash a slash, nothing trimmed or added. A value
// starting with "/" is already a host path.
QString HostPathFromWindows(const QString& prefix, const QString& value);
