// The high-score entry and list: sorting and placing a score, typing a name, storing or dropping
// the entry, text-entry mode, the name box, and the list with its timer and ways back.
#include "game_test.h"

#include "app/vextile.h"
#include "play/play_record.h"
#include "store/score_file.h"
#include "ui/score_input_state.h"
#include "ui/score_list_state.h"
#include "ui/texts.h"

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Score_Table default_table() {
    Score_Table table;
    default_score_table(&table);
    return table;
}

Score_Table table_of(const std::vector<std::pair<const char*, int32_t>>& rows) {
    Score_Table table;
    for (size_t i = 0; i < rows.size() && i < SCORE_ROWS; ++i) {
        std::snprintf(table.rows[i].name, SCORE_NAME_SIZE, "%s", rows[i].first);
        table.rows[i].score = rows[i].second;
    }
    return table;
}

Bytes image_of(const Score_Table& table) {
    Bytes image(SCORE_TABLE_SIZE);
    encode_score_table(table, image.data());
    return image;
}

std::string names_of(const Score_Table& table) {
    std::string names;
    for (const Score_Entry& row : table.rows)
        names += std::string(row.name) + ",";
    return names;
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

// Rightmost column with anything but black in the band of rows, or -1.
int rightmost_ink(int top, int height) {
    for (int x = SCREEN_WIDTH - 1; x >= 0; --x)
        for (int y = top; y < top + height; ++y)
            if (!same_colour(colour_at(nullptr, x, y), {0, 0, 0, 0})) return x;
    return -1;
}

// ---- Sorting and placing ----------------------------------------------------------------------

using Score_Rules_Test = ::testing::Test;

TEST_F(Score_Rules_Test, TheSortExchangesALowerRowWithEachHigherOneBelowIt) {
    Score_Table table = table_of({{"a", 1},
                                  {"b", 1},
                                  {"c", 2},
                                  {"d", 0},
                                  {"e", 5},
                                  {"f", 5},
                                  {"g", -3},
                                  {"h", 0},
                                  {"i", 0},
                                  {"j", 1}});
    sort_score_table(&table);
    // Rows of equal score are never exchanged with each other; "a" and "b" still swap places
    // through their exchanges with higher rows.
    EXPECT_EQ(names_of(table), "e,f,c,b,a,j,h,i,d,g,");
    for (int i = 1; i < SCORE_ROWS; ++i)
        EXPECT_GE(table.rows[i - 1].score, table.rows[i].score);
}

TEST_F(Score_Rules_Test, AScoreGoesBelowTheRowsItTies) {
    const Score_Table table = default_table();
    EXPECT_EQ(score_place(table, 1001), 0);
    EXPECT_EQ(score_place(table, 1000), 1);
    EXPECT_EQ(score_place(table, 650), 4);
    EXPECT_EQ(score_place(table, 101), 9);
    EXPECT_EQ(score_place(table, 100), -1) << "equal to the tenth earns no place";
    EXPECT_EQ(score_place(table, 0), -1);
    // Signed: a negative row is beaten by zero.
    Score_Table negative = table;
    negative.rows[9].score = -5;
    EXPECT_EQ(score_place(negative, 0), 9);
}

TEST_F(Score_Rules_Test, InsertingShiftsTheRowsBelowAndDropsTheLast) {
    Score_Table table = default_table();
    Score_Entry entry;
    std::snprintf(entry.name, SCORE_NAME_SIZE, "Zed");
    entry.score = 650;
    insert_score(&table, 4, entry);
    EXPECT_EQ(names_of(table), "Pell,Tavrin,Ollek,Miraz,Zed,Quessa,Brannic,Yelva,Dunmor,Corla,");
    EXPECT_EQ(table.rows[4].score, 650);
    EXPECT_EQ(table.rows[9].score, 200);
    insert_score(&table, 9, entry);
    EXPECT_STREQ(table.rows[9].name, "Zed");
    EXPECT_STREQ(table.rows[8].name, "Dunmor");
}

// ---- The entry screen -------------------------------------------------------------------------

class Score_Input_Test : public Game_Test {
  protected:
    // Enters the screen after a game that scored `score`.
    void enter_with(int32_t score) {
        play_record.score = score;
        app.change_state(STATE_SCORE_INPUT);
        input = static_cast<Score_Input_State*>(app.state.get());
    }
    std::string score_file() const { return dir->file(SCORE_FILE_NAME); }
    Score_Table file_table() const {
        const Bytes bytes = read_file_bytes(score_file());
        Score_Table table;
        if (bytes.size() == SCORE_TABLE_SIZE) decode_score_table(bytes.data(), &table);
        return table;
    }
    bool type(char c) { return input->handle_command(CMD_CHAR, &c); }
    void type_text(const char* text) {
        for (; *text; ++text)
            type(*text);
    }
    const char* name() const { return input->entry.name; }
    static int centre_x(const UI_Control& c) { return c.x + c.width / 2; }
    static int centre_y(const UI_Control& c) { return c.y + c.height / 2; }

    Score_Input_State* input = nullptr;
};

TEST_F(Score_Input_Test, AScoreAboveEveryRowIsFirstAndCrowned) {
    enter_with(1001);
    EXPECT_EQ(input->place, 0);
    EXPECT_FALSE(input->not_placed);
    EXPECT_EQ(input->accept.bitmap, BMP_BUTTON_KING);
    EXPECT_EQ(input->cancel.bitmap, BMP_BUTTON_CANCEL);
    EXPECT_TRUE(input->accept.highlighted);
    EXPECT_TRUE(app.text_entry);
    EXPECT_EQ(background, zgl_get_bitmap(BMP_DEFAULT_BG));
    const int line = text_height();
    EXPECT_EQ(input->accept.y, 320 - line - input->accept.height);
    EXPECT_EQ(input->accept.x, (160 - input->accept.width) / 2);
    EXPECT_EQ(input->cancel.y, input->accept.y);
    EXPECT_EQ(input->cancel.x, input->accept.x + 160);
}

TEST_F(Score_Input_Test, AScoreThatTiesTheBestIsSecondWithTheOkButton) {
    enter_with(1000);
    EXPECT_EQ(input->place, 1);
    EXPECT_EQ(input->accept.bitmap, BMP_BUTTON_OK);
    type_text("Tie");
    input->handle_command(CMD_ENTER, nullptr);
    const Score_Table stored = file_table();
    EXPECT_STREQ(stored.rows[0].name, "Pell");
    EXPECT_STREQ(stored.rows[1].name, "Tie");
    EXPECT_EQ(stored.rows[1].score, 1000);
}

TEST_F(Score_Input_Test, AScoreEqualToTheTenthEarnsNoPlace) {
    enter_with(100);
    EXPECT_TRUE(input->not_placed);
    EXPECT_EQ(input->place, -1);
    EXPECT_FALSE(app.text_entry);
    paint_screen(0, 0, 0);
    input->do_frame();
    EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST) << "the list follows on the first frame";
    EXPECT_EQ(pixels(0, 0, 320, 320), std::vector<Uint32>(320 * 320, 0)) << "nothing drawn";
    EXPECT_FALSE(file_exists(score_file()));
}

