// The play record: a new game, its 1348-byte image, and the saved-game file with its messages and
// the refusal of damaged records.
#include "game_test.h"

#include "app/game_state.h"
#include "app/vextile.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/record_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string corrupt_message = "info file is corrupt -- regenerating list\n";

template <typename... T> std::vector<double> values(T... v) {
    return {double(v)...};
}

std::vector<double> piece_values(const Piece& p) {
    return values(p.shape, p.rotation, p.col, p.row, p.x, p.y, p.tile, p.special_kind,
                  p.special_cell, p.blink_timer, p.flash, p.blink_on);
}

// A record in which every field holds a value of its own, as a game in progress would: cells of
// every tile, a flash run a little below 0 as it fades.
Play_Record filled_record() {
    Grid_Field_Surface grid;
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i)
        grid.cells[i] = i % 15 - 1; // -1..13
    for (int i = 0; i < GRID_ROWS; ++i)
        grid.full_row_list[i] = 19 - i;
    grid.full_row_count = 3;
    return Play_Record{STATE_FIRE,
                       FLAG_IN_PROGRESS | FLAG_LEFT | FLAG_FALLING | FLAG_PAUSED,
                       7,
                       grid,
                       Piece{3, 1, 5, -1, 80.5f, -12.25f, 3, TILE_LIGHTNING, 2, 0.375f, 0.625f, 1},
                       Piece{6, 2, 0, 0, 240.0f, 48.0f, 6, -1, -1, 0.0f, -0.015625f, 0},
                       42,
                       6,
                       1234,
                       1200,
                       17,
                       3,
                       0.5f,
                       0x12345678};
}

std::vector<unsigned char> image_of(const Play_Record& record) {
    std::vector<unsigned char> image(PLAY_RECORD_SIZE);
    encode_play_record(record, image.data());
    return image;
}

