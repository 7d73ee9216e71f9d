// The media: pixel copies and fills against SDL's own, the bitmap and sound catalogues and their
// messages, the text table and text layout, and the bitmap-font library.
#include "game_test.h"

#include "media/bitmaps.h"
#include "media/pixel_copy.h"
#include "media/sounds.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/sidebar.h"
#include "sfont/sfont.h"
#include "store/record_file.h"

#include <climits>
#include <cstring>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

using Media_Test = Game_Test;
using Surface_Ptr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

Surface_Ptr make_surface(int w, int h) {
    return Surface_Ptr(create_surface(w, h), &SDL_FreeSurface);
}

void scribble(SDL_Surface* surface, std::mt19937& random) {
    auto* pixels = static_cast<Uint32*>(surface->pixels);
    for (int i = 0; i < surface->pitch / 4 * surface->h; ++i)
        pixels[i] = random() & (i % 11 ? 0xffffff : 0x7fffffff); // some bits no mask covers
}

std::vector<Uint8> pixels_of(const SDL_Surface* s) {
    const auto* p = static_cast<const Uint8*>(s->pixels);
    return std::vector<Uint8>(p, p + s->pitch * s->h);
}

SDL_Rect random_rect(std::mt19937& random, int lo, int hi, int max_size) {
    std::uniform_int_distribution<int> at(lo, hi), size(0, max_size);
    return {Sint16(at(random)), Sint16(at(random)), Uint16(size(random)), Uint16(size(random))};
}

std::vector<int> fields(const SDL_Rect& r) {
    return {r.x, r.y, r.w, r.h};
}

// Replaces the working directory's media link by a directory of every generated file but one.
void use_media_without(const std::string& missing) {
    fs::remove("media");
    fs::create_directory("media");
    for (const auto& entry : fs::directory_iterator(VEXTILE_MEDIA_DIR))
        if (entry.path().filename() != missing)
            fs::create_symlink(entry.path(), fs::path("media") / entry.path().filename());
}

bool screen_has_ink() {
    for (const Uint8 byte : pixels_of(get_screen()))
        if (byte) return true;
    return false;
}

} // namespace

// ---- copies and fills --------------------------------------------------------------------------

// Random parts of a source copied to random places of a target (plain, colour-keyed, translucent,
// strips within one surface, unclipped), with and without a clip rectangle, and random fills: the
// same result, the same rectangles written back and the same pixels as SDL's own; a locked surface
// is refused.
TEST_F(Media_Test, CopiesAndFillsDoWhatSdlDoes) {
    std::mt19937 random(7);
    const Surface_Ptr source = make_surface(37, 23);
    scribble(source.get(), random);
    for (int i = 0; i < 6000; ++i) {
        const int kind = i % 6; // 0, 1 plain, 2 keyed, 3 translucent, 4 within one surface, 5 fill
        SDL_SetColorKey(source.get(), kind == 2 ? SDL_SRCCOLORKEY : 0, 0x102030);
        SDL_SetAlpha(source.get(), kind == 3 ? SDL_SRCALPHA : 0, 100);
        if (kind == 2)
            for (int p = 0; p < 37 * 23; p += 3)
                static_cast<Uint32*>(source->pixels)[p] = 0x102030;
        Surface_Ptr by_sdl = make_surface(50, 40), by_us = make_surface(50, 40);
        scribble(by_sdl.get(), random);
        std::memcpy(by_us->pixels, by_sdl->pixels, by_sdl->pitch * by_sdl->h);
        const SDL_Rect clip = random_rect(random, -5, 45, 50);
        const bool clipped = i % 4 == 0 && kind != 4;
        SDL_SetClipRect(by_sdl.get(), clipped ? &clip : nullptr);
        SDL_SetClipRect(by_us.get(), clipped ? &clip : nullptr);
        SDL_Rect part_sdl = random_rect(random, -15, 40, 45),
                 at_sdl = random_rect(random, -40, 60, 50);
        if (kind == 4) // the rows of the well: whole-width strips
            part_sdl = {0, Sint16(random() % 40), 50, Uint16(1 + random() % 8)}, at_sdl.x = 0;
        SDL_Rect part_us = part_sdl, at_us = at_sdl;
        const bool whole = i % 5 == 0, no_target = i % 7 == 0;
        SDL_Surface* const from_sdl = kind == 4 ? by_sdl.get() : source.get();
        SDL_Surface* const from_us = kind == 4 ? by_us.get() : source.get();
        const Uint32 pixel = random() & 0xffffff;
        const int sdl_result = kind == 5
                                   ? SDL_FillRect(by_sdl.get(), whole ? nullptr : &at_sdl, pixel)
                                   : SDL_BlitSurface(from_sdl, whole ? nullptr : &part_sdl,
                                                     by_sdl.get(), no_target ? nullptr : &at_sdl);
        const int our_result = kind == 5
                                   ? fill_surface(by_us.get(), whole ? nullptr : &at_us, pixel)
                                   : blit_surface(from_us, whole ? nullptr : &part_us, by_us.get(),
                                                  no_target ? nullptr : &at_us);
        ASSERT_EQ(std::tuple(our_result, fields(at_us), fields(part_us), pixels_of(by_us.get())),
                  std::tuple(sdl_result, fields(at_sdl), fields(part_sdl), pixels_of(by_sdl.get())))
            << "case " << i;
    }
    ASSERT_EQ(SDL_LockSurface(source.get()), 0);
    SDL_Rect at = {0, 0, 0, 0};
    const Surface_Ptr target = make_surface(8, 8);
    EXPECT_EQ(blit_surface(source.get(), nullptr, target.get(), &at), -1);
    SDL_UnlockSurface(source.get());
}

