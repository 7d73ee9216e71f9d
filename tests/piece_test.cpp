// Pieces: the shape table's geometry, turning with its wall, floor and block test, the landing
// test, random generation in its exact rand() order, and drawing with the blink and the flash.
#include "game_test.h"

#include "app/vextile.h"
#include "media/video.h"
#include "play/grid_field.h"
#include "play/piece.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace {

Piece placed(int shape, int rotation, int col, int row) {
    Piece piece;
    clear_piece(piece);
    piece.shape = shape;
    piece.rotation = rotation;
    piece.col = col;
    piece.row = row;
    piece.special_kind = -1;
    piece.special_cell = -1;
    return piece;
}

constexpr int SQUARE = 0, J = 1, L = 2, BAR = 3, Z = 4, S = 5, T = 6;

std::vector<std::pair<int, int>> cells_of(int shape, int rotation) {
    std::vector<std::pair<int, int>> out;
    for (const Cell_Offset& c : shape_table[shape].cells[rotation])
        out.push_back({c.dx, c.dy});
    return out;
}

} // namespace

// ---- the shape table ---------------------------------------------------------------------------

TEST(Piece_Shapes, EveryShapeHasFourRotationsOfFourDistinctCellsAroundTheOrigin) {
    for (int shape = 0; shape < SHAPE_COUNT; ++shape) {
        EXPECT_EQ(shape_table[shape].rotation_count, 4);
        for (int r = 0; r < 4; ++r) {
            const auto cells = cells_of(shape, r);
            const std::set<std::pair<int, int>> distinct(cells.begin(), cells.end());
            EXPECT_EQ(distinct.size(), 4u);
            EXPECT_NE(std::find(cells.begin(), cells.end(), std::make_pair(0, 0)), cells.end())
                << "shape " << shape << " rotation " << r;
        }
    }
}

TEST(Piece_Shapes, JLAndTTurnAQuarterCounterClockwiseKeepingTheCellOrder) {
    for (const int shape : {J, L, T}) {
        for (int r = 0; r < 4; ++r) {
            const auto from = cells_of(shape, r);
            const auto to = cells_of(shape, (r + 1) % 4);
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(to[i], std::make_pair(from[i].second, -from[i].first))
                    << "shape " << shape << " rotation " << r << " cell " << i;
            }
        }
    }
}

TEST(Piece_Shapes, BarSAndZRepeatTheirTwoPlacementsInReverseOrder) {
    for (const int shape : {BAR, S, Z}) {
        for (int r = 0; r < 2; ++r) {
            auto reversed = cells_of(shape, r);
            std::reverse(reversed.begin(), reversed.end());
            EXPECT_EQ(cells_of(shape, r + 2), reversed) << "shape " << shape;
        }
        EXPECT_NE(cells_of(shape, 0), cells_of(shape, 1));
    }
}

TEST(Piece_Shapes, TheSquareKeepsItsCellsAndTurnsTheirOrder) {
    const auto first = cells_of(SQUARE, 0);
    for (int r = 1; r < 4; ++r) {
        auto cells = cells_of(SQUARE, r);
        EXPECT_TRUE(std::is_permutation(cells.begin(), cells.end(), first.begin()));
        // Each turn moves the order by one place: the cell first in rotation r is second in r+1.
        EXPECT_EQ(cells_of(SQUARE, r)[1], cells_of(SQUARE, r - 1)[0]);
    }
}

TEST(Piece_Shapes, FirstRotationsAsTheGameDrawsThem) {
    EXPECT_EQ(cells_of(J, 0),
              (std::vector<std::pair<int, int>>{{-1, -1}, {-1, 0}, {0, 0}, {1, 0}}));
    EXPECT_EQ(cells_of(L, 0), (std::vector<std::pair<int, int>>{{1, -1}, {1, 0}, {0, 0}, {-1, 0}}));
    EXPECT_EQ(cells_of(BAR, 1),
              (std::vector<std::pair<int, int>>{{0, 1}, {0, 0}, {0, -1}, {0, -2}}));
    EXPECT_EQ(cells_of(Z, 1), (std::vector<std::pair<int, int>>{{0, 1}, {0, 0}, {1, 0}, {1, -1}}));
    EXPECT_EQ(cells_of(S, 1), (std::vector<std::pair<int, int>>{{0, -1}, {0, 0}, {1, 0}, {1, 1}}));
    EXPECT_EQ(cells_of(T, 0), (std::vector<std::pair<int, int>>{{-1, 0}, {0, 0}, {1, 0}, {0, -1}}));
    EXPECT_EQ(cells_of(SQUARE, 0),
              (std::vector<std::pair<int, int>>{{0, 0}, {0, -1}, {1, -1}, {1, 0}}));
}

