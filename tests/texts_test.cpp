// The table of interface texts and the drawing of text: centring, fitting and word-wrapping.
#include "game_test.h"

#include "media/texts.h"
#include "media/video.h"

#include <array>
#include <vector>

namespace {

// The screen's pixel bytes.
std::vector<Uint8> take_picture() {
    const SDL_Surface* screen = get_screen();
    const auto* pixels = static_cast<const Uint8*>(screen->pixels);
    return std::vector<Uint8>(pixels, pixels + screen->pitch * screen->h);
}

using Texts_Test = Game_Test;

} // namespace

TEST_F(Texts_Test, UnknownIdsAreEmptyAndAnEntryLivesFromGetToRelease) {
    EXPECT_STREQ(get_text(999), "");
    EXPECT_EQ(wrapped_text_height(999, 200), 0);

    const char* first = get_text(TXT_VERSION);
    EXPECT_STREQ(get_text(TXT_OPTIONS_TITLE), "O P T I O N S");
    EXPECT_EQ(get_text(TXT_VERSION), first) << "the stored characters are handed out again";
    EXPECT_STREQ(first, "1.00") << "another entry does not disturb the first";
    release_text(TXT_VERSION);
    EXPECT_STREQ(text_of(TXT_VERSION), "") << "reading without loading finds nothing";
    EXPECT_STREQ(get_text(TXT_VERSION), "") << "text_of left an empty entry behind";
    release_text(TXT_VERSION);
    EXPECT_STREQ(get_text(TXT_VERSION), "1.00") << "a released text loads again";

    paint_screen(0, 0, 0);
    const std::vector<Uint8> black = take_picture();
    draw_text_centered(TXT_PRESS_ENTER, 0, 100, SCREEN_WIDTH);
    EXPECT_EQ(take_picture(), black) << "drawing by id never loads";
}

TEST_F(Texts_Test, CentringSplitsTheSpareWidthTruncatingTowardZero) {
    // As 101 px in 320 stand at 219 / 2 = 109, and 121 px in 100 at -21 / 2 = -10 (not -11).
    const char* text = "Vextile 1.00";
    for (const auto& [spare, x] : {std::array{219, 109}, std::array{-21, -10}}) {
        paint_screen(0, 0, 0);
        write_text_centered(text, 0, 40, text_width(text) + spare);
        const std::vector<Uint8> centred = take_picture();
        for (const int at : {x, x - 1}) {
            paint_screen(0, 0, 0);
            write_text(text, at, 40);
            EXPECT_EQ(take_picture() == centred, at == x) << spare << " spare, written at " << at;
        }
    }
}

TEST_F(Texts_Test, FitTextCutsAtTheLastSpaceThatFits) {
    EXPECT_EQ(fit_text("abc def  ", text_width("abc def  ")), 9) << "the whole, spaces and all";
    EXPECT_EQ(fit_text("abc def ghi", text_width("abc def")), 7) << "two of three words fit";
    EXPECT_EQ(fit_text("abc def ghi", text_width("abc de")), 3);
    EXPECT_EQ(fit_text("abcdefgh ij", text_width("abc")), 8) << "a too wide first word, whole";
    // A cut removes one space of a run; the spaces left are measured.
    EXPECT_EQ(fit_text("ab  cd", text_width("ab ")), 3);
    EXPECT_EQ(fit_text("ab  cd", text_width("ab ") - 1), 2);
    EXPECT_EQ(fit_text(" abc", 0), 0);
}

// Lines take words while they fit; the spaces where a line breaks are dropped; every line is one
// text height below the one before, at the left or centred.
TEST_F(Texts_Test, WrapsWordByWordIntoLeftOrCentredLines) {
    set_text(TXT_CONTACT_LINE, "ab ab  ab ab ab");
    const int width = text_width("ab ab"), height = text_height();
    EXPECT_EQ(wrapped_text_height(TXT_CONTACT_LINE, width), 3 * height);
    for (const bool centred : {false, true}) {
        paint_screen(0, 0, 0);
        for (int i = 0; i < 3; ++i) {
            const char* line = i < 2 ? "ab ab" : "ab";
            centred ? write_text_centered(line, 10, 5 + i * height, width)
                    : write_text(line, 10, 5 + i * height);
        }
        const std::vector<Uint8> expected = take_picture();
        paint_screen(0, 0, 0);
        EXPECT_EQ(draw_wrapped_text(TXT_CONTACT_LINE, 10, 5, width, centred), 3);
        EXPECT_EQ(take_picture(), expected) << "centred " << centred;
    }
    // With no room at all every word stands alone, and the wrap still ends.
    EXPECT_EQ(wrapped_text_height(TXT_CONTACT_LINE, 0), 5 * height);
    EXPECT_EQ(draw_wrapped_text(TXT_CONTACT_LINE, 0, 0, -1000, true), 5);
}
