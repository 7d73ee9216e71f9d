// The main menu and the about screen: layout, focus, mouse, where each button leads, the fresh
// saved game on entry, and leaving the program from the menu.
#include "game_test.h"

#include "app/vextile.h"
#include "media/video.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "ui/about_state.h"
#include "ui/main_menu_state.h"
#include "ui/texts.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <unistd.h>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes fresh_record_image() {
    const Play_Record fresh;
    Bytes image(PLAY_RECORD_SIZE);
    encode_play_record(fresh, image.data());
    return image;
}

// The rectangle's pixels as packed r-g-b words.
std::vector<Uint32> pixels(int left, int top, int width, int height) {
    std::vector<Uint32> out;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            const SDL_Color c = colour_at(nullptr, x, y);
            out.push_back(Uint32(c.r) << 16 | Uint32(c.g) << 8 | c.b);
        }
    }
    return out;
}

// Run at exit by the program that left through the menu: a shutdown would have saved the game.
void fail_unless_fresh_record_at_exit() {
    if (read_file_bytes(SAVED_GAME_FILE_NAME) != fresh_record_image()) _exit(3);
}

bool has_ink(int left, int top, int width, int height) {
    for (const Uint32 pixel : pixels(left, top, width, height))
        if (pixel != 0) return true;
    return false;
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
    int highlighted_button() const {
        int found = -1;
        for (int i = 0; i < Main_Menu_State::BUTTON_COUNT; ++i) {
            if (!menu->buttons[i].highlighted) continue;
            if (found >= 0) return -2; // more than one
            found = i;
        }
        return found;
    }
    static int centre_x(const UI_Control& c) { return c.x + c.width / 2; }
    static int centre_y(const UI_Control& c) { return c.y + c.height / 2; }

    Main_Menu_State* menu = nullptr;
};

// ---- Layout and drawing ---------------------------------------------------------------------

TEST_F(Menu_Test, StacksTheButtonsCentredFromTheStartButtonsHeight) {
    EXPECT_EQ(background, zgl_get_bitmap(BMP_TITLE));
    const UI_Bmp_Button* b = menu->buttons;
    const Bitmap_Id ids[] = {BMP_BUTTON_START_GAME, BMP_BUTTON_OPTIONS, BMP_BUTTON_HIGH_SCORES,
                             BMP_BUTTON_ABOUT};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(b[i].bitmap, ids[i]);
        ASSERT_GT(b[i].height, 0) << i;
        EXPECT_EQ(b[i].x, (320 - b[i].width) / 2) << i;
    }
    const int h0 = b[0].height;
    const int q = h0 / 4;
    EXPECT_EQ(b[0].y, 320 - 6 * (h0 + q));
    EXPECT_EQ(b[1].y, b[0].y + h0 + 2 * q);
    EXPECT_EQ(b[2].y, b[1].y + b[1].height + q);
    EXPECT_EQ(b[3].y, b[2].y + b[2].height + q);
    // With the 24-pixel buttons of the game's art.
    if (h0 == 24 && b[1].height == 24 && b[2].height == 24) {
        EXPECT_EQ(b[0].y, 140);
        EXPECT_EQ(b[1].y, 176);
        EXPECT_EQ(b[2].y, 206);
        EXPECT_EQ(b[3].y, 236);
    }
}

TEST_F(Menu_Test, WritesTheVersionInTheBottomLeftCorner) {
    EXPECT_STREQ(menu->version_text, "v.1.00");
    EXPECT_STREQ(text_of(TXT_VERSION), "") << "the version text is given back at once";
    const int top = 320 - text_height();
    paint_screen(0, 0, 0);
    write_text("v.1.00", 1, top);
    const std::vector<Uint32> expected = pixels(0, top, 160, text_height());
    ASSERT_TRUE(has_ink(0, top, 160, text_height()));
    paint_screen(0, 0, 0);
    menu->do_frame();
    EXPECT_EQ(pixels(0, top, 160, text_height()), expected);
}

TEST_F(Menu_Test, DrawsTheFocusFrameAroundTheFocusedButtonOnly) {
    paint_screen(0, 0, 0);
    menu->do_frame();
    const SDL_Color red = {255, 0, 0, 0};
    const UI_Bmp_Button& start = menu->buttons[0];
    const UI_Bmp_Button& about = menu->buttons[3];
    EXPECT_TRUE(same_colour(colour_at(nullptr, start.x - 1, start.y - 1), red));
    EXPECT_FALSE(same_colour(colour_at(nullptr, about.x - 1, about.y - 1), red));
}

// ---- Focus ------------------------------------------------------------------------------------

