#include "bound.h"

#include "registry.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

struct Screen_Buffers {
    std::vector<unsigned char> cleared = std::vector<unsigned char>(SCREEN_BYTES);
    std::vector<unsigned char> copy = std::vector<unsigned char>(SCREEN_BYTES);
};

Screen_Buffers& buffers() {
    static Screen_Buffers b;
    return b;
}

double thread_cpu_nanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e9 + now.tv_nsec;
}

// Mean CPU nanoseconds of one bound over a batch.
double time_batch(int count) {
    const double start = thread_cpu_nanoseconds();
    for (int i = 0; i < count; ++i)
        fill_and_copy_screen();
    return (thread_cpu_nanoseconds() - start) / count;
}

double measure_bound() {
    constexpr int BATCHES = 101;
    constexpr int PER_BATCH = 40;
    time_batch(PER_BATCH); // warm the caches and fault the pages in
    std::vector<double> batches;
    for (int i = 0; i < BATCHES; ++i)
        batches.push_back(time_batch(PER_BATCH));
    std::nth_element(batches.begin(), batches.begin() + BATCHES / 2, batches.end());
    return batches[BATCHES / 2];
}

} // namespace

void fill_and_copy_screen() {
    Screen_Buffers& b = buffers();
    benchmark::DoNotOptimize(b.cleared.data());
    std::memset(b.cleared.data(), 0, SCREEN_BYTES);
    std::memcpy(b.copy.data(), b.cleared.data(), SCREEN_BYTES);
    benchmark::DoNotOptimize(b.copy.data());
    benchmark::ClobberMemory();
}

double bound_nanoseconds() {
    static const double bound = measure_bound();
    return bound;
}

namespace {

void BM_bound(benchmark::State& state) {
    for (auto _ : state)
        fill_and_copy_screen();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * SCREEN_BYTES);
}

} // namespace

void register_bound_benchmark() {
    benchmark::RegisterBenchmark("bound/memset_memcpy_screen", BM_bound)
        ->Unit(benchmark::kMicrosecond);
}
