// The game on a desktop: the window's scale chosen from the desktop, the picture scaled into the
// window and fullscreen, mouse positions mapped back, the fullscreen switch, and the gamepad, all
// through the application's real dispatch of SDL events.
#include "game_test.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "media/display.h"
#include "media/video.h"
#include "play/play_record.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

TEST(Display, TheWindowsScaleIsTheLargestAtMostThreeQuartersOfTheDesktopsHeight) {
    const std::pair<int, int> cases[] = {{0, 1},    {240, 1},  {600, 1},  {853, 1},
                                         {854, 2},  {1080, 2}, {1279, 2}, {1280, 3},
                                         {1440, 3}, {1706, 3}, {1707, 4}, {2160, 4}};
    for (const auto& [desktop_height, scale] : cases)
        EXPECT_EQ(choose_window_scale(desktop_height), scale) << desktop_height;
}

TEST(Display, WindowPositionsMapBackToScreenPixelsAndTheBorderToNothing) {
    const View full_hd = fullscreen_view(1920, 1080, 2); // scale 3 at (480, 60)
    const View small = fullscreen_view(400, 300, 2);     // too small: the window's size, 640 x 640
    const View uhd = fullscreen_view(3840, 2160, 1);     // scale 6 at (960, 120)
    EXPECT_EQ(std::vector<int>({full_hd.width, full_hd.height, full_hd.x, full_hd.y, full_hd.scale,
                                small.width, small.height, small.x, small.scale}),
              std::vector<int>({1920, 1080, 480, 60, 3, 640, 640, 0, 2}));
    // clang-format off
    const struct { View view; int window_x, window_y; bool inside; int x, y; } cases[] = {
        {window_view(1), 0, 0, true, 0, 0},       {window_view(1), 319, 319, true, 319, 319},
        {window_view(1), 320, 10, false, 0, 0},   {window_view(2), 2, 3, true, 1, 1},
        {window_view(2), 639, 0, true, 319, 0},   {window_view(3), 959, 958, true, 319, 319},
        {window_view(3), 960, 0, false, 0, 0},    {window_view(4), 643, 1279, true, 160, 319},
        {window_view(4), 0, 1280, false, 0, 0},   {full_hd, 480, 60, true, 0, 0},
        {full_hd, 479, 500, false, 0, 0},         {full_hd, 1439, 1019, true, 319, 319},
        {full_hd, 1440, 500, false, 0, 0},        {full_hd, 1000, 59, false, 0, 0},
        {full_hd, 1000, 1020, false, 0, 0},       {full_hd, 962, 92, true, 160, 10},
        {small, 639, 639, true, 319, 319},        {uhd, 960 + 6 * 100 + 5, 1320, true, 100, 200},
        {uhd, 959, 1000, false, 0, 0}};
    // clang-format on
    for (const auto& c : cases) {
        int x = -1, y = -1;
        const bool inside = window_to_screen(c.view, c.window_x, c.window_y, &x, &y);
        EXPECT_EQ(std::tuple(inside, inside ? x : 0, inside ? y : 0),
                  std::tuple(c.inside, c.x, c.y))
            << "scale " << c.view.scale << " at (" << c.window_x << ", " << c.window_y << ")";
    }
}

// A pixel of its own for every screen position.
Uint32 pattern(const SDL_PixelFormat* format, int x, int y) {
    return SDL_MapRGB(format, Uint8(x), Uint8(y), Uint8(x * 7 + y * 13));
}

Uint32 pixel_at(const SDL_Surface* surface, int x, int y) {
    return static_cast<const Uint32*>(surface->pixels)[y * surface->pitch / 4 + x];
}

void paint_pattern(SDL_Surface* surface) {
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            static_cast<Uint32*>(surface->pixels)[y * surface->pitch / 4 + x] =
                pattern(surface->format, x, y);
}

// Counts the window pixels that are not what the view shows: the picture's pixel, each an N x N
// square, or the border colour around it.
int wrong_pixels(const SDL_Surface* window, const View& view, Uint32 border) {
    int wrong = 0;
    for (int y = 0; y < window->h; ++y)
        for (int x = 0; x < window->w; ++x) {
            int sx = 0, sy = 0;
            const Uint32 want =
                window_to_screen(view, x, y, &sx, &sy) ? pattern(window->format, sx, sy) : border;
            wrong += pixel_at(window, x, y) != want;
        }
    return wrong;
}

