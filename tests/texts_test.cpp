// The table of interface texts and the drawing of text: centring, fitting and word-wrapping.
#include "game_test.h"

#include "media/video.h"
#include "ui/texts.h"

#include <array>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The screen's pixel bytes.
using Picture = std::vector<Uint8>;

Picture take_picture() {
    const SDL_Surface* screen = get_screen();
    const auto* pixels = static_cast<const Uint8*>(screen->pixels);
    return Picture(pixels, pixels + screen->pitch * screen->h);
}

// The picture that write_text makes of the text at (x, y) on a black screen.
Picture written_at(const std::string& text, int x, int y) {
    paint_screen(0, 0, 0);
    write_text(text.c_str(), x, y);
    return take_picture();
}

// A text of exactly the given width in the game font (a text is as wide as the sum of its glyphs'
// advances), or "" when no mix of glyphs gives it.
std::string text_of_width(int width) {
    std::map<int, std::string> made{{0, ""}};
    for (int w = 0; w < width; ++w) {
        for (char c = '!'; made.count(w) != 0 && c <= '~'; ++c)
            made.emplace(w + text_width(std::string(1, c).c_str()), made[w] + c);
    }
    return made[width];
}

// A text of single-space separated words wrapped greedily: a line takes words while they fit.
std::vector<std::string> greedy_lines(const std::string& text, int width) {
    std::istringstream words(text);
    std::vector<std::string> lines;
    for (std::string word; words >> word;) {
        if (!lines.empty() && text_width((lines.back() + " " + word).c_str()) <= width)
            lines.back() += " " + word;
        else
            lines.push_back(word);
    }
    return lines;
}

class Texts_Test : public Game_Test {};

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
    const Picture black = take_picture();
    draw_text_centered(TXT_PRESS_ENTER, 0, 100, SCREEN_WIDTH);
    EXPECT_EQ(take_picture(), black) << "drawing by id never loads";
    forget_all_texts();
    EXPECT_STREQ(text_of(TXT_OPTIONS_TITLE), "");
}

TEST_F(Texts_Test, CentringSplitsTheSpareWidthTruncatingTowardZero) {
    // 101 px in 320 stand at 219 / 2 = 109; 121 px in 100 at -21 / 2 = -10, toward zero, not -11.
    for (const auto& [width, band, x] : {std::array{101, 320, 109}, std::array{121, 100, -10}}) {
        const std::string text = text_of_width(width);
        ASSERT_EQ(text_width(text.c_str()), width) << "no text of that width in the font";
        paint_screen(0, 0, 0);
        write_text_centered(text.c_str(), 0, 40, band);
        const Picture centred = take_picture();
        EXPECT_EQ(centred, written_at(text, x, 40)) << width;
        EXPECT_NE(centred, written_at(text, x - 1, 40)) << width;
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

TEST_F(Texts_Test, WrapsWordByWordIntoLeftOrCentredLines) {
    const std::string contact = get_text(TXT_CONTACT_LINE);
    const int height = text_height();
    for (int width : {120, 300}) {
        const std::vector<std::string> lines = greedy_lines(contact, width);
        const int count = static_cast<int>(lines.size());
        ASSERT_GT(count, 1);
        EXPECT_EQ(wrapped_text_height(TXT_CONTACT_LINE, width), count * height) << width;
        for (bool centred : {false, true}) {
            paint_screen(0, 0, 0);
            EXPECT_EQ(draw_wrapped_text(TXT_CONTACT_LINE, 10, 5, width, centred), count);
            const Picture wrapped = take_picture();
            paint_screen(0, 0, 0);
            for (int i = 0; i < count; ++i) {
                const char* line = lines[i].c_str();
                centred ? write_text_centered(line, 10, 5 + i * height, width)
                        : write_text(line, 10, 5 + i * height);
            }
            EXPECT_EQ(wrapped, take_picture()) << "width " << width << " centred " << centred;
        }
    }
    // With no room at all every letter of the title stands alone, and the wrap still ends.
    get_text(TXT_HISCORES_TITLE);
    EXPECT_EQ(wrapped_text_height(TXT_HISCORES_TITLE, 0), 8 * height);
    EXPECT_EQ(draw_wrapped_text(TXT_HISCORES_TITLE, 0, 0, -1000, true), 8);
}
