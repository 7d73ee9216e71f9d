// Tests of the bitmap-font library on font pictures built in memory.
#include "sfont/sfont.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int glyph_count = 94;
constexpr Uint32 magenta = 0xff00ff, background = 0x0000c8; // colours as 0xRRGGBB

// Glyph i is a solid block of its own colour, 2 to 5 pixels wide (the '0' 7, so a space is 4),
// with one black (transparent) pixel at the top left of its image.
const auto colour_of = [](int i) { return Uint32(20 + 2 * i) << 16 | Uint32(250 - i) << 8 | 60; };
const auto glyph_w = [](int i) { return i == '0' - '!' ? 7 : 2 + i % 4; };

// The left column and width of each glyph: the first at the left edge, then gaps of one and two
// pixels.
std::vector<std::pair<int, int>> layout(int runs = glyph_count) {
    std::vector<std::pair<int, int>> glyphs;
    for (int i = 0, x = 0; i < runs; x += glyph_w(i) + 1 + (i + 1) % 2, ++i)
        glyphs.push_back({x, glyph_w(i)});
    return glyphs;
}

void fill(SDL_Surface* s, int x, int y, int w, int h, Uint32 c) {
    SDL_Rect r = {Sint16(x), Sint16(y), Uint16(w), Uint16(h)};
    SDL_FillRect(s, &r, SDL_MapRGB(s->format, Uint8(c >> 16), Uint8(c >> 8), Uint8(c)));
}

Uint32 pixel_at(const SDL_Surface* s, int x, int y) { // of a 32-bit surface
    Uint8 r, g, b;
    SDL_GetRGB(static_cast<const Uint32*>(s->pixels)[y * s->pitch / 4 + x], s->format, &r, &g, &b);
    return Uint32(r) << 16 | Uint32(g) << 8 | b;
}

SDL_Surface* create_surface(int w, int h, int bpp) { // 16-bit 565, 24-bit BGR, 32-bit RGB
    if (bpp == 16) return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xf800, 0x7e0, 0x1f, 0);
    if (bpp == 24) return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff, 0xff00, 0xff0000, 0);
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0xff00, 0xff, 0);
}

// A font picture of `runs` glyphs laid out as layout() says, its marker row's gaps painted `gap`;
// the last glyph touches the right edge.
SDL_Surface* make_picture(int bpp, int runs = glyph_count, int height = 9, Uint32 gap = magenta) {
    const auto g = layout(runs);
    SDL_Surface* const s = create_surface(g.back().first + g.back().second, height, bpp);
    fill(s, 0, 0, s->w, s->h, gap); // also between the glyph images: drawn, it would show
    for (int i = 0; i < runs; ++i) {
        fill(s, g[i].first, 0, g[i].second, s->h, colour_of(i));
        fill(s, g[i].first, 1, 1, s->h > 1 ? 1 : 0, 0); // the black corner
    }
    return s;
}

using Font_Ptr = std::unique_ptr<SFont_Font, decltype(&SFont_FreeFont)>;

// Writes the text at (x, y) on the 32-bit target filled with the background, and compares every
// pixel with the background plus each glyph's block (minus its transparent corner) where the pen
// put it.
void expect_written(SDL_Surface* s, const SFont_Font* font, const std::string& text, int x, int y) {
    fill(s, 0, 0, s->w, s->h, background);
    SFont_Write(s, font, x, y, text.c_str());
    std::vector<Uint32> want(size_t(s->w * s->h), background);
    for (const unsigned char ch : text) {
        const int i = ch - '!', w = i >= 0 && i < glyph_count ? glyph_w(i) : 0;
        for (int p = 1; p < w * 8; ++p) { // every pixel of the glyph but the corner
            const int px = x + p % w, py = y + p / w;
            if (px >= 0 && py >= 0 && px < s->w && py < s->h)
                want[size_t(py * s->w + px)] = colour_of(i);
        }
        x += w ? w : 4;
    }
    int i = 0;
    while (i < s->w * s->h && pixel_at(s, i % s->w, i / s->w) == want[i])
        ++i;
    EXPECT_EQ(i, s->w * s->h) << '"' << text << "\" wrong at pixel " << i % s->w << "," << i / s->w;
}

