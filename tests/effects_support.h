// What the tests of the special-block effects share: building the well cell by cell, reading it
// back as text, and driving the current state frame by frame, at 1/16 s a frame.
#pragma once

#include "game_test.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "play/play_record.h"

#include <string>

inline void put(int col, int row, int tile) {
    play_record.grid.set_cell(col, row, tile);
}

// Fills the row with the tile, leaving out one column (or none).
inline void fill_row(int row, int tile, int skip_col = -1) {
    for (int col = 0; col < GRID_COLS; ++col)
        if (col != skip_col) put(col, row, tile);
}

// The rows from `first` to `last`, a character a cell ('.' empty, the tile in hex, '?' for
// anything else), each row ended by '/'.
inline std::string well(int first = 0, int last = GRID_ROWS - 1) {
    std::string text;
    for (int row = first; row <= last; ++row, text += '/')
        for (int col = 0; col < GRID_COLS; ++col) {
            const unsigned code = play_record.grid.cell(col, row) - EMPTY_CELL; // empty: 0
            text += code <= 16 ? ".0123456789abcdef"[code] : '?';
        }
    return text;
}

inline void frame(int count = 1) {
    for (int i = 0; i < count; ++i)
        app.state_frame(Game_Test::frame_seconds());
}

// Runs frames while the state of the id is current (and `until` does not hold); answers how many
// ran.
inline int run_while(State_Id id, bool (*until)() = nullptr) {
    int frames = 0;
    for (; play_record.state_id == id && !(until && until()) && frames < 100000; ++frames)
        app.state_frame(Game_Test::frame_seconds());
    return frames;
}

class Effect_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        set_frame_seconds(1.0 / 16); // exact in binary; a drop slides in one frame
    }
};
