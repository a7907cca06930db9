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

QByteArray WithoutSeparator(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path.isEmpty() ? QByteArray(".") : path;
}

bool Identify(const QByteArray& path, std::uint64_t& device, std::uint64_t& inode)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    device = std::uint64_t(st.st_dev);
    inode = std::uint64_t(st.st_ino);
    return true;
}

}  // namespace

TDirectoryWatch::TDirectoryWatch(QObject* parent) : QObject(parent) {}

TDirectoryWatch::~TDirectoryWatch()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool TDirectoryWatch::Current(const TWatched& w) const
{
    // Still the folder it was armed on, its watch intact, and (for a folder
    // that was missing) still missing.
    std::uint64_t device = 0, inode = 0;
    if (w.Lost || w.Descriptor < 0)
        return false;
    if (!w.Awaited.isEmpty())
        return !Identify(w.Directory, device, inode);
    return Identify(w.Directory, device, inode) && device == w.Device && inode == w.Inode;
}

void TDirectoryWatch::Arm(TWatched& w)
{
    w.Lost = false;
    w.Awaited.clear();
    w.Descriptor = -1;
    QByteArray folder = w.Directory;
    std::uint32_t mask = kChanges | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (!Identify(folder, w.Device, w.Inode)) {
        // Missing: the nearest existing parent tells when it appears.
        while (true) {
            const qsizetype slash = folder.lastIndexOf('/');
            const QByteArray parent = slash > 0 ? folder.left(slash) : slash == 0 ? QByteArray("/") : QByteArray(".");
            w.Awaited = folder.mid(slash + 1);
            folder = parent;
            if (Identify(folder, w.Device, w.Inode) || folder == "/" || folder == ".")
                break;
        }
        mask = IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    }
    w.Descriptor = ::inotify_add_watch(fd_, folder.constData(), mask);
    if (w.Descriptor < 0) {
        const QString reason = errno == ENOSPC
                                   ? QCoreApplication::translate("DirectoryWatch", "the system's limit of watched folders is reached")
                                   : QString::fromLocal8Bit(std::strerror(errno));
        unwatched_ << QCoreApplication::translate("DirectoryWatch", "%1 (%2)").arg(PathText(w.Directory), reason);
    }
}

void TDirectoryWatch::Watch(const QList<QByteArray>& directories)
{
    // One inotify instance for the watch's whole life: closing one makes the
    // kernel wait for a grace period, some milliseconds of every refill.
    if (fd_ < 0) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0) {
            unwatched_.clear();
            for (const QByteArray& directory : directories)
                unwatched_ << QCoreApplication::translate("DirectoryWatch", "%1 (%2)")
                                  .arg(PathText(directory), QString::fromLocal8Bit(std::strerror(errno)));
            return;  // no watch: the list is a snapshot all the same
        }
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &TDirectoryWatch::Read);
    }
    // Events about a lost watch may still wait to be read.
    Consume(false);
    QList<QByteArray> wanted;
    for (const QByteArray& directory : directories)
        if (!wanted.contains(WithoutSeparator(directory)))
            wanted << WithoutSeparator(directory);
    bool same = wanted.size() == qsizetype(watched_.size());
    for (size_t i = 0; same && i < watched_.size(); ++i)
        same = watched_[i].Directory == wanted[qsizetype(i)] && Current(watched_[i]);
    if (!same) {
        // Watches are cheap to make; all are made again, since two folders
        // that are one (a link) share one kernel watch.
        for (const TWatched& w : watched_)
            if (w.Descriptor >= 0)
                ::inotify_rm_watch(fd_, w.Descriptor);
        watched_.clear();
        unwatched_.clear();
        for (const QByteArray& directory : wanted) {
            watched_.push_back({directory});
            Arm(watched_.back());
        }
    }
    Consume(false);
}

void TDirectoryWatch::Discard()
{
    if (Consume(false))
        emit Changed();
}

void TDirectoryWatch::Read()
{
    if (Consume(true))
        emit Changed();
}

bool TDirectoryWatch::Consume(bool report)
{
    if (fd_ < 0)
        return false;
    alignas(inotify_event) char buffer[16384];
    bool changed = false;
    ssize_t n;
    while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
        for (char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            for (TWatched& w : watched_) {
                if (w.Descriptor != event->wd)
                    continue;
                if (event->mask & kGone) {
                    // The folder (or the parent waited on) went away: a
                    // change, even among the list's own, and its watch is
                    // made again at the next fill.
                    changed = changed || !w.Lost;
                    w.Lost = true;
                } else if (w.Awaited.isEmpty()) {
                    changed = changed || (report && (event->mask & kChanges));
                } else if (event->len > 0 && std::strcmp(event->name, w.Awaited.constData()) == 0) {
                    changed = true;  // the missing folder appeared
                }
            }
            p += sizeof(inotify_event) + event->len;
        }
    }
    return changed;
}
