// Pieces and the well's grid: the shape table and turning, the fit and landing tests, random
// generation in its exact rand() order, drawing with the blink and the flash; the grid's searches,
// copies and clears, and the well surface that shows them.
#include "game_test.h"

#include "game/effect_table.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/piece.h"
#include "play/well.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

constexpr int SQUARE = 0, J = 1, L = 2, BAR = 3, S = 5, T = 6;
using Cells = std::vector<std::pair<int, int>>;
using Piece_Test = Game_Test;

Cells cells_of(const Piece& piece) {
    Cells out;
    for (int i = 0; i < 4; ++i)
        out.push_back({piece_cell(piece, i).col, piece_cell(piece, i).row});
    return out;
}

// Whether the 16-pixel square at (x, y) of the target (the screen when null) shows tile `tile` of
// the texture, or black for a negative tile.
bool shows(SDL_Surface* target, int x, int y, int tile) {
    for (int i = 0; i < 16 * 16; ++i)
        if (!same_colour(colour_at(target, x + i % 16, y + i / 16),
                         tile < 0 ? COLOR_BLACK
                                  : colour_at(block_texture(), tile * 16 + i % 16, i / 16)))
            return false;
    return true;
}

} // namespace

// J, L and T turn a quarter counter-clockwise, the square keeps its cells in another order, the
// bar, S and Z have two placements repeated in reverse order; a turn keeps the special face on its
// cell index.
TEST(Piece_Shapes, TurnsKeepTheCellOrderAndTheSpecialCellItsIndex) {
    for (int i = 0; i < SHAPE_COUNT * 4; ++i) {
        const int shape = i / 4, r = i % 4;
        Cells cells = cells_of(Piece{shape, r}), want = cells;
        const bool quarter = shape == J || shape == L || shape == T;
        if (shape == SQUARE)
            std::rotate(want.begin(), want.begin() + 3, want.end());
        else if (quarter)
            for (auto& cell : want)
                cell = {cell.second, -cell.first};
        else
            std::reverse(want.begin(), want.end());
        const int step = quarter || shape == SQUARE ? 1 : 2;
        EXPECT_EQ(cells_of(Piece{shape, (r + step) % 4}), want) << shape << "/" << r;
        EXPECT_NE(cells_of(Piece{shape, (r + 1) % 4}), cells) << shape << "/" << r;
    }
    Piece piece{L, 3, 6, 10, 0.0f, 0.0f, 0, TILE_FIRE, 0};
    rotate_piece(piece);
    EXPECT_EQ(std::tuple(piece.rotation, piece.special_cell, cells_of(piece)[0]),
              std::tuple(0, 0, std::pair(7, 9)));
}

// Turning: refused at the walls, the floor and blocks, with no wall kick; the top is not tested.
// Landing: blocked below the floor and on blocks (tile 0 is a block). Nothing above the well is
// hit.
TEST(Piece_Fit, TurnsAndLandsOnlyWhereItsCellsFit) {
    Grid_Field grid;
    for (int col = 0; col < GRID_COLS; ++col)
        if (col != 5) grid.set_cell(col, 0, 1);
    grid.set_cell(7, 10, 3);
    grid.set_cell(9, 15, 0);
    grid.set_cell(4, 12, 2);
    // clang-format off
    const struct { bool turn; int shape, rotation, col, row, column; bool fits; } cases[] = {
        {true, J, 3, 0, 12, 0, false},       {true, J, 3, 0, 12, 1, true},
        {true, BAR, 1, 5, 12, 0, false},     {true, BAR, 1, 5, 12, 1, true},
        {true, BAR, 1, 5, 12, 12, false},    {true, BAR, 1, 5, 12, 13, false},
        {true, BAR, 1, 5, 12, 11, true},     {true, BAR, 1, 0, 12, 9, true},
        {true, J, 0, 6, 19, 6, false},       {true, J, 0, 6, 18, 6, true},
        {true, BAR, 0, 5, -1, 5, true},      {true, BAR, 0, 8, -1, 8, false},
        {true, T, 0, 6, 10, 6, true},        {true, T, 0, 10, 15, 10, false},
        {false, J, 1, 5, 18, 0, true},       {false, J, 1, 5, 19, 0, false},
        {false, SQUARE, 0, 4, 11, 0, true},  {false, SQUARE, 0, 3, 13, 0, false},
        {false, BAR, 1, 8, -2, 0, true},     {false, BAR, 1, 8, -1, 0, false}};
    // clang-format on
    for (const auto& c : cases) {
        const Piece p{c.shape, c.rotation, c.col, c.row};
        const bool fits = c.turn ? rotation_allowed(p, c.column, grid) : !piece_blocked(p, grid);
        EXPECT_EQ(fits, c.fits) << "case " << &c - cases;
    }
}