TEST_F(Menu_Test, TheFocusWrapsAtBothEnds) {
    EXPECT_EQ(highlighted_button(), 0);
    EXPECT_TRUE(menu->handle_command(CMD_UP, nullptr));
    EXPECT_EQ(highlighted_button(), 3) << "up from start game reaches about";
    EXPECT_TRUE(menu->handle_command(CMD_DOWN_PRESS, nullptr));
    EXPECT_EQ(highlighted_button(), 0) << "down from about reaches start game";
    menu->handle_command(CMD_DOWN_PRESS, nullptr);
    menu->handle_command(CMD_DOWN_PRESS, nullptr);
    EXPECT_EQ(highlighted_button(), 2);
    EXPECT_EQ(menu->focus.focus(), 2);
}

TEST_F(Menu_Test, OtherKeysAreNotUsed) {
    for (const Command command : {CMD_SPACE, CMD_LEFT_PRESS, CMD_DOWN_RELEASE, CMD_CHAR})
        EXPECT_FALSE(menu->handle_command(command, nullptr)) << command;
    const char w = 'w';
    EXPECT_FALSE(menu->handle_command(CMD_CHAR, &w));
    EXPECT_EQ(highlighted_button(), 0);
    EXPECT_EQ(app.state.get(), menu);
}

TEST_F(Menu_Test, TheMouseMovesTheFocusAndMovingOffKeepsIt) {
    const UI_Bmp_Button& scores = menu->buttons[2];
    EXPECT_TRUE(menu->handle_mouse(MOUSE_MOTION, centre_x(scores), centre_y(scores)));
    EXPECT_EQ(highlighted_button(), 2);
    EXPECT_FALSE(menu->handle_mouse(MOUSE_MOTION, 2, 2));
    EXPECT_FALSE(menu->handle_mouse(MOUSE_MOTION, scores.x, centre_y(scores))) << "on the edge";
    EXPECT_EQ(highlighted_button(), 2);
    EXPECT_EQ(menu->focus.focus(), 2);
    // The keys go on from where the mouse left the focus.
    menu->handle_command(CMD_DOWN_PRESS, nullptr);
    EXPECT_EQ(highlighted_button(), 3);
}

TEST_F(Menu_Test, MouseReleaseIsNotUsed) {
    const UI_Bmp_Button& options = menu->buttons[1];
    EXPECT_FALSE(menu->handle_mouse(MOUSE_RELEASE, centre_x(options), centre_y(options)));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

TEST_F(Menu_Test, AClickOnALeftEdgeDoesNothing) {
    const UI_Bmp_Button& options = menu->buttons[1];
    EXPECT_FALSE(menu->handle_mouse(MOUSE_PRESS, options.x, centre_y(options)));
    EXPECT_EQ(app.state.get(), menu);
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_TRUE(menu->handle_mouse(MOUSE_PRESS, options.x + 1, centre_y(options)));
    EXPECT_EQ(play_record.state_id, STATE_OPTIONS);
}

// ---- Where the buttons lead -------------------------------------------------------------------

TEST_F(Menu_Test, EachButtonLeadsToItsScreen) {
    const State_Id targets[] = {STATE_PLAY, STATE_OPTIONS, STATE_SCORE_LIST, STATE_ABOUT};
    for (Command button = 1; button < 4; ++button) {
        enter_menu();
        EXPECT_TRUE(menu->handle_command(button, nullptr));
        EXPECT_EQ(play_record.state_id, targets[button]) << button;
        ASSERT_NE(app.state, nullptr);
    }
    // The same through the keyboard and through the mouse.
    for (int button = 0; button < 4; ++button) {
        enter_menu();
        for (int i = 0; i < button; ++i)
            menu->handle_command(CMD_DOWN_PRESS, nullptr);
        EXPECT_TRUE(menu->handle_command(CMD_ENTER, nullptr));
        EXPECT_EQ(play_record.state_id, targets[button]) << "enter on " << button;
        enter_menu();
        const UI_Bmp_Button& b = menu->buttons[button];
        EXPECT_TRUE(menu->handle_mouse(MOUSE_PRESS, centre_x(b), centre_y(b)));
        EXPECT_EQ(play_record.state_id, targets[button]) << "click on " << button;
    }
}

TEST_F(Menu_Test, StartGameBeginsANewGame) {
    play_record.flags = FLAG_GAME_OVER | FLAG_PAUSED;
    play_record.score = 4321;
    play_record.level = 7;
    play_record.flares = 3;
    EXPECT_TRUE(menu->handle_command(Main_Menu_State::BUTTON_START_GAME, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_NE(app.state, nullptr);
    EXPECT_TRUE(play_record.flags & FLAG_IN_PROGRESS);
    EXPECT_FALSE(play_record.flags & (FLAG_GAME_OVER | FLAG_PAUSED));
    EXPECT_EQ(play_record.score, 0);
    EXPECT_EQ(play_record.flares, 0);
}

// ---- The saved game and leaving the program ---------------------------------------------------

TEST_F(Menu_Test, EnteringTheMenuReplacesAPendingSavedGameWithAFreshRecord) {
    app.change_state(STATE_NONE);
    play_record.state_id = STATE_PLAY;
    play_record.flags = FLAG_IN_PROGRESS | FLAG_PAUSED;
    play_record.score = 777;
    save_saved_game(&play_record);
    const Bytes pending = read_file_bytes(dir->file(SAVED_GAME_FILE_NAME));
    ASSERT_EQ(pending.size(), 1348u);

    enter_menu();
    const Bytes written = read_file_bytes(dir->file(SAVED_GAME_FILE_NAME));
    ASSERT_EQ(written.size(), 1348u);
    EXPECT_EQ(written, fresh_record_image());
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 4), Bytes(4, 0xff)) << "state id -1";
    EXPECT_EQ(play_record.score, 777) << "the game in memory is not touched";
}

TEST_F(Menu_Test, EscapeEndsTheProgramAtOnceWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // No shutdown runs on the way out: the file still holds the menu's fresh record, not a paused
    // game, when the program ends.
    EXPECT_EXIT(
        {
            std::atexit(fail_unless_fresh_record_at_exit);
            menu->handle_command(CMD_ESCAPE, nullptr);
        },
        ::testing::ExitedWithCode(0), "");
}

// ---- About ------------------------------------------------------------------------------------

class About_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        app.change_state(STATE_ABOUT);
        about = app.state.get();
    }
    Game_State* about = nullptr;
};

