// The play record: a new game, its 1348-byte image, and the saved-game file with its messages and
// the refusal of damaged records.
#include "game_test.h"

#include "app/vextile.h"
#include "game/effect_table.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/record_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string corrupt = "info file is corrupt -- regenerating list\n";
const char* const file_name = ".vextile-game_info";

std::vector<unsigned char> image_of(const Play_Record& record) {
    std::vector<unsigned char> image(PLAY_RECORD_SIZE);
    encode_play_record(record, image.data());
    return image;
}

// A record in which every field holds a value of its own, as a game in progress would: cells of
// every tile, a flash run a little below 0 as it fades.
Play_Record filled_record(int32_t state_id = STATE_FIRE) {
    Grid_Field_Surface grid;
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i)
        grid.cells[i] = i % 15 - 1; // -1..13
    for (int i = 0; i < GRID_ROWS; ++i)
        grid.full_row_list[i] = 19 - i;
    grid.full_row_count = 3;
    // clang-format off
    return Play_Record{state_id, FLAG_IN_PROGRESS | FLAG_LEFT | FLAG_FALLING | FLAG_PAUSED, 7, grid,
                       Piece{3, 1, 5, -1, 80.5f, -12.25f, 3, TILE_LIGHTNING, 2, 0.375f, 0.625f, 1},
                       Piece{6, 2, 0, 0, 240.0f, 48.0f, 6, -1, -1, 0.0f, -0.015625f, 0},
                       42, 6, 1234, 1200, 17, 3, 0.5f, 0x12345678};
    // clang-format on
}

// A new game of the state and the count of listed rows given, compared as a whole image; the
// reserved word and the row list are kept.
void expect_new_game(const Play_Record& r, int32_t state_id, int32_t listed_rows) {
    const Piece cleared{0, 0, 0, 0, 0.0f, 0.0f, 0, 0, 0, 0.0f, 0.0f, 0};
    // clang-format off
    Play_Record fresh{state_id, FLAG_IN_PROGRESS, 0, {}, cleared, cleared, 64, 0, 0, 0, 0, 0, 0.0f, r.reserved_word};
    // clang-format on
    std::copy(std::begin(r.grid.full_row_list), std::end(r.grid.full_row_list),
              fresh.grid.full_row_list);
    fresh.grid.full_row_count = listed_rows;
    EXPECT_EQ(image_of(r), image_of(fresh));
}

} // namespace

// The image of the filled record built by hand, field by field at its offset: written, the record
// gives it; read, it gives the record back.
TEST(Play_Record_Image, HandBuiltImageIsTheEncodingOfItsRecordAndIsReadBackToIt) {
    std::vector<unsigned char> image(PLAY_RECORD_SIZE, 0);
    uint8_t* const p = image.data();
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i) // the cells from 16, row by row
        put_i32(p + 16 + 4 * i, i % 15 - 1);
    for (int i = 0; i < GRID_ROWS; ++i) // the row list from 1136
        put_i32(p + 1136 + 4 * i, 19 - i);
    // The pieces at 1220 and 1268, floats as their IEEE single bits; 12..15 hold a writer's type
    // identity, ignored.
    // clang-format off
    const std::pair<int, int64_t> words[] = {
        {0, STATE_FIRE}, {4, FLAG_IN_PROGRESS | FLAG_LEFT | FLAG_FALLING | FLAG_PAUSED}, {8, 7},
        {12, -559038737}, {1216, 3},
        {1220, 3}, {1224, 1}, {1228, 5}, {1232, -1}, {1236, 0x42a10000}, {1240, 0xc1440000},
        {1244, 3}, {1248, TILE_LIGHTNING}, {1252, 2}, {1256, 0x3ec00000}, {1260, 0x3f200000},
        {1268, 6}, {1272, 2}, {1284, 0x43700000}, {1288, 0x42400000}, {1292, 6}, {1296, -1},
        {1300, -1}, {1308, 0xbc800000}, {1316, 42}, {1320, 6}, {1324, 1234}, {1328, 1200},
        {1332, 17}, {1336, 3}, {1340, 0x3f000000}, {1344, 0x12345678},
        {1264, 0x77777701}}; // blink_on of the current piece, then its padding: ignored
    // clang-format on
    for (const auto& [at, value] : words)
        put_u32(p + at, uint32_t(value));
    Play_Record read;
    decode_play_record(p, &read);
    p[12] = p[13] = p[14] = p[15] = p[1265] = p[1266] = p[1267] = 0; // written as zero
    EXPECT_EQ(image_of(filled_record()), image);
    EXPECT_EQ(image_of(read), image);
}

using Saved_Game_Test = Game_Test;

