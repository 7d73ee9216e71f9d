// The earth effect: the shake (its offsets, its length and its draws of rand()), the settling of
// hanging blocks one cell per drop, and the way on to the row clear or back to play.
#include "effects_support.h"

#include "effects/earth_state.h"
#include "effects/kill_rows_state.h"
#include "media/sounds.h"
#include "play/well.h"

#include <cstdlib>
#include <vector>

namespace {

// 1.4 s of shaking at 1/16 s per frame: 23 frames with time left, then the one that ends it.
constexpr int SHAKING_FRAMES = 23;

class Earth_Test : public Effect_Test {
  protected:
    void SetUp() override {
        Effect_Test::SetUp();
        set_frame_seconds(1.0 / 16); // a drop slides in one frame
    }
    // Runs the earth to its end; answers how many drops started.
    static int run_earth() {
        int drops = 0;
        while (play_record.state_id == STATE_EARTH) {
            const bool was_settled = current<Earth_State>()->settled;
            frame();
            drops += was_settled && play_record.state_id == STATE_EARTH &&
                     !current<Earth_State>()->settled;
        }
        return drops;
    }
};

// A 16-pixel block shakes the well 6 pixels across (-3..2) and 3 up and down (-1..1). A block
// texture under five pixels leaves no range to shake in: the well keeps still there, the draws of
// rand() stay the same, and nothing divides by zero.
TEST_F(Earth_Test, TheWellShakesByTheDrawnOffsetsThenABlockFallsOneCellPerDropWithAHitEach) {
    for (const int size : {16, 4, 0}) {
        SCOPED_TRACE(size);
        play_record.grid.clear_rows(0, GRID_ROWS);
        sound_forget_all();
        put(3, 5, 2);
        app.block_size = size;
        std::srand(2024);
        std::vector<int> values;
        for (int i = 0; i <= 2 * SHAKING_FRAMES; ++i)
            values.push_back(std::rand());
        std::srand(2024);
        enter(STATE_EARTH);
        for (int i = 0; i < SHAKING_FRAMES; ++i) {
            paint_screen(0, 0, 90);
            frame();
            const int dx = size == 16 ? values[2 * i] % 6 - 3 : 0;
            const int dy = size == 16 ? values[2 * i + 1] % 3 - 1 : 0;
            bool shifted = true;
            for (int y = 5 * 16 - 4; y < 6 * 16 + 4; ++y)
                for (int x = 3 * 16 - 4; x < 4 * 16 + 4; ++x)
                    shifted =
                        shifted && same_colour(colour_at(nullptr, x + dx, y + dy),
                                               colour_at(Grid_Field_Surface::well_surface, x, y));
            EXPECT_TRUE(shifted) << "frame " << i << ": the well drawn at " << dx << ", " << dy;
        }
        frame();
        EXPECT_EQ(current<Earth_State>()->phase, 1);
        EXPECT_EQ(std::rand(), values[2 * SHAKING_FRAMES]) << "two draws per shaking frame";
        EXPECT_EQ(run_earth(), 14);
        EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 14);
        EXPECT_EQ(well(18), "............../...2........../");
        EXPECT_EQ(play_record.state_id, STATE_PLAY);
    }
}

TEST_F(Earth_Test, ColumnsOverHolesInOneRowDropTogetherAndSupportedBlocksStay) {
    for (int row = 12; row < 20; ++row) {
        put(2, row, 1);
        put(9, row, 1);
    }
    put(2, 10, 3);
    put(2, 9, 6); // the stack above moves with the block
    put(9, 10, 5);
    for (int row = 10; row < GRID_ROWS; ++row)
        put(5, row, 4); // sits on a block
    put(12, 19, 0);     // sits on the floor
    enter(STATE_EARTH);
    EXPECT_EQ(run_earth(), 1) << "one drop for both columns";
    EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 2) << "one hit per column";
    EXPECT_EQ(well(9, 12), "............../..6..4......../..3..4...5..../..1..4...1..../");
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
}

TEST_F(Earth_Test, BlocksThatFallIntoARowAndCompleteItLeadToTheRowClear) {
    fill_row(19, 1, 13);
    fill_row(17, 2, 4);
    put(13, 15, 6);
    enter(STATE_EARTH);
    run_earth();
    EXPECT_EQ(well(17), "............../2222.222222226/11111111111112/");
    ASSERT_EQ(play_record.state_id, STATE_KILL_ROWS);
    EXPECT_EQ(current<KillRows_State>()->rows[0], 19);
}

} // namespace