TEST_F(Score_Input_Test, TheTableIsSortedBeforeTheScoreIsPlaced) {
    const Score_Table unsorted = table_of({{"a", 1},
                                           {"b", 1},
                                           {"c", 2},
                                           {"d", 0},
                                           {"e", 5},
                                           {"f", 5},
                                           {"g", -3},
                                           {"h", 0},
                                           {"i", 0},
                                           {"j", 1}});
    write_file_bytes(score_file(), image_of(unsorted));
    enter_with(3);
    EXPECT_EQ(input->place, 2);
    type_text("new");
    input->handle_command(Score_Input_State::ACTION_ACCEPT, nullptr);
    EXPECT_EQ(names_of(file_table()), "e,f,new,c,b,a,j,h,i,d,");
}

// ---- Typing -------------------------------------------------------------------------------------

TEST_F(Score_Input_Test, ANameHoldsAtMostTenCharacters) {
    enter_with(5000);
    EXPECT_STREQ(name(), "");
    type_text("Abcdefghij");
    EXPECT_STREQ(name(), "Abcdefghij");
    EXPECT_TRUE(type('k'));
    EXPECT_STREQ(name(), "Abcdefghij") << "an eleventh character changes nothing";
    EXPECT_EQ(input->entry.name[10], '\0');
    EXPECT_EQ(input->entry.name[11], '\0');
}

