#include "platform/DirectoryWatch.h"

#include "platform/FileSystem.h"

#include <QSocketNotifier>
#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Files created, removed, renamed in or out, written and closed, or changed
// in place: every way the game changes its history.
constexpr std::uint32_t kChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB;

}  // namespace

TDirectoryWatch::TDirectoryWatch(QObject* parent) : QObject(parent) {}

TDirectoryWatch::~TDirectoryWatch()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void TDirectoryWatch::Watch(const QStringList& directories)
{
    // One inotify instance for the watch's whole life: closing one makes the
    // kernel wait for a grace period, some milliseconds of every refill.
    if (fd_ < 0) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0)
            return;  // no watch: the list is a snapshot all the same
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &TDirectoryWatch::Read);
    }
    if (directories != watched_) {
        for (int watch : watches_)
            ::inotify_rm_watch(fd_, watch);
        watches_.clear();
        for (const QString& directory : directories) {
            const int watch = ::inotify_add_watch(
                fd_, EncodePath(directory.isEmpty() ? QStringLiteral(".") : directory).constData(), kChanges | IN_ONLYDIR);
            if (watch >= 0)
                watches_.push_back(watch);
        }
        watched_ = directories;
    }
    Discard();
}

void TDirectoryWatch::Discard()
{
    if (fd_ < 0)
        return;
    alignas(inotify_event) char buffer[16384];
    while (::read(fd_, buffer, sizeof buffer) > 0) {
    }
}

void TDirectoryWatch::Read()
{
    alignas(inotify_event) char buffer[16384];
    bool changed = false;
    ssize_t n;
    while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
        for (char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            // A watch given up (IN_IGNORED) is no change.
            changed = changed || (event->mask & kChanges);
            p += sizeof(inotify_event) + event->len;
        }
    }
    if (changed)
        emit Changed();
}
