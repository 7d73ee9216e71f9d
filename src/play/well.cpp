#include "play/well.h"

#include "media/pixel_copy.h"
#include "media/video.h"
#include "play/block_tiles.h"

#include <algorithm>
#include <cstdio>

SDL_Surface* Grid_Field_Surface::well_surface = nullptr;

namespace {

// The pixel square of the cell at (col, row), or of a block of cells.
Rect cell_rect(int col, int row, int ncols = 1, int nrows = 1) {
    const int size = block_size();
    return {col * size, row * size, ncols * size, nrows * size};
}

// Answers whether the copy was made. Nothing is reported on failure: the target stays as it was
// and the next repaint of that area draws it again.
bool blit(SDL_Surface* source, SDL_Rect* source_rect, SDL_Surface* target, int x, int y) {
    SDL_Rect at = {Sint16(x), Sint16(y), 0, 0};
    return blit_surface(source, source_rect, target, &at) == 0;
}

} // namespace

Grid_Field_Surface::~Grid_Field_Surface() = default;

bool Grid_Field_Surface::create_well_surface() {
    free_well_surface();
    well_surface = create_surface(GRID_COLS * block_size(), GRID_ROWS * block_size());
    if (!well_surface) {
        std::fputs("not enough memory!", stderr);
        return false;
    }
    fill_rect(COLOR_BLACK, cell_rect(0, 0, GRID_COLS, GRID_ROWS), well_surface);
    return true;
}

void Grid_Field_Surface::free_well_surface() {
    if (well_surface) free_surface(well_surface);
    well_surface = nullptr;
}

void Grid_Field_Surface::redraw_region(int col, int row, int ncols, int nrows) {
    if (!well_surface || ncols <= 0 || nrows <= 0) return;
    fill_rect(COLOR_BLACK, cell_rect(col, row, ncols, nrows), well_surface);
    const int size = block_size();
    for (int r = std::max(row, 0); r < std::min(row + nrows, GRID_ROWS); ++r) {
        for (int c = std::max(col, 0); c < std::min(col + ncols, GRID_COLS); ++c) {
            if (is_occupied(c, r)) draw_tile(cell(c, r), c * size, r * size, well_surface);
        }
    }
}

void Grid_Field_Surface::set_cell(int col, int row, int tile) {
    Grid_Field::set_cell(col, row, tile);
    // An empty cell is shown as the well's background, as clear_cell paints it.
    if (tile == EMPTY_CELL) {
        fill_rect(COLOR_BLACK, cell_rect(col, row), well_surface);
        return;
    }
    const int size = block_size();
    draw_tile(tile, col * size, row * size, well_surface);
}

void Grid_Field_Surface::clear_cell(int col, int row) {
    Grid_Field::clear_cell(col, row);
    fill_rect(COLOR_BLACK, cell_rect(col, row), well_surface);
}

void Grid_Field_Surface::draw(int x, int y) {
    if (!well_surface || !screen) return;
    blit(well_surface, nullptr, screen, x, y);
}

void Grid_Field_Surface::copy_row(int src_row, int dst_row) {
    Grid_Field::copy_row(src_row, dst_row);
    if (!well_surface || src_row == dst_row) return;
    const Rect strip = cell_rect(0, src_row, GRID_COLS, 1);
    SDL_Rect source = to_sdl_rect(strip);
    blit(well_surface, &source, well_surface, 0, dst_row * block_size());
}

void Grid_Field_Surface::clear_rows(int first_row, int count) {
    Grid_Field::clear_rows(first_row, count);
    if (!well_surface || count <= 0) return;
    fill_rect(COLOR_BLACK, cell_rect(0, first_row, GRID_COLS, count), well_surface);
}

void Grid_Field_Surface::swap_columns(int col_a, int col_b) {
    Grid_Field::swap_columns(col_a, col_b);
    redraw_region(0, 0, GRID_COLS, GRID_ROWS);
}
