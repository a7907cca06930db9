#include "platform/Launchers.h"

#include "platform/FileSystem.h"
#include "platform/ValveData.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <yaml-cpp/yaml.h>

namespace {

// Launcher files are small; anything larger is not one.
constexpr qint64 kMaxLauncherFileBytes = 4 << 20;

class TSearch {
public:
    TSearch(const QString& home, QStringList* searched) : home_(home), searched_(searched) {}

    QString At(const QString& relative) const { return home_ + QLatin1Char('/') + relative; }

    void Note(const QString& place)
    {
        if (searched_)
            *searched_ << place;
    }

    void Add(const QString& launcher, const QString& prefix)
    {
        const QFileInfo info(prefix);
        if (!info.isDir())
            return;
        // The same prefix reached twice (~/.steam/steam is usually a link
        // to ~/.local/share/Steam) is offered once.
        const QString canonical = info.canonicalFilePath();
        if (seen_.contains(canonical))
            return;
        seen_.insert(canonical);
        found_.push_back({launcher, QDir::cleanPath(prefix)});
    }

    // Every folder inside `folder`, each as a prefix.
    void AddEach(const QString& launcher, const QString& folder)
    {
        Note(folder);
        const QStringList entries = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        for (const QString& name : entries)
            Add(launcher, folder + QLatin1Char('/') + name);
    }

    std::vector<TPrefixCandidate> Found() { return std::move(found_); }

private:
    QString home_;
    QStringList* searched_;
    QSet<QString> seen_;
    std::vector<TPrefixCandidate> found_;
};

QByteArray ReadSmallFile(const QString& path)
{
    try {
        return ReadRegularFile(EncodePath(path), kMaxLauncherFileBytes);
    } catch (const EFOpenError&) {
        return {};
    }
}

void SearchSteam(TSearch& search, const QString& root, const QString& launcher)
{
    const QString vdf = root + QStringLiteral("/steamapps/libraryfolders.vdf");
    search.Note(vdf);
    QStringList libraries = SteamLibraryFolders(ReadSmallFile(vdf));
    libraries.prepend(root);  // the Steam folder is a library of its own
    for (const QString& library : libraries) {
        const QString compat = library + QStringLiteral("/steamapps/compatdata");
        search.Note(compat);
        const QStringList games = QDir(compat).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& game : games)
            search.Add(launcher, compat + QLatin1Char('/') + game + QStringLiteral("/pfx"));
    }
}

void SearchLutris(TSearch& search, const QString& gamesFolder, const QString& launcher, const QString& home)
{
    search.Note(gamesFolder);
    const QStringList files = QDir(gamesFolder).entryList({QStringLiteral("*.yml")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QByteArray text = ReadSmallFile(gamesFolder + QLatin1Char('/') + file);
        try {
            const YAML::Node game = YAML::Load(text.toStdString())["game"];
            if (!game.IsMap() || !game["prefix"] || !game["prefix"].IsScalar())
                continue;
            QString prefix = QString::fromStdString(game["prefix"].as<std::string>());
            if (prefix.startsWith(QLatin1String("~/")))
                prefix = home + prefix.mid(1);
            search.Add(launcher, prefix);
        } catch (const YAML::Exception&) {
            // Not a game file Lutris could read either.
        }
    }
}

}  // namespace

std::vector<TPrefixCandidate> LauncherPrefixes(const QString& home, QStringList* searched)
{
    TSearch search(home, searched);
    search.Note(search.At(QStringLiteral(".wine")));
    search.Add(QStringLiteral("Wine"), search.At(QStringLiteral(".wine")));

    SearchSteam(search, search.At(QStringLiteral(".steam/steam")), QStringLiteral("Steam"));
    SearchSteam(search, search.At(QStringLiteral(".local/share/Steam")), QStringLiteral("Steam"));
    SearchSteam(search, search.At(QStringLiteral(".var/app/com.valvesoftware.Steam/.local/share/Steam")),
                QStringLiteral("Steam (Flatpak)"));

    for (const char* folder : {".config/lutris/games", ".local/share/lutris/games"})
        SearchLutris(search, search.At(QString::fromLatin1(folder)), QStringLiteral("Lutris"), home);
    for (const char* folder : {".var/app/net.lutris.Lutris/config/lutris/games", ".var/app/net.lutris.Lutris/data/lutris/games"})
        SearchLutris(search, search.At(QString::fromLatin1(folder)), QStringLiteral("Lutris (Flatpak)"), home);

    search.AddEach(QStringLiteral("Bottles"), search.At(QStringLiteral(".local/share/bottles/bottles")));
    search.AddEach(QStringLiteral("Bottles (Flatpak)"),
                   search.At(QStringLiteral(".var/app/com.usebottles.bottles/data/bottles/bottles")));
    search.AddEach(QStringLiteral("PlayOnLinux"), search.At(QStringLiteral(".PlayOnLinux/wineprefix")));
    search.AddEach(QStringLiteral("CrossOver"), search.At(QStringLiteral(".cxoffice")));
    return search.Found();
}

std::vector<TFoundInstallation> FindInstallations(const QString& home, QStringList* searched)
{
    std::vector<TFoundInstallation> found;
    for (const TPrefixCandidate& candidate : LauncherPrefixes(home, searched)) {
        if (searched)
            *searched << candidate.Prefix + QStringLiteral("/system.reg");
        if (const auto installation = ReadInstallation(candidate.Prefix))
            found.push_back({candidate.Launcher, candidate.Prefix, *installation});
    }
    return found;
}
