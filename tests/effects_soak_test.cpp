// Whole games with a special block in every piece, played headless through the real state
// switches until the well is full: every effect runs many times, in every order, on wells that
// play and the other effects left behind, with keys pressed at random moments and frames of
// varied length. Every frame and every input checks that the well holds only storable tiles,
// that the score never falls, and that the play record names the state that exists.
#include "effects_support.h"

#include "effects/earth_state.h"
#include "effects/fire_state.h"
#include "effects/ice_state.h"
#include "effects/kill_rows_state.h"
#include "effects/lightning_state.h"
#include "play/faldor_state.h"
#include "play/sidebar.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

namespace {

bool state_is(State_Id id, Game_State* state) {
    switch (id) {
    case STATE_PLAY:
        return dynamic_cast<Faldor_State*>(state) != nullptr;
    case STATE_KILL_ROWS:
        return dynamic_cast<KillRows_State*>(state) != nullptr;
    case STATE_EARTH:
        return dynamic_cast<Earth_State*>(state) != nullptr;
    case STATE_ICE:
        return dynamic_cast<Ice_State*>(state) != nullptr;
    case STATE_FIRE:
        return dynamic_cast<Fire_State*>(state) != nullptr;
    case STATE_LIGHTNING:
        return dynamic_cast<Lightning_State*>(state) != nullptr;
    default:
        return false;
    }
}

class Effects_Soak_Test : public Effect_Test {
  protected:
    // Plays one game to its end; answers false when it did not end within the frame budget.
    bool play_game(unsigned seed, bool with_sidebar) {
        std::srand(seed);
        std::minstd_rand input(seed); // the player's own choices, apart from the game's draws
        app.options.flags |= opt_special_blocks;
        app.options.opt_special_chance = 100;
        if (with_sidebar) app.sidebar = std::make_unique<Sidebar>();
        reset_play_record(&play_record);
        app.change_state(STATE_PLAY);
        last_score = 0;
        last_id = STATE_PLAY;
        for (int frames = 0; frames < 300000; ++frames) {
            if (!check("before the input")) return true;
            press_some_key(input);
            if (!check("after the input")) return true;
            set_frame_seconds(frame_lengths[input() % std::size(frame_lengths)]);
            app.state->do_frame();
            if (!check("after the frame")) return true;
            if (play_record.flags & FLAG_GAME_OVER) return true;
        }
        return false;
    }

    void press_some_key(std::minstd_rand& input) {
        // Pauses do not last: play ignores everything else while paused.
        if (play_record.flags & FLAG_PAUSED) {
            app.state->handle_command(CMD_SPACE, nullptr);
            return;
        }
        const Command keys[] = {CMD_DOWN_PRESS,    CMD_DOWN_PRESS,   CMD_DOWN_PRESS,
                                CMD_LEFT_PRESS,    CMD_LEFT_RELEASE, CMD_RIGHT_PRESS,
                                CMD_RIGHT_RELEASE, CMD_UP,           CMD_DOWN_RELEASE};
        const unsigned roll = input() % 100;
        if (roll < 40) {
            app.state->handle_command(keys[input() % std::size(keys)], nullptr);
        } else if (roll == 40) {
            app.state->handle_command(CMD_SPACE, nullptr);
        } else if (roll == 41) {
            app.state->handle_mouse(MOUSE_PRESS, 120, 155); // the pause spot of the effects
        } else if (roll == 42) {
            app.state->handle_mouse(MOUSE_RELEASE, 10, 10);
        } else if (roll == 43) {
            app.state->handle_command(CMD_DELETE, nullptr);
        }
    }

    // Checks the invariants and counts the effects entered; answers false after a failure.
    bool check(const char* when) {
        EXPECT_TRUE(app.state != nullptr) << when;
        if (!app.state) return false;
        const State_Id id = play_record.state_id;
        EXPECT_TRUE(state_is(id, app.state.get())) << when << ": state_id " << id;
        for (const int32_t value : play_record.grid.cells) {
            EXPECT_TRUE(value == EMPTY_CELL || (value >= 0 && value <= 8)) << when << ": " << value;
            if (value != EMPTY_CELL && (value < 0 || value > 8)) return false;
        }
        EXPECT_GE(play_record.score, last_score) << when;
        last_score = play_record.score;
        if (id != last_id) ++entered[id];
        last_id = id;
        return !::testing::Test::HasFailure();
    }

    static constexpr double frame_lengths[] = {0.0,   0.001, 0.004, 0.016, 0.016,
                                               0.033, 0.05,  0.1,   0.26,  0.5};
    int last_score = 0;
    State_Id last_id = STATE_NONE;
    std::map<State_Id, int> entered;
};

TEST_F(Effects_Soak_Test, EveryEffectRunsManyTimesThroughWholeGamesKeepingTheWellSound) {
    int games = 0;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        ASSERT_TRUE(play_game(seed, seed % 2 == 0)) << "the game did not end";
        ASSERT_FALSE(HasFailure());
        EXPECT_NE(play_record.flags & FLAG_GAME_OVER, 0u);
        EXPECT_EQ(play_record.state_id, STATE_PLAY);
        ++games;
    }
    EXPECT_EQ(games, 6);
    for (const State_Id id :
         {STATE_KILL_ROWS, STATE_EARTH, STATE_ICE, STATE_FIRE, STATE_LIGHTNING}) {
        EXPECT_GE(entered[id], 5) << "effect " << id;
    }
    for (const auto& [id, count] : entered)
        std::printf("state %d entered %d times\n", id, count);
}

} // namespace
