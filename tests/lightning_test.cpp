// The lightning effect: the column shuffle, the two fades, the bitmaps loaded afresh for every
// lightning, and the way on.
#include "effects_support.h"

#include "effects/kill_rows_state.h"
#include "effects/lightning_state.h"
#include "media/bitmaps.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

// The picture's alpha; 255 while it does not blend.
int alpha_of(Bitmap_Id id) {
    const SDL_Surface* picture = zgl_get_bitmap(id);
    return picture->flags & SDL_SRCALPHA ? picture->format->alpha : 255;
}

using Lightning_Test = Effect_Test;

// Each column in turn swaps with the column of a draw of rand() % 14: whole columns move, so a
// row that the landed piece completed is still full afterwards.
TEST_F(Lightning_Test, TheShuffleMovesWholeColumnsAsDrawnAndKeepsEveryRowsCount) {
    std::srand(3);
    for (int row = 10; row < GRID_ROWS - 1; ++row)
        for (int col = 0; col < GRID_COLS; ++col)
            if (std::rand() % 2 && col != row % 14) put(col, row, std::rand() % 7);
    fill_row(19, 2);
    const std::string before = well();
    std::vector<int> order(GRID_COLS);
    std::iota(order.begin(), order.end(), 0);
    std::srand(11);
    for (int i = 0; i < GRID_COLS; ++i)
        std::swap(order[i], order[std::rand() % 14]);
    std::string expected = before;
    for (int row = 0; row < GRID_ROWS; ++row)
        for (int col = 0; col < GRID_COLS; ++col)
            expected[row * 15 + col] = before[row * 15 + order[col]];

    set_frame_seconds(1.0 / 16);
    enter(STATE_LIGHTNING);
    frame();
    std::srand(11);
    frame();
    EXPECT_EQ(well(), expected);
    run_while(STATE_LIGHTNING);
    ASSERT_EQ(play_record.state_id, STATE_KILL_ROWS);
    EXPECT_EQ(current<KillRows_State>()->row_count, 1);
}

// The white fades first, then the bolt, neither ever growing more opaque; at the end both are
// given back, so the next lightning starts opaque again.
TEST_F(Lightning_Test, EveryLightningLoadsItsPicturesAfreshAndFadesThemWithoutAFlash) {
    set_frame_seconds(1.0 / 16);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        enter(STATE_LIGHTNING);
        EXPECT_EQ(alpha_of(BMP_BLANK_WHITE) + alpha_of(BMP_LIGHTNING_01), 2 * 255);
        int white = 255, bolt = 255;
        for (frame(); play_record.state_id == STATE_LIGHTNING; frame()) {
            const int w = alpha_of(BMP_BLANK_WHITE), b = alpha_of(BMP_LIGHTNING_01);
            EXPECT_LE(w, white);
            EXPECT_LE(b, bolt);
            EXPECT_TRUE(b == 255 || w < 16) << "the bolt fades after the white";
            white = w;
            bolt = b;
        }
        EXPECT_LT(white, 16) << "the white keeps its last, faint alpha";
        EXPECT_LT(bolt, 64) << "the bolt's last alpha is set on the leaving frame";
        EXPECT_EQ(play_record.state_id, STATE_PLAY);
    }
}

} // namespace