class SFont : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }
};

TEST_F(SFont, FindsEveryGlyphInTheMarkerRowAndMeasuresText) {
    for (const int bpp : {16, 24, 32}) {
        SCOPED_TRACE(bpp);
        const Font_Ptr font(SFont_InitFont(make_picture(bpp)), SFont_FreeFont);
        ASSERT_TRUE(font);
        for (int i = 0; i < glyph_count; ++i)
            EXPECT_EQ(std::pair(font->glyph_x[i], font->glyph_w[i]), layout()[i]) << "glyph " << i;
        EXPECT_EQ(SFont_TextHeight(font.get()), 8);
        // A space, and any character without a glyph, is half the '0' wide, rounded up.
        const auto w = [](char c) { return glyph_w(c - '!'); };
        EXPECT_EQ(SFont_TextWidth(font.get(), "Az!~A \t\x7f\x80\xff\xc3\xa9"),
                  2 * w('A') + w('z') + w('!') + w('~') + 7 * 4);
        EXPECT_TRUE(SFont_TextWidth(font.get(), "") == 0 && !SFont_TextWidth(font.get(), nullptr));
    }
    EXPECT_TRUE(SFont_TextHeight(nullptr) == 0 && SFont_TextWidth(nullptr, "abc") == 0);
}

// Without a display the font keeps its picture; with one it takes the display's format.
TEST_F(SFont, DrawsEachGlyphAtThePenWithBlackTransparentClipped) {
    const std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> target(
        create_surface(48, 24, 32), SDL_FreeSurface);
    // Depths that hold the glyph colours exactly; 0: a 24-bit picture with a 32-bit display open.
    for (const int bpp : {24, 32, 0}) {
        SCOPED_TRACE(bpp);
        SDL_Surface* const screen = bpp ? nullptr : SDL_SetVideoMode(320, 320, 32, SDL_SWSURFACE);
        SDL_Surface* const picture = make_picture(bpp ? bpp : 24);
        ++picture->refcount; // kept alive to see whether the font lets go of it
        const Font_Ptr font(SFont_InitFont(picture), SFont_FreeFont);
        ASSERT_TRUE(font);
        EXPECT_EQ(picture->refcount, bpp ? 2 : 1) << "the picture is released when converted";
        SDL_FreeSurface(picture);
        EXPECT_EQ(font->surface->format->BitsPerPixel, bpp ? bpp : screen->format->BitsPerPixel);
        // Positions beyond 16 bits must not wrap back into view.
        // clang-format off
        const struct { const char* text; int x, y; } cases[] = {
            {"A", 10, 5},     {"!~Az", 3, 2},  {" A\tB\xe9", 1, 1}, {"   ", 20, 10},
            {"", 2, 2},       {"Mw", -3, -2},  {"QRSTUVW", 40, 20}, {"A", -100, 5},
            {"A", 5, 30},     {"A", 65540, 2}, {"A", 4, 65538},     {"A", -65532, 2},
            {"A", 4, -65534}};
        // clang-format on
        for (const auto& c : cases)
            expect_written(target.get(), font.get(), c.text, c.x, c.y);
        SFont_Write(target.get(), nullptr, 2, 2, "A");
        SFont_Write(target.get(), font.get(), 2, 2, nullptr);
        SFont_Write(nullptr, font.get(), 2, 2, "A");
        EXPECT_EQ(pixel_at(target.get(), 3, 2), background);
    }
}

TEST_F(SFont, UnusablePicturesGiveNoFontAndAreFreed) {
    EXPECT_EQ(SFont_InitFont(nullptr), nullptr);
    // Too few glyphs, too many, no glyph rows, near-magenta gaps that join all glyphs in one run.
    for (SDL_Surface* const picture :
         {make_picture(32, 93), make_picture(32, 95), make_picture(32, glyph_count, 1),
          make_picture(32, glyph_count, 9, 0xfe00ff)}) {
        ++picture->refcount;
        EXPECT_EQ(SFont_InitFont(picture), nullptr) << picture->w << "x" << picture->h;
        EXPECT_EQ(picture->refcount, 1) << "the picture was not freed";
        SDL_FreeSurface(picture);
    }
}

} // namespace
