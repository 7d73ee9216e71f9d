// The well's cell model (searches, copies, clears, the column swap) and the well surface that
// mirrors it, checked on the pixels the block texture gives.
#include "game_test.h"

#include "app/vextile.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/play_record.h"
#include "play/well.h"

#include <iterator>
#include <vector>

namespace {

void fill_row(Grid_Field& grid, int row, int tile = 2) {
    for (int col = 0; col < GRID_COLS; ++col)
        grid.set_cell(col, row, tile);
}

// Cell (c, r) of a numbered grid holds its own value, so any misplaced copy shows.
const auto same = [](int c, int r) { return r * 100 + c; };
const auto other = [](int c, int r) { return 10000 + r * 100 + c; }; // a cell of a second grid

// Applies the operation to the numbered grid g (`second` numbered by other()) and compares every
// cell with `want` for column c and row r.
#define EXPECT_CELLS(op, want)                                                                     \
    do {                                                                                           \
        Grid_Field g, second;                                                                      \
        std::vector<int> expected;                                                                 \
        for (int i = 0, c = 0, r = 0; i < GRID_COLS * GRID_ROWS; c = ++i % 14, r = i / 14) {       \
            g.cells[i] = same(c, r), second.cells[i] = other(c, r);                                \
            expected.push_back(want);                                                              \
        }                                                                                          \
        g.op;                                                                                      \
        EXPECT_EQ(std::vector<int>(std::begin(g.cells), std::end(g.cells)), expected) << #op;      \
    } while (0)

} // namespace

TEST(Grid_Field_Full_Rows, SearchesItsRangeFromTheBottomUp) {
    Grid_Field grid;
    for (const int row : {5, 10, 17, 18, 19})
        fill_row(grid, row);
    grid.clear_cell(13, 18);
    grid.set_cell(13, 0, 0); // tile 0 is a block, not an empty cell
    EXPECT_TRUE(grid.top_row_occupied());
    fill_row(grid, 0);
    // clang-format off
    const struct { int from, to; std::vector<int> rows; } cases[] = {
        {19, 16, {19, 17}}, {19, -2, {19, 17, 10, 5, 0}}, {3, 5, {}}, {12, 6, {10}},
        {-1, -4, {}},       {21, 18, {19}},               {25, 20, {}}, {10, 10, {10}}};
    // clang-format on
    for (const auto& c : cases) { // each search replaces the list of the one before
        const int n = grid.find_full_rows(c.from, c.to);
        EXPECT_EQ(std::vector<int>(grid.full_row_list, grid.full_row_list + n), c.rows) << c.from;
    }
    for (int row = 0; row < GRID_ROWS; ++row)
        fill_row(grid, row);
    EXPECT_EQ(grid.find_full_rows(25, -5), GRID_ROWS);
    for (const auto& [col, row] : {std::pair{-1, 5}, {14, 5}, {3, -1}, {3, 20}, {-100, -100}})
        EXPECT_FALSE(grid.is_occupied(col, row)) << "outside the grid: " << col << "," << row;
}

TEST(Grid_Field_Rows, RowColumnAndBlockOperationsMoveExactlyTheirCells) {
    EXPECT_CELLS(copy_row(4, 9), same(c, r == 9 ? 4 : r));
    EXPECT_CELLS(clear_rows(5, 3), r >= 5 && r <= 7 ? EMPTY_CELL : same(c, r));
    EXPECT_CELLS(copy_rows(second, 10, 2, 3), r >= 10 && r <= 12 ? other(c, r - 8) : same(c, r));
    EXPECT_CELLS(copy_rows(g, 1, 0, 19), same(c, r == 0 ? 0 : r - 1));
    EXPECT_CELLS(swap_columns(2, 11), same(c == 2 ? 11 : c == 11 ? 2 : c, r));
    EXPECT_CELLS(copy_block(g, 5, 6, 4, 5, 2, 3), // moved down within the grid: read bottom-up
                 c >= 5 && c <= 6 && r >= 6 && r <= 8 ? same(c - 1, r - 1) : same(c, r));
    EXPECT_CELLS(clear_block(12, 18, 2, 2), c >= 12 && r >= 18 ? EMPTY_CELL : same(c, r));
}

