#include "Installation.h"

#include "WineRegistry.h"

#include <QDir>
#include <QFile>

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
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter())
        return prefix + QStringLiteral("/dosdevices/") + path.at(0).toLower() + path.mid(1);
    return path;
}

std::optional<TInstallation> LookupInstallation(const QString& prefix)
{
    QFile file(prefix + QStringLiteral("/system.reg"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.readAll();
    const auto keys = ReadRegistryKeys(text, {QString::fromLatin1(kGameKey32), QString::fromLatin1(kGameKey)});
    const auto& key = keys[0] ? keys[0] : keys[1];
    if (!key)
        return std::nullopt;
    return TInstallation{
        HostPathFromWindows(prefix, RegistryString(*key, QStringLiteral("History Directory"))),
        HostPathFromWindows(prefix, RegistryString(*key, QStringLiteral("Genetics Directory")))};
}
