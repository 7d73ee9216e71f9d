// The lightning effect: the column shuffle, the two fades, the bitmaps loaded afresh for every
// lightning, and the way on.
#include "effects_support.h"

#include "media/bitmaps.h"

#include <cstdlib>
#include <utility>

namespace {

using Lightning_Test = Effect_Test;

// Each column in turn swaps with the column of a draw of rand() % 14: whole columns move, so a
// row that the landed piece completed is still full afterwards.
TEST_F(Lightning_Test, TheShuffleMovesWholeColumnsAsDrawnAndKeepsEveryRowsCount) {
    for (int col = 0; col < GRID_COLS; ++col)
        put(col, 5 + col, col % 7); // a column is known by the row of its block
    fill_row(19, 2);
    std::string expected = well();
    std::srand(11);
    for (int col = 0; col < GRID_COLS; ++col) {
        const int other = std::rand() % 14;
        for (int row = 0; row < GRID_ROWS; ++row)
            std::swap(expected[row * 15 + col], expected[row * 15 + other]);
    }
    std::srand(11);
    app.enter_state(STATE_LIGHTNING);
    frame(2); // the sound, then the shuffle
    EXPECT_EQ(well(), expected);
    run_while(STATE_LIGHTNING);
    EXPECT_EQ(play_record.state_id, STATE_KILL_ROWS);
}

// The picture's alpha; 255 while it does not blend.
int alpha_of(Bitmap_Id id) {
    const SDL_Surface* picture = zgl_get_bitmap(id);
    return picture->flags & SDL_SRCALPHA ? picture->format->alpha : 255;
}

// The white fades first, then the bolt, neither ever growing more opaque; at the end both are
// given back, so the next lightning starts opaque again.
TEST_F(Lightning_Test, EveryLightningLoadsItsPicturesAfreshAndFadesThemWithoutAFlash) {
    for (int run = 0; run < 2; ++run) {
        app.enter_state(STATE_LIGHTNING);
        int white = 255, bolt = 255;
        EXPECT_EQ(alpha_of(BMP_BLANK_WHITE) + alpha_of(BMP_LIGHTNING_01), 2 * 255) << run;
        for (frame(); play_record.state_id == STATE_LIGHTNING; frame()) {
            const int w = alpha_of(BMP_BLANK_WHITE), b = alpha_of(BMP_LIGHTNING_01);
            EXPECT_TRUE(w <= white && b <= bolt && (b == 255 || w < 16)) << w << ", " << b;
            white = w;
            bolt = b;
        }
        EXPECT_TRUE(white < 16 && bolt < 64) << "both faint at the end: " << white << ", " << bolt;
    }
}

} // namespace
