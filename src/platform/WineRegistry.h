// Reading Wine's registry files (system.reg, user.reg) without changing them.
//
// Format as Wine writes it:
//   WINE REGISTRY Version 2
//   ;; comment            #arch=win64            (option lines)
//   [Key\\Path\\With\\Doubled\\Backslashes] 1796625244
//   #time=1dd8614f3fab8b6
//   "name"="string"        "name"=str(2):"expandable"   @="default value"
//   "name"=dword:00000001  "name"=hex:01,02,\        (continued on the
//     03,04                                           next line)
//   "name"=hex(2):43,00,3a,00,00,00   a string without its terminating zero,
//                                     as UTF-16LE bytes (hex(1) plain)
// Key names and strings escape \\ \" and control or non-ASCII characters
// (\n \r \t, octal \0.., and \x with 1 to 4 hex digits: one UTF-16 unit).
#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct RegistryValue {
    enum Kind { String, Other };
    Kind kind = Other;
    // For String: REG_SZ and REG_EXPAND_SZ (left unexpanded), whether Wine
    // wrote them as quoted text or as hex(1)/hex(2) bytes.
    QString text;
};

// Values of one key by name; names are stored lower-cased (the registry
// ignores letter case), the default value under "".
using RegistryKey = QHash<QString, RegistryValue>;

// Finds the given keys (paths with single backslashes, letter case ignored)
// in one pass over a registry file's text; nullopt for a key not present.
std::vector<std::optional<RegistryKey>> readRegistryKeys(QByteArrayView text, const QStringList& keyPaths);

// The string value of that name, or the empty text when it is missing or is
// not a string.
QString registryString(const RegistryKey& key, const QString& name);
