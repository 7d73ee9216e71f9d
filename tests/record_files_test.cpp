// Tests of the record files: the high-score table, the options and the atomic writer behind them.
#include "store/options_file.h"
#include "store/record_file.h"
#include "store/score_file.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

const std::string score_corrupt = "score list is corrupt -- regenerating list\n";
const std::string score_cant_create = "couldn't create high score file!\n";
const std::string score_cant_write = "error writing to high score file!\n";
const std::string options_corrupt = "options file is corrupt -- regenerating list\n";
const std::string options_cant_create = "couldn't create options file!\n";
const std::string options_cant_write = "error writing to options file!\n";

struct Named_Score {
    const char* name;
    int32_t score;
};

const Named_Score shipped_table[SCORE_ROWS] = {
    {"Pell", 1000},   {"Tavrin", 900}, {"Ollek", 800},  {"Miraz", 700}, {"Quessa", 600},
    {"Brannic", 500}, {"Yelva", 400},  {"Dunmor", 300}, {"Corla", 200}, {"T. Vorn", 100},
};

std::string name_of(const Score_Entry& entry) {
    return std::string(entry.name, strnlen(entry.name, SCORE_NAME_SIZE));
}

void set_row(Score_Table* table, int row, const char* name, int32_t score) {
    std::memset(table->rows[row].name, 0, SCORE_NAME_SIZE);
    std::memcpy(table->rows[row].name, name, strnlen(name, SCORE_NAME_SIZE - 1));
    table->rows[row].score = score;
}

// A table unlike the shipped one, with names of every length the entry screen allows.
Score_Table sample_table() {
    Score_Table table;
    const char* const names[SCORE_ROWS] = {"Abcdefghij", "Q",  "",    "Zed",   "Mara Lo",
                                           "0123456789", "~!", "Ina", "x y z", "Last"};
    const int32_t scores[SCORE_ROWS] = {INT32_MAX, 70000, 65536, 4096, 300,
                                        7,         0,     -1,    -300, INT32_MIN};
    for (int row = 0; row < SCORE_ROWS; ++row)
        set_row(&table, row, names[row], scores[row]);
    return table;
}

void expect_tables_equal(const Score_Table& got, const Score_Table& want) {
    for (int row = 0; row < SCORE_ROWS; ++row) {
        EXPECT_EQ(name_of(got.rows[row]), name_of(want.rows[row])) << "row " << row;
        EXPECT_EQ(got.rows[row].score, want.rows[row].score) << "row " << row;
    }
}

void expect_shipped_table(const Score_Table& table) {
    for (int row = 0; row < SCORE_ROWS; ++row) {
        char padded[SCORE_NAME_SIZE] = {};
        std::strcpy(padded, shipped_table[row].name);
        EXPECT_EQ(std::memcmp(table.rows[row].name, padded, SCORE_NAME_SIZE), 0) << "row " << row;
        EXPECT_EQ(table.rows[row].score, shipped_table[row].score) << "row " << row;
    }
}

Bytes encoded(const Score_Table& table) {
    Bytes image(SCORE_TABLE_SIZE);
    encode_score_table(table, image.data());
    return image;
}

Bytes encoded(const Options_Record& options) {
    Bytes image(OPTIONS_RECORD_SIZE);
    encode_options(options, image.data());
    return image;
}

