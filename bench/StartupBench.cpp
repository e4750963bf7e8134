// Start-up and its memory, measured in child processes: the start-up probe (the program's
// own start-up until its main window is shown, then closed) against a bare window of the
// same size, both started by fork and exec from here, alternately, and waited for with wait4.
//
// This runs before anything else in the bench: a child's peak resident set counts the pages
// it had before exec, so the parent must still be small when it forks.
#include "BenchTable.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <limits.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

long long now()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

std::string besideMe(const char* name)
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return name;
    path[length] = '\0';
    std::string directory(path);
    return directory.substr(0, directory.rfind('/') + 1) + name;
}

struct ChildRun {
    bool ok = false;
    long long started = 0; // just before fork
    long long ended = 0;   // wait4 returned
    long long shown = -1;  // the child's "shown" reading
    long long client = -1; // the child's "client", "attach" durations
    long long attach = -1;
    long long shownCpu = -1; // CPU time of all the child's threads until shown, and in the open
    long long attachCpu = -1;
    long maxRssKb = 0;
    std::string output;
};

ChildRun run(const std::string& program, const char* argument)
{
    ChildRun result;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return result;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    if (argument != nullptr)
        argv.push_back(const_cast<char*>(argument));
    argv.push_back(nullptr);

    result.started = now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    if (child < 0) {
        ::close(pipeEnds[0]);
        return result;
    }
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
        if (got > 0)
            result.output.append(buffer, std::size_t(got));
    ::close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.ended = now();
    result.maxRssKb = usage.ru_maxrss;

    std::istringstream lines(result.output);
    std::string key;
    long long value = 0;
    while (lines >> key >> value) {
        if (key == "shown")
            result.shown = value - result.started;
        else if (key == "client")
            result.client = value;
        else if (key == "attach")
            result.attach = value;
        else if (key == "shown_cpu")
            result.shownCpu = value;
        else if (key == "attach_cpu")
            result.attachCpu = value;
    }
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

void MeasureStartup(Medians& medians, int repetitions)
{
    // The children run offscreen whatever the session has.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string ferlund = besideMe("bench_startup_ferlund");
    const std::string bare = besideMe("bench_startup_bare");

    std::vector<double> shownCpu, shownCpuBare, shownCpuText, attachCpu;
    std::vector<double> shown, shownBare, shownText, exitTime, exitBare, attach, client, rss, rssBare, rssText;
    // One of each first, unmeasured: the files' pages come into the cache for both alike.
    run(ferlund, nullptr);
    run(bare, nullptr);
    run(ferlund, "attach");
    run(bare, "text");
    for (int i = 0; i < repetitions; ++i) {
        const ChildRun ours = run(ferlund, nullptr);
        const ChildRun floor = run(bare, nullptr);
        const ChildRun open = run(ferlund, "attach");
        const ChildRun text = run(bare, "text");
        if (!ours.ok || ours.shown < 0 || !floor.ok || floor.shown < 0 || !open.ok || open.attach < 0 || !text.ok ||
            text.shown < 0) {
            std::fprintf(stderr, "start-up probe failed:\n%s%s%s\n", ours.output.c_str(), floor.output.c_str(),
                         open.output.c_str());
            return;
        }
        shown.push_back(double(ours.shown));
        shownBare.push_back(double(floor.shown));
        exitTime.push_back(double(ours.ended - ours.started));
        exitBare.push_back(double(floor.ended - floor.started));
        attach.push_back(double(open.attach));
        client.push_back(double(open.client));
        rss.push_back(double(ours.maxRssKb));
        rssBare.push_back(double(floor.maxRssKb));
        shownText.push_back(double(text.shown));
        shownCpu.push_back(double(ours.shownCpu));
        shownCpuBare.push_back(double(floor.shownCpu));
        shownCpuText.push_back(double(text.shownCpu));
        attachCpu.push_back(double(open.attachCpu));
        rssText.push_back(double(text.maxRssKb));
    }
    medians["Startup_"] = median(shown);
    medians["Startup_floor"] = median(shownBare);
    medians["StartupText"] = median(shownText);
    // The CPU figures go in the table's last column; another job's load stretches them less.
    medians["Startup_@cpu"] = median(shownCpu);
    medians["Startup_floor@cpu"] = median(shownCpuBare);
    medians["StartupText@cpu"] = median(shownCpuText);
    medians["Attach@cpu"] = median(attachCpu);
    medians["PeakMemoryText"] = median(rssText);
    medians["StartupExit_"] = median(exitTime);
    medians["StartupExit_floor"] = median(exitBare);
    medians["Attach"] = median(attach);
    medians["ClientLoad"] = median(client);
    medians["PeakMemory_"] = median(rss);
    medians["PeakMemory_floor"] = median(rssBare);
    rusage self{};
    ::getrusage(RUSAGE_SELF, &self);
    medians["ParentMemory"] = double(self.ru_maxrss);
}