TEST_F(Score_Input_Test, BackspaceRemovesTheLastCharacterUntilTheNameIsEmpty) {
    enter_with(5000);
    type_text("ab");
    EXPECT_TRUE(input->handle_command(CMD_BACKSPACE, nullptr));
    EXPECT_STREQ(name(), "a");
    input->handle_command(CMD_BACKSPACE, nullptr);
    EXPECT_STREQ(name(), "");
    EXPECT_TRUE(input->handle_command(CMD_BACKSPACE, nullptr));
    EXPECT_STREQ(name(), "") << "backspace on an empty name changes nothing";
    type('z');
    EXPECT_STREQ(name(), "z");
}

TEST_F(Score_Input_Test, SpaceDeleteAndEscapeAreNotUsed) {
    enter_with(5000);
    type_text("ab");
    for (const Command command : {CMD_TEXT_SPACE, CMD_SPACE, CMD_DELETE, CMD_ESCAPE})
        EXPECT_FALSE(input->handle_command(command, nullptr)) << command;
    EXPECT_STREQ(name(), "ab");
    EXPECT_EQ(app.state.get(), input);
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT);
    EXPECT_TRUE(app.text_entry);
}

TEST_F(Score_Input_Test, ACharacterCommandWithoutTextChangesNothing) {
    enter_with(5000);
    type('x');
    EXPECT_FALSE(input->handle_command(CMD_CHAR, nullptr));
    EXPECT_STREQ(name(), "x");
}

// ---- Leaving --------------------------------------------------------------------------------

