// The saved game as the start-up reads it: any bytes as ".vextile-game_info", then the steps that
// follow the load at start-up (the well repainted, the sidebar made, the recorded state entered)
// and a short stretch of play.
//
// The input is the file. The game reads the first 1348 bytes and ignores the rest, so the bytes
// after the record drive the play: frames, keys, typing and clicks (see run_script). Without them
// a fixed mix of short and long frames and the play keys runs.
#include "fuzz_world.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "play/play_record.h"

#include <SDL/SDL.h>

namespace {

constexpr int MAX_FRAMES = 64;
constexpr int SCREEN_SIZE = 320;

// Frame durations: a fast frame, a slow one, a tiny one and a stall of the machine.
constexpr double frame_lengths[] = {0.016, 0.3, 0.001, 2.0};

// The keys of play and of the screens that follow it. Escape is sent only outside the main menu,
// where it ends the game.
constexpr Command commands[] = {
    CMD_UP,          CMD_DOWN_PRESS,    CMD_DOWN_RELEASE, CMD_LEFT_PRESS, CMD_LEFT_RELEASE,
    CMD_RIGHT_PRESS, CMD_RIGHT_RELEASE, CMD_DELETE,       CMD_SPACE,      CMD_ENTER,
    CMD_BACKSPACE,   CMD_TEXT_SPACE,    CMD_ESCAPE,
};
constexpr int COMMAND_COUNT = sizeof commands / sizeof commands[0];

// The default stretch: the piece turned, moved and sent down, a flare spent, a pause and a resume,
// between frames of every length.
constexpr uint8_t default_script[] = {
    0, 1,     4 + 0, 0, 4 + 3, 1, 4 + 1, 0, 2, 4 + 7, 3, 0, 4 + 8, 0, 4 + 8, 1,
    0, 4 + 5, 1,     0, 4 + 2, 1, 4 + 9, 0, 3, 0,     1, 0, 2,     0, 1,     0,
};

// A point anywhere on the screen: the effects' hot spots are ten pixels wide.
int screen_coordinate(uint8_t byte) {
    return byte * SCREEN_SIZE / 256;
}

void send_mouse(Mouse_Action action, uint8_t x, uint8_t y) {
    const int px = screen_coordinate(x);
    const int py = screen_coordinate(y);
    app.send_mouse(action, px, py);
    if (action == MOUSE_PRESS) app.send_mouse(MOUSE_RELEASE, px, py);
}

void send_key(int index) {
    const Command command = commands[index % COMMAND_COUNT];
    if (command == CMD_ESCAPE && play_record.state_id == STATE_MAIN_MENU) return;
    send_command(command);
}

void send_char(uint8_t byte) {
    const char typed = static_cast<char>(byte);
    send_command(CMD_CHAR, &typed);
}

// A key as SDL reports it, through the game's own mapping (which types while a name is entered):
// the arrows and the keys with a meaning, or any key up to 255.
void send_key_event(uint8_t byte, bool shift, bool release) {
    static constexpr SDLKey named[] = {SDLK_UP,     SDLK_DOWN,   SDLK_LEFT,      SDLK_RIGHT,
                                       SDLK_SPACE,  SDLK_RETURN, SDLK_BACKSPACE, SDLK_DELETE,
                                       SDLK_ESCAPE, SDLK_w,      SDLK_a,         SDLK_s,
                                       SDLK_d,      SDLK_LSHIFT, SDLK_z,         SDLK_0};
    constexpr int NAMED_COUNT = sizeof named / sizeof named[0];
    const SDLKey sym = byte < NAMED_COUNT ? named[byte] : static_cast<SDLKey>(byte);
    if (sym == SDLK_ESCAPE && play_record.state_id == STATE_MAIN_MENU) return;
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = shift ? KMOD_LSHIFT : KMOD_NONE;
    app.dispatch_event(event);
    if (!release) return;
    event.type = SDL_KEYUP;
    app.dispatch_event(event);
}

// Steps 0..3 are frames and 4..16 commands. The others read the bytes after them: 17..23 type
// one, 24..29 press (and from 27 on release) the key it names, with shift on the odd steps; 30
// moves the mouse to the point of the next two and 31 clicks there.
void run_script(const uint8_t* script, size_t size) {
    int frames = 0;
    for (size_t i = 0; i < size && frames < MAX_FRAMES; ++i) {
        const int step = script[i] % 32;
        const uint8_t first = i + 1 < size ? script[i + 1] : 0;
        const uint8_t second = i + 2 < size ? script[i + 2] : 0;
        if (step < 4) {
            run_frame(frame_lengths[step]);
            ++frames;
        } else if (step < 4 + COMMAND_COUNT) {
            send_key(step - 4);
        } else if (step < 24) {
            send_char(first);
            i += 1;
        } else if (step < 30) {
            send_key_event(first, step % 2 != 0, step >= 27);
            i += 1;
        } else {
            send_mouse(step == 30 ? MOUSE_MOTION : MOUSE_PRESS, first, second);
            i += 2;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    start_fuzz_world(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    reset_game(data, size); // the start-up reads it and enters the state it records
    expect(play_record_is_sound(play_record), "a loaded game is always sound");
    if (size > PLAY_RECORD_SIZE) {
        run_script(data + PLAY_RECORD_SIZE, size - PLAY_RECORD_SIZE);
    } else {
        run_script(default_script, sizeof default_script);
    }
    app.enter_state(STATE_NONE);
    return 0;
}
