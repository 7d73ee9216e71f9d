// Pieces: the shape table, turning with its wall, floor and block test, the landing test, random
// generation in its exact rand() order, and drawing with the blink and the flash.
#include "game_test.h"

#include "app/vextile.h"
#include "game/effect_table.h"
#include "game/game_context.h"
#include "play/block_tiles.h"
#include "play/piece.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr int SQUARE = 0, J = 1, L = 2, BAR = 3, S = 5, T = 6;
using Cells = std::vector<std::pair<int, int>>;

Cells cells_of(const Piece& piece) {
    Cells out;
    for (int i = 0; i < 4; ++i)
        out.push_back({piece_cell(piece, i).col, piece_cell(piece, i).row});
    return out;
}

// Whether the screen's 16-pixel square at (x, y) shows tile `tile` of the texture.
bool shows_tile(int x, int y, int tile) {
    for (int i = 0; i < 16 * 16; ++i)
        if (!same_colour(colour_at(nullptr, x + i % 16, y + i / 16),
                         colour_at(block_texture(), tile * 16 + i % 16, i / 16)))
            return false;
    return true;
}

} // namespace

TEST(Piece_Shapes, TurnsKeepTheCellOrderAndTheSpecialCellItsIndex) {
    for (int i = 0; i < SHAPE_COUNT * 4; ++i) {
        const int shape = i / 4, r = i % 4;
        Cells cells = cells_of(Piece{shape, r}), want = cells;
        const bool quarter = shape == J || shape == L || shape == T;
        if (shape == SQUARE) // the same cells, their order moved by one place
            std::rotate(want.begin(), want.begin() + 3, want.end());
        else if (quarter) // a quarter turn counter-clockwise
            for (auto& cell : want)
                cell = {cell.second, -cell.first};
        else // bar, S and Z: two placements, repeated in reverse order
            std::reverse(want.begin(), want.end());
        const int step = quarter || shape == SQUARE ? 1 : 2;
        EXPECT_EQ(cells_of(Piece{shape, (r + step) % 4}), want) << shape << "/" << r;
        EXPECT_NE(cells_of(Piece{shape, (r + 1) % 4}), cells) << shape << "/" << r;
    }
    Piece piece{L, 3, 6, 10, 0.0f, 0.0f, 0, TILE_FIRE, 0};
    rotate_piece(piece); // wraps to 0; the special face stays on cell 0, which moves
    EXPECT_EQ(std::tuple(piece.rotation, piece.special_cell, cells_of(piece)[0]),
              std::tuple(0, 0, std::pair(7, 9)));
}

