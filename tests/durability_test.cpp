// A save killed at any moment leaves every record file whole: the old image or the new one, never a
// short or mixed file. A child process does nothing but save two versions of the three records in
// turn, so every kill lands in a save, and the game reads whatever survived without a word.
#include "test_support.h"

#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/options_file.h"
#include "store/score_file.h"

#include <csignal>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Records {
    Options_Record options;
    Score_Table scores;
    Play_Record game;

    explicit Records(int v) : options{v ? 0x0bu : 0x02u, v ? 77 : 33, {}} {
        for (int i = 0; i < SCORE_ROWS; ++i)
            scores.rows[i] = {{char('A' + v)}, v ? 9000 - i : 1000 - i};
        game.state_id = v ? 2 : -1;
        game.score = v ? 123456 : 0;
        for (int c = 0; c < GRID_COLS; ++c)
            game.grid.cells[19 * GRID_COLS + c] = v ? c % 7 : -1;
    }
    void save() const {
        save_options(&options);
        save_score_table(&scores);
        save_saved_game(&game);
    }
    // The three files as this version writes them.
    std::vector<std::vector<unsigned char>> images() const {
        std::vector<std::vector<unsigned char>> files = {std::vector<unsigned char>(36),
                                                         std::vector<unsigned char>(160),
                                                         std::vector<unsigned char>(1348)};
        encode_options(options, files[0].data());
        encode_score_table(scores, files[1].data());
        encode_play_record(game, files[2].data());
        return files;
    }
};

TEST(Durability, KilledSavesLeaveTheOldOrTheNewImage) {
    Temp_Dir dir(false);
    const Records a(0), b(1);
    const auto old_images = a.images(), new_images = b.images();
    const char* const names[] = {OPTIONS_FILE_NAME, SCORE_FILE_NAME, SAVED_GAME_FILE_NAME};
    a.save(); // every file exists before the first kill: from then on it must always be whole
    std::mt19937 random(20261206);
    std::uniform_int_distribution<long> moment_ns(0, 3000000);
    for (int round = 0; round < 150 && !HasFailure(); ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::freopen("/dev/null", "w", stderr);
            for (int i = 0;; ++i)
                (i & 1 ? b : a).save();
        }
        const timespec delay = {0, moment_ns(random)};
        nanosleep(&delay, nullptr);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        for (int f = 0; f < 3; ++f) {
            const auto bytes = read_file_bytes(names[f]);
            EXPECT_TRUE(bytes == old_images[f] || bytes == new_images[f])
                << names[f] << " after kill " << round << " holds " << bytes.size() << " bytes";
        }
    }
    // One temporary name per record: the kills leave at most one such file each.
    EXPECT_LE(std::distance(std::filesystem::directory_iterator("."),
                            std::filesystem::directory_iterator()),
              6);
    Stderr_Capture err;
    Records read_back(0);
    load_saved_game(&read_back.game);
    load_options(&read_back.options);
    load_score_table(&read_back.scores);
    EXPECT_EQ(err.text(), "");
}

} // namespace