TEST(Piece_Shapes, BoundsAreTheExtremesOfTheCells) {
    for (int shape = 0; shape < SHAPE_COUNT; ++shape) {
        for (int r = 0; r < 4; ++r) {
            int min_dx = 9, min_dy = 9, max_dx = -9, max_dy = -9;
            for (const auto& [dx, dy] : cells_of(shape, r)) {
                min_dx = std::min(min_dx, dx);
                min_dy = std::min(min_dy, dy);
                max_dx = std::max(max_dx, dx);
                max_dy = std::max(max_dy, dy);
            }
            const Cell_Offset* b = shape_table[shape].bounds[r];
            EXPECT_EQ(b[0].dx, min_dx);
            EXPECT_EQ(b[0].dy, min_dy);
            EXPECT_EQ(b[1].dx, max_dx);
            EXPECT_EQ(b[1].dy, max_dy);
        }
    }
}

// ---- geometry of a placed piece ----------------------------------------------------------------

TEST(Piece_Geometry, CellsAndBoundsFollowTheOrigin) {
    const Piece piece = placed(BAR, 1, 6, 3);
    const Grid_Pos expected[4] = {{6, 4}, {6, 3}, {6, 2}, {6, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(piece_cell(piece, i).col, expected[i].col);
        EXPECT_EQ(piece_cell(piece, i).row, expected[i].row);
    }
    EXPECT_EQ(piece_bounds(piece, 0).dx, 0);
    EXPECT_EQ(piece_bounds(piece, 0).dy, -2);
    EXPECT_EQ(piece_bounds(piece, 1).dy, 1);
    EXPECT_EQ(piece_abs_bounds(piece, 0).col, 6);
    EXPECT_EQ(piece_abs_bounds(piece, 0).row, 1);
    EXPECT_EQ(piece_abs_bounds(piece, 1).col, 6);
    EXPECT_EQ(piece_abs_bounds(piece, 1).row, 4);
}

TEST(Piece_Geometry, RotationWrapsAfterTheLast) {
    Piece piece = placed(T, 2, 5, 5);
    rotate_piece(piece);
    EXPECT_EQ(piece.rotation, 3);
    rotate_piece(piece);
    EXPECT_EQ(piece.rotation, 0);
}

TEST(Piece_Geometry, ClearedPieceIsAllZeroAndFlashStarts) {
    Piece piece;
    EXPECT_FLOAT_EQ(piece.blink_timer, 0.5f);
    piece.shape = 6;
    piece.x = 3.5f;
    piece.blink_on = 1;
    piece.special_kind = -1;
    clear_piece(piece);
    EXPECT_EQ(piece.shape, 0);
    EXPECT_EQ(piece.special_kind, 0);
    EXPECT_EQ(piece.x, 0.0f);
    EXPECT_EQ(piece.blink_timer, 0.0f);
    EXPECT_EQ(piece.blink_on, 0);
    start_flash(piece);
    EXPECT_EQ(piece.flash, 1.0f);
}

// ---- the rotation test -------------------------------------------------------------------------

TEST(Piece_Rotation, NoWallKickAtTheLeftWall) {
    const Grid_Field grid;
    const Piece j = placed(J, 3, 0, 10); // cells in columns 0 and 1
    EXPECT_FALSE(rotation_allowed(j, 0, grid));
    EXPECT_TRUE(rotation_allowed(j, 1, grid));
}

TEST(Piece_Rotation, UprightBarCannotTurnFlatNearEitherWall) {
    const Grid_Field grid;
    const Piece bar = placed(BAR, 1, 5, 10); // turning reaches from dx -1 to dx 2
    for (const int column : {0, 12, 13}) {
        EXPECT_FALSE(rotation_allowed(bar, column, grid)) << "column " << column;
    }
    EXPECT_TRUE(rotation_allowed(bar, 1, grid));
    EXPECT_TRUE(rotation_allowed(bar, 11, grid));
}

TEST(Piece_Rotation, TestsTheColumnGivenNotThePiecesOwn) {
    const Grid_Field grid;
    const Piece bar = placed(BAR, 1, 0, 10);
    EXPECT_TRUE(rotation_allowed(bar, 5, grid));
    const Piece far = placed(BAR, 1, 5, 10);
    EXPECT_FALSE(rotation_allowed(far, 0, grid));
}

TEST(Piece_Rotation, NoTurnThroughTheFloor) {
    const Grid_Field grid;
    const Piece j = placed(J, 0, 6, 19); // lowest cells on row 19; rotation 1 reaches dy 1
    EXPECT_FALSE(rotation_allowed(j, 6, grid));
    EXPECT_TRUE(rotation_allowed(placed(J, 0, 6, 18), 6, grid));
}

TEST(Piece_Rotation, TheTopIsNotTested) {
    const Grid_Field grid;
    const Piece bar = placed(BAR, 0, 5, 0); // rotation 1 reaches two rows above the well
    EXPECT_TRUE(rotation_allowed(bar, 5, grid));
    EXPECT_TRUE(rotation_allowed(placed(BAR, 2, 5, -3), 5, grid));
}

TEST(Piece_Rotation, RefusedOnlyByBlocksUnderTheTurnedCells) {
    Grid_Field grid;
    const Piece t = placed(T, 0, 6, 10); // rotation 1: (6,11) (6,10) (6,9) (5,10)
    grid.set_cell(7, 10, 3);             // under rotation 0 only
    grid.set_cell(5, 9, 3);              // next to the turned piece
    EXPECT_TRUE(rotation_allowed(t, 6, grid));
    grid.set_cell(6, 11, 3);
    EXPECT_FALSE(rotation_allowed(t, 6, grid));
    grid.clear_cell(6, 11);
    grid.set_cell(5, 10, 0);
    EXPECT_FALSE(rotation_allowed(t, 6, grid));
}

TEST(Piece_Rotation, BlocksAboveTheWellAreNeverHit) {
    Grid_Field grid;
    for (int col = 0; col < GRID_COLS; ++col)
        grid.set_cell(col, 0, 1);
    const Piece bar = placed(BAR, 0, 5, -1); // rotation 1 covers rows -3 to 0 in column 5
    EXPECT_FALSE(rotation_allowed(bar, 5, grid));
    grid.clear_cell(5, 0);
    EXPECT_TRUE(rotation_allowed(bar, 5, grid));
}

TEST(Piece_Rotation, SpecialCellKeepsItsIndexAsThePieceTurns) {
    Piece piece = placed(L, 0, 6, 10);
    piece.special_kind = TILE_ICE;
    piece.special_cell = 0;
    const Grid_Pos before = piece_cell(piece, piece.special_cell);
    rotate_piece(piece);
    EXPECT_EQ(piece.special_cell, 0);
    const Grid_Pos after = piece_cell(piece, piece.special_cell);
    EXPECT_EQ(before.col, 7);
    EXPECT_EQ(before.row, 9);
    EXPECT_EQ(after.col, 5); // the face has travelled to another block
    EXPECT_EQ(after.row, 9);
}

// ---- the landing test --------------------------------------------------------------------------

TEST(Piece_Landing, BlockedBelowTheFloor) {
    const Grid_Field grid;
    EXPECT_FALSE(piece_blocked(placed(J, 1, 5, 18), grid)); // lowest cell on row 19
    EXPECT_TRUE(piece_blocked(placed(J, 1, 5, 19), grid));  // lowest cell on row 20
}

TEST(Piece_Landing, BlockedOnAnOccupiedCellNotNextToOne) {
    Grid_Field grid;
    grid.set_cell(4, 12, 2);
    EXPECT_FALSE(piece_blocked(placed(SQUARE, 0, 4, 11), grid));
    EXPECT_TRUE(piece_blocked(placed(SQUARE, 0, 4, 12), grid));
    EXPECT_TRUE(piece_blocked(placed(SQUARE, 0, 3, 13), grid));
    EXPECT_FALSE(piece_blocked(placed(SQUARE, 0, 5, 12), grid));
}

TEST(Piece_Landing, CellsAboveTheWellAreFree) {
    Grid_Field grid;
    for (int col = 0; col < GRID_COLS; ++col)
        grid.set_cell(col, 0, 1);
    EXPECT_FALSE(piece_blocked(placed(BAR, 1, 5, -2), grid)); // rows -4 to -1
    EXPECT_TRUE(piece_blocked(placed(BAR, 1, 5, -1), grid));
}

// ---- generation --------------------------------------------------------------------------------

class Piece_Generation_Test : public Game_Test {
  protected:
    void set_options(bool random_colors, bool special_blocks, int chance) {
        app.options.flags =
            (random_colors ? opt_random_colors : 0) | (special_blocks ? opt_special_blocks : 0);
        app.options.opt_special_chance = chance;
    }

    // The first n numbers rand() gives after srand(seed).
    static std::vector<int> replay(unsigned seed, int n) {
        std::srand(seed);
        std::vector<int> out;
        for (int i = 0; i < n; ++i)
            out.push_back(std::rand());
        return out;
    }

    // Generates a piece from the seed and answers how many rand() calls it used, found by
    // matching the next number against the replayed sequence.
    static int calls_used(unsigned seed, Piece& piece, int shape) {
        const std::vector<int> numbers = replay(seed, 12);
        std::srand(seed);
        generate_piece(piece, shape);
        const int following = std::rand();
        for (int i = 0; i < int(numbers.size()); ++i) {
            if (numbers[i] == following) return i;
        }
        return -1;
    }
};

TEST_F(Piece_Generation_Test, OptionsOffGiveEachShapeItsColourAndNoSpecialBlock) {
    set_options(false, false, 100);
    for (unsigned seed = 1; seed <= 50; ++seed) {
        const std::vector<int> r = replay(seed, 2);
        Piece piece;
        piece.x = 9.0f;
        piece.blink_timer = 0.5f;
        std::srand(seed);
        generate_piece(piece, -1);
        EXPECT_EQ(piece.shape, r[0] % 7);
        EXPECT_EQ(piece.rotation, r[1] % 4);
        EXPECT_EQ(piece.tile, piece.shape);
        EXPECT_EQ(piece.special_kind, -1);
        EXPECT_EQ(piece.special_cell, -1);
        EXPECT_EQ(piece.x, 0.0f);
        EXPECT_EQ(piece.blink_timer, 0.0f);
        EXPECT_EQ(piece.flash, 0.0f);
        EXPECT_EQ(piece.col, 0);
    }
}

TEST_F(Piece_Generation_Test, RandCallsInEachOptionCombination) {
    struct Case {
        bool random_colors, special_blocks;
        int chance, shape, calls;
    };
    const Case cases[] = {
        {false, false, 33, -1, 2}, // shape, rotation
        {false, false, 33, 4, 1},  // rotation
        {true, false, 33, -1, 3},  // shape, rotation, tile
        {false, true, 0, -1, 3},   // ... the special draw, which fails
        {false, true, 100, -1, 5}, // ... the special draw, kind, cell
        {true, true, 0, -1, 4},    {true, true, 100, -1, 6}, {true, true, 100, 2, 5},
    };
    for (const Case& c : cases) {
        set_options(c.random_colors, c.special_blocks, c.chance);
        for (unsigned seed = 7; seed < 17; ++seed) {
            Piece piece;
            EXPECT_EQ(calls_used(seed, piece, c.shape), c.calls)
                << "colours " << c.random_colors << " special " << c.special_blocks << " chance "
                << c.chance << " shape " << c.shape;
        }
    }
}

TEST_F(Piece_Generation_Test, EveryFieldComesFromItsOwnDrawInOrder) {
    set_options(true, true, 100);
    for (unsigned seed = 100; seed < 140; ++seed) {
        const std::vector<int> r = replay(seed, 6);
        Piece piece;
        std::srand(seed);
        generate_piece(piece, -1);
        EXPECT_EQ(piece.shape, r[0] % 7);
        EXPECT_EQ(piece.rotation, r[1] % 4);
        EXPECT_EQ(piece.tile, r[2] % 7);
        EXPECT_EQ(piece.special_kind, 10 + r[4] % 4);
        EXPECT_EQ(piece.special_cell, r[5] % 4);
    }
}

TEST_F(Piece_Generation_Test, AGivenShapeIsKeptAndDrawsNoShape) {
    set_options(false, false, 33);
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const std::vector<int> r = replay(seed, 1);
        Piece piece;
        std::srand(seed);
        generate_piece(piece, BAR);
        EXPECT_EQ(piece.shape, BAR);
        EXPECT_EQ(piece.tile, BAR);
        EXPECT_EQ(piece.rotation, r[0] % 4);
    }
}

