// The options screen: OK writes back the three boxes (and only their bits), Cancel drops the
// change; the keyboard focus and the mouse; resuming the screen from a saved game.
#include "game_test.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/options_file.h"
#include "ui/options_state.h"

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Options_Test = Game_Test;

Bytes image_of(const Options_Record& options) {
    Bytes image(OPTIONS_RECORD_SIZE);
    encode_options(options, image.data());
    return image;
}

Options_State* enter_options() {
    app.enter_state(STATE_OPTIONS);
    return static_cast<Options_State*>(app.state.get());
}

// The boxes ticked and the control that has the focus (boxes 0 to 2, OK 3, Cancel 4): "010 0".
std::string shown(const Options_State& screen) {
    std::string text;
    for (const UI_Bmp_Checkbox& box : screen.boxes)
        text += box.checked ? '1' : '0';
    return text + ' ' + std::to_string(screen.focus.focus());
}

// A click on a label flips its box without moving the focus; moving onto Cancel and off keeps
// it there. Cancel leaves the options and the file; the screen shows the game's options, not the
// file's, and OK with nothing changed still writes them.
TEST_F(Options_Test, CancelByMouseLeavesTheOptionsAndTheFileAndOkWithNothingChangedStillWrites) {
    Bytes file = {1, 0, 0, 0, 50};
    file.resize(OPTIONS_RECORD_SIZE, 7);
    write_file_bytes(OPTIONS_FILE_NAME, file);
    Options_State* const screen = enter_options();
    const UI_Bmp_Checkbox& box = screen->boxes[2];
    const UI_Bmp_Button& cancel = screen->cancel;
    EXPECT_FALSE(screen->handle_mouse(MOUSE_PRESS, box.x, box.y + 3)) << "the left edge";
    EXPECT_TRUE(screen->handle_mouse(MOUSE_PRESS, box.x + box.box_width + 9, box.y + 3));
    EXPECT_EQ(shown(*screen), "011 0");
    screen->handle_mouse(MOUSE_MOTION, cancel.x + 1, cancel.y + 1);
    screen->handle_mouse(MOUSE_MOTION, 2, 2);
    EXPECT_EQ(shown(*screen), "011 4");
    EXPECT_TRUE(app.send_mouse(MOUSE_PRESS, cancel.x + 1, cancel.y + 1));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(game.options.flags, opt_special_blocks);
    EXPECT_EQ(read_file_bytes(OPTIONS_FILE_NAME), file);
    EXPECT_TRUE(enter_options()->handle_command(Options_State::ACTION_OK, nullptr));
    EXPECT_EQ(read_file_bytes(OPTIONS_FILE_NAME), image_of(game.options)) << "OK";
}

// Flags 0xf00000f0 | reserved bit | special blocks and 28 reserved bytes: the boxes flip random
// colours on, special blocks off and uncontrolled drop on, and Enter on OK keeps all the rest.
TEST_F(Options_Test, KeysMoveTheWrappingFocusFlipTheFocusedBoxAndEnterOnOkKeepsEveryOtherBit) {
    game.options.flags = 0xf00000f0u | opt_reserved_bit | opt_special_blocks;
    game.options.opt_special_chance = 77;
    Bytes expected = {0xfd, 0, 0, 0xf0, 77, 0, 0, 0};
    for (int i = 0; i < 28; ++i)
        expected.push_back(game.options.reserved[i] = static_cast<uint8_t>(i + 1));
    Options_State* const screen = enter_options();
    const auto command = [&](Command c) { return app.send_command(c); };
    EXPECT_TRUE(command(CMD_UP));
    EXPECT_EQ(shown(*screen), "010 4") << "up from the first box reaches Cancel";
    EXPECT_TRUE(command(CMD_DOWN_PRESS));
    EXPECT_EQ(shown(*screen), "010 0") << "and down from Cancel the first box";
    for (int box = 0; box < 3; ++box)
        EXPECT_TRUE(command(CMD_SPACE) && command(CMD_DOWN_PRESS));
    EXPECT_FALSE(command(CMD_SPACE) || command(CMD_TEXT_SPACE)) << "space on a button";
    EXPECT_EQ(shown(*screen), "101 3");
    EXPECT_TRUE(command(CMD_ENTER));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(read_file_bytes(OPTIONS_FILE_NAME), expected);
    EXPECT_EQ(image_of(game.options), expected);
}

TEST_F(Options_Test, AGameQuitFromOptionsStartsAgainInOptions) {
    enter_options();
    save_saved_game(&play_record); // what the shutdown leaves in the file
    app.enter_state(STATE_NONE);
    play_record = Play_Record();
    app.load_records();
    ASSERT_EQ(play_record.state_id, 10);
    app.enter_saved_state();
    EXPECT_NE(dynamic_cast<Options_State*>(app.state.get()), nullptr);
}

} // namespace
