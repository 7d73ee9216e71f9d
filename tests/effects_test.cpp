// What all five effects share: escape keeps the well as it stands, the mouse hot spots, the
// movement keys held or pressed during an effect, the effects with and without a sidebar, and an
// effect resumed from a saved game.
#include "effects_support.h"

#include "effects/earth_state.h"
#include "effects/fire_state.h"
#include "effects/ice_state.h"
#include "effects/kill_rows_state.h"
#include "effects/lightning_state.h"
#include "media/bitmaps.h"
#include "play/saved_game.h"
#include "play/sidebar.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// One effect with a well that gives it work and lets it return to play, and the point in its
// run at which blocks are lifted into its falling layer (or, without one, the middle of its run).
struct Effect_Case {
    const char* name;
    State_Id id;
    void (*build)();
    bool (*midway)();
    std::vector<Grid_Pos> lifted; // blocks held out of the well at that point
};

template <class State> const State* the() {
    return dynamic_cast<const State*>(app.state.get());
}

const Effect_Case effect_cases[] = {
    {"row_clear",
     STATE_KILL_ROWS,
     [] {
         fill_row(19, 2);
         put(4, 18, 1);
         put(4, 17, 5);
         play_record.grid.find_full_rows(19, 0);
     },
     [] { return the<KillRows_State>()->phase == 2 && !the<KillRows_State>()->take_row; },
     {{4, 18}, {4, 17}}},
    {"earth",
     STATE_EARTH,
     [] {
         put(3, 5, 2);
         put(7, 19, 4);
     },
     [] { return the<Earth_State>()->phase == 1 && !the<Earth_State>()->settled; },
     {{3, 5}}},
    {"ice",
     STATE_ICE,
     [] {
         put(6, 19, 3);
         put(6, 18, 1);
         put(2, 19, 5);
     },
     [] { return the<Ice_State>()->phase == 3 && !the<Ice_State>()->settled; },
     {{6, 18}}},
    {"fire",
     STATE_FIRE,
     [] { fill_row(19, 1, 13); },
     [] { return the<Fire_State>()->phase == 1 && the<Fire_State>()->timer < 0.7f; },
     {}},
    {"lightning",
     STATE_LIGHTNING,
     [] {
         fill_row(19, 1, 13);
         fill_row(18, 2, 0);
     },
     [] { return the<Lightning_State>()->phase == 3; },
     {}},
};

class All_Effects_Test : public Effect_Test, public ::testing::WithParamInterface<Effect_Case> {
  protected:
    void SetUp() override {
        Effect_Test::SetUp();
        set_frame_seconds(0.01);
        std::srand(12);
    }
    static const Effect_Case& effect() { return GetParam(); }
    static void start() {
        effect().build();
        enter(effect().id);
    }
    // Runs frames until the effect is half way (it must still be running then).
    static void run_to_midway() {
        for (int frames = 0; !effect().midway() && frames < 10000; ++frames) {
            frame();
            ASSERT_EQ(play_record.state_id, effect().id);
        }
        ASSERT_TRUE(effect().midway());
    }
};

