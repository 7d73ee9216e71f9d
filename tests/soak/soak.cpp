// The soak: long seeded games played headless through the real state switches and the real input
// mapping. For every seed the game is started as it starts itself (in a fresh working directory
// whose media links to the generated media); a seeded player presses keys and moves and clicks the
// mouse between frames of 0 to 0.2 seconds, with special blocks at 100 percent, through game over,
// the score entry, the list and back to a new game. The invariants are checked after every event
// and every frame; the saved game is written and read back now and then, and the game is closed
// and started again now and then (it must resume where it was). Run under LeakSanitizer it also
// proves that nothing is lost. A violation ends the process with exit code 1.
//
//     vextile_soak [--frames N] [--save-every N] [--restart-every N | --no-restart] SEED...
#include "app/vextile.h"
#include "effects/earth_state.h"
#include "effects/fire_state.h"
#include "effects/ice_state.h"
#include "effects/kill_rows_state.h"
#include "effects/lightning_state.h"
#include "game/game_context.h"
#include "media/bitmaps.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/faldor_state.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/options_file.h"
#include "ui/about_state.h"
#include "ui/main_menu_state.h"
#include "ui/options_state.h"
#include "ui/score_input_state.h"
#include "ui/score_list_state.h"
#include "ui/splash_state.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---- the checks ---------------------------------------------------------------------------------

const char* const state_names[STATE_COUNT] = {
    "splash", "main menu", "play",        "row clear",  "earth",   "ice",
    "fire",   "lightning", "score entry", "score list", "options", "about",
};

const char* state_name(State_Id id) {
    return id >= 0 && id < STATE_COUNT ? state_names[id] : "none";
}

template <class State> bool is_a(const Game_State* state) {
    return dynamic_cast<const State*>(state) != nullptr;
}

// Whether a state object is of the class that the id names, by id.
bool (*const state_matches[STATE_COUNT])(const Game_State*) = {
    is_a<Splash_State>,      is_a<Main_Menu_State>,  is_a<Faldor_State>,  is_a<KillRows_State>,
    is_a<Earth_State>,       is_a<Ice_State>,        is_a<Fire_State>,    is_a<Lightning_State>,
    is_a<Score_Input_State>, is_a<Score_List_State>, is_a<Options_State>, is_a<About_State>,
};

unsigned running_seed = 0;
long running_frame = 0;
const char* run_phase = nullptr; // set while the game must not end the process

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr,
                 "\nsoak: seed %u, frame %ld, %s, in %s: %s\n"
                 "soak: replay with: vextile_soak --frames %ld %u\n",
                 running_seed, running_frame, run_phase ? run_phase : "",
                 state_name(play_record.state_id), what.c_str(), running_frame + 1, running_seed);
    std::fflush(stderr);
    std::_Exit(1);
}

std::string format(const char* fmt, long a, long b = 0, long c = 0) {
    char text[200];
    std::snprintf(text, sizeof text, fmt, a, b, c);
    return text;
}

void refuse_early_exit() {
    if (run_phase) fail("the game ended the process");
}

// What must hold after every event and every frame: the current state is the one state_id names,
// the well holds only storable tiles (none thawed in play, after the ice), the play record is
// one the loader would take back, the score and the level never fall within a game, a new game
// starts empty, the keyboard types only while a placed name is asked for, and a landing only adds
// the piece's cells.
class Checker {
  public:
    long games_started = 0;
    long games_over = 0;

