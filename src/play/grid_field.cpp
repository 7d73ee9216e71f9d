#include "play/grid_field.h"

#include "play/block_tiles.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace {

int32_t* row_start(int32_t* cells, int row) {
    return cells + row * GRID_COLS;
}
const int32_t* row_start(const int32_t* cells, int row) {
    return cells + row * GRID_COLS;
}

bool row_is_full(const Grid_Field& grid, int row) {
    for (int col = 0; col < GRID_COLS; ++col) {
        if (!grid.is_occupied(col, row)) return false;
    }
    return true;
}

} // namespace

Grid_Field::Grid_Field() {
    std::fill(std::begin(cells), std::end(cells), EMPTY_CELL);
    std::fill(std::begin(full_row_list), std::end(full_row_list), 0);
}

Grid_Field::~Grid_Field() = default;

void Grid_Field::redraw_region(int, int, int, int) {}

void Grid_Field::set_cell(int col, int row, int tile) {
    cells[row * GRID_COLS + col] = tile;
}

void Grid_Field::clear_cell(int col, int row) {
    cells[row * GRID_COLS + col] = EMPTY_CELL;
}

void Grid_Field::draw(int x, int y) {
    const int size = block_size();
    for (int row = 0; row < GRID_ROWS; ++row) {
        for (int col = 0; col < GRID_COLS; ++col) {
            if (is_occupied(col, row)) draw_tile(cell(col, row), x + col * size, y + row * size);
        }
    }
}

void Grid_Field::copy_row(int src_row, int dst_row) {
    if (src_row == dst_row) return;
    std::memcpy(row_start(cells, dst_row), row_start(cells, src_row), sizeof(int32_t) * GRID_COLS);
}

void Grid_Field::clear_rows(int first_row, int count) {
    if (count <= 0) return;
    std::fill_n(row_start(cells, first_row), count * GRID_COLS, EMPTY_CELL);
}

void Grid_Field::swap_columns(int col_a, int col_b) {
    for (int row = 0; row < GRID_ROWS; ++row) {
        std::swap(cells[row * GRID_COLS + col_a], cells[row * GRID_COLS + col_b]);
    }
}

bool Grid_Field::is_occupied(int col, int row) const {
    if (col < 0 || col >= GRID_COLS || row < 0 || row >= GRID_ROWS) return false;
    return cell(col, row) != EMPTY_CELL;
}

void Grid_Field::copy_rows(const Grid_Field& src, int dst_row, int src_row, int count) {
    if (count <= 0) return;
    // memmove: an effect may shift rows within one grid.
    std::memmove(row_start(cells, dst_row), row_start(src.cells, src_row),
                 sizeof(int32_t) * GRID_COLS * count);
}

void Grid_Field::copy_block(const Grid_Field& src, int dst_col, int dst_row, int src_col,
                            int src_row, int ncols, int nrows) {
    if (ncols <= 0) return;
    // Within one grid a block moved down is copied from its bottom row up, so that no row is
    // overwritten before it has been read.
    const bool bottom_up = &src == this && dst_row > src_row;
    for (int i = 0; i < nrows; ++i) {
        const int k = bottom_up ? nrows - 1 - i : i;
        std::memmove(row_start(cells, dst_row + k) + dst_col,
                     row_start(src.cells, src_row + k) + src_col, sizeof(int32_t) * ncols);
    }
}

void Grid_Field::clear_block(int col, int row, int ncols, int nrows) {
    if (ncols <= 0) return;
    for (int k = 0; k < nrows; ++k)
        std::fill_n(row_start(cells, row + k) + col, ncols, EMPTY_CELL);
}

int Grid_Field::find_full_rows(int from_row, int to_row) {
    full_row_count = 0;
    if (from_row < 0 || from_row < to_row) return 0;
    // Rows past the floor are never full, so the list can hold at most GRID_ROWS entries.
    for (int row = from_row; row >= to_row && row >= 0; --row) {
        if (row_is_full(*this, row)) full_row_list[full_row_count++] = row;
    }
    return full_row_count;
}

bool Grid_Field::top_row_occupied() const {
    for (int col = 0; col < GRID_COLS; ++col) {
        if (is_occupied(col, 0)) return true;
    }
    return false;
}
