// The row clear: flashing and scoring the full rows with the doubling multiplier and its label,
// the blank, the collapse of the blocks above, and the way back to play.
#include "effects_support.h"

#include "effects/kill_rows_state.h"
#include "media/sounds.h"
#include "ui/texts.h"

#include <cstdint>
#include <string>

namespace {

constexpr double SIXTEENTH = 1.0 / 16; // exact in binary: the timers count without rounding

class Row_Clear_Test : public Effect_Test {
  protected:
    void SetUp() override {
        Effect_Test::SetUp();
        set_frame_seconds(SIXTEENTH);
    }
    // Makes the row clear for the full rows of the whole well, as the play state hands over.
    KillRows_State* start_clear() {
        play_record.grid.find_full_rows(GRID_ROWS - 1, 0);
        enter(STATE_KILL_ROWS);
        return current<KillRows_State>();
    }
    static bool row_is(int row, int tile) {
        for (int col = 0; col < GRID_COLS; ++col)
            if (cell(col, row) != tile) return false;
        return true;
    }
    // Runs the frames of the current phase until it changes; answers how many ran.
    static int frames_in_phase(const KillRows_State* clear) {
        const int phase = clear->phase;
        int frames = 0;
        while (clear->phase == phase && frames < 1000) {
            frame();
            ++frames;
        }
        return frames;
    }
};

TEST_F(Row_Clear_Test, OneRowScoresWithoutLabelBlanksAQuarterSecondAndCollapses) {
    fill_row(19, 2);
    put(3, 18, 4);
    put(3, 17, 5);
    play_record.score = 100;
    play_record.blocks_cleared = 5;
    KillRows_State* clear = start_clear();
    ASSERT_NE(clear, nullptr);
    ASSERT_EQ(clear->row_count, 1);
    EXPECT_EQ(clear->rows[0], 19);

    frame();
    EXPECT_TRUE(row_is(19, TILE_FLASH));
    EXPECT_EQ(play_record.score, 128);
    EXPECT_EQ(play_record.score_step, 2);
    EXPECT_EQ(clear->multiplier, 1);
    EXPECT_STREQ(clear->label, "");
    EXPECT_TRUE(screen_shows_well(0, 0, GRID_COLS * 16, GRID_ROWS * 16)) << "no label for one row";
    EXPECT_EQ(sound_play_count(SND_KILLROW), 1);

    EXPECT_EQ(frames_in_phase(clear), 5) << "four frames of waiting, one that ends the flash";
    frame(); // the blank's first frame
    EXPECT_TRUE(row_is(19, EMPTY_CELL));
    EXPECT_EQ(cell(3, 18), 4);
    EXPECT_EQ(play_record.score_step, 1);
    EXPECT_EQ(frames_in_phase(clear), 5) << "0.25 s at 1/16 s per frame";

    frame(); // lift and slide
    EXPECT_FALSE(play_record.grid.is_occupied(3, 18));
    EXPECT_FALSE(play_record.grid.is_occupied(3, 17));
    EXPECT_EQ(clear->falling.cell(3, 18), 4);
    EXPECT_EQ(clear->offset_y, 16.0f) << "20 cells per second, clamped at one block";
    frame(); // drop
    EXPECT_EQ(cell(3, 19), 4);
    EXPECT_EQ(cell(3, 18), 5);
    EXPECT_EQ(play_record.state_id, STATE_KILL_ROWS);
    EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 0);

    frame();
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_EQ(play_record.blocks_cleared, 19);
    EXPECT_EQ(play_record.score, 128);
    EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 1);
    EXPECT_EQ(sound_play_count(SND_KILLROW), 1);
    for (int row = 0; row < 18; ++row)
        EXPECT_EQ(blocks_in_row(row), 0) << "row " << row;
    EXPECT_EQ(blocks_in_row(19), 1);
}

