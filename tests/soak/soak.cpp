// The soak: long seeded games played headless through the real state switches and the real input
// mapping. For every seed the program starts the game as the game starts itself (in a fresh
// working directory whose media links to the generated media), runs the frames with a player that
// presses keys and moves and clicks the mouse between them, checks the invariants after every
// event and every frame, writes and reads back the saved game now and then, closes the game and
// starts it again now and then (it must resume where it was), and shuts the game down as the game
// does. Run under LeakSanitizer it also proves that nothing is lost on the way.
//
//     vextile_soak [--frames N] [--save-every N] [--restart-every N | --no-restart] SEED...
#include "soak_checks.h"
#include "soak_player.h"

#include "app/vextile.h"
#include "media/bitmaps.h"
#include "play/play_record.h"
#include "store/options_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Soak_Settings {
    long frames = 100000;       // per seed
    long save_every = 997;      // frames between saved-game round trips
    long restart_every = 24989; // frames between restarts of the game, 0 for none
    std::vector<unsigned> seeds;
};

struct Run_Totals {
    long frames = 0;
    long games_started = 0;
    long games_over = 0;
    long random_colours = 0; // games started with the option
    long uncontrolled = 0;
    long no_specials = 0;
    long entries[STATE_COUNT] = {};
    double seconds = 0.0;
};

// Set while a run is under way: the game must not end the process (the main menu's escape does).
const char* run_phase = nullptr;
unsigned running_seed = 0;

void refuse_early_exit() {
    if (!run_phase) return;
    std::fprintf(stderr, "soak: seed %u: the game ended the process %s\n", running_seed, run_phase);
    std::fflush(stderr);
    std::_Exit(1);
}

// A fresh working directory for one run, with "media" linked to the generated media; removed
// with everything in it at the end of the run.
class Work_Dir {
  public:
    Work_Dir() {
        const fs::path base = fs::temp_directory_path();
        std::string pattern = (base / "vextile-soak-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("soak: mkdtemp");
            std::exit(1);
        }
        path_ = pattern;
        old_ = fs::current_path();
        fs::create_directory_symlink(VEXTILE_MEDIA_DIR, path_ / "media");
        fs::current_path(path_);
    }
    ~Work_Dir() {
        std::error_code ignored;
        fs::current_path(old_, ignored);
        fs::remove_all(path_, ignored);
    }
    Work_Dir(const Work_Dir&) = delete;
    Work_Dir& operator=(const Work_Dir&) = delete;

  private:
    fs::path path_;
    fs::path old_;
};

// The steps of the game's own start, with the soak's options and the game's draws seeded so that
// a run replays exactly (the start seeds them from the clock).
void start_game(unsigned draw_seed, uint32_t option_flags) {
    if (!app.start_video()) {
        std::fprintf(stderr, "soak: SDL, the screen or the font did not start\n");
        std::exit(1);
    }
    std::srand(draw_seed);
    app.take_block_texture();
    zgl_get_bitmap(BMP_PAUSED);
    play_record = Play_Record();
    app.load_records();
    app.options.flags = option_flags;
    app.options.opt_special_chance = 100;
    app.build_play_area();
    app.enter_saved_state();
    app.frame_seconds = 0.001;
}

// What the player sees of the game in progress: it must come back whole after a restart.
struct Game_View {
    State_Id state_id;
    int32_t score, level, flares;
    int32_t cells[GRID_COLS * GRID_ROWS];
};

Game_View view_of_game() {
    Game_View view = {
        play_record.state_id, play_record.score, play_record.level, play_record.flares, {}};
    std::copy(std::begin(play_record.grid.cells), std::end(play_record.grid.cells), view.cells);
    return view;
}

// The window is closed and the game started again in the same directory: it resumes the saved
// game in the screen that was current, paused.
void restart_game(unsigned draw_seed, Soak_Checker& checker) {
    const Game_View before = view_of_game();
    const uint32_t option_flags = app.options.flags;
    app.shutdown();
    start_game(draw_seed, option_flags);
    const Game_View after = view_of_game();
    if (after.state_id != before.state_id)
        checker.fail("a restart resumed in " + std::string(state_name(after.state_id)) +
                     " instead of " + state_name(before.state_id));
    if (after.score != before.score || after.level != before.level ||
        after.flares != before.flares ||
        !std::equal(std::begin(after.cells), std::end(after.cells), std::begin(before.cells)))
        checker.fail("a restart did not resume the game as it was");
    if (!(play_record.flags & FLAG_PAUSED)) checker.fail("a restart resumed the game unpaused");
    checker.check("after a restart");
}

void refuse_menu_escape(const SDL_Event& event, const Soak_Checker& checker) {
    if (play_record.state_id == STATE_MAIN_MENU && event.type == SDL_KEYDOWN &&
        event.key.keysym.sym == SDLK_ESCAPE)
        checker.fail("the player was about to press escape on the main menu");
}

