// Tests of the record files: the high-score table, the options and the atomic writer behind them.
#include "store/options_file.h"
#include "store/record_file.h"
#include "store/score_file.h"

#include "test_support.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <numeric>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// The names and scores of a table, row by row.
std::vector<std::pair<std::string, int32_t>> rows_of(const Score_Table& table) {
    std::vector<std::pair<std::string, int32_t>> rows;
    for (const Score_Entry& entry : table.rows)
        rows.push_back(
            {std::string(entry.name, strnlen(entry.name, SCORE_NAME_SIZE)), entry.score});
    return rows;
}

const std::vector<std::pair<std::string, int32_t>> shipped_rows = {
    {"Pell", 1000},   {"Tavrin", 900}, {"Ollek", 800},  {"Miraz", 700}, {"Quessa", 600},
    {"Brannic", 500}, {"Yelva", 400},  {"Dunmor", 300}, {"Corla", 200}, {"T. Vorn", 100}};

// A table unlike the shipped one: names of every length up to 10, scores of either sign.
Score_Table sample_table() {
    Score_Table table;
    for (int row = 0; row < SCORE_ROWS; ++row) {
        std::memset(table.rows[row].name, 'a' + row, (row + 10) % 11);
        table.rows[row].score = row == 0 ? INT32_MAX : row == 9 ? INT32_MIN : (4 - row) * 65537;
    }
    return table;
}

Bytes encoded(const Score_Table& table) {
    Bytes image(SCORE_TABLE_SIZE);
    encode_score_table(table, image.data());
    return image;
}

Bytes reserved_of(const Options_Record& options) {
    return Bytes(options.reserved, options.reserved + sizeof options.reserved);
}

// Names in the directory, so that tests can see leftovers such as temporary files.
std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Every test runs in a fresh, empty working directory.
class RecordFiles : public ::testing::Test {
  protected:
    Temp_Dir dir{false};
};

TEST_F(RecordFiles, FileLayouts) {
    Score_Table table;
    default_score_table(&table);
    std::strcpy(table.rows[0].name, "Ann");
    table.rows[0].score = 0x01020304;
    std::memcpy(table.rows[4].name, "Bo\0junkjunk", SCORE_NAME_SIZE); // nothing after the zero
    EXPECT_TRUE(save_score_table(&table));
    const Bytes scores = read_file_bytes(SCORE_FILE_NAME);
    ASSERT_EQ(scores.size(), 160u);
    EXPECT_EQ(Bytes(scores.begin(), scores.begin() + 32),
              (Bytes{'A', 'n', 'n', 0,   0,   0,   0, 0, 0, 0, 0, 0, 4,    3,    2, 1,
                     'T', 'a', 'v', 'r', 'i', 'n', 0, 0, 0, 0, 0, 0, 0x84, 0x03, 0, 0}));
    EXPECT_EQ(Bytes(scores.begin() + 64, scores.begin() + 80),
              (Bytes{'B', 'o', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x58, 0x02, 0, 0}));

    Options_Record options{
        opt_random_colors | opt_reserved_bit | opt_uncontrolled_drop | 1u << 31, -5, {}};
    std::iota(options.reserved, options.reserved + 28, 1);
    EXPECT_TRUE(save_options(&options));
    Bytes expected = {0x0d, 0, 0, 0x80, 0xfb, 0xff, 0xff, 0xff};
    expected.insert(expected.end(), options.reserved, options.reserved + 28);
    EXPECT_EQ(read_file_bytes(OPTIONS_FILE_NAME), expected);

    uint8_t bytes[4] = {};
    put_f32(bytes, -2.5f); // little-endian IEEE singles, as the saved game holds them
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{0x00, 0x00, 0x20, 0xc0}));
}

