// The well's cell model (searches, copies, clears, the column swap) and the well surface that
// mirrors it, checked on the pixels the block texture gives.
#include "game_test.h"

#include "app/vextile.h"
#include "media/video.h"
#include "play/grid_field.h"
#include "play/play_record.h"
#include "play/well.h"

#include <iterator>
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

// Every cell's value, row-major.
std::vector<int> snapshot(const Grid_Field& grid) {
    return std::vector<int>(std::begin(grid.cells), std::end(grid.cells));
}

// A grid whose every cell holds its own distinct value, so any misplaced copy shows.
Grid_Field numbered_grid() {
    Grid_Field grid;
    for (int row = 0; row < GRID_ROWS; ++row) {
        for (int col = 0; col < GRID_COLS; ++col)
            grid.set_cell(col, row, row * 100 + col);
    }
    return grid;
}

} // namespace

// ---- the cell model --------------------------------------------------------------------------

TEST(Grid_Field_Cells, NewGridIsEmpty) {
    const Grid_Field grid;
    for (int row = 0; row < GRID_ROWS; ++row) {
        for (int col = 0; col < GRID_COLS; ++col) {
            EXPECT_EQ(grid.cell(col, row), EMPTY_CELL);
            EXPECT_FALSE(grid.is_occupied(col, row));
        }
    }
    EXPECT_EQ(grid.full_rows().count, 0);
    EXPECT_FALSE(grid.top_row_occupied());
}

TEST(Grid_Field_Cells, SetAndClearCell) {
    Grid_Field grid;
    grid.set_cell(13, 19, 6);
    grid.set_cell(0, 0, 0); // tile 0 is a block, not an empty cell
    EXPECT_EQ(grid.cell(13, 19), 6);
    EXPECT_TRUE(grid.is_occupied(13, 19));
    EXPECT_TRUE(grid.is_occupied(0, 0));
    EXPECT_EQ(grid.cells[19 * GRID_COLS + 13], 6); // row-major, as saved
    grid.clear_cell(13, 19);
    EXPECT_EQ(grid.cell(13, 19), EMPTY_CELL);
    EXPECT_FALSE(grid.is_occupied(13, 19));
}

TEST(Grid_Field_Cells, OutsideTheGridIsEmptyWhateverTheGridHolds) {
    Grid_Field grid;
    for (int row = 0; row < GRID_ROWS; ++row)
        fill_row(grid, row);
    EXPECT_FALSE(grid.is_occupied(-1, 5));
    EXPECT_FALSE(grid.is_occupied(14, 5));
    EXPECT_FALSE(grid.is_occupied(3, -1));
    EXPECT_FALSE(grid.is_occupied(3, 20));
    EXPECT_FALSE(grid.is_occupied(-100, -100));
    EXPECT_TRUE(grid.is_occupied(0, 0));
    EXPECT_TRUE(grid.is_occupied(13, 19));
}

TEST(Grid_Field_Cells, TopRowOccupiedLooksAtRowZeroOnly) {
    Grid_Field grid;
    for (int row = 1; row < GRID_ROWS; ++row)
        fill_row(grid, row);
    EXPECT_FALSE(grid.top_row_occupied());
    grid.set_cell(13, 0, 4);
    EXPECT_TRUE(grid.top_row_occupied());
}

// ---- the search for full rows ----------------------------------------------------------------

TEST(Grid_Field_Full_Rows, ListsFullRowsLowestFirstSkippingOthers) {
    Grid_Field grid;
    fill_row(grid, 17);
    fill_row(grid, 19);
    fill_row(grid, 18);
    grid.clear_cell(13, 18);
    EXPECT_EQ(grid.find_full_rows(19, 16), 2);
    EXPECT_EQ(listed_rows(grid), (std::vector<int>{19, 17}));
}

TEST(Grid_Field_Full_Rows, SearchesOnlyTheGivenRange) {
    Grid_Field grid;
    fill_row(grid, 19);
    fill_row(grid, 10);
    fill_row(grid, 5);
    EXPECT_EQ(grid.find_full_rows(12, 6), 1);
    EXPECT_EQ(listed_rows(grid), std::vector<int>{10});
    EXPECT_EQ(grid.find_full_rows(10, 10), 1);
    EXPECT_EQ(grid.find_full_rows(9, 6), 0);
    EXPECT_EQ(grid.find_full_rows(19, 5), 3);
    EXPECT_EQ(listed_rows(grid), (std::vector<int>{19, 10, 5}));
}

