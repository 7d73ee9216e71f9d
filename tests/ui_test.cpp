// The screens around the game: the splash, the main menu, options, the high-score entry and list,
// about, and the controls they are made of. How they look is in the golden pictures; here is where
// they lead and what they write.
#include "game_test.h"

#include "play/saved_game.h"
#include "store/options_file.h"
#include "store/score_file.h"
#include "ui/main_menu_state.h"
#include "ui/options_state.h"
#include "ui/score_input_state.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Ui_Test = Game_Test;

template <class State> State* enter(State_Id id) {
    app.enter_state(id);
    return dynamic_cast<State*>(app.state.get());
}

bool command(Command c) {
    return app.send_command(c);
}

bool click(const UI_Control& control, Mouse_Action action = MOUSE_PRESS) {
    return app.send_mouse(action, control.x + 1, control.y + 1);
}

// Frames of the given length while the state of the id is current, at most `limit`; answers how
// many ran.
int frames_in(State_Id id, double seconds, int limit) {
    int frames = 0;
    for (; play_record.state_id == id && frames < limit; ++frames)
        app.state_frame(seconds);
    return frames;
}

Bytes options_image(const Options_Record& options) {
    Bytes image(OPTIONS_RECORD_SIZE);
    encode_options(options, image.data());
    return image;
}

Bytes scores_image(const Score_Table& table) {
    Bytes image(SCORE_TABLE_SIZE);
    encode_score_table(table, image.data());
    return image;
}

// Every row of the score file as "name score,".
std::string score_rows() {
    Score_Table file;
    load_score_table(&file);
    std::string text;
    for (const Score_Entry& row : file.rows)
        text += std::string(row.name) + " " + std::to_string(row.score) + ",";
    return text;
}

} // namespace

// ---- splash ------------------------------------------------------------------------------------

// Two logos of a quarter second in, two seconds shown and a quarter out, then half a second of
// black: the menu after 5.5 s. Space cuts the logo on screen short; escape ends the splash at the
// next frame; in the closing pause space does nothing.
TEST_F(Ui_Test, TheSplashHandsOverToTheMenuAfterItsLogosOrEarlierWhenCutShort) {
    const struct {
        Command key;
        int at_frame, frames;
    } cases[] = {{0, 0, 550}, {CMD_SPACE, 50, 350}, {CMD_ESCAPE, 10, 11}, {CMD_SPACE, 510, 550}};
    for (const auto& c : cases) {
        app.enter_state(STATE_SPLASH);
        int frames = 0;
        for (; play_record.state_id == STATE_SPLASH && frames < 1000; ++frames) {
            if (frames == c.at_frame && c.key) command(c.key);
            app.state_frame(0.01);
        }
        // The timers count 0.01 s steps in single precision.
        EXPECT_NEAR(frames, c.frames, 4) << char(c.key) << " at " << c.at_frame;
        EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    }
    EXPECT_FALSE(enter<Game_State>(STATE_SPLASH)->handle_command(CMD_ENTER, nullptr));
    EXPECT_FALSE(app.send_mouse(MOUSE_PRESS, 10, 10));
}

// ---- main menu ---------------------------------------------------------------------------------

// Up from the first button wraps to the last; the pointer takes the focus; Enter presses it.
TEST_F(Ui_Test, TheMenuFocusWrapsAndFollowsTheMouseAndEnterPressesIt) {
    app.enter_state(STATE_MAIN_MENU);
    EXPECT_TRUE(command(CMD_UP) && command(CMD_ENTER));
    EXPECT_EQ(play_record.state_id, STATE_ABOUT);
    Main_Menu_State* const menu = enter<Main_Menu_State>(STATE_MAIN_MENU);
    EXPECT_TRUE(click(menu->buttons[2], MOUSE_MOTION));
    EXPECT_FALSE(app.send_mouse(MOUSE_MOTION, 1, 1)) << "off every button the focus stays";
    EXPECT_TRUE(command(CMD_ENTER));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
}