TEST_F(Piece_Generation_Test, SpecialChanceIsAPercentageOfTheDraw) {
    set_options(false, true, 0);
    std::srand(5);
    for (int i = 0; i < 300; ++i) {
        Piece piece;
        generate_piece(piece, -1);
        EXPECT_EQ(piece.special_kind, -1);
        EXPECT_EQ(piece.special_cell, -1);
    }
    set_options(false, true, 100);
    std::set<int> kinds, cells;
    for (int i = 0; i < 300; ++i) {
        Piece piece;
        generate_piece(piece, -1);
        EXPECT_GE(piece.special_kind, TILE_FIRE);
        EXPECT_LE(piece.special_kind, TILE_EARTH);
        EXPECT_GE(piece.special_cell, 0);
        EXPECT_LE(piece.special_cell, 3);
        EXPECT_EQ(piece.tile, piece.shape);
        kinds.insert(piece.special_kind);
        cells.insert(piece.special_cell);
    }
    EXPECT_EQ(kinds.size(), 4u);
    EXPECT_EQ(cells.size(), 4u);
    // With the default 33 percent, the draw decides: a draw below 33 gives a special block.
    set_options(false, true, 33);
    for (unsigned seed = 1; seed <= 60; ++seed) {
        const std::vector<int> r = replay(seed, 3);
        Piece piece;
        std::srand(seed);
        generate_piece(piece, -1);
        EXPECT_EQ(piece.special_cell != -1, r[2] % 100 < 33) << "seed " << seed;
    }
}

