// The ice effect: the freeze and thaw sweeps one column per frame, the break-away steps with the
// blocks above falling into the gaps, the sounds, and the way on.
#include "effects_support.h"

#include "effects/ice_state.h"
#include "media/sounds.h"

namespace {

constexpr int SWEEP_FRAMES = 14; // one column per frame

class Ice_Test : public Effect_Test {
  protected:
    void SetUp() override {
        Effect_Test::SetUp();
        set_frame_seconds(1.0 / 16); // a drop slides in one frame
    }
};

TEST_F(Ice_Test, WithoutTileThreeNothingChangesTheMissSoundsAndItLeavesOnFrame31) {
    fill_row(19, 1, 6);
    put(6, 18, 5);
    const std::string before = well();
    enter(STATE_ICE);
    EXPECT_EQ(run_while(STATE_ICE), 31) << "two sweeps, the pause, one look for thawed blocks";
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_EQ(well(), before);
    EXPECT_EQ(sound_play_count(SND_MISS), 1);
    EXPECT_EQ(sound_play_count(SND_ICE_BREAK), 0);
}

TEST_F(Ice_Test, IceInTheTopRowSimplyMelts) {
    put(4, 0, 3);
    put(4, 1, 1);
    enter(STATE_ICE);
    frame(SWEEP_FRAMES);
    EXPECT_EQ(well(0, 1), "....7........./....1........./");
    EXPECT_EQ(sound_play_count(SND_ICE_BREAK), 1);
    EXPECT_EQ(sound_play_count(SND_MISS), 0);
    frame(SWEEP_FRAMES);
    EXPECT_EQ(well(0, 1), "............../....1........./");
    run_while(STATE_ICE);
    EXPECT_EQ(well(0, 1), "............../....1........./") << "nothing falls for it";
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
}

// Row 19 is full throughout: the ice leads on to the row clear.
TEST_F(Ice_Test, StackedIceBreaksAwayLowestFirstAndTheBlocksAboveEndThreeLower) {
    fill_row(19, 5);
    for (int row = 17; row < 20; ++row)
        put(6, row, 3);
    for (int row = 14; row < 17; ++row)
        put(6, row, 1);
    put(6, 12, 2); // a gap stays a gap
    put(10, 19, 3);
    put(10, 18, 4); // another column breaks in the same step
    enter(STATE_ICE);
    frame(2 * SWEEP_FRAMES + 1);
    EXPECT_EQ(well(17), "......8......./......8...4.../55555585558555/");
    frame(); // the first step lifts both columns
    EXPECT_EQ(well(17), "............../............../555555.555.555/");
    EXPECT_EQ(current<Ice_State>()->falling.cell(6, 18), TILE_THAWED);
    frame(); // and lands them
    EXPECT_EQ(well(16), "......1......./......1......./......8......./55555585554555/");
    EXPECT_EQ(run_while(STATE_ICE), 6) << "two more steps of two frames, a look, the leaving one";
    EXPECT_EQ(well(14), "............../......2......./............../......1......./"
                        "......1......./55555515554555/");
    EXPECT_EQ(play_record.state_id, STATE_KILL_ROWS);
}

} // namespace
