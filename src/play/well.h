// The visible well: a grid that keeps an off-screen picture of its cells (the well surface) up to
// date with every change made through its virtual operations, so a frame copies one picture.
#pragma once

#include "play/grid_field.h"

#include <SDL/SDL.h>

class Grid_Field_Surface : public Grid_Field {
  public:
    ~Grid_Field_Surface() override;

    void redraw_region(int col, int row, int ncols, int nrows) override;
    void set_cell(int col, int row, int tile) override;
    void clear_cell(int col, int row) override;
    void draw(int x, int y) override; // the whole well surface onto the screen
    void copy_row(int src_row, int dst_row) override;
    void clear_rows(int first_row, int count) override;
    void swap_columns(int col_a, int col_b) override;

    // The one well surface, shared by the class: 14 x 20 blocks in the screen's format.
    static bool create_well_surface(); // "not enough memory!" on failure
    static void free_well_surface();
    static SDL_Surface* well_surface;
};
