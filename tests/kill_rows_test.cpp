// The row clear: flashing and scoring the full rows with the doubling multiplier and its label,
// the blank, the collapse of the blocks above, and the way back to play.
#include "effects_support.h"

#include "effects/kill_rows_state.h"
#include "ui/texts.h"

#include <cstdint>

namespace {

const std::string EMPTY = "............../";
const std::string FLASH = "77777777777777/";

class Row_Clear_Test : public Effect_Test {
  protected:
    void SetUp() override {
        Effect_Test::SetUp();
        set_frame_seconds(1.0 / 16); // exact in binary: the timers count without rounding
    }
    // Makes the row clear for the full rows of the whole well, as the play state hands over.
    static KillRows_State* start_clear() {
        play_record.grid.find_full_rows(GRID_ROWS - 1, 0);
        enter(STATE_KILL_ROWS);
        return current<KillRows_State>();
    }
};

// Each flash scores 28 times a multiplier that doubles from 1, labelled from x2 on; the rows stay
// blank for 0.25 s when there is one, 0.5 s when there are more; then the blocks above come down.
TEST_F(Row_Clear_Test, OneRowAndFourRowsFlashLowestFirstScoreBlankAndCollapse) {
    const char* const labels[] = {"", "x2", "x4", "x8"};
    for (const int count : {1, 4}) {
        SCOPED_TRACE(count);
        play_record.grid.clear_rows(0, GRID_ROWS);
        for (int row = 20 - count; row < 20; ++row)
            fill_row(row, row % 7);
        put(0, 19 - count, 1);
        put(13, 18 - count, 6);
        play_record.score = 100;
        play_record.blocks_cleared = 5;
        KillRows_State* clear = start_clear();
        ASSERT_NE(clear, nullptr);
        for (int k = 0; k < count; ++k) {
            frame();
            EXPECT_EQ(well(19 - k, 19 - k), FLASH);
            EXPECT_NE(well(18 - k, 18 - k), FLASH) << "one row per flash";
            EXPECT_STREQ(clear->label, labels[k]);
            EXPECT_EQ(play_record.score, 100 + 28 * ((2 << k) - 1));
            EXPECT_EQ(play_record.score_step, 2);
            // Just above the row, a block further right each time.
            EXPECT_EQ(clear->offset_x, 16.0f * k);
            EXPECT_EQ(clear->offset_y, 16.0f * (19 - k) - text_height());
            frame(4);
        }
        frame(2); // the end of the flash, the first frame of the blank
        EXPECT_EQ(well(19, 19), EMPTY);
        EXPECT_EQ(play_record.score_step, count);
        int blank_frames = 0;
        for (; clear->phase == 1 && blank_frames < 100; ++blank_frames)
            frame();
        EXPECT_EQ(blank_frames, count == 1 ? 5 : 9) << "0.25 s or 0.5 s";
        EXPECT_EQ(run_while(STATE_KILL_ROWS), 2 * count + 1) << "lift, drop per row; leave";
        EXPECT_EQ(well(16), EMPTY + EMPTY + ".............6/1............./");
        EXPECT_EQ(play_record.score, count == 1 ? 128 : 520);
        EXPECT_EQ(play_record.blocks_cleared, 5 + 14 * count);
    }
}

TEST_F(Row_Clear_Test, RowsAboveARemovedRowMoveDownWithItsCollapse) {
    fill_row(19, 1);
    fill_row(18, 5, 13);
    fill_row(17, 2);
    put(7, 16, 4);
    ASSERT_EQ(start_clear()->row_count, 2);
    run_while(STATE_KILL_ROWS);
    // Row 17 has moved down into 18 when its turn comes, and goes from there.
    EXPECT_EQ(well(17), EMPTY + ".......4....../5555555555555./");
    EXPECT_EQ(play_record.score, 28 + 56);
    EXPECT_EQ(play_record.blocks_cleared, 28);
}

TEST_F(Row_Clear_Test, ALongFrameCarriesItsOvershootIntoTheNextFlash) {
    fill_row(19, 3);
    fill_row(18, 4);
    KillRows_State* clear = start_clear();
    ASSERT_NE(clear, nullptr);
    frame();
    set_frame_seconds(0.3125);
    frame();
    EXPECT_EQ(clear->timer, -0.0625f);
    EXPECT_EQ(well(18, 18), "44444444444444/") << "the waiting frame flashes nothing";
    frame();
    EXPECT_EQ(well(18, 18), FLASH);
    EXPECT_EQ(clear->timer, 0.1875f) << "0.25 s less the overshoot";
}

// A saved game written by hand can hold a row list out of order, and a score near the top of its
// range: each listed row is still removed once, no row is pushed past the floor, and the counts
// stop at the top instead of wrapping.
TEST_F(Row_Clear_Test, AHandMadeRowListAndCountsNearTheTopStayInRange) {
    fill_row(5, 1);
    fill_row(19, 2);
    put(2, 4, 3);
    put(3, 18, 4);
    play_record.grid.full_row_list[0] = 5;
    play_record.grid.full_row_list[1] = 19;
    play_record.grid.full_row_count = 2;
    play_record.score = INT32_MAX - 10;
    play_record.blocks_cleared = INT32_MAX - 3;
    enter(STATE_KILL_ROWS);
    run_while(STATE_KILL_ROWS);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    std::string expected;
    for (int row = 0; row < GRID_ROWS; ++row)
        expected += row == 6 ? "..3.........../" : row == 19 ? "...4........../" : EMPTY;
    EXPECT_EQ(well(), expected);
    const int32_t* const list = play_record.grid.full_row_list;
    EXPECT_EQ(list[0] * 100 + list[1], 519) << "the grid's own list, just past the cells";
    EXPECT_EQ(play_record.score, INT32_MAX);
    EXPECT_EQ(play_record.blocks_cleared, INT32_MAX);
}

} // namespace
