// Golden pictures: every screen and fixed frames of every effect, drawn headless from a seeded game
// with fixed frame times and compared pixel by pixel with tests/golden/NAME.png. `make golden`
// draws them afresh after an intended change.
#include "game_test.h"

#include "ui/main_menu_state.h"

#include <cstdlib>

namespace {

constexpr double FRAME = 1.0 / 16;

void frames(int count, double seconds = FRAME) {
    headless::run_frames(count, seconds);
}

void press(Command command) {
    app.send_command(command);
}

// A new game from the main menu, its first frame drawn (the level rises, a piece comes in).
void new_game() {
    std::srand(33); // four different shapes first, the fourth with a special block
    app.enter_state(STATE_MAIN_MENU);
    press(Main_Menu_State::BUTTON_START_GAME);
    frames(1);
}

// Drops the falling piece, slid by `slide` columns first.
void drop(int slide) {
    const Command key = slide < 0 ? CMD_LEFT_PRESS : CMD_RIGHT_PRESS;
    if (slide) press(key);
    frames(std::abs(slide) * 3);
    press(key + 1); // its release
    press(CMD_DOWN_PRESS);
    frames(24); // a row a frame at most
    press(CMD_DOWN_RELEASE);
    frames(1);
}

// A game in play: three pieces down, the fourth falling and sliding right after a while.
void game_in_play() {
    new_game();
    drop(-4);
    drop(3);
    press(CMD_UP);
    drop(0);
    frames(12);
    press(CMD_RIGHT_PRESS);
    frames(2);
}

// A game in play over a well that gives the effect of the id work, handed over to it.
void effect(State_Id id, const std::vector<const char*>& rows) {
    new_game();
    frames(3);
    put_rows(rows);
    play_record.grid.find_full_rows(GRID_ROWS - 1, 0);
    app.enter_state(id);
}

const std::vector<const char*> stacked_well = {".....5........", "..4..5....1...", "..4.........6.",
                                               "0.4..33.2..66.", "01...3..2222.5", "0133.3.4...555",
                                               "01142230634156", "11142630624106"};

struct Scene {
    const char* name;
    void (*draw)();
};

const Scene scenes[] = {
    {"splash_maker_logo", [] { frames(1, 0.3); }},
    {"splash_sdl_logo", [] { frames(1, 0.3), press(CMD_SPACE), frames(2, 0.3); }},
    {"main_menu", [] { app.enter_state(STATE_MAIN_MENU), frames(1); }},
    {"options", [] { app.enter_state(STATE_OPTIONS), press(CMD_DOWN_PRESS), frames(1); }},
    {"high_score_list", [] { app.enter_state(STATE_SCORE_LIST), frames(1); }},
    {"about", [] { app.enter_state(STATE_ABOUT), frames(1); }},
    {"name_entry",
     [] {
         play_record.score = 950; // the second place of the shipped table
         app.enter_state(STATE_SCORE_INPUT);
         for (const char* c = "Ada"; *c; ++c)
             app.send_command(CMD_CHAR, c);
         frames(1);
     }},
    {"play", game_in_play},
    // Back in play after clearing two rows, the score counting up in the sidebar, then paused: the
    // count stands still.
    {"paused",
     [] {
         effect(STATE_KILL_ROWS,
                {"..........2...", "5..........6..", "12341234123412", "43214321432143"});
         while (play_record.state_id == STATE_KILL_ROWS)
             frames(1);
         frames(3);
         press(CMD_SPACE);
         frames(3);
     }},
    // Over when the next piece found the top row taken; closed and started again.
    {"game_over",
     [] {
         new_game();
         for (int row = 0; row < GRID_ROWS; ++row)
             play_record.grid.set_cell(0, row, 3);
         press(CMD_DOWN_PRESS);
         frames(20);
         headless::restart();
         frames(1);
     }},
    // Rows 18 and 19 flash, the second with its label, which has risen three frames.
    {"row_clear_flash",
     [] {
         effect(STATE_KILL_ROWS,
                {"...2....3.....", "55....66..4...", "12341234123412", "43214321432143"});
         frames(9);
     }},
    // Both rows gone, the blocks above sliding down over row 19.
    {"row_clear_collapse",
     [] {
         effect(STATE_KILL_ROWS,
                {"...2....3.....", "55....66..4...", "12341234123412", "43214321432143"});
         frames(20);
         frames(2, FRAME / 4);
     }},
    {"earth_shaking", [] { effect(STATE_EARTH, stacked_well), frames(3); }},
    // The shake over, the first hanging blocks on their way down.
    {"earth_settling", [] { effect(STATE_EARTH, stacked_well), frames(24), frames(3, FRAME / 4); }},
    {"ice_frozen", [] { effect(STATE_ICE, stacked_well), frames(14); }},
    // Thawed, the blocks above the lowest ice of each column falling into its place.
    {"ice_breaking", [] { effect(STATE_ICE, stacked_well), frames(30), frames(2, FRAME / 4); }},
    {"fire_burning", [] { effect(STATE_FIRE, stacked_well), frames(9); }},
    {"lightning_white_flash", [] { effect(STATE_LIGHTNING, stacked_well), frames(7); }},
    {"lightning_bolt", [] { effect(STATE_LIGHTNING, stacked_well), frames(10); }},
};

void PrintTo(const Scene& scene, std::ostream* out) {
    *out << scene.name;
}

class Golden_Test : public Game_Test, public ::testing::WithParamInterface<Scene> {};

TEST_P(Golden_Test, TheScreenShowsItsGoldenPicture) {
    GetParam().draw();
    EXPECT_EQ(golden_difference(GetParam().name), "");
}

INSTANTIATE_TEST_SUITE_P(Screens, Golden_Test, ::testing::ValuesIn(scenes),
                         [](const auto& scene) { return std::string(scene.param.name); });

} // namespace