Bytes slice(const Bytes& bytes, size_t from, size_t to) {
    return Bytes(bytes.begin() + long(from), bytes.begin() + long(to));
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

// ---- layout
// ----------------------------------------------------------------------------------------

TEST_F(RecordFiles, DefaultScoreTableIsTheShippedList) {
    Score_Table table;
    for (Score_Entry& entry : table.rows) {
        std::memset(entry.name, 'x', SCORE_NAME_SIZE);
        entry.score = -7;
    }
    default_score_table(&table);
    expect_shipped_table(table);
    default_score_table(nullptr);
}

TEST_F(RecordFiles, ScoreFileIsTenRowsOfSixteenBytes) {
    Score_Table table;
    default_score_table(&table);
    set_row(&table, 0, "Ann", 0x01020304);
    set_row(&table, 9, "Abcdefghij", -2);
    std::memcpy(table.rows[4].name, "Bo\0junkjunk", SCORE_NAME_SIZE); // nothing after the zero
    EXPECT_TRUE(save_score_table(&table));

    const Bytes file = read_file_bytes(SCORE_FILE_NAME);
    ASSERT_EQ(file.size(), 160u);
    EXPECT_EQ(slice(file, 0, 12), (Bytes{'A', 'n', 'n', 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(slice(file, 12, 16), (Bytes{0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(slice(file, 16, 32),
              (Bytes{'T', 'a', 'v', 'r', 'i', 'n', 0, 0, 0, 0, 0, 0, 0x84, 0x03, 0, 0}));
    EXPECT_EQ(slice(file, 64, 76), (Bytes{'B', 'o', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(slice(file, 144, 156),
              (Bytes{'A', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 0, 0}));
    EXPECT_EQ(slice(file, 156, 160), (Bytes{0xfe, 0xff, 0xff, 0xff}));
}

TEST_F(RecordFiles, OptionsFileIsThirtySixBytes) {
    Options_Record options;
    options.flags = opt_random_colors | opt_reserved_bit | opt_uncontrolled_drop | 0x80000000u;
    options.opt_special_chance = -5;
    for (int i = 0; i < 28; ++i)
        options.reserved[i] = uint8_t(i + 1);
    EXPECT_TRUE(save_options(&options));

    const Bytes file = read_file_bytes(OPTIONS_FILE_NAME);
    ASSERT_EQ(file.size(), 36u);
    EXPECT_EQ(slice(file, 0, 4), (Bytes{0x0d, 0x00, 0x00, 0x80}));
    EXPECT_EQ(slice(file, 4, 8), (Bytes{0xfb, 0xff, 0xff, 0xff}));
    for (size_t i = 8; i < 36; ++i)
        EXPECT_EQ(file[i], i - 7) << "byte " << i;
}

TEST_F(RecordFiles, FloatsAreLittleEndianSingles) {
    uint8_t bytes[4] = {};
    put_f32(bytes, 1.0f);
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{0x00, 0x00, 0x80, 0x3f}));
    put_f32(bytes, -2.5f);
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{0x00, 0x00, 0x20, 0xc0}));
    EXPECT_EQ(get_f32(bytes), -2.5f);
    const uint8_t tenth[4] = {0xcd, 0xcc, 0xcc, 0x3d};
    EXPECT_EQ(get_f32(tenth), 0.1f);
}

// ---- loading
// ---------------------------------------------------------------------------------------

TEST_F(RecordFiles, FirstRunGivesDefaultsSilently) {
    Stderr_Capture err;
    Score_Table table;
    Options_Record options;
    load_score_table(&table);
    load_options(&options);

    expect_shipped_table(table);
    EXPECT_EQ(options.flags, opt_special_blocks);
    EXPECT_EQ(options.opt_special_chance, 33);
    EXPECT_EQ(Bytes(options.reserved, options.reserved + 28), Bytes(28, 0));
    EXPECT_EQ(err.text(), "");
    EXPECT_FALSE(file_exists(SCORE_FILE_NAME));
    EXPECT_FALSE(file_exists(OPTIONS_FILE_NAME));
}

TEST_F(RecordFiles, DefaultOptionsTouchOnlyTheirOwnFields) {
    Options_Record options;
    options.flags = opt_random_colors | opt_uncontrolled_drop | 0x100;
    options.opt_special_chance = 90;
    std::memset(options.reserved, 0xaa, sizeof options.reserved);
    Stderr_Capture err;
    load_options(&options); // no file: defaults over the record as it is

    EXPECT_EQ(options.flags,
              opt_random_colors | opt_special_blocks | opt_uncontrolled_drop | 0x100);
    EXPECT_EQ(options.opt_special_chance, 33);
    EXPECT_EQ(Bytes(options.reserved, options.reserved + 28), Bytes(28, 0xaa));
    EXPECT_EQ(err.text(), "");
}

TEST_F(RecordFiles, ShortScoreFilesGiveTheShippedList) {
    for (const size_t size : {size_t(159), size_t(16), size_t(0)}) {
        SCOPED_TRACE(size);
        write_file_bytes(SCORE_FILE_NAME, Bytes(size, 'k'));
        Score_Table table = sample_table();
        Stderr_Capture err;
        load_score_table(&table);
        EXPECT_EQ(err.text(), score_corrupt);
        expect_shipped_table(table);
    }
}

TEST_F(RecordFiles, ShortOptionsFileKeepsTheBytesItHad) {
    Bytes file(20);
    file[0] = 0x11; // flags 0x40000011
    file[3] = 0x40;
    file[4] = 99; // chance
    for (size_t i = 8; i < 20; ++i)
        file[i] = uint8_t(0xc0 + i);
    write_file_bytes(OPTIONS_FILE_NAME, file);

    Options_Record options;
    std::memset(options.reserved, 0xaa, sizeof options.reserved);
    Stderr_Capture err;
    load_options(&options);

    EXPECT_EQ(err.text(), options_corrupt);
    EXPECT_EQ(options.flags, 0x40000011u | opt_special_blocks);
    EXPECT_EQ(options.opt_special_chance, 33);
    for (size_t i = 0; i < 12; ++i)
        EXPECT_EQ(options.reserved[i], file[i + 8]) << "reserved " << i;
    for (size_t i = 12; i < 28; ++i)
        EXPECT_EQ(options.reserved[i], 0xaa) << "reserved " << i;
}

TEST_F(RecordFiles, EmptyOptionsFileGivesDefaults) {
    write_file_bytes(OPTIONS_FILE_NAME, {});
    Options_Record options;
    options.flags = opt_uncontrolled_drop;
    options.opt_special_chance = 5;
    Stderr_Capture err;
    load_options(&options);
    EXPECT_EQ(err.text(), options_corrupt);
    EXPECT_EQ(options.flags, opt_uncontrolled_drop | opt_special_blocks);
    EXPECT_EQ(options.opt_special_chance, 33);
}

TEST_F(RecordFiles, LongFilesAreReadForTheirRecordOnly) {
    const Score_Table sample = sample_table();
    Bytes scores = encoded(sample);
    scores.resize(200, 0xee);
    write_file_bytes(SCORE_FILE_NAME, scores);

    Options_Record written;
    written.flags = opt_random_colors;
    written.opt_special_chance = 12;
    Bytes options_file = encoded(written);
    options_file.resize(50, 0xee);
    write_file_bytes(OPTIONS_FILE_NAME, options_file);

    Stderr_Capture err;
    Score_Table table;
    Options_Record options;
    load_score_table(&table);
    load_options(&options);
    EXPECT_EQ(err.text(), "");
    expect_tables_equal(table, sample);
    EXPECT_EQ(options.flags, opt_random_colors); // a complete file gets no defaults
    EXPECT_EQ(options.opt_special_chance, 12);
    EXPECT_EQ(Bytes(options.reserved, options.reserved + 28), Bytes(28, 0));
}

TEST_F(RecordFiles, UnterminatedNameIsCutToElevenCharacters) {
    Score_Table sample = sample_table();
    Bytes file = encoded(sample);
    std::memcpy(&file[3 * 16], "ABCDEFGHIJKL", 12);
    write_file_bytes(SCORE_FILE_NAME, file);

    Score_Table table;
    Stderr_Capture err;
    load_score_table(&table);
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(name_of(table.rows[3]), "ABCDEFGHIJK");
    EXPECT_EQ(table.rows[3].name[11], 0);
    set_row(&sample, 3, "ABCDEFGHIJK", sample.rows[3].score);
    expect_tables_equal(table, sample);
}

TEST_F(RecordFiles, DecoderTerminatesEveryName) {
    const Bytes image(SCORE_TABLE_SIZE, 'z');
    Score_Table table;
    decode_score_table(image.data(), &table);
    for (const Score_Entry& entry : table.rows) {
        EXPECT_EQ(std::strlen(entry.name), 11u);
        EXPECT_EQ(entry.score, int32_t(0x7a7a7a7a));
    }
}

TEST_F(RecordFiles, NullRecordsAreLeftAlone) {
    Stderr_Capture err;
    load_score_table(nullptr);
    load_options(nullptr);
    EXPECT_FALSE(save_score_table(nullptr));
    EXPECT_FALSE(save_options(nullptr));
    EXPECT_EQ(err.text(), "");
    EXPECT_TRUE(entries(dir.path()).empty());
}

// ---- saving
// ----------------------------------------------------------------------------------------

TEST_F(RecordFiles, ScoreTableRoundTrips) {
    const Score_Table sample = sample_table();
    EXPECT_TRUE(save_score_table(&sample));
    Score_Table table;
    Stderr_Capture err;
    load_score_table(&table);
    EXPECT_EQ(err.text(), "");
    expect_tables_equal(table, sample);
}

TEST_F(RecordFiles, ReservedOptionBitsAndBytesSurvive) {
    Options_Record written;
    written.flags = ~opt_special_blocks; // special blocks off, every other bit on
    written.opt_special_chance = 0;
    for (int i = 0; i < 28; ++i)
        written.reserved[i] = uint8_t(0xf0 ^ (i * 7));
    EXPECT_TRUE(save_options(&written));

    Options_Record options;
    Stderr_Capture err;
    load_options(&options);
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(options.flags, ~opt_special_blocks);
    EXPECT_EQ(options.opt_special_chance, 0);
    EXPECT_EQ(Bytes(options.reserved, options.reserved + 28),
              Bytes(written.reserved, written.reserved + 28));
}

TEST_F(RecordFiles, SaveReplacesTheOldFileWhole) {
    write_file_bytes(SCORE_FILE_NAME, Bytes(300, 'o'));
    const Score_Table sample = sample_table();
    Stderr_Capture err;
    EXPECT_TRUE(save_score_table(&sample));
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(read_file_bytes(SCORE_FILE_NAME), encoded(sample));
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{SCORE_FILE_NAME});
}

TEST_F(RecordFiles, WriterHandlesAnyRecordAndPath) {
    ASSERT_TRUE(fs::create_directory("saves"));
    write_file_bytes("saves/game", Bytes(100, 'o'));
    const Bytes image = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const Record_Messages messages = {"short\n", "create\n", "write\n"};
    Stderr_Capture err;
    EXPECT_TRUE(write_record_file("saves/game", image.data(), 5, 3, messages));
    EXPECT_EQ(read_file_bytes("saves/game"), image);
    EXPECT_EQ(entries("saves"), std::vector<std::string>{"game"});
    struct stat st;
    ASSERT_EQ(stat("saves/game", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    Bytes back(15, 0xee);
    EXPECT_EQ(read_record_file("saves/game", back.data(), 5, 3, messages), Record_Read::complete);
    EXPECT_EQ(back, image);
    EXPECT_EQ(err.text(), "");
}

TEST_F(RecordFiles, ReaderTellsMissingShortAndComplete) {
    const Record_Messages messages = {"short\n", "create\n", "write\n"};
    Stderr_Capture err;
    Bytes image(15, 0xee);
    EXPECT_EQ(read_record_file("absent", image.data(), 5, 3, messages), Record_Read::missing);
    EXPECT_EQ(image, Bytes(15, 0xee));
    EXPECT_EQ(err.text(), "");

    // Seven bytes: one whole item and two bytes of the next, which stay in the image.
    write_file_bytes("record", {1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(read_record_file("record", image.data(), 5, 3, messages), Record_Read::short_file);
    EXPECT_EQ(image, (Bytes{1, 2, 3, 4, 5, 6, 7, 0xee, 0xee, 0xee, 0xee, 0xee, 0xee, 0xee, 0xee}));
    EXPECT_EQ(err.text(), "short\n");
}

// ---- failing saves
// ---------------------------------------------------------------------------------

TEST_F(RecordFiles, VanishedDirectoryCannotTakeAFile) {
    // Permissions don't stop root, but nobody can create a file in a directory that is gone.
    const std::string gone = dir.file("gone");
    ASSERT_TRUE(fs::create_directory(gone));
    ASSERT_EQ(chdir(gone.c_str()), 0);
    ASSERT_TRUE(fs::remove(gone));

    const Score_Table sample = sample_table();
    Options_Record options;
    const Record_Messages messages = {"short\n", "create\n", "write\n"};
    {
        Stderr_Capture err;
        EXPECT_TRUE(save_score_table(&sample));
        EXPECT_EQ(err.text(), score_cant_create);
    }
    {
        Stderr_Capture err;
        EXPECT_TRUE(save_options(&options));
        EXPECT_EQ(err.text(), options_cant_create);
    }
    {
        Stderr_Capture err;
        EXPECT_FALSE(write_record_file("record", encoded(sample).data(), 16, 10, messages));
        EXPECT_EQ(err.text(), "create\n");
    }
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    EXPECT_TRUE(entries(dir.path()).empty());
}

// Caps the size of files this process may write, so writes fail part-way (also for root).
class File_Size_Limit {
  public:
    explicit File_Size_Limit(rlim_t bytes) {
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        active_ = getrlimit(RLIMIT_FSIZE, &old_limit_) == 0;
        rlimit limit = old_limit_;
        limit.rlim_cur = bytes;
        active_ = active_ && setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~File_Size_Limit() {
        if (active_) setrlimit(RLIMIT_FSIZE, &old_limit_);
        std::signal(SIGXFSZ, old_handler_);
    }
    File_Size_Limit(const File_Size_Limit&) = delete;
    File_Size_Limit& operator=(const File_Size_Limit&) = delete;
    bool active() const { return active_; }

  private:
    rlimit old_limit_{};
    void (*old_handler_)(int) = SIG_DFL;
    bool active_ = false;
};

TEST_F(RecordFiles, WriteFailingHalfWayKeepsTheOldScoreFile) {
    const Score_Table sample = sample_table();
    ASSERT_TRUE(save_score_table(&sample));
    const Bytes old_file = read_file_bytes(SCORE_FILE_NAME);
    Score_Table table;
    default_score_table(&table);

    Stderr_Capture err; // made before the limit; its messages stay below it
    {
        const File_Size_Limit limit(40);
        ASSERT_TRUE(limit.active());
        EXPECT_TRUE(save_score_table(&table));
    }
    EXPECT_EQ(err.text(), score_cant_write);
    EXPECT_EQ(read_file_bytes(SCORE_FILE_NAME), old_file);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{SCORE_FILE_NAME});
}

TEST_F(RecordFiles, WriteFailingHalfWayKeepsTheOldOptionsFile) {
    Options_Record written;
    written.flags = opt_random_colors;
    ASSERT_TRUE(save_options(&written));
    const Bytes old_file = read_file_bytes(OPTIONS_FILE_NAME);
    Options_Record options;
    options.flags = opt_uncontrolled_drop;

    Stderr_Capture err;
    {
        const File_Size_Limit limit(32);
        ASSERT_TRUE(limit.active());
        EXPECT_TRUE(save_options(&options));
    }
    EXPECT_EQ(err.text(), options_cant_write);
    EXPECT_EQ(read_file_bytes(OPTIONS_FILE_NAME), old_file);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{OPTIONS_FILE_NAME});
}

TEST_F(RecordFiles, FailedRenameLeavesNoTemporaryFile) {
    // A directory in the file's place cannot be replaced by a file.
    ASSERT_TRUE(fs::create_directory(OPTIONS_FILE_NAME));
    write_file_bytes(std::string(OPTIONS_FILE_NAME) + "/keep", {'k'});
    Options_Record options;
    Stderr_Capture err;
    EXPECT_TRUE(save_options(&options));
    EXPECT_EQ(err.text(), options_cant_write);
    EXPECT_TRUE(fs::is_directory(OPTIONS_FILE_NAME));
    EXPECT_EQ(read_file_bytes(std::string(OPTIONS_FILE_NAME) + "/keep"), Bytes{'k'});
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{OPTIONS_FILE_NAME});

    const Record_Messages messages = {"short\n", "create\n", "write\n"};
    EXPECT_FALSE(write_record_file(OPTIONS_FILE_NAME, encoded(options).data(), 36, 1, messages));
}

} // namespace
