// A home folder laid out as the common Wine launchers leave one, for tests
// of finding the game: prefixes with and without the game, where each
// launcher keeps them.
#pragma once

#include "sampleworld/SampleWorld.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

class FakeHome {
public:
    explicit FakeHome(const QString& folder) : root(folder) { QDir().mkpath(folder); }

    QString at(const QString& relative) const { return root + QLatin1Char('/') + relative; }

    // Writes a file, making its folders.
    void write(const QString& relative, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(at(relative)).path());
        writeWholeFile(at(relative), bytes);
    }

    // A Wine prefix at `relative` holding the game (a whole sample
    // installation), or only some other program's key.
    QString makePrefix(const QString& relative, bool withGame)
    {
        const QString prefix = at(relative);
        if (withGame) {
            writeSampleWorld(prefix);
        } else {
            QDir().mkpath(prefix + QStringLiteral("/drive_c"));
            writeWholeFile(prefix + QStringLiteral("/system.reg"),
                           "WINE REGISTRY Version 2\n[Software\\\\Wine] 1\n\"Version\"=\"wine-8.0\"\n");
        }
        return prefix;
    }

    // Steam in ~/.local/share/Steam (with ~/.steam/steam linked to it, as
    // Steam does), one more library elsewhere, and a Proton prefix for each
    // app id in each library.
    void steam(bool gameInMain, bool gameInOther)
    {
        QDir().mkpath(at(".steam"));
        makePrefix(".local/share/Steam/steamapps/compatdata/100/pfx", gameInMain);
        makePrefix("games/SteamLibrary/steamapps/compatdata/200/pfx", gameInOther);
        QFile::link(at(".local/share/Steam"), at(".steam/steam"));
        write(".local/share/Steam/steamapps/libraryfolders.vdf",
                       "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + at(".local/share/Steam").toUtf8()
                           + "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"100\"\t\t\"1\"\n\t\t}\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\""
                           + at("games/SteamLibrary").toUtf8() + "\"\n\t}\n}\n");
    }

    // A Lutris game whose prefix is elsewhere in the home.
    void lutris(bool withGame)
    {
        const QString prefix = makePrefix("Games/vivarion", withGame);
        write(".config/lutris/games/vivarion-2-1700000000.yml",
                       "game:\n  exe: " + prefix.toUtf8() + "/drive_c/game.exe\n  prefix: " + prefix.toUtf8()
                           + "\nsystem: {}\nwine:\n  version: lutris-7.2\n");
        write(".config/lutris/games/broken.yml", "game: [unclosed\n");
    }

    void bottles(bool nativeGame, bool flatpakGame)
    {
        makePrefix(".local/share/bottles/bottles/Games", nativeGame);
        makePrefix(".var/app/com.usebottles.bottles/data/bottles/bottles/Vivarion", flatpakGame);
    }

    QString root;
};
