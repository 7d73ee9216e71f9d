// Where the play frame's time goes: each drawing step of Faldor_State's frame on its own, on the
// same screen and pictures as the frame benchmarks.
#include "registry.h"

#include "bench_world.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/play_record.h"
#include "play/sidebar.h"

#include <benchmark/benchmark.h>

namespace {

Rect bitmap_at(Bitmap_Id id, const Rect& where) {
    const Size size = zgl_bitmap_size(id);
    return {where.x, where.y, size.w, size.h};
}

void BM_clear_screen(benchmark::State& state) {
    set_up_game(0);
    for (auto _ : state)
        fill_rect(COLOR_BLACK, {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT});
}

void BM_well(benchmark::State& state) {
    set_up_game(0);
    for (auto _ : state)
        play_record.grid.draw(0, 0);
}

void BM_piece(benchmark::State& state) {
    set_up_game(0);
    for (auto _ : state)
        draw_piece(play_record.current, 0.001);
}

void BM_sidebar(benchmark::State& state) {
    set_up_game(0);
    if (!game.sidebar) state.SkipWithError("no sidebar");
    for (auto _ : state)
        game.sidebar->draw_sidebar(0.001);
}

void BM_sidebar_picture(benchmark::State& state, Bitmap_Id id) {
    set_up_game(0);
    if (!game.sidebar) state.SkipWithError("no sidebar");
    const Sidebar& sidebar = *game.sidebar;
    const Rect where = id == BMP_SIDEBAR_NEXTBOX ? sidebar.next_box
                       : id == BMP_SIDEBAR       ? sidebar.panel
                                                 : sidebar.score_label;
    const Rect at = bitmap_at(id, where);
    for (auto _ : state)
        zgl_draw_bitmap(id, {at.x, at.y});
}

void BM_score_text(benchmark::State& state) {
    set_up_game(0);
    for (auto _ : state)
        write_text("0012340", 240, 200);
}

template <typename... Args>
void add_part(const char* name, void (*function)(benchmark::State&, Args...), Args... args) {
    benchmark::RegisterBenchmark(name, function, args...)->Unit(benchmark::kMicrosecond);
}

void add_part(const char* name, void (*function)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMicrosecond);
}

} // namespace

void register_part_benchmarks() {
    // The game as the play benchmarks set it up, drawn step by step.
    add_part("part/clear_screen", BM_clear_screen);
    add_part("part/well", BM_well);
    add_part("part/piece", BM_piece);
    add_part("part/sidebar", BM_sidebar);
    add_part("part/sidebar_panel", BM_sidebar_picture, BMP_SIDEBAR);
    add_part("part/sidebar_next_box", BM_sidebar_picture, BMP_SIDEBAR_NEXTBOX);
    add_part("part/sidebar_label", BM_sidebar_picture, BMP_SIDEBAR_SCORE);
    add_part("part/score_text", BM_score_text);
}
