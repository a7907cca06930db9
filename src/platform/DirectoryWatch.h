// Tells when files are added to, removed from or rewritten in a few
// directories. Qt's own watcher reports neither a file rewritten in place
// nor one closed after writing; the kernel's inotify reports both.
#pragma once

#include <QObject>
#include <QStringList>
#include <vector>

class QSocketNotifier;

class TDirectoryWatch : public QObject {
    Q_OBJECT
public:
    explicit TDirectoryWatch(QObject* parent = nullptr);
    ~TDirectoryWatch() override;

    // Watches these directories from now on (and no others); what happened
    // in them before is forgotten. A directory that does not exist is not
    // watched.
    void Watch(const QStringList& directories);

    // Forgets what has happened so far (the program's own writes, say).
    void Discard();

signals:
    // Something changed in a watched directory. A burst of changes may give
    // several signals; each comes from the event loop.
    void Changed();

private:
    void Read();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QStringList watched_;
    std::vector<int> watches_;
};
