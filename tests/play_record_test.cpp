// The play record: built and new-game values, its 1348-byte image, and the saved-game file with its
// messages and the refusal of damaged records.
#include "game_test.h"

#include "app/game_state.h"
#include "app/vextile.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/record_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string corrupt_message = "info file is corrupt -- regenerating list\n";

// A record in which every field holds a value of its own, as a game in progress would.
void fill_record(Play_Record& r) {
    r.state_id = STATE_FIRE;
    r.flags = FLAG_IN_PROGRESS | FLAG_LEFT | FLAG_FALLING | FLAG_PAUSED;
    r.level = 7;
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i)
        r.grid.cells[i] = i % 15 - 1; // -1..13
    for (int i = 0; i < GRID_ROWS; ++i)
        r.grid.full_row_list[i] = 19 - i;
    r.grid.full_row_count = 3;
    r.current = Piece{3, 1, 5, -1, 80.5f, -12.25f, 3, TILE_LIGHTNING, 2, 0.375f, 0.625f, 1};
    r.next = Piece{6, 2, 0, 0, 240.0f, 48.0f, 6, -1, -1, 0.0f, 0.0f, 0};
    r.blocks_cleared = 42;
    r.target_col = 6;
    r.score = 1234;
    r.shown_score = 1200;
    r.score_step = 17;
    r.flares = 3;
    r.reserved_float = 0.0f;
    r.reserved_word = 0x12345678;
}

void expect_same_piece(const Piece& a, const Piece& b) {
    EXPECT_EQ(a.shape, b.shape);
    EXPECT_EQ(a.rotation, b.rotation);
    EXPECT_EQ(a.col, b.col);
    EXPECT_EQ(a.row, b.row);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.tile, b.tile);
    EXPECT_EQ(a.special_kind, b.special_kind);
    EXPECT_EQ(a.special_cell, b.special_cell);
    EXPECT_EQ(a.blink_timer, b.blink_timer);
    EXPECT_EQ(a.flash, b.flash);
    EXPECT_EQ(a.blink_on, b.blink_on);
}

void expect_same_record(const Play_Record& a, const Play_Record& b) {
    EXPECT_EQ(a.state_id, b.state_id);
    EXPECT_EQ(a.flags, b.flags);
    EXPECT_EQ(a.level, b.level);
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i)
        EXPECT_EQ(a.grid.cells[i], b.grid.cells[i]);
    for (int i = 0; i < GRID_ROWS; ++i)
        EXPECT_EQ(a.grid.full_row_list[i], b.grid.full_row_list[i]);
    EXPECT_EQ(a.grid.full_row_count, b.grid.full_row_count);
    expect_same_piece(a.current, b.current);
    expect_same_piece(a.next, b.next);
    EXPECT_EQ(a.blocks_cleared, b.blocks_cleared);
    EXPECT_EQ(a.target_col, b.target_col);
    EXPECT_EQ(a.score, b.score);
    EXPECT_EQ(a.shown_score, b.shown_score);
    EXPECT_EQ(a.score_step, b.score_step);
    EXPECT_EQ(a.flares, b.flares);
    EXPECT_EQ(a.reserved_float, b.reserved_float);
    EXPECT_EQ(a.reserved_word, b.reserved_word);
}

bool piece_is_all_zero(const Piece& p) {
    return p.shape == 0 && p.rotation == 0 && p.col == 0 && p.row == 0 && p.x == 0.0f &&
           p.y == 0.0f && p.tile == 0 && p.special_kind == 0 && p.special_cell == 0 &&
           p.blink_timer == 0.0f && p.flash == 0.0f && p.blink_on == 0;
}

// The values of a new game, state_id apart.
void expect_new_game(const Play_Record& r) {
    EXPECT_EQ(r.flags, FLAG_IN_PROGRESS);
    EXPECT_EQ(r.level, 0);
    for (const int32_t cell : r.grid.cells)
        ASSERT_EQ(cell, EMPTY_CELL);
    EXPECT_TRUE(piece_is_all_zero(r.current));
    EXPECT_TRUE(piece_is_all_zero(r.next));
    EXPECT_EQ(r.blocks_cleared, 64);
    EXPECT_EQ(r.target_col, 0);
    EXPECT_EQ(r.score, 0);
    EXPECT_EQ(r.shown_score, 0);
    EXPECT_EQ(r.score_step, 0);
    EXPECT_EQ(r.flares, 0);
    EXPECT_EQ(r.reserved_float, 0.0f);
}

