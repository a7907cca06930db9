// A home folder laid out as the common Wine launchers leave one, for tests
// of finding the game: prefixes with and without the game, where each
// launcher keeps them.
#pragma once

#include "sampleworld/SampleWorld.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

class TFakeHome {
public:
    explicit TFakeHome(const QString& root) : Root(root) { QDir().mkpath(root); }

    QString At(const QString& relative) const { return Root + QLatin1Char('/') + relative; }

    // Writes a file, making its folders.
    void Write(const QString& relative, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(At(relative)).path());
        WriteWholeFile(At(relative), bytes);
    }

    // A Wine prefix at `relative` holding the game (a whole sample
    // installation), or only some other program's key.
    QString Prefix(const QString& relative, bool withGame)
    {
        const QString prefix = At(relative);
        if (withGame) {
            WriteSampleWorld(prefix);
        } else {
            QDir().mkpath(prefix + QStringLiteral("/drive_c"));
            WriteWholeFile(prefix + QStringLiteral("/system.reg"),
                           "WINE REGISTRY Version 2\n[Software\\\\Wine] 1\n\"Version\"=\"wine-8.0\"\n");
        }
        return prefix;
    }

    // Steam in ~/.local/share/Steam (with ~/.steam/steam linked to it, as
    // Steam does), one more library elsewhere, and a Proton prefix for each
    // app id in each library.
    void Steam(bool gameInMain, bool gameInOther)
    {
        QDir().mkpath(At(".steam"));
        Prefix(".local/share/Steam/steamapps/compatdata/100/pfx", gameInMain);
        Prefix("games/SteamLibrary/steamapps/compatdata/200/pfx", gameInOther);
        QFile::link(At(".local/share/Steam"), At(".steam/steam"));
        Write(".local/share/Steam/steamapps/libraryfolders.vdf",
                       "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + At(".local/share/Steam").toUtf8()
                           + "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"100\"\t\t\"1\"\n\t\t}\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\""
                           + At("games/SteamLibrary").toUtf8() + "\"\n\t}\n}\n");
    }

    // A Lutris game whose prefix is elsewhere in the home.
    void Lutris(bool withGame)
    {
        const QString prefix = Prefix("Games/vivarion", withGame);
        Write(".config/lutris/games/vivarion-2-1700000000.yml",
                       "game:\n  exe: " + prefix.toUtf8() + "/drive_c/game.exe\n  prefix: " + prefix.toUtf8()
                           + "\nsystem: {}\nwine:\n  version: lutris-7.2\n");
        Write(".config/lutris/games/broken.yml", "game: [unclosed\n");
    }

    void Bottles(bool nativeGame, bool flatpakGame)
    {
        Prefix(".local/share/bottles/bottles/Games", nativeGame);
        Prefix(".var/app/com.usebottles.bottles/data/bottles/bottles/Vivarion", flatpakGame);
    }

    QString Root;
};
