// The program's start-up as main runs it, ended as soon as the main window has been shown
// (its first paint done): the window is closed then, as the user would, and the shutdown runs.
// With the argument "attach" it times the start-up's database open alone instead.
// It prints CLOCK_MONOTONIC readings for the bench that started it.
#include "FirstPaint.h"
#include "Numbers.h"
#include "ReferenceDatabase.h"
#include "Startup.h"
#include "TForm1.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

// As the program's own module initialisation.
const bool g_decimalSeparatorSet = [] {
    SetDecimalSeparator(QLatin1Char('.'));
    return true;
}();

using ProbedForm1 = ClosedAfterFirstPaint<TForm1>;

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "attach") == 0) {
        const long long start = MonotonicNow();
        ReferenceDatabase database;
        const long long loaded = MonotonicNow();
        const long long loadedCpu = ProcessCpu();
        const bool quit = OpenReferenceDatabase(database);
        const long long attached = MonotonicNow();
        std::printf("client %lld\nattach %lld\nattach_cpu %lld\n", loaded - start, attached - loaded,
                    ProcessCpu() - loadedCpu);
        return quit ? 1 : 0;
    }
    return RunProgram<ProbedForm1>(application);
}
