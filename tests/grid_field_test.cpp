// The well's cell model (searches, copies, clears, the column swap) and the well surface that
// mirrors it, checked on the pixels the block texture gives.
#include "game_test.h"

#include "app/vextile.h"
#include "media/video.h"
#include "play/grid_field.h"
#include "play/play_record.h"
#include "play/well.h"

#include <iterator>
#include <numeric>
#include <vector>

namespace {

void fill_row(Grid_Field& grid, int row, int tile = 2) {
    for (int col = 0; col < GRID_COLS; ++col)
        grid.set_cell(col, row, tile);
}

std::vector<int> listed_rows(const Grid_Field& grid) {
    const Full_Rows found = grid.full_rows();
    return std::vector<int>(found.rows, found.rows + found.count);
}

// A grid whose every cell holds its own distinct value, so any misplaced copy shows.
Grid_Field numbered_grid(int offset) {
    Grid_Field grid;
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i)
        grid.cells[i] = offset + i / GRID_COLS * 100 + i % GRID_COLS;
    return grid;
}

// Applies the operation to a grid numbered from 0 and compares every cell with want(col, row).
#define EXPECT_CELLS(op, want)                                                                     \
    expect_cells(                                                                                  \
        #op, [](Grid_Field& g) { g.op; }, [](int c, int r) { return (want); })
void expect_cells(const char* what, void (*op)(Grid_Field&), int (*want)(int col, int row)) {
    Grid_Field grid = numbered_grid(0);
    op(grid);
    std::vector<int> expected;
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i)
        expected.push_back(want(i % GRID_COLS, i / GRID_COLS));
    EXPECT_EQ(std::vector<int>(std::begin(grid.cells), std::end(grid.cells)), expected) << what;
}

const auto same = [](int c, int r) { return r * 100 + c; };          // a cell of the grid
const auto other = [](int c, int r) { return 10000 + r * 100 + c; }; // a cell of the second
const Grid_Field second = numbered_grid(10000);

} // namespace

TEST(Grid_Field_Full_Rows, SearchesItsRangeFromTheBottomUp) {
    Grid_Field grid;
    EXPECT_EQ(std::vector<int>(std::begin(grid.cells), std::end(grid.cells)),
              std::vector<int>(GRID_COLS * GRID_ROWS, EMPTY_CELL));
    for (const int row : {5, 10, 17, 18, 19})
        fill_row(grid, row);
    grid.clear_cell(13, 18);
    EXPECT_FALSE(grid.top_row_occupied());
    grid.set_cell(13, 0, 0); // tile 0 is a block, not an empty cell
    EXPECT_TRUE(grid.top_row_occupied());
    fill_row(grid, 0);
    const struct {
        int from, to;
        std::vector<int> rows;
    } cases[] = {
        {19, 16, {19, 17}}, {19, -2, {19, 17, 10, 5, 0}},
        {3, 5, {}},         {12, 6, {10}},
        {-1, -4, {}},       {10, 10, {10}},
        {21, 18, {19}},     {25, 20, {}},
    };
    for (const auto& c : cases) { // each search replaces the list of the one before
        EXPECT_EQ(grid.find_full_rows(c.from, c.to), int(c.rows.size())) << c.from << "," << c.to;
        EXPECT_EQ(listed_rows(grid), c.rows) << c.from << "," << c.to;
    }
    for (int row = 0; row < GRID_ROWS; ++row)
        fill_row(grid, row);
    EXPECT_EQ(grid.find_full_rows(25, -5), GRID_ROWS);
    std::vector<int> every_row(GRID_ROWS);
    std::iota(every_row.rbegin(), every_row.rend(), 0);
    EXPECT_EQ(listed_rows(grid), every_row);
    for (const auto& [col, row] : {std::pair{-1, 5}, {14, 5}, {3, -1}, {3, 20}, {-100, -100}})
        EXPECT_FALSE(grid.is_occupied(col, row)) << "outside the grid: " << col << "," << row;
}

TEST(Grid_Field_Rows, RowColumnAndBlockOperationsMoveExactlyTheirCells) {
    EXPECT_CELLS(copy_row(4, 9), same(c, r == 9 ? 4 : r));
    EXPECT_CELLS(clear_rows(5, 3), r >= 5 && r <= 7 ? EMPTY_CELL : same(c, r));
    EXPECT_CELLS(copy_rows(second, 10, 2, 3), r >= 10 && r <= 12 ? other(c, r - 8) : same(c, r));
    EXPECT_CELLS(copy_rows(g, 1, 0, 19), same(c, r == 0 ? 0 : r - 1));
    EXPECT_CELLS(swap_columns(2, 11), same(c == 2 ? 11 : c == 11 ? 2 : c, r));
    EXPECT_CELLS(copy_block(second, 6, 15, 1, 2, 3, 2),
                 c >= 6 && c <= 8 && r >= 15 && r <= 16 ? other(c - 5, r - 13) : same(c, r));
    EXPECT_CELLS(copy_block(g, 4, 6, 4, 5, 2, 3),
                 same(c, c >= 4 && c <= 5 && r >= 6 && r <= 8 ? r - 1 : r));
    EXPECT_CELLS(clear_block(12, 18, 2, 2), c >= 12 && r >= 18 ? EMPTY_CELL : same(c, r));
}

class Well_Test : public Game_Test {
  protected:
    static SDL_Surface* well() { return Grid_Field_Surface::well_surface; }

