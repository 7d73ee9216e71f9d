// The benchmark program: starts the game headless, measures the bound once, runs every family and
// prints, after Google Benchmark's own table, a summary of the medians against the budgets.
#include "bench_world.h"
#include "bound.h"
#include "registry.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr double PLAY_BUDGET_X_BOUND = 2.0;
constexpr double FLIP_BUDGET_X_MEMCPY = 2.0; // the scaled flip against a memcpy of the window
constexpr double STARTUP_BUDGET_MS = 50.0;
constexpr double PACING_MEDIAN_MS = 0.5; // frame intervals against the period
constexpr double PACING_P99_MS = 3.0;
constexpr const char* PLAY_FRAME = "frame/play_falling";
constexpr const char* STEADY_PLAY = "alloc/steady_play";

bool starts_with(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

double in_nanoseconds(double time, benchmark::TimeUnit unit) {
    return time * 1e9 / benchmark::GetTimeUnitMultiplier(unit);
}

double wall_nanoseconds(const benchmark::BenchmarkReporter::Run& run) {
    return in_nanoseconds(run.GetAdjustedRealTime(), run.time_unit);
}

double cpu_nanoseconds(const benchmark::BenchmarkReporter::Run& run) {
    return in_nanoseconds(run.GetAdjustedCPUTime(), run.time_unit);
}

std::string cpu_model() {
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    while (std::getline(info, line)) {
        if (!starts_with(line, "model name")) continue;
        const size_t colon = line.find(':');
        return colon == std::string::npos ? line : line.substr(colon + 2);
    }
    return "unknown CPU";
}

// What the summary keeps of one run.
struct Result {
    double nanoseconds = 0.0;     // wall time per iteration
    double cpu_nanoseconds = 0.0; // the benchmark thread's CPU time per iteration
    std::map<std::string, double> counters;
    bool failed = false;
};

// The console table with an "x_bound" column (CPU time per iteration over the bound measured at
// start-up, also in CPU time) on the bound, frame and part rows, and the results kept for the
// summary.
class Bound_Reporter : public benchmark::ConsoleReporter {
  public:
    explicit Bound_Reporter(double bound_ns)
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular),
          bound_ns_(bound_ns) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown = runs;
        for (Run& run : shown) {
            add_ratio(run);
            keep(run);
        }
        ConsoleReporter::ReportRuns(shown);
    }

    void print_summary() const;

  private:
    void add_ratio(Run& run) const {
        const std::string name = run.run_name.function_name;
        const bool timed_frame = starts_with(name, "frame/") || starts_with(name, "bound/") ||
                                 starts_with(name, "part/");
        if (!timed_frame || run.error_occurred || run.aggregate_unit != benchmark::kTime) return;
        run.counters["x_bound"] = benchmark::Counter(cpu_nanoseconds(run) / bound_ns_);
    }

    void keep(const Run& run) {
        const std::string name = run.run_name.function_name;
        if (std::find(order_.begin(), order_.end(), name) == order_.end()) order_.push_back(name);
        Result result;
        result.nanoseconds = wall_nanoseconds(run);
        result.cpu_nanoseconds = cpu_nanoseconds(run);
        result.failed = run.error_occurred;
        for (const auto& [key, counter] : run.counters)
            result.counters[key] = counter.value;
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
            medians_[name] = result;
        else if (run.run_type == Run::RT_Iteration)
            runs_[name].push_back(result);
    }

    // The median run of a row (the aggregate when there was one), or none.
    bool median_of(const std::string& name, Result* out) const;
    void print_row(const std::string& name) const;

    double bound_ns_;
    std::vector<std::string> order_;
    std::map<std::string, std::vector<Result>> runs_;
    std::map<std::string, Result> medians_;
};

bool Bound_Reporter::median_of(const std::string& name, Result* out) const {
    if (const auto found = medians_.find(name); found != medians_.end()) {
        *out = found->second;
        return !out->failed;
    }
    const auto found = runs_.find(name);
    if (found == runs_.end() || found->second.empty()) return false;
    std::vector<Result> sorted = found->second;
    for (const Result& r : sorted)
        if (r.failed) return false;
    std::sort(sorted.begin(), sorted.end(), [](const Result& a, const Result& b) {
        return a.cpu_nanoseconds < b.cpu_nanoseconds;
    });
    *out = sorted[sorted.size() / 2];
    return true;
}

