// The program's start-up as main runs it, ended as soon as the main window has been shown
// (its first paint done): the window is closed then, as the user would, and the shutdown runs.
// With the argument "attach" it times the start-up's database open alone instead.
// It prints CLOCK_MONOTONIC readings for the bench that started it.
#include "Numbers.h"
#include "ReferenceDatabase.h"
#include "Startup.h"
#include "TForm1.h"

#include <QApplication>
#include <QEvent>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// As the program's own module initialisation.
const bool g_decimalSeparatorSet = [] {
    SetDecimalSeparator(QLatin1Char('.'));
    return true;
}();

long long now()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

long long cpu() // all threads of this process, from its start
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

class ProbedForm1 : public TForm1 {
protected:
    bool event(QEvent* event) override
    {
        const bool handled = TForm1::event(event);
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            // Queued: it runs once the whole expose (every child painted, flushed) is over.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::printf("shown %lld\nshown_cpu %lld\n", now(), cpu());
                    std::fflush(stdout);
                    close();
                },
                Qt::QueuedConnection);
        }
        return handled;
    }

private:
    bool painted_ = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "attach") == 0) {
        const long long start = now();
        ReferenceDatabase database;
        const long long loaded = now();
        const long long loadedCpu = cpu();
        const bool quit = OpenReferenceDatabase(database);
        const long long attached = now();
        std::printf("client %lld\nattach %lld\nattach_cpu %lld\n", loaded - start, attached - loaded,
                    cpu() - loadedCpu);
        return quit ? 1 : 0;
    }
    return RunProgram<ProbedForm1>(application);
}