TEST(Display, ThePictureIsScaledPixelBySquareAndTheBorderLeftAlone) {
    // clang-format off
    const View views[] = {window_view(1), window_view(2), window_view(3), window_view(4),
                          fullscreen_view(1280, 1024, 1), fullscreen_view(1366, 768, 1)};
    // clang-format on
    SDL_Surface* picture =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 320, 32, 0xff0000, 0xff00, 0xff, 0);
    ASSERT_NE(picture, nullptr);
    paint_pattern(picture);
    for (const View& view : views) {
        SDL_Surface* window = SDL_CreateRGBSurface(SDL_SWSURFACE, view.width, view.height, 32,
                                                   0xff0000, 0xff00, 0xff, 0);
        ASSERT_NE(window, nullptr);
        const Uint32 border = SDL_MapRGB(window->format, 1, 2, 3);
        SDL_FillRect(window, nullptr, border);
        scale_picture(picture, window, view);
        EXPECT_EQ(wrong_pixels(window, view, border), 0)
            << view.width << " x " << view.height << " at scale " << view.scale;
        SDL_FreeSurface(window);
    }
    SDL_FreeSurface(picture);
}

// ---- through the application ----

class Desktop_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        app.state.reset(recorder = new Recorder);
        app.gamepad.release_all();
    }
    void TearDown() override {
        video_set_display({1, false});
        Game_Test::TearDown();
    }
    // Pushes the events into SDL's queue and lets the application take them.
    void take(const std::vector<SDL_Event>& events) {
        for (SDL_Event event : events)
            ASSERT_EQ(SDL_PushEvent(&event), 0);
        app.take_events();
    }

    Recorder* recorder = nullptr;
};

SDL_Event mouse_event(Uint8 type, int x, int y) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.x = Uint16(x);
        event.motion.y = Uint16(y);
    } else {
        event.button.button = SDL_BUTTON_LEFT;
        event.button.x = Uint16(x);
        event.button.y = Uint16(y);
    }
    return event;
}

SDL_Event key_event(SDLKey sym, int mod = KMOD_NONE) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = SDLMod(mod);
    return event;
}

// At scale 2 the window is twice the picture's size and its mouse events land on the picture's
// pixels.
TEST_F(Desktop_Test, AtScaleTwoTheMouseLandsOnThePicturesPixels) {
    ASSERT_TRUE(video_set_display({2, false}));
    EXPECT_EQ(std::pair(SDL_GetVideoSurface()->w, screen->w), std::pair(640, 320));
    take({mouse_event(SDL_MOUSEMOTION, 639, 1), mouse_event(SDL_MOUSEBUTTONDOWN, 201, 80),
          mouse_event(SDL_MOUSEBUTTONUP, 202, 81)});
    EXPECT_EQ(recorder->mouse, std::vector<int>({MOUSE_MOTION, 319, 0, MOUSE_PRESS, 100, 40,
                                                 MOUSE_RELEASE, 101, 40}));
}

// A picture that stands still is shown once: a change shows it again, and so do every 30th still
// frame, an exposed window and a frame shown meanwhile by the plain flip. A game in play and its
// effects always use the plain flip; the screens around it, and a game paused or over, the other.
// At scale 2 the window keeps what was shown last, so a frame not shown leaves the grey painted
// over it.
TEST_F(Desktop_Test, APictureThatStandsStillIsNotShownAgain) {
    ASSERT_TRUE(video_set_display({2, false}));
    SDL_Surface* const window = SDL_GetVideoSurface();
    std::string seen;
    const auto shown = [&](const std::function<void()>& show) {
        SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 1, 1));
        show();
        seen += colour_at(window, 5, 5).r == 1 ? '-' : 'S';
    };
    const auto frame = [&](Uint8 grey) {
        paint_screen(grey, grey, grey);
        shown(flip_changed_screen);
    };
    frame(100), frame(100), frame(150), frame(150);
    SDL_Event expose{};
    expose.type = SDL_VIDEOEXPOSE;
    take({expose});
    for (int i = 0; i < 31; ++i)
        frame(150);
    paint_screen(0, 0, 0);
    shown(flip_screen);
    frame(150);
    EXPECT_EQ(seen, "S-S-S" + std::string(29, '-') + "SSS");
    seen.clear();
    // A game in play, paused, over; an effect while paused; the menu.
    for (const auto& [id, flags] : {std::pair{STATE_PLAY, 0u},
                                    {STATE_PLAY, FLAG_PAUSED},
                                    {STATE_PLAY, FLAG_GAME_OVER},
                                    {STATE_FIRE, FLAG_PAUSED},
                                    {STATE_MAIN_MENU, 0u}}) {
        app.enter_state(id);
        play_record.flags = (play_record.flags & ~(FLAG_PAUSED | FLAG_GAME_OVER)) | flags;
        for (int i = 0; i < 2; ++i)
            shown([] { app.run_frame(0.0); });
    }
    EXPECT_EQ(seen, "SSS-S-SSS-");
}

