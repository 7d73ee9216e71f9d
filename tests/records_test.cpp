// The record files: the saved game (the play record's 1348-byte image, its check and its
// messages), the options and the high-score table, and the atomic writer behind all three.
#include "game_test.h"

#include "game/effect_table.h"
#include "play/saved_game.h"
#include "store/options_file.h"
#include "store/record_file.h"
#include "store/score_file.h"

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Bytes = std::vector<unsigned char>;
using Records_Test = Game_Test;

const std::string corrupt_game = "info file is corrupt -- regenerating list\n";

Bytes image_of(const Play_Record& record) {
    Bytes image(PLAY_RECORD_SIZE);
    encode_play_record(record, image.data());
    return image;
}

std::string read(const char* path) {
    const Bytes bytes = read_file_bytes(path);
    return {bytes.begin(), bytes.end()};
}
void write(const char* path, const std::string& bytes) {
    write_file_bytes(path, {bytes.begin(), bytes.end()});
}
long files_here() {
    return std::distance(fs::directory_iterator("."), fs::directory_iterator());
}

// The rows of a table as "name score".
std::vector<std::string> rows_of(const Score_Table& table) {
    std::vector<std::string> rows;
    for (const Score_Entry& e : table.rows)
        rows.push_back(std::string(e.name, strnlen(e.name, 12)) + " " + std::to_string(e.score));
    return rows;
}

const std::vector<std::string> shipped_rows = {
    "Pell 1000",   "Tavrin 900", "Ollek 800",  "Miraz 700", "Quessa 600",
    "Brannic 500", "Yelva 400",  "Dunmor 300", "Corla 200", "T. Vorn 100"};

// A record in which every field holds a value of its own, as a game in progress would.
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

} // namespace

// The image of the filled record built by hand, field by field at its offset: written, the record
// gives it; read, it gives the record back. Bytes 12..15 (a writer's type identity) and the
// padding after blink_on are ignored and written as zero.
TEST(Play_Record_Image, HandBuiltImageIsTheEncodingOfItsRecordAndIsReadBackToIt) {
    Bytes image(PLAY_RECORD_SIZE, 0);
    uint8_t* const p = image.data();
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i) // the cells from 16, row by row
        put_i32(p + 16 + 4 * i, i % 15 - 1);
    for (int i = 0; i < GRID_ROWS; ++i) // the row list from 1136
        put_i32(p + 1136 + 4 * i, 19 - i);
    // clang-format off
    const std::pair<int, int64_t> words[] = {
        {0, STATE_FIRE}, {4, FLAG_IN_PROGRESS | FLAG_LEFT | FLAG_FALLING | FLAG_PAUSED}, {8, 7},
        {12, -559038737}, {1216, 3},
        {1220, 3}, {1224, 1}, {1228, 5}, {1232, -1}, {1236, 0x42a10000}, {1240, 0xc1440000},
        {1244, 3}, {1248, TILE_LIGHTNING}, {1252, 2}, {1256, 0x3ec00000}, {1260, 0x3f200000},
        {1268, 6}, {1272, 2}, {1284, 0x43700000}, {1288, 0x42400000}, {1292, 6}, {1296, -1},
        {1300, -1}, {1308, 0xbc800000}, {1316, 42}, {1320, 6}, {1324, 1234}, {1328, 1200},
        {1332, 17}, {1336, 3}, {1340, 0x3f000000}, {1344, 0x12345678}, {1264, 0x77777701}};
    // clang-format on
    for (const auto& [at, value] : words)
        put_u32(p + at, uint32_t(value));
    Play_Record read_back;
    decode_play_record(p, &read_back);
    p[12] = p[13] = p[14] = p[15] = p[1265] = p[1266] = p[1267] = 0;
    EXPECT_EQ(image_of(filled_record()), image);
    EXPECT_EQ(image_of(read_back), image);
}

