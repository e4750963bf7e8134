#pragma once
// Benchmarks come in pairs: "Name_" measures the program's own code and "Name_floor" the
// same work done by the floor it is compared with. The table pairs them by name; the figures
// measured in child processes (start-up, memory) join it under names of their own.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A figure's median: nanoseconds per item for the timings, kilobytes for the memory rows.
// In-process timings are the benchmark thread's CPU time (other jobs on a shared machine
// stretch the wall time, not that); their wall-clock medians are kept as "<name>@wall".
using Medians = std::map<std::string, double>;

// For a benchmark that does several items per iteration: the table shows the figures per item.
inline void CountItems(benchmark::State& state, std::size_t itemsPerIteration)
{
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(itemsPerIteration));
    state.counters["n"] = static_cast<double>(itemsPerIteration);
}

// Starts the benchmark executables beside this one as child processes, again and again, and
// adds the medians of their figures: "Startup_", "Startup_floor", "Attach", "StartupExit_",
// "StartupExit_floor", "StartupText" (the bare window with one label) (nanoseconds) and
// "PeakMemory_", "PeakMemory_floor", "PeakMemoryText" (kilobytes).
// repetitions: runs of each; the two kinds alternate, so a change of load hits both alike.
void MeasureStartup(Medians& medians, int repetitions);

// The windows the click benchmarks keep for the whole run; destroyed before the application.
void ReleaseBenchWindows();
