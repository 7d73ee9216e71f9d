// The main menu and the about screen: layout, focus, mouse, where each button leads, the fresh
// saved game on entry, and leaving the program from the menu.
#include "game_test.h"

#include "app/vextile.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "ui/main_menu_state.h"

#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Menu_Test = Game_Test;

Bytes fresh_record_image() {
    Bytes image(PLAY_RECORD_SIZE);
    encode_play_record(Play_Record(), image.data());
    return image;
}

Main_Menu_State* enter_menu() {
    app.enter_state(STATE_MAIN_MENU);
    return static_cast<Main_Menu_State*>(app.state.get());
}

TEST_F(Menu_Test, TheFocusWrapsBothWaysAndFollowsTheMouse) {
    Main_Menu_State* const menu = enter_menu();
    EXPECT_TRUE(menu->handle_command(CMD_UP, nullptr) && menu->focus.focus() == 3) << "from 0";
    EXPECT_TRUE(menu->handle_command(CMD_DOWN_PRESS, nullptr) && menu->focus.focus() == 0);
    EXPECT_TRUE(menu->handle_mouse(MOUSE_MOTION, 81, 207) && menu->focus.focus() == 2);
    EXPECT_FALSE(menu->handle_mouse(MOUSE_MOTION, 1, 1) ||
                 menu->handle_mouse(MOUSE_MOTION, 80, 237));
    EXPECT_TRUE(menu->buttons[2].highlighted) << "moving off, or onto the left edge, keeps it";
    EXPECT_TRUE(app.send_command(CMD_ENTER));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST) << "Enter presses the focused button";
}

// The 160 x 24 buttons of the game's art stand over the title from 320 - 6 * (24 + 24 / 4), 6
// pixels apart and 12 under start game, centred from x 80. A click leads to each button's screen;
// start game alone begins a new game: in progress, not over nor paused, all counts zero.
TEST_F(Menu_Test, TheButtonsStandCentredAndAClickButNotOnTheLeftEdgeLeadsToTheirScreens) {
    const int rows[][3] = {{BMP_BUTTON_START_GAME, 140, STATE_PLAY},
                           {BMP_BUTTON_OPTIONS, 176, STATE_OPTIONS},
                           {BMP_BUTTON_HIGH_SCORES, 206, STATE_SCORE_LIST},
                           {BMP_BUTTON_ABOUT, 236, STATE_ABOUT}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        Main_Menu_State* const menu = enter_menu();
        EXPECT_EQ(background, zgl_get_bitmap(BMP_TITLE));
        play_record.flags = FLAG_GAME_OVER | FLAG_PAUSED;
        play_record.score = play_record.level = play_record.flares = 3;
        const UI_Bmp_Button& b = menu->buttons[i];
        EXPECT_EQ(std::vector<int>({b.bitmap, b.x, b.y, b.width, b.height}),
                  std::vector<int>({rows[i][0], 80, rows[i][1], 160, 24}));
        EXPECT_FALSE(menu->handle_mouse(MOUSE_PRESS, b.x, b.y + 12)) << "the left edge";
        EXPECT_TRUE(app.send_mouse(MOUSE_PRESS, b.x + 1, b.y + 12)); // gone from here on
        EXPECT_EQ(play_record.state_id, rows[i][2]);
        const uint32_t flags = FLAG_IN_PROGRESS | FLAG_GAME_OVER | FLAG_PAUSED;
        const int counts = play_record.score + play_record.level + play_record.flares;
        EXPECT_EQ((play_record.flags & flags) == FLAG_IN_PROGRESS && counts == 0, i == 0);
    }
}

// Escape ends the main loop, and the shutdown that follows leaves the fresh record in the file.
TEST_F(Menu_Test, EnteringReplacesAPendingSavedGameWithAFreshOneAndEscapeLeavesWithoutSaving) {
    play_record.score = 777;
    play_record.flags = FLAG_IN_PROGRESS | FLAG_PAUSED;
    save_saved_game(&play_record);
    enter_menu();
    const Bytes written = read_file_bytes(SAVED_GAME_FILE_NAME);
    ASSERT_EQ(written.size(), 1348u);
    EXPECT_EQ(written, fresh_record_image());
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 4), Bytes(4, 0xff)) << "state id -1";
    EXPECT_EQ(play_record.score, 777) << "the game in memory is not touched";
    SDL_Event escape{};
    escape.type = SDL_KEYDOWN;
    escape.key.keysym.sym = SDLK_ESCAPE;
    EXPECT_FALSE(app.dispatch_event(escape)) << "the main loop ends";
    app.close_game();
    EXPECT_EQ(read_file_bytes(SAVED_GAME_FILE_NAME), fresh_record_image());
    EXPECT_EQ(app.state, nullptr);
}

using About_Test = Game_Test;

TEST_F(About_Test, EnterEscapeOrAClickReturnToTheMenu) {
    for (int way = 0; way < 3; ++way) {
        app.enter_state(STATE_ABOUT);
        EXPECT_FALSE(app.send_command(CMD_SPACE, nullptr) ||
                     app.send_mouse(MOUSE_RELEASE, 100, 100));
        EXPECT_TRUE(way == 2 ? app.send_mouse(MOUSE_PRESS, 3, 3)
                             : app.send_command(way ? CMD_ESCAPE : CMD_ENTER, nullptr));
        EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU) << way;
    }
}

} // namespace
