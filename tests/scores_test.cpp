// The high-score entry and list: placing a score, typing a name, storing or dropping the entry,
// text-entry mode, and the list with its timer, its ways back and its right-aligned scores.
#include "game_test.h"

#include "app/vextile.h"
#include "play/play_record.h"
#include "store/score_file.h"
#include "ui/score_input_state.h"
#include "ui/score_list_state.h"

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
// A file image of the rows given as "name score," (the rows after them empty).
Bytes image_of(const std::string& rows) {
    Score_Table table;
    std::istringstream in(rows);
    std::string row;
    for (int i = 0; std::getline(in, row, ','); ++i) {
        const size_t space = row.rfind(' ');
        std::snprintf(table.rows[i].name, SCORE_NAME_SIZE, "%s", row.substr(0, space).c_str());
        table.rows[i].score = std::stoi(row.substr(space + 1));
    }
    Bytes image(SCORE_TABLE_SIZE);
    encode_score_table(table, image.data());
    return image;
}

// Every row as "name score,".
std::string rows_of(const Score_Table& table) {
    std::string text;
    for (const Score_Entry& row : table.rows)
        text += std::string(row.name) + " " + std::to_string(row.score) + ",";
    return text;
}

std::string file_rows() {
    const Bytes bytes = read_file_bytes(SCORE_FILE_NAME);
    if (bytes.size() != SCORE_TABLE_SIZE) return "no file";
    Score_Table table;
    decode_score_table(bytes.data(), &table);
    return rows_of(table);
}

class Score_Input_Test : public Game_Test {
  protected:
    // Enters the screen after a game that scored `score`.
    void enter_with(int32_t score) {
        play_record.score = score;
        app.change_state(STATE_SCORE_INPUT);
        input = static_cast<Score_Input_State*>(app.state.get());
    }
    bool command(Command c) { return input->handle_command(c, nullptr); }
    void type(const char* text) {
        for (; *text; ++text)
            EXPECT_TRUE(input->handle_command(CMD_CHAR, text)) << *text;
    }
    bool click(const UI_Control& c) {
        return input->handle_mouse(MOUSE_PRESS, c.x + c.width / 2, c.y + c.height / 2);
    }
    Score_Input_State* input = nullptr;
};

TEST_F(Score_Input_Test, ATieWithTheBestIsSecondWithOkAndAScoreAboveAllFirstWithTheKing) {
    enter_with(1000);
    EXPECT_EQ(input->place, 1);
    EXPECT_EQ(input->accept.bitmap, BMP_BUTTON_OK);
    type("Tie");
    command(CMD_ENTER);
    EXPECT_EQ(file_rows(), "Pell 1000,Tie 1000,Tavrin 900,Ollek 800,Miraz 700,Quessa 600,"
                           "Brannic 500,Yelva 400,Dunmor 300,Corla 200,");
    enter_with(1001);
    EXPECT_EQ(input->place, 0);
    EXPECT_EQ(input->accept.bitmap, BMP_BUTTON_KING);
    command(Score_Input_State::ACTION_ACCEPT);
    EXPECT_EQ(file_rows().substr(0, 24), " 1001,Pell 1000,Tie 1000") << "an empty name is stored";
}

TEST_F(Score_Input_Test, AScoreEqualToTheTenthEarnsNoPlaceAndTheListFollowsAtOnce) {
    enter_with(100);
    EXPECT_TRUE(input->not_placed);
    EXPECT_FALSE(app.text_entry);
    input->do_frame();
    EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
    EXPECT_FALSE(file_exists(SCORE_FILE_NAME));
}

// Rows of equal score are never exchanged with each other, but "a" and "b" still swap places
// through their exchanges with higher rows.
TEST_F(Score_Input_Test, TheTableIsSortedBeforeTheScoreIsPlaced) {
    write_file_bytes(SCORE_FILE_NAME, image_of("a 1,b 1,c 2,d 0,e 5,f 5,g -3,h 0,i 0,j 1,"));
    enter_with(3);
    type("new");
    command(Score_Input_State::ACTION_ACCEPT);
    EXPECT_EQ(file_rows(), "e 5,f 5,new 3,c 2,b 1,a 1,j 1,h 0,i 0,d 0,");
}

