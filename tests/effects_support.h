// Helpers shared by the tests of the special-block effects: building a well cell by cell, driving
// the current state frame by frame through the real state switch, and comparing the screen with
// the well's picture.
#pragma once

#include "game_test.h"

#include "app/vextile.h"
#include "play/play_record.h"
#include "play/well.h"

#include <vector>

inline void put(int col, int row, int tile) {
    play_record.grid.set_cell(col, row, tile);
}

// Fills the row with the tile, leaving out one column (or none).
inline void fill_row(int row, int tile, int skip_col = -1) {
    for (int col = 0; col < GRID_COLS; ++col)
        if (col != skip_col) put(col, row, tile);
}

inline int cell(int col, int row) {
    return play_record.grid.cell(col, row);
}

inline int blocks_in_row(int row) {
    int count = 0;
    for (int col = 0; col < GRID_COLS; ++col)
        count += play_record.grid.is_occupied(col, row);
    return count;
}

inline std::vector<int> well_cells() {
    return std::vector<int>(std::begin(play_record.grid.cells), std::end(play_record.grid.cells));
}

// Whether every pixel of the rectangle on the screen shows what the well surface holds there.
inline bool screen_shows_well(int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (!same_colour(colour_at(nullptr, x, y),
                             colour_at(Grid_Field_Surface::well_surface, x, y)))
                return false;
    return true;
}

class Effect_Test : public Game_Test {
  protected:
    static void enter(State_Id id) { app.change_state(id); }
    static void frame() { app.state->do_frame(); }
    // Runs frames while the state of the id is current (at most `limit`); answers how many ran.
    static int run_while(State_Id id, int limit = 100000) {
        int frames = 0;
        while (play_record.state_id == id && app.state && frames < limit) {
            app.state->do_frame();
            ++frames;
        }
        return frames;
    }
    template <class State> static State* current() { return dynamic_cast<State*>(app.state.get()); }
};
