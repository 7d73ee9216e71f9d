// The table of interface texts and the drawing of text: centring, fitting and word-wrapping.
#include "game_test.h"

#include "media/video.h"
#include "ui/texts.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The screen's pixels, row by row, as packed r-g-b words.
using Picture = std::vector<Uint32>;

Picture take_picture(int top = 0, int height = SCREEN_HEIGHT) {
    Picture picture;
    for (int y = top; y < top + height; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const SDL_Color c = colour_at(nullptr, x, y);
            picture.push_back(Uint32(c.r) << 16 | Uint32(c.g) << 8 | c.b);
        }
    }
    return picture;
}

bool has_ink(const Picture& picture) {
    for (Uint32 pixel : picture) {
        if (pixel != 0) return true;
    }
    return false;
}

// A text of exactly the given width in the game font, built from glyphs of known advance (the
// width of a text is the sum of its characters' advances). Empty when no mix of glyphs gives it.
std::string text_of_width(int width) {
    std::vector<std::string> made(width + 1);
    std::vector<bool> reached(width + 1, false);
    reached[0] = true;
    for (int w = 0; w < width; ++w) {
        if (!reached[w]) continue;
        for (char c = '!'; c <= '~'; ++c) {
            const char glyph[2] = {c, '\0'};
            const int next = w + text_width(glyph);
            if (next <= width && !reached[next]) {
                reached[next] = true;
                made[next] = made[w] + c;
            }
        }
    }
    return made[width];
}

// The picture that write_text makes of the text at (x, y) on a black screen.
Picture written_at(const char* text, int x, int y) {
    paint_screen(0, 0, 0);
    write_text(text, x, y);
    return take_picture();
}

// The lines of a text of single-space separated words, wrapped greedily to the width: each line
// takes words while they fit, a word wider than the width stands alone.
std::vector<std::string> greedy_lines(const std::string& text, int width) {
    std::vector<std::string> lines;
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        const std::string longer = line.empty() ? word : line + " " + word;
        if (line.empty() || text_width(longer.c_str()) <= width) {
            line = longer;
        } else {
            lines.push_back(line);
            line = word;
        }
        start = end + 1;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

class Texts_Test : public Game_Test {};

} // namespace

// --- the table ----------------------------------------------------------------------------------

TEST_F(Texts_Test, BuiltInTextsHaveTheirExactWords) {
    const struct {
        Text_Id id;
        const char* text;
    } expected[] = {
        {TXT_OPT_RANDOM_COLORS, "Use random colors for shapes"},
        {TXT_OPT_SPECIAL_BLOCKS, "Allow vextile in shapes"},
        {TXT_OPT_UNCONTROLLED_DROP, "Uncontrolled drop when down button is pressed"},
        {TXT_HISCORES_TITLE, "H I   S C O R E S"},
        {TXT_OPTIONS_TITLE, "O P T I O N S"},
        {TXT_ABOUT_TITLE, "A B O U T   V E X T I L E"},
        {TXT_YOU_HAVE_THE, "YOU HAVE THE"},
        {TXT_HIGH_SCORE_FMT, "#%d HIGH SCORE!!"},
        {TXT_ENTER_NAME, "Enter your name:"},
        {TXT_OWNER_LINE, "Vextile (c) 2026 the Vextile developers"},
        {TXT_AUTHOR_LINE, "Written by the Vextile developers"},
        {TXT_PRESS_ENTER, "- press [enter] to continue -"},
        {TXT_VERSION, "1.00"},
    };
    for (const auto& entry : expected)
        EXPECT_STREQ(get_text(entry.id), entry.text) << entry.id;
}

TEST_F(Texts_Test, ContactLineIsOneLongSentenceThatWraps) {
    const std::string contact = get_text(TXT_CONTACT_LINE);
    EXPECT_NE(contact.find("Vextile"), std::string::npos);
    EXPECT_NE(contact.find("the Vextile developers"), std::string::npos);
    EXPECT_EQ(contact.back(), '.');
    EXPECT_EQ(contact.find('.'), contact.size() - 1) << "one sentence";
    EXPECT_EQ(contact.find("  "), std::string::npos);
    EXPECT_GT(text_width(contact.c_str()), 2 * SCREEN_WIDTH);
}

TEST_F(Texts_Test, UnknownIdsAreEmptyStrings) {
    EXPECT_STREQ(get_text(999), "");
    EXPECT_STREQ(get_text(1003), "");
    EXPECT_STREQ(get_text(-1), "");
    EXPECT_STREQ(text_of(999), "");
}

