// The options screen: OK writes back the three boxes (and only their bits), Cancel drops the
// change; the keyboard focus and the mouse; resuming the screen from a saved game.
#include "game_test.h"

#include "app/vextile.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/options_file.h"
#include "ui/options_state.h"

#include <string>
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
    bool command(Command c) { return screen_state->handle_command(c, nullptr); }
    bool press(int x, int y) { return screen_state->handle_mouse(MOUSE_PRESS, x, y); }
    std::string options_file() const { return dir->file(OPTIONS_FILE_NAME); }
    // The boxes ticked, then the controls highlighted (boxes, OK, Cancel): e.g. "010 10000".
    std::string shown() const {
        const UI_Control* controls[] = {&screen_state->boxes[0], &screen_state->boxes[1],
                                        &screen_state->boxes[2], &screen_state->ok,
                                        &screen_state->cancel};
        std::string text;
        for (const UI_Bmp_Checkbox& box : screen_state->boxes)
            text += box.checked ? '1' : '0';
        text += ' ';
        for (const UI_Control* c : controls)
            text += c->highlighted ? '1' : '0';
        return text;
    }
    Options_State* screen_state = nullptr;
};

TEST_F(Options_Test, CancelLeavesTheOptionsAndTheFileAsTheyWere) {
    Bytes file = {1, 0, 0, 0, 50};
    file.resize(OPTIONS_RECORD_SIZE, 7);
    write_file_bytes(options_file(), file);
    command(CMD_SPACE);
    EXPECT_TRUE(command(Options_State::ACTION_CANCEL));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(app.options.flags, opt_special_blocks);
    EXPECT_EQ(read_file_bytes(options_file()), file);
}

TEST_F(Options_Test, OkWithNothingChangedStillWritesTheFile) {
    EXPECT_TRUE(command(Options_State::ACTION_OK));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(app.options.flags, opt_special_blocks);
    EXPECT_EQ(read_file_bytes(options_file()), image_of(app.options));
}

TEST_F(Options_Test, OkWritesTheThreeBoxesAndKeepsEveryOtherBitAndByte) {
    app.options.flags = 0xf00000f0u | opt_reserved_bit | opt_special_blocks;
    app.options.opt_special_chance = 77;
    for (int i = 0; i < 28; ++i)
        app.options.reserved[i] = static_cast<uint8_t>(i + 1);
    enter_options();
    for (int box = 0; box < 3; ++box) {
        command(CMD_SPACE); // random colours on, special blocks off, uncontrolled drop on
        command(CMD_DOWN_PRESS);
    }
    command(Options_State::ACTION_OK);
    // Flags 0xf00000f0 | reserved bit | random colours | uncontrolled drop, then the chance.
    Bytes expected = {0xfd, 0, 0, 0xf0, 77, 0, 0, 0};
    for (int i = 0; i < 28; ++i)
        expected.push_back(static_cast<unsigned char>(i + 1));
    EXPECT_EQ(read_file_bytes(options_file()), expected);
    EXPECT_EQ(image_of(app.options), expected);
}

TEST_F(Options_Test, KeysMoveTheWrappingFocusFlipTheFocusedBoxAndPressTheFocusedOk) {
    EXPECT_TRUE(command(CMD_UP));
    EXPECT_EQ(shown(), "010 00001") << "up from the first box reaches Cancel";
    EXPECT_TRUE(command(CMD_DOWN_PRESS));
    EXPECT_EQ(shown(), "010 10000") << "and down from Cancel the first box";
    EXPECT_TRUE(command(CMD_SPACE));
    EXPECT_EQ(shown(), "110 10000");
    EXPECT_EQ(app.options.flags, opt_special_blocks) << "nothing is applied before OK";
    command(CMD_UP);
    command(CMD_UP);
    ASSERT_EQ(shown(), "110 00010");
    EXPECT_FALSE(command(CMD_SPACE) || command(CMD_TEXT_SPACE)) << "space on a button";
    ASSERT_EQ(play_record.state_id, STATE_OPTIONS);
    EXPECT_EQ(shown(), "110 00010");
    EXPECT_TRUE(command(CMD_ENTER));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(app.options.flags, opt_special_blocks | opt_random_colors);
    EXPECT_EQ(read_file_bytes(options_file()), image_of(app.options));
}

TEST_F(Options_Test, AClickOnALabelFlipsTheBoxAndTheMouseMovesTheFocus) {
    const UI_Bmp_Checkbox& box = screen_state->boxes[2];
    EXPECT_TRUE(press(box.x + box.box_width + letter_width(), box.y + 3));
    EXPECT_FALSE(press(box.x, box.y + 3)) << "the left edge";
    EXPECT_EQ(shown(), "011 10000") << "a click does not move the focus";
    const UI_Bmp_Button& cancel = screen_state->cancel;
    screen_state->handle_mouse(MOUSE_MOTION, cancel.x + 1, cancel.y + 1);
    screen_state->handle_mouse(MOUSE_MOTION, 2, 2);
    EXPECT_EQ(shown(), "011 00001") << "moving off keeps the focus";
    EXPECT_TRUE(press(cancel.x + 1, cancel.y + 1));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_FALSE(file_exists(options_file()));
}

TEST_F(Options_Test, AGameQuitFromOptionsStartsAgainInOptions) {
    save_saved_game(&play_record); // what the shutdown leaves in the file
    app.change_state(STATE_NONE);
    play_record = Play_Record();
    app.load_records();
    ASSERT_EQ(play_record.state_id, 10);
    app.enter_saved_state();
    EXPECT_NE(dynamic_cast<Options_State*>(app.state.get()), nullptr);
}

} // namespace
