// What the fuzz targets (fuzz/) found, each pinned by the smallest case that showed it, and the
// text store that the text target fills.
#include "game_test.h"

#include "media/video.h"
#include "ui/texts.h"

#include <climits>
#include <string>

namespace {

class Fuzz_Findings_Test : public Game_Test {};

bool screen_has_ink() {
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const SDL_Color c = colour_at(nullptr, x, y);
            if (c.r || c.g || c.b) return true;
        }
    }
    return false;
}

} // namespace

// ---- texts -------------------------------------------------------------------------------------

TEST_F(Fuzz_Findings_Test, SetTextStoresAnyTextUnderAnyId) {
    set_text(7777, "made up words");
    EXPECT_STREQ(text_of(7777), "made up words");
    EXPECT_STREQ(get_text(7777), "made up words") << "a stored text is not reloaded";
    EXPECT_EQ(draw_wrapped_text(7777, 0, 0, 0, false), 3) << "one word a line without room";

    set_text(TXT_VERSION, "9.99");
    EXPECT_STREQ(get_text(TXT_VERSION), "9.99") << "a stored text replaces the built-in one";
    release_text(TXT_VERSION);
    EXPECT_STREQ(get_text(TXT_VERSION), "1.00") << "once released the built-in text comes back";

    set_text(7777, std::string("cut\0off", 7));
    EXPECT_STREQ(text_of(7777), "cut") << "the drawing calls see the text up to a zero";
}

// A band so far to the left that the text lies a billion pixels off the screen: the centring sum
// overflowed an int and wrapped the text back onto the screen.
TEST_F(Fuzz_Findings_Test, CentringInABandOfExtremeWidthStaysOffTheScreen) {
    const char* const text = "Hello";
    paint_screen(0, 0, 0);
    write_text_centered(text, 0, 40, SCREEN_WIDTH);
    ASSERT_TRUE(screen_has_ink()) << "the text draws in an ordinary band";

    paint_screen(0, 0, 0);
    write_text_centered(text, 10 - (1 << 30), 40, INT_MIN);
    EXPECT_FALSE(screen_has_ink());
    paint_screen(0, 0, 0);
    write_text_centered(text, INT_MAX - 10, 40, INT_MAX);
    EXPECT_FALSE(screen_has_ink());
}
