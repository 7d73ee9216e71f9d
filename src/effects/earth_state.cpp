#include "effects/earth_state.h"

#include "game/game_context.h"
#include "media/sounds.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/play_record.h"

#include <cstdlib>

namespace {

// The lowest row that can hang over a hole: row 19 has the floor under it.
constexpr int LAST_SCAN_ROW = GRID_ROWS - 2;

// One shake offset from a rand() value, in -range / 2 .. range - range / 2 - 1. A block texture
// under five pixels leaves a range of zero (there is nothing to take the remainder by): that axis
// keeps still.
int shake_offset(int value, int range) {
    return range > 0 ? value % range - range / 2 : 0;
}

} // namespace

Earth_State::Earth_State() : Effect_State(STATE_EARTH) {
    set_background(BMP_NONE);
    falling.clear_rows(0, GRID_ROWS);
    load_sound(SND_BLOCK_HIT);
    load_sound(table_row().sound);
    play_sound(table_row().sound);
}

Earth_State::~Earth_State() = default;

void Earth_State::do_frame(double seconds) {
    if (phase == Phase::shake) {
        shake(seconds);
    } else if (!settle(seconds)) {
        return;
    }
    draw_sidebar_if_any(seconds);
}

void Earth_State::shake(double seconds) {
    if (timer <= 0.0f) {
        // The well stays as the last shake left it until the settling draws it again.
        phase = Phase::settle;
        scan_row = 0;
        return;
    }
    const int across = static_cast<int>(block_size() * 0.4);
    const int up_down = static_cast<int>(block_size() * 0.2);
    // Both draws are made whatever the ranges, so a seeded game replays the same.
    const int first = std::rand();
    const int second = std::rand();
    const int dx = shake_offset(first, across);
    const int dy = shake_offset(second, up_down);
    timer = static_cast<float>(timer - seconds);
    play_record.grid.draw(dx, dy);
}

bool Earth_State::settle(double seconds) {
    if (scan_row > LAST_SCAN_ROW) {
        leave();
        return false;
    }
    if (!settled) {
        if (slide_down(offset_y, seconds)) land_drop();
    } else {
        scan();
    }
    play_record.grid.draw(0, 0);
    if (!settled) falling.draw(static_cast<int>(offset_x), static_cast<int>(offset_y));
    return true;
}

void Earth_State::land_drop() {
    Grid_Field_Surface& grid = play_record.grid;
    settled = true;
    for (int col = 0; col < GRID_COLS; ++col) {
        if (column_falling[col]) grid.copy_block(falling, col, 1, col, 0, 1, scan_row + 1);
    }
    falling.clear_rows(0, GRID_ROWS);
    grid.redraw_region(0, 0, GRID_COLS, scan_row + 2);
}

void Earth_State::scan() {
    falling.clear_rows(0, GRID_ROWS);
    // Rows without a hanging block are passed in the same frame; a drop stops the scan, and the
    // next scan comes back to the same row.
    for (int row = scan_row; row <= LAST_SCAN_ROW; ++row) {
        if (drop_columns_at(row)) {
            play_record.grid.redraw_region(0, 0, GRID_COLS, row + 1);
            return;
        }
        scan_row = row + 1;
    }
}

bool Earth_State::drop_columns_at(int row) {
    Grid_Field_Surface& grid = play_record.grid;
    for (int col = 0; col < GRID_COLS; ++col) {
        if (grid.is_occupied(col, row) && !grid.is_occupied(col, row + 1)) {
            // The whole stack above the hole goes down with the block.
            falling.copy_block(grid, col, 0, col, 0, 1, row + 1);
            grid.clear_block(col, 0, 1, row + 1);
            column_falling[col] = true;
            settled = false;
            offset_x = 0.0f;
            offset_y = 0.0f;
        } else {
            // A column that took part in the last drop has landed.
            if (column_falling[col]) play_sound(SND_BLOCK_HIT);
            column_falling[col] = false;
        }
    }
    return !settled;
}
