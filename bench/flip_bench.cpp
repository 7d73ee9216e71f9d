// The scaled flip: the window at scale 2, 3 and 4, each frame's picture scaled into it, against a
// memcpy of the window's size (the least a flip that writes every window pixel could cost).
#include "registry.h"

#include "media/video.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

double thread_cpu_nanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e9 + now.tv_nsec;
}

// CPU nanoseconds of one memcpy of the size: the median of many timed batches.
double memcpy_nanoseconds(size_t bytes) {
    constexpr int BATCHES = 51;
    constexpr int PER_BATCH = 20;
    std::vector<unsigned char> from(bytes, 1), to(bytes);
    std::vector<double> batches;
    for (int i = 0; i <= BATCHES; ++i) {
        const double start = thread_cpu_nanoseconds();
        for (int k = 0; k < PER_BATCH; ++k) {
            benchmark::DoNotOptimize(from.data());
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
        }
        // The first batch warms the caches and faults the pages in.
        if (i > 0) batches.push_back((thread_cpu_nanoseconds() - start) / PER_BATCH);
    }
    std::nth_element(batches.begin(), batches.begin() + BATCHES / 2, batches.end());
    return batches[BATCHES / 2];
}

void BM_scaled_flip(benchmark::State& state, int scale) {
    if (!video_set_display({scale, false})) {
        state.SkipWithError("the scaled window could not be made");
        for (auto _ : state) {
        }
        return;
    }
    const SDL_Surface* window = SDL_GetVideoSurface();
    const size_t window_bytes = size_t(window->pitch) * window->h;
    const double memcpy_ns = memcpy_nanoseconds(window_bytes);
    flip_screen(); // the first flip clears nothing more but warms the window's pages
    for (auto _ : state)
        flip_screen();
    state.counters["memcpy_us"] = memcpy_ns / 1e3;
    video_set_display({1, false});
}

} // namespace

void register_flip_benchmarks() {
    for (const int scale : {2, 3, 4})
        benchmark::RegisterBenchmark(("flip/scaled_x" + std::to_string(scale)).c_str(),
                                     BM_scaled_flip, scale)
            ->Unit(benchmark::kMicrosecond);
}