std::vector<unsigned char> image_of(const Play_Record& record) {
    std::vector<unsigned char> image(PLAY_RECORD_SIZE);
    encode_play_record(record, image.data());
    return image;
}

} // namespace

// ---- construction and a new game
// -----------------------------------------------------------------

TEST(Play_Record_Values, BuiltRecordHoldsNoGame) {
    const Play_Record r;
    EXPECT_EQ(r.state_id, -1);
    EXPECT_EQ(r.flags, 0u);
    EXPECT_EQ(r.level, 0);
    for (const int32_t cell : r.grid.cells)
        ASSERT_EQ(cell, EMPTY_CELL);
    EXPECT_EQ(r.grid.full_row_count, 0);
    EXPECT_EQ(r.current.blink_timer, 0.5f);
    EXPECT_EQ(r.next.blink_timer, 0.5f);
    EXPECT_EQ(r.current.special_kind, 0);
    EXPECT_EQ(r.blocks_cleared, 0);
    EXPECT_EQ(r.score_step, 1);
    EXPECT_EQ(r.reserved_word, 0);
    EXPECT_TRUE(play_record_is_sound(r));
}

TEST(Play_Record_Values, ResetStartsANewGameKeepingTheStateIdAndReservedWord) {
    Play_Record r;
    fill_record(r);
    reset_play_record(&r);
    expect_new_game(r);
    EXPECT_EQ(r.state_id, STATE_FIRE);
    EXPECT_EQ(r.reserved_word, 0x12345678);
    // The row list describes the last search and is no part of a new game.
    EXPECT_EQ(r.grid.full_row_count, 3);
    EXPECT_TRUE(play_record_is_sound(r));
    reset_play_record(nullptr); // no record: nothing happens
}

// ---- the byte image
// --------------------------------------------------------------------------------

TEST(Play_Record_Image, EveryFieldLiesAtItsOffsetLittleEndian) {
    Play_Record r;
    fill_record(r);
    r.reserved_float = 1.5f;
    const std::vector<unsigned char> image = image_of(r);
    const uint8_t* p = image.data();
    EXPECT_EQ(p[0], STATE_FIRE); // little-endian: the low byte first
    EXPECT_EQ(get_i32(p + 0), STATE_FIRE);
    EXPECT_EQ(get_u32(p + 4), FLAG_IN_PROGRESS | FLAG_LEFT | FLAG_FALLING | FLAG_PAUSED);
    EXPECT_EQ(get_i32(p + 8), 7);
    EXPECT_EQ(get_u32(p + 12), 0u) << "the grid's identity is written as zero";
    EXPECT_EQ(get_i32(p + 16), -1);
    EXPECT_EQ(get_i32(p + 16 + 4 * 14), 13);
    EXPECT_EQ(get_i32(p + 16 + 4 * 279), 279 % 15 - 1);
    EXPECT_EQ(get_i32(p + 1136), 19);
    EXPECT_EQ(get_i32(p + 1136 + 4 * 19), 0);
    EXPECT_EQ(get_i32(p + 1216), 3);
    const uint8_t* c = p + 1220;
    EXPECT_EQ(get_i32(c + 0), 3);
    EXPECT_EQ(get_i32(c + 4), 1);
    EXPECT_EQ(get_i32(c + 8), 5);
    EXPECT_EQ(get_i32(c + 12), -1);
    EXPECT_EQ(get_f32(c + 16), 80.5f);
    EXPECT_EQ(get_f32(c + 20), -12.25f);
    EXPECT_EQ(get_i32(c + 24), 3);
    EXPECT_EQ(get_i32(c + 28), TILE_LIGHTNING);
    EXPECT_EQ(get_i32(c + 32), 2);
    EXPECT_EQ(get_f32(c + 36), 0.375f);
    EXPECT_EQ(get_f32(c + 40), 0.625f);
    EXPECT_EQ(c[44], 1);
    const uint8_t* n = p + 1268;
    EXPECT_EQ(get_i32(n + 0), 6);
    EXPECT_EQ(get_i32(n + 4), 2);
    EXPECT_EQ(get_f32(n + 16), 240.0f);
    EXPECT_EQ(get_f32(n + 20), 48.0f);
    EXPECT_EQ(get_i32(n + 28), -1);
    EXPECT_EQ(get_i32(n + 32), -1);
    for (const uint8_t* piece : {c, n}) {
        EXPECT_EQ(piece[45], 0);
        EXPECT_EQ(piece[46], 0);
        EXPECT_EQ(piece[47], 0);
    }
    EXPECT_EQ(get_i32(p + 1316), 42);
    EXPECT_EQ(get_i32(p + 1320), 6);
    EXPECT_EQ(get_i32(p + 1324), 1234);
    EXPECT_EQ(get_i32(p + 1328), 1200);
    EXPECT_EQ(get_i32(p + 1332), 17);
    EXPECT_EQ(get_i32(p + 1336), 3);
    EXPECT_EQ(get_f32(p + 1340), 1.5f);
    EXPECT_EQ(get_u32(p + 1344), 0x12345678u);
}