TEST_F(Texts_Test, GetKeepsOneEntryAndReleaseDropsIt) {
    const char* first = get_text(TXT_VERSION);
    EXPECT_EQ(get_text(TXT_VERSION), first) << "the stored characters are handed out again";
    EXPECT_EQ(text_of(TXT_VERSION), first);
    EXPECT_STREQ(get_text(TXT_OPTIONS_TITLE), "O P T I O N S");
    EXPECT_STREQ(first, "1.00") << "another entry does not disturb the first";

    release_text(TXT_VERSION);
    EXPECT_STREQ(text_of(TXT_VERSION), "") << "reading without loading finds nothing";
    EXPECT_STREQ(get_text(TXT_VERSION), "") << "text_of left an empty entry behind";
    release_text(TXT_VERSION);
    EXPECT_STREQ(get_text(TXT_VERSION), "1.00") << "a released text loads again";
    release_text(4242); // nothing to release: nothing happens
    forget_all_texts();
    EXPECT_STREQ(text_of(TXT_OPTIONS_TITLE), "");
}

// --- measuring and centring ---------------------------------------------------------------------

TEST_F(Texts_Test, MeasuresWithTheGameFont) {
    EXPECT_GT(text_height(), 0);
    EXPECT_EQ(letter_width(), text_width("Z"));
    EXPECT_GT(letter_width(), 0);
    EXPECT_EQ(text_width("ZZ"), 2 * letter_width());
    EXPECT_EQ(text_width(""), 0);
}

TEST_F(Texts_Test, CentringSplitsTheSpareWidthTruncatingTowardZero) {
    const struct {
        int text_width, x, band, expected_x;
    } cases[] = {
        {101, 0, 320, 109}, // 219 / 2
        {121, 0, 100, -10}, // -21 / 2 truncates toward zero, not down to -11
        {100, 30, 100, 30},
        {40, 50, 101, 80},
    };
    for (const auto& c : cases) {
        const std::string text = text_of_width(c.text_width);
        ASSERT_EQ(text_width(text.c_str()), c.text_width) << "no text of that width in the font";

        paint_screen(0, 0, 0);
        write_text_centered(text.c_str(), c.x, 40, c.band);
        const Picture centred = take_picture();

        EXPECT_TRUE(has_ink(centred));
        EXPECT_EQ(centred, written_at(text.c_str(), c.expected_x, 40)) << c.text_width;
        EXPECT_NE(centred, written_at(text.c_str(), c.expected_x - 1, 40)) << c.text_width;
    }
}

TEST_F(Texts_Test, DrawingByIdNeverLoads) {
    paint_screen(0, 0, 0);
    draw_text_centered(TXT_PRESS_ENTER, 0, 100, SCREEN_WIDTH);
    EXPECT_FALSE(has_ink(take_picture())) << "an id that was never loaded draws nothing";
    EXPECT_STREQ(get_text(TXT_PRESS_ENTER), "") << "drawing left an empty entry";

    release_text(TXT_PRESS_ENTER);
    get_text(TXT_PRESS_ENTER);
    draw_text_centered(TXT_PRESS_ENTER, 0, 100, SCREEN_WIDTH);
    const Picture drawn = take_picture();
    paint_screen(0, 0, 0);
    write_text_centered("- press [enter] to continue -", 0, 100, SCREEN_WIDTH);
    EXPECT_TRUE(has_ink(drawn));
    EXPECT_EQ(drawn, take_picture());
}

// --- fitting ------------------------------------------------------------------------------------

TEST_F(Texts_Test, FitTextKeepsAWholeTextThatFits) {
    EXPECT_EQ(fit_text("abc def", text_width("abc def")), 7);
    EXPECT_EQ(fit_text("abc def  ", text_width("abc def  ")), 9) << "trailing spaces count";
    EXPECT_EQ(fit_text("", 0), 0);
    EXPECT_EQ(fit_text("", -5), 0);
}

TEST_F(Texts_Test, FitTextCutsAtTheLastSpaceThatFits) {
    const int two_words = text_width("abc def");
    EXPECT_EQ(fit_text("abc def ghi", two_words), 7);
    EXPECT_EQ(fit_text("abc def ghi", text_width("abc def ghi") - 1), 7);
    EXPECT_EQ(fit_text("abc def ghi", text_width("abc de")), 3);
}

TEST_F(Texts_Test, FitTextCutsOnlyOneSpaceOfARun) {
    // "ab  cd" cut at its last space leaves "ab " with its trailing space, measured with it.
    EXPECT_EQ(fit_text("ab  cd", text_width("ab ")), 3);
    EXPECT_EQ(fit_text("ab  cd", text_width("ab ") - 1), 2);
    EXPECT_EQ(fit_text("H I   S C O R E S", text_width("H I   S") - 1), 5);
}

TEST_F(Texts_Test, FitTextAnswersATooWideFirstWordWhole) {
    EXPECT_EQ(fit_text("abcdefgh ij", text_width("abc")), 8);
    EXPECT_EQ(fit_text("abcdefgh", 1), 8);
    EXPECT_EQ(fit_text("abcdefgh", 0), 8);
    EXPECT_EQ(fit_text("abcdefgh", -40), 8);
}

