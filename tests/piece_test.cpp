// Pieces: the shape table, turning with its wall, floor and block test, the landing test, random
// generation in its exact rand() order, and drawing with the blink and the flash.
#include "game_test.h"

#include "app/vextile.h"
#include "play/grid_field.h"
#include "play/piece.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

constexpr int SQUARE = 0, J = 1, L = 2, BAR = 3, S = 5, T = 6;
using Cells = std::vector<std::pair<int, int>>;

Piece placed(int shape, int rotation, int col, int row) {
    return Piece{shape, rotation, col, row, 0.0f, 0.0f, 0, -1, -1, 0.0f, 0.0f, 0};
}

Cells cells_of(const Piece& piece) {
    Cells out;
    for (int i = 0; i < 4; ++i)
        out.push_back({piece_cell(piece, i).col, piece_cell(piece, i).row});
    return out;
}

void set_options(bool random_colors, bool special_blocks, int chance) {
    app.options.flags =
        (random_colors ? opt_random_colors : 0) | (special_blocks ? opt_special_blocks : 0);
    app.options.opt_special_chance = chance;
}

// Whether the screen's block_size square at (x, y) shows tile `tile` of the texture.
bool shows_tile(int x, int y, int tile) {
    for (int dy = 0; dy < app.block_size; ++dy)
        for (int dx = 0; dx < app.block_size; ++dx)
            if (!same_colour(colour_at(nullptr, x + dx, y + dy),
                             colour_at(app.block_texture, tile * app.block_size + dx, dy)))
                return false;
    return true;
}

} // namespace

TEST(Piece_Shapes, TurnsKeepTheCellOrder) {
    for (int shape = 0; shape < SHAPE_COUNT; ++shape) {
        for (int r = 0; r < 4; ++r) {
            SCOPED_TRACE(testing::Message() << "shape " << shape << " rotation " << r);
            const Cells cells = cells_of(placed(shape, r, 0, 0));
            const Cells next = cells_of(placed(shape, (r + 1) % 4, 0, 0));
            if (shape == J || shape == L || shape == T) { // a quarter turn counter-clockwise
                for (int i = 0; i < 4; ++i)
                    EXPECT_EQ(next[i], std::make_pair(cells[i].second, -cells[i].first));
            } else if (shape == SQUARE) { // the same cells, the order moved by one place
                EXPECT_TRUE(std::is_permutation(next.begin(), next.end(), cells.begin()));
                EXPECT_EQ(next[1], cells[0]);
            } else { // bar, S and Z: two placements, repeated in reverse order
                EXPECT_EQ(cells_of(placed(shape, (r + 2) % 4, 0, 0)),
                          Cells(cells.rbegin(), cells.rend()));
                EXPECT_NE(next, cells);
            }
        }
    }
}

TEST(Piece_Geometry, TurningWrapsAndTheSpecialCellKeepsItsIndex) {
    Piece piece = placed(L, 3, 6, 10);
    piece.special_cell = 0;
    EXPECT_EQ(cells_of(piece)[0], std::make_pair(7, 11));
    rotate_piece(piece);
    EXPECT_EQ(piece.rotation, 0);
    EXPECT_EQ(piece.special_cell, 0);
    EXPECT_EQ(cells_of(piece)[0], std::make_pair(7, 9)); // the face travels to another block
}

// Turning: refused at the walls, the floor and blocks, with no wall kick; the top is not tested.
// Landing: blocked below the floor and on blocks. Nothing above the well is ever hit.
TEST(Piece_Rotation, TurnsAndLandsOnlyWhereItsCellsFit) {
    Grid_Field grid;
    for (int col = 0; col < GRID_COLS; ++col)
        if (col != 5) grid.set_cell(col, 0, 1);
    grid.set_cell(7, 10, 3); // under the T's cells before the turn only
    grid.set_cell(5, 9, 3);  // next to the turned T
    grid.set_cell(9, 15, 0); // under the other T's turned cells; tile 0 is a block
    grid.set_cell(4, 12, 2);
    const struct {
        bool turn; // rotation_allowed at `column`, else !piece_blocked
        int shape, rotation, col, row, column;
        bool fits;
    } cases[] = {
        {true, J, 3, 0, 12, 0, false},       {true, J, 3, 0, 12, 1, true},
        {true, BAR, 1, 5, 12, 0, false},     {true, BAR, 1, 5, 12, 1, true},
        {true, BAR, 1, 5, 12, 12, false},    {true, BAR, 1, 5, 12, 13, false},
        {true, BAR, 1, 5, 12, 11, true},     {true, BAR, 1, 0, 12, 9, true},
        {true, J, 0, 6, 19, 6, false},       {true, J, 0, 6, 18, 6, true},
        {true, BAR, 0, 5, 0, 5, true},       {true, BAR, 0, 5, -1, 5, true},
        {true, BAR, 0, 8, -1, 8, false},     {true, T, 0, 6, 10, 6, true},
        {true, T, 0, 10, 15, 10, false},     {false, J, 1, 5, 18, 0, true},
        {false, J, 1, 5, 19, 0, false},      {false, SQUARE, 0, 4, 11, 0, true},
        {false, SQUARE, 0, 4, 12, 0, false}, {false, SQUARE, 0, 3, 13, 0, false},
        {false, SQUARE, 0, 5, 12, 0, true},  {false, BAR, 1, 8, -2, 0, true},
        {false, BAR, 1, 8, -1, 0, false},
    };
    for (const auto& c : cases) {
        const Piece piece = placed(c.shape, c.rotation, c.col, c.row);
        EXPECT_EQ(c.turn ? rotation_allowed(piece, c.column, grid) : !piece_blocked(piece, grid),
                  c.fits)
            << (c.turn ? "turning" : "landing") << " shape " << c.shape << " rotation "
            << c.rotation << " at " << c.col << "," << c.row << " column " << c.column;
    }
}

