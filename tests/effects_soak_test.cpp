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

#include <cstdlib>
#include <iterator>
#include <map>
#include <random>
#include <typeindex>

namespace {

const std::map<State_Id, std::type_index> state_classes = {
    {STATE_PLAY, typeid(Faldor_State)}, {STATE_KILL_ROWS, typeid(KillRows_State)},
    {STATE_EARTH, typeid(Earth_State)}, {STATE_ICE, typeid(Ice_State)},
    {STATE_FIRE, typeid(Fire_State)},   {STATE_LIGHTNING, typeid(Lightning_State)}};

using Effects_Soak_Test = Effect_Test;

TEST_F(Effects_Soak_Test, EveryEffectRunsManyTimesThroughWholeGamesKeepingTheWellSound) {
    const Command keys[] = {CMD_DOWN_PRESS,    CMD_DOWN_PRESS,   CMD_DOWN_PRESS,
                            CMD_LEFT_PRESS,    CMD_LEFT_RELEASE, CMD_RIGHT_PRESS,
                            CMD_RIGHT_RELEASE, CMD_UP,           CMD_DOWN_RELEASE};
    const double frame_lengths[] = {0.0, 0.001, 0.004, 0.016, 0.016, 0.033, 0.05, 0.1, 0.26, 0.5};
    std::map<State_Id, int> entered;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::srand(seed);
        std::minstd_rand input(seed); // the player's own choices, apart from the game's draws
        app.options.flags |= opt_special_blocks;
        app.options.opt_special_chance = 100;
        app.sidebar.reset(seed % 2 ? nullptr : new Sidebar);
        reset_play_record(&play_record);
        enter(STATE_PLAY);
        int last_score = 0;
        State_Id last_id = STATE_PLAY;
        // Checks the invariants and counts the effects entered; answers false after a failure.
        const auto invariants_hold = [&](const char* when) {
            const State_Id id = play_record.state_id;
            const auto expected = state_classes.find(id);
            EXPECT_TRUE(app.state && expected != state_classes.end() &&
                        std::type_index(typeid(*app.state)) == expected->second)
                << when << ": state_id " << id;
            const std::string cells = well();
            EXPECT_EQ(cells.find_first_not_of("./012345678"), std::string::npos) << when << cells;
            EXPECT_GE(play_record.score, last_score) << when;
            last_score = play_record.score;
            entered[id] += id != last_id;
            last_id = id;
            return !HasFailure();
        };
        int frames = 0;
        for (; frames < 300000 && !(play_record.flags & FLAG_GAME_OVER); ++frames) {
            // Pauses do not last: play ignores everything else while paused.
            const unsigned roll = play_record.flags & FLAG_PAUSED ? 40 : input() % 100;
            if (roll < 40) app.state->handle_command(keys[input() % std::size(keys)], nullptr);
            if (roll == 40) app.state->handle_command(CMD_SPACE, nullptr);
            if (roll == 41) app.state->handle_mouse(MOUSE_PRESS, 120, 155); // the pause spot
            if (roll == 42) app.state->handle_mouse(MOUSE_RELEASE, 10, 10);
            if (roll == 43) app.state->handle_command(CMD_DELETE, nullptr);
            ASSERT_TRUE(invariants_hold("after the input"));
            set_frame_seconds(frame_lengths[input() % std::size(frame_lengths)]);
            app.state->do_frame();
            ASSERT_TRUE(invariants_hold("after the frame"));
        }
        ASSERT_LT(frames, 300000) << "the game did not end";
        EXPECT_EQ(play_record.state_id, STATE_PLAY);
    }
    for (const State_Id id : {STATE_KILL_ROWS, STATE_EARTH, STATE_ICE, STATE_FIRE, STATE_LIGHTNING})
        EXPECT_GE(entered[id], 5) << "effect " << id;
}

} // namespace
