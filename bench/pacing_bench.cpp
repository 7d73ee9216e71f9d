// The frame clock in the real main loop: app.run() with the play state in front of it, paced to
// the default ceiling, on the system clock. Each frame's start is noted; the row reports the
// median and the 99th percentile of the intervals between frames against the period. The game
// runs headless (dummy drivers), so the flip never waits for a display: the sleep alone paces.
#include "registry.h"

#include "bench_world.h"

#include "app/state_factory.h"
#include "app/vextile.h"
#include "play/play_record.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int PACED_FRAMES = 241; // four seconds at 60 frames a second

// Plays the real play state and notes when each frame starts; ends the loop after enough frames.
class Timed_Play : public Game_State {
  public:
    explicit Timed_Play(std::vector<double>* starts)
        : play_(make_state(STATE_PLAY)), starts_(starts) {}

    void do_frame(double seconds) override {
        starts_->push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
        lift_piece(); // never lands, so the play state never switches away
        play_->do_frame(seconds);
        if (starts_->size() < PACED_FRAMES) return;
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    bool handle_command(Command command, const char* text) override {
        return play_->handle_command(command, text);
    }
    bool handle_mouse(Mouse_Action action, int x, int y) override {
        return play_->handle_mouse(action, x, y);
    }

  private:
    std::unique_ptr<Game_State> play_;
    std::vector<double>* starts_;
};

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * (values.size() - 1) + 0.5)];
}

void BM_paced_play(benchmark::State& state) {
    set_up_game(0);
    play_record.flags &= ~FLAG_PAUSED;
    std::vector<double> intervals;
    for (auto _ : state) {
        std::vector<double> starts;
        starts.reserve(PACED_FRAMES);
        app.frame_clock = Frame_Clock(DEFAULT_FPS);
        app.state = std::make_unique<Timed_Play>(&starts);
        app.run();
        for (size_t i = 1; i < starts.size(); ++i)
            intervals.push_back((starts[i] - starts[i - 1]) * 1e3);
    }
    app.state.reset();
    state.counters["period_ms"] = 1e3 / DEFAULT_FPS;
    state.counters["median_ms"] = percentile(intervals, 0.5);
    state.counters["p99_ms"] = percentile(intervals, 0.99);
}

} // namespace

void register_pacing_benchmarks() {
    benchmark::RegisterBenchmark("pacing/play_default", BM_paced_play)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}
