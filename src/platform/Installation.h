// Finding the game: its registry key in the Wine prefix's system.reg gives
// the history and genetics directories. The file is only ever read.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

inline const char* const kGameKey = "Software\\Quenmoor Technology\\Vivarion 2\\1.0";
// The game is a 32-bit program: in a 64-bit prefix its key lives here.
inline const char* const kGameKey32 = "Software\\Wow6432Node\\Quenmoor Technology\\Vivarion 2\\1.0";

// Paths are the file system's bytes from here on, as a folder lists them
// (a prefix whose name is not UTF-8 stays reachable); only messages decode
// them (PathText).
struct Installation {
    // Host paths used as plain prefixes: file names are appended directly.
    QByteArray historyDirectory;
    QByteArray geneticsDirectory;
};

// The largest system.reg read. Wine's own files are a few megabytes; one
// larger than this is not a registry (a link to a device, say) and counts
// as no installation.
inline constexpr qint64 kMaxRegistryBytes = 128 << 20;

// Where the game's folders come from: a Wine prefix, whose registry names
// them (read again at every fill), or the folders themselves.
struct InstallationSource {
    QString launcher;   // what found it: "Wine", "Steam", "command line", ...
    QByteArray prefix;  // empty when the folders are given directly
    Installation folders;

    static InstallationSource fromPrefix(const QByteArray& prefix, const QString& launcher = QStringLiteral("Wine"))
    {
        return {launcher, prefix, {}};
    }
    static InstallationSource fromFolders(const QByteArray& history, const QByteArray& genetics)
    {
        return {QStringLiteral("command line"), QByteArray(), {history, genetics}};
    }
};

// The folders now: read from the prefix's registry, or as given.
std::optional<Installation> resolveInstallation(const InstallationSource& source);

// nullopt when system.reg is missing, unreadable, not a regular file or
// larger than kMaxRegistryBytes, or holds neither key.
// A value that is missing or not a string gives an empty directory.
std::optional<Installation> readInstallation(const QByteArray& prefix);

// A Windows path as Wine finds it on the host, every backslash a slash and
// nothing trimmed or added:
//   "X:\dir\" -> "<prefix>/dosdevices/x:/dir/" (drive letter lower-cased)
//   "\\server\share\dir\" -> "<prefix>/dosdevices/unc/server/share/dir/"
//   "\dir\" (rooted) -> "<prefix>/dosdevices/c:/dir/" (the current drive)
//   "\\?\" and "\??\" forms as the paths they stand for.
// A value starting with "/" is already a host path; a relative one stays
// relative.
QByteArray hostPathFromWindows(const QByteArray& prefix, const QString& value);
