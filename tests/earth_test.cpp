// The earth effect: the shake (its offsets, its length and its draws of rand()), the settling of
// hanging blocks one cell per drop, and the way on to the row clear or back to play.
#include "effects_support.h"

#include "effects/earth_state.h"
#include "effects/kill_rows_state.h"
#include "media/sounds.h"
#include "media/video.h"
#include "play/sidebar.h"

#include <cstdlib>
#include <vector>

namespace {

constexpr double SIXTEENTH = 1.0 / 16;
// 1.4 s of shaking at 1/16 s per frame: 23 frames with time left, then the one that ends it.
constexpr int SHAKING_FRAMES = 23;

// The first values rand() gives after srand(seed).
std::vector<int> rand_sequence(unsigned seed, int count) {
    std::srand(seed);
    std::vector<int> values;
    for (int i = 0; i < count; ++i)
        values.push_back(std::rand());
    std::srand(seed);
    return values;
}

class Earth_Test : public Effect_Test {
  protected:
    void SetUp() override {
        Effect_Test::SetUp();
        set_frame_seconds(SIXTEENTH);
    }
    Earth_State* start_earth() {
        enter(STATE_EARTH);
        return current<Earth_State>();
    }
    // Runs the shake to its end; answers the frames it took.
    static int shake(const Earth_State* earth) {
        int frames = 0;
        while (earth->phase == 0 && frames < 1000) {
            frame();
            ++frames;
        }
        return frames;
    }
    // Runs the settling to the end of the effect; answers how many drops started.
    static int settle(const Earth_State* earth) {
        int drops = 0;
        while (play_record.state_id == STATE_EARTH) {
            frame();
            if (play_record.state_id == STATE_EARTH && !earth->settled) ++drops;
        }
        return drops;
    }
};

TEST_F(Earth_Test, AnEmptyWellShakesForSecondsThenScansAtOnceAndReturnsToPlay) {
    const std::vector<int> values = rand_sequence(77, 2 * SHAKING_FRAMES + 1);
    Earth_State* earth = start_earth();
    ASSERT_NE(earth, nullptr);
    EXPECT_EQ(sound_play_count(SND_QUAKE), 1) << "the quake plays at once";

    EXPECT_EQ(shake(earth), SHAKING_FRAMES + 1);
    EXPECT_EQ(std::rand(), values[2 * SHAKING_FRAMES]) << "two draws per shaking frame";
    EXPECT_EQ(earth->phase, 1);

    frame();
    EXPECT_EQ(earth->scan_row, 19) << "nothing to drop: the scan runs through in one frame";
    EXPECT_EQ(play_record.state_id, STATE_EARTH);
    frame();
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 0);
}

TEST_F(Earth_Test, TheShakeDisplacesTheWellByTheDrawnOffsetsAndTheLastShakeStays) {
    for (int row = 10; row < GRID_ROWS; ++row)
        put(5, row, row % 7);
    put(0, 19, 4);
    const std::vector<int> values = rand_sequence(2024, 2 * SHAKING_FRAMES);
    Earth_State* earth = start_earth();
    ASSERT_NE(earth, nullptr);
    for (int i = 0; i < SHAKING_FRAMES; ++i) {
        paint_screen(0, 0, 90);
        frame();
        // A 16-pixel block shakes 6 pixels across (-3..2) and 3 up and down (-1..1).
        const int dx = values[2 * i] % 6 - 3;
        const int dy = values[2 * i + 1] % 3 - 1;
        bool shifted = true;
        for (int y = 10 * 16 - 4; y < 11 * 16 + 4; ++y)
            for (int x = 5 * 16 - 4; x < 6 * 16 + 4; ++x)
                shifted = shifted && same_colour(colour_at(nullptr, x + dx, y + dy),
                                                 colour_at(Grid_Field_Surface::well_surface, x, y));
        EXPECT_TRUE(shifted) << "frame " << i << ": the well drawn at (" << dx << ", " << dy << ")";
    }
    // The frame that ends the shake leaves the screen as it was.
    const SDL_Color marker = {200, 0, 200, 0};
    SDL_Surface* const screen_surface = get_screen();
    SDL_Rect spot = {100, 100, 4, 4};
    SDL_FillRect(screen_surface, &spot, SDL_MapRGB(screen_surface->format, 200, 0, 200));
    frame();
    EXPECT_EQ(earth->phase, 1);
    EXPECT_TRUE(same_colour(colour_at(nullptr, 101, 101), marker));
    frame();
    EXPECT_TRUE(screen_shows_well(0, 0, GRID_COLS * 16, GRID_ROWS * 16)) << "back at (0, 0)";
}

