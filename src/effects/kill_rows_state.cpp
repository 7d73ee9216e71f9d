#include "effects/kill_rows_state.h"

#include "game/game_context.h"
#include "media/sounds.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/play_record.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

constexpr float FLASH_SECONDS = 0.25f; // between two flashed rows
constexpr int ROW_POINTS = 28;         // the first row of a clear; each further row doubles

int screen_height() {
    const SDL_Surface* const surface = get_screen();
    return surface ? surface->h : SCREEN_HEIGHT;
}

} // namespace

KillRows_State::KillRows_State() : Effect_State(STATE_KILL_ROWS) {
    const Full_Rows found = play_record.grid.full_rows();
    row_count = std::clamp(found.count, 0, GRID_ROWS);
    std::copy(found.rows, found.rows + row_count, rows);
    set_background(BMP_NONE);
    load_sound(SND_KILLROW);
    load_sound(SND_BLOCK_HIT);
}

KillRows_State::~KillRows_State() = default;

void KillRows_State::do_frame(double seconds) {
    switch (phase) {
    case Phase::flash:
        flash(seconds);
        break;
    case Phase::blank:
        blank(seconds);
        break;
    case Phase::collapse:
        collapse(seconds);
        break;
    }
}

void KillRows_State::flash(double seconds) {
    if (timer > 0.0f) {
        timer = static_cast<float>(timer - seconds);
        // The label rises by a twentieth of the screen per second.
        offset_y = static_cast<float>(offset_y - (screen_height() / 20) * seconds);
    } else if (step == row_count) {
        phase = Phase::blank;
        step = 0;
        multiplier = 0;
        return;
    } else {
        flash_next_row();
    }
    draw_flash();
}

void KillRows_State::flash_next_row() {
    const int row = rows[step];
    for (int col = 0; col < GRID_COLS; ++col)
        play_record.grid.set_cell(col, row, TILE_FLASH);
    // What the timer overshot below zero is carried into the next wait.
    timer += FLASH_SECONDS;
    offset_x = static_cast<float>(block_size() * step);
    offset_y = static_cast<float>(block_size() * row - text_height());
    multiplier = 1 << step;
    play_record.score += ROW_POINTS * multiplier;
    play_record.score_step = 2;
    step += 1;
    play_sound(SND_KILLROW);
}

void KillRows_State::draw_flash() {
    play_record.grid.draw(0, 0);
    if (multiplier <= 1) return;
    std::snprintf(label, sizeof label, "x%d", multiplier);
    write_text(label, static_cast<int>(offset_x), static_cast<int>(offset_y));
}

void KillRows_State::blank(double seconds) {
    if (step == 0) {
        for (int i = 0; i < row_count; ++i)
            play_record.grid.clear_rows(rows[i], 1);
        step = 1;
        timer = row_count <= 1 ? 0.25f : 0.5f;
        play_record.score_step = row_count;
    } else {
        timer = static_cast<float>(timer - seconds);
        if (timer < 0.0f) {
            offset_x = 0.0f;
            phase = Phase::collapse;
            step = 0;
            take_row = true;
        }
    }
    play_record.grid.draw(0, 0);
}

void KillRows_State::collapse(double seconds) {
    if (step == row_count) {
        play_record.blocks_cleared += GRID_COLS * row_count;
        play_sound(SND_BLOCK_HIT);
        handle_command(CMD_STOP, nullptr);
        game.change_state(STATE_PLAY);
        return;
    }
    const int row = rows[step];
    if (take_row) lift_blocks_above(row);
    if (offset_y >= block_size()) {
        drop_lifted_blocks(row);
    } else {
        slide_down(offset_y, seconds);
    }
    play_record.grid.draw(0, 0);
    if (step < row_count) falling.draw(static_cast<int>(offset_x), static_cast<int>(offset_y));
}

void KillRows_State::lift_blocks_above(int row) {
    Grid_Field_Surface& grid = play_record.grid;
    falling.clear_rows(0, GRID_ROWS);
    falling.copy_rows(grid, 0, 0, row);
    grid.clear_rows(0, row);
    grid.redraw_region(0, 0, GRID_COLS, row);
    offset_y = 0.0f;
    take_row = false;
}

void KillRows_State::drop_lifted_blocks(int row) {
    Grid_Field_Surface& grid = play_record.grid;
    // One row lower, over the removed row.
    grid.copy_rows(falling, 1, 0, row);
    grid.redraw_region(0, 1, GRID_COLS, row);
    // The rows still to go lay above this one and have just moved down with it. (A list that did
    // not come from a search, as a hand-made saved game may hold, can name a row below this one:
    // that row did not move, and must not be pushed past the floor.)
    for (int i = step + 1; i < row_count; ++i) {
        if (rows[i] < row) rows[i] += 1;
    }
    step += 1;
    take_row = true;
}