TEST(Grid_Field_Full_Rows, NegativeTopStopsAtRowZero) {
    Grid_Field grid;
    fill_row(grid, 0);
    fill_row(grid, 19);
    EXPECT_EQ(grid.find_full_rows(19, -2), 2);
    EXPECT_EQ(listed_rows(grid), (std::vector<int>{19, 0}));
}

TEST(Grid_Field_Full_Rows, EveryRowFullFillsTheWholeList) {
    Grid_Field grid;
    for (int row = 0; row < GRID_ROWS; ++row)
        fill_row(grid, row);
    EXPECT_EQ(grid.find_full_rows(25, -5), GRID_ROWS);
    const std::vector<int> rows = listed_rows(grid);
    ASSERT_EQ(rows.size(), size_t(GRID_ROWS));
    for (int i = 0; i < GRID_ROWS; ++i)
        EXPECT_EQ(rows[i], GRID_ROWS - 1 - i);
}

TEST(Grid_Field_Full_Rows, EmptyOrInvertedRangesFindNothingAndResetTheCount) {
    Grid_Field grid;
    for (int row = 0; row < GRID_ROWS; ++row)
        fill_row(grid, row);
    ASSERT_EQ(grid.find_full_rows(19, 0), GRID_ROWS);
    EXPECT_EQ(grid.find_full_rows(3, 5), 0);
    EXPECT_EQ(grid.full_rows().count, 0);
    ASSERT_EQ(grid.find_full_rows(19, 0), GRID_ROWS);
    EXPECT_EQ(grid.find_full_rows(-1, -4), 0);
    EXPECT_EQ(grid.full_rows().count, 0);
}

TEST(Grid_Field_Full_Rows, RowsBelowTheFloorAreNeverFull) {
    Grid_Field grid;
    fill_row(grid, 18);
    EXPECT_EQ(grid.find_full_rows(21, 18), 1);
    EXPECT_EQ(listed_rows(grid), std::vector<int>{18});
    EXPECT_EQ(grid.find_full_rows(25, 20), 0);
}

TEST(Grid_Field_Full_Rows, ListIsNotUpdatedByLaterChanges) {
    Grid_Field grid;
    fill_row(grid, 12);
    ASSERT_EQ(grid.find_full_rows(19, 0), 1);
    grid.clear_rows(12, 1);
    EXPECT_EQ(listed_rows(grid), std::vector<int>{12});
}

// ---- whole-row and block operations ----------------------------------------------------------

TEST(Grid_Field_Rows, CopyRowCopiesAllFourteenCellsAndKeepsTheSource) {
    Grid_Field grid = numbered_grid();
    const std::vector<int> before = snapshot(grid);
    grid.copy_row(4, 9);
    for (int col = 0; col < GRID_COLS; ++col) {
        EXPECT_EQ(grid.cell(col, 9), 400 + col);
        EXPECT_EQ(grid.cell(col, 4), 400 + col);
    }
    for (int row = 0; row < GRID_ROWS; ++row) {
        if (row == 9) continue;
        for (int col = 0; col < GRID_COLS; ++col) {
            EXPECT_EQ(grid.cell(col, row), before[row * GRID_COLS + col]);
        }
    }
}

TEST(Grid_Field_Rows, ClearRowsEmptiesExactlyTheCountedRows) {
    Grid_Field grid = numbered_grid();
    grid.clear_rows(5, 3);
    for (int row = 0; row < GRID_ROWS; ++row) {
        const bool cleared = row >= 5 && row <= 7;
        for (int col = 0; col < GRID_COLS; ++col) {
            EXPECT_EQ(grid.cell(col, row), cleared ? EMPTY_CELL : row * 100 + col)
                << col << "," << row;
        }
    }
}

TEST(Grid_Field_Rows, ClearRowsWithoutACountChangesNothing) {
    Grid_Field grid = numbered_grid();
    const std::vector<int> before = snapshot(grid);
    grid.clear_rows(0, 0);
    grid.clear_rows(5, -3);
    EXPECT_EQ(snapshot(grid), before);
}

TEST(Grid_Field_Rows, ClearRowsCanEmptyTheWholeWell) {
    Grid_Field grid = numbered_grid();
    grid.clear_rows(0, GRID_ROWS);
    EXPECT_EQ(snapshot(grid), snapshot(Grid_Field()));
}