TEST_F(Texts_Test, FitTextOnLeadingSpacesAndNoRoom) {
    EXPECT_EQ(fit_text(" abc", 0), 0) << "nothing before the only space fits nothing";
    EXPECT_EQ(fit_text("   ", 0), 0);
    EXPECT_EQ(fit_text("   ", text_width("   ")), 3);
    EXPECT_EQ(fit_text("  abc def", text_width("  abc")), 5);
}

// --- wrapping -----------------------------------------------------------------------------------

TEST_F(Texts_Test, WrappingEmptyOrUnloadedTextDrawsNothing) {
    paint_screen(0, 0, 0);
    EXPECT_EQ(draw_wrapped_text(TXT_CONTACT_LINE, 0, 0, 200, false), 0);
    EXPECT_EQ(wrapped_text_height(TXT_CONTACT_LINE, 200), 0);
    get_text(777);
    EXPECT_EQ(draw_wrapped_text(777, 0, 0, 200, true), 0);
    EXPECT_EQ(wrapped_text_height(777, 200), 0);
    EXPECT_FALSE(has_ink(take_picture()));
}

TEST_F(Texts_Test, WrapsTheContactLineWordByWord) {
    const std::string contact = get_text(TXT_CONTACT_LINE);
    const int line_height = text_height();
    for (int width : {120, 200, 300}) {
        const std::vector<std::string> lines = greedy_lines(contact, width);
        const int count = static_cast<int>(lines.size());
        ASSERT_GT(count, 1);
        EXPECT_EQ(wrapped_text_height(TXT_CONTACT_LINE, width), count * line_height);

        for (bool centred : {false, true}) {
            paint_screen(0, 0, 0);
            EXPECT_EQ(draw_wrapped_text(TXT_CONTACT_LINE, 10, 5, width, centred), count);
            const Picture wrapped = take_picture();

            paint_screen(0, 0, 0);
            for (int i = 0; i < count; ++i) {
                const int y = 5 + i * line_height;
                if (centred) {
                    write_text_centered(lines[i].c_str(), 10, y, width);
                } else {
                    write_text(lines[i].c_str(), 10, y);
                }
            }
            EXPECT_EQ(wrapped, take_picture()) << "width " << width << " centred " << centred;
        }
    }
}

TEST_F(Texts_Test, WrappedLinesKeepTrailingSpacesWhenCentred) {
    // The first line of the title is "H I  ": both spaces before the cut stay and count in the
    // centring; the spaces after the cut are trimmed from the next line.
    get_text(TXT_HISCORES_TITLE);
    const int width = text_width("H I   S") - 1;
    const int line_height = text_height();
    paint_screen(0, 0, 0);
    draw_wrapped_text(TXT_HISCORES_TITLE, 0, 50, width, true);
    const Picture first_line = take_picture(50, line_height);

    paint_screen(0, 0, 0);
    write_text_centered("H I  ", 0, 50, width);
    EXPECT_EQ(first_line, take_picture(50, line_height));
    paint_screen(0, 0, 0);
    write_text_centered("H I", 0, 50, width);
    EXPECT_NE(first_line, take_picture(50, line_height));

    // The second line starts with the S, not with the spaces after the cut.
    paint_screen(0, 0, 0);
    draw_wrapped_text(TXT_HISCORES_TITLE, 0, 50, width, false);
    const Picture second_line = take_picture(50 + line_height, line_height);
    paint_screen(0, 0, 0);
    write_text("S", 0, 50 + line_height);
    const Picture s_alone = take_picture(50 + line_height, line_height);
    EXPECT_TRUE(has_ink(second_line));
    for (size_t i = 0; i < s_alone.size(); ++i) {
        if (s_alone[i] != 0) {
            ASSERT_EQ(second_line[i], s_alone[i]) << "pixel " << i;
        }
    }
}

TEST_F(Texts_Test, WrappingEndsWhateverTheWidth) {
    get_text(TXT_HISCORES_TITLE);
    get_text(TXT_CONTACT_LINE);
    const int line_height = text_height();
    // With no room at all every word stands on its own line: the title has eight letters.
    for (int width : {0, -1, -1000, 1}) {
        EXPECT_EQ(draw_wrapped_text(TXT_HISCORES_TITLE, 0, 0, width, true), 8) << width;
        EXPECT_EQ(wrapped_text_height(TXT_HISCORES_TITLE, width), 8 * line_height) << width;
    }
    const std::string contact = text_of(TXT_CONTACT_LINE);
    int words = 1;
    for (char c : contact)
        words += c == ' ';
    EXPECT_EQ(draw_wrapped_text(TXT_CONTACT_LINE, 0, 0, 0, false), words);
    EXPECT_EQ(draw_wrapped_text(TXT_CONTACT_LINE, 0, 0, 100000, false), 1);
}