// ---- drawing -----------------------------------------------------------------------------------

class Piece_Drawing_Test : public Game_Test {
  protected:
    // Whether the screen's block_size square at (x, y) shows tile `tile` (compared on a few
    // pixels that differ between the tiles used here).
    static bool shows_tile(int x, int y, int tile) {
        const int size = app.block_size;
        for (int dy = 0; dy < size; ++dy) {
            for (int dx = 0; dx < size; ++dx) {
                if (!same_colour(colour_at(nullptr, x + dx, y + dy),
                                 colour_at(app.block_texture, tile * size + dx, dy))) {
                    return false;
                }
            }
        }
        return true;
    }

    static Piece special_piece() {
        Piece piece = placed(J, 0, 5, 5);
        piece.x = 80.0f;
        piece.y = 96.0f;
        piece.tile = 2;
        piece.special_kind = TILE_LIGHTNING;
        piece.special_cell = 2; // the origin cell
        piece.blink_timer = 0.0f;
        return piece;
    }
};

TEST_F(Piece_Drawing_Test, CellsAreDrawnAtThePixelPositionTruncated) {
    Piece piece = placed(J, 0, 0, 0); // (-1,-1) (-1,0) (0,0) (1,0)
    piece.tile = 4;
    piece.x = 40.9f;
    piece.y = 100.7f;
    paint_screen(0, 0, 0);
    draw_piece(piece);
    EXPECT_TRUE(shows_tile(24, 84, 4));
    EXPECT_TRUE(shows_tile(24, 100, 4));
    EXPECT_TRUE(shows_tile(40, 100, 4));
    EXPECT_TRUE(shows_tile(56, 100, 4));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 40, 99), COLOR_BLACK));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 72, 100), COLOR_BLACK));
}