TEST_F(Score_Input_Test, AcceptingStoresTheEntryInItsPlace) {
    write_file_bytes(score_file(), image_of(default_table()));
    enter_with(650);
    type_text("Zed");
    EXPECT_TRUE(input->handle_command(CMD_ENTER, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
    const Score_Table stored = file_table();
    EXPECT_EQ(names_of(stored), "Pell,Tavrin,Ollek,Miraz,Zed,Quessa,Brannic,Yelva,Dunmor,Corla,");
    EXPECT_EQ(stored.rows[4].score, 650);
    EXPECT_EQ(stored.rows[5].score, 600);
}

TEST_F(Score_Input_Test, AcceptingAnEmptyNameStoresAnEmptyName) {
    enter_with(1001);
    input->handle_command(Score_Input_State::ACTION_ACCEPT, nullptr);
    const Bytes bytes = read_file_bytes(score_file());
    ASSERT_EQ(bytes.size(), 160u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 12), Bytes(12, 0));
    EXPECT_EQ(file_table().rows[0].score, 1001);
    EXPECT_STREQ(file_table().rows[1].name, "Pell");
}

TEST_F(Score_Input_Test, CancelLeavesTheFileUntouched) {
    enter_with(5000);
    type_text("Gone");
    EXPECT_TRUE(input->handle_command(Score_Input_State::ACTION_CANCEL, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
    EXPECT_FALSE(file_exists(score_file()));

    Bytes file = image_of(table_of({{"x", 9}, {"y", 8}, {"z", 7}}));
    file.push_back(42); // a longer file is used for its first 160 bytes
    write_file_bytes(score_file(), file);
    enter_with(5000);
    input->handle_command(CMD_DOWN_PRESS, nullptr);
    input->handle_command(CMD_ENTER, nullptr);
    EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
    EXPECT_EQ(read_file_bytes(score_file()), file);
}

TEST_F(Score_Input_Test, EveryWayOutClearsTextEntry) {
    const Command ways[] = {Score_Input_State::ACTION_ACCEPT, Score_Input_State::ACTION_CANCEL,
                            CMD_ENTER};
    for (const Command way : ways) {
        enter_with(5000);
        ASSERT_TRUE(app.text_entry);
        input->handle_command(way, nullptr);
        EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST) << way;
        EXPECT_FALSE(app.text_entry) << way;
    }
    for (const bool on_accept : {true, false}) {
        enter_with(5000);
        const UI_Bmp_Button& button = on_accept ? input->accept : input->cancel;
        EXPECT_TRUE(input->handle_mouse(MOUSE_PRESS, centre_x(button), centre_y(button)));
        EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
        EXPECT_FALSE(app.text_entry);
    }
    enter_with(5000);
    app.change_state(STATE_NONE); // the program closes on the entry screen
    EXPECT_FALSE(app.text_entry);
}

// ---- Focus and mouse --------------------------------------------------------------------------

TEST_F(Score_Input_Test, TheFocusWrapsBetweenTheTwoButtons) {
    enter_with(5000);
    EXPECT_TRUE(input->handle_command(CMD_DOWN_PRESS, nullptr));
    EXPECT_TRUE(input->cancel.highlighted);
    EXPECT_FALSE(input->accept.highlighted);
    input->handle_command(CMD_DOWN_PRESS, nullptr);
    EXPECT_TRUE(input->accept.highlighted);
    EXPECT_TRUE(input->handle_command(CMD_UP, nullptr));
    EXPECT_TRUE(input->cancel.highlighted);
    EXPECT_FALSE(input->accept.highlighted);
}

TEST_F(Score_Input_Test, TheMouseMovesTheFocusAndEdgesMiss) {
    enter_with(5000);
    const UI_Bmp_Button& cancel = input->cancel;
    EXPECT_TRUE(input->handle_mouse(MOUSE_MOTION, centre_x(cancel), centre_y(cancel)));
    EXPECT_TRUE(cancel.highlighted);
    EXPECT_FALSE(input->accept.highlighted);
    EXPECT_FALSE(input->handle_mouse(MOUSE_MOTION, 2, 2));
    EXPECT_TRUE(cancel.highlighted);
    EXPECT_FALSE(input->handle_mouse(MOUSE_PRESS, cancel.x, centre_y(cancel)));
    EXPECT_FALSE(input->handle_mouse(MOUSE_RELEASE, centre_x(cancel), centre_y(cancel)));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT);
}

// ---- Drawing --------------------------------------------------------------------------------

TEST_F(Score_Input_Test, DrawsThePlaceAndANameBox) {
    enter_with(1001);
    type_text("Ann");
    const int line = text_height();
    const int y = 6 * line + 10;
    const int top = y - line / 4;
    const int height = line + line / 2;
    const SDL_Color white = {250, 250, 250, 0};
    const SDL_Color grey = {40, 40, 40, 0};
    const SDL_Color black = {0, 0, 0, 0};

    paint_screen(grey.r, grey.g, grey.b);
    input->do_frame();
    EXPECT_TRUE(same_colour(colour_at(nullptr, 14, top - 2), white));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 15, top - 1), white));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 13, top - 2), grey));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 14, top - 3), grey));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 16, top), black));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 16 + 288 - 1, top + height - 1), black));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 16 + 288 + 1, top + height + 1), white));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 16 + 288 + 2, top + height + 2), grey));
    const std::vector<Uint32> drawn_name = pixels(0, y, 320, line);
    const std::vector<Uint32> drawn_place = pixels(0, 2 * line + 2, 320, line);

    // What the name and the place look like written on their own.
    paint_screen(grey.r, grey.g, grey.b);
    fill_rect(COLOR_WHITE, {14, top - 2, 292, height + 4});
    fill_rect(COLOR_BLACK, {16, top, 288, height});
    write_text_centered("Ann", 0, y, 320);
    EXPECT_EQ(drawn_name, pixels(0, y, 320, line));
    paint_screen(grey.r, grey.g, grey.b);
    write_text_centered("#1 HIGH SCORE!!", 0, 2 * line + 2, 320);
    EXPECT_EQ(drawn_place, pixels(0, 2 * line + 2, 320, line));
}

// ---- The list -------------------------------------------------------------------------------

class Score_List_Test : public Game_Test {
  protected:
    void enter_list() {
        app.change_state(STATE_SCORE_LIST);
        list = app.state.get();
    }
    Game_State* list = nullptr;
};