TEST_F(RecordFiles, MissingAndShortFilesGiveDefaultsOverTheBytesRead) {
    Stderr_Capture err;
    Score_Table table = sample_table();
    Options_Record options{opt_random_colors | opt_uncontrolled_drop | 0x100, 90, {}};
    std::memset(options.reserved, 0xaa, sizeof options.reserved);
    load_score_table(&table);
    load_options(&options); // defaults over the record as it is: only their own fields
    load_score_table(nullptr);
    load_options(nullptr);
    EXPECT_EQ(err.text(), "") << "the first run says nothing and writes no file";
    EXPECT_TRUE(entries(dir.path()).empty());
    EXPECT_EQ(rows_of(table), shipped_rows);
    EXPECT_EQ(options.flags,
              opt_random_colors | opt_special_blocks | opt_uncontrolled_drop | 0x100);
    EXPECT_EQ(options.opt_special_chance, 33);
    EXPECT_EQ(reserved_of(options), Bytes(28, 0xaa));

    write_file_bytes(SCORE_FILE_NAME, Bytes(159, 'k'));
    Bytes file = {0x11, 0, 0, 0x40, 99, 0, 0, 0}; // flags 0x40000011, chance 99, 12 bytes more
    for (int i = 8; i < 20; ++i)
        file.push_back(uint8_t(0xc0 + i));
    write_file_bytes(OPTIONS_FILE_NAME, file);
    table = sample_table();
    load_score_table(&table);
    load_options(&options);
    EXPECT_EQ(err.text(), "score list is corrupt -- regenerating list\n"
                          "options file is corrupt -- regenerating list\n");
    EXPECT_EQ(rows_of(table), shipped_rows);
    EXPECT_EQ(options.flags, 0x40000011u | opt_special_blocks);
    EXPECT_EQ(options.opt_special_chance, 33);
    Bytes reserved(file.begin() + 8, file.end()); // bytes 8..19 as read, the rest as they were
    reserved.resize(28, 0xaa);
    EXPECT_EQ(reserved_of(options), reserved);
}

TEST_F(RecordFiles, RoundTripsKeepReservedBitsLongFilesAndOverlongNamesAreCut) {
    const Score_Table sample = sample_table();
    write_file_bytes(SCORE_FILE_NAME, Bytes(300, 'o')); // a longer old file is replaced whole
    Options_Record written{~opt_special_blocks, 0, {}}; // special blocks off, every other bit on
    std::iota(written.reserved, written.reserved + 28, 0xd0);
    Stderr_Capture err;
    EXPECT_TRUE(save_score_table(&sample));
    EXPECT_TRUE(save_options(&written));
    EXPECT_EQ(read_file_bytes(SCORE_FILE_NAME), encoded(sample));
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{SCORE_FILE_NAME, OPTIONS_FILE_NAME}));
    struct stat st;
    ASSERT_EQ(stat(SCORE_FILE_NAME, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    Score_Table table;
    Options_Record options;
    load_score_table(&table);
    load_options(&options);
    EXPECT_EQ(rows_of(table), rows_of(sample));
    EXPECT_EQ(std::memcmp(&options, &written, sizeof options), 0); // a complete file: no defaults

    // Bytes beyond the record are ignored; a name filling its 12 bytes is cut to 11.
    Bytes scores = encoded(sample);
    std::memcpy(&scores[3 * 16], "ABCDEFGHIJKL", 12);
    scores.resize(200, 0xee);
    write_file_bytes(SCORE_FILE_NAME, scores);
    Bytes options_file = read_file_bytes(OPTIONS_FILE_NAME);
    options_file.resize(50, 0xee);
    write_file_bytes(OPTIONS_FILE_NAME, options_file);
    load_score_table(&table);
    load_options(&options);
    auto rows = rows_of(sample);
    rows[3].first = "ABCDEFGHIJK";
    EXPECT_EQ(rows_of(table), rows);
    EXPECT_EQ(std::memcmp(&options, &written, sizeof options), 0);
    EXPECT_EQ(err.text(), "");
}

TEST_F(RecordFiles, FailedSavesSaySoAndKeepTheOldFileWhole) {
    const Score_Table sample = sample_table();
    ASSERT_TRUE(save_score_table(&sample));
    Score_Table table;
    default_score_table(&table);
    const Options_Record options;
    Stderr_Capture err; // made before the cap below; its messages stay below it
    // Cap the size of files this process may write, so that the write fails part-way (also for
    // root).
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    bool capped = getrlimit(RLIMIT_FSIZE, &old_limit) == 0;
    rlimit limit = old_limit;
    limit.rlim_cur = 40;
    capped = capped && setrlimit(RLIMIT_FSIZE, &limit) == 0;
    const bool saved = save_score_table(&table);
    if (capped) setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    ASSERT_TRUE(capped);
    EXPECT_TRUE(saved);
    EXPECT_EQ(read_file_bytes(SCORE_FILE_NAME), encoded(sample));
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{SCORE_FILE_NAME})
        << "no temporary file";

    // Permissions don't stop root, but nobody can create a file in a directory that is gone.
    const std::string gone = dir.file("gone");
    ASSERT_TRUE(fs::create_directory(gone));
    ASSERT_EQ(chdir(gone.c_str()), 0);
    ASSERT_TRUE(fs::remove(gone));
    EXPECT_TRUE(save_score_table(&sample));
    EXPECT_TRUE(save_options(&options));
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    EXPECT_EQ(err.text(), "error writing to high score file!\ncouldn't create high score file!\n"
                          "couldn't create options file!\n");
}

} // namespace
