// A full exponent search of model 24 (six exponents, four terms) on generated samples.
// The root lives under QUANTEM_BENCH_ROOT when set, else in the temporary directory: the search
// reads data.qtm and writes r1.sys, rr.sys and the result files there, so the file system is part
// of what is measured.

#include "core/NumberText.h"
#include "core/ScratchStore.h"
#include "core/Session.h"
#include "core/TermTable.h"
#include "engine_power/ExponentSearch.h"
#include "results/EvaluateModel.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace quantem;

constexpr core::ModelId kModel = 24;

std::filesystem::path benchRoot(std::int64_t groups)
{
    const char* base = std::getenv("QUANTEM_BENCH_ROOT");
    const std::filesystem::path parent
        = base != nullptr ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
    return parent / ("quantem-bench-" + std::to_string(::getpid()) + "-" + std::to_string(groups));
}

void writeFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

/// Samples of y = 0.5 + 2·x1^0.67 + 2.5·x2^0.5 + 3·x1^0.5·x2^0.5 + 3.5·x1^0.75·x2^0.75 with a
/// small disturbance, which the search fits in a few dozen evaluations.
std::string samples(std::int64_t groups)
{
    results::CoefficientSet c;
    c.a = { 0.5, 2.0, 2.5, 3.0, 3.5, 0, 0 };
    c.k = { 0.67, 0.5, 0.5, 0.5, 0.75, 0.75 };
    std::uint32_t seed = 2024u;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 8) % 100000u) / 100000.0;
    };
    std::string text;
    for (std::int64_t g = 0; g < groups; ++g) {
        const double x1 = 0.5 + 4.0 * next();
        const double x2 = 0.5 + 4.0 * next();
        const double y
            = *results::evaluateModel(kModel, c, x1, x2, 0) * (1 + 1E-06 * (next() - 0.5));
        text += core::recordNumber(x1) + "," + core::recordNumber(x2) + "," + core::recordNumber(y)
            + "\r\n";
    }
    return text;
}

void fullSearchOfModel24(benchmark::State& state)
{
    const std::int64_t groups = state.range(0);
    const std::filesystem::path root = benchRoot(groups);
    std::filesystem::create_directories(root / "sys");
    writeFile(root / "data.qtm", samples(groups));
    writeFile(root / "sys" / "xx.sys", "2,4,6,24\r\n");
    writeFile(root / "sys" / "mb.sys", "0\r\n");
    writeFile(root / "sys" / "culi.sys", "0,0,0,0\r\n");

    std::int64_t evaluations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        writeFile(root / "sys" / "r1.sys", "0\r\n");
        writeFile(root / "sys" / "JC.sys", "98500000000000\r\n");
        core::Session session(root);
        session.form1.Text1 = "2";
        session.form1.Text2 = std::to_string(groups);
        session.form1.Text3 = "4";
        session.form1.Text4 = ".5";
        state.ResumeTiming();

        power::exponentSearch(session, 6, kModel,
            [&evaluations](double, const power::ExponentSet&, power::SearchIndex,
                power::EvaluationOutcome) { ++evaluations; });
        benchmark::DoNotOptimize(session.form1.Text5);
    }
    state.counters["evaluations/s"]
        = benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kIsRate);
    state.counters["evaluations/search"]
        = benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kAvgIterations);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

BENCHMARK(fullSearchOfModel24)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime(); // file writes are part of every evaluation

} // namespace

BENCHMARK_MAIN();