TEST_F(Saved_Game_Test, FailedSavesSaySoAndAnswerFalse) {
    // A directory of that name cannot be opened for writing, so it is refused as a file that
    // cannot be written; nothing can be created in a working directory that no longer exists.
    ASSERT_TRUE(mkdir(file_name, 0755) == 0 && mkdir(".vextile-game_info/keep", 0755) == 0);
    Stderr_Capture err;
    EXPECT_FALSE(save_saved_game(&play_record));
    ASSERT_TRUE(mkdir("gone", 0755) == 0 && chdir("gone") == 0);
    ASSERT_EQ(rmdir(dir->file("gone").c_str()), 0);
    EXPECT_FALSE(save_saved_game(&play_record));
    ASSERT_EQ(chdir(dir->path().c_str()), 0);
    EXPECT_EQ(err.text(), "couldn't create game_info file!\ncouldn't create game_info file!\n");
}

// Loading what cannot be played: no file, silently; a 1347-byte file, a new game in the file's
// state; the same with a row count that survives a new game, which the check must catch; then
// each kind of damage, one word or float replaced. Every file is reported corrupt once, and all
// but the first two end at the splash with the row list emptied.
TEST_F(Saved_Game_Test, MissingShortAndDamagedFilesGiveANewGame) {
    const Play_Record written = filled_record(STATE_PLAY);
    ASSERT_TRUE(play_record_is_sound(written));
    // At offsets in the image: the shapes, rotations, special cells and kinds (also a special
    // kind without a special cell), tiles, the row count and listed rows, cells, level, score
    // step, and columns and rows far out.
    // clang-format off
    const std::pair<int, int32_t> words[] = {
        {1220, 7}, {1268, -1}, {1224, 4}, {1272, -1}, {1252, 4}, {1300, -2},
        {1252, -1}, {1296, TILE_FIRE},
        {1248, 99}, {1248, -1}, {1248, TILE_FLASH}, {1292, 14}, {1244, -1},
        {1216, 21}, {1216, -1}, {1140, 20}, {1136, -1},
        {16 + 4 * 100, 14}, {16 + 4 * 279, -2}, {16, 0x40000000},
        {8, -1}, {8, 1001}, {1332, -4}, {1320, 1001}, {1228, 1001}, {1280, -1001}};
    // clang-format on
    std::vector<std::vector<unsigned char>> files(3 + std::size(words) + 45, image_of(written));
    files[0].clear();
    files[1].resize(PLAY_RECORD_SIZE - 1);
    files[2] = files[1];
    put_i32(&files[2][1216], 50);
    for (size_t i = 0; i < std::size(words); ++i)
        put_i32(&files[3 + i][words[i].first], words[i].second);
    // Every float, each way it can be unusable: the pieces' x, y, blink timer and flash, and the
    // reserved float.
    size_t i = 3 + std::size(words);
    for (const int at : {1236, 1240, 1256, 1260, 1284, 1288, 1304, 1308, 1340})
        for (const float bad : {NAN, INFINITY, -INFINITY, 1.0e6f, -3.0e9f})
            put_f32(&files[i++][at], bad);
    for (i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "file " << i);
        if (i > 0) write_file_bytes(file_name, files[i]);
        play_record = filled_record();
        Stderr_Capture err;
        load_saved_game(&play_record);
        EXPECT_EQ(err.text(), i > 0 ? corrupt : "");
        expect_new_game(play_record,
                        i == 0   ? STATE_FIRE
                        : i == 1 ? STATE_PLAY
                                 : STATE_SPLASH,
                        i < 2 ? 3 : 0);
    }
}

TEST_F(Saved_Game_Test, RecordsTheGameMakesSurviveTheTripAndPassTheCheck) {
    const Play_Record fresh, filled = filled_record();
    Play_Record reset = filled_record();
    reset_play_record(&reset);
    expect_new_game(reset, STATE_FIRE, 3);
    Stderr_Capture err;
    // Each written whole; read back also with a writer's type identity and bytes beyond the
    // record, which are ignored.
    for (const Play_Record* written : {&fresh, &filled, &std::as_const(reset)}) {
        ASSERT_TRUE(save_saved_game(written));
        std::vector<unsigned char> bytes = read_file_bytes(file_name);
        EXPECT_EQ(bytes, image_of(*written));
        bytes[12] = bytes[13] = bytes[14] = bytes[15] = 0xFF;
        bytes.resize(2000, 0xEE);
        write_file_bytes(file_name, bytes);
        play_record = Play_Record();
        load_saved_game(&play_record);
        EXPECT_EQ(image_of(play_record), image_of(*written));
    }
    play_record.grid.set_cell(0, 0, 1); // the well object is intact: its virtual calls work
    EXPECT_EQ(err.text(), "");

    // Pieces as the game generates them.
    game.options = {opt_random_colors | opt_special_blocks, 50, {}};
    std::srand(3);
    for (int i = 0; i < 200; ++i) {
        generate_piece(play_record.next, -1, game.options);
        generate_piece(play_record.current, i % 7, game.options);
        if (i % 3 == 0) rotate_piece(play_record.current);
        ASSERT_TRUE(play_record_is_sound(play_record)) << "generated piece " << i;
    }
}
