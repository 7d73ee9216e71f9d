// Pieces of four blocks: the shape table, geometry, turning, random generation and drawing.
#pragma once

#include "play/grid_field.h"
#include "store/options_file.h"

#include <cstdint>

struct Cell_Offset {
    int32_t dx, dy;
};

struct Grid_Pos {
    int32_t col, row;
};

constexpr int SHAPE_COUNT = 7;

struct Shape_Def {
    int32_t rotation_count;
    Cell_Offset cells[4][4];  // per rotation, the four cells in their order
    Cell_Offset bounds[4][2]; // per rotation, minimum corner then maximum corner
};

extern const Shape_Def shape_table[SHAPE_COUNT];

// 48 bytes in the saved game: see the play record's encoder.
struct Piece {
    int32_t shape = 0;
    int32_t rotation = 0;
    int32_t col = 0;
    int32_t row = 0;
    float x = 0.0f;
    float y = 0.0f;
    int32_t tile = 0;
    int32_t special_kind = 0; // a special face of the effect table, or -1
    int32_t special_cell = 0; // 0..3 in the current rotation's cell order, or -1
    float blink_timer = 0.5f; // seconds until the special face toggles
    float flash = 0.0f;       // seconds of flare flash left
    uint8_t blink_on = 0;     // 1 while the special face shows
};

// Every field 0 (blink_timer too): what generation and a new game start from.
void clear_piece(Piece& piece);

Grid_Pos piece_cell(const Piece& piece, int i);
Cell_Offset piece_bounds(const Piece& piece, int k); // k 0 minimum corner, 1 maximum corner
Grid_Pos piece_abs_bounds(const Piece& piece, int k);
void rotate_piece(Piece& piece);
// Fills the piece; shape -1 draws a random shape. The options decide the colour and the chance of
// a special block. Every random number is one rand() call, in the documented order, so a seeded
// game replays exactly.
void generate_piece(Piece& piece, int shape, const Options_Record& options);
void start_flash(Piece& piece);
// Draws the four cells at the piece's pixel position and advances its blink and flash by one frame
// of the given seconds.
void draw_piece(Piece& piece, double seconds);

// Whether the piece may turn when standing at `column` (and its own row) in the grid: the turned
// cells stay inside the side walls and above the floor and hit no block. No wall kick.
bool rotation_allowed(const Piece& piece, int column, const Grid_Field& grid);
// Whether the piece at its own position is blocked: below the floor or on an occupied cell.
bool piece_blocked(const Piece& piece, const Grid_Field& grid);