// No file: a new game, silently. A 1347-byte file: a new game in the file's state (its listed
// rows kept). Then each kind of damage, one word or float replaced, and counters beyond the ranges
// a game reaches: reported corrupt once, a new game at the splash with the row list emptied.
TEST_F(Records_Test, MissingShortAndDamagedSavedGamesGiveANewGame) {
    const Play_Record written = filled_record(STATE_PLAY);
    ASSERT_TRUE(play_record_is_sound(written));
    // clang-format off
    const std::pair<int, int32_t> words[] = { // shapes, rotations, special cells and kinds, tiles,
        {1220, 7}, {1268, -1}, {1224, 4}, {1272, -1}, {1252, 4}, {1300, -2}, {1252, -1},
        {1296, TILE_FIRE}, {1248, 99}, {1248, -1}, {1248, TILE_FLASH}, {1292, 14}, {1244, -1},
        {1216, 21}, {1216, -1}, {1140, 20}, {1136, -1}, // the row count and the listed rows,
        {16 + 4 * 100, 14}, {16 + 4 * 279, -2}, {16, 0x40000000}, // cells,
        {8, -1}, {8, 1001}, {1332, -4}, {1332, 21}, {1320, 1001}, {1228, 1001}, {1280, -1001},
        {1324, 1000000001}, {1328, 1235}, {1328, -1}, {1316, 345}, {1336, 1001}, {1228, -0x40000000}};
    // clang-format on
    std::vector<Bytes> files(3 + std::size(words) + 45, image_of(written));
    files[0].clear();
    files[1].resize(PLAY_RECORD_SIZE - 1);
    for (size_t i = 0; i < std::size(words); ++i)
        put_i32(&files[3 + i][words[i].first], words[i].second);
    put_i32(&files[2][1216], 50);
    files[2].resize(PLAY_RECORD_SIZE - 1); // a short file whose row count survives a new game
    size_t i = 3 + std::size(words);       // every float, each way it can be unusable
    for (const int at : {1236, 1240, 1256, 1260, 1284, 1288, 1304, 1308, 1340})
        for (const float bad : {NAN, INFINITY, -INFINITY, 1.0e6f, -3.0e9f})
            put_f32(&files[i++][at], bad);
    for (i = 0; i < files.size(); ++i) {
        if (i > 0) write_file_bytes(SAVED_GAME_FILE_NAME, files[i]);
        play_record = filled_record();
        Stderr_Capture err;
        load_saved_game(&play_record);
        Play_Record fresh = play_record; // what it must be: a new game, in its state
        reset_play_record(&fresh);
        fresh.state_id = i == 0 ? STATE_FIRE : i == 1 ? STATE_PLAY : STATE_SPLASH;
        fresh.grid.full_row_count = i < 2 ? 3 : 0;
        for (int row = 0; row < GRID_ROWS; ++row)
            fresh.grid.full_row_list[row] = i < 2 ? 19 - row : 0;
        EXPECT_EQ(std::pair(err.text(), image_of(play_record)),
                  std::pair(i > 0 ? corrupt_game : "", image_of(fresh)))
            << "file " << i;
    }
}

// The score table: 16 bytes a row (the name's 12 with nothing after its zero, the score), a name
// filling its 12 bytes cut to 11, longer files read for their first 160 bytes. Saves replace a
// longer file whole, with mode 0644 here. (The options' bytes are checked with their screen.)
TEST_F(Records_Test, TheScoreFileKeepsEveryBitAndOverlongNamesAreCut) {
    Score_Table sample;
    for (int row = 0; row < SCORE_ROWS; ++row) {
        std::memset(sample.rows[row].name, 'a' + row, (row + 10) % 11);
        sample.rows[row].score = row == 0 ? INT32_MAX : row == 9 ? INT32_MIN : (5 - row) * 65537;
    }
    std::memcpy(sample.rows[4].name, "Bo\0junkjunk", SCORE_NAME_SIZE);
    write(SCORE_FILE_NAME, std::string(300, 'o'));
    Stderr_Capture err;
    EXPECT_TRUE(save_score_table(&sample));
    std::string scores = read(SCORE_FILE_NAME);
    EXPECT_EQ(scores.size(), 160u);
    EXPECT_EQ(scores.substr(0, 16), "aaaaaaaaaa\0\0\xff\xff\xff\x7f"s);
    EXPECT_EQ(scores.substr(64, 16), "Bo\0\0\0\0\0\0\0\0\0\0\1\0\1\0"s);
    EXPECT_EQ(fs::status(SCORE_FILE_NAME).permissions(), fs::perms(0644));
    write(SCORE_FILE_NAME, scores.replace(3 * 16, 12, "ABCDEFGHIJKL") + "more");
    Score_Table table;
    load_score_table(&table);
    std::vector<std::string> rows = rows_of(sample);
    rows[3] = "ABCDEFGHIJK 131074";
    EXPECT_EQ(rows_of(table), rows);
    EXPECT_EQ(err.text(), "");
}

// Missing files give the defaults silently and write nothing; short ones give the defaults over
// the bytes read (for the options only their own fields) and say so.
TEST_F(Records_Test, MissingAndShortFilesGiveDefaultsOverTheBytesRead) {
    Stderr_Capture err;
    Score_Table table;
    Options_Record options{opt_random_colors | 0x100, 90, {}};
    load_score_table(&table);
    load_options(&options);
    EXPECT_EQ(std::tuple(err.text(), files_here(), rows_of(table), options.flags,
                         options.opt_special_chance),
              std::tuple("", 1, shipped_rows, opt_random_colors | 0x100 | opt_special_blocks, 33));
    write(SCORE_FILE_NAME, std::string(159, 'k'));
    write(OPTIONS_FILE_NAME, "\x11\0\0\x40\x63\0\0\0ABCDEFGHIJKL"s);
    table = Score_Table();
    load_score_table(&table);
    load_options(&options);
    EXPECT_EQ(err.text(), "score list is corrupt -- regenerating list\n"
                          "options file is corrupt -- regenerating list\n");
    EXPECT_EQ(rows_of(table), shipped_rows);
    EXPECT_EQ(std::tuple(options.flags, options.opt_special_chance,
                         std::string(options.reserved, options.reserved + 13)),
              std::tuple(0x40000011u | opt_special_blocks, 33, "ABCDEFGHIJKL\0"s));
}

