#include "effects/ice_state.h"

#include "media/sounds.h"
#include "media/video.h"
#include "play/play_record.h"

Ice_State::Ice_State() : Effect_State(STATE_ICE) {
    set_background(BMP_NONE);
    load_sound(table_row().sound);
    load_sound(SND_MISS);
}

Ice_State::~Ice_State() = default;

void Ice_State::do_frame(double seconds) {
    bool broke = false;
    switch (phase) {
    case Phase::freeze:
        freeze_column();
        break;
    case Phase::thaw:
        thaw_column();
        break;
    case Phase::pause:
        phase = Phase::break_away;
        settled = true;
        break;
    case Phase::break_away:
        break_away(seconds);
        broke = true;
        break;
    case Phase::leave:
        // The last frame still draws the well and the sidebar.
        leave();
        break;
    }
    play_record.grid.draw(0, 0);
    if (broke) falling.draw(static_cast<int>(offset_x), static_cast<int>(offset_y));
    draw_sidebar_if_any(seconds);
}

void Ice_State::freeze_column() {
    Grid_Field_Surface& grid = play_record.grid;
    bool froze = false;
    for (int row = 0; row < GRID_ROWS; ++row) {
        if (grid.cell(sweep_column, row) != TILE_FREEZES) continue;
        grid.set_cell(sweep_column, row, TILE_FLASH);
        froze = true;
    }
    if (froze) {
        any_frozen = true;
        grid.redraw_region(sweep_column, 0, 1, GRID_ROWS);
    }
    sweep_column += 1;
    if (sweep_column < GRID_COLS) return;
    play_sound(any_frozen ? table_row().sound : SND_MISS);
    phase = Phase::thaw;
    sweep_column = 0;
}

void Ice_State::thaw_column() {
    Grid_Field_Surface& grid = play_record.grid;
    for (int row = 0; row < GRID_ROWS; ++row) {
        if (grid.cell(sweep_column, row) != TILE_FLASH) continue;
        // Ice in the top row has nothing to break away into: it simply melts.
        if (row == 0) {
            grid.clear_cell(sweep_column, row);
        } else {
            grid.set_cell(sweep_column, row, TILE_THAWED);
        }
    }
    grid.redraw_region(sweep_column, 0, 1, GRID_ROWS);
    sweep_column += 1;
    if (sweep_column < GRID_COLS) return;
    phase = Phase::pause;
    sweep_column = 0;
}

void Ice_State::break_away(double seconds) {
    if (!settled) {
        if (slide_down(offset_y, seconds)) land_drop();
        return;
    }
    falling.clear_rows(0, GRID_ROWS);
    bool any_lifted = false;
    for (int col = 0; col < GRID_COLS; ++col)
        any_lifted = lift_column(col) || any_lifted;
    if (any_lifted) {
        settled = false;
        offset_y = 0.0f;
    } else {
        phase = Phase::leave;
    }
}

// Takes the lowest thawed block of the column out of the well and lifts everything above it into
// the falling layer; answers whether the column had one. Row 0 has nothing above it to lift.
bool Ice_State::lift_column(int col) {
    Grid_Field_Surface& grid = play_record.grid;
    column_falling[col] = false;
    for (int row = GRID_ROWS - 1; row >= 1; --row) {
        if (grid.cell(col, row) != TILE_THAWED) continue;
        falling.copy_block(grid, col, 0, col, 0, 1, row);
        grid.clear_block(col, 0, 1, row + 1);
        grid.redraw_region(col, 0, 1, row + 1);
        column_falling[col] = true;
        return true;
    }
    return false;
}

void Ice_State::land_drop() {
    Grid_Field_Surface& grid = play_record.grid;
    settled = true;
    for (int col = 0; col < GRID_COLS; ++col) {
        if (!column_falling[col]) continue;
        for (int row = GRID_ROWS - 2; row >= 0; --row) {
            if (!falling.is_occupied(col, row)) continue;
            grid.copy_block(falling, col, 1, col, 0, 1, row + 1);
            falling.clear_block(col, 0, 1, row + 1);
            break;
        }
    }
    falling.clear_rows(0, GRID_ROWS);
    grid.redraw_region(0, 0, GRID_COLS, GRID_ROWS);
}