// The play frame paints everything but the well and the sidebar itself: nothing of what the screen
// showed before stays, with a sidebar or without.
TEST_F(Media_Test, ThePlayFrameHidesWhatTheScreenShowedBefore) {
    play_record.grid.set_cell(3, 19, 2);
    app.enter_state(STATE_PLAY);
    for (const bool with_sidebar : {true, false}) {
        if (!with_sidebar) app.set_sidebar(nullptr);
        std::vector<std::vector<Uint8>> frames;
        for (const Uint8 grey : {255, 0}) {
            paint_screen(grey, grey, grey);
            app.state_frame(0.0);
            frames.push_back(pixels_of(get_screen()));
        }
        EXPECT_TRUE(frames[0] == frames[1]) << "sidebar " << with_sidebar;
    }
}

// ---- the catalogues ----------------------------------------------------------------------------

// Drawing a picture nobody asked for complains once, then draws (blended below alpha 255); a
// picture whose file is missing is reported by its first draw, draws nothing and is never looked
// for again.
TEST_F(Media_Test, UnloadedAndMissingPicturesAreReportedOnce) {
    Stderr_Capture err;
    zgl_draw_bitmap(BMP_BLANK_WHITE, {0, 0});
    zgl_draw_bitmap_part(BMP_BLANK_WHITE, {0, 0, 4, 4}, {0, 0});
    EXPECT_EQ(err.text(), "zgl_draw_bitmap -- Bitmap is not loaded!\n");
    EXPECT_EQ(colour_at(nullptr, 100, 100).r, 255) << "drawn after the message";
    for (const auto& [alpha, red] : {std::pair{254, 253}, {128, 127}, {255, 255}}) {
        paint_screen(0, 0, 0);
        zgl_set_bitmap_alpha(BMP_BLANK_WHITE, alpha);
        zgl_draw_bitmap(BMP_BLANK_WHITE, {0, 0});
        EXPECT_EQ(colour_at(nullptr, 9, 9).r, red) << "at alpha " << alpha;
    }
    use_media_without("paused-320.bmp");
    zgl_release_all();
    paint_screen(0, 0, 0);
    EXPECT_EQ(zgl_get_bitmap(BMP_PAUSED), nullptr);
    for (int i = 0; i < 3; ++i)
        zgl_draw_bitmap(BMP_PAUSED, {0, 0});
    fs::create_symlink(fs::path(VEXTILE_MEDIA_DIR) / "paused-320.bmp", "media/paused-320.bmp");
    EXPECT_EQ(zgl_get_bitmap(BMP_PAUSED), nullptr) << "not tried again";
    EXPECT_EQ(err.count("zgl_draw_bitmap -- Bitmap is not loaded!\n"), 2);
    EXPECT_FALSE(screen_has_ink());
}

