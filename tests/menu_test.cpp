// The main menu and the about screen: layout, focus, mouse, where each button leads, the fresh
// saved game on entry, and leaving the program from the menu.
#include "game_test.h"

#include "app/vextile.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "ui/main_menu_state.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Bytes = std::vector<unsigned char>;

// The 160 x 24 buttons of the game's art stand from 320 - 6 * (24 + 24 / 4), 6 pixels apart
// and 12 under start game, centred from x 80.
constexpr int TOPS[] = {140, 176, 206, 236};

Bytes fresh_record_image() {
    Bytes image(PLAY_RECORD_SIZE);
    encode_play_record(Play_Record(), image.data());
    return image;
}

class Menu_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        enter_menu();
    }
    void enter_menu() {
        app.change_state(STATE_MAIN_MENU);
        menu = static_cast<Main_Menu_State*>(app.state.get());
    }
    // Which buttons carry the highlight, e.g. "0100".
    std::string lit() const {
        std::string flags;
        for (const UI_Bmp_Button& b : menu->buttons)
            flags += b.highlighted ? '1' : '0';
        return flags;
    }
    bool press(int x, int button) { return menu->handle_mouse(MOUSE_PRESS, x, TOPS[button] + 12); }
    Main_Menu_State* menu = nullptr;
};

TEST_F(Menu_Test, StacksTheButtonsCentredWithTwiceTheGapUnderStartGame) {
    EXPECT_EQ(background, zgl_get_bitmap(BMP_TITLE));
    const Bitmap_Id ids[] = {BMP_BUTTON_START_GAME, BMP_BUTTON_OPTIONS, BMP_BUTTON_HIGH_SCORES,
                             BMP_BUTTON_ABOUT};
    for (int i = 0; i < 4; ++i) {
        const UI_Bmp_Button& b = menu->buttons[i];
        EXPECT_EQ(std::vector<int>({b.bitmap, b.x, b.y, b.width, b.height}),
                  std::vector<int>({ids[i], 80, TOPS[i], 160, 24}))
            << i;
    }
}

TEST_F(Menu_Test, TheFocusWrapsBothWaysAndTheMouseMovesIt) {
    EXPECT_EQ(lit(), "1000");
    EXPECT_TRUE(menu->handle_command(CMD_UP, nullptr));
    EXPECT_EQ(lit(), "0001") << "up from start game reaches about";
    EXPECT_TRUE(menu->handle_command(CMD_DOWN_PRESS, nullptr));
    EXPECT_EQ(lit(), "1000") << "down from about reaches start game";
    EXPECT_TRUE(menu->handle_mouse(MOUSE_MOTION, 81, TOPS[2] + 1));
    EXPECT_EQ(lit(), "0010");
    EXPECT_FALSE(menu->handle_mouse(MOUSE_MOTION, 2, 2));
    EXPECT_FALSE(menu->handle_mouse(MOUSE_MOTION, 80, TOPS[2] + 1)) << "on the edge";
    EXPECT_EQ(lit(), "0010") << "moving off keeps the highlight";
    menu->handle_command(CMD_DOWN_PRESS, nullptr);
    EXPECT_EQ(lit(), "0001") << "the keys go on from there";
}

// Start game alone begins a new game: in progress, not over nor paused, all counts zero.
TEST_F(Menu_Test, ButtonsLeadToTheirScreensByCommandEnterAndClickButNotByALeftEdge) {
    EXPECT_FALSE(press(80, 1));
    EXPECT_EQ(app.state.get(), menu);
    const State_Id targets[] = {STATE_PLAY, STATE_OPTIONS, STATE_SCORE_LIST, STATE_ABOUT};
    for (int button = 0; button < 4; ++button) {
        for (int way = 0; way < 3; ++way) {
            SCOPED_TRACE(::testing::Message() << button << " way " << way);
            enter_menu();
            play_record.flags = FLAG_GAME_OVER | FLAG_PAUSED;
            play_record.score = play_record.level = play_record.flares = 3;
            for (int i = 0; way == 1 && i < button; ++i)
                menu->handle_command(CMD_DOWN_PRESS, nullptr);
            EXPECT_TRUE(way == 0   ? menu->handle_command(button, nullptr)
                        : way == 1 ? menu->handle_command(CMD_ENTER, nullptr)
                                   : press(81, button));
            EXPECT_EQ(play_record.state_id, targets[button]);
            ASSERT_NE(app.state, nullptr);
            const uint32_t flags =
                play_record.flags & (FLAG_IN_PROGRESS | FLAG_GAME_OVER | FLAG_PAUSED);
            EXPECT_EQ(flags == FLAG_IN_PROGRESS &&
                          play_record.score + play_record.level + play_record.flares == 0,
                      button == 0);
        }
    }
}

TEST_F(Menu_Test, EnteringTheMenuReplacesAPendingSavedGameWithAFreshRecord) {
    play_record.state_id = STATE_PLAY;
    play_record.score = 777;
    save_saved_game(&play_record);
    ASSERT_NE(read_file_bytes(SAVED_GAME_FILE_NAME), fresh_record_image());
    enter_menu();
    const Bytes written = read_file_bytes(SAVED_GAME_FILE_NAME);
    ASSERT_EQ(written.size(), 1348u);
    EXPECT_EQ(written, fresh_record_image());
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 4), Bytes(4, 0xff)) << "state id -1";
    EXPECT_EQ(play_record.score, 777) << "the game in memory is not touched";
}

// Run at exit by the program that left through the menu: a shutdown would have saved the game.
void fail_unless_fresh_record_at_exit() {
    if (read_file_bytes(SAVED_GAME_FILE_NAME) != fresh_record_image()) _exit(3);
}

TEST_F(Menu_Test, EscapeEndsTheProgramAtOnceWithStatusZeroAndNoSave) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    play_record.flags = FLAG_IN_PROGRESS | FLAG_PAUSED;
    EXPECT_EXIT(
        {
            std::atexit(fail_unless_fresh_record_at_exit);
            menu->handle_command(CMD_ESCAPE, nullptr);
        },
        ::testing::ExitedWithCode(0), "");
}

using About_Test = Game_Test;

TEST_F(About_Test, EnterEscapeOrAClickReturnToTheMenu) {
    for (int way = 0; way < 3; ++way) {
        app.change_state(STATE_ABOUT);
        Game_State* const about = app.state.get();
        EXPECT_FALSE(about->handle_command(CMD_SPACE, nullptr));
        EXPECT_FALSE(about->handle_mouse(MOUSE_RELEASE, 100, 100));
        EXPECT_EQ(play_record.state_id, STATE_ABOUT);
        EXPECT_TRUE(way == 2 ? about->handle_mouse(MOUSE_PRESS, 3, 3)
                             : about->handle_command(way ? CMD_ESCAPE : CMD_ENTER, nullptr));
        EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU) << way;
    }
}

} // namespace