TEST_F(Score_List_Test, ReturnsToTheMenuAfter150SecondsOfFrames) {
    enter_list();
    EXPECT_EQ(background, zgl_get_bitmap(BMP_DEFAULT_BG));
    set_frame_seconds(0.5);
    int frames = 0;
    while (play_record.state_id == STATE_SCORE_LIST && frames < 1000) {
        app.state->do_frame();
        ++frames;
    }
    EXPECT_EQ(frames, 301) << "exactly 150 s waits one more frame";
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

TEST_F(Score_List_Test, EnterEscapeOrAClickReturnAtOnce) {
    enter_list();
    EXPECT_FALSE(list->handle_command(CMD_SPACE, nullptr));
    EXPECT_FALSE(list->handle_command(CMD_UP, nullptr));
    EXPECT_FALSE(list->handle_mouse(MOUSE_MOTION, 5, 5));
    EXPECT_FALSE(list->handle_mouse(MOUSE_RELEASE, 5, 5));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_LIST);
    EXPECT_TRUE(list->handle_command(CMD_ENTER, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_STREQ(text_of(TXT_HISCORES_TITLE), "") << "the texts are given back";
    enter_list();
    EXPECT_TRUE(list->handle_command(CMD_ESCAPE, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    enter_list();
    EXPECT_TRUE(list->handle_mouse(MOUSE_PRESS, 5, 5));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

TEST_F(Score_List_Test, ShowsTheRowsInTheOrderTheFileHoldsThem) {
    write_file_bytes(dir->file(SCORE_FILE_NAME),
                     image_of(table_of({{"low", 5}, {"high", 900}, {"mid", 50}})));
    enter_list();
    const Score_Table& shown = static_cast<Score_List_State*>(list)->table;
    EXPECT_EQ(names_of(shown), "low,high,mid,,,,,,,,");
    EXPECT_EQ(shown.rows[1].score, 900);
}

TEST_F(Score_List_Test, AFiveDigitScoreEndsOneLetterFromTheRightEdge) {
    write_file_bytes(dir->file(SCORE_FILE_NAME),
                     image_of(table_of({{"Ann", 12345}, {"Bo", 5}, {"Cy", 1115}})));
    enter_list();
    const int line = text_height();
    const int margin = letter_width();
    // A lone "5" written to end at the margin: its ink ends where every right-aligned 5 ends.
    paint_screen(0, 0, 0);
    write_text("5", 320 - margin - text_width("5"), 0);
    const int edge = rightmost_ink(0, line);
    ASSERT_GT(edge, 320 - 2 * margin);

    paint_screen(0, 0, 0);
    list->do_frame();
    EXPECT_EQ(rightmost_ink(3 * line, line), edge) << "12345";
    EXPECT_EQ(rightmost_ink(4 * line, line), edge) << "5";
    EXPECT_EQ(rightmost_ink(5 * line, line), edge) << "1115";
}

TEST_F(Score_List_Test, DrawsTheTitleThePlacesTheNamesAndTheBottomLine) {
    enter_list();
    const int line = text_height();
    const int margin = letter_width();
    paint_screen(0, 0, 0);
    list->do_frame();
    const std::vector<Uint32> title = pixels(0, line, 320, line);
    const std::vector<Uint32> tenth = pixels(0, 12 * line, 160, line);
    const std::vector<Uint32> bottom = pixels(0, 320 - line, 320, line);
    EXPECT_EQ(pixels(0, 2 * line, 320, line), std::vector<Uint32>(320 * line, 0));

    paint_screen(0, 0, 0);
    write_text_centered("H I   S C O R E S", 0, line, 320);
    EXPECT_EQ(title, pixels(0, line, 320, line));
    paint_screen(0, 0, 0);
    write_text("#10", margin, 12 * line);
    write_text_centered("T. Vorn", 0, 12 * line, 320);
    EXPECT_EQ(tenth, pixels(0, 12 * line, 160, line)) << "the default table's last row";
    paint_screen(0, 0, 0);
    zgl_draw_bitmap(BMP_TEXT_BACKGROUND, {0, 320 - line});
    write_text_centered("- press [enter] to continue -", 0, 320 - line, 320);
    EXPECT_EQ(bottom, pixels(0, 320 - line, 320, line));
    EXPECT_EQ(zgl_get_bitmap(BMP_TEXT_BACKGROUND)->format->alpha, 154);
}

} // namespace
