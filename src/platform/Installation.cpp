#include "platform/Installation.h"

#include "platform/FileSystem.h"
#include "platform/WineRegistry.h"

#include <QDir>

QString DefaultWinePrefix()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    return prefix.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : prefix;
}

QString HostPathFromWindows(const QString& prefix, const QString& value)
{
    if (value.startsWith(QLatin1Char('/')))
        return value;
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
    const QString devices = prefix + QStringLiteral("/dosdevices/");
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter())
        return devices + path.at(0).toLower() + path.mid(1);
    // Wine keeps network shares under dosdevices/unc/server/share.
    if (path.startsWith(QLatin1String("//")))
        return devices + QStringLiteral("unc/") + path.mid(2);
    // A rooted path is on the current drive, which for the game is C:.
    if (path.startsWith(QLatin1Char('/')))
        return devices + QStringLiteral("c:") + path;
    return path;
}

std::optional<TInstallation> ReadInstallation(const QString& prefix)
{
    QByteArray text;
    try {
        text = ReadRegularFile(EncodePath(prefix + QStringLiteral("/system.reg")), kMaxRegistryBytes);
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
