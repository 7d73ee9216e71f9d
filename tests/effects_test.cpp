// What all five effects share: escape (by key or hot spot) keeps the well as it stands, the pause
// hot spot, the movement keys held or pressed during an effect, and when the sidebar is drawn.
#include "effects_support.h"

#include "effects/earth_state.h"
#include "effects/fire_state.h"
#include "effects/ice_state.h"
#include "effects/kill_rows_state.h"
#include "effects/lightning_state.h"
#include "media/bitmaps.h"
#include "play/sidebar.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <tuple>

namespace {

// One effect with a well that gives it work and lets it return to play, the point in its run at
// which blocks are lifted out of the well (or, without a falling layer, the middle of its run),
// and which of its frames draw the sidebar, as a pattern of 1 (drawn) and 0.
struct Effect_Case {
    const char* name;
    State_Id id;
    void (*build)();
    bool (*midway)();
    const char* sidebar;
};

template <class State> const State& the() {
    return dynamic_cast<const State&>(*app.state);
}

const Effect_Case effect_cases[] = {
    {"row_clear", STATE_KILL_ROWS, [] { fill_row(19, 2), put(4, 18, 1), put(4, 17, 5); },
     [] {
         return the<KillRows_State>().phase == KillRows_State::Phase::collapse &&
                !the<KillRows_State>().take_row;
     },
     "0*"},
    {"earth", STATE_EARTH, [] { put(3, 5, 2); },
     [] {
         return the<Earth_State>().phase == Earth_State::Phase::settle &&
                !the<Earth_State>().settled;
     },
     "1*0"},
    {"ice", STATE_ICE, [] { put(6, 19, 3), put(6, 18, 1); },
     [] {
         return the<Ice_State>().phase == Ice_State::Phase::break_away && !the<Ice_State>().settled;
     },
     "1*"},
    {"fire", STATE_FIRE, [] { fill_row(19, 1, 13); },
     [] {
         return the<Fire_State>().phase == Fire_State::Phase::burn &&
                the<Fire_State>().timer < 0.7f;
     },
     "1*0"},
    {"lightning", STATE_LIGHTNING, [] { fill_row(19, 1, 13); },
     [] { return the<Lightning_State>().phase == Lightning_State::Phase::bolt_fade; },
     "1*0{7}"}, // none while the bolt fades
};

class All_Effects_Test : public Effect_Test, public ::testing::WithParamInterface<Effect_Case> {};

// With full_bottom the empty cells of row 19 are filled too, so the effect goes on to the row
// clear.
void start(const Effect_Case& effect, bool full_bottom = false) {
    play_record.grid.clear_rows(0, GRID_ROWS);
    effect.build();
    for (int col = 0; full_bottom && col < GRID_COLS; ++col)
        if (!play_record.grid.is_occupied(col, GRID_ROWS - 1)) put(col, GRID_ROWS - 1, 4);
    play_record.grid.find_full_rows(GRID_ROWS - 1, 0); // as play hands over to the row clear
    app.enter_state(effect.id);
}

TEST_P(All_Effects_Test, EscapeByKeyOrEitherCornerKeepsTheWellAsItStandsAndPauseGoesOn) {
    for (const Point spot : {Point{0, 0}, Point{149, 149}, Point{158, 158}}) { // 0, 0: the key
        start(GetParam());
        run_while(GetParam().id, GetParam().midway);
        ASSERT_EQ(play_record.state_id, GetParam().id);
        const std::string cells = well();
        const uint32_t flags = play_record.flags;
        EXPECT_FALSE(app.send_mouse(MOUSE_PRESS, 114, 150)) << "beside the pause spot";
        EXPECT_TRUE(app.send_mouse(MOUSE_PRESS, 124, 159)) << "the pause spot";
        EXPECT_EQ(play_record.flags, flags ^ FLAG_PAUSED) << "the flag only: the effect goes on";
        EXPECT_TRUE(spot.x ? app.send_mouse(MOUSE_PRESS, spot.x, spot.y)
                           : app.send_command(CMD_ESCAPE, nullptr));
        EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
        EXPECT_EQ(well(), cells);
    }
}

// A sideways or fast-drop key held through the effect must not act on the next piece.
TEST_P(All_Effects_Test, HeldKeysAreDroppedAtTheEndAndTheSidebarIsDrawnButOnTheLastFrames) {
    app.set_sidebar(std::make_unique<Sidebar>());
    const SDL_Color panel = colour_at(zgl_get_bitmap(BMP_SIDEBAR), 2, 2);
    start(GetParam());
    for (const Command key : {CMD_RIGHT_PRESS, CMD_LEFT_PRESS, CMD_DOWN_PRESS, CMD_UP})
        EXPECT_TRUE(app.send_command(key, nullptr));
    EXPECT_FALSE(app.send_command(CMD_DELETE, nullptr)) << "no flare during an effect";
    const uint32_t keys = FLAG_LEFT | FLAG_RIGHT | FLAG_FAST_DROP | FLAG_ROTATE;
    EXPECT_EQ(play_record.flags & keys, FLAG_LEFT | FLAG_FAST_DROP | FLAG_ROTATE);
    std::string drawn;
    while (play_record.state_id == GetParam().id) {
        paint_screen(0, 200, 0);
        frame();
        drawn += same_colour(colour_at(nullptr, 14 * 16 + 2, 2), panel) ? '1' : '0';
    }
    EXPECT_EQ(play_record.flags & keys, FLAG_ROTATE) << "back in play";
    EXPECT_THAT(drawn, ::testing::MatchesRegex(GetParam().sidebar));
}

// The window closed at any frame of an effect, or of the row clear it goes on to, and the game
// started again: it comes back as the running effect began (state, well, score, counters), runs
// it once, and ends as if it had never been closed (the draws seeded alike at both starts).
TEST_P(All_Effects_Test, ClosedAtAnyFrameItComesBackAsTheEffectBeganAndRunsItOnce) {
    using Game = std::tuple<State_Id, int32_t, int32_t, std::string>;
    const auto game = [] {
        return Game(play_record.state_id, play_record.score, play_record.blocks_cleared, well());
    };
    const auto run = [&](int close_at) {
        play_record = Play_Record();
        std::srand(7);
        start(GetParam(), true);
        Game began = game();
        int frames = 0;
        for (; play_record.state_id != STATE_PLAY && frames < 1000; ++frames) {
            if (frames == close_at) {
                app.save_game_for_next_start();
                app.enter_state(STATE_NONE);
                play_record = Play_Record();
                app.load_records();
                play_record.grid.redraw_region(0, 0, GRID_COLS, GRID_ROWS);
                std::srand(7);
                app.enter_saved_state();
                EXPECT_EQ(game(), began) << "closed before frame " << frames;
            }
            frame();
            if (play_record.state_id != std::get<0>(began)) began = game();
        }
        return std::pair(game(), frames);
    };
    const auto [finished, frames] = run(-1);
    for (int close_at = 0; close_at < frames; ++close_at)
        EXPECT_EQ(run(close_at).first, finished) << "closed before frame " << close_at;
}

INSTANTIATE_TEST_SUITE_P(Effects, All_Effects_Test, ::testing::ValuesIn(effect_cases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

} // namespace
