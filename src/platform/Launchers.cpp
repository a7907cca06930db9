#include "platform/Launchers.h"

#include "platform/FileSystem.h"
#include "platform/ValveData.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <algorithm>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <yaml-cpp/yaml.h>

namespace {

using FolderId = std::pair<dev_t, ino_t>;

// The folder a path names (links followed), or nothing when it is none.
bool folderIdentity(const QByteArray& path, FolderId& identity)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    identity = {st.st_dev, st.st_ino};
    return true;
}

class LauncherSearch {
public:
    LauncherSearch(const QString& home, QStringList* searched, const SearchLimits& limits)
        : home_(encodePath(home)), searched_(searched), limits_(limits), deadline_(limits.maxMilliseconds)
    {
    }

    const SearchLimits& limits() const { return limits_; }
    QByteArray at(const char* relative) const { return home_ + '/' + relative; }
    const QByteArray& home() const { return home_; }

    void note(const QByteArray& place)
    {
        if (searched_ && !done())
            *searched_ << pathText(place);
    }

    // Whether a Steam library is new to the search (not another spelling of,
    // or link to, one examined already), and the search may take one more.
    bool newLibrary(const QByteArray& library)
    {
        FolderId identity;
        if (libraries_.size() >= size_t(limits_.maxLibraries) * 3 || !folderIdentity(library, identity))
            return false;
        return libraries_.insert(identity).second;
    }

    // Whether the search must stop: out of time or out of prefixes. Said
    // once among the places searched.
    bool done()
    {
        if (!stopped_ && (deadline_.hasExpired() || int(found_.size()) >= limits_.maxPrefixes)) {
            stopped_ = true;
            if (searched_)
                *searched_ << QCoreApplication::translate("Launchers", "(The search stopped there: it took longer than %1 s or met more than %2 prefixes.)")
                                  .arg(limits_.maxMilliseconds / 1000)
                                  .arg(limits_.maxPrefixes);
        }
        return stopped_;
    }

    void add(const QString& launcher, const QByteArray& prefix)
    {
        // The same prefix reached twice (~/.steam/steam is usually a link to
        // ~/.local/share/Steam) is offered once.
        FolderId identity;
        if (done() || !folderIdentity(prefix, identity) || !seen_.insert(identity).second)
            return;
        found_.push_back({launcher, clean(prefix)});
    }

    // Every folder inside `folder`, each as a prefix, by its name's own bytes.
    void addEach(const QString& launcher, const QByteArray& folder)
    {
        note(folder);
        for (const QByteArray& name : names(folder))
            add(launcher, folder + '/' + name);
    }

    // The names in a folder, sorted by their bytes.
    std::vector<QByteArray> names(const QByteArray& folder)
    {
        std::vector<QByteArray> names;
        Directory(folder).list([&](QByteArrayView name, bool) {
            if (int(names.size()) < limits_.maxPrefixes)
                names.push_back(name.toByteArray());
        });
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<PrefixCandidate> found() { return std::move(found_); }

    // A path without "." and ".." steps or doubled separators, its bytes
    // otherwise kept.
    static QByteArray clean(const QByteArray& path)
    {
        QList<QByteArray> kept;
        for (const QByteArray& part : path.split('/')) {
            if (part.isEmpty() || part == ".")
                continue;
            if (part == "..") {
                if (!kept.isEmpty())
                    kept.removeLast();
                continue;
            }
            kept << part;
        }
        return (path.startsWith('/') ? "/" : "") + kept.join('/');
    }

private:
    QByteArray home_;
    QStringList* searched_;
    SearchLimits limits_;
    QDeadlineTimer deadline_;
    bool stopped_ = false;
    std::set<FolderId> seen_, libraries_;
    std::vector<PrefixCandidate> found_;
};

QByteArray readSmallFile(const QByteArray& path, qint64 maxBytes)
{
    try {
        return readRegularFile(path, maxBytes);
    } catch (const FileOpenError&) {
        return {};  // missing, no plain file, or too large to be the launcher's
    }
}

void searchSteam(LauncherSearch& search, const QByteArray& root, const QString& launcher)
{
    const QByteArray vdf = root + "/steamapps/libraryfolders.vdf";
    search.note(vdf);
    QList<QByteArray> libraries{root};  // the Steam folder is a library of its own
    for (const QString& library : steamLibraryFolders(readSmallFile(vdf, search.limits().maxLibraryListBytes)))
        // Only absolute paths: "" or a relative one would be read against
        // whatever the current folder is.
        if (library.startsWith(QLatin1Char('/')))
            libraries << encodePath(library);
    int examined = 0;
    for (const QByteArray& library : libraries) {
        if (search.done() || examined >= search.limits().maxLibraries)
            break;
        if (!search.newLibrary(library))
            continue;  // no folder, or one examined already under this or another name
        ++examined;
        const QByteArray compat = LauncherSearch::clean(library) + "/steamapps/compatdata";
        search.note(compat);
        for (const QByteArray& game : search.names(compat))
            search.add(launcher, compat + '/' + game + "/pfx");
    }
}

void searchLutris(LauncherSearch& search, const QByteArray& gamesFolder, const QString& launcher)
{
    search.note(gamesFolder);
    for (const QByteArray& file : search.names(gamesFolder)) {
        if (search.done())
            return;
        if (!file.endsWith(".yml"))
            continue;
        const QByteArray text = readSmallFile(gamesFolder + '/' + file, search.limits().maxLutrisFileBytes);
        try {
            const YAML::Node game = YAML::Load(text.toStdString())["game"];
            if (!game.IsMap() || !game["prefix"] || !game["prefix"].IsScalar())
                continue;
            QByteArray prefix = QByteArray::fromStdString(game["prefix"].as<std::string>());
            if (prefix.startsWith("~/"))
                prefix = search.home() + prefix.mid(1);
            if (prefix.startsWith('/'))
                search.add(launcher, prefix);
        } catch (const YAML::Exception&) {
            // Not a game file Lutris could read either.
        }
    }
}

}  // namespace