TEST(Grid_Field_Rows, CopyRowsTakesWholeRowsFromAnotherGrid) {
    const Grid_Field source = numbered_grid();
    Grid_Field grid;
    grid.copy_rows(source, 10, 2, 3);
    for (int row = 0; row < GRID_ROWS; ++row) {
        for (int col = 0; col < GRID_COLS; ++col) {
            const bool copied = row >= 10 && row <= 12;
            EXPECT_EQ(grid.cell(col, row), copied ? (row - 8) * 100 + col : EMPTY_CELL);
        }
    }
}

TEST(Grid_Field_Rows, CopyRowsWithinOneGridMovesRowsDown) {
    Grid_Field grid = numbered_grid();
    grid.copy_rows(grid, 1, 0, 19);
    for (int col = 0; col < GRID_COLS; ++col) {
        EXPECT_EQ(grid.cell(col, 0), col);
        for (int row = 1; row < GRID_ROWS; ++row)
            EXPECT_EQ(grid.cell(col, row), (row - 1) * 100 + col);
    }
}

TEST(Grid_Field_Columns, SwapExchangesTwoColumnsInEveryRow) {
    Grid_Field grid = numbered_grid();
    grid.swap_columns(2, 11);
    for (int row = 0; row < GRID_ROWS; ++row) {
        EXPECT_EQ(grid.cell(2, row), row * 100 + 11);
        EXPECT_EQ(grid.cell(11, row), row * 100 + 2);
        EXPECT_EQ(grid.cell(3, row), row * 100 + 3);
    }
}

TEST(Grid_Field_Columns, SwappingAColumnWithItselfChangesNothing) {
    Grid_Field grid = numbered_grid();
    const std::vector<int> before = snapshot(grid);
    grid.swap_columns(2, 2);
    EXPECT_EQ(snapshot(grid), before);
}

TEST(Grid_Field_Blocks, CopyBlockCopiesTheRectangleOnly) {
    const Grid_Field source = numbered_grid();
    Grid_Field grid;
    grid.copy_block(source, 6, 15, 1, 2, 3, 2);
    for (int row = 0; row < GRID_ROWS; ++row) {
        for (int col = 0; col < GRID_COLS; ++col) {
            const bool inside = col >= 6 && col <= 8 && row >= 15 && row <= 16;
            const int expected = inside ? (row - 13) * 100 + (col - 5) : EMPTY_CELL;
            EXPECT_EQ(grid.cell(col, row), expected) << col << "," << row;
        }
    }
}

TEST(Grid_Field_Blocks, CopyBlockWithoutRowsCopiesNothing) {
    const Grid_Field source = numbered_grid();
    Grid_Field grid;
    grid.copy_block(source, 0, 0, 0, 0, 14, 0);
    grid.copy_block(source, 0, 0, 0, 0, 14, -2);
    EXPECT_EQ(snapshot(grid), snapshot(Grid_Field()));
}

TEST(Grid_Field_Blocks, CopyBlockDownWithinOneGridReadsEveryRowBeforeOverwritingIt) {
    Grid_Field grid = numbered_grid();
    grid.copy_block(grid, 4, 6, 4, 5, 2, 3); // rows 5..7 of columns 4..5 move down by one
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(grid.cell(4, 6 + k), (5 + k) * 100 + 4);
        EXPECT_EQ(grid.cell(5, 6 + k), (5 + k) * 100 + 5);
    }
    EXPECT_EQ(grid.cell(4, 5), 504);
    EXPECT_EQ(grid.cell(6, 6), 606);
}

TEST(Grid_Field_Blocks, ClearBlockEmptiesTheRectangleOnly) {
    Grid_Field grid = numbered_grid();
    grid.clear_block(12, 18, 2, 2);
    grid.clear_block(0, 0, 5, 0); // no rows: nothing
    grid.clear_block(0, 0, 5, -1);
    for (int row = 0; row < GRID_ROWS; ++row) {
        for (int col = 0; col < GRID_COLS; ++col) {
            const bool inside = col >= 12 && row >= 18;
            EXPECT_EQ(grid.cell(col, row), inside ? EMPTY_CELL : row * 100 + col);
        }
    }
}

// ---- the well surface ------------------------------------------------------------------------

class Well_Test : public Game_Test {
  protected:
    static SDL_Surface* well() { return Grid_Field_Surface::well_surface; }

