// Runs every benchmark with repetitions and prints one table: each figure's median, the
// floor's median beside it, their ratio and the goal. The start-up rows come first, from
// child processes, while this process is still small (see StartupBench.cpp).
#include "BenchTable.h"
#include "Numbers.h"
#include "Windows.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

class MedianCollector : public benchmark::ConsoleReporter {
public:
    explicit MedianCollector(Medians& medians) : medians_(medians) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred) {
                const auto items = run.counters.find("n");
                const double n = items != run.counters.end() && items->second > 0 ? double(items->second) : 1;
                const double toNanoseconds = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
                medians_[run.run_name.function_name] = run.GetAdjustedCPUTime() * toNanoseconds / n;
                medians_[run.run_name.function_name + "@wall"] = run.GetAdjustedRealTime() * toNanoseconds / n;
            } else if (run.error_occurred) {
                std::fprintf(stderr, "%s: %s\n", run.run_name.function_name.c_str(), run.error_message.c_str());
            }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    Medians& medians_;
};

std::string cpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    return "unknown";
}

std::string loadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::string human(double ns)
{
    char buffer[32];
    if (ns < 0)
        std::snprintf(buffer, sizeof buffer, "—");
    else if (ns >= 1e6)
        std::snprintf(buffer, sizeof buffer, "%.2f ms", ns / 1e6);
    else if (ns >= 1e3)
        std::snprintf(buffer, sizeof buffer, "%.2f µs", ns / 1e3);
    else
        std::snprintf(buffer, sizeof buffer, "%.1f ns", ns);
    return buffer;
}

std::string megabytes(double kb)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f MB", kb / 1024);
    return buffer;
}

enum class Goal { Ratio, Absolute, Startup, Memory, None };

struct Row {
    const char* key;   // the benchmark's name without its trailing "_"
    const char* what;  // the table's text
    const char* floor; // what the floor is, or nullptr
    Goal goal;
    double limit; // ratio, nanoseconds or kilobytes
};

const Row kRows[] = {
    {"ParseDecimal", "ParseDecimal, 12 field texts (per text)", "strtold", Goal::Ratio, 3},
    {"FormatNumber", "FormatNumber, 12 results (per value)", "snprintf(\"%.17Le\")", Goal::Ratio, 2},
    {"RoundToDigit", "RoundToDigit(x, −2) (per value)", "division, llrintl, multiplication", Goal::Ratio, 1.5},
    {"LookupReferenceRow", "LookupReferenceRow on ALC.FDB (per lookup)", "bare OO API, prepared", Goal::Ratio, 1.5},
    {"DilutionClick", "click «Расcчитать ВОДУ», Form1 Button4", nullptr, Goal::Absolute, 100e3},
    {"DilutionMouseClick", "  the same by mouse, with Qt's repaints of the pressed button", nullptr, Goal::None, 0},
    {"RawSpiritCutClick", "click Form1 Button1 (cuts)", nullptr, Goal::Absolute, 50e3},
    {"MashHeadsClick", "click Form1 Button3 (heads of a mash)", nullptr, Goal::Absolute, 50e3},
    {"MixStrengthClick", "click Form1 Button5 (blend)", nullptr, Goal::Absolute, 50e3},
    {"SpiritAndWaterClick", "click Form1 Button7 (spirit and water)", nullptr, Goal::Absolute, 50e3},
    {"SugarMashClick", "click Form2 Button3 (sugar mash)", nullptr, Goal::Absolute, 50e3},
    {"GrainMashClick", "click Form5 Button1 (grain mash)", nullptr, Goal::Absolute, 50e3},
    {"Startup", "start-up: process start → Form1 shown", "bare QWidget 882×548 shown", Goal::Startup, 1.5},
    {"Attach", "  of which the database open (OpenReferenceDatabase)", nullptr, Goal::None, 0},
    {"ClientLoad", "  client library load before it (ReferenceDatabase())", nullptr, Goal::None, 0},
    {"StartupText", "  for comparison: the bare QWidget with one text label, shown", nullptr, Goal::None, 0},
    {"StartupExit", "start-up, shown, closed, process ended", "bare QWidget, the same", Goal::None, 0},
    {"PeakMemory", "peak resident memory of the start-up (ru_maxrss)", "bare QWidget", Goal::Memory, 40 * 1024},
    {"PeakMemoryText", "  for comparison: the bare QWidget with one text label", nullptr, Goal::Memory, 0},
};

double find(const Medians& medians, const std::string& name)
{
    const auto found = medians.find(name);
    return found != medians.end() ? found->second : -1;
}

