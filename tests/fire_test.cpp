// The fire effect: where it burns and in which order it draws rand(), the rare fourteen-cell fire,
// and the well it leaves.
#include "effects_support.h"

#include "effects/fire_state.h"
#include "media/sounds.h"

#include <SDL/SDL_mixer.h>

#include <cstdlib>

namespace {

class Fire_Test : public Effect_Test {
  protected:
    void SetUp() override {
        Effect_Test::SetUp();
        set_frame_seconds(1.0 / 16);
    }
    // Makes the fire on the well as it stands and runs its igniting frame with the seed.
    static const Fire_State* ignite(unsigned seed) {
        enter(STATE_FIRE);
        std::srand(seed);
        frame();
        return current<Fire_State>();
    }
};

// The draws: the count (seven draws a second one, six of ten makes it fourteen), then column
// and row for each burn, the column first and never 13, the row among the occupied ones.
TEST_F(Fire_Test, BurnsFallInTheOccupiedRowsAndNeverInTheLastColumnAndNothingFalls) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        play_record.grid.clear_rows(0, GRID_ROWS);
        for (int col = 0; col < GRID_COLS; col += 2)
            put(col, 17, 2);
        fill_row(18, 4, 3);
        fill_row(19, 5, 8);
        std::string expected = well();
        std::srand(seed);
        int count = std::rand() % 7 + 1;
        if (count == 7 && std::rand() % 10 == 6) count = 14;
        for (int i = 0; i < count; ++i) {
            const int col = std::rand() % 13;
            expected[(19 - std::rand() % 3) * (GRID_COLS + 1) + col] = '.';
        }
        const Fire_State* fire = ignite(seed);
        ASSERT_NE(fire, nullptr);
        EXPECT_EQ(fire->top_row, 17);
        EXPECT_EQ(fire->burn_count, count);
        EXPECT_EQ(well(), expected);
        EXPECT_EQ(run_while(STATE_FIRE), 23 + 1 + 1) << "1.4 s of flames, the end, the leaving";
        EXPECT_EQ(well(), expected) << "nothing falls into the burnt cells";
    }
}

TEST_F(Fire_Test, FourteenBurnsPlayTheDemonicSoundThenTheFire) {
    unsigned seed = 1;
    for (; seed < 1000000; ++seed) {
        std::srand(seed);
        if (std::rand() % 7 == 6 && std::rand() % 10 == 6) break;
    }
    fill_row(19, 1, 13);
    enter(STATE_FIRE);
    Mix_HaltChannel(-1); // every channel free: the sounds take channels 0 and 1 in their order
    std::srand(seed);
    frame();
    EXPECT_EQ(current<Fire_State>()->burn_count, 14);
    EXPECT_EQ(Mix_GetChunk(0), load_sound(SND_DEMONIC));
    EXPECT_EQ(Mix_GetChunk(1), load_sound(SND_FIRE));
}

} // namespace