using Piece_Generation_Test = Game_Test;

TEST_F(Piece_Generation_Test, EachFieldFromItsOwnDrawWithTheExactNumberOfCalls) {
    // In order: the shape (unless given), rotation, tile (random colours only), the special
    // draw (special blocks only), then on a special block its kind and cell.
    const struct {
        bool colors, special;
        int chance, shape, calls;
    } cases[] = {
        {false, false, 100, -1, 2}, {false, false, 33, 4, 1},  {true, false, 33, -1, 3},
        {false, true, 0, -1, 3},    {false, true, 100, -1, 5}, {true, true, 0, -1, 4},
        {true, true, 100, -1, 6},   {true, true, 100, 2, 5},   {false, true, 33, -1, -1},
    };
    for (const auto& c : cases) {
        set_options(c.colors, c.special, c.chance);
        for (unsigned seed = 1; seed <= 500; ++seed) {
            SCOPED_TRACE(testing::Message()
                         << "colours " << c.colors << " special " << c.special << " chance "
                         << c.chance << " shape " << c.shape << " seed " << seed);
            std::srand(seed);
            std::vector<int> r;
            for (int i = 0; i < 12; ++i)
                r.push_back(std::rand());
            Piece p;
            p.x = 9.0f;
            std::srand(seed);
            generate_piece(p, c.shape);
            const long used = std::find(r.begin(), r.end(), std::rand()) - r.begin();
            const int k = c.shape == -1 ? 1 : 0; // the rotation's draw
            const bool special = c.calls == -1 ? r[2] % 100 < 33 : c.special && c.chance == 100;
            const int shape = c.shape == -1 ? r[0] % 7 : c.shape;
            EXPECT_EQ(used, c.calls == -1 ? (special ? 5 : 3) : c.calls);
            EXPECT_EQ(
                (std::vector<int>{p.shape, p.rotation, p.tile, p.special_kind, p.special_cell}),
                (std::vector<int>{shape, r[k] % 4, c.colors ? r[k + 1] % 7 : shape,
                                  special ? TILE_FIRE + r[used - 2] % 4 : -1,
                                  special ? r[used - 1] % 4 : -1}));
            EXPECT_TRUE(p.x == 0.0f && p.blink_timer == 0.0f && p.flash == 0.0f); // cleared first
        }
    }
}

using Piece_Drawing_Test = Game_Test;

TEST_F(Piece_Drawing_Test, SpecialFaceShowsHalfASecondOrdinaryTileAQuarter) {
    Piece ordinary{J, 0, 5, 5, 80.0f, 96.0f, 2, -1, -1, 0.0f, 0.0f, 0};
    Piece piece{J, 0, 5, 5, 80.0f, 96.0f, 2, TILE_LIGHTNING, 2, 0.0f, 0.0f, 0}; // origin cell
    set_frame_seconds(0.125);
    // Frame by frame: whether the special face shows; it toggles only once the timer is below 0.
    const bool expected[] = {true, true, true, true, true, false, false, false, true, true};
    for (int frame = 0; frame < 10; ++frame) {
        SCOPED_TRACE(frame);
        paint_screen(0, 0, 0);
        draw_piece(piece);
        EXPECT_EQ(shows_tile(80, 96, TILE_LIGHTNING), expected[frame]);
        EXPECT_EQ(shows_tile(80, 96, 2), !expected[frame]);
        EXPECT_TRUE(shows_tile(64, 80, 2)) << "an ordinary cell";
        EXPECT_EQ(piece.blink_on, expected[frame] ? 1 : 0);
        draw_piece(ordinary);
        EXPECT_TRUE(ordinary.blink_on == 0 && ordinary.blink_timer == 0.0f) << "never blinks";
    }
    EXPECT_EQ(piece.blink_timer, 0.375f);
    set_frame_seconds(1.0); // one long frame toggles once, not twice
    draw_piece(piece);
    EXPECT_EQ(piece.blink_on, 0);
    EXPECT_EQ(piece.blink_timer, 0.25f);
}

TEST_F(Piece_Drawing_Test, FlashCoversThePieceAndFadesInOneSecondCellsAtTruncatedPixels) {
    Piece piece{S, 0, 5, 5, 80.9f, 160.7f, 5, -1, -1, 0.0f, 0.0f, 0}; // (1,-1) (0,-1) (0,0) (-1,0)
    start_flash(piece);
    set_frame_seconds(0.25);
    draw_piece(piece); // full flash: the flash tile itself
    EXPECT_TRUE(shows_tile(96, 144, TILE_FLASH) && shows_tile(64, 160, TILE_FLASH));
    EXPECT_FLOAT_EQ(piece.flash, 0.75f);
    EXPECT_FALSE(app.block_texture->flags & SDL_SRCALPHA) << "the texture must be opaque again";
    paint_screen(0, 0, 0);
    draw_piece(piece); // three quarters: neither the tile nor the flash
    EXPECT_FALSE(shows_tile(80, 160, TILE_FLASH) || shows_tile(80, 160, 5));
    draw_piece(piece);
    draw_piece(piece);
    paint_screen(0, 0, 0);
    draw_piece(piece); // faded out: the plain tiles
    for (const auto& [x, y] : Cells{{96, 144}, {80, 144}, {80, 160}, {64, 160}})
        EXPECT_TRUE(shows_tile(x, y, 5)) << x << "," << y;
    EXPECT_FLOAT_EQ(piece.flash, 0.0f);
}
