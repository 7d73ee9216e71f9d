// The soak: long seeded games played headless through the real input mapping and the real state
// switches. For every seed the game starts as it starts itself in a fresh working directory; a
// seeded player presses keys and moves and clicks the mouse between frames of 0 to 0.2 seconds,
// with special blocks in every piece, through game over, the score entry, the list and back. The
// invariants are checked after every event and every frame; now and then the saved game is written
// and read back, and the game is closed and started again (it must resume where it was). Under
// LeakSanitizer it also shows that nothing is lost. A violation ends the process with status 1.
//
//     vextile_soak [--frames N] SEED...
#include "headless_game.h"

#include "app/vextile.h"
#include "effects/effect_state.h"
#include "game/game_context.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "ui/score_input_state.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <utility>

namespace {

unsigned running_seed = 0;
long running_frame = 0;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr,
                 "\nsoak: seed %u, frame %ld, state %d: %s\n"
                 "soak: replay with: vextile_soak --frames %ld %u\n",
                 running_seed, running_frame, play_record.state_id, what.c_str(), running_frame + 1,
                 running_seed);
    std::_Exit(1);
}

// What must hold after every event and every frame: a current state that the record names, only
// storable tiles in the well (none thawed in play), a record the loader would take back, a score
// and a level that never fall within a game, a new game that starts empty, and the keyboard typing
// exactly while a name is asked for.
struct Checker {
    int32_t last_score = 0, last_level = 0;
    State_Id last_id = STATE_NONE;
    long games = 0;

    void check() {
        const Play_Record& record = play_record;
        if (!app.state || record.state_id < 0 || record.state_id >= STATE_COUNT)
            fail("no current state, or the record names none");
        for (const int32_t cell : record.grid.cells)
            if (cell < EMPTY_CELL || cell > TILE_THAWED ||
                (cell == TILE_THAWED && record.state_id == STATE_PLAY))
                fail("the well holds tile " + std::to_string(cell));
        if (!play_record_is_sound(record)) fail("the loader would refuse the play record");
        if (std::exchange(last_id, record.state_id) == STATE_MAIN_MENU &&
            record.state_id == STATE_PLAY) {
            ++games;
            last_score = last_level = 0;
            if (record.score || record.level || record.flags != FLAG_IN_PROGRESS ||
                std::count(std::begin(record.grid.cells), std::end(record.grid.cells),
                           EMPTY_CELL) != GRID_COLS * GRID_ROWS)
                fail("a new game does not start empty");
        }
        if (record.score < last_score || record.level < last_level)
            fail("the score or the level fell within a game");
        last_score = record.score;
        last_level = record.level;
        const auto* entry = dynamic_cast<const Score_Input_State*>(app.state.get());
        if (game.text_entry != (entry && !entry->not_placed))
            fail("the keyboard types but no name is asked for, or the other way round");
    }
};

SDL_Event key(SDLKey sym, bool down = true) {
    SDL_Event event = {};
    event.type = event.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = sym == SDLK_a ? KMOD_LSHIFT : KMOD_NONE;
    return event;
}

SDL_Event mouse(Uint8 type, int x, int y) {
    SDL_Event event = {};
    event.type = type;
    event.button.x = event.motion.x = static_cast<Uint16>(x);
    event.button.y = event.motion.y = static_cast<Uint16>(y);
    return event;
}

// A seeded stand-in for a person, biased toward progress so that games end and every screen
// comes by again and again. Escape is never pressed on the main menu (it ends the game).
class Player {
  public:
    explicit Player(unsigned seed) : rng_(seed) {}

    int pick(int count) { return static_cast<int>(rng_() % unsigned(count)); }
    double frame_seconds() { return pick(8) == 0 ? 0.2 * pick(2) : 0.2 * pick(1000) / 1000.0; }