TEST_F(Row_Clear_Test, FourRowsFlashLowestFirstWithDoublingLabelsAndScore420) {
    for (int row = 16; row < 20; ++row)
        fill_row(row, row % 7);
    put(0, 15, 1);
    put(13, 14, 6);
    KillRows_State* clear = start_clear();
    ASSERT_NE(clear, nullptr);
    ASSERT_EQ(clear->row_count, 4);

    const char* const labels[] = {"", "x2", "x4", "x8"};
    const int th = text_height();
    for (int k = 0; k < 4; ++k) {
        const int row = 19 - k;
        frame();
        EXPECT_TRUE(row_is(row, TILE_FLASH)) << "row " << row;
        if (k < 3) {
            EXPECT_FALSE(row_is(row - 1, TILE_FLASH)) << "one row per flash";
        }
        EXPECT_EQ(clear->multiplier, 1 << k);
        EXPECT_STREQ(clear->label, labels[k]);
        EXPECT_EQ(play_record.score, 28 * ((2 << k) - 1));
        EXPECT_EQ(play_record.score_step, 2);
        EXPECT_EQ(clear->offset_x, 16.0f * k);
        EXPECT_EQ(clear->offset_y, 16.0f * row - th) << "just above the row";
        if (k > 0) {
            EXPECT_FALSE(screen_shows_well(16 * k, 16 * row - th, text_width(labels[k]), th))
                << "the label " << labels[k] << " is written over the well";
        }
        for (int wait = 1; wait <= 4; ++wait) {
            frame();
            // A twentieth of the 320-pixel screen per second: one pixel per 1/16 s frame.
            EXPECT_EQ(clear->offset_y, 16.0f * row - th - wait) << "the label rises";
        }
    }
    EXPECT_EQ(sound_play_count(SND_KILLROW), 4);
    frame();
    EXPECT_EQ(clear->phase, 1);
    frame();
    EXPECT_EQ(play_record.score_step, 4);
    EXPECT_EQ(frames_in_phase(clear), 9) << "two rows or more stay blank for 0.5 s";

    EXPECT_EQ(run_while(STATE_KILL_ROWS), 4 * 2 + 1) << "lift-and-slide, drop, per row; leave";
    EXPECT_EQ(play_record.score, 420);
    EXPECT_EQ(play_record.blocks_cleared, 56);
    EXPECT_EQ(cell(0, 19), 1);
    EXPECT_EQ(cell(13, 18), 6);
    EXPECT_EQ(blocks_in_row(19) + blocks_in_row(18), 2);
    for (int row = 0; row < 18; ++row)
        EXPECT_EQ(blocks_in_row(row), 0) << "row " << row;
}

TEST_F(Row_Clear_Test, RowsAboveARemovedRowMoveDownWithItsCollapse) {
    fill_row(19, 1);
    fill_row(18, 5, 13);
    fill_row(17, 2);
    put(7, 16, 4);
    KillRows_State* clear = start_clear();
    ASSERT_NE(clear, nullptr);
    ASSERT_EQ(clear->row_count, 2);
    EXPECT_EQ(clear->rows[0], 19);
    EXPECT_EQ(clear->rows[1], 17);

    while (clear->phase < 2)
        frame();
    EXPECT_EQ(blocks_in_row(19) + blocks_in_row(17), 0) << "both full rows blanked";
    EXPECT_EQ(blocks_in_row(18), 13) << "row 18 keeps its blocks";

    while (clear->step == 0)
        frame();
    EXPECT_EQ(clear->rows[1], 18) << "row 17 moved down with the first collapse";
    EXPECT_EQ(blocks_in_row(19), 13);
    EXPECT_EQ(blocks_in_row(18), 0);
    EXPECT_EQ(cell(7, 17), 4);

    run_while(STATE_KILL_ROWS);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    for (int col = 0; col < 13; ++col)
        EXPECT_EQ(cell(col, 19), 5) << "old row 18 ends in 19";
    EXPECT_EQ(cell(13, 19), EMPTY_CELL);
    EXPECT_EQ(cell(7, 18), 4);
    EXPECT_EQ(blocks_in_row(18), 1);
    for (int row = 0; row < 18; ++row)
        EXPECT_EQ(blocks_in_row(row), 0) << "row " << row;
    EXPECT_EQ(play_record.score, 28 + 56);
    EXPECT_EQ(play_record.blocks_cleared, 28);
}