// The menu replaces a saved game with a fresh one (a program left from here starts with the
// splash); escape ends the main loop, and the shutdown that follows keeps that fresh record.
TEST_F(Ui_Test, TheMenuForgetsTheSavedGameAndEscapeLeavesWithoutSaving) {
    Bytes fresh(PLAY_RECORD_SIZE);
    encode_play_record(Play_Record(), fresh.data());
    play_record.score = 777;
    play_record.flags = FLAG_IN_PROGRESS | FLAG_PAUSED;
    save_saved_game(&play_record);
    app.enter_state(STATE_MAIN_MENU);
    EXPECT_EQ(read_file_bytes(SAVED_GAME_FILE_NAME), fresh);
    EXPECT_EQ(play_record.score, 777) << "the game in memory is not touched";
    SDL_Event escape{};
    escape.type = SDL_KEYDOWN;
    escape.key.keysym.sym = SDLK_ESCAPE;
    EXPECT_FALSE(app.dispatch_event(escape)) << "the main loop ends";
    app.close_game();
    EXPECT_EQ(read_file_bytes(SAVED_GAME_FILE_NAME), fresh);
}

// ---- options -----------------------------------------------------------------------------------

// The screen shows the game's options, not the file's. A click on a label flips its box; Cancel
// leaves the options and the file; OK with nothing changed still writes them.
TEST_F(Ui_Test, OptionsCancelKeepsTheOptionsAndTheFileAndOkWritesThem) {
    Bytes file = {1, 0, 0, 0, 50};
    file.resize(OPTIONS_RECORD_SIZE, 7);
    write_file_bytes(OPTIONS_FILE_NAME, file);
    Options_State* options = enter<Options_State>(STATE_OPTIONS);
    const UI_Bmp_Checkbox& box = options->boxes[2];
    EXPECT_FALSE(app.send_mouse(MOUSE_PRESS, box.x, box.y + 3)) << "the left edge";
    EXPECT_TRUE(app.send_mouse(MOUSE_PRESS, box.x + box.box_width + 9, box.y + 3));
    EXPECT_EQ(box.checked, 1);
    EXPECT_TRUE(click(options->cancel));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(game.options.flags, opt_special_blocks);
    EXPECT_EQ(read_file_bytes(OPTIONS_FILE_NAME), file);
    options = enter<Options_State>(STATE_OPTIONS);
    EXPECT_TRUE(click(options->ok));
    EXPECT_EQ(read_file_bytes(OPTIONS_FILE_NAME), options_image(game.options)) << "OK";
}

// Up from the first box reaches Cancel and down from Cancel the first box; space flips the focused
// box and does nothing on a button; Enter on OK writes the three boxes and keeps every other bit
// and byte.
TEST_F(Ui_Test, OptionsKeysMoveTheWrappingFocusFlipBoxesAndOkKeepsEveryOtherBit) {
    game.options.flags = 0xf00000f0u | opt_reserved_bit | opt_special_blocks;
    game.options.opt_special_chance = 77;
    Bytes expected = {0xfd, 0, 0, 0xf0, 77, 0, 0, 0};
    for (int i = 0; i < 28; ++i)
        expected.push_back(game.options.reserved[i] = static_cast<uint8_t>(i + 1));
    Options_State* const options = enter<Options_State>(STATE_OPTIONS);
    EXPECT_TRUE(command(CMD_UP) && options->focus.focus() == Options_State::FOCUS_CANCEL);
    EXPECT_TRUE(command(CMD_DOWN_PRESS) && options->focus.focus() == 0);
    for (int box = 0; box < 3; ++box)
        EXPECT_TRUE(command(box == 1 ? CMD_TEXT_SPACE : CMD_SPACE) && command(CMD_DOWN_PRESS));
    EXPECT_FALSE(command(CMD_SPACE)) << "space on a button";
    EXPECT_TRUE(command(CMD_ENTER));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(read_file_bytes(OPTIONS_FILE_NAME), expected);
    EXPECT_EQ(options_image(game.options), expected);
}

// ---- high scores -------------------------------------------------------------------------------