TEST_F(Desktop_Test, FullscreenAndBackKeepThePictureAndNoStateSeesTheSwitch) {
    paint_pattern(screen);
    game.text_entry = true; // not even while typing
    const SDL_Event keys[] = {key_event(SDLK_F11), key_event(SDLK_F11),
                              key_event(SDLK_RETURN, KMOD_LALT), key_event(SDLK_RETURN, KMOD_RALT)};
    bool fullscreen = false;
    for (const SDL_Event& key : keys) {
        take({key});
        EXPECT_EQ(video_view().fullscreen, fullscreen = !fullscreen);
        SDL_Surface* window = SDL_GetVideoSurface();
        ASSERT_NE(screen, nullptr);
        // A window at scale 1 is drawn into directly; fullscreen goes through the picture.
        EXPECT_EQ(screen == window, !fullscreen);
        EXPECT_EQ(std::pair(screen->w, screen->h), std::pair(320, 320));
        int wrong = 0;
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 320; ++x)
                wrong += pixel_at(screen, x, y) != pattern(screen->format, x, y);
        EXPECT_EQ(wrong, 0) << "the picture was lost in the switch";
    }
    EXPECT_TRUE(recorder->commands.empty());
    // Enter without Alt is Enter as ever.
    game.text_entry = false;
    take({key_event(SDLK_RETURN)});
    EXPECT_EQ(recorder->commands, std::vector<Command>({CMD_ENTER}));
}

TEST_F(Desktop_Test, AMenuDrawsOnTheScreenThatTheSwitchLeaves) {
    app.enter_state(STATE_MAIN_MENU);
    for (const bool fullscreen : {true, false}) {
        take({key_event(SDLK_F11)});
        ASSERT_EQ(video_view().fullscreen, fullscreen);
        paint_screen(0, 0, 0);
        app.run_frame(0.001);
        // The focus frame around the start button, on the screen as it is now.
        EXPECT_TRUE(same_colour(colour_at(nullptr, 78, 139), {255, 0, 0, 0})) << fullscreen;
    }
}

// ---- the gamepad ----

SDL_Event axis(int which_axis, int value) {
    SDL_Event event{};
    event.type = SDL_JOYAXISMOTION;
    event.jaxis.axis = Uint8(which_axis);
    event.jaxis.value = Sint16(value);
    return event;
}

SDL_Event hat(Uint8 value) {
    SDL_Event event{};
    event.type = SDL_JOYHATMOTION;
    event.jhat.value = value;
    return event;
}

SDL_Event button(int number, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
    event.jbutton.button = Uint8(number);
    event.jbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    return event;
}

// Each button pressed and let go, in turn.
std::vector<SDL_Event> clicks(std::initializer_list<int> numbers) {
    std::vector<SDL_Event> events;
    for (const int number : numbers)
        events.insert(events.end(), {button(number, true), button(number, false)});
    return events;
}

