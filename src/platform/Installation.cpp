#include "platform/Installation.h"

#include "platform/FileSystem.h"
#include "platform/WineRegistry.h"

#include <QDir>

QByteArray DefaultWinePrefix()
{
    const QByteArray prefix = qgetenv("WINEPREFIX");
    return prefix.isEmpty() ? EncodePath(QDir::homePath()) + "/.wine" : prefix;
}

QByteArray HostPathFromWindows(const QByteArray& prefix, const QString& value)
{
    if (value.startsWith(QLatin1Char('/')))
        return EncodePath(value);
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
        return devices + EncodePath(path.at(0).toLower() + path.mid(1));
    // Wine keeps network shares under dosdevices/unc/server/share.
    if (path.startsWith(QLatin1String("//")))
        return devices + "unc/" + EncodePath(path.mid(2));
    // A rooted path is on the current drive, which for the game is C:.
    if (path.startsWith(QLatin1Char('/')))
        return devices + "c:" + EncodePath(path);
    return EncodePath(path);
}

std::optional<TInstallation> ReadInstallation(const QByteArray& prefix)
{
    QByteArray text;
    try {
        text = ReadRegularFile(prefix + "/system.reg", kMaxRegistryBytes);
    } catch (const EFOpenError&) {
        return std::nullopt;  // missing, unreadable, a pipe or device, or implausibly large
    }
    const auto keys = ReadRegistryKeys(text, {QString::fromLatin1(kGameKey32), QString::fromLatin1(kGameKey)});
    const auto& key = keys[0] ? keys[0] : keys[1];
    if (!key)
        return std::nullopt;
    return TInstallation{
        HostPathFromWindows(prefix, RegistryString(*key, QStringLiteral("History Directory"))),
        HostPathFromWindows(prefix, RegistryString(*key, QStringLiteral("Genetics Directory")))};
}

std::optional<TInstallation> ResolveInstallation(const TInstallationSource& source)
{
    if (source.Prefix.isEmpty())
        return source.Folders;
    return ReadInstallation(source.Prefix);
}