TEST_F(Earth_Test, ABlockOverATallHoleFallsOneCellPerDropWithOneHitEach) {
    put(3, 5, 2);
    set_frame_seconds(0.01); // a drop slides over five frames
    Earth_State* earth = start_earth();
    ASSERT_NE(earth, nullptr);
    shake(earth);

    frame(); // the scan reaches row 5 and the column drops
    EXPECT_FALSE(earth->settled);
    EXPECT_EQ(earth->scan_row, 5);
    EXPECT_TRUE(earth->column_falling[3]);
    EXPECT_EQ(earth->falling.cell(3, 5), 2);
    EXPECT_EQ(cell(3, 5), EMPTY_CELL) << "lifted out of the well while it slides";
    for (int i = 1; i <= 4; ++i) {
        frame();
        EXPECT_FALSE(earth->settled);
        EXPECT_NEAR(earth->offset_y, 3.2f * i, 1e-4);
    }
    frame();
    EXPECT_TRUE(earth->settled);
    EXPECT_EQ(cell(3, 6), 2) << "one cell lower";
    EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 0) << "the hit comes with the next scan";

    set_frame_seconds(SIXTEENTH);
    EXPECT_EQ(settle(earth), 13) << "13 more drops down to row 19";
    EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 14);
    EXPECT_EQ(cell(3, 19), 2);
    for (int row = 0; row < 19; ++row)
        EXPECT_EQ(blocks_in_row(row), 0) << "row " << row;
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
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
    Earth_State* earth = start_earth();
    ASSERT_NE(earth, nullptr);
    shake(earth);

    frame();
    EXPECT_FALSE(earth->settled);
    EXPECT_EQ(earth->scan_row, 10);
    for (int col = 0; col < GRID_COLS; ++col)
        EXPECT_EQ(earth->column_falling[col], col == 2 || col == 9) << "column " << col;
    frame();
    EXPECT_EQ(cell(2, 11), 3);
    EXPECT_EQ(cell(2, 10), 6);
    EXPECT_EQ(cell(9, 11), 5);
    EXPECT_EQ(settle(earth), 0) << "one drop for both columns";
    EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 2) << "one hit per column";
    EXPECT_EQ(cell(5, 10), 4);
    EXPECT_EQ(cell(12, 19), 0);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
}

TEST_F(Earth_Test, BlocksThatFallIntoARowAndCompleteItLeadToTheRowClear) {
    fill_row(19, 1, 13);
    fill_row(17, 2, 4);
    put(13, 15, 6);
    Earth_State* earth = start_earth();
    ASSERT_NE(earth, nullptr);
    shake(earth);
    settle(earth);
    EXPECT_EQ(cell(13, 19), 2);
    EXPECT_EQ(cell(13, 18), 6);
    EXPECT_EQ(cell(4, 18), EMPTY_CELL);
    EXPECT_EQ(blocks_in_row(18), 13) << "row 17 fell onto row 19, one short of full";
    ASSERT_EQ(play_record.state_id, STATE_KILL_ROWS);
    const KillRows_State* clear = current<KillRows_State>();
    ASSERT_NE(clear, nullptr);
    ASSERT_EQ(clear->row_count, 1);
    EXPECT_EQ(clear->rows[0], 19);
}

// A block texture under five pixels leaves no range to shake in on one axis or both: the well
// keeps still there, the draws of rand() stay the same, and nothing divides by zero.
TEST_F(Earth_Test, TinyBlocksShakeWithoutDividingByZero) {
    for (const int size : {4, 0}) {
        SCOPED_TRACE(size);
        play_record.grid.clear_rows(0, GRID_ROWS);
        put(3, 5, 2);
        app.block_size = size;
        const std::vector<int> values = rand_sequence(5, 2 * SHAKING_FRAMES + 1);
        Earth_State* earth = start_earth();
        ASSERT_NE(earth, nullptr);
        for (int i = 0; i < SHAKING_FRAMES; ++i) {
            paint_screen(0, 0, 90);
            frame();
            EXPECT_TRUE(screen_shows_well(0, 0, 32, 32)) << "drawn undisplaced";
        }
        frame();
        EXPECT_EQ(earth->phase, 1);
        EXPECT_EQ(std::rand(), values[2 * SHAKING_FRAMES]) << "still two draws per frame";
        settle(earth);
        EXPECT_EQ(cell(3, 19), 2);
        EXPECT_EQ(play_record.state_id, STATE_PLAY);
    }
}

TEST_F(Earth_Test, TheSidebarIsDrawnOnEveryFrameButTheLeavingOne) {
    app.sidebar = std::make_unique<Sidebar>();
    Earth_State* earth = start_earth();
    ASSERT_NE(earth, nullptr);
    const int x = 14 * 16 + 2;
    int frames = 0;
    while (play_record.state_id == STATE_EARTH) {
        paint_screen(0, 200, 0);
        frame();
        ++frames;
        const bool drawn = !same_colour(colour_at(nullptr, x, 2), {0, 200, 0, 0});
        EXPECT_EQ(drawn, play_record.state_id == STATE_EARTH) << "frame " << frames;
    }
    EXPECT_EQ(frames, SHAKING_FRAMES + 3);
}

} // namespace