TEST(Play_Record_Image, HandBuiltImageIsReadFieldByField) {
    std::vector<unsigned char> image(PLAY_RECORD_SIZE, 0);
    uint8_t* p = image.data();
    put_i32(p + 0, STATE_KILL_ROWS);
    put_u32(p + 4, FLAG_IN_PROGRESS | FLAG_ROTATE);
    put_i32(p + 8, 12);
    put_u32(p + 12, 0xDEADBEEF); // a writer's type identity: ignored
    for (int i = 0; i < 280; ++i)
        put_i32(p + 16 + 4 * i, EMPTY_CELL);
    put_i32(p + 16 + 4 * (19 * 14 + 3), 5);
    put_i32(p + 1136, 19);
    put_i32(p + 1140, 15);
    put_i32(p + 1216, 2);
    uint8_t* c = p + 1220;
    put_i32(c + 0, 5);
    put_i32(c + 4, 3);
    put_i32(c + 8, 9);
    put_i32(c + 12, 4);
    put_f32(c + 16, 144.0f);
    put_f32(c + 20, 70.5f);
    put_i32(c + 24, 6);
    put_i32(c + 28, TILE_EARTH);
    put_i32(c + 32, 3);
    put_f32(c + 36, 0.125f);
    put_f32(c + 40, 0.5f);
    c[44] = 1;
    c[45] = c[46] = c[47] = 0x77; // padding: ignored
    uint8_t* n = p + 1268;
    put_i32(n + 0, 2);
    put_i32(n + 28, -1);
    put_i32(n + 32, -1);
    put_i32(p + 1316, 28);
    put_i32(p + 1320, 8);
    put_i32(p + 1324, 560);
    put_i32(p + 1328, 532);
    put_i32(p + 1332, 4);
    put_i32(p + 1336, 9);
    put_f32(p + 1340, 0.0f);
    put_i32(p + 1344, -5);

    Play_Record r;
    decode_play_record(p, &r);
    EXPECT_EQ(r.state_id, STATE_KILL_ROWS);
    EXPECT_EQ(r.flags, FLAG_IN_PROGRESS | FLAG_ROTATE);
    EXPECT_EQ(r.level, 12);
    EXPECT_EQ(r.grid.cell(3, 19), 5);
    EXPECT_EQ(r.grid.cell(4, 19), EMPTY_CELL);
    EXPECT_EQ(r.grid.full_rows().count, 2);
    EXPECT_EQ(r.grid.full_rows().rows[0], 19);
    EXPECT_EQ(r.grid.full_rows().rows[1], 15);
    expect_same_piece(r.current,
                      Piece{5, 3, 9, 4, 144.0f, 70.5f, 6, TILE_EARTH, 3, 0.125f, 0.5f, 1});
    EXPECT_EQ(r.next.shape, 2);
    EXPECT_EQ(r.next.special_cell, -1);
    EXPECT_EQ(r.blocks_cleared, 28);
    EXPECT_EQ(r.target_col, 8);
    EXPECT_EQ(r.score, 560);
    EXPECT_EQ(r.shown_score, 532);
    EXPECT_EQ(r.score_step, 4);
    EXPECT_EQ(r.flares, 9);
    EXPECT_EQ(r.reserved_word, -5);
    EXPECT_TRUE(play_record_is_sound(r));

    // The grid is still the well: its operations work after reading.
    Grid_Field& grid = r.grid;
    grid.clear_rows(19, 1);
    EXPECT_EQ(r.grid.cell(3, 19), EMPTY_CELL);
    // Written again, the ignored bytes come out as zero and everything else as it was read.
    std::vector<unsigned char> again = image_of(r);
    put_i32(p + 16 + 4 * (19 * 14 + 3), EMPTY_CELL);
    put_u32(p + 12, 0);
    c[45] = c[46] = c[47] = 0;
    EXPECT_EQ(again, image);
}

