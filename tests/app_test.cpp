// The input path: key tables in both keyboard modes, the movement flags, the main loop's frame
// timing and the state switch.
#include "game_test.h"

#include "app/vextile.h"
#include "media/bitmaps.h"
#include "play/play_record.h"

#include <string>
#include <vector>

namespace {

struct Received {
    Command command;
    std::string text;  // the typed character for CMD_CHAR
};

// A screen that writes down everything it is handed.
class Recording_State : public Game_State {
public:
    explicit Recording_State(std::vector<Received>* log, std::vector<int>* mouse = nullptr)
        : log_(log), mouse_(mouse) {}
    void do_frame() override {}
    bool handle_command(Command command, const char* text) override {
        log_->push_back({command, text ? std::string(1, *text) : std::string()});
        return true;
    }
    bool handle_mouse(Mouse_Action action, int x, int y) override {
        if (mouse_) mouse_->insert(mouse_->end(), {action, x, y});
        return true;
    }

private:
    std::vector<Received>* log_;
    std::vector<int>* mouse_;
};

SDL_keysym key(SDLKey sym, SDLMod mod = KMOD_NONE) {
    SDL_keysym k{};
    k.sym = sym;
    k.mod = mod;
    return k;
}

class Input_Test : public Game_Test {
protected:
    void SetUp() override {
        Game_Test::SetUp();
        app.state.reset(new Recording_State(&log, &mouse));
    }
    void press(SDLKey sym, SDLMod mod = KMOD_NONE) { app.key_down(key(sym, mod)); }
    void release(SDLKey sym) { app.key_up(key(sym)); }
    std::vector<Command> commands() const {
        std::vector<Command> out;
        for (const Received& r : log) out.push_back(r.command);
        return out;
    }
    std::string typed() const {
        std::string out;
        for (const Received& r : log)
            if (r.command == CMD_CHAR) out += r.text;
        return out;
    }

    std::vector<Received> log;
    std::vector<int> mouse;
};

TEST_F(Input_Test, KeysWhileNotTyping) {
    for (SDLKey k : {SDLK_UP, SDLK_w, SDLK_DOWN, SDLK_s, SDLK_LEFT, SDLK_a, SDLK_RIGHT, SDLK_d,
                     SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_RETURN, SDLK_DELETE, SDLK_SPACE, SDLK_x,
                     SDLK_7, SDLK_F1, SDLK_TAB})  // F1 and Tab lie outside '!'..'z': nothing
        press(k);
    for (SDLKey k : {SDLK_DOWN, SDLK_s, SDLK_LEFT, SDLK_a, SDLK_RIGHT, SDLK_d, SDLK_UP, SDLK_w,
                     SDLK_SPACE, SDLK_RETURN, SDLK_x})
        release(k);
    const std::vector<Command> expected = {
        CMD_UP,           CMD_UP,           CMD_DOWN_PRESS,    CMD_DOWN_PRESS,   CMD_LEFT_PRESS,
        CMD_LEFT_PRESS,   CMD_RIGHT_PRESS,  CMD_RIGHT_PRESS,   CMD_ESCAPE,       CMD_BACKSPACE,
        CMD_ENTER,        CMD_DELETE,       CMD_SPACE,         CMD_CHAR,         CMD_CHAR,
        CMD_DOWN_RELEASE, CMD_DOWN_RELEASE, CMD_LEFT_RELEASE,  CMD_LEFT_RELEASE, CMD_RIGHT_RELEASE,
        CMD_RIGHT_RELEASE};
    EXPECT_EQ(commands(), expected);
    EXPECT_EQ(typed(), "x7") << "letters and digits reach the state outside name entry too";
}

TEST_F(Input_Test, KeysWhileTyping) {
    app.text_entry = true;
    press(SDLK_w);
    press(SDLK_a, KMOD_LSHIFT);
    press(SDLK_s, KMOD_RSHIFT);
    press(SDLK_d);
    press(SDLK_UP);  // arrows type nothing: their values lie outside '!'..'z'
    press(SDLK_LEFT);
    press(SDLK_q, KMOD_CAPS);                        // caps lock alone: lower case
    press(SDLK_1, KMOD_LSHIFT);                      // shifted digit: the digit
    press(SDLK_SLASH, KMOD_RSHIFT);                  // shifted punctuation: unshifted
    press(SDLK_z, SDLMod(KMOD_CAPS | KMOD_LSHIFT));  // shift wins
    EXPECT_EQ(typed(), "wASdq1/Z");
    log.clear();
    for (SDLKey k : {SDLK_SPACE, SDLK_RETURN, SDLK_BACKSPACE, SDLK_ESCAPE, SDLK_DELETE}) press(k);
    for (SDLKey k : {SDLK_DOWN, SDLK_a, SDLK_RIGHT}) release(k);  // releases are ignored
    const std::vector<Command> expected = {CMD_TEXT_SPACE, CMD_ENTER, CMD_BACKSPACE, CMD_ESCAPE,
                                           CMD_DELETE};
    EXPECT_EQ(commands(), expected);
}

TEST_F(Input_Test, MouseEventsReachTheStateWithTheirActions) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 10;
    e.motion.y = 20;
    EXPECT_TRUE(app.dispatch_event(e));
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_WHEELUP;  // the wheel arrives as a press and a release
    e.button.x = 30;
    e.button.y = 40;
    EXPECT_TRUE(app.dispatch_event(e));
    e.type = SDL_MOUSEBUTTONUP;
    EXPECT_TRUE(app.dispatch_event(e));
    const std::vector<int> expected = {1, 10, 20, 0, 30, 40, 2, 30, 40};
    EXPECT_EQ(mouse, expected);