void printTable(const Medians& medians)
{
    std::printf("| what | median | floor | floor (median) | ratio | goal | | also: ours, floor |\n"
                "|---|---:|---|---:|---:|---|---|---:|\n");
    for (const Row& row : kRows) {
        double ours = find(medians, std::string(row.key) + "_");
        if (ours < 0)
            ours = find(medians, row.key);
        const double floor = find(medians, std::string(row.key) + "_floor");
        if (ours < 0) {
            std::printf("| %s | not measured | | | | | |\n", row.what);
            continue;
        }
        const bool memory = row.goal == Goal::Memory;
        const std::string oursText = memory ? megabytes(ours) : human(ours);
        const std::string floorText = floor < 0 ? "" : memory ? megabytes(floor) : human(floor);
        char ratio[32] = "";
        if (floor > 0)
            std::snprintf(ratio, sizeof ratio, "%.2f×", ours / floor);
        char goal[96] = "";
        bool met = true;
        switch (row.goal) {
        case Goal::Ratio:
            std::snprintf(goal, sizeof goal, "≤ %.1f×", row.limit);
            met = floor > 0 && ours <= row.limit * floor;
            break;
        case Goal::Absolute:
            std::snprintf(goal, sizeof goal, "≤ %s", human(row.limit).c_str());
            met = ours <= row.limit;
            break;
        case Goal::Startup: {
            const double limit = row.limit * floor + find(medians, "Attach");
            std::snprintf(goal, sizeof goal, "≤ 1.5 × bare + open = %s", human(limit).c_str());
            met = floor > 0 && ours <= limit;
            break;
        }
        case Goal::Memory:
            if (row.limit == 0) // a memory figure for comparison only
                break;
            std::snprintf(goal, sizeof goal, "≤ bare + 40 MB (is +%.1f MB)", (ours - floor) / 1024);
            met = floor > 0 && ours <= floor + row.limit;
            break;
        case Goal::None:
            break;
        }
        std::string wall;
        if (const double oursWall = find(medians, std::string(row.key) + "_@wall"); oursWall >= 0) {
            wall = "wall " + human(oursWall);
            if (const double floorWall = find(medians, std::string(row.key) + "_floor@wall"); floorWall >= 0)
                wall += ", " + human(floorWall);
        }
        double oursCpu = find(medians, std::string(row.key) + "_@cpu");
        if (oursCpu < 0)
            oursCpu = find(medians, std::string(row.key) + "@cpu");
        if (oursCpu >= 0) {
            wall = "CPU " + human(oursCpu);
            if (const double floorCpu = find(medians, std::string(row.key) + "_floor@cpu"); floorCpu > 0) {
                char cpuRatio[32];
                std::snprintf(cpuRatio, sizeof cpuRatio, " (%.2f×)", oursCpu / floorCpu);
                wall += ", " + human(floorCpu) + cpuRatio;
            }
        }
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s |\n", row.what, oursText.c_str(),
                    row.floor != nullptr ? row.floor : "", floorText.c_str(), ratio, goal,
                    row.goal == Goal::None || row.limit == 0 ? "" : met ? "met" : "MISSED", wall.c_str());
    }
}

bool hasOption(int argc, char** argv, const char* option)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], option, std::strlen(option)) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string loadAtStart = loadAverage();
    Medians medians;
    if (!hasOption(argc, argv, "--no_startup"))
        MeasureStartup(medians, 15);

    // The windows are real ones, on the offscreen platform, set up as the program sets them up.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i)
        if (std::strcmp(argv[i], "--no_startup") != 0)
            args.push_back(argv[i]);
    std::string repetitions = "--benchmark_repetitions=9";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    if (!hasOption(argc, argv, "--benchmark_repetitions"))
        args.push_back(repetitions.data());
    args.push_back(aggregates.data());
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    QApplication application(count, args.data());
    SetDecimalSeparator(QLatin1Char('.'));
    InstallFontSubstitutions();
    benchmark::Initialize(&count, args.data());

    MedianCollector collector(medians);
    benchmark::RunSpecifiedBenchmarks(&collector);
    ReleaseBenchWindows();

    std::printf("\nMachine: %u cores, %s\nLoad average (1, 5, 15 min): %s at the start, %s at the end\n",
                std::thread::hardware_concurrency(), cpuModel().c_str(), loadAtStart.c_str(),
                loadAverage().c_str());
    if (const double parent = find(medians, "ParentMemory"); parent > 0)
        std::printf("Bench process before the start-up runs: %s resident (a child's peak counts "
                    "it only when the child stays below it)\n",
                    megabytes(parent).c_str());
    std::printf("Medians of the repetitions (start-up: 15 runs of each probe). In-process figures: CPU time of\n"
                "the benchmark thread, their wall-clock medians in the last column. Start-up: wall clock from\n"
                "fork, the CPU time of all the child's threads up to the same point in the last column.\n\n");
    printTable(medians);
    benchmark::Shutdown();
    return 0;
}
