// Tests of the bitmap-font library on font pictures built in memory.
#include "sfont/sfont.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int glyph_count = 94;
constexpr int index_of(char c) {
    return c - '!';
}

// Colours as 0xRRGGBB. The glyph rows between the glyphs are grey and never drawn.
constexpr Uint32 magenta = 0xff00ff, marker = 0xffffff, grey = 0x5a5a5a, background = 0x0000c8;

// Every glyph is a solid block of its own colour with one transparent pixel at its top left.
Uint32 glyph_colour(int i) {
    return Uint32(20 + 2 * i) << 16 | Uint32(250 - i) << 8 | 60;
}

// How to build a font picture. Its glyphs are 2 to 5 pixels wide (the '0' zero_width), with gaps
// of one and two pixels, and with edge_gaps one more before the first and after the last.
struct Picture_Plan {
    int bpp = 32;
    int zero_width = 7;
    bool edge_gaps = true;
    int runs = glyph_count;
    int height = 9;
};

struct Layout {
    std::vector<int> x, w;
    int width;
};

Layout layout_of(const Picture_Plan& plan) {
    Layout layout{{}, {}, plan.edge_gaps ? 1 : 0};
    for (int i = 0; i < plan.runs; ++i) {
        layout.x.push_back(layout.width + (i > 0 ? 1 + i % 2 : 0));
        layout.w.push_back(i == index_of('0') ? plan.zero_width : 2 + i % 4);
        layout.width = layout.x.back() + layout.w.back();
    }
    layout.width += plan.edge_gaps ? 1 : 0;
    return layout;
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

SDL_Surface* make_picture(const Picture_Plan& plan) {
    const Layout layout = layout_of(plan);
    SDL_Surface* const s = create_surface(layout.width, plan.height, plan.bpp);
    fill(s, 0, 0, s->w, 1, magenta);
    fill(s, 0, 1, s->w, s->h - 1, grey);
    for (int i = 0; i < plan.runs; ++i) {
        fill(s, layout.x[i], 0, layout.w[i], 1, marker);
        fill(s, layout.x[i], 1, layout.w[i], s->h - 1, glyph_colour(i));
        fill(s, layout.x[i], 1, 1, s->h > 1 ? 1 : 0, 0); // the black corner
    }
    return s;
}

using Font_Ptr = std::unique_ptr<SFont_Font, decltype(&SFont_FreeFont)>;

// Writes the text at (x, y) on the target filled with the background, and compares every pixel
// with the background plus each glyph's block (minus its transparent corner) where the pen put
// it; a character without a glyph advances by half the '0', rounded up.
void expect_written(SDL_Surface* target, const SFont_Font* font, const Picture_Plan& plan,
                    const std::string& text, int x, int y) {
    SCOPED_TRACE(testing::Message() << '"' << text << "\" at " << x << "," << y);
    fill(target, 0, 0, target->w, target->h, background);
    SFont_Write(target, font, x, y, text.c_str());
    const Layout layout = layout_of(plan);
    std::vector<Uint32> want(size_t(target->w * target->h), background);
    for (const unsigned char ch : text) {
        const int i = ch - '!';
        const bool glyph = i >= 0 && i < glyph_count;
        for (int gy = 0; glyph && gy < plan.height - 1; ++gy)
            for (int gx = 0; gx < layout.w[i]; ++gx)
                if ((gx || gy) && x + gx >= 0 && y + gy >= 0 && x + gx < target->w &&
                    y + gy < target->h)
                    want[size_t((y + gy) * target->w + x + gx)] = glyph_colour(i);
        x += glyph ? layout.w[i] : (plan.zero_width + 1) / 2;
    }
    int differences = 0;
    for (int i = 0; i < target->w * target->h; ++i)
        if (pixel_at(target, i % target->w, i / target->w) != want[i] && ++differences <= 3)
            ADD_FAILURE() << "pixel " << i % target->w << "," << i / target->w;
    EXPECT_EQ(differences, 0);
}

class SFont : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }
};