    SDL_Event next_event() {
        static constexpr SDLKey play_keys[] = {SDLK_DOWN,   SDLK_s,    SDLK_LEFT, SDLK_a,
                                               SDLK_RIGHT,  SDLK_d,    SDLK_UP,   SDLK_w,
                                               SDLK_DELETE, SDLK_SPACE};
        const int roll = pick(100);
        if (roll < 8)
            return mouse(pick(2) ? SDL_MOUSEMOTION : SDL_MOUSEBUTTONUP, pick(320), pick(320));
        switch (play_record.state_id) {
        case STATE_SPLASH:
            return key(roll < 50 ? SDLK_SPACE : SDLK_x);
        case STATE_MAIN_MENU: // mostly a new game; now and then another screen
            return roll < 80 ? key(SDLK_RETURN) : roll < 90 ? key(SDLK_DOWN) : key(SDLK_UP);
        case STATE_SCORE_INPUT:
            return roll < 70 ? key(SDLKey(SDLK_a + pick(26)))
                             : key(roll < 80   ? SDLK_BACKSPACE
                                   : roll < 95 ? SDLK_RETURN
                                               : SDLK_DOWN);
        case STATE_OPTIONS: // boxes flipped, then OK or Cancel; special blocks stay on at 100 %
            return key(roll < 40 ? SDLK_SPACE : roll < 80 ? SDLK_DOWN : SDLK_RETURN);
        case STATE_SCORE_LIST:
        case STATE_ABOUT:
            return roll < 20   ? key(SDLK_RETURN)
                   : roll < 25 ? mouse(SDL_MOUSEBUTTONDOWN, pick(320), pick(320))
                               : key(SDLK_x);
        case STATE_PLAY:
            if (play_record.flags & FLAG_GAME_OVER) return key(roll < 40 ? SDLK_RETURN : SDLK_x);
            if (play_record.flags & FLAG_PAUSED) return key(roll < 40 ? SDLK_SPACE : SDLK_x);
            if (pick(20000) == 0) return key(SDLK_ESCAPE); // a game left halfway
            break;
        default: // the effects, with now and then their pause or escape spot
            if (pick(3000) == 0) return mouse(SDL_MOUSEBUTTONDOWN, 115 + pick(45), 150 + pick(10));
            break;
        }
        if (roll < 40) return key(SDLK_DOWN);
        return key(play_keys[pick(int(std::size(play_keys)))], pick(4) != 0);
    }

  private:
    std::mt19937 rng_;
};

// The game as it starts itself, with special blocks in every piece and the draws seeded.
void start_game(unsigned seed) {
    if (!headless::start_media()) fail("SDL, the screen or the font did not start");
    headless::build_world(seed);
    game.options.flags |= opt_special_blocks;
    game.options.opt_special_chance = 100;
}

// The window closed and the game started again: it resumes the saved game in the screen that was
// current, paused; an effect as the game stood when it began.
void restart_game(unsigned seed, Checker& checker) {
    const auto* effect = dynamic_cast<const Effect_State*>(app.state.get());
    const Play_Record before = effect ? effect->at_entry : play_record;
    const Options_Record options = game.options;
    headless::stop();
    start_game(seed);
    game.options = options;
    if (play_record.state_id != before.state_id || play_record.score != before.score ||
        play_record.level != before.level || !(play_record.flags & FLAG_PAUSED) ||
        !std::equal(std::begin(before.grid.cells), std::end(before.grid.cells),
                    std::begin(play_record.grid.cells)))
        fail("a restart did not resume the game as it was, paused");
    checker.last_score = play_record.score;
    checker.last_id = play_record.state_id;
}

void run_seed(unsigned seed, long frames) {
    const Temp_Dir dir;
    Player player(seed);
    Checker checker;
    running_seed = seed;
    start_game(seed);
    for (running_frame = 0; running_frame < frames; ++running_frame) {
        for (int i = player.pick(4); i > 0; --i) {
            app.dispatch_event(player.next_event());
            checker.check();
        }
        app.run_frame(player.frame_seconds());
        checker.check();
        if (running_frame % 997 == 996) { // the saved game read back as written
            save_saved_game(&play_record);
            Play_Record read_back;
            load_saved_game(&read_back);
            uint8_t written[PLAY_RECORD_SIZE], read[PLAY_RECORD_SIZE];
            encode_play_record(play_record, written);
            encode_play_record(read_back, read);
            if (!std::equal(std::begin(written), std::end(written), std::begin(read)))
                fail("the saved game read back differs from the one written");
        }
        if (running_frame % 24989 == 24988) restart_game(seed + unsigned(running_frame), checker);
    }
    headless::stop();
    std::printf("seed %u: %ld frames, %ld games\n", seed, frames, checker.games);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    long frames = 100000;
    int first_seed = 1;
    if (argc > 2 && std::string(argv[1]) == "--frames") frames = std::atol(argv[2]), first_seed = 3;
    if (frames < 1 || first_seed >= argc) {
        std::fprintf(stderr, "usage: vextile_soak [--frames N] SEED...\n");
        return 2;
    }
    for (int i = first_seed; i < argc; ++i)
        run_seed(static_cast<unsigned>(std::atoi(argv[i])), frames);
    return 0;
}