// A failed save says so, answers false and keeps the old file whole, with no temporary file left:
// a write cut short (a cap on the file size), a folder that is gone, a directory in the way.
TEST_F(Records_Test, FailedSavesSaySoAndKeepTheOldFileWhole) {
    Score_Table table;
    ASSERT_TRUE(save_score_table(&table));
    default_score_table(&table);
    Stderr_Capture err;
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const rlimit limit = {40, old_limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    EXPECT_FALSE(save_score_table(&table));
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(read(SCORE_FILE_NAME), std::string(160, '\0')) << "the old file, whole";
    EXPECT_EQ(files_here(), 2) << "the media and the old file, no temporary file";
    ASSERT_TRUE(fs::create_directory(SAVED_GAME_FILE_NAME));
    ASSERT_TRUE(fs::create_directory(".vextile-game_info/keep"));
    EXPECT_FALSE(save_saved_game(&play_record));
    ASSERT_TRUE(fs::create_directory("gone") && chdir("gone") == 0);
    ASSERT_TRUE(fs::remove(dir->file("gone")));
    const Options_Record options;
    EXPECT_FALSE(save_score_table(&table) || save_options(&options) ||
                 save_saved_game(&play_record));
    ASSERT_EQ(chdir(dir->path().c_str()), 0);
    EXPECT_EQ(err.text(), "error writing to high score file!\ncouldn't create game_info file!\n"
                          "couldn't create high score file!\ncouldn't create options file!\n"
                          "couldn't create game_info file!\n");
}

// A save keeps what the player made of a record file: a symbolic link leads to the file that is
// replaced (next to it), the file's mode stays, a new file gets 0666 under the umask, and a
// temporary file left by a save that was killed is reused under its one name.
TEST_F(Records_Test, SavesFollowLinksKeepTheModeAndReuseOneTemporaryName) {
    const Options_Record options{opt_special_blocks, 50, {}};
    std::string image(OPTIONS_RECORD_SIZE, '\0');
    encode_options(options, reinterpret_cast<uint8_t*>(image.data()));
    const auto mode = [](const char* path) { return int(fs::status(path).permissions()); };
    Stderr_Capture err;
    const mode_t umask_before = umask(027);
    save_options(&options);
    EXPECT_EQ(mode(OPTIONS_FILE_NAME), 0640);
    fs::permissions(OPTIONS_FILE_NAME, fs::perms(0604));
    write(".vextile-options.tmp", "left by a save that was killed");
    save_options(&options);
    EXPECT_EQ(mode(OPTIONS_FILE_NAME), 0604);
    EXPECT_EQ(files_here(), 2) << "the temporary file was reused";
    fs::remove(OPTIONS_FILE_NAME);
    fs::create_directory("elsewhere");
    fs::create_symlink("elsewhere/options", OPTIONS_FILE_NAME); // leads nowhere yet
    save_options(&options);
    write("elsewhere/options", "old");
    save_options(&options);
    umask(umask_before);
    EXPECT_TRUE(fs::is_symlink(OPTIONS_FILE_NAME));
    EXPECT_EQ(read("elsewhere/options"), image);
    EXPECT_EQ(std::distance(fs::directory_iterator("elsewhere"), fs::directory_iterator()), 1);
    EXPECT_EQ(err.text(), "");
}

// Run as a player, not as root (who may write any file): a record file that cannot be written is
// refused and left as it is; when the folder takes no new file but the record file is writable,
// the record is written in place.
TEST_F(Records_Test, AReadOnlyRecordIsRefusedAndAFolderWithoutRoomIsWrittenInPlace) {
    const auto as_player = [](void (*saves)()) {
        if (geteuid() != 0) return saves();
        const pid_t child = fork();
        if (child == 0) {
            if (setgid(65534) == 0 && setuid(65534) == 0) saves();
            std::fflush(stderr);
            _exit(geteuid() == 0);
        }
        int status = 1;
        waitpid(child, &status, 0);
        EXPECT_EQ(status, 0) << "the saves could not run as a player";
    };
    write(OPTIONS_FILE_NAME, "old options");
    write(SCORE_FILE_NAME, "old scores");
    fs::permissions(OPTIONS_FILE_NAME, fs::perms(0444));
    fs::permissions(SCORE_FILE_NAME, fs::perms(0666));
    fs::permissions(".", fs::perms(0777));
    Stderr_Capture err;
    as_player([] {
        const Options_Record options;
        save_options(&options);
    });
    EXPECT_EQ(read(OPTIONS_FILE_NAME), "old options");
    fs::permissions(".", fs::perms(0555));
    as_player([] {
        Score_Table table;
        default_score_table(&table);
        save_score_table(&table);
    });
    Score_Table table;
    load_score_table(&table);
    EXPECT_EQ(rows_of(table), shipped_rows);
    EXPECT_EQ(files_here(), 3);
    EXPECT_EQ(err.text(), "couldn't create options file!\n");
}