// ---- the saved-game file
// -------------------------------------------------------------------------

using Saved_Game_Test = Game_Test;

TEST_F(Saved_Game_Test, WritesTheImageAndReadsEveryFieldBack) {
    Play_Record written;
    fill_record(written);
    EXPECT_TRUE(save_saved_game(&written));
    const std::vector<unsigned char> bytes = read_file_bytes(dir->file(".vextile-game_info"));
    EXPECT_EQ(bytes, image_of(written));

    Stderr_Capture err;
    load_saved_game(&play_record);
    EXPECT_EQ(err.text(), "");
    expect_same_record(play_record, written);
}

TEST_F(Saved_Game_Test, IdentityBytesInTheFileAreIgnored) {
    Play_Record written;
    fill_record(written);
    std::vector<unsigned char> bytes = image_of(written);
    bytes[12] = bytes[13] = bytes[14] = bytes[15] = 0xFF;
    write_file_bytes(dir->file(".vextile-game_info"), bytes);
    load_saved_game(&play_record);
    expect_same_record(play_record, written);
    play_record.grid.set_cell(0, 0, 1); // the object is intact
    EXPECT_EQ(play_record.grid.cell(0, 0), 1);
}

TEST_F(Saved_Game_Test, BytesBeyondTheRecordAreIgnored) {
    Play_Record written;
    fill_record(written);
    std::vector<unsigned char> bytes = image_of(written);
    bytes.resize(2000, 0xEE);
    write_file_bytes(dir->file(".vextile-game_info"), bytes);
    Stderr_Capture err;
    load_saved_game(&play_record);
    EXPECT_EQ(err.text(), "");
    expect_same_record(play_record, written);
}

TEST_F(Saved_Game_Test, MissingFileGivesANewGameSilently) {
    fill_record(play_record);
    play_record.state_id = -1;
    Stderr_Capture err;
    load_saved_game(&play_record);
    EXPECT_EQ(err.text(), "");
    expect_new_game(play_record);
    EXPECT_EQ(play_record.state_id, -1);
}

TEST_F(Saved_Game_Test, ShortFileGivesANewGameKeepingTheBytesItRead) {
    Play_Record written;
    fill_record(written);
    written.state_id = STATE_PLAY;
    written.grid.full_row_count = 2;
    written.reserved_word = 0x00332211;
    std::vector<unsigned char> bytes = image_of(written);
    bytes.resize(PLAY_RECORD_SIZE - 1);
    write_file_bytes(dir->file(".vextile-game_info"), bytes);

    play_record.reserved_word = 0x44000000;
    Stderr_Capture err;
    load_saved_game(&play_record);
    EXPECT_EQ(err.text(), corrupt_message);
    expect_new_game(play_record);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_EQ(play_record.grid.full_row_count, 2);    // read, and no default overwrites it
    EXPECT_EQ(play_record.reserved_word, 0x44332211); // three bytes read, the last one kept
}

TEST_F(Saved_Game_Test, EmptyFileGivesANewGame) {
    write_file_bytes(dir->file(".vextile-game_info"), {});
    play_record.state_id = STATE_ABOUT;
    Stderr_Capture err;
    load_saved_game(&play_record);
    EXPECT_EQ(err.text(), corrupt_message);
    expect_new_game(play_record);
    EXPECT_EQ(play_record.state_id, STATE_ABOUT);
}

TEST_F(Saved_Game_Test, NoRecordMeansNothingToDo) {
    load_saved_game(nullptr);
    EXPECT_FALSE(save_saved_game(nullptr));
    EXPECT_FALSE(file_exists(dir->file(".vextile-game_info")));
}