// A score equal to the tenth (100 in the shipped table) earns no place: the list follows at once,
// keys pressed before that frame store nothing, and no file is written. The file's rows are sorted
// before a score is placed: rows of equal score are never exchanged with each other, but "a" and
// "b" still swap places through their exchanges with higher rows. A name takes ten characters;
// backspace, even on an empty name, is the only other key that edits it; the best score is
// crowned.
TEST_F(Ui_Test, AScoreIsPlacedInTheSortedTableUnderItsTiesWithTheNameTyped) {
    play_record.score = 100;
    Score_Input_State* input = enter<Score_Input_State>(STATE_SCORE_INPUT);
    EXPECT_FALSE(game.text_entry);
    for (const Command early : {CMD_ENTER, Score_Input_State::ACTION_ACCEPT, CMD_CHAR})
        EXPECT_FALSE(app.send_command(early, "x")) << early;
    app.state_frame(0.01);
    EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
    EXPECT_FALSE(file_exists(SCORE_FILE_NAME));
    Score_Table unsorted; // rows "a" to "j"
    const int scores[] = {1, 1, 2, 0, 5, 4, -3, 0, 0, 1};
    for (int i = 0; i < SCORE_ROWS; ++i)
        unsorted.rows[i] = {{char('a' + i)}, scores[i]};
    write_file_bytes(SCORE_FILE_NAME, scores_image(unsorted));
    play_record.score = 5;
    input = enter<Score_Input_State>(STATE_SCORE_INPUT);
    EXPECT_TRUE(game.text_entry);
    EXPECT_EQ(input->accept.bitmap, BMP_BUTTON_OK);
    EXPECT_TRUE(command(CMD_BACKSPACE)) << "on an empty name";
    for (const char* c = "QTiebreakers"; *c; ++c) {
        app.send_command(CMD_CHAR, c);
        EXPECT_TRUE(*c != 'Q' || command(CMD_BACKSPACE)) << "a letter erased";
    }
    for (const Command unused : {CMD_TEXT_SPACE, CMD_SPACE, CMD_ESCAPE, CMD_CHAR})
        EXPECT_FALSE(command(unused)) << unused;
    command(CMD_ENTER);
    EXPECT_EQ(score_rows(), "e 5,Tiebreaker 5,f 4,c 2,b 1,a 1,j 1,h 0,i 0,d 0,");
    play_record.score = 6;
    EXPECT_EQ(enter<Score_Input_State>(STATE_SCORE_INPUT)->accept.bitmap, BMP_BUTTON_KING);
    command(Score_Input_State::ACTION_ACCEPT);
    EXPECT_EQ(score_rows(), " 6,e 5,Tiebreaker 5,f 4,c 2,b 1,a 1,j 1,h 0,i 0,") << "an empty name";
}

// Accepting by a click on its button, or cancelling by Enter on Cancel: either leads to the list
// and ends the typing; only accepting writes (a longer file is read for its first 160 bytes).
TEST_F(Ui_Test, EitherWayOutOfTheNameEntryEndsTypingAndOnlyAcceptingWrites) {
    Bytes file = scores_image({{{"x", 9000}, {"y", 8}}});
    file.push_back(42);
    for (const bool cancel : {false, true}) {
        write_file_bytes(SCORE_FILE_NAME, file);
        play_record.score = 5000;
        Score_Input_State* const input = enter<Score_Input_State>(STATE_SCORE_INPUT);
        app.send_command(CMD_CHAR, "Z");
        EXPECT_TRUE(cancel ? command(CMD_DOWN_PRESS) && command(CMD_ENTER) : click(input->accept));
        EXPECT_EQ(std::tuple(play_record.state_id, game.text_entry,
                             read_file_bytes(SCORE_FILE_NAME) == file),
                  std::tuple(STATE_SCORE_LIST, false, cancel));
    }
    app.enter_state(STATE_SCORE_INPUT);
    app.enter_state(STATE_NONE); // the program closes on the entry screen
    EXPECT_FALSE(game.text_entry);
}

// ---- screens that wait for a key ---------------------------------------------------------------

// The high-score list and the about screen go back to the menu on Enter, Escape or a press; the
// list also after 150 s (exactly 150 s waits one frame more), the about screen never.
TEST_F(Ui_Test, TheListAndAboutLeaveOnEnterEscapeOrAPressAndTheListAfter150s) {
    for (const State_Id id : {STATE_SCORE_LIST, STATE_ABOUT}) {
        for (int way = 0; way < 4; ++way) {
            app.enter_state(id);
            EXPECT_FALSE(command(CMD_SPACE) || app.send_mouse(MOUSE_RELEASE, 5, 5));
            EXPECT_TRUE(way == 3 || (way == 2 ? app.send_mouse(MOUSE_PRESS, 5, 5)
                                              : command(way ? CMD_ESCAPE : CMD_ENTER)));
            const bool stays = id == STATE_ABOUT && way == 3;
            EXPECT_EQ(frames_in(id, 0.5, 400), way < 3 ? 0 : stays ? 400 : 301) << id << way;
            EXPECT_EQ(play_record.state_id, stays ? id : STATE_MAIN_MENU) << id << way;
        }
    }
}
