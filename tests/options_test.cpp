// The options screen: the boxes show the game's options, OK writes them back (and only the three
// bits of the boxes), Cancel drops the change; keyboard focus and the mouse; resuming the screen.
#include "game_test.h"

#include "app/vextile.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/options_file.h"
#include "ui/options_state.h"

#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes image_of(const Options_Record& options) {
    Bytes image(OPTIONS_RECORD_SIZE);
    encode_options(options, image.data());
    return image;
}

class Options_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        enter_options();
    }
    void enter_options() {
        app.change_state(STATE_OPTIONS);
        screen_state = static_cast<Options_State*>(app.state.get());
    }
    std::string options_file() const { return dir->file(OPTIONS_FILE_NAME); }
    bool still_here() const { return play_record.state_id == STATE_OPTIONS; }
    int checked(int box) const { return screen_state->boxes[box].checked; }
    void command(Command c) { screen_state->handle_command(c, nullptr); }
    // The only highlighted control: 0..2 the boxes, 3 OK, 4 Cancel; -1 none, -2 several.
    int highlighted() const {
        const UI_Control* controls[] = {&screen_state->boxes[0], &screen_state->boxes[1],
                                        &screen_state->boxes[2], &screen_state->ok,
                                        &screen_state->cancel};
        int found = -1;
        for (int i = 0; i < 5; ++i) {
            if (!controls[i]->highlighted) continue;
            if (found >= 0) return -2;
            found = i;
        }
        return found;
    }
    static int centre_x(const UI_Control& c) { return c.x + c.width / 2; }
    static int centre_y(const UI_Control& c) { return c.y + c.height / 2; }

    Options_State* screen_state = nullptr;
};

// ---- What the screen shows ---------------------------------------------------------------------

TEST_F(Options_Test, LaysOutTheBoxesAndButtons) {
    EXPECT_EQ(background, zgl_get_bitmap(BMP_DEFAULT_BG));
    const int line = text_height();
    int y = 3 * line;
    for (const UI_Bmp_Checkbox& box : screen_state->boxes) {
        EXPECT_EQ(box.x, 16);
        EXPECT_EQ(box.width, 304);
        EXPECT_EQ(box.y, y);
        EXPECT_GE(box.height, line);
        y += line + box.height;
    }
    const UI_Bmp_Button& ok = screen_state->ok;
    const UI_Bmp_Button& cancel = screen_state->cancel;
    EXPECT_EQ(ok.bitmap, BMP_BUTTON_OK);
    EXPECT_EQ(cancel.bitmap, BMP_BUTTON_CANCEL);
    EXPECT_EQ(ok.y, 320 - line - ok.height);
    EXPECT_EQ(cancel.y, ok.y);
    EXPECT_EQ(ok.x, (160 - ok.width) / 2);
    EXPECT_EQ(cancel.x, ok.x + 160);
    EXPECT_EQ(highlighted(), 0);
}

TEST_F(Options_Test, TheBoxesShowTheGamesOptions) {
    EXPECT_EQ(checked(0), 0);
    EXPECT_EQ(checked(1), 1) << "special blocks are on by default";
    EXPECT_EQ(checked(2), 0);
    app.options.flags = opt_random_colors | opt_uncontrolled_drop;
    enter_options();
    EXPECT_EQ(checked(0), 1);
    EXPECT_EQ(checked(1), 0);
    EXPECT_EQ(checked(2), 1);
}

TEST_F(Options_Test, TheFileIsReadOnlyToReportADamagedOne) {
    app.change_state(STATE_NONE);
    write_file_bytes(options_file(), Bytes(20, 0x09)); // too short; would tick boxes 0 and 2
    Stderr_Capture errors;
    enter_options();
    EXPECT_EQ(errors.count("options file is corrupt -- regenerating list\n"), 1);
    EXPECT_EQ(checked(0), 0);
    EXPECT_EQ(checked(1), 1);
    EXPECT_EQ(checked(2), 0);
    EXPECT_EQ(screen_state->options.flags, opt_special_blocks);
}

TEST_F(Options_Test, DrawsTheTitleTheBoxesAndTheButtons) {
    paint_screen(0, 0, 0);
    screen_state->do_frame();
    const SDL_Color red = {255, 0, 0, 0};
    const UI_Bmp_Checkbox& first = screen_state->boxes[0];
    EXPECT_TRUE(same_colour(colour_at(nullptr, first.x - 1, first.y - 1), red)) << "focus frame";
    SDL_Surface* ticked = zgl_get_bitmap(BMP_CHECKBOX1);
    const UI_Bmp_Checkbox& second = screen_state->boxes[1];
    EXPECT_TRUE(
        same_colour(colour_at(nullptr, second.x + 8, second.y + 8), colour_at(ticked, 8, 8)));
    SDL_Surface* cancel = zgl_get_bitmap(BMP_BUTTON_CANCEL);
    const UI_Bmp_Button& button = screen_state->cancel;
    EXPECT_TRUE(same_colour(colour_at(nullptr, centre_x(button), centre_y(button)),
                            colour_at(cancel, button.width / 2, button.height / 2)));
}

