// The application: keys and mouse to commands in both keyboard modes, the main loop's order and
// frame times, the state switch, and the frame clock's pacing on a fake clock.
#include "game_test.h"

#include "media/bitmaps.h"

#include <cmath>
#include <csignal>
#include <functional>

namespace {

constexpr int64_t MS = 1000000;

void push_key(SDLKey sym) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = sym;
    SDL_PushEvent(&key);
}

// A recorder that also notes each frame's time and what was typed so far, runs the frame's script,
// and closes the window when there is none.
struct Recording_State : Recorder {
    std::vector<double> frames;
    std::vector<std::string> typed_by_frame;
    std::vector<std::function<void()>> script; // one step a frame

    void do_frame(double seconds) override {
        frames.push_back(seconds);
        typed_by_frame.push_back(typed);
        if (frames.size() <= script.size()) return script[frames.size() - 1]();
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
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

// The commands as their letters: e up, f/g down pressed/released, h/i left, j/k right, l backspace,
// m space while typing, n enter, o a character, p delete, q space, r escape.
std::string letters(const std::vector<Command>& commands) {
    return std::string(commands.begin(), commands.end());
}

// Not typing: arrows and W, A, S, D move, their releases too; other characters from '!' to 'z'
// still reach the state as typed (F1 and Tab lie outside). Typing: W, A, S, D type their letters,
// capital with either shift (shift wins over caps lock, and a shifted digit types itself); an
// arrow types nothing; space types; releases are ignored.
TEST_F(App_Test, KeysInBothKeyboardModes) {
    for (SDLKey k :
         {SDLK_UP, SDLK_w, SDLK_DOWN, SDLK_s, SDLK_LEFT, SDLK_a, SDLK_RIGHT, SDLK_d, SDLK_ESCAPE,
          SDLK_BACKSPACE, SDLK_RETURN, SDLK_DELETE, SDLK_SPACE, SDLK_x, SDLK_7, SDLK_F1, SDLK_TAB})
        press(k);
    for (SDLKey k : {SDLK_DOWN, SDLK_s, SDLK_LEFT, SDLK_a, SDLK_RIGHT, SDLK_d, SDLK_UP, SDLK_SPACE})
        release(k);
    EXPECT_EQ(letters(screen->commands), "eeffhhjjrlnpqooggiikk");
    EXPECT_EQ(screen->typed, "x7");
    game.text_entry = true;
    screen->commands.clear();
    screen->typed.clear();
    const SDLKey typed[] = {SDLK_w, SDLK_a, SDLK_s,     SDLK_d, SDLK_UP,
                            SDLK_q, SDLK_1, SDLK_SLASH, SDLK_z};
    const int mods[] = {0,           KMOD_LSHIFT, KMOD_RSHIFT,
                        0,           0,           KMOD_CAPS,
                        KMOD_LSHIFT, KMOD_RSHIFT, KMOD_CAPS | KMOD_LSHIFT};
    for (int i = 0; i < 9; ++i)
        press(typed[i], mods[i]);
    for (SDLKey k : {SDLK_SPACE, SDLK_RETURN, SDLK_BACKSPACE, SDLK_ESCAPE, SDLK_DELETE})
        press(k);
    for (SDLKey k : {SDLK_DOWN, SDLK_a, SDLK_RIGHT})
        release(k);
    EXPECT_EQ(screen->typed, "wASdq1/Z");
    EXPECT_EQ(letters(screen->commands), "oooooooomnlrp");
}

// Motion, press and release reach the state with their positions (the wheel arrives as a press and
// a release); quit ends the loop; without a state everything is dropped quietly.
TEST_F(App_Test, MouseEventsReachTheStateWithTheirActions) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 10;
    e.motion.y = 20;
    EXPECT_TRUE(app.dispatch_event(e));
    e.button.button = SDL_BUTTON_WHEELUP;
    e.button.x = 30;
    e.button.y = 40;
    for (const Uint8 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        e.type = type;
        EXPECT_TRUE(app.dispatch_event(e));
    }
    EXPECT_EQ(screen->mouse,
              (std::vector<int>{MOUSE_MOTION, 10, 20, MOUSE_PRESS, 30, 40, MOUSE_RELEASE, 30, 40}));
    e.type = SDL_QUIT;
    EXPECT_FALSE(app.dispatch_event(e));
    app.state.reset();
    e.type = SDL_MOUSEBUTTONDOWN;
    EXPECT_TRUE(app.dispatch_event(e));
    press(SDLK_LEFT);
}

// The main loop hands every waiting event to the state before each frame, paces the frames and
// gives each the time since the previous one started; nothing leaves the loop but quit.
TEST_F(App_Test, EventsComeFirstAndEachFrameGetsTheTimeSinceTheLast) {
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

// A switch is made after the handler that asked, the old state destroyed before the new one is
// built (the splash gives its logos back when it goes and takes them when it comes). An id
// without a state builds nothing; a saved id out of range starts the splash.
TEST_F(App_Test, TheSwitchWaitsForTheHandlerAndTheOldStateGoesBeforeTheNewOneIsBuilt) {
    game.change_state(STATE_SPLASH);
    EXPECT_EQ(app.state.get(), screen) << "asked for, not made";
    EXPECT_TRUE(app.send_command(CMD_UP)) << "the state that asked still handles";
    EXPECT_NE(zgl_bitmap_size(BMP_MAKER_LOGO).w, 0);
    app.enter_state(STATE_SPLASH);
    EXPECT_NE(zgl_bitmap_size(BMP_MAKER_LOGO).w, 0) << "the new splash's logo must be loaded";
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

// A hang-up (the terminal closed) ends the main loop as SIGTERM does, so the game gets saved.
TEST_F(App_Test, AHangUpEndsTheLoopAsTerminationDoes) {
    std::raise(SIGHUP);
    EXPECT_FALSE(app.take_events());
}

// ---- the frame clock ---------------------------------------------------------------------------

// A clock that moves only when the game works or sleeps.
struct Fake_Time {
    int64_t now = 5 * MS + 123; // the clock's epoch is arbitrary
    std::vector<int64_t> sleeps;
    bool short_sleeps = false; // sleeps return half-way, as signals make them do

    Time_Source source() {
        return {[this] { return now; },
                [this](int64_t ns) {
                    sleeps.push_back(ns);
                    now += short_sleeps ? (ns + 1) / 2 : ns;
                }};
    }
    // Frames that each take `work` of drawing after `gap` of events; the frame times, and the
    // frames' starts.
    std::vector<double> run(Frame_Clock& clock, int frames, int64_t work, int64_t gap = 0,
                            std::vector<int64_t>* starts = nullptr) {
        std::vector<double> seconds;
        for (int i = 0; i < frames; ++i) {
            now += gap;
            if (starts) starts->push_back(now);
            seconds.push_back(clock.begin_frame());
            now += work;
            clock.end_frame();
        }
        return seconds;
    }
};

// Frames are paced to the ceiling by one sleep inside each frame, after its work; long event
// handling or slow frames are not slept for; unpaced, nothing sleeps. Frame times come in whole
// milliseconds (the first one 0.001) and add up to the wall time. At 60 fps frames start every
// 1/60 s to the nanosecond, with no drift over ten seconds.
TEST(Frame_Clock, GameTimeFollowsTheWallClockAndFramesArePacedToTheCeiling) {
    const struct {
        int fps;
        int64_t work, gap; // the frame's drawing, the events taken before it
        double frame;      // the steady frame time
    } cases[] = {{60, 3 * MS, 0, 0.0167},
                 {60, 2 * MS, 20 * MS, 0.0367},
                 {60, 25 * MS, 0, 0.025},
                 {100, 1 * MS, 3 * MS, 0.010},
                 {0, 7 * MS, 4 * MS, 0.011}};
    for (const auto& c : cases) {
        Fake_Time time;
        Frame_Clock clock(c.fps, time.source());
        std::vector<int64_t> starts;
        const std::vector<double> seconds = time.run(clock, 601, c.work, c.gap, &starts);
        EXPECT_EQ(seconds[0], 0.001);
        double sum = 0;
        for (size_t i = 1; i < seconds.size(); ++i) {
            ASSERT_NEAR(i > 1 ? seconds[i] : c.frame, c.frame, 0.0008) << c.fps << " frame " << i;
            ASSERT_EQ(seconds[i], std::round(seconds[i] * 1000) / 1000);
            sum += seconds[i];
        }
        EXPECT_NEAR(sum, (starts.back() - starts.front()) / 1e9, 0.001) << c.fps;
        EXPECT_EQ(time.sleeps.empty(), c.fps == 0 || c.work > 17 * MS) << c.fps;
    }
    Fake_Time time;
    Frame_Clock clock(60, time.source());
    std::vector<int64_t> starts;
    time.run(clock, 601, 3 * MS, 0, &starts);
    EXPECT_EQ(std::pair(time.sleeps.size(), time.sleeps[1]),
              std::pair(size_t{601}, 16666667 - 3 * MS))
        << "one sleep a frame, of what is left of it";
    for (size_t i = 1; i < starts.size(); ++i)
        ASSERT_NEAR(starts[i] - starts[i - 1], 16666666.5, 0.5) << i;
    EXPECT_EQ(starts.back() - starts.front(), 10000 * MS);
}

// A stall counts as one frame of 0.1 s and pacing starts afresh (no burst of frames to catch up);
// a sleep cut short is slept again; restart makes the next frame the first.
TEST(Frame_Clock, StallsShortSleepsAndRestarts) {
    Fake_Time time;
    Frame_Clock clock(60, time.source());
    time.run(clock, 10, 2 * MS);
    time.now += 3000 * MS;
    EXPECT_EQ(clock.begin_frame(), MAX_FRAME_SECONDS);
    time.now += 2 * MS;
    time.sleeps.clear();
    clock.end_frame();
    ASSERT_EQ(time.sleeps.size(), 1u);
    EXPECT_NEAR(time.sleeps[0], 16666667 - 2 * MS, 1);
    EXPECT_NEAR(clock.begin_frame(), 0.017, 0.0011);
    clock.restart();
    time.now += 50 * MS;
    EXPECT_EQ(clock.begin_frame(), 0.001);

    Fake_Time cut;
    cut.short_sleeps = true;
    Frame_Clock paced(50, cut.source());
    std::vector<int64_t> starts;
    cut.run(paced, 3, 1 * MS, 0, &starts);
    EXPECT_NEAR(starts[2] - starts[1], 20 * MS, MS / 2);
    EXPECT_EQ(cut.sleeps.size(), 18u); // 19, 9.5, 4.75, 2.4, 1.2 and 0.6 ms left, each frame
}

} // namespace
