// Tests of the record files: the high-score table, the options and the atomic writer behind them.
#include "store/options_file.h"
#include "store/score_file.h"

#include "test_support.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// Files, and the images of records, as strings of bytes.
std::string read(const char* path) {
    const std::vector<unsigned char> bytes = read_file_bytes(path);
    return {bytes.begin(), bytes.end()};
}
void write(const char* path, const std::string& bytes) {
    write_file_bytes(path, {bytes.begin(), bytes.end()});
}
const auto raw = [](const Options_Record& o) { return std::string((const char*)&o, sizeof o); };

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

// Every test runs in a fresh, empty working directory.
class RecordFiles : public ::testing::Test {
  protected:
    Temp_Dir dir{false};
    long files() { return std::distance(fs::directory_iterator("."), fs::directory_iterator()); }
};

TEST_F(RecordFiles, LayoutsAndRoundTripsKeepEveryBitLongFilesAndOverlongNamesAreCut) {
    // A table unlike the shipped one: names of every length up to 10, scores of either sign; row
    // 4 holds bytes after its name's zero, which are not part of the name.
    Score_Table sample;
    for (int row = 0; row < SCORE_ROWS; ++row) {
        std::memset(sample.rows[row].name, 'a' + row, (row + 10) % 11);
        sample.rows[row].score = row == 0 ? INT32_MAX : row == 9 ? INT32_MIN : (5 - row) * 65537;
    }
    std::memcpy(sample.rows[4].name, "Bo\0junkjunk", SCORE_NAME_SIZE);
    write(SCORE_FILE_NAME, std::string(300, 'o'));       // a longer old file is replaced whole
    Options_Record written{~opt_special_blocks, -5, {}}; // special blocks off, every other bit on
    for (int i = 0; i < 28; ++i)
        written.reserved[i] = uint8_t(i + 1);
    Stderr_Capture err;
    EXPECT_TRUE(save_score_table(&sample) && save_options(&written));
    std::string scores = read(SCORE_FILE_NAME), options_file = read(OPTIONS_FILE_NAME);
    EXPECT_EQ(scores.size(), 160u);
    EXPECT_EQ(scores.substr(0, 16), "aaaaaaaaaa\0\0\xff\xff\xff\x7f"s);
    EXPECT_EQ(scores.substr(64, 16), "Bo\0\0\0\0\0\0\0\0\0\0\1\0\1\0"s) << "nothing after the zero";
    EXPECT_EQ(options_file, "\xfd\xff\xff\xff\xfb\xff\xff\xff"s +
                                std::string(written.reserved, written.reserved + 28));
    EXPECT_EQ(files(), 2);
    EXPECT_EQ(fs::status(SCORE_FILE_NAME).permissions(), fs::perms(0644));

    // Read back as written (a complete file: no defaults), then with bytes beyond the record,
    // which are ignored, and a name filling its 12 bytes, which is cut to 11.
    Score_Table table;
    Options_Record options;
    const auto load = [&] { load_score_table(&table), load_options(&options); };
    load();
    EXPECT_EQ(rows_of(table), rows_of(sample));
    EXPECT_EQ(raw(options), raw(written));
    write(SCORE_FILE_NAME, scores.replace(3 * 16, 12, "ABCDEFGHIJKL") + "more");
    write(OPTIONS_FILE_NAME, options_file + "more");
    table = Score_Table(), options = Options_Record();
    load();
    std::vector<std::string> rows = rows_of(sample);
    rows[3] = "ABCDEFGHIJK 131074";
    EXPECT_EQ(rows_of(table), rows);
    EXPECT_EQ(raw(options), raw(written));
    EXPECT_EQ(err.text(), "");
}

TEST_F(RecordFiles, MissingAndShortFilesGiveDefaultsOverTheBytesRead) {
    Stderr_Capture err;
    Score_Table table; // all names empty, unlike the shipped table
    Options_Record options{opt_random_colors | opt_uncontrolled_drop | 0x100, 90, {}};
    std::memset(options.reserved, 0xaa, sizeof options.reserved);
    Options_Record want = options; // defaults over the record as it is: only their own fields
    want.flags |= opt_special_blocks;
    want.opt_special_chance = 33;
    const auto load = [&] { load_score_table(&table), load_options(&options); };
    load();
    EXPECT_EQ(err.text(), "") << "the first run says nothing and writes no file";
    EXPECT_EQ(files(), 0);
    EXPECT_EQ(rows_of(table), shipped_rows);
    EXPECT_EQ(raw(options), raw(want));

    write(SCORE_FILE_NAME, std::string(159, 'k'));
    const std::string file = "\x11\0\0\x40\x63\0\0\0ABCDEFGHIJKL"s; // flags, chance 99, 12 more
    write(OPTIONS_FILE_NAME, file);
    table = Score_Table();
    load();
    EXPECT_EQ(err.text(), "score list is corrupt -- regenerating list\n"
                          "options file is corrupt -- regenerating list\n");
    EXPECT_EQ(rows_of(table), shipped_rows);
    want.flags = 0x40000011u | opt_special_blocks;
    std::copy(file.begin() + 8, file.end(), want.reserved); // bytes 8..19 as read, 20.. as before
    EXPECT_EQ(raw(options), raw(want));
}

TEST_F(RecordFiles, FailedSavesSaySoAndKeepTheOldFileWhole) {
    Score_Table table;
    ASSERT_TRUE(save_score_table(&table));
    const Options_Record options;
    default_score_table(&table);
    Stderr_Capture err; // made before the cap below; its messages stay below it
    // Cap the size of files this process may write, so that the write fails part-way (also for
    // root).
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const rlimit limit = {40, old_limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    EXPECT_FALSE(save_score_table(&table)); // the player has been told
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(read(SCORE_FILE_NAME), std::string(160, '\0')) << "the old file, whole";
    EXPECT_EQ(files(), 1) << "no temporary file";

    // Permissions don't stop root, but nobody can create a file in a directory that is gone.
    ASSERT_TRUE(fs::create_directory("gone") && chdir("gone") == 0);
    ASSERT_TRUE(fs::remove(dir.file("gone")));
    EXPECT_FALSE(save_score_table(&table));
    EXPECT_FALSE(save_options(&options));
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    EXPECT_EQ(err.text(), "error writing to high score file!\ncouldn't create high score file!\n"
                          "couldn't create options file!\n");
}

// A save keeps what the player made of a record file: a symbolic link leads to the file that is
// replaced (next to it), the file's mode stays, a new file gets 0666 under the umask, and a
// temporary file left by a save that was killed is reused under its one name, not multiplied.
TEST_F(RecordFiles, SavesFollowLinksKeepTheModeAndReuseOneTemporaryName) {
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
    EXPECT_EQ(files(), 1) << "the temporary file was reused";

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
// refused, as opening it for writing would refuse it, and left as it is; when the folder takes no
// new file but the record file is writable, the record is written in place.
TEST_F(RecordFiles, AReadOnlyRecordIsRefusedAndAFolderWithoutRoomIsWrittenInPlace) {
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
    EXPECT_EQ(files(), 2);
    EXPECT_EQ(err.text(), "couldn't create options file!\n");
}

} // namespace
