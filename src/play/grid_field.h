// The cell model of the well: 14 columns by 20 rows, row 0 at the top. A cell is a tile index or
// EMPTY_CELL.
#pragma once

#include <cstdint>

constexpr int GRID_COLS = 14;
constexpr int GRID_ROWS = 20;
constexpr int32_t EMPTY_CELL = -1;

// Tiles 0 to 6 are the block colours; the special faces that follow these two are the effect
// table's (game/effect_table.h).
using Tile = int32_t;
constexpr Tile TILE_FLASH = 7;  // rows being cleared, frozen blocks, the flare flash
constexpr Tile TILE_THAWED = 8; // what thawed ice leaves behind

// The rows found full by the last search, lowest row (largest number) first.
struct Full_Rows {
    const int32_t* rows;
    int32_t count;
};

class Grid_Field {
  public:
    Grid_Field();
    virtual ~Grid_Field();

    // The operations that a well with a picture repaints after changing the cells.
    virtual void redraw_region(int col, int row, int ncols, int nrows);
    virtual void set_cell(int col, int row, int tile);
    virtual void clear_cell(int col, int row);
    virtual void draw(int x, int y); // occupied cells straight onto the screen
    virtual void copy_row(int src_row, int dst_row);
    virtual void clear_rows(int first_row, int count);
    virtual void swap_columns(int col_a, int col_b);

    // Cell changes without painting; callers repaint the changed area of a well themselves.
    int cell(int col, int row) const { return cells[row * GRID_COLS + col]; }
    bool is_occupied(int col, int row) const; // positions outside the grid are empty
    void copy_rows(const Grid_Field& src, int dst_row, int src_row, int count);
    void copy_block(const Grid_Field& src, int dst_col, int dst_row, int src_col, int src_row,
                    int ncols, int nrows);
    void clear_block(int col, int row, int ncols, int nrows);

    // Searches from from_row (bottom) up to to_row (top) for full rows; answers how many.
    int find_full_rows(int from_row, int to_row);
    Full_Rows full_rows() const { return {full_row_list, full_row_count}; }
    bool top_row_occupied() const;

    int32_t cells[GRID_COLS * GRID_ROWS];
    int32_t full_row_list[GRID_ROWS];
    int32_t full_row_count = 0;
};
