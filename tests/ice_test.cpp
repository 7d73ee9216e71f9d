// The ice effect: the freeze and thaw sweeps one column per frame, the break-away steps with the
// blocks above falling into the gaps, the sounds, and the way on.
#include "effects_support.h"

#include "media/sounds.h"

namespace {

using Ice_Test = Effect_Test;

// Two sweeps of 14 frames, the pause, one look for thawed blocks, the leaving frame.
TEST_F(Ice_Test, WithoutTileThreeNothingChangesTheMissSoundsAndItLeavesOnFrame31) {
    fill_row(19, 1, 6);
    put(6, 18, 5);
    const std::string before = well();
    app.enter_state(STATE_ICE);
    EXPECT_EQ(run_while(STATE_ICE), 31);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_EQ(well(), before);
    EXPECT_EQ(sound_play_count(SND_MISS) * 10 + sound_play_count(SND_ICE_BREAK), 10) << "a miss";
}

// Frozen, ice flashes (7); thawed, it is tile 8, unless it is in the top row: that simply melts.
TEST_F(Ice_Test, IceInTheTopRowSimplyMelts) {
    put(4, 0, 3);
    put(4, 1, 1);
    app.enter_state(STATE_ICE);
    frame(14);
    EXPECT_EQ(well(0, 1), "....7........./....1........./");
    EXPECT_EQ(sound_play_count(SND_MISS) * 10 + sound_play_count(SND_ICE_BREAK), 1) << "a break";
    run_while(STATE_ICE);
    EXPECT_EQ(well(0, 1), "............../....1........./") << "nothing falls for it";
}

// Row 19 is full throughout: the ice leads on to the row clear. A gap stays a gap, and another
// column breaks in the same steps.
TEST_F(Ice_Test, StackedIceBreaksAwayLowestFirstAndTheBlocksAboveEndThreeLower) {
    fill_row(19, 5);
    for (int row = 14; row < 20; ++row)
        put(6, row, row < 17 ? 1 : 3);
    put(6, 12, 2);
    put(10, 19, 3);
    put(10, 18, 4);
    app.enter_state(STATE_ICE);
    frame(2 * 14 + 1);
    EXPECT_EQ(well(17), "......8......./......8...4.../55555585558555/");
    frame(2); // the first step lifts both columns and lands them
    EXPECT_EQ(well(16), "......1......./......1......./......8......./55555585554555/");
    EXPECT_EQ(run_while(STATE_ICE), 6) << "two more steps of two frames, a look, the leaving one";
    EXPECT_EQ(well(14), "............../......2......./............../......1......./"
                        "......1......./55555515554555/");
    EXPECT_EQ(play_record.state_id, STATE_KILL_ROWS);
}

} // namespace