// Turning: refused at the walls, the floor and blocks, with no wall kick; the top is not tested.
// Landing: blocked below the floor and on blocks. Nothing above the well is ever hit.
TEST(Piece_Rotation, TurnsAndLandsOnlyWhereItsCellsFit) {
    Grid_Field grid;
    for (int col = 0; col < GRID_COLS; ++col)
        if (col != 5) grid.set_cell(col, 0, 1);
    grid.set_cell(7, 10, 3); // under the T's cells before the turn only
    grid.set_cell(9, 15, 0); // under the other T's turned cells; tile 0 is a block
    grid.set_cell(4, 12, 2);
    // clang-format off
    const struct { bool turn; int shape, rotation, col, row, column; bool fits; } cases[] = {
        // turn: rotation_allowed at `column`; else !piece_blocked
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

using Piece_Generation_Test = Game_Test;

TEST_F(Piece_Generation_Test, EachFieldFromItsOwnDrawWithTheExactNumberOfCalls) {
    // In order: the shape (unless given), rotation, tile (random colours only), the special
    // draw (special blocks only), then on a special block its kind and cell. Calls -1: chance 33,
    // special when the draw says so.
    // clang-format off
    const struct { bool colors, special; int chance, shape, calls; } cases[] = {
        {false, false, 100, -1, 2}, {false, false, 33, 4, 1},  {true, false, 33, -1, 3},
        {false, true, 0, -1, 3},    {false, true, 100, -1, 5}, {true, true, 0, -1, 4},
        {true, true, 100, -1, 6},   {true, true, 100, 2, 5},   {false, true, 33, -1, -1}};
    // clang-format on
    for (const auto& c : cases) {
        game.options = {(c.colors ? opt_random_colors : 0u) | (c.special ? opt_special_blocks : 0u),
                        c.chance};
        for (unsigned seed = 1; seed <= 500; ++seed) {
            SCOPED_TRACE(testing::Message() << "case " << &c - cases << " seed " << seed);
            std::srand(seed);
            std::vector<int> r(12);
            std::generate(r.begin(), r.end(), std::rand);
            Piece p{0, 0, 0, 0, 9.0f}; // generation clears the piece first
            std::srand(seed);
            generate_piece(p, c.shape, game.options);
            const long used = std::find(r.begin(), r.end(), std::rand()) - r.begin();
            const int k = c.shape == -1 ? 1 : 0; // the rotation's draw
            const bool special = c.calls == -1 ? r[2] % 100 < 33 : c.special && c.chance == 100;
            const int shape = c.shape == -1 ? r[0] % 7 : c.shape;
            EXPECT_EQ(std::vector<int>(
                          {int(used), p.shape, p.rotation, p.tile, p.special_kind, p.special_cell}),
                      std::vector<int>({c.calls == -1 ? (special ? 5 : 3) : c.calls, shape,
                                        r[k] % 4, c.colors ? r[k + 1] % 7 : shape,
                                        special ? TILE_FIRE + r[used - 2] % 4 : -1,
                                        special ? r[used - 1] % 4 : -1}));
            EXPECT_TRUE(p.x == 0.0f && p.blink_timer == 0.0f && p.flash == 0.0f);
        }
    }
}

using Piece_Drawing_Test = Game_Test;

TEST_F(Piece_Drawing_Test, SpecialFaceBlinksAndTheFlashFadesInOneSecond) {
    Piece piece{J, 0, 5, 5, 80.0f, 96.0f, 2, TILE_LIGHTNING, 2, 0.0f, 0.0f, 0}; // cell 2: origin
    set_frame_seconds(0.125);
    // Frame by frame, what the special cell shows: the face ('L') for half a second, the tile
    // ('2') for a quarter; it toggles only once the timer is below 0.
    std::string seen;
    for (int frame = 0; frame < 10; ++frame) {
        draw_piece(piece, frame_seconds());
        seen += shows_tile(80, 96, TILE_LIGHTNING) ? 'L' : shows_tile(80, 96, 2) ? '2' : '?';
    }
    EXPECT_EQ(seen, "LLLLL222LL");
    EXPECT_TRUE(piece.blink_timer == 0.375f && shows_tile(64, 80, 2)) << "an ordinary cell";
    set_frame_seconds(1.0); // one long frame toggles once, not twice
    draw_piece(piece, frame_seconds());
    EXPECT_TRUE(piece.blink_on == 0 && piece.blink_timer == 0.25f);

    piece = Piece{S, 0, 5, 5, 80.9f, 160.7f, 5, -1, -1, 0.0f, 0.0f, 0}; // cells at truncated pixels
    start_flash(piece);
    set_frame_seconds(0.25);
    std::string flash; // the flash tile, blends of it over the tile, then the tile alone
    for (int frame = 0; frame < 5; ++frame) {
        draw_piece(piece, frame_seconds());
        flash += shows_tile(80, 160, TILE_FLASH) ? 'F' : shows_tile(80, 160, 5) ? '5' : '-';
    }
    EXPECT_EQ(flash, "F---5");
    EXPECT_FALSE(block_texture()->flags & SDL_SRCALPHA) << "the texture must be opaque again";
    EXPECT_TRUE(shows_tile(96, 144, 5) && shows_tile(80, 144, 5) && shows_tile(64, 160, 5));
}