TEST_F(Score_Input_Test, ANameTakesTenCharactersAndBackspaceOnly) {
    enter_with(5000);
    EXPECT_TRUE(command(CMD_BACKSPACE)) << "on an empty name";
    EXPECT_STREQ(input->entry.name, "");
    type("Abcdefghijk");
    EXPECT_STREQ(input->entry.name, "Abcdefghij") << "the eleventh character is dropped";
    for (const Command unused : {CMD_TEXT_SPACE, CMD_SPACE, CMD_ESCAPE, CMD_CHAR})
        EXPECT_FALSE(command(unused)) << unused;
    EXPECT_TRUE(command(CMD_BACKSPACE));
    EXPECT_STREQ(input->entry.name, "Abcdefghi");
    EXPECT_EQ(app.state.get(), input);
    EXPECT_TRUE(app.text_entry);
}

TEST_F(Score_Input_Test, EveryWayOutClearsTextEntryAndCancelLeavesTheFile) {
    Bytes file = image_of("x 9000,y 8,");
    file.push_back(42); // a longer file is read for its first 160 bytes
    const std::function<bool()> ways[] = {
        [&] { return command(Score_Input_State::ACTION_ACCEPT); },
        [&] { return command(CMD_ENTER); },
        [&] { return click(input->accept); },
        [&] { return command(Score_Input_State::ACTION_CANCEL); },
        [&] { return command(CMD_DOWN_PRESS) && command(CMD_ENTER); },
        [&] { return click(input->cancel); },
    };
    for (int way = 0; way < 6; ++way) {
        SCOPED_TRACE(way);
        write_file_bytes(SCORE_FILE_NAME, file);
        enter_with(5000);
        type("Zed");
        ASSERT_TRUE(app.text_entry);
        EXPECT_TRUE(ways[way]());
        EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
        EXPECT_FALSE(app.text_entry);
        EXPECT_EQ(read_file_bytes(SCORE_FILE_NAME) == file, way >= 3) << "only accepting writes";
    }
    enter_with(5000);
    app.change_state(STATE_NONE); // the program closes on the entry screen
    EXPECT_FALSE(app.text_entry);
}

using Score_List_Test = Game_Test;

TEST_F(Score_List_Test, EnterEscapeOrAClickReturnAtOnceAndOtherwise150Seconds) {
    for (int way = 0; way < 4; ++way) {
        app.change_state(STATE_SCORE_LIST);
        Game_State* const list = app.state.get();
        EXPECT_FALSE(list->handle_command(CMD_SPACE, nullptr));
        EXPECT_FALSE(list->handle_mouse(MOUSE_RELEASE, 5, 5));
        if (way < 3) {
            EXPECT_TRUE(way == 2 ? list->handle_mouse(MOUSE_PRESS, 5, 5)
                                 : list->handle_command(way ? CMD_ESCAPE : CMD_ENTER, nullptr));
        } else {
            set_frame_seconds(0.5);
            int frames = 0;
            for (; play_record.state_id == STATE_SCORE_LIST && frames < 1000; ++frames)
                app.state->do_frame();
            EXPECT_EQ(frames, 301) << "exactly 150 s waits one frame more";
        }
        EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU) << way;
    }
}

// Rightmost column with anything but black in the band of rows, or -1.
int rightmost_ink(int top, int height) {
    for (int x = SCREEN_WIDTH - 1; x >= 0; --x)
        for (int y = top; y < top + height; ++y)
            if (!same_colour(colour_at(nullptr, x, y), {0, 0, 0, 0})) return x;
    return -1;
}

TEST_F(Score_List_Test, ShowsTheFilesRowsWithTheScoresEndingOneLetterFromTheRightEdge) {
    write_file_bytes(SCORE_FILE_NAME, image_of("Ann 12345,Bo 5,Cy 1115,"));
    app.change_state(STATE_SCORE_LIST);
    EXPECT_EQ(rows_of(static_cast<Score_List_State*>(app.state.get())->table),
              "Ann 12345,Bo 5,Cy 1115, 0, 0, 0, 0, 0, 0, 0,")
        << "in the order of the file";
    const int line = text_height();
    const int margin = letter_width();
    // A lone "5" written to end at the margin: its ink ends where every right-aligned 5 ends.
    paint_screen(0, 0, 0);
    write_text("5", 320 - margin - text_width("5"), 0);
    const int edge = rightmost_ink(0, line);
    ASSERT_GT(edge, 320 - 2 * margin);
    paint_screen(0, 0, 0);
    app.state->do_frame();
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(rightmost_ink((3 + row) * line, line), edge) << row;
}

} // namespace