// Every sound loads silently at full volume; one played before it was loaded complains and plays;
// a missing file (or an id without one) is reported once for the whole run and never plays; the
// sixteen channels take sixteen sounds at once.
TEST_F(Media_Test, SoundsLoadPlayAndAreReportedOnce) {
    Stderr_Capture err;
    play_sound(SND_UI_CLICK);
    EXPECT_EQ(err.text(), "sound not loaded!\n");
    EXPECT_EQ(sound_play_count(SND_UI_CLICK), 1);
    for (Sound_Id id = SND_BLOCK_HIT; id <= SND_KILLBLOX; ++id) {
        Mix_Chunk* const chunk = load_sound(id);
        EXPECT_TRUE(chunk && chunk->volume == MIX_MAX_VOLUME && load_sound(id) == chunk) << id;
    }
    Mix_HaltChannel(-1);
    for (int i = 0; i < 17; ++i)
        play_sound(SND_QUAKE); // 1.4 s each: all still playing
    EXPECT_EQ(Mix_Playing(-1), 16);
    Mix_HaltChannel(-1);
    sound_forget_all();
    use_media_without("quake.wav");
    for (Sound_Id id : {SND_QUAKE, Sound_Id(4242)}) {
        EXPECT_EQ(load_sound(id), nullptr);
        EXPECT_EQ(load_sound(id), nullptr);
        play_sound(id);
        EXPECT_EQ(sound_play_count(id), 0);
    }
    EXPECT_EQ(err.count("Couldn't load requested sound file: "), 2) << err.text();
    EXPECT_EQ(err.count("sound not loaded!\n"), 3);
}

// ---- texts -------------------------------------------------------------------------------------

// Centring in bands so wide or so far that the sum overflows an int keeps the text off the screen.
TEST_F(Media_Test, CentringInBandsOfExtremeWidthStaysOffTheScreen) {
    write_text_centered("Vextile", 10 - (1 << 30), 40, INT_MIN);
    write_text_centered("Vextile", INT_MAX - 10, 40, INT_MAX);
    EXPECT_FALSE(screen_has_ink());
}

// fit_text cuts at the last space that fits (a too wide first word whole); a wrap takes words while
// they fit, drops the spaces where a line breaks and sets each line a text height below the last,
// at the left or centred; with no room every word stands alone.
TEST_F(Media_Test, TextIsCutAtTheLastSpaceThatFitsAndWrappedWordByWord) {
    EXPECT_EQ(fit_text("abc def  ", text_width("abc def  ")), 9);
    EXPECT_EQ(fit_text("abc def ghi", text_width("abc def")), 7);
    EXPECT_EQ(fit_text("abc def ghi", text_width("abc de")), 3);
    EXPECT_EQ(fit_text("abcdefgh ij", text_width("abc")), 8);
    EXPECT_EQ(fit_text("ab  cd", text_width("ab ")), 3);
    EXPECT_EQ(fit_text("ab  cd", text_width("ab ") - 1), 2);
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
        const std::vector<Uint8> expected = pixels_of(get_screen());
        paint_screen(0, 0, 0);
        EXPECT_EQ(draw_wrapped_text(TXT_CONTACT_LINE, 10, 5, width, centred), 3);
        EXPECT_EQ(pixels_of(get_screen()), expected) << "centred " << centred;
    }
    EXPECT_EQ(wrapped_text_height(TXT_CONTACT_LINE, 0), 5 * height);
    EXPECT_EQ(draw_wrapped_text(TXT_CONTACT_LINE, 0, 0, -1000, true), 5);
}

// ---- the font library --------------------------------------------------------------------------

namespace {

constexpr int glyph_count = 94;
constexpr Uint32 magenta = 0xff00ff;

// Glyph i is a solid block of its own colour, 2 to 5 pixels wide (the '0' 7, so a space is 4),
// with one black (transparent) pixel at the top left of its image; gaps of one and two pixels.
Uint32 colour_of(int i) {
    return Uint32(20 + 2 * i) << 16 | Uint32(250 - i) << 8 | 60;
}
int glyph_w(int i) {
    return i == '0' - '!' ? 7 : 2 + i % 4;
}
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

SDL_Surface* rgb_surface(int w, int h, int bpp) { // 16-bit 565, 24-bit BGR, 32-bit RGB
    if (bpp == 16) return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xf800, 0x7e0, 0x1f, 0);
    if (bpp == 24) return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff, 0xff00, 0xff0000, 0);
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0xff00, 0xff, 0);
}