    // Whether the block_size square at (x, y) of the target (the screen when null) shows tile
    // `tile` of the texture, or is all one colour when tile is -1.
    static testing::AssertionResult shows(SDL_Surface* target, int x, int y, int tile,
                                          SDL_Color colour = COLOR_BLACK) {
        for (int dy = 0; dy < 16; ++dy) {
            for (int dx = 0; dx < 16; ++dx) {
                const SDL_Color want =
                    tile < 0 ? colour : colour_at(app.block_texture, tile * 16 + dx, dy);
                if (!same_colour(want, colour_at(target, x + dx, y + dy)))
                    return testing::AssertionFailure() << "pixel " << x + dx << "," << y + dy;
            }
        }
        return testing::AssertionSuccess();
    }
    static auto cell_shows(int col, int row, int tile, SDL_Color colour = COLOR_BLACK) {
        return shows(well(), col * 16, row * 16, tile, colour);
    }
    static void scribble(Rect r) { fill_rect(red, r, well()); } // as an effect draws on the well

    static constexpr SDL_Color red = {200, 0, 0, 0};
    static constexpr SDL_Color blue = {0, 0, 200, 0};
    Grid_Field_Surface& grid = play_record.grid;
};

TEST_F(Well_Test, EveryCellChangePaintsTheWellSurface) {
    ASSERT_TRUE(well() && well()->w == GRID_COLS * 16 && well()->h == GRID_ROWS * 16);
    EXPECT_FALSE(shows(app.block_texture, 16, 0, 0)) << "the tiles must differ for these checks";
    grid.set_cell(3, 19, 5);
    grid.set_cell(7, 2, 1);
    grid.set_cell(8, 2, TILE_EARTH);
    grid.clear_cell(7, 2);
    EXPECT_TRUE(cell_shows(3, 19, 5) && cell_shows(8, 2, TILE_EARTH));
    for (const auto& [col, row] : {std::pair{7, 2}, {2, 19}, {3, 18}})
        EXPECT_TRUE(cell_shows(col, row, -1)) << col << "," << row;

    // copy_row copies the strip as a picture: what an effect drew into it travels too.
    scribble({0, 4 * 16, 14 * 16, 16});
    grid.copy_row(4, 9);
    EXPECT_TRUE(cell_shows(0, 9, -1, red) && cell_shows(13, 9, -1, red));
    EXPECT_TRUE(cell_shows(0, 4, -1, red)) << "the source row stays";

    fill_row(grid, 10, 4);
    grid.clear_rows(9, 1);
    EXPECT_TRUE(cell_shows(3, 9, -1) && cell_shows(13, 10, 4));
    reset_play_record(&play_record); // a new game paints the whole well black
    EXPECT_TRUE(cell_shows(3, 19, -1) && cell_shows(13, 10, -1) && cell_shows(8, 2, -1));
}

TEST_F(Well_Test, SwapColumnsAndRedrawRegionRepaintFromTheCells) {
    Grid_Field source;
    source.set_cell(0, 0, 6);
    grid.set_cell(2, 10, 4);
    grid.copy_block(source, 9, 15, 0, 0, 1, 1); // the plain operation does not paint
    EXPECT_TRUE(cell_shows(9, 15, -1));
    scribble({0, 0, 14 * 16, 20 * 16});
    grid.redraw_region(8, 14, 3, 3); // an empty region paints black, a block its tile
    EXPECT_TRUE(cell_shows(9, 15, 6) && cell_shows(8, 14, -1) && cell_shows(10, 16, -1));
    EXPECT_TRUE(cell_shows(7, 15, -1, red) && cell_shows(9, 17, -1, red)) << "outside the region";
    grid.swap_columns(2, 5);
    EXPECT_TRUE(cell_shows(2, 10, -1) && cell_shows(5, 10, 4) && cell_shows(9, 15, 6));
    EXPECT_TRUE(cell_shows(11, 3, -1)) << "a column the swap does not touch is repainted too";
}

TEST_F(Well_Test, DrawingOntoTheScreen) {
    grid.set_cell(0, 0, 1);
    grid.set_cell(13, 19, 2);
    paint_screen(0, 0, 200);
    grid.draw(16, 0); // the whole well surface, its background too
    EXPECT_TRUE(shows(nullptr, 16, 0, 1) && shows(nullptr, 16 + 13 * 16, 19 * 16, 2));
    EXPECT_TRUE(shows(nullptr, 32, 0, -1) && shows(nullptr, 0, 0, -1, blue));

    Grid_Field overlay; // a plain grid draws its occupied cells only, straight onto the screen
    overlay.set_cell(1, 2, 3);
    paint_screen(0, 0, 200);
    overlay.draw(8, 4);
    EXPECT_TRUE(shows(nullptr, 8 + 16, 4 + 32, 3) && shows(nullptr, 8, 4 + 32, -1, blue));
    EXPECT_TRUE(cell_shows(1, 2, -1) && cell_shows(0, 0, 1)) << "the well surface is untouched";

    draw_tile(TILE_ICE, 100, 50);
    EXPECT_TRUE(shows(nullptr, 100, 50, TILE_ICE) && shows(nullptr, 116, 50, -1, blue));
}

TEST_F(Well_Test, FailedCreationSaysNotEnoughMemory) {
    Grid_Field_Surface::free_well_surface();
    SDL_Surface* const saved_screen = screen;
    screen = nullptr; // create_surface cannot make a surface without a screen to copy
    Stderr_Capture err;
    const bool made = Grid_Field_Surface::create_well_surface();
    screen = saved_screen;
    EXPECT_FALSE(made);
    EXPECT_EQ(err.text(), "not enough memory!");
    EXPECT_EQ(well(), nullptr);
    ASSERT_TRUE(Grid_Field_Surface::create_well_surface());
}
