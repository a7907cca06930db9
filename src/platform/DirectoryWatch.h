// Tells when files are added to, removed from or rewritten in a few
// directories. Qt's own watcher reports neither a file rewritten in place
// nor one closed after writing; the kernel's inotify reports both.
//
// A watch follows a folder, not a path: when the folder is removed, moved
// away, replaced (by another folder or a link) or was missing, its watch is
// armed again at the next Watch(). A missing folder is waited for: its
// nearest existing parent is watched, and its appearance is a change.
#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class QSocketNotifier;

class DirectoryWatch : public QObject {
    Q_OBJECT
public:
    explicit DirectoryWatch(QObject* parent = nullptr);
    ~DirectoryWatch() override;

    // Watches these directories from now on (and no others); what happened
    // in them before is forgotten. A directory still watched as the same
    // folder keeps its watch; one that is another folder now, or whose watch
    // was lost, gets a new one.
    void watch(const QList<QByteArray>& directories);

    // Forgets what has happened so far (the program's own writes, say).
    void discard();

    // The directories whose changes cannot be watched now, each with the
    // reason (the system's limit of watches reached, say); empty when every
    // change is seen. A missing directory is watched for its appearance.
    QStringList unwatched() const { return unwatched_; }

signals:
    // Something changed in a watched directory, or a watched directory
    // itself was removed, moved or appeared. A burst of changes may give
    // several signals; each comes from the event loop.
    void changed();

private:
    struct Watched {
        QByteArray directory;
        std::uint64_t device = 0, inode = 0;  // of the folder watched (the parent, for a missing one)
        int descriptor = -1;
        QByteArray awaited;                    // for a missing folder: the name whose appearance counts
        bool lost = false;
    };

    void read();
    // Reads what has happened, marking lost watches; whether it is news
    // (with `report`, any change; without, only a folder gone or appeared).
    bool consume(bool report);
    void arm(Watched& watched);
    bool current(const Watched& watched) const;

    UniqueFd fd_;
    QSocketNotifier* notifier_ = nullptr;
    std::vector<Watched> watched_;
    QStringList unwatched_;
};