TEST_F(About_Test, ShowsItsTextsOverTheDefaultBackground) {
    EXPECT_EQ(background, zgl_get_bitmap(BMP_DEFAULT_BG));
    EXPECT_STREQ(text_of(TXT_PRESS_ENTER), "- press [enter] to continue -");
    const int line = text_height();
    paint_screen(0, 0, 0);
    about->do_frame();
    EXPECT_TRUE(has_ink(0, line, 320, line)) << "title";
    EXPECT_FALSE(has_ink(0, 2 * line, 320, line));
    EXPECT_TRUE(has_ink(0, 3 * line, 320, line)) << "owner";
    EXPECT_TRUE(has_ink(0, 4 * line, 320, line)) << "author";
    EXPECT_FALSE(has_ink(0, 5 * line, 320, 4 * line));
    EXPECT_TRUE(has_ink(0, 9 * line, 320, line)) << "contact";
    EXPECT_TRUE(has_ink(0, 320 - line, 320, line)) << "press enter";
    SDL_Surface* strip = zgl_get_bitmap(BMP_TEXT_BACKGROUND);
    EXPECT_TRUE(strip->flags & SDL_SRCALPHA);
    EXPECT_EQ(strip->format->alpha, 154);
}

TEST_F(About_Test, TheContactLineIsWrappedWithinTheMarginsAndCentred) {
    const int line = text_height();
    const int margin = letter_width();
    const int lines = wrapped_text_height(TXT_CONTACT_LINE, 320 - 2 * margin) / line;
    ASSERT_GT(lines, 1);
    paint_screen(0, 0, 0);
    about->do_frame();
    const int top = 9 * line;
    EXPECT_FALSE(has_ink(0, top, margin, lines * line));
    EXPECT_FALSE(has_ink(320 - margin, top, margin, lines * line));
    EXPECT_TRUE(has_ink(0, top + (lines - 1) * line, 320, line));
    EXPECT_FALSE(has_ink(0, top + lines * line, 320, line));
    // Each line's ink leaves about as much room on the left as on the right.
    for (int i = 0; i < lines; ++i) {
        int left = 320, right = -1;
        for (int x = 0; x < 320; ++x) {
            if (!has_ink(x, top + i * line, 1, line)) continue;
            left = std::min(left, x);
            right = x;
        }
        EXPECT_NEAR(left, 319 - right, margin) << "line " << i;
    }
}

TEST_F(About_Test, EnterEscapeOrAClickReturnToTheMenu) {
    EXPECT_FALSE(about->handle_command(CMD_SPACE, nullptr));
    EXPECT_FALSE(about->handle_mouse(MOUSE_MOTION, 100, 100));
    EXPECT_FALSE(about->handle_mouse(MOUSE_RELEASE, 100, 100));
    EXPECT_EQ(play_record.state_id, STATE_ABOUT);

    EXPECT_TRUE(about->handle_command(CMD_ENTER, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_STREQ(text_of(TXT_ABOUT_TITLE), "") << "the texts are given back";
    for (const Command command : {CMD_ESCAPE, CMD_ENTER}) {
        app.change_state(STATE_ABOUT);
        EXPECT_TRUE(app.state->handle_command(command, nullptr));
        EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    }
    app.change_state(STATE_ABOUT);
    EXPECT_TRUE(app.state->handle_mouse(MOUSE_PRESS, 3, 3));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

} // namespace