TEST_F(SFont, FindsEveryGlyphInTheMarkerRowAndMeasuresText) {
    // Every pixel depth; glyphs may touch both edges of the picture.
    for (const Picture_Plan plan :
         {Picture_Plan{16, 7, false}, Picture_Plan{24, 8, true}, Picture_Plan{32, 1, false}}) {
        SCOPED_TRACE(plan.bpp);
        const Font_Ptr font(SFont_InitFont(make_picture(plan)), SFont_FreeFont);
        ASSERT_TRUE(font);
        const Layout layout = layout_of(plan);
        EXPECT_EQ(std::vector<int>(font->glyph_x, font->glyph_x + glyph_count), layout.x);
        EXPECT_EQ(std::vector<int>(font->glyph_w, font->glyph_w + glyph_count), layout.w);
        EXPECT_EQ(SFont_TextHeight(font.get()), 8);
        const auto w = [&](char c) { return layout.w[index_of(c)]; };
        EXPECT_EQ(SFont_TextWidth(font.get(), "Az!~A"), 2 * w('A') + w('z') + w('!') + w('~'));
        // A space, and any character without a glyph, is half the '0' wide, rounded up.
        const int space = (plan.zero_width + 1) / 2;
        EXPECT_EQ(font->space_width, space);
        EXPECT_EQ(SFont_TextWidth(font.get(), " \t\x7f\x80\xff\xc3\xa9t"), 7 * space + w('t'));
        EXPECT_EQ(SFont_TextWidth(font.get(), ""), 0);
        EXPECT_EQ(SFont_TextWidth(font.get(), nullptr), 0);
    }
    EXPECT_EQ(SFont_TextHeight(nullptr), 0);
    EXPECT_EQ(SFont_TextWidth(nullptr, "abc"), 0);
}

TEST_F(SFont, DrawsEachGlyphAtThePenWithBlackTransparentClipped) {
    const std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> target(
        create_surface(48, 24, 32), SDL_FreeSurface);
    for (const int bpp : {24, 32}) { // depths that hold the glyph colours exactly
        SCOPED_TRACE(bpp);
        const Picture_Plan plan{bpp};
        const Font_Ptr font(SFont_InitFont(make_picture(plan)), SFont_FreeFont);
        ASSERT_TRUE(font);
        const struct {
            const char* text;
            int x, y;
        } cases[] = {
            {"A", 10, 5},     {"!~Az", 3, 2},  {" A\tB\xe9", 1, 1}, {"   ", 20, 10},
            {"", 2, 2},       {"Mw", -3, -2},  {"QRSTUVW", 40, 20}, {"A", -100, 5},
            {"A", 5, 30},     {"A", 65540, 2}, {"A", 4, 65538},     {"A", -65532, 2},
            {"A", 4, -65534},
        };
        for (const auto& c : cases) // positions beyond 16 bits must not wrap back into view
            expect_written(target.get(), font.get(), plan, c.text, c.x, c.y);
        SFont_Write(target.get(), nullptr, 2, 2, "A");
        SFont_Write(target.get(), font.get(), 2, 2, nullptr);
        SFont_Write(nullptr, font.get(), 2, 2, "A");
        EXPECT_EQ(pixel_at(target.get(), 3, 2), background);
    }
}

TEST_F(SFont, WithADisplayTheFontTakesTheDisplayFormat) {
    SDL_Surface* const screen = SDL_SetVideoMode(320, 320, 32, SDL_SWSURFACE);
    ASSERT_TRUE(screen) << SDL_GetError();
    const Picture_Plan plan{24};
    SDL_Surface* const picture = make_picture(plan);
    ++picture->refcount; // kept alive to see whether the font lets go of it
    const Font_Ptr font(SFont_InitFont(picture), SFont_FreeFont);
    ASSERT_TRUE(font);
    EXPECT_NE(font->surface, picture);
    EXPECT_EQ(picture->refcount, 1) << "the 24-bit picture is released";
    SDL_FreeSurface(picture);
    const SDL_PixelFormat* const format = font->surface->format;
    EXPECT_TRUE(format->BitsPerPixel == screen->format->BitsPerPixel &&
                format->Rmask == screen->format->Rmask && format->Bmask == screen->format->Bmask);
    EXPECT_TRUE(font->surface->flags & SDL_SRCCOLORKEY);
    expect_written(screen, font.get(), plan, "Hi there", 300, 310);
}

TEST_F(SFont, UnusablePicturesGiveNoFontAndAreFreed) {
    EXPECT_EQ(SFont_InitFont(nullptr), nullptr);
    std::vector<SDL_Surface*> pictures = {
        make_picture({32, 7, true, 93}), make_picture({32, 7, true, 95}),
        make_picture({32, 7, true, 0}), make_picture({32, 7, true, glyph_count, 1})};
    pictures.push_back(create_surface(400, 9, 32)); // no magenta at all
    fill(pictures.back(), 0, 0, 400, 9, marker);
    pictures.push_back(make_picture({})); // near-magenta gaps join all glyphs in one run
    for (int x = 0; x < pictures.back()->w; ++x)
        if (pixel_at(pictures.back(), x, 0) == magenta) fill(pictures.back(), x, 0, 1, 1, 0xfe00ff);
    for (size_t i = 0; i < pictures.size(); ++i) {
        SCOPED_TRACE(i);
        ++pictures[i]->refcount;
        EXPECT_EQ(SFont_InitFont(pictures[i]), nullptr);
        EXPECT_EQ(pictures[i]->refcount, 1) << "the picture was not freed";
        SDL_FreeSurface(pictures[i]);
    }
}

} // namespace
