// The row clear: flashing and scoring the full rows with the doubling multiplier and its label,
// the blank, the collapse of the blocks above, and the way back to play.
#include "effects_support.h"

#include "effects/kill_rows_state.h"

#include <algorithm>

namespace {

const std::string EMPTY = "............../";
const std::string FLASH = "77777777777777/";

using Row_Clear_Test = Effect_Test;

// Makes the row clear for the full rows of the whole well, as the play state hands over.
KillRows_State* start_clear() {
    play_record.grid.find_full_rows(GRID_ROWS - 1, 0);
    app.enter_state(STATE_KILL_ROWS);
    return dynamic_cast<KillRows_State*>(app.state.get());
}

// Each flash scores 28 times a multiplier that doubles from 1, labelled from x2 on.
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
        for (int k = 0; k < count; ++k, frame(4)) {
            frame();
            EXPECT_EQ(well(18 - k, 19 - k).find(FLASH), 15u) << "the lower row alone flashes";
            EXPECT_STREQ(clear->label, labels[k]);
            EXPECT_EQ(play_record.score, 100 + 28 * ((2 << k) - 1));
            EXPECT_EQ(play_record.score_step, 2);
            EXPECT_EQ(clear->offset_x, 16.0f * k) << "the label a block further right each time";
        }
        // The flash ends, the rows stay blank 0.25 s or 0.5 s, then each row lifts and drops.
        EXPECT_EQ(run_while(STATE_KILL_ROWS), (count == 1 ? 7 : 11) + 2 * count + 1);
        EXPECT_EQ(well(16), EMPTY + EMPTY + ".............6/1............./");
        EXPECT_EQ(play_record.score_step, count);
        EXPECT_EQ(play_record.blocks_cleared, 5 + 14 * count);
    }
}

// Row 17 has moved down into 18 when its turn comes, and goes from there. A saved game written by
// hand can list rows out of order: each is still removed once, and none is pushed past the floor.
TEST_F(Row_Clear_Test, RowsAboveARemovedRowMoveDownWithItAndNoneGoesPastTheFloor) {
    fill_row(19, 1);
    fill_row(18, 5, 13);
    fill_row(17, 2);
    put(7, 16, 4);
    ASSERT_EQ(start_clear()->row_count, 2);
    run_while(STATE_KILL_ROWS);
    EXPECT_EQ(well(17), EMPTY + ".......4....../5555555555555./");
    fill_row(5, 1);
    put(2, 4, 3);
    play_record.grid.full_row_list[0] = 5;
    play_record.grid.full_row_list[1] = 19;
    play_record.grid.full_row_count = 2;
    app.enter_state(STATE_KILL_ROWS);
    run_while(STATE_KILL_ROWS);
    EXPECT_EQ(well(5, 6) + well(18), EMPTY + "..3.........../" + EMPTY + ".......4....../");
    const int32_t* const list = play_record.grid.full_row_list; // just past the cells
    EXPECT_EQ(list[0] * 100 + list[1], 519) << "nothing is written past the floor";
}

// A frame of 0.3125 s overshoots the first wait by 0.0625 s: the next wait is that much shorter.
TEST_F(Row_Clear_Test, ALongFrameCarriesItsOvershootIntoTheNextFlash) {
    fill_row(19, 3);
    fill_row(18, 4);
    KillRows_State* clear = start_clear();
    frame();
    set_frame_seconds(0.3125);
    frame();
    EXPECT_EQ(well(18, 18), "44444444444444/") << "the waiting frame flashes nothing";
    frame();
    EXPECT_EQ(well(18, 18), FLASH);
    EXPECT_EQ(clear->timer, 0.1875f) << "0.25 s less the overshoot";
}

} // namespace
