// The splash: two logos fade in, stay and fade out, then the main menu follows.
#include "game_test.h"

#include "app/vextile.h"
#include "media/bitmaps.h"
#include "play/play_record.h"
#include "ui/splash_state.h"

#include <tuple>

namespace {

class Splash_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        app.enter_state(STATE_SPLASH);
        splash = static_cast<Splash_State*>(app.state.get());
    }
    // Runs frames of the given length until the splash has gone; answers how many it took.
    int frames_until_gone(double seconds) {
        set_frame_seconds(seconds);
        int frames = 0;
        for (; play_record.state_id == STATE_SPLASH && frames < 100000; ++frames)
            app.state_frame(Game_Test::frame_seconds());
        return frames;
    }
    Uint8 alpha(int logo) const { return zgl_get_bitmap(splash->logos[logo])->format->alpha; }

    Splash_State* splash = nullptr;
};

TEST_F(Splash_Test, HandsOverAfterAboutFiveAndAHalfSeconds) {
    EXPECT_NEAR(frames_until_gone(0.01) * 0.01, 5.5, 0.08);
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

TEST_F(Splash_Test, FadesTheFirstLogoInOverAQuarterSecond) {
    set_frame_seconds(0.05);
    splash->do_frame(frame_seconds()); // timer 0.25 on entry: fully transparent
    EXPECT_EQ(alpha(0), 0);
    splash->do_frame(frame_seconds()); // 0.2 s left
    EXPECT_NEAR(alpha(0), 255 - 204, 1);
    for (int i = 0; i < 4; ++i)
        splash->do_frame(frame_seconds());
    EXPECT_EQ(splash->phase, Splash_State::Phase::show);
    EXPECT_FALSE(zgl_get_bitmap(BMP_MAKER_LOGO)->flags & SDL_SRCALPHA) << "opaque once shown";
}

// Space during the show cuts the logo short: the second logo starts invisible. Escape during its
// fade-in shows the menu on the next frame.
TEST_F(Splash_Test, SpaceCutsTheLogoShortAndEscapeEndsTheSplash) {
    set_frame_seconds(0.3);
    splash->do_frame(frame_seconds());
    ASSERT_EQ(splash->phase, Splash_State::Phase::show);
    EXPECT_TRUE(splash->handle_command(CMD_SPACE, nullptr));
    set_frame_seconds(0.01);
    splash->do_frame(frame_seconds());
    EXPECT_EQ(std::tuple(splash->logo_index, splash->phase, alpha(1)),
              std::tuple(1, Splash_State::Phase::fade_in, 0));
    EXPECT_TRUE(splash->handle_command(CMD_ESCAPE, nullptr));
    app.state_frame(Game_Test::frame_seconds());
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

TEST_F(Splash_Test, TheClosingPauseIgnoresSpaceAndEndsOnlyBelowZero) {
    EXPECT_FALSE(splash->handle_command(CMD_ENTER, nullptr));
    EXPECT_FALSE(splash->handle_mouse(MOUSE_PRESS, 10, 10));
    splash->phase = Splash_State::Phase::closing;
    splash->logo_index = 2;
    splash->timer = 0.5f;
    EXPECT_FALSE(splash->handle_command(CMD_SPACE, nullptr)) << "no logo is left to cut short";
    EXPECT_EQ(std::pair(splash->phase, splash->timer),
              std::pair(Splash_State::Phase::closing, 0.5f));
    // 0.5 s in steps of 1/8: four frames reach exactly 0, which waits; the fifth goes below.
    EXPECT_EQ(frames_until_gone(0.125), 5);
}

} // namespace