// ---- OK and Cancel ---------------------------------------------------------------------------

TEST_F(Options_Test, CancelLeavesTheOptionsAndTheFileAsTheyWere) {
    command(CMD_SPACE);
    ASSERT_EQ(checked(0), 1);
    EXPECT_TRUE(screen_state->handle_command(Options_State::ACTION_CANCEL, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(app.options.flags, opt_special_blocks);
    EXPECT_FALSE(file_exists(options_file()));

    // The same with a file in place, leaving through the focused Cancel button.
    const Bytes kept = {1, 0, 0, 0, 50, 0, 0, 0};
    Bytes file = kept;
    file.resize(OPTIONS_RECORD_SIZE, 7);
    write_file_bytes(options_file(), file);
    enter_options();
    command(CMD_SPACE);
    command(CMD_UP);
    command(CMD_ENTER);
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(app.options.flags, opt_special_blocks);
    EXPECT_EQ(read_file_bytes(options_file()), file);
}

TEST_F(Options_Test, OkWithNothingChangedStillWritesTheFile) {
    EXPECT_TRUE(screen_state->handle_command(Options_State::ACTION_OK, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    const Bytes written = read_file_bytes(options_file());
    EXPECT_EQ(written.size(), 36u);
    EXPECT_EQ(written, image_of(app.options));
    EXPECT_EQ(app.options.flags, opt_special_blocks);
    EXPECT_EQ(app.options.opt_special_chance, 33);
}

TEST_F(Options_Test, OkWritesTheThreeBoxesAndKeepsEveryOtherBitAndByte) {
    app.options.flags = 0xf0000000u | 0xf0u | opt_reserved_bit | opt_special_blocks;
    app.options.opt_special_chance = 77;
    for (int i = 0; i < 28; ++i)
        app.options.reserved[i] = static_cast<uint8_t>(i + 1);
    enter_options();
    command(CMD_SPACE); // random colours on
    command(CMD_DOWN_PRESS);
    command(CMD_SPACE); // special blocks off
    command(CMD_DOWN_PRESS);
    command(CMD_SPACE); // uncontrolled drop on
    command(Options_State::ACTION_OK);

    const uint32_t expected =
        0xf0000000u | 0xf0u | opt_reserved_bit | opt_random_colors | opt_uncontrolled_drop;
    EXPECT_EQ(app.options.flags, expected);
    EXPECT_EQ(app.options.opt_special_chance, 77);
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ(app.options.reserved[i], i + 1) << i;
    const Bytes written = read_file_bytes(options_file());
    ASSERT_EQ(written.size(), 36u);
    EXPECT_EQ(written, image_of(app.options));
    EXPECT_EQ(written[0], 0xfd);
    EXPECT_EQ(written[3], 0xf0);
    EXPECT_EQ(written[4], 77);
    EXPECT_EQ(written[35], 28);
}

TEST_F(Options_Test, EnterOnTheFocusedOkSavesAndReturns) {
    command(CMD_ENTER); // the first box
    EXPECT_TRUE(still_here());
    command(CMD_UP);
    command(CMD_UP);
    ASSERT_EQ(highlighted(), Options_State::FOCUS_OK);
    EXPECT_TRUE(screen_state->handle_command(CMD_ENTER, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(app.options.flags, opt_special_blocks | opt_random_colors);
    EXPECT_EQ(read_file_bytes(options_file()), image_of(app.options));
}

TEST_F(Options_Test, EscapeIsNotAWayOut) {
    EXPECT_FALSE(screen_state->handle_command(CMD_ESCAPE, nullptr));
    EXPECT_TRUE(still_here());
    EXPECT_EQ(app.state.get(), screen_state);
    EXPECT_FALSE(file_exists(options_file()));
}

// ---- Keyboard -------------------------------------------------------------------------------

TEST_F(Options_Test, TheFocusWrapsBetweenTheFirstBoxAndCancel) {
    EXPECT_TRUE(screen_state->handle_command(CMD_UP, nullptr));
    EXPECT_EQ(highlighted(), Options_State::FOCUS_CANCEL);
    EXPECT_TRUE(screen_state->handle_command(CMD_DOWN_PRESS, nullptr));
    EXPECT_EQ(highlighted(), 0);
    for (int expected = 1; expected <= 4; ++expected) {
        command(CMD_DOWN_PRESS);
        EXPECT_EQ(highlighted(), expected);
    }
}

TEST_F(Options_Test, SpaceFlipsTheFocusedBox) {
    command(CMD_DOWN_PRESS);
    EXPECT_TRUE(screen_state->handle_command(CMD_SPACE, nullptr));
    EXPECT_EQ(checked(1), 0);
    EXPECT_TRUE(screen_state->handle_command(CMD_TEXT_SPACE, nullptr));
    EXPECT_EQ(checked(1), 1);
    EXPECT_TRUE(screen_state->handle_command(CMD_ENTER, nullptr));
    EXPECT_EQ(checked(1), 0);
    EXPECT_EQ(checked(0), 0);
    EXPECT_EQ(checked(2), 0);
    EXPECT_EQ(app.options.flags, opt_special_blocks) << "nothing is applied before OK";
}

TEST_F(Options_Test, SpaceOnAButtonDoesNothing) {
    command(CMD_UP);
    command(CMD_UP);
    ASSERT_EQ(highlighted(), Options_State::FOCUS_OK);
    EXPECT_FALSE(screen_state->handle_command(CMD_SPACE, nullptr));
    EXPECT_FALSE(screen_state->handle_command(CMD_TEXT_SPACE, nullptr));
    command(CMD_DOWN_PRESS);
    EXPECT_FALSE(screen_state->handle_command(CMD_SPACE, nullptr));
    EXPECT_TRUE(still_here());
    EXPECT_EQ(checked(0), 0);
    EXPECT_EQ(checked(1), 1);
    EXPECT_EQ(checked(2), 0);
    EXPECT_FALSE(file_exists(options_file()));
}

// ---- Mouse ----------------------------------------------------------------------------------

TEST_F(Options_Test, AClickOnALabelFlipsTheBox) {
    const UI_Bmp_Checkbox& box = screen_state->boxes[2];
    const int label_x = box.x + box.box_width + letter_width() / 2;
    EXPECT_TRUE(screen_state->handle_mouse(MOUSE_PRESS, label_x + 5, box.y + 3));
    EXPECT_EQ(checked(2), 1);
    // The clickable rectangle reaches the right edge, past the drawn label column.
    EXPECT_TRUE(screen_state->handle_mouse(MOUSE_PRESS, 318, box.y + 3));
    EXPECT_EQ(checked(2), 0);
    EXPECT_TRUE(screen_state->handle_mouse(MOUSE_PRESS, box.x + 1, box.y + 1));
    EXPECT_EQ(checked(2), 1);
    EXPECT_FALSE(screen_state->handle_mouse(MOUSE_PRESS, box.x, box.y + 3)) << "the left edge";
    EXPECT_EQ(checked(2), 1);
    EXPECT_EQ(checked(1), 1);
    EXPECT_EQ(highlighted(), 0) << "a click does not move the focus";
    EXPECT_TRUE(still_here());
}

TEST_F(Options_Test, ClicksOnTheButtons) {
    screen_state->handle_mouse(MOUSE_PRESS, centre_x(screen_state->boxes[0]),
                               centre_y(screen_state->boxes[0]));
    const UI_Bmp_Button& cancel = screen_state->cancel;
    EXPECT_TRUE(screen_state->handle_mouse(MOUSE_PRESS, centre_x(cancel), centre_y(cancel)));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_FALSE(file_exists(options_file()));
    EXPECT_EQ(app.options.flags, opt_special_blocks);

    enter_options();
    screen_state->handle_mouse(MOUSE_PRESS, centre_x(screen_state->boxes[0]),
                               centre_y(screen_state->boxes[0]));
    const UI_Bmp_Button& ok = screen_state->ok;
    EXPECT_FALSE(screen_state->handle_mouse(MOUSE_RELEASE, centre_x(ok), centre_y(ok)));
    EXPECT_TRUE(still_here());
    EXPECT_TRUE(screen_state->handle_mouse(MOUSE_PRESS, centre_x(ok), centre_y(ok)));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(app.options.flags, opt_special_blocks | opt_random_colors);
    EXPECT_EQ(read_file_bytes(options_file()), image_of(app.options));
}

TEST_F(Options_Test, TheMouseMovesTheFocus) {
    const UI_Bmp_Checkbox& box = screen_state->boxes[2];
    EXPECT_FALSE(screen_state->handle_mouse(MOUSE_MOTION, centre_x(box), centre_y(box)));
    EXPECT_EQ(highlighted(), 2);
    const UI_Bmp_Button& cancel = screen_state->cancel;
    screen_state->handle_mouse(MOUSE_MOTION, centre_x(cancel), centre_y(cancel));
    EXPECT_EQ(highlighted(), Options_State::FOCUS_CANCEL);
    screen_state->handle_mouse(MOUSE_MOTION, 2, 2);
    EXPECT_EQ(highlighted(), Options_State::FOCUS_CANCEL) << "moving off keeps the focus";
    command(CMD_DOWN_PRESS);
    EXPECT_EQ(highlighted(), 0);
}

// ---- Resuming -------------------------------------------------------------------------------

TEST_F(Options_Test, QuittingFromOptionsAndStartingAgainOpensOptions) {
    // What the shutdown leaves in the file, then a start from it.
    play_record.flags |= FLAG_PAUSED;
    save_saved_game(&play_record);
    app.change_state(STATE_NONE);
    set_background(BMP_NONE);
    play_record = Play_Record();
    app.load_records();
    ASSERT_EQ(play_record.state_id, STATE_OPTIONS);
    app.enter_saved_state();
    EXPECT_NE(dynamic_cast<Options_State*>(app.state.get()), nullptr);
    EXPECT_EQ(background, zgl_get_bitmap(BMP_DEFAULT_BG));
}

} // namespace