TEST_F(Piece_Drawing_Test, CellsAboveTheScreenAreClipped) {
    Piece piece = placed(BAR, 1, 3, 0); // dy -2 .. 1
    piece.tile = 1;
    piece.x = 48.0f;
    piece.y = -8.0f;
    paint_screen(0, 0, 0);
    draw_piece(piece);
    EXPECT_TRUE(shows_tile(48, 8, 1));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 48, 0), colour_at(app.block_texture, 1 * 16, 8)));
}

TEST_F(Piece_Drawing_Test, SpecialFaceShowsHalfASecondOrdinaryTileAQuarter) {
    Piece piece = special_piece();
    set_frame_seconds(0.125);
    // Frame by frame: whether the special face shows on the special cell.
    const bool expected[] = {true, true, true, true, true, false, false, false, true, true};
    for (int frame = 0; frame < 10; ++frame) {
        paint_screen(0, 0, 0);
        draw_piece(piece);
        EXPECT_EQ(shows_tile(80, 96, TILE_LIGHTNING), expected[frame]) << "frame " << frame;
        EXPECT_EQ(shows_tile(80, 96, 2), !expected[frame]) << "frame " << frame;
        EXPECT_TRUE(shows_tile(64, 80, 2)) << "an ordinary cell, frame " << frame;
        EXPECT_EQ(piece.blink_on, expected[frame] ? 1 : 0);
    }
}

