#include "history/CreatureFiles.h"

#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

QString monikerDisplayText(const Moniker& moniker)
{
    return decodeText(monikerText(moniker));
}

std::optional<QString> monikerFileText(const Moniker& moniker)
{
    const QByteArray text = monikerText(moniker);
    if (!monikerNamesAFile(text))
        return std::nullopt;
    return decodeText(text);
}

QByteArray albumPath(const QByteArray& historyDirectory, const Moniker& moniker)
{
    const auto name = monikerFileText(moniker);
    return name ? historyDirectory + kAlbumFilePrefix + encodePath(*name) + kAlbumFileSuffix : QByteArray();
}

QByteArray geneticsPath(const QByteArray& geneticsDirectory, const Moniker& moniker)
{
    const auto name = monikerFileText(moniker);
    return name ? geneticsDirectory + encodePath(*name) + kGeneticsFileSuffix : QByteArray();
}
