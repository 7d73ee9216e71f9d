// Tests of the bitmap-font library on font pictures built in memory.
#include "sfont/sfont.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int glyph_count = 94;
constexpr int index_of(char c) {
    return c - '!';
}

struct Rgb {
    Uint8 r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

constexpr Rgb black = {0, 0, 0};
constexpr Rgb magenta = {255, 0, 255};
constexpr Rgb marker = {255, 255, 255};
constexpr Rgb gap_fill = {90, 90, 90}; // glyph rows between the glyphs; never drawn
constexpr Rgb background = {0, 0, 200};

// Every glyph is a solid block of its own colour with one transparent pixel at its top left.
Rgb glyph_colour(int i) {
    return {Uint8(20 + 2 * i), Uint8(250 - i), 60};
}

// How to build a font picture, and where its glyphs end up.
struct Picture_Spec {
    int bpp = 32;
    int height = 9;
    int runs = glyph_count;
    int zero_width = 7; // width of the '0' glyph
    bool leading_gap = true;
    bool trailing_gap = true;
};

struct Layout {
    std::vector<int> x;
    std::vector<int> w;
    int width = 0;
};

Layout plan_layout(const Picture_Spec& spec) {
    Layout layout;
    int x = spec.leading_gap ? 1 : 0;
    for (int i = 0; i < spec.runs; ++i) {
        if (i > 0) x += 1 + i % 2; // gaps of one and two pixels
        const int w = i == index_of('0') ? spec.zero_width : 2 + i % 4;
        layout.x.push_back(x);
        layout.w.push_back(w);
        x += w;
    }
    layout.width = x + (spec.trailing_gap ? 1 : 0);
    return layout;
}

void put_pixel(SDL_Surface* s, int x, int y, Rgb c) {
    const Uint32 pixel = SDL_MapRGB(s->format, c.r, c.g, c.b);
    Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    switch (s->format->BytesPerPixel) {
    case 1:
        *p = Uint8(pixel);
        break;
    case 2:
        *reinterpret_cast<Uint16*>(p) = Uint16(pixel);
        break;
    case 3:
        p[0] = Uint8(pixel);
        p[1] = Uint8(pixel >> 8);
        p[2] = Uint8(pixel >> 16);
        break;
    default:
        *reinterpret_cast<Uint32*>(p) = pixel;
    }
}

Rgb get_pixel(const SDL_Surface* s, int x, int y) {
    EXPECT_EQ(s->format->BytesPerPixel, 4);
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * 4;
    Rgb c{};
    SDL_GetRGB(*reinterpret_cast<const Uint32*>(p), s->format, &c.r, &c.g, &c.b);
    return c;
}

SDL_Surface* create_surface(int w, int h, int bpp) {
    if (bpp == 8 || bpp == 16) return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bpp, 0, 0, 0, 0);
    if (bpp == 24) return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff, 0xff00, 0xff0000, 0);
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0xff00, 0xff, 0);
}

void give_palette(SDL_Surface* s, int glyphs) {
    std::vector<SDL_Color> colours;
    for (const Rgb c : {black, magenta, marker, gap_fill})
        colours.push_back({c.r, c.g, c.b, 0});
    for (int i = 0; i < glyphs; ++i) {
        const Rgb c = glyph_colour(i);
        colours.push_back({c.r, c.g, c.b, 0});
    }
    ASSERT_EQ(SDL_SetColors(s, colours.data(), 0, int(colours.size())), 1);
}

void paint_picture(SDL_Surface* s, const Layout& layout) {
    for (int x = 0; x < s->w; ++x) {
        put_pixel(s, x, 0, magenta);
        for (int y = 1; y < s->h; ++y)
            put_pixel(s, x, y, gap_fill);
    }
    for (size_t i = 0; i < layout.x.size(); ++i) {
        for (int x = layout.x[i]; x < layout.x[i] + layout.w[i]; ++x) {
            put_pixel(s, x, 0, marker);
            for (int y = 1; y < s->h; ++y)
                put_pixel(s, x, y, glyph_colour(int(i)));
        }
        if (s->h > 1) put_pixel(s, layout.x[i], 1, black);
    }
}

SDL_Surface* make_picture(const Picture_Spec& spec) {
    const Layout layout = plan_layout(spec);
    SDL_Surface* const s = create_surface(layout.width, spec.height, spec.bpp);
    if (!s) {
        ADD_FAILURE() << SDL_GetError();
        return nullptr;
    }
    if (spec.bpp == 8) give_palette(s, spec.runs);
    paint_picture(s, layout);
    return s;
}