    // Whether the block_size square at (x, y) of the target shows tile `tile` of the texture.
    static ::testing::AssertionResult shows_tile(SDL_Surface* target, int x, int y, int tile) {
        const int size = app.block_size;
        for (int dy = 0; dy < size; ++dy) {
            for (int dx = 0; dx < size; ++dx) {
                const SDL_Color want = colour_at(app.block_texture, tile * size + dx, dy);
                const SDL_Color got = colour_at(target, x + dx, y + dy);
                if (!same_colour(want, got)) {
                    return ::testing::AssertionFailure()
                           << "pixel (" << x + dx << ", " << y + dy << ") is not tile " << tile;
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    // Whether the rectangle of the target is entirely one colour.
    static ::testing::AssertionResult all_colour(SDL_Surface* target, Rect r, SDL_Color colour) {
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                if (!same_colour(colour_at(target, x, y), colour)) {
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ")";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }

    static ::testing::AssertionResult black(SDL_Surface* target, Rect r) {
        return all_colour(target, r, COLOR_BLACK);
    }

    // The block_size square of cell (col, row).
    static Rect cell_square(int col, int row) {
        const int size = app.block_size;
        return {col * size, row * size, size, size};
    }

    // Paints a rectangle of the well surface red, as an effect drawing over the well would.
    static void scribble(Rect r) { fill_rect({200, 0, 0, 0}, r, well()); }

    static constexpr SDL_Color red = {200, 0, 0, 0};

    Grid_Field_Surface& grid = play_record.grid;
};

TEST_F(Well_Test, TilesOfTheTextureDiffer) {
    // The pixel checks below only mean something if tiles can be told apart.
    for (int tile = 0; tile < TILE_EARTH; ++tile) {
        EXPECT_FALSE(shows_tile(app.block_texture, (tile + 1) * app.block_size, 0, tile));
    }
    EXPECT_FALSE(shows_tile(app.block_texture, 0, 0, TILE_FLASH));
}

TEST_F(Well_Test, WellSurfaceIsTheSizeOfTheGridInBlocks) {
    ASSERT_NE(well(), nullptr);
    EXPECT_EQ(well()->w, GRID_COLS * app.block_size);
    EXPECT_EQ(well()->h, GRID_ROWS * app.block_size);
    EXPECT_EQ(well()->format->BitsPerPixel, get_screen()->format->BitsPerPixel);
}

TEST_F(Well_Test, SetCellPaintsItsTileWithoutAnyOtherRepaint) {
    grid.set_cell(3, 19, 5);
    EXPECT_EQ(grid.cell(3, 19), 5);
    EXPECT_TRUE(shows_tile(well(), 48, 304, 5));
    EXPECT_TRUE(black(well(), cell_square(2, 19)));
    EXPECT_TRUE(black(well(), cell_square(3, 18)));
    grid.set_cell(3, 19, TILE_EARTH);
    EXPECT_TRUE(shows_tile(well(), 48, 304, TILE_EARTH));
}

TEST_F(Well_Test, ClearCellPaintsItBlack) {
    grid.set_cell(7, 2, 1);
    grid.set_cell(8, 2, 1);
    grid.clear_cell(7, 2);
    EXPECT_EQ(grid.cell(7, 2), EMPTY_CELL);
    EXPECT_TRUE(black(well(), cell_square(7, 2)));
    EXPECT_TRUE(shows_tile(well(), 8 * 16, 2 * 16, 1));
}

TEST_F(Well_Test, CopyRowMovesThePictureAndKeepsTheSourceRow) {
    for (int col = 0; col < GRID_COLS; ++col) {
        if (col % 3 != 0) grid.set_cell(col, 18, col % 7);
        grid.set_cell(col, 19, TILE_FLASH);
    }
    grid.copy_row(18, 19);
    for (int col = 0; col < GRID_COLS; ++col) {
        EXPECT_EQ(grid.cell(col, 19), grid.cell(col, 18));
        for (int row : {18, 19}) {
            if (col % 3 != 0) {
                EXPECT_TRUE(shows_tile(well(), col * 16, row * 16, col % 7));
            } else {
                EXPECT_TRUE(black(well(), cell_square(col, row)));
            }
        }
    }
}

TEST_F(Well_Test, CopyRowCopiesThePictureAsItIsEvenWhereCellsDisagree) {
    // The strip is copied as a picture: what an effect drew into the source row travels too.
    scribble({0, 4 * 16, 14 * 16, 16});
    grid.copy_row(4, 9);
    EXPECT_TRUE(all_colour(well(), {0, 9 * 16, 14 * 16, 16}, red));
    grid.copy_row(9, 9);
    EXPECT_TRUE(all_colour(well(), {0, 9 * 16, 14 * 16, 16}, red));
}

TEST_F(Well_Test, ClearRowsPaintsTheRowsBlackAndNoOthers) {
    for (int row = 3; row <= 8; ++row)
        fill_row(grid, row, row % 7);
    grid.clear_rows(4, 3);
    EXPECT_TRUE(black(well(), {0, 4 * 16, 14 * 16, 3 * 16}));
    EXPECT_TRUE(shows_tile(well(), 0, 3 * 16, 3));
    EXPECT_TRUE(shows_tile(well(), 13 * 16, 7 * 16, 0));
    grid.clear_rows(7, 0);
    EXPECT_TRUE(shows_tile(well(), 13 * 16, 7 * 16, 0));
}

TEST_F(Well_Test, SwapColumnsRepaintsTheWholeWell) {
    grid.set_cell(2, 10, 4);
    grid.set_cell(9, 15, 6);
    scribble({11 * 16, 0, 16, 20 * 16}); // a column the swap does not touch
    scribble(cell_square(9, 15));
    grid.swap_columns(2, 5);
    EXPECT_TRUE(black(well(), cell_square(2, 10)));
    EXPECT_TRUE(shows_tile(well(), 5 * 16, 10 * 16, 4));
    EXPECT_TRUE(black(well(), {11 * 16, 0, 16, 20 * 16}));
    EXPECT_TRUE(shows_tile(well(), 9 * 16, 15 * 16, 6));
}

TEST_F(Well_Test, RedrawRegionPaintsEmptyCellsBlackAndBlocksAgain) {
    grid.set_cell(4, 4, 2);
    grid.set_cell(10, 10, 3);
    scribble({0, 0, 14 * 16, 20 * 16});
    grid.redraw_region(3, 3, 3, 3);
    EXPECT_TRUE(black(well(), {3 * 16, 3 * 16, 16, 3 * 16}));
    EXPECT_TRUE(shows_tile(well(), 4 * 16, 4 * 16, 2));
    EXPECT_TRUE(black(well(), cell_square(5, 5)));
    // Outside the region the scribble stays.
    EXPECT_TRUE(all_colour(well(), cell_square(2, 3), red));
    EXPECT_TRUE(all_colour(well(), cell_square(10, 10), red));
    EXPECT_TRUE(all_colour(well(), cell_square(4, 6), red));
}

TEST_F(Well_Test, RedrawRegionShowsCellsChangedWithoutPainting) {
    Grid_Field source;
    source.set_cell(0, 0, 5);
    grid.copy_block(source, 6, 12, 0, 0, 1, 1);
    EXPECT_TRUE(black(well(), cell_square(6, 12))); // the plain operation does not paint
    grid.redraw_region(0, 0, GRID_COLS, GRID_ROWS);
    EXPECT_TRUE(shows_tile(well(), 6 * 16, 12 * 16, 5));
}

TEST_F(Well_Test, DrawCopiesTheWellSurfaceToTheScreen) {
    grid.set_cell(0, 0, 1);
    grid.set_cell(13, 19, 2);
    paint_screen(0, 0, 200);
    grid.draw(0, 0);
    EXPECT_TRUE(shows_tile(nullptr, 0, 0, 1));
    EXPECT_TRUE(shows_tile(nullptr, 13 * 16, 19 * 16, 2));
    EXPECT_TRUE(black(nullptr, cell_square(5, 5))); // the well's background is drawn too
    EXPECT_TRUE(all_colour(nullptr, {14 * 16, 0, 96, 320}, {0, 0, 200, 0}));
    grid.draw(16, 0);
    EXPECT_TRUE(shows_tile(nullptr, 16, 0, 1));
}

TEST_F(Well_Test, ResetPaintsTheWellBlack) {
    for (int row = 0; row < GRID_ROWS; ++row)
        fill_row(grid, row, row % 7);
    reset_play_record(&play_record);
    EXPECT_EQ(snapshot(grid), snapshot(Grid_Field()));
    EXPECT_TRUE(black(well(), {0, 0, 14 * 16, 20 * 16}));
}

TEST_F(Well_Test, PlainGridDrawsOccupiedCellsOntoTheScreenOnly) {
    Grid_Field overlay;
    overlay.set_cell(1, 2, 3);
    overlay.set_cell(13, 19, TILE_FLASH);
    paint_screen(0, 0, 200);
    overlay.draw(8, 4);
    EXPECT_TRUE(shows_tile(nullptr, 8 + 16, 4 + 32, 3));
    EXPECT_TRUE(all_colour(nullptr, {8 + 16, 4 + 32 - 4, 16, 4}, {0, 0, 200, 0}));
    EXPECT_TRUE(all_colour(nullptr, {8, 4, 16, 16}, {0, 0, 200, 0})); // empty cells untouched
    // The bottom right tile is clipped at the screen's edge; what is visible is the tile.
    EXPECT_TRUE(same_colour(colour_at(nullptr, 8 + 13 * 16, 4 + 19 * 16),
                            colour_at(app.block_texture, TILE_FLASH * 16, 0)));
    EXPECT_TRUE(black(well(), {0, 0, 14 * 16, 20 * 16})); // the well surface is not touched
}

TEST_F(Well_Test, DrawTileCopiesOneSquareOfTheTexture) {
    paint_screen(0, 0, 200);
    draw_tile(TILE_ICE, 100, 50);
    EXPECT_TRUE(shows_tile(nullptr, 100, 50, TILE_ICE));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 99, 50), {0, 0, 200, 0}));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 116, 50), {0, 0, 200, 0}));
    EXPECT_EQ(app.block_tile.x, TILE_ICE * 16);
    draw_tile(TILE_FIRE, 16, 32, well());
    EXPECT_TRUE(shows_tile(well(), 16, 32, TILE_FIRE));
    // Off the texture there is nothing to draw.
    draw_tile(-1, 0, 0, well());
    draw_tile(1000, 0, 0, well());
    EXPECT_TRUE(black(well(), cell_square(0, 0)));
}

