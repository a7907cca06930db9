// For the start-up probes: ends the process the moment its main window has
// been painted for the first time and tells the parent when that was, so
// that what is timed is the start up to the first painted window and
// nothing after it (the exit's teardown, such as the kernel's grace period
// for an inotify instance, is not part of a start).
#pragma once

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

// Prints the moment of the first paint ("painted-ns N", CLOCK_MONOTONIC) and
// the process's peak resident memory so far ("peak-kib N") on standard
// output. The parent cannot learn the peak from wait4: on Linux a child's
// maxrss starts at the parent's own size when the child is made.
inline void reportFirstPaint()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("painted-ns %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::strncmp(line, "VmHWM:", 6) == 0)
                std::printf("peak-kib %ld\n", std::strtol(line + 6, nullptr, 10));
        std::fclose(status);
    }
    std::fflush(stdout);
}

class ExitAtFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget && qobject_cast<QMainWindow*>(widget->window()) && !armed_) {
            armed_ = true;
            // After this paint and the flush that follows it.
            QMetaObject::invokeMethod(qApp, [] {
                reportFirstPaint();
                std::_Exit(0);
            }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool armed_ = false;
};
