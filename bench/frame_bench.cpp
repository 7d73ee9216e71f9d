// The cost of one frame (app.run_frame(): background, the state's frame, flip) in every state that
// runs for more than a moment, and the heap allocations of steady play.
//
// Each benchmark builds its state outside the timed loop and keeps it in one representative
// phase: the frame time is set before every frame, so timers that would switch the state away
// stand still or run slowly enough, and the falling piece is lifted back before it can land.
#include "registry.h"

#include "alloc_count.h"
#include "bench_world.h"

#include "app/vextile.h"
#include "effects/earth_state.h"
#include "effects/fire_state.h"
#include "effects/ice_state.h"
#include "effects/kill_rows_state.h"
#include "effects/lightning_state.h"
#include "media/video.h"
#include "play/play_record.h"
#include "play/sidebar.h"
#include "ui/score_list_state.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>

namespace {

constexpr double PLAY_FRAME_SECONDS = 0.001; // a frame of a fast machine
constexpr double HOLD = 0.0;                 // a frame time that keeps timed phases in place
constexpr int WARM_UP_FRAMES = 3;            // SDL builds blit maps and RLE copies on first use
constexpr int MAX_DRIVE_FRAMES = 200;
constexpr int STEADY_PLAY_FRAMES = 10000;

// ---- running frames -----------------------------------------------------------------------------

template <typename S> S* current_state() {
    return dynamic_cast<S*>(app.state.get());
}

// The time of the next frame the benchmarks run.
double frame_seconds = PLAY_FRAME_SECONDS;

void frame(double seconds) {
    frame_seconds = seconds;
    app.run_frame(frame_seconds);
}

// Runs frames of `seconds` until `reached` holds; false when the state switched away or the
// phase was never reached.
bool drive(const std::function<bool()>& reached, double seconds) {
    const Game_State* const state = app.state.get();
    for (int i = 0; i < MAX_DRIVE_FRAMES && app.state.get() == state; ++i) {
        if (reached()) return true;
        frame(seconds);
    }
    return app.state.get() == state && reached();
}

// Times the current state's frames. `before` runs before every frame, inside the timing: it may
// only store a few values (the frame time, a piece lifted back). `still_there` tells afterwards
// whether every frame was the phase the benchmark set out to measure.
void time_frames(benchmark::State& state, const std::function<void()>& before,
                 const std::function<bool()>& still_there) {
    for (int i = 0; i < WARM_UP_FRAMES; ++i) {
        before();
        app.run_frame(frame_seconds);
    }
    const Game_State* const measured = app.state.get();
    uint64_t allocations = 0;
    {
        const Alloc_Window window;
        for (auto _ : state) {
            before();
            app.run_frame(frame_seconds);
        }
        allocations = window.count();
    }
    if (app.state.get() != measured || !still_there()) {
        state.SkipWithError("the state left the measured phase");
        return;
    }
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

void time_held_frames(benchmark::State& state, double seconds,
                      const std::function<bool()>& still_there) {
    time_frames(
        state, [seconds] { frame_seconds = seconds; }, still_there);
}

void fail_setup(benchmark::State& state) {
    state.SkipWithError("could not reach the phase to measure");
    for (auto _ : state) {
    }
}

// ---- the loop's own share -----------------------------------------------------------------------

// No state and no background: the two clock reads and the flip that every frame pays.
void BM_no_state(benchmark::State& state) {
    app.enter_state(STATE_NONE);
    set_background(BMP_NONE);
    time_held_frames(state, PLAY_FRAME_SECONDS, [] { return true; });
}

// ---- play ---------------------------------------------------------------------------------------

// The piece is lifted back before a frame, so the last frame may have taken it one row lower.
bool piece_in_the_air() {
    const bool falling = (play_record.flags & FLAG_FALLING) != 0;
    return falling && play_record.current.row <= PIECE_LOWEST_ROW + 1;
}

void play_falling_frame() {
    frame_seconds = PLAY_FRAME_SECONDS;
    if (play_record.current.row > PIECE_LOWEST_ROW) lift_piece();
}

void BM_play_falling(benchmark::State& state) {
    set_up_game(0);
    app.enter_state(STATE_PLAY);
    time_frames(state, play_falling_frame, piece_in_the_air);
}

void BM_play_paused(benchmark::State& state) {
    set_up_game(0);
    play_record.flags |= FLAG_PAUSED;
    app.enter_state(STATE_PLAY);
    time_held_frames(state, PLAY_FRAME_SECONDS,
                     [] { return (play_record.flags & FLAG_PAUSED) != 0; });
}

// Steady play: the falling frame, counted over many frames after a warm-up, with no benchmark
// machinery inside the count.
void BM_steady_play_allocations(benchmark::State& state) {
    if (!alloc_counter_sees_sdl()) {
        state.SkipWithError("the allocation counter does not see SDL's mallocs");
        for (auto _ : state) {
        }
        return;
    }
    set_up_game(0);
    app.enter_state(STATE_PLAY);
    for (int i = 0; i < 100; ++i) {
        play_falling_frame();
        app.run_frame(frame_seconds);
    }
    uint64_t allocations = 0;
    for (auto _ : state) {
        const Alloc_Window window;
        for (int i = 0; i < STEADY_PLAY_FRAMES; ++i) {
            play_falling_frame();
            app.run_frame(frame_seconds);
        }
        allocations += window.count();
    }
    if (!piece_in_the_air()) state.SkipWithError("the piece landed");
    const double frames = static_cast<double>(state.iterations()) * STEADY_PLAY_FRAMES;
    state.counters["frames"] = frames;
    state.counters["allocs_per_frame"] = static_cast<double>(allocations) / frames;
}

// ---- effects ------------------------------------------------------------------------------------

// The row clear in its flash phase: the second of three full rows shows, with its "x2" label.
void BM_row_clear_flash(benchmark::State& state) {
    set_up_game(3);
    play_record.grid.find_full_rows(GRID_ROWS - 1, 0);
    app.enter_state(STATE_KILL_ROWS);
    auto* effect = current_state<KillRows_State>();
    if (!effect || !drive([effect] { return effect->multiplier == 2; }, 0.3))
        return fail_setup(state);
    time_held_frames(state, HOLD, [effect] {
        return effect->phase == KillRows_State::Phase::flash && effect->multiplier == 2;
    });
}

// The row clear collapsing: the blocks above a removed row are lifted and slide down.
void BM_row_clear_collapse(benchmark::State& state) {
    set_up_game(3);
    play_record.grid.find_full_rows(GRID_ROWS - 1, 0);
    app.enter_state(STATE_KILL_ROWS);
    auto* effect = current_state<KillRows_State>();
    if (!effect ||
        !drive([effect] { return effect->phase == KillRows_State::Phase::collapse; }, 0.3))
        return fail_setup(state);
    time_held_frames(state, HOLD, [effect] {
        return effect->phase == KillRows_State::Phase::collapse && !effect->take_row;
    });
}

// The earth shaking the well (1.4 seconds of the effect).
void BM_earth_shake(benchmark::State& state) {
    set_up_game(0);
    hang_blocks();
    app.enter_state(STATE_EARTH);
    auto* effect = current_state<Earth_State>();
    if (!effect) return fail_setup(state);
    time_held_frames(state, HOLD, [effect] { return effect->phase == Earth_State::Phase::shake; });
}

// The earth settling: hanging blocks drop, drawn cell by cell over the well.
void BM_earth_settle(benchmark::State& state) {
    set_up_game(0);
    hang_blocks();
    app.enter_state(STATE_EARTH);
    auto* effect = current_state<Earth_State>();
    if (!effect ||
        !drive([effect] { return effect->phase == Earth_State::Phase::settle && !effect->settled; },
               0.5))
        return fail_setup(state);
    time_held_frames(state, HOLD, [effect] {
        return effect->phase == Earth_State::Phase::settle && !effect->settled;
    });
}

// The ice breaking away: thawed blocks gone, the blocks above them sliding down.
void BM_ice_break_away(benchmark::State& state) {
    set_up_game(0);
    app.enter_state(STATE_ICE);
    auto* effect = current_state<Ice_State>();
    if (!effect ||
        !drive(
            [effect] { return effect->phase == Ice_State::Phase::break_away && !effect->settled; },
            HOLD))
        return fail_setup(state);
    time_held_frames(state, HOLD, [effect] {
        return effect->phase == Ice_State::Phase::break_away && !effect->settled;
    });
}

// The fire burning, its flames at their tallest frame.
void BM_fire_burn(benchmark::State& state) {
    set_up_game(0);
    app.enter_state(STATE_FIRE);
    auto* effect = current_state<Fire_State>();
    if (!effect ||
        !drive(
            [effect] { return effect->phase == Fire_State::Phase::burn && effect->timer < 0.6f; },
            0.9))
        return fail_setup(state);
    time_held_frames(state, HOLD, [effect] { return effect->phase == Fire_State::Phase::burn; });
}

// The lightning's white fading over the bolt and the shuffled well, half way.
void BM_lightning_fade(benchmark::State& state) {
    set_up_game(0);
    app.enter_state(STATE_LIGHTNING);
    auto* effect = current_state<Lightning_State>();
    if (!effect || !drive(
                       [effect] {
                           return effect->phase == Lightning_State::Phase::white_fade &&
                                  effect->timer < 0.3f;
                       },
                       0.2))
        return fail_setup(state);
    time_held_frames(state, HOLD,
                     [effect] { return effect->phase == Lightning_State::Phase::white_fade; });
}

// ---- menus --------------------------------------------------------------------------------------

// The main menu writes the saved game as it is built: built once, outside the timing.
void BM_main_menu(benchmark::State& state) {
    app.enter_state(STATE_MAIN_MENU);
    time_held_frames(state, PLAY_FRAME_SECONDS, [] { return true; });
}

void BM_options(benchmark::State& state) {
    app.enter_state(STATE_OPTIONS);
    time_held_frames(state, PLAY_FRAME_SECONDS, [] { return true; });
}

// The list goes back to the menu after 150 seconds: its timer is wound back before every frame.
void BM_score_list(benchmark::State& state) {
    app.enter_state(STATE_SCORE_LIST);
    auto* list = current_state<Score_List_State>();
    if (!list) return fail_setup(state);
    time_frames(
        state,
        [list] {
            frame_seconds = PLAY_FRAME_SECONDS;
            list->timer = 150.0f;
        },
        [] { return true; });
}

void add_frame(const char* name, void (*function)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMicrosecond);
}

} // namespace

void register_frame_benchmarks() {
    add_frame("frame/no_state", BM_no_state);
    add_frame("frame/play_falling", BM_play_falling);
    add_frame("frame/play_paused", BM_play_paused);
    add_frame("frame/row_clear_flash", BM_row_clear_flash);
    add_frame("frame/row_clear_collapse", BM_row_clear_collapse);
    add_frame("frame/earth_shake", BM_earth_shake);
    add_frame("frame/earth_settle", BM_earth_settle);
    add_frame("frame/ice_break_away", BM_ice_break_away);
    add_frame("frame/fire_burn", BM_fire_burn);
    add_frame("frame/lightning_fade", BM_lightning_fade);
    add_frame("frame/main_menu", BM_main_menu);
    add_frame("frame/options", BM_options);
    add_frame("frame/score_list", BM_score_list);
    benchmark::RegisterBenchmark("alloc/steady_play", BM_steady_play_allocations)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}
