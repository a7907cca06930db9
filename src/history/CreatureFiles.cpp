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

int badgeImageIndex(const Badges& badges)
{
    if (badges.exported())
        return 8;
    return badges.state | (badges.album ? 2 : 0) | (badges.genetics ? 4 : 0);
}

std::vector<FileDeletion> deleteCreatureFiles(const CreatureFilePaths& paths, bool album, bool genetics, bool history,
                                              const FileIdentity& historyRead, const FileIdentity* albumRead,
                                              const FileIdentity* geneticsRead)
{
    std::vector<FileDeletion> done;
    auto remove = [&done](CreatureFile file, const QByteArray& path, const FileIdentity* expected) {
        FileDeletion deletion{file, path, DeleteResult::Deleted, {}};
        deletion.result = deleteFile(path, &deletion.reason, expected);
        done.push_back(std::move(deletion));
    };
    if (album && !paths.album.isEmpty())
        remove(CreatureFile::Album, paths.album, albumRead);
    if (genetics && !paths.genetics.isEmpty())
        remove(CreatureFile::Genetics, paths.genetics, geneticsRead);
    if (history)
        remove(CreatureFile::History, paths.history, &historyRead);
    return done;
}

Badges badgesAfter(Badges badges, const std::vector<FileDeletion>& deletions)
{
    for (const FileDeletion& d : deletions) {
        if (d.result != DeleteResult::Deleted)
            continue;
        if (d.file == CreatureFile::Album)
            badges.album = false;
        if (d.file == CreatureFile::Genetics)
            badges.genetics = false;
    }
    return badges;
}
