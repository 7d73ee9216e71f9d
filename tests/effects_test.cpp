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

#include <cstdlib>

namespace {

// One effect with a well that gives it work and lets it return to play, the point in its run at
// which blocks are lifted out of the well (or, without a falling layer, the middle of its run),
// and how many of its last frames draw no sidebar at 1/16 s a frame (-1: none draws it).
struct Effect_Case {
    const char* name;
    State_Id id;
    void (*build)();
    bool (*midway)();
    int frames_without_sidebar;
};

void PrintTo(const Effect_Case& effect, std::ostream* out) {
    *out << effect.name;
}

template <class State> const State* the() {
    return dynamic_cast<const State*>(app.state.get());
}

const Effect_Case effect_cases[] = {
    {"row_clear", STATE_KILL_ROWS,
     [] {
         fill_row(19, 2);
         put(4, 18, 1);
         put(4, 17, 5);
         play_record.grid.find_full_rows(19, 0);
     },
     [] { return the<KillRows_State>()->phase == 2 && !the<KillRows_State>()->take_row; }, -1},
    {"earth", STATE_EARTH, [] { put(3, 5, 2); },
     [] { return the<Earth_State>()->phase == 1 && !the<Earth_State>()->settled; }, 1},
    {"ice", STATE_ICE,
     [] {
         put(6, 19, 3);
         put(6, 18, 1);
     },
     [] { return the<Ice_State>()->phase == 3 && !the<Ice_State>()->settled; }, 0},
    {"fire", STATE_FIRE, [] { fill_row(19, 1, 13); },
     [] { return the<Fire_State>()->phase == 1 && the<Fire_State>()->timer < 0.7f; }, 1},
    {"lightning", STATE_LIGHTNING, [] { fill_row(19, 1, 13); },
     [] { return the<Lightning_State>()->phase == 3; }, 7}, // the bolt's fade
};

class All_Effects_Test : public Effect_Test, public ::testing::WithParamInterface<Effect_Case> {
  protected:
    void SetUp() override {
        Effect_Test::SetUp();
        set_frame_seconds(0.01);
        std::srand(12);
    }
    static void start() {
        GetParam().build();
        enter(GetParam().id);
    }
};

TEST_P(All_Effects_Test, EscapeKeepsTheWellAsItStandsAndLeavesForTheMainMenu) {
    start();
    for (int frames = 0; !GetParam().midway() && frames < 10000; ++frames) {
        frame();
        ASSERT_EQ(play_record.state_id, GetParam().id);
    }
    const std::string cells = well();
    const uint32_t flags = play_record.flags;
    EXPECT_FALSE(app.state->handle_mouse(MOUSE_PRESS, 114, 150)) << "beside the pause spot";
    EXPECT_TRUE(app.state->handle_mouse(MOUSE_PRESS, 124, 159)) << "the pause spot";
    EXPECT_EQ(play_record.flags, flags | FLAG_PAUSED) << "the flag only: the effect goes on";
    EXPECT_TRUE(app.state->handle_command(CMD_ESCAPE, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(well(), cells);
    for (const Point corner : {Point{149, 149}, Point{158, 158}}) {
        start();
        EXPECT_TRUE(app.state->handle_mouse(MOUSE_PRESS, corner.x, corner.y)) << "the escape spot";
        EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    }
}

TEST_P(All_Effects_Test, HeldKeysAreDroppedAtTheEndWhileATurnAskedForSurvives) {
    start();
    EXPECT_TRUE(app.state->handle_command(CMD_RIGHT_PRESS, nullptr));
    EXPECT_TRUE(app.state->handle_command(CMD_LEFT_PRESS, nullptr));
    EXPECT_TRUE(app.state->handle_command(CMD_DOWN_PRESS, nullptr));
    EXPECT_FALSE(app.state->handle_command(CMD_DELETE, nullptr)) << "no flare during an effect";
    frame();
    EXPECT_TRUE(app.state->handle_command(CMD_UP, nullptr));
    const uint32_t keys = FLAG_LEFT | FLAG_RIGHT | FLAG_FAST_DROP | FLAG_ROTATE;
    EXPECT_EQ(play_record.flags & keys, FLAG_LEFT | FLAG_FAST_DROP | FLAG_ROTATE);
    run_while(GetParam().id);
    ASSERT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_EQ(play_record.flags & keys, FLAG_ROTATE);
}

TEST_P(All_Effects_Test, TheSidebarIsDrawnOnEveryFrameButTheLastFew) {
    set_frame_seconds(1.0 / 16);
    app.sidebar = std::make_unique<Sidebar>();
    const SDL_Color panel = colour_at(zgl_get_bitmap(BMP_SIDEBAR), 2, 2);
    start();
    std::string drawn;
    while (play_record.state_id == GetParam().id) {
        paint_screen(0, 200, 0);
        frame();
        drawn += same_colour(colour_at(nullptr, 14 * 16 + 2, 2), panel) ? '1' : '0';
    }
    const int without = GetParam().frames_without_sidebar;
    const size_t with = without < 0 ? 0 : drawn.size() - without;
    EXPECT_EQ(drawn, std::string(with, '1') + std::string(drawn.size() - with, '0'));
}

INSTANTIATE_TEST_SUITE_P(Effects, All_Effects_Test, ::testing::ValuesIn(effect_cases),
                         [](const ::testing::TestParamInfo<Effect_Case>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
