// A save killed at any moment leaves every record file whole: the old image or the new one, never
// a short or mixed file.
#include "test_support.h"

#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/options_file.h"
#include "store/score_file.h"

#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Two distinct versions of every record file.
struct Records {
    Options_Record options;
    Score_Table scores;
    Play_Record game;
};

Records version(int v) {
    Records r;
    default_options(&r.options);
    r.options.flags = v ? 0x0b : 0x02;
    r.options.opt_special_chance = v ? 77 : 33;
    std::memset(r.options.reserved, v ? 0xa5 : 0x00, sizeof r.options.reserved);
    default_score_table(&r.scores);
    for (int i = 0; i < SCORE_ROWS; ++i)
        r.scores.rows[i].score = v ? 9000 - i : 1000 - i;
    std::strcpy(r.scores.rows[0].name, v ? "Second" : "First");
    r.game.state_id = v ? 2 : -1;
    r.game.flags = v ? 0x201 : 0x1;
    r.game.level = v ? 9 : 1;
    r.game.score = v ? 123456 : 0;
    for (int c = 0; c < GRID_COLS; ++c)
        r.game.grid.cells[19 * GRID_COLS + c] = v ? c % 7 : -1;
    return r;
}

std::vector<unsigned char> options_image(const Records& r) {
    std::vector<unsigned char> out(OPTIONS_RECORD_SIZE);
    encode_options(r.options, out.data());
    return out;
}
std::vector<unsigned char> scores_image(const Records& r) {
    std::vector<unsigned char> out(SCORE_TABLE_SIZE);
    encode_score_table(r.scores, out.data());
    return out;
}
std::vector<unsigned char> game_image(const Records& r) {
    std::vector<unsigned char> out(PLAY_RECORD_SIZE);
    encode_play_record(r.game, out.data());
    return out;
}

// The child: saves the two versions in turn, as fast as it can, until it is killed.
[[noreturn]] void save_forever(const Records& a, const Records& b) {
    std::freopen("/dev/null", "w", stderr);
    for (int i = 0;; ++i) {
        const Records& r = (i & 1) ? b : a;
        save_options(&r.options);
        save_score_table(&r.scores);
        save_saved_game(&r.game);
    }
}

void expect_one_of(const std::string& path, const std::vector<unsigned char>& a,
                   const std::vector<unsigned char>& b, int round) {
    const std::vector<unsigned char> bytes = read_file_bytes(path);
    EXPECT_TRUE(bytes == a || bytes == b)
        << path << " after kill " << round << " holds " << bytes.size() << " bytes";
}

TEST(Durability, KilledSavesLeaveTheOldOrTheNewImage) {
    Temp_Dir dir(false);
    const Records a = version(0);
    const Records b = version(1);
    // Every file exists before the first kill: from then on it must always be whole.
    save_options(&a.options);
    save_score_table(&a.scores);
    save_saved_game(&a.game);

    std::mt19937 random(20261206);
    std::uniform_int_distribution<long> moment_ns(0, 3000000);
    for (int round = 0; round < 150; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) save_forever(a, b);
        const timespec delay = {0, moment_ns(random)};
        nanosleep(&delay, nullptr);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        expect_one_of(OPTIONS_FILE_NAME, options_image(a), options_image(b), round);
        expect_one_of(SCORE_FILE_NAME, scores_image(a), scores_image(b), round);
        expect_one_of(SAVED_GAME_FILE_NAME, game_image(a), game_image(b), round);
        if (HasFailure()) break;
    }
    // Each record has one temporary name, so the kills leave at most one such file per record.
    const auto entries = std::distance(fs::directory_iterator("."), fs::directory_iterator());
    EXPECT_LE(entries, 6) << "files left behind by the killed saves";
    // And the game reads whatever survived as a good record, without a message.
    Stderr_Capture err;
    Play_Record read_back;
    load_saved_game(&read_back);
    Options_Record options;
    load_options(&options);
    Score_Table scores;
    load_score_table(&scores);
    EXPECT_EQ(err.text(), "");
}

} // namespace