struct Font_Deleter {
    void operator()(SFont_Font* font) const { SFont_FreeFont(font); }
};
using Font_Ptr = std::unique_ptr<SFont_Font, Font_Deleter>;

struct Surface_Deleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface_Ptr = std::unique_ptr<SDL_Surface, Surface_Deleter>;

Font_Ptr make_font(const Picture_Spec& spec) {
    return Font_Ptr(SFont_InitFont(make_picture(spec)));
}

// What the target should show after writing text at (x, y): the background, with each glyph's
// block (minus its transparent corner) where the pen put it.
std::vector<Rgb> expected_image(const SDL_Surface* target, const Picture_Spec& spec,
                                const std::string& text, int x, int y) {
    const Layout layout = plan_layout(spec);
    const int line = spec.height - 1;
    const int space = (spec.zero_width + 1) / 2;
    std::vector<Rgb> image(size_t(target->w * target->h), background);
    int pen = x;
    for (const char ch : text) {
        const int i = static_cast<unsigned char>(ch) - '!';
        if (i < 0 || i >= glyph_count) {
            pen += space;
            continue;
        }
        for (int gy = 0; gy < line; ++gy) {
            for (int gx = 0; gx < layout.w[size_t(i)]; ++gx) {
                const int tx = pen + gx;
                const int ty = y + gy;
                const bool hole = gx == 0 && gy == 0;
                if (hole || tx < 0 || ty < 0 || tx >= target->w || ty >= target->h) continue;
                image[size_t(ty * target->w + tx)] = glyph_colour(i);
            }
        }
        pen += layout.w[size_t(i)];
    }
    return image;
}

void fill(SDL_Surface* s, Rgb c) {
    ASSERT_EQ(SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, c.r, c.g, c.b)), 0);
}

// Compares the whole target with the expected image, reporting the first few differences.
void expect_image(const SDL_Surface* target, const std::vector<Rgb>& expected) {
    int differences = 0;
    for (int y = 0; y < target->h; ++y) {
        for (int x = 0; x < target->w; ++x) {
            const Rgb want = expected[size_t(y * target->w + x)];
            const Rgb got = get_pixel(target, x, y);
            if (got == want) continue;
            if (++differences <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << got << ", expected "
                              << want;
        }
    }
    EXPECT_EQ(differences, 0);
}

class SFont : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }
    void TearDown() override { SDL_Quit(); }
};

// ---- metrics, for every pixel depth the picture may come in
// --------------------------------------

class SFontMetrics : public SFont, public ::testing::WithParamInterface<int> {};

TEST_P(SFontMetrics, FindsEveryGlyphInTheMarkerRow) {
    Picture_Spec spec;
    spec.bpp = GetParam();
    const Font_Ptr font = make_font(spec);
    ASSERT_TRUE(font);
    const Layout layout = plan_layout(spec);
    for (int i = 0; i < glyph_count; ++i) {
        EXPECT_EQ(font->glyph_x[i], layout.x[size_t(i)]) << "glyph " << i;
        EXPECT_EQ(font->glyph_w[i], layout.w[size_t(i)]) << "glyph " << i;
    }
    EXPECT_EQ(SFont_TextHeight(font.get()), spec.height - 1);
}

TEST_P(SFontMetrics, GlyphsMayTouchBothEdgesOfThePicture) {
    Picture_Spec spec;
    spec.bpp = GetParam();
    spec.leading_gap = false;
    spec.trailing_gap = false;
    const Font_Ptr font = make_font(spec);
    ASSERT_TRUE(font);
    const Layout layout = plan_layout(spec);
    EXPECT_EQ(font->glyph_x[0], 0);
    EXPECT_EQ(font->glyph_x[glyph_count - 1] + font->glyph_w[glyph_count - 1], layout.width);
    EXPECT_EQ(font->glyph_w[glyph_count - 1], layout.w.back());
}