TEST_F(Saved_Game_Test, SaveThatCannotCreateTheFileSaysSoAndAnswersTrue) {
    // A working directory that no longer exists: nothing can be created in it.
    ASSERT_EQ(mkdir(dir->file("gone").c_str(), 0755), 0);
    ASSERT_EQ(chdir(dir->file("gone").c_str()), 0);
    ASSERT_EQ(rmdir(dir->file("gone").c_str()), 0);
    Stderr_Capture err;
    const bool answer = save_saved_game(&play_record);
    const std::string text = err.text();
    ASSERT_EQ(chdir(dir->path().c_str()), 0);
    EXPECT_TRUE(answer);
    EXPECT_EQ(text, "couldn't create game_info file!\n");
}

TEST_F(Saved_Game_Test, SaveThatCannotPutTheFileInPlaceSaysSoAndAnswersTrue) {
    // A directory of that name, with something in it, cannot be replaced by the file.
    ASSERT_EQ(mkdir(dir->file(".vextile-game_info").c_str(), 0755), 0);
    write_file_bytes(dir->file(".vextile-game_info/keep"), {1});
    Stderr_Capture err;
    EXPECT_TRUE(save_saved_game(&play_record));
    EXPECT_EQ(err.text(), "error writing to game_info file!\n");
}

TEST_F(Saved_Game_Test, FreshAndResetRecordsSurviveTheTrip) {
    const Play_Record fresh;
    ASSERT_TRUE(save_saved_game(&fresh));
    fill_record(play_record);
    Stderr_Capture err;
    load_saved_game(&play_record);
    expect_same_record(play_record, fresh);

    Play_Record reset;
    reset.state_id = STATE_PLAY;
    reset_play_record(&reset);
    ASSERT_TRUE(save_saved_game(&reset));
    load_saved_game(&play_record);
    expect_same_record(play_record, reset);
    EXPECT_EQ(err.text(), "");
}

// ---- damaged records
// -----------------------------------------------------------------------------

namespace {

struct Damage {
    std::string what;
    std::function<void(Play_Record&)> apply;
};

const float nan_value = std::numeric_limits<float>::quiet_NaN();
const float inf_value = std::numeric_limits<float>::infinity();

std::vector<Damage> damages() {
    std::vector<Damage> out = {
        {"current shape 7", [](Play_Record& r) { r.current.shape = 7; }},
        {"next shape -1", [](Play_Record& r) { r.next.shape = -1; }},
        {"current rotation 4", [](Play_Record& r) { r.current.rotation = 4; }},
        {"next rotation -1", [](Play_Record& r) { r.next.rotation = -1; }},
        {"current special cell 4", [](Play_Record& r) { r.current.special_cell = 4; }},
        {"next special cell -2", [](Play_Record& r) { r.next.special_cell = -2; }},
        {"special kind 99 on a cell", [](Play_Record& r) { r.current.special_kind = 99; }},
        {"special kind -1 on a cell", [](Play_Record& r) { r.current.special_kind = -1; }},
        {"special kind 7 on a cell", [](Play_Record& r) { r.current.special_kind = TILE_FLASH; }},
        {"piece tile 14", [](Play_Record& r) { r.next.tile = 14; }},
        {"piece tile -1", [](Play_Record& r) { r.current.tile = -1; }},
        {"full row count 21", [](Play_Record& r) { r.grid.full_row_count = 21; }},
        {"full row count -1", [](Play_Record& r) { r.grid.full_row_count = -1; }},
        {"listed row 20", [](Play_Record& r) { r.grid.full_row_list[1] = 20; }},
        {"listed row -1", [](Play_Record& r) { r.grid.full_row_list[0] = -1; }},
        {"grid cell 14", [](Play_Record& r) { r.grid.cells[100] = 14; }},
        {"grid cell -2", [](Play_Record& r) { r.grid.cells[279] = -2; }},
        {"grid cell huge", [](Play_Record& r) { r.grid.cells[0] = 0x40000000; }},
        {"level -1", [](Play_Record& r) { r.level = -1; }},
        {"score step -4", [](Play_Record& r) { r.score_step = -4; }},
        {"reserved float NaN", [](Play_Record& r) { r.reserved_float = nan_value; }},
        {"reserved float a million", [](Play_Record& r) { r.reserved_float = 1.0e6f; }},
    };
    // Every float of both pieces, each way it can be unusable.
    const std::pair<const char*, float Piece::*> fields[] = {{"x", &Piece::x},
                                                             {"y", &Piece::y},
                                                             {"blink_timer", &Piece::blink_timer},
                                                             {"flash", &Piece::flash}};
    for (const bool next : {false, true}) {
        for (const auto& [name, field] : fields) {
            for (const float bad : {nan_value, inf_value, -inf_value, 1.0e6f, -3.0e9f}) {
                const std::string what =
                    std::string(next ? "next " : "current ") + name + " " + std::to_string(bad);
                out.push_back({what, [next, field = field, bad](Play_Record& r) {
                                   Piece& piece = next ? r.next : r.current;
                                   piece.*field = bad;
                               }});
            }
        }
    }
    return out;
}

} // namespace

