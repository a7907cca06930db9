#include "platform/Installation.h"

#include "platform/FileSystem.h"
#include "platform/WineRegistry.h"

#include <QDir>

QByteArray hostPathFromWindows(const QByteArray& prefix, const QString& value)
{
    if (value.startsWith(QLatin1Char('/')))
        return encodePath(value);
    QString path = value;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // Long-path and NT forms name the same place: //?/C:/..., /??/C:/...,
    // //?/UNC/server/share/...
    for (const QLatin1String nt : {QLatin1String("//?/"), QLatin1String("/?" "?/")}) {
        if (path.startsWith(nt)) {
            path = path.mid(nt.size());
            if (path.startsWith(QLatin1String("UNC/"), Qt::CaseInsensitive))
                path = QStringLiteral("//") + path.mid(4);
            break;
        }
    }
    const QByteArray devices = prefix + "/dosdevices/";
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter())
        return devices + encodePath(path.at(0).toLower() + path.mid(1));
    // Wine keeps network shares under dosdevices/unc/server/share.
    if (path.startsWith(QLatin1String("//")))
        return devices + "unc/" + encodePath(path.mid(2));
    // A rooted path is on the current drive, which for the game is C:.
    if (path.startsWith(QLatin1Char('/')))
        return devices + "c:" + encodePath(path);
    return encodePath(path);
}

std::optional<Installation> readInstallation(const QByteArray& prefix)
{
    QByteArray text;
    try {
        text = readRegularFile(prefix + "/system.reg", kMaxRegistryBytes);
    } catch (const FileOpenError&) {
        return std::nullopt;  // missing, unreadable, a pipe or device, or implausibly large
    }
    const auto keys = readRegistryKeys(text, {QString::fromLatin1(kGameKey32), QString::fromLatin1(kGameKey)});
    const auto& key = keys[0] ? keys[0] : keys[1];
    if (!key)
        return std::nullopt;
    return Installation{
        hostPathFromWindows(prefix, registryString(*key, QStringLiteral("History Directory"))),
        hostPathFromWindows(prefix, registryString(*key, QStringLiteral("Genetics Directory")))};
}

std::optional<Installation> resolveInstallation(const InstallationSource& source)
{
    if (source.prefix.isEmpty())
        return source.folders;
    return readInstallation(source.prefix);
}