// The special face shows half a second, the tile a quarter, toggling once the timer is below 0
// (a long frame toggles once); the flare's flash fades over the tile in a second, and the texture
// is opaque again afterwards. Cells stand at the piece's truncated pixel position.
TEST_F(Piece_Test, TheSpecialFaceBlinksAndTheFlashFadesInOneSecond) {
    Piece piece{J, 0, 5, 5, 80.0f, 96.0f, 2, TILE_LIGHTNING, 2, 0.0f, 0.0f, 0}; // cell 2: origin
    std::string seen;
    for (int frame = 0; frame < 10; ++frame) {
        draw_piece(piece, 0.125);
        seen += shows(nullptr, 80, 96, TILE_LIGHTNING) ? 'L'
                : shows(nullptr, 80, 96, 2)            ? '2'
                                                       : '?';
    }
    EXPECT_EQ(seen, "LLLLL222LL");
    EXPECT_TRUE(shows(nullptr, 64, 80, 2)) << "an ordinary cell";
    draw_piece(piece, 1.0);
    draw_piece(piece, 0.125);
    EXPECT_TRUE(shows(nullptr, 80, 96, 2)) << "one toggle for the long frame";
    piece = Piece{S, 0, 5, 5, 80.9f, 160.7f, 5, -1, -1, 0.0f, 0.0f, 0};
    start_flash(piece);
    std::string flash;
    for (int frame = 0; frame < 5; ++frame) {
        draw_piece(piece, 0.25);
        flash += shows(nullptr, 80, 160, TILE_FLASH) ? 'F' : shows(nullptr, 80, 160, 5) ? '5' : '-';
    }
    EXPECT_EQ(flash, "F---5");
    EXPECT_FALSE(block_texture()->flags & SDL_SRCALPHA);
    EXPECT_TRUE(shows(nullptr, 96, 144, 5) && shows(nullptr, 64, 160, 5));
}

// ---- the grid ----------------------------------------------------------------------------------

// Full rows are searched from the bottom up within the range (clipped to the grid), each search
// replacing the list; tile 0 is a block; nothing outside the grid is occupied.
TEST(Grid_Field, FullRowsAreSearchedFromTheBottomUpWithinTheirRange) {
    Grid_Field grid;
    for (const int row : {0, 5, 10, 17, 18, 19})
        for (int col = 0; col < GRID_COLS; ++col)
            if (row != 18 || col != 13) grid.set_cell(col, row, row == 0 ? 0 : 2);
    EXPECT_TRUE(grid.top_row_occupied());
    // clang-format off
    const struct { int from, to; std::vector<int> rows; } cases[] = {
        {19, 16, {19, 17}}, {19, -2, {19, 17, 10, 5, 0}}, {3, 5, {}}, {12, 6, {10}},
        {-1, -4, {}},       {21, 18, {19}},               {25, 20, {}}, {10, 10, {10}}};
    // clang-format on
    for (const auto& c : cases) {
        const int n = grid.find_full_rows(c.from, c.to);
        EXPECT_EQ(std::vector<int>(grid.full_row_list, grid.full_row_list + n), c.rows) << c.from;
    }
    for (const auto& [col, row] : {std::pair{-1, 5}, {14, 5}, {3, -1}, {3, 20}})
        EXPECT_FALSE(grid.is_occupied(col, row)) << col << "," << row;
}