// A font picture of `runs` glyphs, its marker row's gaps painted `gap`.
SDL_Surface* font_picture(int bpp, int runs = glyph_count, int height = 9, Uint32 gap = magenta) {
    const auto g = layout(runs);
    SDL_Surface* const s = rgb_surface(g.back().first + g.back().second, height, bpp);
    fill(s, 0, 0, s->w, s->h, gap); // also between the glyph images: drawn, it would show
    for (int i = 0; i < runs; ++i) {
        fill(s, g[i].first, 0, g[i].second, s->h, colour_of(i));
        fill(s, g[i].first, 1, 1, s->h > 1 ? 1 : 0, 0);
    }
    return s;
}

using Font_Ptr = std::unique_ptr<SFont_Font, decltype(&SFont_FreeFont)>;

} // namespace

// Every glyph is found in the marker row at each depth; a space, and any character without a
// glyph, is half the '0' wide, rounded up.
TEST_F(Media_Test, TheFontFindsEveryGlyphAndMeasuresText) {
    for (const int bpp : {16, 24, 32}) {
        const Font_Ptr font(SFont_InitFont(font_picture(bpp)), SFont_FreeFont);
        ASSERT_TRUE(font);
        for (int i = 0; i < glyph_count; ++i)
            EXPECT_EQ(std::pair(font->glyph_x[i], font->glyph_w[i]), layout()[i]) << i;
        EXPECT_EQ(SFont_TextHeight(font.get()), 8);
        const auto w = [](char c) { return glyph_w(c - '!'); };
        EXPECT_EQ(SFont_TextWidth(font.get(), "Az!~A \t\x7f\x80\xff\xc3\xa9"),
                  2 * w('A') + w('z') + w('!') + w('~') + 7 * 4);
    }
    EXPECT_TRUE(SFont_TextHeight(nullptr) == 0 && SFont_TextWidth(nullptr, "abc") == 0);
}

// Glyphs at positions beyond SDL's 16 bits are skipped rather than wrapped back into view. (How
// text looks is in the golden pictures.)
TEST_F(Media_Test, TheFontSkipsGlyphsBeyondSixteenBits) {
    const Font_Ptr font(SFont_InitFont(font_picture(32)), SFont_FreeFont);
    ASSERT_TRUE(font);
    paint_screen(0, 0, 0);
    for (const auto& [x, y] : {std::pair{65540, 2}, {4, 65538}, {-65532, 2}, {4, -65534}})
        SFont_Write(get_screen(), font.get(), x, y, "AAAA");
    EXPECT_FALSE(screen_has_ink());
    SFont_Write(get_screen(), font.get(), -2, -3, "AAAA");
    EXPECT_TRUE(screen_has_ink()) << "clipped at the corner, but drawn";
}

// Too few glyphs, too many, no glyph rows, near-magenta gaps that join the glyphs in one run, and a
// picture of no depth (a damaged file's bit count wraps to 0): no font, and the picture freed.
TEST_F(Media_Test, UnusableFontPicturesGiveNoFontAndAreFreed) {
    EXPECT_EQ(SFont_InitFont(nullptr), nullptr);
    std::vector<uint8_t> bmp(54 + 188 * 3 * 4, 0);
    bmp[0] = 'B', bmp[1] = 'M', bmp[26] = 1, bmp[29] = 0x18;
    for (const auto& [at, value] :
         {std::pair{2, int(bmp.size())}, {10, 54}, {14, 40}, {18, 188}, {22, 3}})
        put_i32(&bmp[at], value);
    SDL_Surface* const no_depth = SDL_LoadBMP_RW(SDL_RWFromMem(bmp.data(), int(bmp.size())), 1);
    ASSERT_TRUE(no_depth && no_depth->format->BytesPerPixel == 0);
    for (SDL_Surface* const picture :
         {font_picture(32, 93), font_picture(32, 95), font_picture(32, glyph_count, 1),
          font_picture(32, glyph_count, 9, 0xfe00ff), no_depth}) {
        ++picture->refcount;
        EXPECT_EQ(SFont_InitFont(picture), nullptr) << picture->w << "x" << picture->h;
        EXPECT_EQ(picture->refcount, 1) << "the picture was not freed";
        SDL_FreeSurface(picture);
    }
}
