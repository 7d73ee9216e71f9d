// The input path: key tables in both keyboard modes, mouse events, the movement flags, the main
// loop's frame timing and the state switch.
#include "game_test.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "media/bitmaps.h"
#include "play/move_commands.h"
#include "play/play_record.h"

#include <functional>
#include <string>
#include <vector>

namespace {

void push_key(SDLKey sym) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = sym;
    SDL_PushEvent(&key);
}

// A screen that writes down everything it is handed; each frame it notes the frame time and what
// was typed so far, runs the frame's script, and asks the main loop to end when there is none.
struct Recording_State : Game_State {
    std::vector<Command> commands;
    std::string typed; // the characters of CMD_CHAR
    std::vector<int> mouse;
    std::vector<double> frames;
    std::vector<std::string> typed_by_frame;
    std::vector<std::function<void()>> script; // one step a frame

    void do_frame(double seconds) override {
        frames.push_back(seconds);
        typed_by_frame.push_back(typed);
        if (frames.size() <= script.size()) {
            script[frames.size() - 1]();
            return;
        }
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    bool handle_command(Command command, const char* text) override {
        commands.push_back(command);
        if (text) typed += *text;
        return true;
    }
    bool handle_mouse(Mouse_Action action, int x, int y) override {
        mouse.insert(mouse.end(), {action, x, y});
        return true;
    }
};

class App_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        app.state.reset(screen = new Recording_State);
    }
    void TearDown() override {
        app.frame_clock = Frame_Clock();
        Game_Test::TearDown();
    }
    void press(SDLKey sym, int mod = KMOD_NONE) { app.key_down({0, sym, SDLMod(mod), 0}); }
    void release(SDLKey sym) { app.key_up({0, sym, KMOD_NONE, 0}); }

    Recording_State* screen = nullptr;
};

TEST_F(App_Test, KeysWhileNotTyping) {
    for (SDLKey k : {SDLK_UP, SDLK_w, SDLK_DOWN, SDLK_s, SDLK_LEFT, SDLK_a, SDLK_RIGHT, SDLK_d,
                     SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_RETURN, SDLK_DELETE, SDLK_SPACE, SDLK_x,
                     SDLK_7, SDLK_F1, SDLK_TAB}) // F1 and Tab lie outside '!'..'z': nothing
        press(k);
    for (SDLKey k : {SDLK_DOWN, SDLK_s, SDLK_LEFT, SDLK_a, SDLK_RIGHT, SDLK_d, SDLK_UP, SDLK_w,
                     SDLK_SPACE, SDLK_RETURN, SDLK_x})
        release(k);
    const std::vector<Command> expected = {
        CMD_UP,           CMD_UP,           CMD_DOWN_PRESS,   CMD_DOWN_PRESS,   CMD_LEFT_PRESS,
        CMD_LEFT_PRESS,   CMD_RIGHT_PRESS,  CMD_RIGHT_PRESS,  CMD_ESCAPE,       CMD_BACKSPACE,
        CMD_ENTER,        CMD_DELETE,       CMD_SPACE,        CMD_CHAR,         CMD_CHAR,
        CMD_DOWN_RELEASE, CMD_DOWN_RELEASE, CMD_LEFT_RELEASE, CMD_LEFT_RELEASE, CMD_RIGHT_RELEASE,
        CMD_RIGHT_RELEASE};
    EXPECT_EQ(screen->commands, expected);
    EXPECT_EQ(screen->typed, "x7") << "letters and digits reach the state outside name entry too";
}

TEST_F(App_Test, KeysWhileTyping) {
    game.text_entry = true;
    // W, A, S and D type their letters, capital with either shift; an arrow types nothing (its
    // value lies outside '!'..'z'); caps lock alone gives lower case; a shifted digit or
    // punctuation mark types itself unshifted; shift wins over caps lock.
    const int caps = KMOD_CAPS, left = KMOD_LSHIFT, right = KMOD_RSHIFT;
    const std::pair<SDLKey, int> keys[] = {
        {SDLK_w, 0},    {SDLK_a, left}, {SDLK_s, right},     {SDLK_d, 0},          {SDLK_UP, 0},
        {SDLK_q, caps}, {SDLK_1, left}, {SDLK_SLASH, right}, {SDLK_z, caps | left}};
    for (const auto& [sym, mod] : keys)
        press(sym, mod);
    EXPECT_EQ(screen->typed, "wASdq1/Z");
    screen->commands.clear();
    for (SDLKey k : {SDLK_SPACE, SDLK_RETURN, SDLK_BACKSPACE, SDLK_ESCAPE, SDLK_DELETE})
        press(k);
    for (SDLKey k : {SDLK_DOWN, SDLK_a, SDLK_RIGHT})
        release(k); // releases are ignored
    EXPECT_EQ(screen->commands, (std::vector<Command>{CMD_TEXT_SPACE, CMD_ENTER, CMD_BACKSPACE,
                                                      CMD_ESCAPE, CMD_DELETE}));
}

