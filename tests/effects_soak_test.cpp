// Whole games with a special block in every piece, played headless through the real state
// switches until the well is full: every effect runs many times, in every order, on wells that
// play and the other effects left behind, with keys pressed at random moments and frames of
// varied length. Every frame checks that the well holds only storable tiles, that the score never
// falls, and that the play record names the state that exists.
#include "effects_support.h"

#include "effects/earth_state.h"
#include "effects/fire_state.h"
#include "effects/ice_state.h"
#include "effects/kill_rows_state.h"
#include "effects/lightning_state.h"
#include "play/faldor_state.h"
#include "play/sidebar.h"

#include <cstdlib>
#include <random>
#include <typeindex>
#include <utility>
#include <vector>

namespace {

using Effects_Soak_Test = Effect_Test;

TEST_F(Effects_Soak_Test, EveryEffectRunsManyTimesThroughWholeGamesKeepingTheWellSound) {
    // The class of each state from STATE_PLAY on.
    const std::vector<std::type_index> classes = {typeid(Faldor_State), typeid(KillRows_State),
                                                  typeid(Earth_State),  typeid(Ice_State),
                                                  typeid(Fire_State),   typeid(Lightning_State)};
    const Command keys[] = {CMD_DOWN_PRESS,   CMD_DOWN_PRESS,  CMD_DOWN_PRESS,    CMD_LEFT_PRESS,
                            CMD_LEFT_RELEASE, CMD_RIGHT_PRESS, CMD_RIGHT_RELEASE, CMD_UP,
                            CMD_DOWN_RELEASE, CMD_SPACE,       CMD_DELETE};
    const double frame_lengths[] = {0.0, 0.001, 0.004, 0.016, 0.033, 0.05, 0.1, 0.26, 0.5};
    game.options.flags |= opt_special_blocks;
    game.options.opt_special_chance = 100;
    int entered[STATE_COUNT] = {};
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::srand(seed);
        std::minstd_rand input(seed); // the player's own choices, apart from the game's draws
        app.set_sidebar(seed % 2 ? nullptr : std::make_unique<Sidebar>());
        reset_play_record(&play_record);
        app.enter_state(STATE_PLAY);
        State_Id last_id = STATE_PLAY;
        int32_t last_score = 0, frames = 0;
        for (; frames < 300000 && !(play_record.flags & FLAG_GAME_OVER); ++frames) {
            // Pauses do not last: play ignores everything else while paused.
            if (play_record.flags & FLAG_PAUSED) app.send_command(CMD_SPACE, nullptr);
            if (input() % 100 < 40) app.send_command(keys[input() % std::size(keys)], nullptr);
            set_frame_seconds(frame_lengths[input() % std::size(frame_lengths)]);
            app.state_frame(Game_Test::frame_seconds());
            const State_Id id = play_record.state_id;
            ASSERT_EQ(classes.at(id - STATE_PLAY), typeid(*app.state)) << "state_id " << id;
            ASSERT_EQ(well().find_first_not_of("./012345678"), std::string::npos) << well();
            ASSERT_GE(play_record.score, std::exchange(last_score, play_record.score));
            entered[id] += std::exchange(last_id, id) != id;
        }
        ASSERT_LT(frames, 300000) << "the game did not end";
    }
    for (const State_Id id : {STATE_KILL_ROWS, STATE_EARTH, STATE_ICE, STATE_FIRE, STATE_LIGHTNING})
        EXPECT_GE(entered[id], 5) << "effect " << id;
}

} // namespace