    void check() {
        const Play_Record& record = play_record;
        const State_Id id = record.state_id;
        if (!app.state || id < 0 || id >= STATE_COUNT || !state_matches[id](app.state.get()))
            fail(format("state_id %ld does not name the current state object", id));
        if (app.state.get() != last_state_ && last_id_ == STATE_MAIN_MENU && id == STATE_PLAY)
            check_new_game();
        last_id_ = id;
        last_state_ = app.state.get();
        for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i) {
            const int32_t cell = record.grid.cells[i];
            if ((cell != EMPTY_CELL && (cell < 0 || cell > TILE_THAWED)) ||
                (cell == TILE_THAWED && id == STATE_PLAY))
                fail(format("cell %ld,%ld holds %ld", i % GRID_COLS, i / GRID_COLS, cell));
        }
        if (!play_record_is_sound(record))
            fail("the play record is one the saved-game loader would refuse");
        if (record.score < last_score_)
            fail(format("the score fell from %ld to %ld", last_score_, record.score));
        if (record.level < last_level_)
            fail(format("the level fell from %ld to %ld", last_level_, record.level));
        last_score_ = record.score;
        last_level_ = record.level;
        const bool over = (record.flags & FLAG_GAME_OVER) != 0;
        if (over && !was_over_) ++games_over;
        was_over_ = over;
        const auto* entry = dynamic_cast<const Score_Input_State*>(app.state.get());
        const bool asking = entry && !entry->not_placed && entry->place >= 0;
        if (game.text_entry != asking)
            fail(asking ? "the name entry is current but the keyboard does not type"
                        : "the keyboard types but no name is asked for");
    }

    // A restart brings an effect back as it began, with the score it had then.
    void restarted() { last_score_ = play_record.score; }

    // Around a frame: a landing in it adds exactly the piece's cells inside the well to the cells
    // the well held before (the row clear comes in later frames) and never lands on a block.
    void before_frame() {
        const uint32_t flags = play_record.flags;
        falling_ = play_record.state_id == STATE_PLAY && (flags & FLAG_FALLING) &&
                   !(flags & (FLAG_PAUSED | FLAG_GAME_OVER));
        std::copy(std::begin(play_record.grid.cells), std::end(play_record.grid.cells), well_);
    }
    void after_frame() {
        const uint32_t flags = play_record.flags;
        if (!falling_ || (flags & FLAG_GAME_OVER) ||
            (play_record.state_id == STATE_PLAY && (flags & FLAG_FALLING)))
            return;
        const Piece& piece = play_record.current;
        for (int i = 0; i < 4; ++i) {
            const Grid_Pos at = piece_cell(piece, i);
            if (at.col < 0 || at.col >= GRID_COLS || at.row < 0 || at.row >= GRID_ROWS) continue;
            int32_t& cell = well_[at.row * GRID_COLS + at.col];
            if (cell != EMPTY_CELL)
                fail(format("a piece landed on the block at %ld,%ld", at.col, at.row));
            cell = piece.tile;
        }
        if (!std::equal(std::begin(well_), std::end(well_), std::begin(play_record.grid.cells)))
            fail("a landing changed the well beyond adding the piece's cells");
    }

    // Writes the saved game and reads it back into a scratch record: the two images must match.
    static void check_saved_game_round_trip() {
        save_saved_game(&play_record);
        Play_Record read_back;
        load_saved_game(&read_back);
        uint8_t written[PLAY_RECORD_SIZE], read[PLAY_RECORD_SIZE];
        encode_play_record(play_record, written);
        encode_play_record(read_back, read);
        if (!std::equal(std::begin(written), std::end(written), std::begin(read)))
            fail("the saved game read back differs from the one written");
    }

  private:
    // The start button resets the play record before play begins.
    void check_new_game() {
        ++games_started;
        const Play_Record& record = play_record;
        if (record.score != 0 || record.level != 0 || record.flares != 0 ||
            record.flags != FLAG_IN_PROGRESS)
            fail(format("a new game starts with score %ld, level %ld, flags %#lx", record.score,
                        record.level, static_cast<long>(record.flags)));
        for (const int32_t cell : record.grid.cells)
            if (cell != EMPTY_CELL) fail("a new game starts with blocks in the well");
        last_score_ = last_level_ = 0;
        was_over_ = false;
    }

    bool falling_ = false;
    int32_t well_[GRID_COLS * GRID_ROWS] = {};
    State_Id last_id_ = STATE_NONE;
    const Game_State* last_state_ = nullptr;
    int32_t last_score_ = 0, last_level_ = 0;
    bool was_over_ = false;
};