    e = SDL_Event{};
    e.type = SDL_QUIT;
    EXPECT_FALSE(app.dispatch_event(e));
    app.state.reset();  // without a state everything is dropped quietly
    e.type = SDL_MOUSEBUTTONDOWN;
    EXPECT_TRUE(app.dispatch_event(e));
    press(SDLK_LEFT);
    press(SDLK_x);
    EXPECT_EQ(log.size(), 0u);
}

// ---- movement flags --------------------------------------------------------

class Move_Command_Test : public Game_Test {};

TEST_F(Move_Command_Test, HeldLeftThenRightLeavesNeither) {
    EXPECT_TRUE(apply_move_command(CMD_LEFT_PRESS));
    EXPECT_EQ(play_record.flags & (FLAG_LEFT | FLAG_RIGHT), FLAG_LEFT);
    EXPECT_TRUE(apply_move_command(CMD_RIGHT_PRESS));  // clears left
    EXPECT_EQ(play_record.flags & (FLAG_LEFT | FLAG_RIGHT), FLAG_RIGHT);
    EXPECT_TRUE(apply_move_command(CMD_RIGHT_RELEASE));
    EXPECT_EQ(play_record.flags & (FLAG_LEFT | FLAG_RIGHT), 0u);
    EXPECT_TRUE(apply_move_command(CMD_LEFT_RELEASE));  // the held left was already dropped
    EXPECT_EQ(play_record.flags & (FLAG_LEFT | FLAG_RIGHT), 0u);
}

TEST_F(Move_Command_Test, FastDropAndUncontrolledDrop) {
    EXPECT_TRUE(apply_move_command(CMD_UP));
    EXPECT_TRUE(apply_move_command(CMD_DOWN_PRESS));
    EXPECT_EQ(play_record.flags, FLAG_ROTATE | FLAG_FAST_DROP);
    EXPECT_TRUE(apply_move_command(CMD_DOWN_RELEASE));
    EXPECT_EQ(play_record.flags, FLAG_ROTATE);

    app.options.flags |= opt_uncontrolled_drop;
    play_record.flags = FLAG_IN_PROGRESS | FLAG_PAUSED;
    apply_move_command(CMD_DOWN_PRESS);
    apply_move_command(CMD_DOWN_RELEASE);
    EXPECT_TRUE(play_record.flags & FLAG_FAST_DROP);
    apply_move_command(CMD_LEFT_PRESS);
    EXPECT_TRUE(apply_move_command(CMD_STOP));
    // Stop drops the held movement but keeps everything else.
    EXPECT_EQ(play_record.flags, FLAG_IN_PROGRESS | FLAG_PAUSED);
}