TEST_P(SFontMetrics, TextWidthAddsTheGlyphWidths) {
    Picture_Spec spec;
    spec.bpp = GetParam();
    const Font_Ptr font = make_font(spec);
    ASSERT_TRUE(font);
    const Layout layout = plan_layout(spec);
    const auto w = [&](char c) { return layout.w[size_t(index_of(c))]; };
    EXPECT_EQ(SFont_TextWidth(font.get(), "A"), w('A'));
    EXPECT_EQ(SFont_TextWidth(font.get(), "Az!~"), w('A') + w('z') + w('!') + w('~'));
    EXPECT_EQ(SFont_TextWidth(font.get(), "AA"), 2 * w('A'));
    EXPECT_EQ(SFont_TextWidth(font.get(), ""), 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, SFontMetrics, ::testing::Values(8, 16, 24, 32));

TEST_F(SFont, SpaceIsHalfTheZeroRoundedUp) {
    for (const int zero : {7, 8, 1}) {
        Picture_Spec spec;
        spec.zero_width = zero;
        const Font_Ptr font = make_font(spec);
        ASSERT_TRUE(font);
        const int space = (zero + 1) / 2;
        EXPECT_EQ(font->space_width, space) << "'0' " << zero << " wide";
        EXPECT_EQ(SFont_TextWidth(font.get(), " "), space);
        EXPECT_EQ(SFont_TextWidth(font.get(), "A A"), 2 * font->glyph_w[index_of('A')] + space);
    }
}

TEST_F(SFont, CharactersWithoutAGlyphAdvanceLikeASpace) {
    const Font_Ptr font = make_font(Picture_Spec{});
    ASSERT_TRUE(font);
    const int space = font->space_width;
    EXPECT_EQ(SFont_TextWidth(font.get(), "\t"), space);
    EXPECT_EQ(SFont_TextWidth(font.get(), "\x7f"), space);
    EXPECT_EQ(SFont_TextWidth(font.get(), "\x80\xff"), 2 * space);
    EXPECT_EQ(SFont_TextWidth(font.get(), "\xc3\xa9t"), 2 * space + font->glyph_w[index_of('t')]);
}

TEST_F(SFont, NoFontOrTextMeasuresZero) {
    const Font_Ptr font = make_font(Picture_Spec{});
    ASSERT_TRUE(font);
    EXPECT_EQ(SFont_TextHeight(nullptr), 0);
    EXPECT_EQ(SFont_TextWidth(nullptr, "abc"), 0);
    EXPECT_EQ(SFont_TextWidth(font.get(), nullptr), 0);
    SFont_FreeFont(nullptr);
}

// ---- drawing
// ---------------------------------------------------------------------------------------

class SFontDrawing : public SFont, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        SFont::SetUp();
        spec.bpp = GetParam();
        font = make_font(spec);
        ASSERT_TRUE(font);
        target.reset(create_surface(48, 24, 32));
        ASSERT_TRUE(target);
        fill(target.get(), background);
    }
    // Writes on a clean target and compares all of it with what should be there.
    void write_and_check(const std::string& text, int x, int y) {
        fill(target.get(), background);
        SFont_Write(target.get(), font.get(), x, y, text.c_str());
        expect_image(target.get(), expected_image(target.get(), spec, text, x, y));
    }

    Picture_Spec spec;
    Font_Ptr font;
    Surface_Ptr target;
};

TEST_P(SFontDrawing, PutsTheGlyphAtThePenWithBlackTransparent) {
    write_and_check("A", 10, 5);
    // The glyph's transparent corner keeps the background; its next pixel is the glyph.
    EXPECT_EQ(get_pixel(target.get(), 10, 5), background);
    EXPECT_EQ(get_pixel(target.get(), 11, 5), glyph_colour(index_of('A')));
}

TEST_P(SFontDrawing, AdvancesByEachGlyphWidth) {
    write_and_check("!~Az", 3, 2);
}

TEST_P(SFontDrawing, SpacesAndUnknownCharactersDrawNothing) {
    write_and_check(" A\tB\xe9", 1, 1);
    write_and_check("   ", 20, 10);
}

TEST_P(SFontDrawing, ClipsAtEveryEdge) {
    write_and_check("Mw", -3, -2);
    write_and_check("QRSTUVW", 40, 20);
    write_and_check("A", -100, 5);
    write_and_check("A", 5, 30);
}

TEST_P(SFontDrawing, FarAwayPositionsDoNotWrapIntoView) {
    // Positions beyond 16 bits must not come back in as small ones.
    write_and_check("A", 65536 + 4, 2);
    write_and_check("A", 4, 65536 + 2);
    write_and_check("A", -65536 + 4, 2);
    write_and_check("A", 4, -65536 + 2);
}