TEST_F(Row_Clear_Test, ALongFrameCarriesItsOvershootIntoTheNextFlash) {
    fill_row(19, 3);
    fill_row(18, 4);
    KillRows_State* clear = start_clear();
    ASSERT_NE(clear, nullptr);
    frame();
    EXPECT_EQ(clear->timer, 0.25f);
    set_frame_seconds(0.3125);
    frame();
    EXPECT_EQ(clear->timer, -0.0625f);
    EXPECT_TRUE(row_is(18, 4)) << "the waiting frame flashes nothing";
    frame();
    EXPECT_TRUE(row_is(18, TILE_FLASH)) << "the next frame flashes the next row";
    EXPECT_EQ(clear->timer, 0.1875f) << "0.25 s less the overshoot";
    EXPECT_STREQ(clear->label, "x2");
}

TEST_F(Row_Clear_Test, SpaceTogglesThePauseFlagButTheClearGoesOn) {
    fill_row(19, 0);
    put(5, 18, 3);
    KillRows_State* clear = start_clear();
    ASSERT_NE(clear, nullptr);
    frame();
    EXPECT_TRUE(app.state->handle_command(CMD_SPACE, nullptr));
    EXPECT_NE(play_record.flags & FLAG_PAUSED, 0u);
    const int frames = run_while(STATE_KILL_ROWS);
    EXPECT_EQ(frames, 5 + 1 + 5 + 2 + 1) << "the same frames as without the pause";
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_EQ(cell(5, 19), 3);
    EXPECT_NE(play_record.flags & FLAG_PAUSED, 0u) << "the play state shows the pause";

    fill_row(19, 0);
    play_record.grid.find_full_rows(19, 0);
    enter(STATE_KILL_ROWS);
    EXPECT_TRUE(app.state->handle_command(CMD_SPACE, nullptr));
    EXPECT_EQ(play_record.flags & FLAG_PAUSED, 0u) << "a second press clears it";
}

// A saved game written by hand can hold a row list out of order. Each listed row is still
// removed once, and no row is pushed past the floor (into the grid's own row list).
TEST_F(Row_Clear_Test, ARowListOutOfOrderRemovesEachRowAndStaysInsideTheWell) {
    fill_row(5, 1);
    fill_row(19, 2);
    put(2, 4, 3);
    put(3, 18, 4);
    play_record.grid.full_row_list[0] = 5;
    play_record.grid.full_row_list[1] = 19;
    play_record.grid.full_row_count = 2;
    enter(STATE_KILL_ROWS);
    run_while(STATE_KILL_ROWS);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_EQ(play_record.grid.full_row_list[0], 5);
    EXPECT_EQ(play_record.grid.full_row_list[1], 19);
    EXPECT_EQ(cell(2, 6), 3);
    EXPECT_EQ(cell(3, 19), 4);
    int blocks = 0;
    for (int row = 0; row < GRID_ROWS; ++row)
        blocks += blocks_in_row(row);
    EXPECT_EQ(blocks, 2);
}

// A score near the top of its range (an old saved game) stops there instead of wrapping.
TEST_F(Row_Clear_Test, TheScoreAndTheClearedCountStopAtTheTopOfTheirRange) {
    fill_row(19, 6);
    play_record.score = INT32_MAX - 10;
    play_record.blocks_cleared = INT32_MAX - 3;
    start_clear();
    run_while(STATE_KILL_ROWS);
    EXPECT_EQ(play_record.score, INT32_MAX);
    EXPECT_EQ(play_record.blocks_cleared, INT32_MAX);
}

} // namespace