TEST_F(Move_Command_Test, OtherCommandsAreNotMovement) {
    play_record.flags = FLAG_FALLING;
    for (Command c : {CMD_ENTER, CMD_ESCAPE, CMD_SPACE, CMD_DELETE, CMD_CHAR, CMD_BACKSPACE,
                      CMD_TEXT_SPACE, Command(0), Command(3)})
        EXPECT_FALSE(apply_move_command(c)) << c;
    EXPECT_EQ(play_record.flags, FLAG_FALLING);
}

// ---- main loop -------------------------------------------------------------

// Records the frame time it sees, then asks the loop to end.
class Quitting_State : public Game_State {
public:
    explicit Quitting_State(std::vector<double>* seen) : seen_(seen) {}
    void do_frame() override {
        seen_->push_back(app.frame_seconds);
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    bool handle_command(Command, const char*) override { return false; }
    bool handle_mouse(Mouse_Action, int, int) override { return false; }

private:
    std::vector<double>* seen_;
};

class Main_Loop_Test : public Game_Test {};

TEST_F(Main_Loop_Test, FirstFrameSeesOneMillisecondAndEventsComeFirst) {
    std::vector<double> seen;
    app.state.reset(new Quitting_State(&seen));
    app.frame_seconds = 0.5;
    // A key already waiting is handled before the first frame; nothing leaves the loop but quit.
    SDL_Event press{};
    press.type = SDL_KEYDOWN;
    press.key.keysym = key(SDLK_x);
    SDL_PushEvent(&press);
    app.run();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_DOUBLE_EQ(seen[0], 0.001);
    // The frame's own duration in whole milliseconds: small and never negative.
    EXPECT_GE(app.frame_seconds, 0.0);
    EXPECT_LT(app.frame_seconds, 1.0);
}

// ---- state switch ----------------------------------------------------------

class State_Switch_Test : public Game_Test {};

TEST_F(State_Switch_Test, OldStateIsDestroyedBeforeTheNewOneIsBuilt) {
    // The splash gives its logos back when it goes and requests them when it comes. Were the new
    // one built first, the old one's destructor would leave the logos unloaded.
    app.change_state(STATE_SPLASH);
    SDL_Surface* const first = zgl_get_bitmap(BMP_MAKER_LOGO);
    ASSERT_NE(first, nullptr);
    app.change_state(STATE_SPLASH);
    EXPECT_NE(zgl_bitmap_size(BMP_MAKER_LOGO).w, 0) << "the new splash's logo must be loaded";
    EXPECT_NE(zgl_get_bitmap(BMP_MAKER_LOGO), first) << "loaded afresh after the old unload";
    EXPECT_EQ(play_record.state_id, STATE_SPLASH);
}

TEST_F(State_Switch_Test, UnknownIdsBuildNothingAndStartTheSplashWhenSaved) {
    app.change_state(STATE_SPLASH);
    app.change_state(STATE_NONE);
    EXPECT_EQ(app.state, nullptr);
    EXPECT_EQ(play_record.state_id, -1);
    EXPECT_EQ(zgl_bitmap_size(BMP_MAKER_LOGO).w, 0) << "the splash gave its logo back";
    app.change_state(42);
    EXPECT_EQ(app.state, nullptr);
    EXPECT_EQ(play_record.state_id, 42);
    for (State_Id saved : {-1, 12, 99, -7}) {
        play_record.state_id = saved;
        app.enter_saved_state();
        EXPECT_EQ(play_record.state_id, STATE_SPLASH) << saved;
        EXPECT_NE(app.state, nullptr);
    }
}

}  // namespace