// Without a well surface the cells still work; single cells go straight to the screen.
class Well_Without_Surface_Test : public Well_Test {
  protected:
    void SetUp() override {
        Well_Test::SetUp();
        Grid_Field_Surface::free_well_surface();
    }
    void TearDown() override {
        ASSERT_TRUE(Grid_Field_Surface::create_well_surface());
        Well_Test::TearDown();
    }
};

TEST_F(Well_Without_Surface_Test, SingleCellsArePaintedOntoTheScreen) {
    ASSERT_EQ(well(), nullptr);
    paint_screen(0, 0, 200);
    grid.set_cell(2, 3, 4);
    EXPECT_EQ(grid.cell(2, 3), 4);
    EXPECT_TRUE(shows_tile(nullptr, 32, 48, 4));
    grid.set_cell(5, 5, 1);
    grid.clear_cell(5, 5);
    EXPECT_EQ(grid.cell(5, 5), EMPTY_CELL);
    EXPECT_TRUE(black(nullptr, cell_square(5, 5)));
}

TEST_F(Well_Without_Surface_Test, RegionRepaintsAndWellCopiesDoNothing) {
    fill_row(grid, 19);
    paint_screen(0, 0, 200);
    grid.redraw_region(0, 0, GRID_COLS, GRID_ROWS);
    grid.draw(0, 0);
    grid.copy_row(19, 18);
    grid.clear_rows(0, 5);
    grid.swap_columns(0, 1);
    EXPECT_TRUE(all_colour(nullptr, {0, 0, 320, 320}, {0, 0, 200, 0}));
    EXPECT_EQ(grid.cell(0, 18), 2); // the cells changed all the same
    EXPECT_EQ(grid.find_full_rows(19, 0), 2);
}

TEST_F(Well_Without_Surface_Test, FailedCreationSaysNotEnoughMemory) {
    SDL_Surface* const saved_screen = screen;
    screen = nullptr; // create_surface cannot make a surface without a screen to copy
    Stderr_Capture err;
    const bool made = Grid_Field_Surface::create_well_surface();
    const std::string text = err.text();
    screen = saved_screen;
    EXPECT_FALSE(made);
    EXPECT_EQ(text, "not enough memory!");
    EXPECT_EQ(well(), nullptr);
}

TEST_F(Well_Without_Surface_Test, CreationGivesABlackWell) {
    ASSERT_TRUE(Grid_Field_Surface::create_well_surface());
    ASSERT_NE(well(), nullptr);
    EXPECT_TRUE(black(well(), {0, 0, 14 * 16, 20 * 16}));
    Grid_Field_Surface::free_well_surface();
    EXPECT_EQ(well(), nullptr);
}