// ---- the player ---------------------------------------------------------------------------------

SDL_Event key(SDLKey sym, bool down = true, SDLMod mod = KMOD_NONE) {
    SDL_Event event = {};
    event.type = event.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = mod;
    return event;
}

SDL_Event mouse(Uint8 type, int x, int y) {
    SDL_Event event = {};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.type = type;
        event.motion.x = static_cast<Uint16>(x);
        event.motion.y = static_cast<Uint16>(y);
    } else {
        event.button.type = type;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.x = static_cast<Uint16>(x);
        event.button.y = static_cast<Uint16>(y);
    }
    return event;
}

template <class State> State* current() {
    return dynamic_cast<State*>(app.state.get());
}

// The keys of play first, then a few of no consequence; return last (noise never presses it).
constexpr SDLKey keys[] = {SDLK_DOWN, SDLK_s,   SDLK_LEFT,   SDLK_a,      SDLK_RIGHT, SDLK_d,
                           SDLK_UP,   SDLK_w,   SDLK_DELETE, SDLK_SPACE,  SDLK_x,     SDLK_q,
                           SDLK_1,    SDLK_TAB, SDLK_F1,     SDLK_LSHIFT, SDLK_RETURN};
constexpr int PLAY_KEYS = 10, NOISE_KEYS = 16;

// A seeded, headless stand-in for a person at the keyboard and the mouse, biased toward progress
// so that games end and the whole round of screens comes by again and again.
class Player {
  public:
    explicit Player(unsigned seed) : rng_(seed) {}

    uint32_t starting_option_flags() {
        return opt_special_blocks | (chance(30) ? opt_random_colors : 0u) |
               (chance(30) ? opt_uncontrolled_drop : 0u);
    }
    // 0 to 0.2 seconds, now and then exactly one of the two ends.
    double frame_seconds() {
        const int roll = pick(100);
        if (roll < 16) return roll < 8 ? 0.0 : 0.2;
        return 0.2 * static_cast<double>(rng_()) / static_cast<double>(std::mt19937::max());
    }
    int events_before_frame() {
        const int roll = pick(100);
        return roll < 35 ? 0 : roll < 75 ? 1 : roll < 90 ? 2 : 3 + pick(5);
    }

    // The next event for the screen that is current now; never escape on the main menu.
    SDL_Event next_event() {
        notice_screen();
        switch (play_record.state_id) {
        case STATE_SPLASH:
            return chance(4) ? key(SDLK_SPACE) : chance(2) ? key(SDLK_ESCAPE) : noise();
        case STATE_MAIN_MENU:
            return menu_event();
        case STATE_PLAY:
            return play_event();
        case STATE_SCORE_INPUT:
            return score_entry_event();
        case STATE_OPTIONS:
            return options_event();
        case STATE_SCORE_LIST:
        case STATE_ABOUT:
            if (wait_it_out_ || steps_left_-- > 0) return noise();
            return chance(60) ? key(SDLK_RETURN) : chance(50) ? key(SDLK_ESCAPE) : click_anywhere();
        default: { // the effects: now and then their pause and escape spots
            const int roll = pick(200000);
            if (roll < 1000) return mouse(SDL_MOUSEBUTTONDOWN, 115 + pick(10), 150 + pick(10));
            if (roll < 1001) return mouse(SDL_MOUSEBUTTONDOWN, 149 + pick(10), 149 + pick(10));
            return roll < 1002 ? key(SDLK_ESCAPE) : piece_event();
        }
        }
    }

  private:
    bool chance(int percent) { return pick(100) < percent; }
    int pick(int count) { return static_cast<int>(rng_() % unsigned(count)); }