// Each operation on a grid whose every cell holds its own number moves exactly its cells.
TEST(Grid_Field, RowColumnAndBlockOperationsMoveExactlyTheirCells) {
    const auto same = [](int c, int r) { return r * 100 + c; };
    const auto other = [](int c, int r) { return 10000 + r * 100 + c; };
    const auto check = [&](const char* what, void (*op)(Grid_Field&, Grid_Field&), auto want) {
        Grid_Field g, second;
        std::vector<int> expected;
        for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i) {
            g.cells[i] = same(i % 14, i / 14), second.cells[i] = other(i % 14, i / 14);
            expected.push_back(want(i % 14, i / 14));
        }
        op(g, second);
        EXPECT_EQ(std::vector<int>(std::begin(g.cells), std::end(g.cells)), expected) << what;
    };
    check(
        "copy_row", [](Grid_Field& g, Grid_Field&) { g.copy_row(4, 9); },
        [&](int c, int r) { return same(c, r == 9 ? 4 : r); });
    check(
        "clear_rows", [](Grid_Field& g, Grid_Field&) { g.clear_rows(5, 3); },
        [&](int c, int r) { return r >= 5 && r <= 7 ? EMPTY_CELL : same(c, r); });
    check(
        "copy_rows", [](Grid_Field& g, Grid_Field& s) { g.copy_rows(s, 10, 2, 3); },
        [&](int c, int r) { return r >= 10 && r <= 12 ? other(c, r - 8) : same(c, r); });
    check(
        "copy_rows down", [](Grid_Field& g, Grid_Field&) { g.copy_rows(g, 1, 0, 19); },
        [&](int c, int r) { return same(c, r == 0 ? 0 : r - 1); });
    check(
        "swap_columns", [](Grid_Field& g, Grid_Field&) { g.swap_columns(2, 11); },
        [&](int c, int r) {
            return same(c == 2 ? 11 : c == 11 ? 2 : c, r);
        });
    check(
        "copy_block", [](Grid_Field& g, Grid_Field&) { g.copy_block(g, 5, 6, 4, 5, 2, 3); },
        [&](int c, int r) {
            return c >= 5 && c <= 6 && r >= 6 && r <= 8 ? same(c - 1, r - 1) : same(c, r);
        });
    check(
        "clear_block", [](Grid_Field& g, Grid_Field&) { g.clear_block(12, 18, 2, 2); },
        [&](int c, int r) { return c >= 12 && r >= 18 ? EMPTY_CELL : same(c, r); });
}

// Every change of a cell through the well paints the well surface; redraw_region paints its region
// alone; a new game paints the whole well black. A plain grid draws only its occupied cells.
TEST_F(Piece_Test, EveryCellChangePaintsTheWellSurface) {
    Grid_Field_Surface& grid = play_record.grid;
    SDL_Surface* const well = Grid_Field_Surface::well_surface;
    const auto well_shows_the_cells = [&] {
        for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i)
            if (!shows(well, i % GRID_COLS * 16, i / GRID_COLS * 16, grid.cells[i])) return false;
        return true;
    };
    grid.set_cell(3, 19, 5);
    grid.set_cell(7, 2, 1);
    grid.clear_cell(7, 2);
    for (int col = 0; col < GRID_COLS; ++col)
        grid.set_cell(col, 11, 6);
    grid.clear_rows(11, 1);
    grid.set_cell(5, 4, 2);
    grid.copy_row(4, 9);
    grid.swap_columns(3, 5);
    EXPECT_TRUE(well_shows_the_cells());
    Grid_Field source;
    source.set_cell(0, 0, 6);
    grid.copy_block(source, 9, 15, 0, 0, 1, 1); // the plain operation does not paint
    grid.set_cell(8, 14, 1);
    fill_rect({200, 0, 0, 0}, {8 * 16, 14 * 16, 16, 16}, well);
    grid.redraw_region(9, 15, 2, 2);
    EXPECT_TRUE(shows(well, 9 * 16, 15 * 16, 6) && shows(well, 10 * 16, 16 * 16, -1));
    EXPECT_TRUE(same_colour(colour_at(well, 8 * 16, 14 * 16), {200, 0, 0, 0})) << "outside it";
    reset_play_record(&play_record);
    EXPECT_TRUE(well_shows_the_cells());
    paint_screen(0, 0, 200);
    source.draw(250, 4);
    EXPECT_TRUE(shows(nullptr, 250, 4, 6));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 270, 8), {0, 0, 200, 0}));
}

TEST_F(Piece_Test, AWellSurfaceThatCannotBeMadeSaysNotEnoughMemory) {
    SDL_Surface* const saved_screen = screen;
    screen = nullptr; // create_surface cannot make a surface without a screen to copy
    Stderr_Capture err;
    Grid_Field_Surface::free_well_surface();
    const bool made = Grid_Field_Surface::create_well_surface();
    screen = saved_screen;
    EXPECT_FALSE(made || Grid_Field_Surface::well_surface);
    EXPECT_EQ(err.text(), "not enough memory!");
}