std::string verdict(bool met) {
    return met ? "met" : "NOT MET";
}

void Bound_Reporter::print_row(const std::string& name) const {
    Result r;
    if (!median_of(name, &r)) {
        std::printf("%-30s  failed (see above)\n", name.c_str());
        return;
    }
    if (starts_with(name, "startup/")) {
        const double ms = r.nanoseconds / 1e6;
        std::printf("%-30s %9.2f ms %9.2f ms %27s  <= %.0f ms: %s\n", name.c_str(),
                    r.counters["cpu_ms"], ms, "", STARTUP_BUDGET_MS,
                    verdict(ms <= STARTUP_BUDGET_MS).c_str());
        return;
    }
    if (starts_with(name, "pacing/")) {
        const double period = r.counters["period_ms"];
        const double median = r.counters["median_ms"], p99 = r.counters["p99_ms"];
        const bool met = std::abs(median - period) <= PACING_MEDIAN_MS &&
                         std::abs(p99 - period) <= PACING_P99_MS;
        std::printf("%-30s median %6.2f ms  99th %6.2f ms  period %6.2f ms   median within "
                    "%.1f ms, 99th within %.0f ms: %s\n",
                    name.c_str(), median, p99, period, PACING_MEDIAN_MS, PACING_P99_MS,
                    verdict(met).c_str());
        return;
    }
    if (starts_with(name, "flip/")) {
        const double memcpy_us = r.counters["memcpy_us"];
        const double ratio = r.cpu_nanoseconds / 1e3 / memcpy_us;
        std::printf("%-30s %9.1f us %9.1f us %9.2f x memcpy of the window (%.1f us)  <= %.0f x: "
                    "%s\n",
                    name.c_str(), r.cpu_nanoseconds / 1e3, r.nanoseconds / 1e3, ratio, memcpy_us,
                    FLIP_BUDGET_X_MEMCPY, verdict(ratio <= FLIP_BUDGET_X_MEMCPY).c_str());
        return;
    }
    if (name == STEADY_PLAY) {
        const double per_frame = r.counters["allocs_per_frame"];
        std::printf("%-30s %9.0f frames %37s %9.4f  0 allocations: %s\n", name.c_str(),
                    r.counters["frames"], "", per_frame, verdict(per_frame == 0.0).c_str());
        return;
    }
    const double ratio = r.cpu_nanoseconds / bound_ns_;
    std::printf("%-30s %9.1f us %9.1f us %9.2f", name.c_str(), r.cpu_nanoseconds / 1e3,
                r.nanoseconds / 1e3, ratio);
    if (r.counters.count("allocs"))
        std::printf(" %15.2f", r.counters["allocs"]);
    else
        std::printf(" %15s", "");
    if (name == PLAY_FRAME)
        std::printf("  <= %.0f x bound: %s", PLAY_BUDGET_X_BOUND,
                    verdict(ratio <= PLAY_BUDGET_X_BOUND).c_str());
    std::printf("\n");
}

void Bound_Reporter::print_summary() const {
    std::printf("\nVextile against the limit of this machine (%s, %ld cores)\n",
                cpu_model().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("bound = memset + memcpy of one 320 x 320 x 4 byte screen = %.1f us of CPU "
                "(median, measured at start-up)\nmedians of the runs above; x bound = CPU time "
                "over the bound (wall time also counts waits for a core)\n\n",
                bound_ns_ / 1e3);
    std::printf("%-30s %12s %12s %9s %15s  %s\n", "row", "CPU", "wall", "x bound", "allocs/frame",
                "budget");
    for (const std::string& name : order_)
        print_row(name);
}

} // namespace

int main(int argc, char** argv) {
    const int child_status = run_startup_child_if_asked(argc, argv);
    if (child_status >= 0) return child_status;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!start_world()) {
        std::fprintf(stderr, "vextile_bench: SDL, the screen or the game font did not start\n");
        return 1;
    }
    Bound_Reporter reporter(bound_nanoseconds());
    register_bound_benchmark();
    register_frame_benchmarks();
    register_part_benchmarks();
    register_flip_benchmarks();
    register_startup_benchmarks();
    register_pacing_benchmarks();
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_summary();
    benchmark::Shutdown();
    stop_world();
    return 0;
}