TEST_F(App_Test, MouseEventsReachTheStateWithTheirActions) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 10;
    e.motion.y = 20;
    EXPECT_TRUE(app.dispatch_event(e));
    e.button.button = SDL_BUTTON_WHEELUP; // the wheel arrives as a press and a release
    e.button.x = 30;
    e.button.y = 40;
    for (const Uint8 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        e.type = type;
        EXPECT_TRUE(app.dispatch_event(e));
    }
    EXPECT_EQ(screen->mouse, (std::vector<int>{1, 10, 20, 0, 30, 40, 2, 30, 40}));

    e.type = SDL_QUIT;
    EXPECT_FALSE(app.dispatch_event(e));
    app.state.reset(); // without a state everything is dropped quietly
    e.type = SDL_MOUSEBUTTONDOWN;
    EXPECT_TRUE(app.dispatch_event(e));
    press(SDLK_LEFT);
    press(SDLK_x);
}

// The movement commands set and clear the play flags and leave every other flag alone; a held left
// is dropped by a right press; with uncontrolled drop the drop goes on after the key is released
// until a stop.
TEST_F(App_Test, MovementCommandsSetThePlayFlags) {
    const uint32_t kept = FLAG_IN_PROGRESS | FLAG_PAUSED, rotate = FLAG_ROTATE;
    const uint32_t drop = FLAG_ROTATE | FLAG_FAST_DROP;
    play_record.flags = kept;
    // The flags left after each command, which answers true.
    auto flags_after = [&](std::initializer_list<Command> commands) {
        std::vector<uint32_t> flags;
        for (Command c : commands) {
            EXPECT_TRUE(apply_move_command(c)) << char(c);
            flags.push_back(play_record.flags & ~kept);
        }
        return flags;
    };
    EXPECT_EQ(flags_after({CMD_LEFT_PRESS, CMD_RIGHT_PRESS, CMD_RIGHT_RELEASE, CMD_LEFT_RELEASE,
                           CMD_UP, CMD_DOWN_PRESS, CMD_DOWN_RELEASE}),
              (std::vector<uint32_t>{FLAG_LEFT, FLAG_RIGHT, 0, 0, rotate, drop, rotate}));
    game.options.flags |= opt_uncontrolled_drop;
    EXPECT_EQ(flags_after({CMD_DOWN_PRESS, CMD_DOWN_RELEASE, CMD_LEFT_PRESS, CMD_STOP}),
              (std::vector<uint32_t>{drop, drop, drop | FLAG_LEFT, rotate}));
    for (Command c : {CMD_ENTER, CMD_ESCAPE, CMD_SPACE, CMD_DELETE, CMD_CHAR, CMD_BACKSPACE,
                      CMD_TEXT_SPACE, Command(0), Command(3)})
        EXPECT_FALSE(apply_move_command(c)) << c;
    EXPECT_EQ(play_record.flags, FLAG_ROTATE | kept);
}

// The main loop hands every waiting event to the state before each frame, paces the frames and
// gives each the time since the previous one started; nothing leaves the loop but quit.
TEST_F(App_Test, EventsComeFirstAndEachFrameGetsTheTimeSinceTheLast) {
    constexpr int64_t MS = 1000000;
    int64_t now = 0;
    app.frame_clock = Frame_Clock(50, {[&] { return now; }, [&](int64_t ns) { now += ns; }});
    for (SDLKey k : {SDLK_x, SDLK_y, SDLK_z})
        push_key(k);
    screen->script = {
        [&] { now += 3 * MS; },                      // a frame that draws for 3 ms
        [&] { push_key(SDLK_m), push_key(SDLK_n); }, // keys pressed while the frame runs
        [&] { now += 45 * MS; },                     // a frame slower than the period
    };
    app.run();
    EXPECT_EQ(screen->typed_by_frame, (std::vector<std::string>{"xyz", "xyz", "xyzmn", "xyzmn"}));
    EXPECT_EQ(screen->frames, (std::vector<double>{0.001, 0.020, 0.020, 0.045}));
}

TEST_F(App_Test, TheSwitchWaitsForTheHandlerAndTheOldStateIsDestroyedBeforeTheNewOneIsBuilt) {
    game.change_state(STATE_SPLASH);
    EXPECT_EQ(app.state.get(), screen) << "asked for, not made";
    EXPECT_TRUE(app.send_command(CMD_UP)) << "the state that asked still handles";
    // The splash gives its logos back when it goes and requests them when it comes. Were the new
    // one built first, the old one's destructor would leave the logos unloaded.
    app.enter_state(STATE_SPLASH);
    EXPECT_NE(zgl_bitmap_size(BMP_MAKER_LOGO).w, 0) << "the new splash's logo must be loaded";

    // Unknown ids build nothing (and the splash gave its logo back); a saved one starts the splash.
    for (State_Id id : {STATE_NONE, 42}) {
        app.enter_state(id);
        EXPECT_TRUE(!app.state && play_record.state_id == id) << id;
    }
    EXPECT_EQ(zgl_bitmap_size(BMP_MAKER_LOGO).w, 0);
    for (State_Id saved : {-1, 12, 99, -7}) {
        play_record.state_id = saved;
        app.enter_saved_state();
        EXPECT_TRUE(app.state && play_record.state_id == STATE_SPLASH) << saved;
    }
}

} // namespace
