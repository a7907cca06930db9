#include "FileSystem.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#endif

QStringList NamesStartingWith(const QString& directory, const QString& prefix)
{
    QStringList names;
#ifdef Q_OS_UNIX
    const QByteArray encodedPrefix = QFile::encodeName(prefix);
    // A plain ASCII prefix (as "cr_" always is) is compared byte by byte;
    // anything else goes through Qt's own matching below.
    const bool plain = std::all_of(encodedPrefix.begin(), encodedPrefix.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && c != '*' && c != '?' && c != '[';
    });
    if (plain) {
        DIR* dir = opendir(QFile::encodeName(directory.isEmpty() ? QStringLiteral(".") : directory).constData());
        if (!dir)
            return names;
        while (const dirent* entry = readdir(dir)) {
            if (strncasecmp(entry->d_name, encodedPrefix.constData(), size_t(encodedPrefix.size())) == 0
                && std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.append(QFile::decodeName(entry->d_name));
        }
        closedir(dir);
        return names;
    }
#endif
    QDirIterator it(directory.isEmpty() ? QStringLiteral(".") : directory, {prefix + QLatin1Char('*')},
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    return names;
}

bool IsRegularFile(const QString& path)
{
    return IsRegularFile(QFile::encodeName(path));
}

bool IsRegularFile(const QByteArray& encodedPath)
{
#ifdef Q_OS_UNIX
    struct stat st;
    return ::stat(encodedPath.constData(), &st) == 0 && S_ISREG(st.st_mode);
#else
    return QFileInfo(QFile::decodeName(encodedPath)).isFile();
#endif
}
