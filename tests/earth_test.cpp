// The earth effect: the shake (its offsets, its length and its draws of rand()), the settling of
// hanging blocks one cell per drop, and the way on to the row clear or back to play.
#include "effects_support.h"

#include "media/sounds.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/well.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

using Earth_Test = Effect_Test;

// 1.4 s of shaking at 1/16 s a frame: 23 frames of two draws of rand() each, then the one that
// ends it. A 16-pixel block shakes the well 6 pixels across (-3..2) and 3 up and down (-1..1); a
// block texture under five pixels leaves no range to shake in: the well keeps still there, the
// draws stay the same, and nothing divides by zero.
TEST_F(Earth_Test, TheWellShakesByTheDrawnOffsetsThenABlockFallsOneCellPerDropWithAHitEach) {
    for (const int size : {16, 4, 0}) {
        SCOPED_TRACE(size);
        play_record.grid.clear_rows(0, GRID_ROWS);
        sound_forget_all();
        put(3, 5, 2);
        SDL_Surface* const texture = size ? create_surface(GRID_COLS * size, size) : nullptr;
        use_block_texture(texture); // the block size is the texture's height
        if (texture) free_surface(texture);
        std::srand(2024);
        std::vector<int> draws(2 * 23 + 1);
        std::generate(draws.begin(), draws.end(), std::rand);
        std::srand(2024);
        app.enter_state(STATE_EARTH);
        for (int i = 0; i < 23; ++i) {
            paint_screen(0, 0, 90);
            frame();
            const int dx = size == 16 ? draws[2 * i] % 6 - 3 : 0;
            const int dy = size == 16 ? draws[2 * i + 1] % 3 - 1 : 0;
            int wrong = 0; // pixels around the block that are not the well's, shifted
            for (int y = 5 * 16 - 4; y < 6 * 16 + 4; ++y)
                for (int x = 3 * 16 - 4; x < 4 * 16 + 4; ++x)
                    wrong += !same_colour(colour_at(nullptr, x + dx, y + dy),
                                          colour_at(Grid_Field_Surface::well_surface, x, y));
            EXPECT_EQ(wrong, 0) << "frame " << i << ": the well drawn at " << dx << ", " << dy;
        }
        frame();
        EXPECT_EQ(std::rand(), draws.back()) << "two draws per shaking frame, none after";
        EXPECT_EQ(run_while(STATE_EARTH), 2 * 14 + 2) << "a look and a landing per drop";
        EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 14);
        EXPECT_EQ(well(18), "............../...2........../");
    }
}

TEST_F(Earth_Test, ColumnsOverHolesInOneRowDropTogetherAndABlockOnTheFloorStays) {
    put(2, 19, 1);
    put(9, 19, 1);
    put(12, 19, 0); // on the floor
    put(2, 17, 3);
    put(2, 16, 6); // the stack above moves with the block
    put(9, 17, 5);
    app.enter_state(STATE_EARTH);
    EXPECT_EQ(run_while(STATE_EARTH), 24 + 2 + 2) << "one drop for both columns";
    EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 2) << "one hit per column";
    EXPECT_EQ(well(16), "............../..6.........../..3......5..../..1......1..0./");
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
}

TEST_F(Earth_Test, BlocksThatFallIntoARowAndCompleteItLeadToTheRowClear) {
    fill_row(19, 1, 13);
    fill_row(17, 2, 4);
    put(13, 15, 6);
    app.enter_state(STATE_EARTH);
    run_while(STATE_EARTH);
    EXPECT_EQ(well(17), "............../2222.222222226/11111111111112/");
    EXPECT_EQ(play_record.state_id, STATE_KILL_ROWS);
}

} // namespace
