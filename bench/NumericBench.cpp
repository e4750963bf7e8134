// The shared conversions against the C library doing the same work.
#include "BenchTable.h"
#include "Numbers.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::vector<std::string>& fieldTexts()
{
    static const std::vector<std::string> texts = {
        "1000", "70", "40", "96.6", "12.345", "0.0001", "1.5", "45.5", "10000000000000", ".5", "2.74", "15",
    };
    return texts;
}

const std::vector<double>& results()
{
    static const std::vector<double> values = {
        769.16, 1745.53, 0.30000000000000004, 1.0 / 3, 4.08, 1e-6, 1e15, 568.75, -440.65, 2.9696969696969697, 1359, 0.0001,
    };
    return values;
}

void ParseDecimal_(benchmark::State& state)
{
    std::vector<QString> texts;
    for (const std::string& t : fieldTexts())
        texts.push_back(QString::fromStdString(t));
    for (auto _ : state)
        for (const QString& t : texts)
            benchmark::DoNotOptimize(ParseDecimal(t));
    CountItems(state, texts.size());
}

void ParseDecimal_floor(benchmark::State& state)
{
    for (auto _ : state)
        for (const std::string& t : fieldTexts())
            benchmark::DoNotOptimize(std::strtold(t.c_str(), nullptr));
    CountItems(state, fieldTexts().size());
}

void FormatNumber_(benchmark::State& state)
{
    for (auto _ : state)
        for (double v : results())
            benchmark::DoNotOptimize(FormatNumber(v));
    CountItems(state, results().size());
}

void FormatNumber_floor(benchmark::State& state)
{
    char buffer[64];
    for (auto _ : state)
        for (double v : results()) {
            std::snprintf(buffer, sizeof buffer, "%.17Le", static_cast<long double>(v));
            benchmark::DoNotOptimize(buffer);
        }
    CountItems(state, results().size());
}

void RoundToDigit_(benchmark::State& state)
{
    for (auto _ : state)
        for (double v : results())
            benchmark::DoNotOptimize(RoundToDigit(v, -2));
    CountItems(state, results().size());
}

void RoundToDigit_floor(benchmark::State& state)
{
    const long double factor = 0.01;
    for (auto _ : state)
        for (double v : results()) {
            long double q = v;
            benchmark::DoNotOptimize(q);
            const double r = static_cast<double>(static_cast<long double>(llrintl(q / factor)) * factor);
            benchmark::DoNotOptimize(r);
        }
    CountItems(state, results().size());
}

} // namespace

BENCHMARK(ParseDecimal_);
BENCHMARK(ParseDecimal_floor);
BENCHMARK(FormatNumber_);
BENCHMARK(FormatNumber_floor);
BENCHMARK(RoundToDigit_);
BENCHMARK(RoundToDigit_floor);