TEST_F(Piece_Drawing_Test, BlinkTogglesOnlyWhenTheTimerFallsBelowZero) {
    Piece piece = special_piece();
    set_frame_seconds(0.25);
    draw_piece(piece);
    EXPECT_EQ(piece.blink_on, 1);
    EXPECT_EQ(piece.blink_timer, 0.5f);
    draw_piece(piece);
    draw_piece(piece);
    EXPECT_EQ(piece.blink_on, 1);
    EXPECT_EQ(piece.blink_timer, 0.0f);
    draw_piece(piece);
    EXPECT_EQ(piece.blink_on, 0);
    EXPECT_EQ(piece.blink_timer, 0.25f);
    set_frame_seconds(1.0); // one long frame toggles once, not twice
    draw_piece(piece);
    EXPECT_EQ(piece.blink_on, 1);
    EXPECT_EQ(piece.blink_timer, 0.5f);
}

TEST_F(Piece_Drawing_Test, AnOrdinaryPieceNeverBlinks) {
    Piece piece = special_piece();
    piece.special_kind = -1;
    piece.special_cell = -1;
    piece.blink_timer = 0.0f;
    set_frame_seconds(0.5);
    for (int frame = 0; frame < 4; ++frame) {
        paint_screen(0, 0, 0);
        draw_piece(piece);
        EXPECT_TRUE(shows_tile(80, 96, 2));
    }
    EXPECT_EQ(piece.blink_on, 0);
    EXPECT_EQ(piece.blink_timer, 0.0f);
}

TEST_F(Piece_Drawing_Test, SpecialFaceMovesWithItsCellWhenThePieceTurns) {
    Piece piece = special_piece();
    piece.special_cell = 0; // (-1,-1) in rotation 0, (-1,1) in rotation 1
    piece.blink_on = 1;
    piece.blink_timer = 0.5f;
    set_frame_seconds(0.01);
    draw_piece(piece);
    EXPECT_TRUE(shows_tile(64, 80, TILE_LIGHTNING));
    rotate_piece(piece);
    paint_screen(0, 0, 0);
    draw_piece(piece);
    EXPECT_TRUE(shows_tile(64, 112, TILE_LIGHTNING));
    EXPECT_TRUE(shows_tile(80, 80, 2));
}

TEST_F(Piece_Drawing_Test, FlashCoversThePieceAndFadesInOneSecond) {
    Piece piece = placed(S, 0, 5, 5); // (1,-1) (0,-1) (0,0) (-1,0)
    piece.tile = 5;
    piece.x = 80.0f;
    piece.y = 160.0f;
    start_flash(piece);
    set_frame_seconds(0.25);
    paint_screen(0, 0, 0);
    draw_piece(piece); // full flash: the flash tile itself
    EXPECT_TRUE(shows_tile(96, 144, TILE_FLASH));
    EXPECT_TRUE(shows_tile(64, 160, TILE_FLASH));
    EXPECT_FLOAT_EQ(piece.flash, 0.75f);
    EXPECT_FALSE(app.block_texture->flags & SDL_SRCALPHA) << "the texture must be opaque again";

    paint_screen(0, 0, 0);
    draw_piece(piece); // three quarters: neither the tile nor the flash
    EXPECT_FALSE(shows_tile(80, 160, TILE_FLASH));
    EXPECT_FALSE(shows_tile(80, 160, 5));
    EXPECT_FALSE(app.block_texture->flags & SDL_SRCALPHA);

    draw_piece(piece);
    draw_piece(piece);
    EXPECT_FLOAT_EQ(piece.flash, 0.0f);
    paint_screen(0, 0, 0);
    draw_piece(piece); // faded out: the plain tiles
    EXPECT_TRUE(shows_tile(80, 160, 5));
    EXPECT_FLOAT_EQ(piece.flash, 0.0f);
}