TEST_F(Desktop_Test, ThePadActsAsTheKeysItStandsFor) {
    constexpr Uint8 CENTRE = SDL_HAT_CENTERED;
    // clang-format off
    const struct { State_Id state; std::vector<SDL_Event> events; std::vector<Command> commands; } cases[] = {
        // The d-pad: held while held; the old direction let go before the new one is pressed.
        {STATE_PLAY, {hat(SDL_HAT_LEFT), hat(CENTRE)}, {CMD_LEFT_PRESS, CMD_LEFT_RELEASE}},
        {STATE_PLAY, {hat(SDL_HAT_RIGHT), hat(SDL_HAT_LEFT), hat(CENTRE)},
         {CMD_RIGHT_PRESS, CMD_RIGHT_RELEASE, CMD_LEFT_PRESS, CMD_LEFT_RELEASE}},
        {STATE_PLAY, {hat(SDL_HAT_RIGHTDOWN), hat(CENTRE)},
         {CMD_DOWN_PRESS, CMD_RIGHT_PRESS, CMD_DOWN_RELEASE, CMD_RIGHT_RELEASE}},
        {STATE_PLAY, {hat(SDL_HAT_UP), hat(CENTRE), hat(SDL_HAT_UP)}, {CMD_UP, CMD_UP}},
        // The left stick, from half-way on; the other axes mean nothing.
        {STATE_PLAY, {axis(0, -16383), axis(0, -16384), axis(0, -16383)}, {CMD_LEFT_PRESS, CMD_LEFT_RELEASE}},
        {STATE_PLAY, {axis(0, 16383), axis(0, 16384), axis(0, -32768), axis(0, 0)},
         {CMD_RIGHT_PRESS, CMD_RIGHT_RELEASE, CMD_LEFT_PRESS, CMD_LEFT_RELEASE}},
        {STATE_PLAY, {axis(1, 20000), axis(1, -20000), axis(1, 0)}, {CMD_DOWN_PRESS, CMD_DOWN_RELEASE, CMD_UP}},
        {STATE_PLAY, {axis(2, -32768), axis(3, 32767)}, {}},
        // The d-pad and the stick hold a direction together until both let go.
        {STATE_PLAY, {hat(SDL_HAT_LEFT), axis(0, -30000), hat(CENTRE), axis(0, 0)},
         {CMD_LEFT_PRESS, CMD_LEFT_RELEASE}},
        // The buttons in play, in an effect and in the row clear, then in the menus.
        {STATE_PLAY, clicks({0, 1, 7, 6, 3}), {CMD_UP, CMD_DELETE, CMD_SPACE, CMD_ESCAPE}},
        {STATE_FIRE, clicks({0, 7}), {CMD_UP, CMD_SPACE}},
        {STATE_KILL_ROWS, clicks({0, 7}), {CMD_UP, CMD_SPACE}},
        {STATE_MAIN_MENU, clicks({0, 7, 1, 6}), {CMD_ENTER, CMD_ENTER, CMD_DELETE, CMD_ESCAPE}},
        {STATE_OPTIONS, {hat(SDL_HAT_DOWN), hat(SDL_HAT_UP)}, {CMD_DOWN_PRESS, CMD_DOWN_RELEASE, CMD_UP}},
        // Typing a name (only there): the directions type nothing, as the arrow keys.
        {STATE_SCORE_INPUT, {hat(SDL_HAT_LEFT), hat(SDL_HAT_UP), axis(0, 32767), axis(0, 0), hat(CENTRE)}, {}},
        {STATE_SCORE_INPUT, clicks({0, 7, 1}), {CMD_ENTER, CMD_ENTER, CMD_DELETE}},
        // A button reported pressed twice is one press.
        {STATE_PLAY, {button(0, true), button(0, true), button(0, false), button(0, false)}, {CMD_UP}}};
    // clang-format on
    int row = 0;
    for (const auto& c : cases) {
        recorder->commands.clear();
        app.gamepad.release_all();
        play_record.state_id = c.state;
        game.text_entry = c.state == STATE_SCORE_INPUT;
        take(c.events);
        EXPECT_EQ(recorder->commands, c.commands) << "row " << row++;
    }
}

} // namespace

// ---- the window's focus ----

SDL_Event focus(bool gain, Uint8 what) {
    SDL_Event event{};
    event.type = SDL_ACTIVEEVENT;
    event.active.gain = gain;
    event.active.state = what;
    return event;
}

using Focus_Test = Game_Test;

// Switching to another window or minimising this one pauses a game in play and lets go of its
// held keys; the pointer leaving, the focus coming back and the menus change nothing.
TEST_F(Focus_Test, AGameInPlayPausesWhenTheWindowLosesTheKeyboard) {
    constexpr uint32_t HELD = FLAG_LEFT | FLAG_RIGHT | FLAG_FAST_DROP;
    constexpr uint32_t SEEN = HELD | FLAG_PAUSED | FLAG_GAME_OVER;
    const auto lost = [](Uint8 what) { return focus(false, what); };
    // clang-format off
    const struct { State_Id state; uint32_t flags; SDL_Event event; uint32_t want; } cases[] = {
        {STATE_PLAY, FLAG_LEFT | FLAG_FAST_DROP, lost(SDL_APPINPUTFOCUS), FLAG_PAUSED},
        {STATE_PLAY, FLAG_RIGHT, lost(SDL_APPACTIVE | SDL_APPINPUTFOCUS), FLAG_PAUSED},
        {STATE_PLAY, FLAG_LEFT, lost(SDL_APPMOUSEFOCUS), FLAG_LEFT},
        {STATE_PLAY, FLAG_LEFT, focus(true, SDL_APPINPUTFOCUS), FLAG_LEFT},
        {STATE_PLAY, FLAG_PAUSED, lost(SDL_APPINPUTFOCUS), FLAG_PAUSED},
        {STATE_PLAY, FLAG_GAME_OVER, lost(SDL_APPINPUTFOCUS), FLAG_GAME_OVER},
        {STATE_KILL_ROWS, FLAG_RIGHT, lost(SDL_APPINPUTFOCUS), FLAG_PAUSED},
        {STATE_MAIN_MENU, FLAG_LEFT, lost(SDL_APPINPUTFOCUS), FLAG_LEFT}};
    // clang-format on
    int row = 0;
    for (const auto& c : cases) {
        app.enter_state(c.state);
        play_record.flags = (play_record.flags & ~SEEN) | c.flags;
        SDL_Event event = c.event;
        ASSERT_EQ(SDL_PushEvent(&event), 0);
        app.take_events();
        EXPECT_EQ(play_record.flags & SEEN, c.want) << "row " << row++;
    }
}
