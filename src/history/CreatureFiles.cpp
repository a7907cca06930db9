#include "history/CreatureFiles.h"

#include "platform/FileSystem.h"
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

QByteArray AlbumPath(const QByteArray& historyDirectory, const TMoniker& moniker)
{
    const auto name = MonikerFileText(moniker);
    return name ? historyDirectory + kAlbumFilePrefix + EncodePath(*name) + kAlbumFileSuffix : QByteArray();
}

QByteArray GeneticsPath(const QByteArray& geneticsDirectory, const TMoniker& moniker)
{
    const auto name = MonikerFileText(moniker);
    return name ? geneticsDirectory + EncodePath(*name) + kGeneticsFileSuffix : QByteArray();
}
