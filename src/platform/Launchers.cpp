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

using TIdentity = std::pair<dev_t, ino_t>;

// The folder a path names (links followed), or nothing when it is none.
bool FolderIdentity(const QByteArray& path, TIdentity& identity)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    identity = {st.st_dev, st.st_ino};
    return true;
}

class TSearch {
public:
    TSearch(const QString& home, QStringList* searched, const TSearchLimits& limits)
        : home_(EncodePath(home)), searched_(searched), limits_(limits), deadline_(limits.MaxMilliseconds)
    {
    }

    const TSearchLimits& Limits() const { return limits_; }
    QByteArray At(const char* relative) const { return home_ + '/' + relative; }
    const QByteArray& Home() const { return home_; }

    void Note(const QByteArray& place)
    {
        if (searched_ && !Done())
            *searched_ << PathText(place);
    }

    // Whether a Steam library is new to the search (not another spelling of,
    // or link to, one examined already), and the search may take one more.
    bool NewLibrary(const QByteArray& library)
    {
        TIdentity identity;
        if (libraries_.size() >= size_t(limits_.MaxLibraries) * 3 || !FolderIdentity(library, identity))
            return false;
        return libraries_.insert(identity).second;
    }

    // Whether the search must stop: out of time or out of prefixes. Said
    // once among the places searched.
    bool Done()
    {
        if (!stopped_ && (deadline_.hasExpired() || int(found_.size()) >= limits_.MaxPrefixes)) {
            stopped_ = true;
            if (searched_)
                *searched_ << QCoreApplication::translate("Launchers", "(The search stopped there: it took longer than %1 s or met more than %2 prefixes.)")
                                  .arg(limits_.MaxMilliseconds / 1000)
                                  .arg(limits_.MaxPrefixes);
        }
        return stopped_;
    }

    void Add(const QString& launcher, const QByteArray& prefix)
    {
        // The same prefix reached twice (~/.steam/steam is usually a link to
        // ~/.local/share/Steam) is offered once.
        TIdentity identity;
        if (Done() || !FolderIdentity(prefix, identity) || !seen_.insert(identity).second)
            return;
        found_.push_back({launcher, Clean(prefix)});
    }

    // Every folder inside `folder`, each as a prefix, by its name's own bytes.
    void AddEach(const QString& launcher, const QByteArray& folder)
    {
        Note(folder);
        for (const QByteArray& name : Names(folder))
            Add(launcher, folder + '/' + name);
    }