TEST_P(All_Effects_Test, EscapeKeepsTheWellAsItStandsAndLeavesForTheMainMenu) {
    start();
    run_to_midway();
    const std::vector<int> cells = well_cells();
    const int score = play_record.score;
    const int cleared = play_record.blocks_cleared;
    EXPECT_TRUE(app.state->handle_command(CMD_ESCAPE, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(well_cells(), cells);
    for (const Grid_Pos& pos : effect().lifted)
        EXPECT_EQ(cell(pos.col, pos.row), EMPTY_CELL) << "a lifted block is lost";
    EXPECT_EQ(play_record.score, score);
    EXPECT_EQ(play_record.blocks_cleared, cleared);
}

TEST_P(All_Effects_Test, OnlyAPressOnAHotSpotCounts) {
    start();
    frame();
    Game_State* const state = app.state.get();
    const uint32_t flags = play_record.flags;
    const Point misses[] = {{114, 150}, {125, 150}, {115, 149}, {115, 160}, {148, 152},
                            {159, 158}, {152, 148}, {152, 159}, {0, 0}};
    for (const Point& miss : misses) {
        EXPECT_FALSE(state->handle_mouse(MOUSE_PRESS, miss.x, miss.y)) << miss.x << ", " << miss.y;
    }
    EXPECT_FALSE(state->handle_mouse(MOUSE_MOTION, 120, 155));
    EXPECT_FALSE(state->handle_mouse(MOUSE_RELEASE, 120, 155));
    EXPECT_FALSE(state->handle_mouse(MOUSE_RELEASE, 150, 150));
    EXPECT_EQ(play_record.flags, flags);
    EXPECT_EQ(app.state.get(), state);

    EXPECT_TRUE(state->handle_mouse(MOUSE_PRESS, 115, 150));
    EXPECT_EQ(play_record.flags, flags | FLAG_PAUSED) << "the pause spot acts as space";
    EXPECT_TRUE(state->handle_mouse(MOUSE_PRESS, 124, 159));
    EXPECT_EQ(play_record.flags, flags);
    EXPECT_EQ(app.state.get(), state);

    EXPECT_TRUE(state->handle_mouse(MOUSE_PRESS, 158, 158));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU) << "the escape spot acts as escape";
    start();
    EXPECT_TRUE(app.state->handle_mouse(MOUSE_PRESS, 149, 149));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

TEST_P(All_Effects_Test, HeldKeysAreDroppedAtTheEndWhileATurnAskedForSurvives) {
    start();
    EXPECT_TRUE(app.state->handle_command(CMD_RIGHT_PRESS, nullptr));
    EXPECT_TRUE(app.state->handle_command(CMD_LEFT_PRESS, nullptr));
    EXPECT_TRUE(app.state->handle_command(CMD_DOWN_PRESS, nullptr));
    EXPECT_FALSE(app.state->handle_command(CMD_DELETE, nullptr)) << "no flare during an effect";
    EXPECT_FALSE(app.state->handle_command(CMD_ENTER, nullptr));
    frame();
    EXPECT_TRUE(app.state->handle_command(CMD_UP, nullptr));
    EXPECT_EQ(play_record.flags & (FLAG_LEFT | FLAG_RIGHT | FLAG_FAST_DROP | FLAG_ROTATE),
              FLAG_LEFT | FLAG_FAST_DROP | FLAG_ROTATE);
    run_while(effect().id);
    ASSERT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_EQ(play_record.flags & (FLAG_LEFT | FLAG_RIGHT | FLAG_FAST_DROP), 0u);
    EXPECT_NE(play_record.flags & FLAG_ROTATE, 0u);
}

TEST_P(All_Effects_Test, RunsToTheSameEndWithAndWithoutASidebar) {
    std::vector<int> ends[2];
    for (const bool with_sidebar : {false, true}) {
        SCOPED_TRACE(with_sidebar);
        play_record = Play_Record();
        play_record.grid.redraw_region(0, 0, GRID_COLS, GRID_ROWS);
        if (with_sidebar) {
            app.sidebar = std::make_unique<Sidebar>();
            app.sidebar->place_next_piece();
        }
        std::srand(12);
        start();
        run_while(effect().id);
        EXPECT_EQ(play_record.state_id, STATE_PLAY);
        ends[with_sidebar] = well_cells();
    }
    EXPECT_EQ(ends[0], ends[1]);
}

// The game saved while the effect ran starts it again from its beginning on the restored well.
TEST_P(All_Effects_Test, ASavedGameResumesTheEffectOnTheRestoredWell) {
    effect().build();
    play_record.flags = FLAG_IN_PROGRESS | FLAG_PAUSED;
    play_record.state_id = effect().id;
    ASSERT_TRUE(save_saved_game(&play_record));
    const std::vector<int> saved = well_cells();

    play_record = Play_Record();
    load_saved_game(&play_record);
    ASSERT_EQ(well_cells(), saved);
    play_record.grid.redraw_region(0, 0, GRID_COLS, GRID_ROWS);
    app.sidebar = std::make_unique<Sidebar>();
    app.enter_saved_state();
    ASSERT_NE(app.state, nullptr);
    EXPECT_EQ(play_record.state_id, effect().id);
    run_to_midway();
    run_while(effect().id);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_NE(play_record.flags & FLAG_PAUSED, 0u) << "the game comes back paused";
}

INSTANTIATE_TEST_SUITE_P(Effects, All_Effects_Test, ::testing::ValuesIn(effect_cases),
                         [](const ::testing::TestParamInfo<Effect_Case>& info) {
                             return std::string(info.param.name);
                         });

class Effect_Ending_Test : public Effect_Test {};

// The row clear leaves the sidebar as play last drew it: the shown score waits for play.
TEST_F(Effect_Ending_Test, TheRowClearNeverDrawsTheSidebar) {
    app.sidebar = std::make_unique<Sidebar>();
    set_frame_seconds(0.02);
    fill_row(19, 4);
    fill_row(18, 5);
    play_record.grid.find_full_rows(19, 0);
    enter(STATE_KILL_ROWS);
    paint_screen(0, 200, 0);
    run_while(STATE_KILL_ROWS);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    for (int y = 0; y < 320; y += 8)
        EXPECT_TRUE(same_colour(colour_at(nullptr, 14 * 16 + 5, y), {0, 200, 0, 0})) << y;
    EXPECT_EQ(play_record.score, 84);
    EXPECT_EQ(play_record.shown_score, 0);
}

// A held key lasts through the earth into the row clear it leads to, and ends with that.
TEST_F(Effect_Ending_Test, KeysHeldThroughAnEffectAndItsRowClearEndWithTheRowClear) {
    set_frame_seconds(0.05);
    fill_row(19, 1, 13);
    put(13, 10, 6);
    enter(STATE_EARTH);
    app.state->handle_command(CMD_RIGHT_PRESS, nullptr);
    run_while(STATE_EARTH);
    ASSERT_EQ(play_record.state_id, STATE_KILL_ROWS);
    EXPECT_NE(play_record.flags & FLAG_RIGHT, 0u);
    run_while(STATE_KILL_ROWS);
    ASSERT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_EQ(play_record.flags & FLAG_RIGHT, 0u);
    EXPECT_EQ(blocks_in_row(19), 0);
}

} // namespace