    SDL_Event noise() {
        const int roll = pick(100);
        if (roll < 45) return mouse(SDL_MOUSEMOTION, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
        if (roll < 50) return mouse(SDL_MOUSEBUTTONUP, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
        return key(keys[pick(NOISE_KEYS)], roll >= 80);
    }
    SDL_Event click_anywhere() {
        return mouse(SDL_MOUSEBUTTONDOWN, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
    }
    // A point strictly inside a control, as its hit test wants it.
    SDL_Event press_inside(Uint8 type, int x, int y, int w, int h) {
        return mouse(type, x + 1 + pick(std::max(w - 2, 1)), y + 1 + pick(std::max(h - 2, 1)));
    }
    // Walks the focus to the target with the arrows, then presses return.
    // (W and S too where they do not type).
    SDL_Event focus_and_press(int focus, int target, bool letters = false) {
        if (focus == target) return key(SDLK_RETURN);
        const bool alt = letters && chance(50);
        return key(focus < target ? (alt ? SDLK_s : SDLK_DOWN) : (alt ? SDLK_w : SDLK_UP));
    }

    // Plans the visit when the screen has changed since the last event.
    void notice_screen() {
        if (app.state.get() == seen_state_) return;
        seen_state_ = app.state.get();
        const int roll = pick(100);
        switch (play_record.state_id) {
        case STATE_MAIN_MENU:
            goal_ = roll < 77   ? Main_Menu_State::BUTTON_START_GAME
                    : roll < 89 ? Main_Menu_State::BUTTON_OPTIONS
                    : roll < 95 ? Main_Menu_State::BUTTON_HIGH_SCORES
                                : Main_Menu_State::BUTTON_ABOUT;
            by_mouse_ = chance(35);
            // All pieces against one wall builds a tower that soon ends the game.
            tower_side_ = pick(4) == 0 ? SDLK_LEFT : pick(3) == 0 ? SDLK_RIGHT : SDLK_UNKNOWN;
            break;
        case STATE_SCORE_INPUT:
            steps_left_ = pick(SCORE_NAME_MAX + 3);
            goal_ = roll < 85 ? 0 : 1; // accept or cancel
            by_mouse_ = chance(25);
            break;
        case STATE_OPTIONS:
            steps_left_ = pick(5);
            goal_ = roll < 50 ? 0 : 1; // OK or cancel
            by_mouse_ = chance(40);
            break;
        default:
            wait_it_out_ = play_record.state_id == STATE_SCORE_LIST && roll < 3;
            steps_left_ = pick(20);
            break;
        }
    }

    SDL_Event menu_event() {
        Main_Menu_State* menu = current<Main_Menu_State>();
        if (!menu || chance(12)) return noise();
        if (!by_mouse_) return focus_and_press(menu->focus.focus(), goal_, true);
        const UI_Bmp_Button& b = menu->buttons[goal_];
        return press_inside(chance(40) ? SDL_MOUSEMOTION : SDL_MOUSEBUTTONDOWN, b.x, b.y, b.width,
                            b.height);
    }

    SDL_Event play_event() {
        if (play_record.flags & FLAG_GAME_OVER) {
            if (chance(40)) return key(SDLK_RETURN);
            if (chance(15)) return click_anywhere();
            return pick(1000) == 0 ? key(SDLK_ESCAPE) : noise();
        }
        if (play_record.flags & FLAG_PAUSED) {
            if (chance(35)) return key(SDLK_SPACE);
            return pick(2000) == 0 ? key(SDLK_ESCAPE) : noise();
        }
        // Now and then a game is left for the menu halfway.
        return pick(100000) == 0 ? key(SDLK_ESCAPE) : piece_event();
    }

    SDL_Event piece_event() {
        if (tower_side_ != SDLK_UNKNOWN && chance(30)) return key(tower_side_);
        const int roll = pick(100);
        if (roll < 10) return noise();
        if (roll < 40) return key(chance(70) ? SDLK_DOWN : SDLK_s);
        if (roll < 43) return click_anywhere();
        // Mostly presses of the keys of play, sometimes their release or another key.
        return key(keys[pick(roll < 90 ? PLAY_KEYS : static_cast<int>(std::size(keys)))],
                   !chance(25));
    }

    SDL_Event score_entry_event() {
        Score_Input_State* entry = current<Score_Input_State>();
        // Without a place the screen hands over to the list at its first frame.
        if (!entry || entry->not_placed || chance(8)) return noise();
        if (steps_left_ > 0) {
            --steps_left_;
            const int roll = pick(100);
            if (roll < 10) return key(SDLK_BACKSPACE);
            if (roll < 80)
                return key(static_cast<SDLKey>(SDLK_a + pick(26)), true,
                           chance(30) ? KMOD_LSHIFT : KMOD_NONE);
            return key(roll < 90 ? static_cast<SDLKey>(SDLK_0 + pick(10)) : SDLK_PERIOD);
        }
        const UI_Bmp_Button& b = goal_ == 0 ? entry->accept : entry->cancel;
        if (!by_mouse_) return focus_and_press(entry->focus.focus(), goal_);
        return press_inside(chance(30) ? SDL_MOUSEMOTION : SDL_MOUSEBUTTONDOWN, b.x, b.y, b.width,
                            b.height);
    }

    // Ticks boxes, then OK or cancel. The special blocks are switched off seldom and back on
    // eagerly.
    SDL_Event options_event() {
        Options_State* options = current<Options_State>();
        if (!options || chance(10)) return noise();
        if (steps_left_ <= 0) {
            const UI_Bmp_Button& b = goal_ == 0 ? options->ok : options->cancel;
            if (by_mouse_) return press_inside(SDL_MOUSEBUTTONDOWN, b.x, b.y, b.width, b.height);
            return focus_and_press(options->focus.focus(), goal_ == 0
                                                               ? Options_State::FOCUS_OK
                                                               : Options_State::FOCUS_CANCEL);
        }
        int box = pick(Options_State::BOX_COUNT);
        const bool specials_on = options->boxes[1].checked == 1;
        if (box == 1 && specials_on && !chance(15)) box = 2 * pick(2);
        if (!specials_on && chance(60)) box = 1;
        const UI_Bmp_Checkbox& target = options->boxes[box];
        if (by_mouse_ || options->focus.focus() == box) --steps_left_;
        if (by_mouse_)
            return press_inside(SDL_MOUSEBUTTONDOWN, target.x, target.y, target.box_width,
                                target.height);
        if (options->focus.focus() != box) return focus_and_press(options->focus.focus(), box);
        return key(chance(70) ? SDLK_SPACE : SDLK_RETURN);
    }

    std::mt19937 rng_;
    const Game_State* seen_state_ = nullptr;
    int goal_ = 0;             // menu button, accept/cancel or OK/cancel the player is after
    bool by_mouse_ = false;    // the plan is carried out with the mouse
    int steps_left_ = 0;       // characters to type, boxes to tick, events to wait
    bool wait_it_out_ = false; // let the high-score list run out on its own
    SDLKey tower_side_ = SDLK_UNKNOWN;
};

// ---- the runs -----------------------------------------------------------------------------------

// A fresh working directory with "media" linked to the generated media, removed at the end.
class Work_Dir {
  public:
    Work_Dir() {
        std::string pattern = (fs::temp_directory_path() / "vextile-soak-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("soak: mkdtemp");
            std::exit(1);
        }
        path_ = pattern;
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
    fs::path path_, old_ = fs::current_path();
};

// The steps of the game's own start, with the soak's options and the draws seeded so that a run
// replays exactly (the game seeds them from the clock).
void start_game(unsigned draw_seed, uint32_t option_flags) {
    if (!app.start_video()) {
        std::fprintf(stderr, "soak: SDL, the screen or the font did not start\n");
        std::exit(1);
    }
    std::srand(draw_seed);
    take_block_texture();
    zgl_get_bitmap(BMP_PAUSED);
    play_record = Play_Record();
    app.load_records();
    game.options.flags = option_flags;
    game.options.opt_special_chance = 100;
    app.build_play_area();
    app.enter_saved_state();
}

// The window is closed and the game started again in the same directory: it resumes the saved
// game in the screen that was current, paused; an effect as the game stood when it began.
void restart_game(unsigned draw_seed, Checker& checker) {
    const auto* effect = dynamic_cast<const Effect_State*>(app.state.get());
    const Play_Record before = effect ? effect->at_entry : play_record;
    app.shutdown();
    start_game(draw_seed, game.options.flags);
    if (play_record.state_id != before.state_id)
        fail(std::string("a restart resumed in ") + state_name(play_record.state_id) +
             " instead of " + state_name(before.state_id));
    if (play_record.score != before.score || play_record.level != before.level ||
        play_record.flares != before.flares ||
        !std::equal(std::begin(before.grid.cells), std::end(before.grid.cells),
                    std::begin(play_record.grid.cells)))
        fail("a restart did not resume the game as it was");
    if (!(play_record.flags & FLAG_PAUSED)) fail("a restart resumed the game unpaused");
    checker.restarted();
    checker.check();
}

struct Settings {
    long frames = 100000;       // per seed
    long save_every = 997;      // frames between saved-game round trips
    long restart_every = 24989; // frames between restarts of the game, 0 for none
    std::vector<unsigned> seeds;
};

void run_seed(unsigned seed, const Settings& settings, long totals[3]) {
    const Work_Dir dir;
    Player player(seed);
    Checker checker;
    running_seed = seed;
    running_frame = 0;
    run_phase = "while starting";
    const auto t0 = std::chrono::steady_clock::now();
    start_game(seed, player.starting_option_flags());
    checker.check();
    long restarts = 0;
    for (long& frame = running_frame; frame < settings.frames; ++frame) {
        run_phase = "after an event";
        for (int i = player.events_before_frame(); i > 0; --i) {
            const SDL_Event event = player.next_event();
            if (play_record.state_id == STATE_MAIN_MENU && event.type == SDL_KEYDOWN &&
                event.key.keysym.sym == SDLK_ESCAPE)
                fail("the player was about to press escape on the main menu");
            app.dispatch_event(event);
            checker.check();
        }
        run_phase = "after the frame";
        const double seconds = player.frame_seconds();
        checker.before_frame();
        app.run_frame(seconds);
        checker.after_frame();
        checker.check();
        run_phase = "at the saved-game round trip";
        if (frame % settings.save_every == settings.save_every - 1)
            Checker::check_saved_game_round_trip();
        run_phase = "during a restart";
        if (settings.restart_every && frame % settings.restart_every == settings.restart_every - 1)
            restart_game(seed + static_cast<unsigned>(++restarts), checker);
    }
    run_phase = "while shutting down";
    app.shutdown();
    run_phase = nullptr;
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - t0;
    std::printf("seed %u: %ld frames in %.1f s, %ld games started, %ld over, %ld restarts\n", seed,
                settings.frames, seconds.count(), checker.games_started, checker.games_over,
                restarts);
    std::fflush(stdout);
    totals[0] += settings.frames;
    totals[1] += checker.games_started;
    totals[2] += checker.games_over;
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

} // namespace

int main(int argc, char** argv) {
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc)
            settings.frames = positive_number(argv[++i]);
        else if (arg == "--save-every" && i + 1 < argc)
            settings.save_every = positive_number(argv[++i]);
        else if (arg == "--restart-every" && i + 1 < argc)
            settings.restart_every = positive_number(argv[++i]);
        else if (arg == "--no-restart")
            settings.restart_every = 0;
        else
            settings.seeds.push_back(static_cast<unsigned>(positive_number(argv[i])));
    }
    if (settings.seeds.empty()) usage();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::atexit(refuse_early_exit);
    long totals[3] = {};
    for (const unsigned seed : settings.seeds)
        run_seed(seed, settings, totals);
    std::printf("soak: %ld frames, %ld games started, %ld over\n", totals[0], totals[1], totals[2]);
    std::fflush(stdout); // the leak check at exit ends the process without flushing
    return 0;
}