TEST_F(Saved_Game_Test, EachKindOfDamageIsRefusedForANewGameAtTheSplash) {
    for (const Damage& damage : damages()) {
        SCOPED_TRACE(damage.what);
        Play_Record written;
        fill_record(written);
        written.state_id = STATE_PLAY;
        ASSERT_TRUE(play_record_is_sound(written));
        damage.apply(written);
        EXPECT_FALSE(play_record_is_sound(written));
        write_file_bytes(dir->file(".vextile-game_info"), image_of(written));

        play_record = Play_Record();
        Stderr_Capture err;
        load_saved_game(&play_record);
        EXPECT_EQ(err.text(), corrupt_message);
        expect_new_game(play_record);
        EXPECT_EQ(play_record.state_id, STATE_SPLASH);
        EXPECT_EQ(play_record.grid.full_row_count, 0);
        EXPECT_TRUE(play_record_is_sound(play_record));
    }
}

TEST_F(Saved_Game_Test, DamagedShortFileIsReportedOnce) {
    Play_Record written;
    fill_record(written);
    written.state_id = STATE_PLAY;
    written.grid.full_row_count = 50; // survives a new game, so the check must catch it
    std::vector<unsigned char> bytes = image_of(written);
    bytes.resize(1300);
    write_file_bytes(dir->file(".vextile-game_info"), bytes);
    Stderr_Capture err;
    load_saved_game(&play_record);
    EXPECT_EQ(err.text(), corrupt_message);
    expect_new_game(play_record);
    EXPECT_EQ(play_record.state_id, STATE_SPLASH);
    EXPECT_TRUE(play_record_is_sound(play_record));
}

TEST_F(Saved_Game_Test, RecordsTheGameWritesAreAccepted) {
    const std::vector<std::function<void(Play_Record&)>> sound = {
        [](Play_Record& r) { r.current.special_kind = 0, r.current.special_cell = 0; }, // reset
        [](Play_Record& r) { r.current.special_kind = -1, r.current.special_cell = -1; },
        [](Play_Record& r) { r.current.special_kind = TILE_EARTH, r.current.special_cell = 3; },
        [](Play_Record& r) { r.current.special_kind = TILE_FIRE, r.current.special_cell = 0; },
        [](Play_Record& r) { r.current.y = -999999.0f, r.next.flash = -0.01f; },
        [](Play_Record& r) { r.grid.full_row_count = 0, r.grid.full_row_list[0] = 77; },
        [](Play_Record& r) {
            r.grid.full_row_count = 20;
            for (int i = 0; i < 20; ++i)
                r.grid.full_row_list[i] = 19 - i;
        },
        [](Play_Record& r) { r.grid.cells[5] = TILE_EARTH, r.grid.cells[6] = TILE_THAWED; },
        [](Play_Record& r) { r.level = 0, r.score_step = 0; },
        [](Play_Record& r) { r.current.blink_on = 1, r.next.blink_on = 0; },
    };
    for (size_t i = 0; i < sound.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        Play_Record written;
        fill_record(written);
        sound[i](written);
        ASSERT_TRUE(save_saved_game(&written));
        Stderr_Capture err;
        load_saved_game(&play_record);
        EXPECT_EQ(err.text(), "");
        expect_same_record(play_record, written);
    }
}

TEST_F(Saved_Game_Test, GeneratedPiecesAreSound) {
    app.options.flags = opt_random_colors | opt_special_blocks;
    app.options.opt_special_chance = 50;
    std::srand(3);
    for (int i = 0; i < 200; ++i) {
        generate_piece(play_record.next, -1);
        generate_piece(play_record.current, i % 7);
        if (i % 3 == 0) rotate_piece(play_record.current);
        ASSERT_TRUE(play_record_is_sound(play_record)) << "piece " << i;
    }
}