// The values of a new game; state_id, the reserved word and the row list are kept from before.
void expect_new_game(const Play_Record& r) {
    EXPECT_EQ(values(r.flags, r.level, r.blocks_cleared, r.target_col, r.score, r.shown_score,
                     r.score_step, r.flares, r.reserved_float),
              values(FLAG_IN_PROGRESS, 0, 64, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(std::count(std::begin(r.grid.cells), std::end(r.grid.cells), EMPTY_CELL), 280);
    EXPECT_EQ(piece_values(r.current), std::vector<double>(12, 0.0));
    EXPECT_EQ(piece_values(r.next), std::vector<double>(12, 0.0));
}

} // namespace

TEST(Play_Record_Image, HandBuiltImageIsReadFieldByFieldAndWrittenBackTheSame) {
    std::vector<unsigned char> image(PLAY_RECORD_SIZE, 0);
    uint8_t* const p = image.data(); // every cell tile 0 but one
    // 12..15 hold a writer's type identity, ignored; cell (3, 19) lies at 16 + 4 * (19 * 14 + 3);
    // the row list at 1136, its count at 1216, the pieces at 1220 and 1268.
    // clang-format off
    const std::pair<int, int32_t> words[] = {
        {0, STATE_KILL_ROWS}, {4, FLAG_IN_PROGRESS | FLAG_ROTATE}, {8, 12}, {12, -559038737},
        {1092, 5}, {1136, 19}, {1140, 15}, {1216, 2},
        {1220, 5}, {1224, 3}, {1228, 9}, {1232, 4}, {1244, 6}, {1248, TILE_EARTH}, {1252, 3},
        {1268, 2}, {1272, 1}, {1280, 4}, {1292, 5}, {1296, -1}, {1300, -1},
        {1316, 28}, {1320, 8}, {1324, 560}, {1328, 532}, {1332, 4}, {1336, 9}, {1344, -5}};
    const std::pair<int, float> floats[] = {
        {1236, 144.0f}, {1240, 70.5f}, {1256, 0.125f}, {1260, 0.5f}, {1284, -8.5f}, {1308, 0.25f},
        {1340, 0.75f}};
    // clang-format on
    for (const auto& [at, value] : words)
        put_i32(p + at, value);
    for (const auto& [at, value] : floats)
        put_f32(p + at, value);
    p[1264] = 1;                        // blink_on of the current piece
    p[1265] = p[1266] = p[1267] = 0x77; // its padding: ignored

    Play_Record r;
    decode_play_record(p, &r);
    EXPECT_EQ(values(r.state_id, r.flags, r.level, r.blocks_cleared, r.target_col, r.score,
                     r.shown_score, r.score_step, r.flares, r.reserved_float, r.reserved_word),
              values(STATE_KILL_ROWS, FLAG_IN_PROGRESS | FLAG_ROTATE, 12, 28, 8, 560, 532, 4, 9,
                     0.75, -5));
    EXPECT_EQ(piece_values(r.current),
              values(5, 3, 9, 4, 144, 70.5, 6, TILE_EARTH, 3, 0.125, 0.5, 1));
    EXPECT_EQ(piece_values(r.next), values(2, 1, 0, 4, -8.5, 0, 5, -1, -1, 0, 0.25, 0));
    EXPECT_EQ(values(r.grid.cell(3, 19), r.grid.cell(2, 19), r.grid.cell(4, 19)), values(5, 0, 0));
    EXPECT_EQ(values(r.grid.full_row_count, r.grid.full_row_list[0], r.grid.full_row_list[1]),
              values(2, 19, 15));
    EXPECT_TRUE(play_record_is_sound(r));
    // Written again, the ignored bytes come out as zero and everything else as it was read.
    p[12] = p[13] = p[14] = p[15] = p[1265] = p[1266] = p[1267] = 0;
    EXPECT_EQ(image_of(r), image);
}

using Saved_Game_Test = Game_Test;

TEST_F(Saved_Game_Test, MissingAndShortFilesGiveANewGame) {
    play_record = filled_record();
    Stderr_Capture missing;
    load_saved_game(&play_record);
    EXPECT_EQ(missing.text(), "");
    expect_new_game(play_record);
    EXPECT_EQ(play_record.state_id, STATE_FIRE);

    Play_Record written = filled_record();
    written.state_id = STATE_PLAY;
    std::vector<unsigned char> bytes = image_of(written);
    bytes.resize(PLAY_RECORD_SIZE - 1);
    write_file_bytes(dir->file(".vextile-game_info"), bytes);
    Stderr_Capture err;
    load_saved_game(&play_record);
    EXPECT_EQ(err.text(), corrupt_message);
    expect_new_game(play_record);
    EXPECT_EQ(play_record.state_id, STATE_PLAY); // from the file's first 4 bytes

    put_i32(&bytes[1216], 50); // a row count that survives a new game: the check must catch it
    write_file_bytes(dir->file(".vextile-game_info"), bytes);
    load_saved_game(&play_record);
    EXPECT_EQ(err.text(), corrupt_message + corrupt_message) << "reported once per file";
    EXPECT_EQ(play_record.state_id, STATE_SPLASH);
}

TEST_F(Saved_Game_Test, FailedSavesSaySoAndAnswerTrue) {
    // A directory of that name, with something in it, cannot be replaced by the file.
    ASSERT_EQ(mkdir(dir->file(".vextile-game_info").c_str(), 0755), 0);
    write_file_bytes(dir->file(".vextile-game_info/keep"), {1});
    Stderr_Capture err;
    EXPECT_TRUE(save_saved_game(&play_record));
    // Nothing can be created in a working directory that no longer exists.
    ASSERT_EQ(mkdir(dir->file("gone").c_str(), 0755), 0);
    ASSERT_EQ(chdir(dir->file("gone").c_str()), 0);
    ASSERT_EQ(rmdir(dir->file("gone").c_str()), 0);
    EXPECT_TRUE(save_saved_game(&play_record));
    ASSERT_EQ(chdir(dir->path().c_str()), 0);
    EXPECT_EQ(err.text(), "error writing to game_info file!\ncouldn't create game_info file!\n");
}

TEST_F(Saved_Game_Test, EachKindOfDamageIsRefusedForANewGameAtTheSplash) {
    Play_Record written = filled_record();
    written.state_id = STATE_PLAY;
    ASSERT_TRUE(play_record_is_sound(written));
    const auto refused = [&](const std::string& what,
                             const std::function<void(std::vector<unsigned char>&)>& damage) {
        SCOPED_TRACE(what);
        std::vector<unsigned char> image = image_of(written);
        damage(image);
        write_file_bytes(dir->file(".vextile-game_info"), image);
        play_record = Play_Record();
        Stderr_Capture err;
        load_saved_game(&play_record);
        EXPECT_EQ(err.text(), corrupt_message);
        expect_new_game(play_record);
        EXPECT_EQ(play_record.state_id, STATE_SPLASH);
        EXPECT_EQ(play_record.grid.full_row_count, 0);
    };
    // clang-format off
    const struct { const char* what; int at; int32_t value; } words[] = { // at: offset in the image
        {"current shape", 1220, 7},         {"next shape", 1268, -1},
        {"current rotation", 1224, 4},      {"next rotation", 1272, -1},
        {"current special cell", 1252, 4},  {"next special cell", 1300, -2},
        {"special kind", 1248, 99},         {"special kind", 1248, -1},
        {"special kind", 1248, TILE_FLASH}, {"next tile", 1292, 14},
        {"current tile", 1244, -1},         {"full row count", 1216, 21},
        {"full row count", 1216, -1},       {"listed row", 1140, 20},
        {"listed row", 1136, -1},           {"cell", 16 + 4 * 100, 14},
        {"cell", 16 + 4 * 279, -2},         {"cell", 16, 0x40000000},
        {"level", 8, -1},                   {"score step", 1332, -4},
        {"level", 8, 1001},                 {"target column", 1320, 1001},
        {"current column", 1228, 1001},     {"next row", 1280, -1001}};
    // clang-format on
    for (const auto& c : words)
        refused(c.what + (" " + std::to_string(c.value)),
                [&](std::vector<unsigned char>& image) { put_i32(&image[c.at], c.value); });
    // Every float, each way it can be unusable: the pieces' x, y, blink timer and flash, and the
    // reserved float.
    for (const int at : {1236, 1240, 1256, 1260, 1284, 1288, 1304, 1308, 1340})
        for (const float bad : {NAN, INFINITY, -INFINITY, 1.0e6f, -3.0e9f})
            refused("float at " + std::to_string(at) + " " + std::to_string(bad),
                    [&](std::vector<unsigned char>& image) { put_f32(&image[at], bad); });
}

TEST_F(Saved_Game_Test, RecordsTheGameMakesSurviveTheTripAndPassTheCheck) {
    const Play_Record fresh, filled = filled_record();
    Play_Record reset = filled_record();
    reset_play_record(&reset);
    expect_new_game(reset);
    EXPECT_EQ(values(reset.state_id, reset.reserved_word, reset.grid.full_row_count),
              values(STATE_FIRE, 0x12345678, 3));
    Stderr_Capture err;
    for (const Play_Record* written : {&fresh, &filled, &std::as_const(reset)}) {
        ASSERT_TRUE(save_saved_game(written));
        EXPECT_EQ(read_file_bytes(dir->file(".vextile-game_info")), image_of(*written));
        load_saved_game(&play_record);
        EXPECT_EQ(image_of(play_record), image_of(*written));
    }
    // A writer's type identity and bytes beyond the record are ignored.
    std::vector<unsigned char> bytes = image_of(filled);
    bytes[12] = bytes[13] = bytes[14] = bytes[15] = 0xFF;
    bytes.resize(2000, 0xEE);
    write_file_bytes(dir->file(".vextile-game_info"), bytes);
    play_record = Play_Record();
    load_saved_game(&play_record);
    EXPECT_EQ(image_of(play_record), image_of(filled));
    play_record.grid.set_cell(0, 0, 1); // the well object is intact: its virtual calls work
    EXPECT_EQ(err.text(), "");

    // Pieces as the game generates them.
    app.options.flags = opt_random_colors | opt_special_blocks;
    app.options.opt_special_chance = 50;
    std::srand(3);
    for (int i = 0; i < 200; ++i) {
        generate_piece(play_record.next, -1);
        generate_piece(play_record.current, i % 7);
        if (i % 3 == 0) rotate_piece(play_record.current);
        ASSERT_TRUE(play_record_is_sound(play_record)) << "generated piece " << i;
    }
}
