#include "history/CreatureFiles.h"

#include "platform/TextCodec.h"

QString MonikerDisplayText(const TMoniker& moniker)
{
    return DecodeText(MonikerText(moniker));
}

std::optional<QString> MonikerFileText(const TMoniker& moniker)
{
    const QByteArray text = MonikerText(moniker);
    if (!MonikerNamesAFile(text))
        return std::nullopt;
    return DecodeText(text);
}

QString AlbumPath(const QString& historyDirectory, const TMoniker& moniker)
{
    const auto name = MonikerFileText(moniker);
    return name ? historyDirectory + QLatin1String(kAlbumFilePrefix) + *name + QLatin1String(kAlbumFileSuffix)
                : QString();
}

QString GeneticsPath(const QString& geneticsDirectory, const TMoniker& moniker)
{
    const auto name = MonikerFileText(moniker);
    return name ? geneticsDirectory + *name + QLatin1String(kGeneticsFileSuffix) : QString();
}
