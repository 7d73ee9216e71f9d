// The splash: two logos fade in, stay and fade out, then the main menu follows.
#include "game_test.h"

#include "app/vextile.h"
#include "media/bitmaps.h"
#include "play/play_record.h"
#include "ui/splash_state.h"

namespace {

class Splash_Test : public Game_Test {
protected:
    void SetUp() override {
        Game_Test::SetUp();
        app.change_state(STATE_SPLASH);
        splash = static_cast<Splash_State*>(app.state.get());
    }
    // Runs frames of the given length until the splash has gone; answers how many it took.
    int frames_until_gone(double seconds, int limit = 100000) {
        set_frame_seconds(seconds);
        int frames = 0;
        while (play_record.state_id == STATE_SPLASH && frames < limit) {
            app.state->do_frame();
            ++frames;
        }
        return frames;
    }
    Uint8 logo_alpha(int index) const {
        return zgl_get_bitmap(splash->logos[index])->format->alpha;
    }
    Splash_State* splash = nullptr;
};

TEST_F(Splash_Test, HandsOverAfterAboutFiveAndAHalfSeconds) {
    const int frames = frames_until_gone(0.01);
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_NEAR(frames * 0.01, 5.5, 0.08);
}

TEST_F(Splash_Test, FadesTheFirstLogoInOverAQuarterSecond) {
    set_frame_seconds(0.05);
    splash->do_frame();  // timer 0.25 on entry: fully transparent
    EXPECT_TRUE(splash->logos[0] == BMP_MAKER_LOGO);
    EXPECT_EQ(logo_alpha(0), 0);
    splash->do_frame();  // 0.2 s left
    EXPECT_NEAR(logo_alpha(0), 255 - 204, 1);
    for (int i = 0; i < 4; ++i) splash->do_frame();
    EXPECT_EQ(splash->phase, 1);
    EXPECT_FALSE(zgl_get_bitmap(BMP_MAKER_LOGO)->flags & SDL_SRCALPHA) << "opaque once shown";
}

TEST_F(Splash_Test, DrawsTheLogoCentredOnBlack) {
    paint_screen(90, 90, 90);
    set_frame_seconds(0.3);
    splash->do_frame();  // the fade-in ends at once: the logo shows opaque
    const int h = zgl_bitmap_size(BMP_MAKER_LOGO).h;
    ASSERT_GT(h, 0);
    const int top = (320 - h) / 2;
    EXPECT_TRUE(same_colour(colour_at(nullptr, 160, top - 1), {0, 0, 0, 0}));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 160, top + h), {0, 0, 0, 0}));
    bool anything = false;
    for (int y = top; y < top + h && !anything; ++y)
        for (int x = 0; x < 320 && !anything; x += 2)
            anything = !same_colour(colour_at(nullptr, x, y), {0, 0, 0, 0});
    EXPECT_TRUE(anything) << "the logo shows between the black bands";
}

TEST_F(Splash_Test, EscapeDuringTheFadeInShowsTheMenuOnTheNextFrame) {
    set_frame_seconds(0.01);
    splash->do_frame();
    EXPECT_TRUE(splash->handle_command(CMD_ESCAPE, nullptr));
    splash->do_frame();
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

TEST_F(Splash_Test, SpaceDuringTheShowStartsTheSecondLogo) {
    set_frame_seconds(0.3);
    splash->do_frame();
    ASSERT_EQ(splash->phase, 1);
    EXPECT_TRUE(splash->handle_command(CMD_SPACE, nullptr));
    set_frame_seconds(0.01);
    splash->do_frame();
    EXPECT_EQ(splash->logo_index, 1);
    EXPECT_EQ(splash->phase, 0);
    EXPECT_EQ(logo_alpha(1), 0) << "the second logo starts invisible";
}

TEST_F(Splash_Test, TheClosingPauseIgnoresSpaceAndEndsOnlyBelowZero) {
    EXPECT_FALSE(splash->handle_command(CMD_ENTER, nullptr));
    EXPECT_FALSE(splash->handle_mouse(MOUSE_PRESS, 10, 10));
    splash->phase = 3;
    splash->logo_index = 2;
    splash->timer = 0.5f;
    EXPECT_FALSE(splash->handle_command(CMD_SPACE, nullptr)) << "no logo is left to cut short";
    EXPECT_EQ(splash->phase, 3);
    EXPECT_FLOAT_EQ(splash->timer, 0.5f);
    // 0.5 s in steps of 1/8: four frames reach exactly 0, which waits; the fifth goes below.
    EXPECT_EQ(frames_until_gone(0.125), 5);
}

}  // namespace