TEST_P(SFontDrawing, NothingToDrawLeavesTheTargetAlone) {
    SFont_Write(target.get(), nullptr, 2, 2, "A");
    SFont_Write(target.get(), font.get(), 2, 2, nullptr);
    SFont_Write(nullptr, font.get(), 2, 2, "A");
    write_and_check("", 2, 2);
}

INSTANTIATE_TEST_SUITE_P(Depths, SFontDrawing, ::testing::Values(24, 32));

TEST_F(SFont, WithoutADisplayTheFontKeepsItsPicture) {
    SDL_Surface* const picture = make_picture(Picture_Spec{});
    ASSERT_TRUE(picture);
    ++picture->refcount; // keep it alive to see whether the font lets go of it
    SFont_Font* const font = SFont_InitFont(picture);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->surface, picture);
    EXPECT_TRUE(picture->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(picture->format->colorkey, SDL_MapRGB(picture->format, 0, 0, 0));
    SFont_FreeFont(font);
    EXPECT_EQ(picture->refcount, 1);
    SDL_FreeSurface(picture);
}

TEST_F(SFont, WithADisplayTheFontTakesTheDisplayFormat) {
    SDL_Surface* const screen = SDL_SetVideoMode(320, 320, 32, SDL_SWSURFACE);
    ASSERT_TRUE(screen) << SDL_GetError();
    Picture_Spec spec;
    spec.bpp = 24;
    SDL_Surface* const picture = make_picture(spec);
    ASSERT_TRUE(picture);
    ++picture->refcount;
    const Font_Ptr font(SFont_InitFont(picture));
    ASSERT_TRUE(font);

    // The 24-bit original has been replaced (and released) by a copy in the screen's format.
    EXPECT_NE(font->surface, picture);
    EXPECT_EQ(picture->refcount, 1);
    SDL_FreeSurface(picture);
    const SDL_PixelFormat* const format = font->surface->format;
    EXPECT_EQ(format->BitsPerPixel, screen->format->BitsPerPixel);
    EXPECT_EQ(format->Rmask, screen->format->Rmask);
    EXPECT_EQ(format->Gmask, screen->format->Gmask);
    EXPECT_EQ(format->Bmask, screen->format->Bmask);
    EXPECT_TRUE(font->surface->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(SFont_TextHeight(font.get()), spec.height - 1);

    fill(screen, background);
    SFont_Write(screen, font.get(), 300, 310, "Hi there");
    expect_image(screen, expected_image(screen, spec, "Hi there", 300, 310));
}

// ---- unusable pictures
// -----------------------------------------------------------------------------

// Hands the picture to the font library, expecting no font and the picture released.
void expect_rejected(SDL_Surface* picture) {
    ASSERT_TRUE(picture);
    ++picture->refcount;
    EXPECT_EQ(SFont_InitFont(picture), nullptr);
    EXPECT_EQ(picture->refcount, 1) << "the picture was not freed";
    SDL_FreeSurface(picture);
}

TEST_F(SFont, UnusablePicturesGiveNoFont) {
    EXPECT_EQ(SFont_InitFont(nullptr), nullptr);
    Picture_Spec one_row;
    one_row.height = 1;
    expect_rejected(make_picture(one_row));
    for (const int runs : {93, 95, 0}) {
        Picture_Spec spec;
        spec.runs = runs;
        SCOPED_TRACE(runs);
        expect_rejected(make_picture(spec));
    }
}

TEST_F(SFont, APictureWithoutMagentaGivesNoFont) {
    SDL_Surface* const picture = create_surface(400, 9, 32);
    ASSERT_TRUE(picture);
    fill(picture, marker);
    expect_rejected(picture);
}

TEST_F(SFont, NearMagentaIsNotAGap) {
    // (254, 0, 255) in the gaps joins all glyphs into one run.
    SDL_Surface* const picture = make_picture(Picture_Spec{});
    ASSERT_TRUE(picture);
    for (int x = 0; x < picture->w; ++x) {
        Uint8* const p = static_cast<Uint8*>(picture->pixels) + x * 4;
        const Uint32 pixel = *reinterpret_cast<Uint32*>(p);
        if (pixel == SDL_MapRGB(picture->format, 255, 0, 255))
            put_pixel(picture, x, 0, {254, 0, 255});
    }
    expect_rejected(picture);
}

} // namespace