class Well_Test : public Game_Test {
  protected:
    // Whether the 16-pixel square at (x, y) of the target (the screen when null) shows tile `tile`
    // of the texture, or is all `colour` when tile is negative.
    static bool shows(SDL_Surface* target, int x, int y, int tile, SDL_Color colour = COLOR_BLACK) {
        for (int i = 0; i < 16 * 16; ++i)
            if (!same_colour(colour_at(target, x + i % 16, y + i / 16),
                             tile < 0 ? colour
                                      : colour_at(block_texture(), tile * 16 + i % 16, i / 16)))
                return false;
        return true;
    }
    static bool cell_shows(int col, int row, int tile, SDL_Color colour = COLOR_BLACK) {
        return shows(Grid_Field_Surface::well_surface, col * 16, row * 16, tile, colour);
    }
    // Whether every cell of the well surface shows its own tile, or black when empty.
    bool well_shows_the_cells() {
        for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i)
            if (!cell_shows(i % GRID_COLS, i / GRID_COLS, grid.cells[i])) return false;
        return true;
    }

    static constexpr SDL_Color red = {200, 0, 0, 0}, blue = {0, 0, 200, 0};
    Grid_Field_Surface& grid = play_record.grid;
};

TEST_F(Well_Test, EveryCellChangePaintsTheWellSurface) {
    grid.set_cell(3, 19, 5);
    grid.set_cell(7, 2, 1);
    grid.clear_cell(7, 2);
    fill_row(grid, 11, 6);
    grid.clear_rows(11, 1);
    EXPECT_TRUE(well_shows_the_cells());
    // copy_row copies the strip as a picture: what an effect drew into it travels too.
    fill_rect(red, {0, 4 * 16, 14 * 16, 16}, Grid_Field_Surface::well_surface);
    grid.copy_row(4, 9);
    EXPECT_TRUE(cell_shows(13, 9, -1, red) && cell_shows(5, 4, -1, red)) << "the source row stays";
    Grid_Field source;
    source.set_cell(0, 0, 6);
    grid.copy_block(source, 9, 15, 0, 0, 1, 1); // the plain operation does not paint
    fill_rect(red, {0, 0, 14 * 16, 20 * 16}, Grid_Field_Surface::well_surface);
    grid.redraw_region(8, 14, 3, 3); // an empty region paints black, a block its tile
    EXPECT_TRUE(cell_shows(9, 15, 6) && cell_shows(8, 14, -1) && cell_shows(10, 16, -1));
    EXPECT_TRUE(cell_shows(7, 15, -1, red) && cell_shows(9, 17, -1, red)) << "outside the region";
    grid.swap_columns(3, 5); // repaints every column, also those it does not touch
    EXPECT_TRUE(well_shows_the_cells());
    reset_play_record(&play_record); // a new game paints the whole well black
    EXPECT_TRUE(well_shows_the_cells());

    paint_screen(0, 0, 200);
    source.draw(250, 4); // a plain grid draws only its occupied cells, straight onto the screen
    EXPECT_TRUE(shows(nullptr, 250, 4, 6) && shows(nullptr, 266, 4, -1, blue));
}

TEST_F(Well_Test, FailedCreationSaysNotEnoughMemory) {
    SDL_Surface* const saved_screen = screen;
    screen = nullptr; // create_surface cannot make a surface without a screen to copy
    Stderr_Capture err;
    const bool made = Grid_Field_Surface::create_well_surface();
    screen = saved_screen;
    EXPECT_FALSE(made || Grid_Field_Surface::well_surface);
    EXPECT_EQ(err.text(), "not enough memory!");
    ASSERT_TRUE(Grid_Field_Surface::create_well_surface());
}