UserFolders::UserFolders(const QString& homeFolder)
    : home(homeFolder), configHome(homeFolder + QStringLiteral("/.config")), dataHome(homeFolder + QStringLiteral("/.local/share"))
{
}

UserFolders UserFolders::fromEnvironment(const QString& home)
{
    UserFolders folders(home);
    for (auto [variable, folder] : {std::pair{"XDG_CONFIG_HOME", &folders.configHome}, std::pair{"XDG_DATA_HOME", &folders.dataHome}}) {
        const QString value = qEnvironmentVariable(variable);
        if (value.startsWith(QLatin1Char('/')))
            *folder = QDir::cleanPath(value);
    }
    return folders;
}

std::vector<PrefixCandidate> launcherPrefixes(const UserFolders& folders, QStringList* searched, const SearchLimits& limits)
{
    LauncherSearch search(folders.home, searched, limits);
    const QByteArray config = encodePath(folders.configHome), data = encodePath(folders.dataHome);
    search.note(search.at(".wine"));
    search.add(QStringLiteral("Wine"), search.at(".wine"));

    searchSteam(search, search.at(".steam/steam"), QStringLiteral("Steam"));
    searchSteam(search, data + "/Steam", QStringLiteral("Steam"));
    searchSteam(search, search.at(".var/app/com.valvesoftware.Steam/.local/share/Steam"), QStringLiteral("Steam (Flatpak)"));

    for (const QByteArray& folder : {config + "/lutris/games", data + "/lutris/games"})
        searchLutris(search, folder, QStringLiteral("Lutris"));
    for (const char* folder : {".var/app/net.lutris.Lutris/config/lutris/games", ".var/app/net.lutris.Lutris/data/lutris/games"})
        searchLutris(search, search.at(folder), QStringLiteral("Lutris (Flatpak)"));

    search.addEach(QStringLiteral("Bottles"), data + "/bottles/bottles");
    search.addEach(QStringLiteral("Bottles (Flatpak)"), search.at(".var/app/com.usebottles.bottles/data/bottles/bottles"));
    search.addEach(QStringLiteral("PlayOnLinux"), search.at(".PlayOnLinux/wineprefix"));
    search.addEach(QStringLiteral("CrossOver"), search.at(".cxoffice"));
    return search.found();
}

std::vector<FoundInstallation> findInstallations(const UserFolders& folders, QStringList* searched, const SearchLimits& limits)
{
    const QDeadlineTimer deadline(limits.maxMilliseconds);
    std::vector<FoundInstallation> found;
    for (const PrefixCandidate& candidate : launcherPrefixes(folders, searched, limits)) {
        if (deadline.hasExpired())
            break;
        if (searched)
            *searched << pathText(candidate.prefix + "/system.reg");
        if (const auto installation = readInstallation(candidate.prefix))
            found.push_back({candidate.launcher, candidate.prefix, *installation});
    }
    return found;
}