void play_frame(Soak_Player& player, Soak_Checker& checker) {
    const double seconds = player.frame_seconds();
    const int events = player.events_before_frame();
    for (int i = 0; i < events; ++i) {
        const SDL_Event event = player.next_event();
        refuse_menu_escape(event, checker);
        checker.note_event(event);
        app.dispatch_event(event);
        checker.check("after an event");
    }
    app.frame_seconds = seconds;
    app.run_frame();
    checker.check_frame();
}

void add_run(Run_Totals& totals, const Soak_Checker& checker, long frames, double seconds) {
    totals.frames += frames;
    totals.games_started += checker.games_started();
    totals.games_over += checker.games_over();
    totals.random_colours += checker.games_with(opt_random_colors);
    totals.uncontrolled += checker.games_with(opt_uncontrolled_drop);
    totals.no_specials += checker.games_started() - checker.games_with(opt_special_blocks);
    for (State_Id id = 0; id < STATE_COUNT; ++id)
        totals.entries[id] += checker.entries(id);
    totals.seconds += seconds;
}

void report_run(unsigned seed, const Soak_Checker& checker, long frames, long restarts,
                double seconds) {
    std::printf("seed %u: %ld frames in %.1f s (%.0f frames/s), %ld games started, %ld over, "
                "%ld restarts",
                seed, frames, seconds, frames / seconds, checker.games_started(),
                checker.games_over(), restarts);
    if (checker.heap_highest() > 0)
        std::printf(", heap at the menu %.1f MB, at most %.1f MB", checker.heap_baseline() / 1e6,
                    checker.heap_highest() / 1e6);
    std::printf("\n");
    std::fflush(stdout);
}

// The frames of one run, with the saved-game round trips and the restarts between them; answers
// how many restarts were made.
long play_frames(unsigned seed, const Soak_Settings& settings, Soak_Player& player,
                 Soak_Checker& checker) {
    long restarts = 0;
    for (long frame = 0; frame < settings.frames; ++frame) {
        checker.begin_frame(frame);
        run_phase = "during a frame";
        play_frame(player, checker);
        if (frame % settings.save_every == settings.save_every - 1)
            checker.check_saved_game_round_trip();
        if (settings.restart_every &&
            frame % settings.restart_every == settings.restart_every - 1) {
            run_phase = "during a restart";
            restart_game(seed + static_cast<unsigned>(++restarts), checker);
        }
    }
    return restarts;
}

void run_seed(unsigned seed, const Soak_Settings& settings, Run_Totals& totals) {
    const Work_Dir dir;
    Soak_Player player(seed);
    Soak_Checker checker(seed);
    running_seed = seed;
    run_phase = "while starting";
    const auto t0 = std::chrono::steady_clock::now();
    start_game(seed, player.starting_option_flags());
    checker.check("after the start");
    const long restarts = play_frames(seed, settings, player, checker);
    run_phase = "while shutting down";
    app.shutdown();
    run_phase = nullptr;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - t0;
    report_run(seed, checker, settings.frames, restarts, elapsed.count());
    add_run(totals, checker, settings.frames, elapsed.count());
}

void report_totals(const Run_Totals& totals) {
    std::printf("soak: %ld frames, %ld games started, %ld over, %.1f s\n", totals.frames,
                totals.games_started, totals.games_over, totals.seconds);
    std::printf("soak: games with random colours %ld, with the uncontrolled drop %ld, "
                "without special blocks %ld\n",
                totals.random_colours, totals.uncontrolled, totals.no_specials);
    std::printf("soak: states entered:");
    for (State_Id id = 0; id < STATE_COUNT; ++id)
        std::printf("%s %s %ld", id ? "," : "", state_name(id), totals.entries[id]);
    std::printf("\n");
    // The leak check at exit ends the process without flushing.
    std::fflush(stdout);
}

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage: vextile_soak [--frames N] [--save-every N] "
                         "[--restart-every N | --no-restart] SEED...\n");
    std::exit(2);
}

long positive_number(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!text[0] || *end || value < 1) usage();
    return value;
}

Soak_Settings parse_arguments(int argc, char** argv) {
    Soak_Settings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) {
            settings.frames = positive_number(argv[++i]);
        } else if (arg == "--save-every" && i + 1 < argc) {
            settings.save_every = positive_number(argv[++i]);
        } else if (arg == "--restart-every" && i + 1 < argc) {
            settings.restart_every = positive_number(argv[++i]);
        } else if (arg == "--no-restart") {
            settings.restart_every = 0;
        } else {
            settings.seeds.push_back(static_cast<unsigned>(positive_number(argv[i])));
        }
    }
    if (settings.seeds.empty()) usage();
    return settings;
}

} // namespace

int main(int argc, char** argv) {
    const Soak_Settings settings = parse_arguments(argc, argv);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::atexit(refuse_early_exit);
    Run_Totals totals;
    for (const unsigned seed : settings.seeds)
        run_seed(seed, settings, totals);
    report_totals(totals);
    return 0;
}
