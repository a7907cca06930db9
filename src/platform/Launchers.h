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
#pragma once

#include "platform/Installation.h"

#include <QString>
#include <QStringList>
#include <vector>

struct TPrefixCandidate {
    QString Launcher;  // "Wine", "Steam", "Lutris", "Bottles (Flatpak)", ...
    QString Prefix;
};

// Every prefix the launchers keep, each once, in the order above. `searched`
// receives every place looked in, found or not.
std::vector<TPrefixCandidate> LauncherPrefixes(const QString& home, QStringList* searched);

struct TFoundInstallation {
    QString Launcher;
    QString Prefix;
    TInstallation Directories;
};

// The prefixes among them that hold the game.
std::vector<TFoundInstallation> FindInstallations(const QString& home, QStringList* searched);
