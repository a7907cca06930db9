// Valve's KeyValues text ("VDF"), as Steam writes steamapps/libraryfolders.vdf:
//   "libraryfolders"
//   {
//       "0"
//       {
//           "path"      "/home/me/.local/share/Steam"
//           "apps"      { "228980" "404262992" }
//       }
//   }
// Keys and values are quoted strings (with \" \\ \n \t escapes) or bare
// words; a key is followed by a value or by a block in braces; "//" starts a
// comment. Older files list libraries as numbered keys with the path as the
// value ("1" "/mnt/games/SteamLibrary").
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

struct ValveNode {
    QString key;
    QString value;                    // for a key with a value
    std::vector<ValveNode> children;  // for a key with a block
    bool isBlock = false;
};

// The top-level keys of a text. What cannot be read ends the reading: the
// nodes read so far are returned.
std::vector<ValveNode> readValveData(QByteArrayView text);

// The library folders a libraryfolders.vdf names, in its order.
QStringList steamLibraryFolders(QByteArrayView text);
