// The soak: long seeded games played headless through the real input mapping and the real state
// switches. For every seed the game starts as it starts itself in a fresh working directory; a
// seeded player presses keys and clicks between frames of 0 to 0.2 seconds, with special blocks in
// every piece, through game over, the score entry, the list and back. The invariants are checked
// after every event and every frame; now and then the saved game is read back, and the game is
// closed and started again (it must resume where it was). Under LeakSanitizer it also shows that
// nothing is lost. A violation ends the process with status 1.
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
                 "\nsoak: seed %u, frame %ld, state %d: %s\nsoak: replay with: "
                 "vextile_soak --frames %ld %u\n",
                 running_seed, running_frame, play_record.state_id, what.c_str(), running_frame + 1,
                 running_seed);
    std::_Exit(1);
}

Uint8 image[2][PLAY_RECORD_SIZE];

bool same_game(const Play_Record& a, const Play_Record& b) {
    encode_play_record(a, image[0]);
    encode_play_record(b, image[1]);
    return std::equal(std::begin(image[0]), std::end(image[0]), std::begin(image[1]));
}

// What must hold after every event and every frame: a current state that the record names, only
// storable tiles in the well (none thawed in play), a record the loader would take back, a score
// and a level that never fall within a game, a new game that starts empty, and the keyboard
// typing exactly while a name is asked for; a landing only adds the piece's cells.
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
            Play_Record fresh = record;
            reset_play_record(&fresh);
            if (!same_game(record, fresh)) fail("a new game does not start empty");
        }
        if (record.score < last_score || record.level < last_level)
            fail("the score or the level fell within a game");
        last_score = record.score;
        last_level = record.level;
        const auto* entry = dynamic_cast<const Score_Input_State*>(app.state.get());
        if (game.text_entry != (entry && !entry->not_placed))
            fail("the keyboard types but no name is asked for, or the other way round");
    }

    // Around a frame: a landing in it adds exactly the piece's cells inside the well to the cells
    // the well held before (the row clear comes in later frames), and never lands on a block.
    int32_t well[GRID_COLS * GRID_ROWS];
    bool falling = false;
    void before_frame() {
        const uint32_t flags = play_record.flags;
        falling = play_record.state_id == STATE_PLAY && (flags & FLAG_FALLING) &&
                  !(flags & (FLAG_PAUSED | FLAG_GAME_OVER));
        std::copy(std::begin(play_record.grid.cells), std::end(play_record.grid.cells), well);
    }
    void after_frame() {
        const uint32_t flags = play_record.flags;
        if (!falling || (flags & FLAG_GAME_OVER) ||
            (play_record.state_id == STATE_PLAY && (flags & FLAG_FALLING)))
            return;
        for (int i = 0; i < 4; ++i) {
            const Grid_Pos at = piece_cell(play_record.current, i);
            if (at.col < 0 || at.col >= GRID_COLS || at.row < 0 || at.row >= GRID_ROWS) continue;
            int32_t& cell = well[at.row * GRID_COLS + at.col];
            if (cell != EMPTY_CELL) fail("a piece landed on a block");
            cell = play_record.current.tile;
        }
        if (!std::equal(std::begin(well), std::end(well), std::begin(play_record.grid.cells)))
            fail("a landing changed the well beyond adding the piece's cells");
    }
};

// A seeded stand-in for a person, biased toward progress so that games end and every screen comes
// by again and again: per screen the keys it presses, the first ones most; Escape never on the menu
// (it ends the game) and seldom elsewhere.
struct Player {
    std::mt19937 rng;

    int pick(int count) { return static_cast<int>(rng() % unsigned(count)); }

    SDL_Event next_event() {
        static const std::string keys[STATE_COUNT] = {" x",
                                                      "\r\r\r\x11\x12\x12",
                                                      "\x12\x12\x12\x11\x13\x14"
                                                      "d\x7f  ",
                                                      "",
                                                      "",
                                                      "",
                                                      "",
                                                      "",
                                                      "abcde\b\r\x12",
                                                      "\rx",
                                                      " \x12\r",
                                                      "\rx"};
        SDL_Event event = {};
        std::string choice = keys[play_record.state_id];
        if (play_record.flags & (FLAG_GAME_OVER | FLAG_PAUSED))
            choice = play_record.flags & FLAG_GAME_OVER ? "\rx" : " x";
        else if (choice.empty()) // the effects: the keys of play, their pause and escape spots
            choice = "\x12\x11\x13\x14 ";
        if (pick(10) == 0) { // the mouse, anywhere
            event.type = pick(2) ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEMOTION;
            event.button.x = event.motion.x = static_cast<Uint16>(pick(320));
            event.button.y = event.motion.y = static_cast<Uint16>(pick(320));
            return event;
        }
        const char c = choice[size_t(pick(int(choice.size())))];
        // \x11 up, \x12 down, \x13 left, \x14 right, \b backspace, \r enter.
        const SDLKey arrows[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
        event.key.keysym.sym = c >= 0x11 && c <= 0x14 ? arrows[c - 0x11] : SDLKey(c);
        if (pick(20000) == 0 && play_record.state_id != STATE_MAIN_MENU)
            event.key.keysym.sym = SDLK_ESCAPE;
        event.key.keysym.mod = pick(4) ? KMOD_NONE : KMOD_LSHIFT;
        event.type = pick(4) ? SDL_KEYDOWN : SDL_KEYUP;
        return event;
    }
};

// The game as it starts itself, with special blocks in every piece and the draws seeded.
void start_game(unsigned seed) {
    if (!headless::start_media()) fail("SDL, the screen or the font did not start");
    headless::build_world(seed);
    game.options.flags |= opt_special_blocks;
    game.options.opt_special_chance = 100;
}

void run_seed(unsigned seed, long frames) {
    const Temp_Dir dir;
    Player player{std::mt19937(seed)};
    Checker checker;
    running_seed = seed;
    start_game(seed);
    for (running_frame = 0; running_frame < frames; ++running_frame) {
        for (int i = player.pick(4); i > 0; --i) {
            app.dispatch_event(player.next_event());
            checker.check();
        }
        checker.before_frame();
        app.run_frame(player.pick(8) ? 0.2 * player.pick(1000) / 1000.0 : 0.2 * player.pick(2));
        checker.after_frame();
        checker.check();
        if (running_frame % 997 == 996) { // the saved game read back as written
            save_saved_game(&play_record);
            Play_Record read_back;
            load_saved_game(&read_back);
            if (!same_game(read_back, play_record)) fail("the saved game read back differs");
        }
        if (running_frame % 24989 != 24988) continue;
        // Closed and started again: the saved game resumes in the screen that was current, paused;
        // an effect as the game stood when it began.
        const auto* effect = dynamic_cast<const Effect_State*>(app.state.get());
        Play_Record before = effect ? effect->at_entry : play_record;
        headless::stop();
        start_game(seed + unsigned(running_frame));
        before.flags |= FLAG_PAUSED;
        if (!same_game(before, play_record)) fail("a restart did not resume the game, paused");
        checker.last_score = play_record.score;
        checker.last_id = play_record.state_id;
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
