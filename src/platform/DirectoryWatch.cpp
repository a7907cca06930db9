#include "platform/DirectoryWatch.h"

#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files created, removed, renamed in or out, written and closed, or changed
// in place: every way the game changes its history.
constexpr std::uint32_t kChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB;
// The folder itself gone: its watch is gone with it.
constexpr std::uint32_t kGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

QByteArray withoutSeparator(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path.isEmpty() ? QByteArray(".") : path;
}

bool identify(const QByteArray& path, std::uint64_t& device, std::uint64_t& inode)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    device = std::uint64_t(st.st_dev);
    inode = std::uint64_t(st.st_ino);
    return true;
}

}  // namespace

DirectoryWatch::DirectoryWatch(QObject* parent) : QObject(parent) {}

DirectoryWatch::~DirectoryWatch() = default;

bool DirectoryWatch::current(const Watched& w) const
{
    // Still the folder it was armed on, its watch intact, and (for a folder
    // that was missing) still missing.
    std::uint64_t device = 0, inode = 0;
    if (w.lost || w.descriptor < 0)
        return false;
    if (!w.awaited.isEmpty())
        return !identify(w.directory, device, inode);
    return identify(w.directory, device, inode) && device == w.device && inode == w.inode;
}

void DirectoryWatch::arm(Watched& w)
{
    w.lost = false;
    w.awaited.clear();
    w.descriptor = -1;
    QByteArray folder = w.directory;
    std::uint32_t mask = kChanges | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (!identify(folder, w.device, w.inode)) {
        // Missing: the nearest existing parent tells when it appears.
        while (true) {
            const qsizetype slash = folder.lastIndexOf('/');
            const QByteArray parent = slash > 0 ? folder.left(slash) : slash == 0 ? QByteArray("/") : QByteArray(".");
            w.awaited = folder.mid(slash + 1);
            folder = parent;
            if (identify(folder, w.device, w.inode) || folder == "/" || folder == ".")
                break;
        }
        mask = IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    }
    w.descriptor = ::inotify_add_watch(fd_.get(), folder.constData(), mask);
    if (w.descriptor < 0) {
        const QString reason = errno == ENOSPC
                                   ? QCoreApplication::translate("DirectoryWatch", "the system's limit of watched folders is reached")
                                   : QString::fromLocal8Bit(std::strerror(errno));
        unwatched_ << QCoreApplication::translate("DirectoryWatch", "%1 (%2)").arg(pathText(w.directory), reason);
    }
}

void DirectoryWatch::watch(const QList<QByteArray>& directories)
{
    // One inotify instance for the watch's whole life: closing one makes the
    // kernel wait for a grace period, some milliseconds of every refill.
    if (!fd_.valid()) {
        fd_.reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
        if (!fd_.valid()) {
            unwatched_.clear();
            for (const QByteArray& directory : directories)
                unwatched_ << QCoreApplication::translate("DirectoryWatch", "%1 (%2)")
                                  .arg(pathText(directory), QString::fromLocal8Bit(std::strerror(errno)));
            return;  // no watch: the list is a snapshot all the same
        }
        notifier_ = new QSocketNotifier(fd_.get(), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &DirectoryWatch::read);
    }
    // Events about a lost watch may still wait to be read.
    consume(false);
    QList<QByteArray> wanted;
    for (const QByteArray& directory : directories)
        if (!wanted.contains(withoutSeparator(directory)))
            wanted << withoutSeparator(directory);
    bool same = wanted.size() == qsizetype(watched_.size());
    for (size_t i = 0; same && i < watched_.size(); ++i)
        same = watched_[i].directory == wanted[qsizetype(i)] && current(watched_[i]);
    if (!same) {
        // Watches are cheap to make; all are made again, since two folders
        // that are one (a link) share one kernel watch.
        for (const Watched& w : watched_)
            if (w.descriptor >= 0)
                ::inotify_rm_watch(fd_.get(), w.descriptor);
        watched_.clear();
        unwatched_.clear();
        for (const QByteArray& directory : wanted) {
            watched_.push_back(Watched{directory, 0, 0, -1, {}, false});
            arm(watched_.back());
        }
    }
    consume(false);
}

void DirectoryWatch::discard()
{
    if (consume(false))
        emit changed();
}

void DirectoryWatch::read()
{
    if (consume(true))
        emit changed();
}

bool DirectoryWatch::consume(bool report)
{
    if (!fd_.valid())
        return false;
    alignas(inotify_event) char buffer[16384];
    bool changed = false;
    ssize_t n;
    while ((n = ::read(fd_.get(), buffer, sizeof buffer)) > 0) {
        for (char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            for (Watched& w : watched_) {
                if (w.descriptor != event->wd)
                    continue;
                if (event->mask & kGone) {
                    // The folder (or the parent waited on) went away: a
                    // change, even among the list's own, and its watch is
                    // made again at the next fill.
                    changed = changed || !w.lost;
                    w.lost = true;
                } else if (w.awaited.isEmpty()) {
                    changed = changed || (report && (event->mask & kChanges));
                } else if (event->len > 0 && std::strcmp(event->name, w.awaited.constData()) == 0) {
                    changed = true;  // the missing folder appeared
                }
            }
            p += sizeof(inotify_event) + event->len;
        }
    }
    return changed;
}
