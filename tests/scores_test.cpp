// The high-score entry and list: placing a score, typing a name, storing or dropping the entry,
// text-entry mode, and the list with its timer, its ways back and its right-aligned scores.
#include "game_test.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "play/play_record.h"
#include "store/score_file.h"
#include "ui/score_input_state.h"
#include "ui/score_list_state.h"

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Scores_Test = Game_Test;
constexpr Command ACCEPT = Score_Input_State::ACTION_ACCEPT,
                  CANCEL = Score_Input_State::ACTION_CANCEL;

Bytes image_of(const Score_Table& table) {
    Bytes image(SCORE_TABLE_SIZE);
    encode_score_table(table, image.data());
    return image;
}

// Every row of the table, or of the file when there is none, as "name score,".
std::string rows_of(const Score_Table* table = nullptr) {
    Score_Table file;
    load_score_table(&file);
    std::string text;
    for (const Score_Entry& row : (table ? *table : file).rows)
        text += std::string(row.name) + " " + std::to_string(row.score) + ",";
    return text;
}

// Enters the screen after a game that scored `score`.
Score_Input_State* enter_with(int32_t score) {
    play_record.score = score;
    app.enter_state(STATE_SCORE_INPUT);
    return static_cast<Score_Input_State*>(app.state.get());
}

// A score equal to the tenth (100 in the default table) earns no place: the list follows at once
// and no file is written. The file's rows are sorted before a score is placed: rows of equal
// score are never exchanged with each other, but "a" and "b" still swap places through their
// exchanges with higher rows. A name takes ten characters; backspace, even on an empty name, is
// the only other key that edits it.
TEST_F(Scores_Test, ASortedTablePlacesATieWithTheBestSecondAScoreAboveAllFirstATenthsTieNowhere) {
    Score_Input_State* input = enter_with(100);
    EXPECT_TRUE(input->not_placed && !game.text_entry);
    // Keys pressed before the first frame reach a screen that has no place to store into.
    for (const Command early : {CMD_ENTER, ACCEPT, CMD_CHAR})
        EXPECT_FALSE(input->handle_command(early, "x")) << early;
    app.state_frame(Game_Test::frame_seconds());
    EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
    EXPECT_FALSE(file_exists(SCORE_FILE_NAME));
    Score_Table unsorted; // rows "a" to "j"
    const int scores[] = {1, 1, 2, 0, 5, 4, -3, 0, 0, 1};
    for (int i = 0; i < SCORE_ROWS; ++i)
        unsorted.rows[i] = {{char('a' + i)}, scores[i]};
    write_file_bytes(SCORE_FILE_NAME, image_of(unsorted));
    input = enter_with(5);
    EXPECT_TRUE(input->place == 1 && input->accept.bitmap == BMP_BUTTON_OK) << input->place;
    EXPECT_TRUE(input->handle_command(CMD_BACKSPACE, nullptr)) << "on an empty name";
    for (const char* c = "Tiebreakers"; *c; ++c)
        input->handle_command(CMD_CHAR, c);
    for (const Command unused : {CMD_TEXT_SPACE, CMD_SPACE, CMD_ESCAPE, CMD_CHAR})
        EXPECT_FALSE(input->handle_command(unused, nullptr)) << unused;
    EXPECT_TRUE(input->handle_command(CMD_BACKSPACE, nullptr));
    app.send_command(CMD_ENTER);
    EXPECT_EQ(rows_of(), "e 5,Tiebreake 5,f 4,c 2,b 1,a 1,j 1,h 0,i 0,d 0,");
    input = enter_with(6);
    EXPECT_TRUE(input->place == 0 && input->accept.bitmap == BMP_BUTTON_KING) << input->place;
    app.send_command(ACCEPT);
    EXPECT_EQ(rows_of(), " 6,e 5,Tiebreake 5,f 4,c 2,b 1,a 1,j 1,h 0,i 0,") << "an empty name";
}

