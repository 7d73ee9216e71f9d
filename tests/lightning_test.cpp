// The lightning effect: the column shuffle, the two fades and their alphas, the bitmaps loaded
// afresh for every lightning, the sidebar, and the way on.
#include "effects_support.h"

#include "effects/kill_rows_state.h"
#include "effects/lightning_state.h"
#include "media/bitmaps.h"
#include "media/sounds.h"
#include "play/sidebar.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

constexpr int FADE_FRAMES = 7; // 0.4 s at 1/16 s per frame: 0.4 .. 0.025 set, then below zero

bool blends(Bitmap_Id id) {
    return (zgl_get_bitmap(id)->flags & SDL_SRCALPHA) != 0;
}
int alpha_of(Bitmap_Id id) {
    return zgl_get_bitmap(id)->format->alpha;
}

std::vector<int> column(int col) {
    std::vector<int> cells;
    for (int row = 0; row < GRID_ROWS; ++row)
        cells.push_back(cell(col, row));
    return cells;
}

class Lightning_Test : public Effect_Test {
  protected:
    void SetUp() override {
        Effect_Test::SetUp();
        set_frame_seconds(1.0 / 16);
    }
    // A well of scattered blocks in the lower half, no row of it full.
    static void scatter_blocks(unsigned seed) {
        std::srand(seed);
        for (int row = 10; row < GRID_ROWS; ++row)
            for (int col = 0; col < GRID_COLS; ++col)
                if (std::rand() % 2) put(col, row, std::rand() % 7);
        for (int row = 10; row < GRID_ROWS; ++row)
            play_record.grid.clear_cell(row % 14, row);
    }
};

TEST_F(Lightning_Test, TheShuffleMovesWholeColumnsAsDrawnAndKeepsEveryRowsCount) {
    scatter_blocks(3);
    std::vector<std::vector<int>> before;
    std::vector<int> row_counts;
    for (int col = 0; col < GRID_COLS; ++col)
        before.push_back(column(col));
    for (int row = 0; row < GRID_ROWS; ++row)
        row_counts.push_back(blocks_in_row(row));

    enter(STATE_LIGHTNING);
    frame();
    EXPECT_EQ(sound_play_count(SND_LIGHTNING), 1);
    std::srand(11);
    frame();
    // Each column i in turn swaps with the column of a draw of rand() % 14.
    std::srand(11);
    std::vector<int> order(GRID_COLS);
    std::iota(order.begin(), order.end(), 0);
    for (int i = 0; i < GRID_COLS; ++i)
        std::swap(order[i], order[std::rand() % 14]);
    for (int col = 0; col < GRID_COLS; ++col)
        EXPECT_EQ(column(col), before[order[col]]);
    for (int row = 0; row < GRID_ROWS; ++row)
        EXPECT_EQ(blocks_in_row(row), row_counts[row]);
}

TEST_F(Lightning_Test, TheFadesStartOpaqueAndFallTowardClearWithoutAFlash) {
    enter(STATE_LIGHTNING);
    EXPECT_FALSE(blends(BMP_BLANK_WHITE));
    EXPECT_FALSE(blends(BMP_LIGHTNING_01));
    EXPECT_NE(zgl_get_bitmap(BMP_LIGHTNING_01)->flags & SDL_SRCCOLORKEY, 0u);
    frame();
    frame();
    EXPECT_FALSE(blends(BMP_BLANK_WHITE)) << "strike and shuffle show the opaque white";

    frame();
    EXPECT_FALSE(blends(BMP_BLANK_WHITE)) << "the first alpha set is 255";
    EXPECT_EQ(alpha_of(BMP_BLANK_WHITE), 255);
    int last = 255;
    for (int i = 1; i < FADE_FRAMES; ++i) {
        frame();
        EXPECT_TRUE(blends(BMP_BLANK_WHITE));
        const int alpha = alpha_of(BMP_BLANK_WHITE);
        EXPECT_EQ(alpha, static_cast<int>((0.4f - i / 16.0f) * 255 / 0.4)) << "frame " << i;
        EXPECT_LT(alpha, last) << "frame " << i;
        last = alpha;
        EXPECT_FALSE(blends(BMP_LIGHTNING_01)) << "the bolt stays opaque while the white fades";
    }
    EXPECT_LT(last, 16) << "the white keeps a faint alpha";

    last = 256;
    for (int i = 0; i < FADE_FRAMES; ++i) {
        ASSERT_EQ(play_record.state_id, STATE_LIGHTNING);
        frame();
        if (play_record.state_id != STATE_LIGHTNING) break;
        const int alpha = blends(BMP_LIGHTNING_01) ? alpha_of(BMP_LIGHTNING_01) : 255;
        EXPECT_LT(alpha, last) << "frame " << i;
        last = alpha;
        EXPECT_LT(alpha_of(BMP_BLANK_WHITE), 16) << "the white stays faint";
    }
    EXPECT_EQ(play_record.state_id, STATE_PLAY) << "left when the bolt's fade ran out";
}

TEST_F(Lightning_Test, EveryLightningLoadsItsPicturesAfreshAndStartsOpaque) {
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        enter(STATE_LIGHTNING);
        EXPECT_FALSE(blends(BMP_BLANK_WHITE));
        EXPECT_FALSE(blends(BMP_LIGHTNING_01));
        paint_screen(0, 0, 0);
        frame();
        const SDL_Color white = colour_at(zgl_get_bitmap(BMP_BLANK_WHITE), 100, 100);
        EXPECT_TRUE(same_colour(colour_at(nullptr, 100, 100), white)) << "opaque white on screen";
        run_while(STATE_LIGHTNING);
        EXPECT_EQ(play_record.state_id, STATE_PLAY);
    }
}

TEST_F(Lightning_Test, ARowCompletedByTheLandedPieceIsStillFullAfterwards) {
    scatter_blocks(8);
    fill_row(19, 2);
    std::srand(4);
    enter(STATE_LIGHTNING);
    run_while(STATE_LIGHTNING);
    ASSERT_EQ(play_record.state_id, STATE_KILL_ROWS);
    const KillRows_State* clear = current<KillRows_State>();
    ASSERT_NE(clear, nullptr);
    ASSERT_EQ(clear->row_count, 1);
    EXPECT_EQ(clear->rows[0], 19);
}

TEST_F(Lightning_Test, TheSidebarIsDrawnUntilTheBoltFades) {
    app.sidebar = std::make_unique<Sidebar>();
    enter(STATE_LIGHTNING);
    const int x = 14 * 16 + 2;
    const SDL_Color panel = colour_at(zgl_get_bitmap(BMP_SIDEBAR), 2, 2);
    int frames = 0;
    while (play_record.state_id == STATE_LIGHTNING) {
        paint_screen(0, 200, 0);
        frame();
        ++frames;
        const bool drawn = same_colour(colour_at(nullptr, x, 2), panel);
        EXPECT_EQ(drawn, frames <= 2 + FADE_FRAMES) << "frame " << frames;
    }
    EXPECT_EQ(frames, 2 + 2 * FADE_FRAMES);
}

} // namespace