    // The names in a folder, sorted by their bytes.
    std::vector<QByteArray> Names(const QByteArray& folder)
    {
        std::vector<QByteArray> names;
        TDirectory(folder).List([&](QByteArrayView name, bool) {
            if (int(names.size()) < limits_.MaxPrefixes)
                names.push_back(name.toByteArray());
        });
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<TPrefixCandidate> Found() { return std::move(found_); }

    // A path without "." and ".." steps or doubled separators, its bytes
    // otherwise kept.
    static QByteArray Clean(const QByteArray& path)
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
    TSearchLimits limits_;
    QDeadlineTimer deadline_;
    bool stopped_ = false;
    std::set<TIdentity> seen_, libraries_;
    std::vector<TPrefixCandidate> found_;
};

QByteArray ReadSmallFile(const QByteArray& path, qint64 maxBytes)
{
    try {
        return ReadRegularFile(path, maxBytes);
    } catch (const EFOpenError&) {
        return {};  // missing, no plain file, or too large to be the launcher's
    }
}

void SearchSteam(TSearch& search, const QByteArray& root, const QString& launcher)
{
    const QByteArray vdf = root + "/steamapps/libraryfolders.vdf";
    search.Note(vdf);
    QList<QByteArray> libraries{root};  // the Steam folder is a library of its own
    for (const QString& library : SteamLibraryFolders(ReadSmallFile(vdf, search.Limits().MaxLibraryListBytes)))
        // Only absolute paths: "" or a relative one would be read against
        // whatever the current folder is.
        if (library.startsWith(QLatin1Char('/')))
            libraries << EncodePath(library);
    int examined = 0;
    for (const QByteArray& library : libraries) {
        if (search.Done() || examined >= search.Limits().MaxLibraries)
            break;
        if (!search.NewLibrary(library))
            continue;  // no folder, or one examined already under this or another name
        ++examined;
        const QByteArray compat = TSearch::Clean(library) + "/steamapps/compatdata";
        search.Note(compat);
        for (const QByteArray& game : search.Names(compat))
            search.Add(launcher, compat + '/' + game + "/pfx");
    }
}

void SearchLutris(TSearch& search, const QByteArray& gamesFolder, const QString& launcher)
{
    search.Note(gamesFolder);
    for (const QByteArray& file : search.Names(gamesFolder)) {
        if (search.Done())
            return;
        if (!file.endsWith(".yml"))
            continue;
        const QByteArray text = ReadSmallFile(gamesFolder + '/' + file, search.Limits().MaxLutrisFileBytes);
        try {
            const YAML::Node game = YAML::Load(text.toStdString())["game"];
            if (!game.IsMap() || !game["prefix"] || !game["prefix"].IsScalar())
                continue;
            QByteArray prefix = QByteArray::fromStdString(game["prefix"].as<std::string>());
            if (prefix.startsWith("~/"))
                prefix = search.Home() + prefix.mid(1);
            if (prefix.startsWith('/'))
                search.Add(launcher, prefix);
        } catch (const YAML::Exception&) {
            // Not a game file Lutris could read either.
        }
    }
}

}  // namespace

std::vector<TPrefixCandidate> LauncherPrefixes(const QString& home, QStringList* searched, const TSearchLimits& limits)
{
    TSearch search(home, searched, limits);
    search.Note(search.At(".wine"));
    search.Add(QStringLiteral("Wine"), search.At(".wine"));

    SearchSteam(search, search.At(".steam/steam"), QStringLiteral("Steam"));
    SearchSteam(search, search.At(".local/share/Steam"), QStringLiteral("Steam"));
    SearchSteam(search, search.At(".var/app/com.valvesoftware.Steam/.local/share/Steam"), QStringLiteral("Steam (Flatpak)"));

    for (const char* folder : {".config/lutris/games", ".local/share/lutris/games"})
        SearchLutris(search, search.At(folder), QStringLiteral("Lutris"));
    for (const char* folder : {".var/app/net.lutris.Lutris/config/lutris/games", ".var/app/net.lutris.Lutris/data/lutris/games"})
        SearchLutris(search, search.At(folder), QStringLiteral("Lutris (Flatpak)"));

    search.AddEach(QStringLiteral("Bottles"), search.At(".local/share/bottles/bottles"));
    search.AddEach(QStringLiteral("Bottles (Flatpak)"), search.At(".var/app/com.usebottles.bottles/data/bottles/bottles"));
    search.AddEach(QStringLiteral("PlayOnLinux"), search.At(".PlayOnLinux/wineprefix"));
    search.AddEach(QStringLiteral("CrossOver"), search.At(".cxoffice"));
    return search.Found();
}

std::vector<TFoundInstallation> FindInstallations(const QString& home, QStringList* searched, const TSearchLimits& limits)
{
    const QDeadlineTimer deadline(limits.MaxMilliseconds);
    std::vector<TFoundInstallation> found;
    for (const TPrefixCandidate& candidate : LauncherPrefixes(home, searched, limits)) {
        if (deadline.hasExpired())
            break;
        if (searched)
            *searched << PathText(candidate.Prefix + "/system.reg");
        if (const auto installation = ReadInstallation(candidate.Prefix))
            found.push_back({candidate.Launcher, candidate.Prefix, *installation});
    }
    return found;
}
