// Finding the game where the common Wine launchers keep their prefixes.
//
// Searched below a home folder, in this order:
//   Wine         ~/.wine
//   Steam        compatdata/*/pfx of every library that steamapps/libraryfolders.vdf
//                lists in ~/.steam/steam, ~/.local/share/Steam and the Flatpak Steam
//   Lutris       the "prefix" of each game in lutris/games/*.yml (~/.config and
//                ~/.local/share, native and Flatpak)
//   Bottles      bottles/* (native and Flatpak)
//   PlayOnLinux  ~/.PlayOnLinux/wineprefix/*
//   CrossOver    ~/.cxoffice/*
// Only a prefix whose system.reg holds the game's key is an installation.
//
// Launcher files are read as the hostile input they may be: each prefix and
// library counts once however often it is named or linked, and the search
// is bounded in the size of the files it reads, the number of libraries and
// prefixes it examines, and its time.
#pragma once

#include "platform/Installation.h"

#include <QString>
#include <QStringList>
#include <vector>

struct SearchLimits {
    // A launcher's file larger than this is not one: Lutris game files are
    // a few hundred bytes, Steam's library list a few KiB per library.
    qint64 maxLutrisFileBytes = 64 << 10;
    qint64 maxLibraryListBytes = 1 << 20;
    int maxLibraries = 64;     // per Steam folder
    int maxPrefixes = 1000;    // examined in all
    int maxMilliseconds = 10000;  // for the whole search, the registries read included
};

// Where a user's launchers keep their files: the home folder and the XDG
// base folders in it or elsewhere.
struct UserFolders {
    // The XDG defaults in `home` (~/.config, ~/.local/share).
    UserFolders(const QString& homeFolder);
    // As the environment sets them ($XDG_CONFIG_HOME, $XDG_DATA_HOME; a
    // value that is not an absolute path is ignored, as XDG says).
    static UserFolders fromEnvironment(const QString& home);

    QString home;
    QString configHome;
    QString dataHome;
};

struct PrefixCandidate {
    QString launcher;  // "Wine", "Steam", "Lutris", "Bottles (Flatpak)", ...
    QByteArray prefix;
};

// Every prefix the launchers keep, each once (by the folder it is, not by
// its path), in the order above. `searched` receives every place looked
// in, found or not, and a note when a limit stopped the search.
std::vector<PrefixCandidate> launcherPrefixes(const UserFolders& folders, QStringList* searched,
                                               const SearchLimits& limits = {});

struct FoundInstallation {
    QString launcher;
    QByteArray prefix;
    Installation directories;
};

// The prefixes among them that hold the game.
std::vector<FoundInstallation> findInstallations(const UserFolders& folders, QStringList* searched,
                                                  const SearchLimits& limits = {});
