#pragma once
// What both start-up probes share: monotonic and CPU clock readings, and a window that
// reports when its first paint is over and then closes, as the user would.
#include <QEvent>
#include <QMetaObject>
#include <cstdio>
#include <ctime>

inline long long MonotonicNow()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

inline long long ProcessCpu() // all threads of this process, from its start
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

template <class Window>
class ClosedAfterFirstPaint : public Window {
protected:
    bool event(QEvent* event) override
    {
        const bool handled = Window::event(event);
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            // Queued: it runs once the whole expose (every child painted, flushed) is over.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::printf("shown %lld\nshown_cpu %lld\n", MonotonicNow(), ProcessCpu());
                    std::fflush(stdout);
                    this->close();
                },
                Qt::QueuedConnection);
        }
        return handled;
    }

private:
    bool painted_ = false;
};
