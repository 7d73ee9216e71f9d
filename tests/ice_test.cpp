// The ice effect: the freeze and thaw sweeps one column per frame, the break-away steps with the
// blocks above falling into the gaps, the sounds, and the way on.
#include "effects_support.h"

#include "effects/ice_state.h"
#include "effects/kill_rows_state.h"
#include "media/sounds.h"
#include "play/sidebar.h"

#include <vector>

namespace {

constexpr int SWEEP_FRAMES = 14; // one column per frame

class Ice_Test : public Effect_Test {
  protected:
    void SetUp() override {
        Effect_Test::SetUp();
        set_frame_seconds(1.0 / 16); // a drop slides in one frame
    }
    Ice_State* start_ice() {
        enter(STATE_ICE);
        return current<Ice_State>();
    }
    static void frames(int count) {
        for (int i = 0; i < count; ++i)
            frame();
    }
    // Runs the effect to its end; answers how many break-away drops started.
    static int run_to_end(const Ice_State* ice) {
        int drops = 0;
        while (play_record.state_id == STATE_ICE) {
            frame();
            if (play_record.state_id == STATE_ICE && ice->phase == 3 && !ice->settled) ++drops;
        }
        return drops;
    }
};

TEST_F(Ice_Test, WithoutTileThreeNothingChangesTheMissSoundsAndItLeavesOnFrame31) {
    fill_row(19, 1, 6);
    put(6, 18, 5);
    const std::vector<int> before = well_cells();
    Ice_State* ice = start_ice();
    ASSERT_NE(ice, nullptr);
    frames(SWEEP_FRAMES - 1);
    EXPECT_EQ(sound_play_count(SND_MISS), 0);
    frame();
    EXPECT_EQ(sound_play_count(SND_MISS), 1) << "after the fourteenth frame";
    EXPECT_EQ(sound_play_count(SND_ICE_BREAK), 0);
    frames(30 - SWEEP_FRAMES);
    EXPECT_EQ(play_record.state_id, STATE_ICE);
    frame();
    EXPECT_EQ(play_record.state_id, STATE_PLAY) << "left on the thirty-first frame";
    EXPECT_EQ(well_cells(), before);
}

TEST_F(Ice_Test, IceInTheTopRowSimplyMelts) {
    put(4, 0, 3);
    put(4, 1, 1);
    Ice_State* ice = start_ice();
    ASSERT_NE(ice, nullptr);
    frames(4);
    EXPECT_EQ(cell(4, 0), 3) << "column 4 is swept on the fifth frame";
    frame();
    EXPECT_EQ(cell(4, 0), TILE_FLASH);
    frames(SWEEP_FRAMES - 5);
    EXPECT_EQ(sound_play_count(SND_ICE_BREAK), 1);
    EXPECT_EQ(sound_play_count(SND_MISS), 0);
    frames(4);
    EXPECT_EQ(cell(4, 0), TILE_FLASH);
    frame();
    EXPECT_EQ(cell(4, 0), EMPTY_CELL);
    EXPECT_EQ(run_to_end(ice), 0) << "nothing falls for it";
    EXPECT_EQ(cell(4, 1), 1);
    EXPECT_EQ(blocks_in_row(0) + blocks_in_row(1), 1);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
}

TEST_F(Ice_Test, StackedIceBreaksAwayLowestFirstAndTheBlocksAboveEndThreeLower) {
    for (int row = 17; row < 20; ++row)
        put(6, row, 3);
    for (int row = 14; row < 17; ++row)
        put(6, row, 1);
    put(6, 12, 2); // a gap stays a gap
    put(10, 19, 3);
    put(10, 18, 4); // another column breaks in the same step
    Ice_State* ice = start_ice();
    ASSERT_NE(ice, nullptr);
    frames(SWEEP_FRAMES);
    for (int row = 17; row < 20; ++row)
        EXPECT_EQ(cell(6, row), TILE_FLASH);
    frames(SWEEP_FRAMES);
    for (int row = 17; row < 20; ++row)
        EXPECT_EQ(cell(6, row), TILE_THAWED);
    EXPECT_EQ(cell(10, 19), TILE_THAWED);
    frame(); // the pause
    EXPECT_EQ(ice->phase, 3);

    frame(); // the first step lifts both columns
    EXPECT_FALSE(ice->settled);
    EXPECT_TRUE(ice->column_falling[6]);
    EXPECT_TRUE(ice->column_falling[10]);
    EXPECT_EQ(cell(6, 19), EMPTY_CELL);
    EXPECT_EQ(cell(6, 18), EMPTY_CELL) << "lifted";
    EXPECT_EQ(ice->falling.cell(6, 18), TILE_THAWED);
    frame(); // and lands them
    EXPECT_TRUE(ice->settled);
    EXPECT_EQ(cell(6, 19), TILE_THAWED);
    EXPECT_EQ(cell(6, 18), TILE_THAWED);
    EXPECT_EQ(cell(6, 17), 1);
    EXPECT_EQ(cell(10, 19), 4);

    EXPECT_EQ(run_to_end(ice), 2) << "two more steps";
    for (int row = 17; row < 20; ++row)
        EXPECT_EQ(cell(6, row), 1) << "row " << row;
    EXPECT_EQ(cell(6, 15), 2);
    EXPECT_EQ(cell(10, 19), 4);
    int blocks = 0;
    for (int row = 0; row < GRID_ROWS; ++row)
        blocks += blocks_in_row(row);
    EXPECT_EQ(blocks, 5);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
}

TEST_F(Ice_Test, FlashTilesPresentAtTheStartThawAndBreakAwayLikeIce) {
    put(2, 19, TILE_FLASH);
    put(2, 18, 5);
    Ice_State* ice = start_ice();
    ASSERT_NE(ice, nullptr);
    frames(SWEEP_FRAMES + 3);
    EXPECT_EQ(cell(2, 19), TILE_THAWED);
    EXPECT_EQ(run_to_end(ice), 1);
    EXPECT_EQ(cell(2, 19), 5);
    EXPECT_EQ(cell(2, 18), EMPTY_CELL);
    EXPECT_EQ(sound_play_count(SND_MISS), 1) << "no block of tile 3 was frozen";
}

TEST_F(Ice_Test, ABreakAwayThatCompletesARowLeadsToTheRowClear) {
    fill_row(18, 1, 5);
    put(5, 19, 3);
    put(5, 17, 2);
    Ice_State* ice = start_ice();
    ASSERT_NE(ice, nullptr);
    EXPECT_EQ(run_to_end(ice), 1);
    EXPECT_EQ(cell(5, 18), 2);
    ASSERT_EQ(play_record.state_id, STATE_KILL_ROWS);
    const KillRows_State* clear = current<KillRows_State>();
    ASSERT_NE(clear, nullptr);
    ASSERT_EQ(clear->row_count, 1);
    EXPECT_EQ(clear->rows[0], 18);
}

TEST_F(Ice_Test, TheSidebarIsDrawnOnEveryFrameTheLeavingOneToo) {
    app.sidebar = std::make_unique<Sidebar>();
    app.sidebar->place_next_piece();
    put(3, 19, 3);
    put(3, 18, 1);
    start_ice();
    const int x = 14 * 16 + 2;
    int frames = 0;
    while (play_record.state_id == STATE_ICE) {
        paint_screen(0, 200, 0);
        frame();
        ++frames;
        EXPECT_FALSE(same_colour(colour_at(nullptr, x, 2), {0, 200, 0, 0})) << "frame " << frames;
        EXPECT_TRUE(screen_shows_well(0, 0, 16 * 3, 16 * 20)) << "frame " << frames;
    }
    EXPECT_EQ(frames, 2 * SWEEP_FRAMES + 1 + 3 + 1);
    EXPECT_EQ(cell(3, 19), 1);
}

} // namespace