// Accepting by its action, Enter or a click, then cancelling by the same three ways.
TEST_F(Scores_Test, EveryWayOutClearsTextEntryAndCancelLeavesTheFile) {
    Bytes file = image_of({{{"x", 9000}, {"y", 8}}});
    file.push_back(42); // a longer file is read for its first 160 bytes
    for (int way = 0; way < 6; ++way) {
        SCOPED_TRACE(way);
        write_file_bytes(SCORE_FILE_NAME, file);
        Score_Input_State* const input = enter_with(5000);
        input->handle_command(CMD_CHAR, "Z");
        ASSERT_TRUE(game.text_entry);
        const bool cancel = way >= 3;
        const UI_Bmp_Button& button = cancel ? input->cancel : input->accept;
        if (cancel && way % 3 == 1) input->handle_command(CMD_DOWN_PRESS, nullptr);
        EXPECT_TRUE(way % 3 == 0   ? app.send_command(cancel ? CANCEL : ACCEPT)
                    : way % 3 == 1 ? app.send_command(CMD_ENTER)
                                   : app.send_mouse(MOUSE_PRESS, button.x + 1, button.y + 1));
        EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
        EXPECT_FALSE(game.text_entry);
        EXPECT_EQ(read_file_bytes(SCORE_FILE_NAME) == file, cancel) << "only accepting writes";
    }
    enter_with(5000);
    app.enter_state(STATE_NONE); // the program closes on the entry screen
    EXPECT_FALSE(game.text_entry);
}

// Rightmost column with anything but black in the band of rows, or -1.
int rightmost_ink(int top, int height) {
    for (int x = SCREEN_WIDTH - 1; x >= 0; --x)
        for (int y = top; y < top + height; ++y)
            if (!same_colour(colour_at(nullptr, x, y), {0, 0, 0, 0})) return x;
    return -1;
}

// The list shows the file's rows in its order, each score ending one letter from the right edge,
// where a lone "5" written to end there ends its ink. It leaves on Enter, Escape or a click at
// once, and otherwise after 150 s.
TEST_F(Scores_Test, TheListShowsTheFilesRowsAlignedRightAndLeavesOnEnterEscapeAClickOr150s) {
    const int line = text_height(), margin = letter_width();
    write_text("5", 320 - margin - text_width("5"), 0);
    const int edge = rightmost_ink(0, line);
    ASSERT_GT(edge, 320 - 2 * margin);
    write_file_bytes(SCORE_FILE_NAME, image_of({{{"Ann", 12345}, {"Bo", 5}, {"Cy", 1115}}}));
    set_frame_seconds(0.5);
    for (int way = 0; way < 4; ++way) {
        app.enter_state(STATE_SCORE_LIST);
        Game_State* const list = app.state.get();
        EXPECT_EQ(rows_of(&static_cast<Score_List_State*>(list)->table),
                  "Ann 12345,Bo 5,Cy 1115, 0, 0, 0, 0, 0, 0, 0,");
        paint_screen(0, 0, 0);
        list->do_frame(frame_seconds());
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(rightmost_ink((3 + row) * line, line), edge) << row;
        EXPECT_FALSE(list->handle_command(CMD_SPACE, nullptr) ||
                     list->handle_mouse(MOUSE_RELEASE, 5, 5));
        EXPECT_TRUE(way == 3 || (way == 2 ? app.send_mouse(MOUSE_PRESS, 5, 5)
                                          : app.send_command(way ? CMD_ESCAPE : CMD_ENTER)));
        int frames = 1;
        for (; play_record.state_id == STATE_SCORE_LIST && frames < 1000; ++frames)
            app.state_frame(Game_Test::frame_seconds());
        EXPECT_EQ(frames, way < 3 ? 1 : 301) << "exactly 150 s waits one frame more";
        EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU) << way;
    }
}

} // namespace
