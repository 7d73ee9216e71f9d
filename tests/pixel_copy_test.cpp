// The drawing shortcuts: copies and fills done without SDL draw exactly what SDL draws, clip as SDL
// clips and write the same rectangles back; pictures come in the screen's format; the play frame's
// clear beside the well leaves the screen as a full clear would; the sidebar's backdrop shows what
// drawing its parts shows.
#include "game_test.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "media/bitmaps.h"
#include "media/pixel_copy.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/play_record.h"
#include "play/sidebar.h"
#include "play/well.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

class Pixel_Copy_Test : public Game_Test {};

using Surface_Ptr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

Surface_Ptr make_surface(int w, int h) {
    return Surface_Ptr(create_surface(w, h), &SDL_FreeSurface);
}

void scribble(SDL_Surface* surface, std::mt19937& random) {
    for (int y = 0; y < surface->h; ++y) {
        Uint32* row =
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
        for (int x = 0; x < surface->w; ++x)
            row[x] = random() & 0xffffff;
    }
}

bool same_pixels(const SDL_Surface* a, const SDL_Surface* b) {
    if (a->w != b->w || a->h != b->h || a->pitch != b->pitch) return false;
    return std::memcmp(a->pixels, b->pixels, size_t(a->pitch) * a->h) == 0;
}

void copy_pixels(const SDL_Surface* from, SDL_Surface* to) {
    std::memcpy(to->pixels, from->pixels, size_t(from->pitch) * from->h);
}

SDL_Rect random_rect(std::mt19937& random, int lo, int hi, int max_size) {
    std::uniform_int_distribution<int> position(lo, hi);
    std::uniform_int_distribution<int> size(0, max_size);
    return {Sint16(position(random)), Sint16(position(random)), Uint16(size(random)),
            Uint16(size(random))};
}

bool same_rect(const SDL_Rect& a, const SDL_Rect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

void set_clip(SDL_Surface* surface, const SDL_Rect* clip) {
    SDL_SetClipRect(surface, clip);
}

// ---- blits --------------------------------------------------------------------------------------

// Random parts of a source blitted to random places of a target, with and without a clip
// rectangle, by SDL and by blit_surface.
void compare_random_blits(SDL_Surface* source, std::mt19937& random) {
    Surface_Ptr by_sdl = make_surface(50, 40);
    Surface_Ptr by_us = make_surface(50, 40);
    ASSERT_TRUE(by_sdl && by_us);
    for (int i = 0; i < 2000; ++i) {
        scribble(by_sdl.get(), random);
        copy_pixels(by_sdl.get(), by_us.get());
        const SDL_Rect clip = random_rect(random, -5, 45, 50);
        const bool clipped = i % 3 == 0;
        set_clip(by_sdl.get(), clipped ? &clip : nullptr);
        set_clip(by_us.get(), clipped ? &clip : nullptr);

        SDL_Rect part = random_rect(random, -15, 40, 45);
        SDL_Rect part_copy = part;
        SDL_Rect at_sdl = random_rect(random, -40, 60, 50);
        SDL_Rect at_us = at_sdl;
        const bool whole_source = i % 5 == 0;
        const bool no_target_rect = i % 7 == 0;
        const int sdl_result = SDL_BlitSurface(source, whole_source ? nullptr : &part, by_sdl.get(),
                                               no_target_rect ? nullptr : &at_sdl);
        const int our_result = blit_surface(source, whole_source ? nullptr : &part_copy,
                                            by_us.get(), no_target_rect ? nullptr : &at_us);
        ASSERT_EQ(our_result, sdl_result) << "case " << i;
        ASSERT_TRUE(same_rect(at_us, at_sdl)) << "case " << i;
        ASSERT_TRUE(same_rect(part_copy, part)) << "case " << i;
        ASSERT_TRUE(same_pixels(by_us.get(), by_sdl.get())) << "case " << i;
    }
}

TEST_F(Pixel_Copy_Test, BlitsCopyAndClipAsSdlDoes) {
    std::mt19937 random(7);
    Surface_Ptr source = make_surface(37, 23);
    ASSERT_TRUE(source);
    scribble(source.get(), random);
    compare_random_blits(source.get(), random);
}

TEST_F(Pixel_Copy_Test, KeyedBlitsLeaveTheKeysPixelsAsSdlDoes) {
    std::mt19937 random(9);
    Surface_Ptr source = make_surface(37, 23);
    ASSERT_TRUE(source);
    scribble(source.get(), random);
    // A third of the pixels carry the key; some others have bits in the byte no mask covers.
    Uint32* pixels = static_cast<Uint32*>(source->pixels);
    const Uint32 key = 0x102030;
    for (int i = 0; i < source->pitch / 4 * source->h; ++i) {
        if (i % 3 == 0) pixels[i] = key;
        if (i % 11 == 0) pixels[i] |= 0x7f000000;
    }
    ASSERT_EQ(SDL_SetColorKey(source.get(), SDL_SRCCOLORKEY, key), 0);
    compare_random_blits(source.get(), random);
}

TEST_F(Pixel_Copy_Test, ARowCopiedWithinOneSurfaceMatchesSdl) {
    std::mt19937 random(11);
    Surface_Ptr by_sdl = make_surface(64, 48);
    Surface_Ptr by_us = make_surface(64, 48);
    ASSERT_TRUE(by_sdl && by_us);
    for (int i = 0; i < 200; ++i) {
        scribble(by_sdl.get(), random);
        copy_pixels(by_sdl.get(), by_us.get());
        SDL_Rect strip = {0, Sint16(random() % 48), 64, Uint16(1 + random() % 8)};
        SDL_Rect strip_copy = strip;
        SDL_Rect at_sdl = {0, Sint16(random() % 48), 0, 0};
        SDL_Rect at_us = at_sdl;
        SDL_BlitSurface(by_sdl.get(), &strip, by_sdl.get(), &at_sdl);
        blit_surface(by_us.get(), &strip_copy, by_us.get(), &at_us);
        ASSERT_TRUE(same_rect(at_us, at_sdl)) << "case " << i;
        ASSERT_TRUE(same_pixels(by_us.get(), by_sdl.get())) << "case " << i;
    }
}

TEST_F(Pixel_Copy_Test, KeyedAndTranslucentPicturesStillBlendAsSdlBlends) {
    std::mt19937 random(3);
    Surface_Ptr source = make_surface(20, 20);
    Surface_Ptr by_sdl = make_surface(30, 30);
    Surface_Ptr by_us = make_surface(30, 30);
    ASSERT_TRUE(source && by_sdl && by_us);
    scribble(source.get(), random);
    for (int i = 0; i < 2; ++i) {
        if (i == 0) SDL_SetColorKey(source.get(), SDL_SRCCOLORKEY, 0);
        if (i == 1) SDL_SetAlpha(source.get(), SDL_SRCALPHA, 100);
        scribble(by_sdl.get(), random);
        copy_pixels(by_sdl.get(), by_us.get());
        SDL_Rect at_sdl = {5, 5, 0, 0};
        SDL_Rect at_us = at_sdl;
        SDL_BlitSurface(source.get(), nullptr, by_sdl.get(), &at_sdl);
        blit_surface(source.get(), nullptr, by_us.get(), &at_us);
        EXPECT_TRUE(same_pixels(by_us.get(), by_sdl.get())) << "case " << i;
    }
}

TEST_F(Pixel_Copy_Test, ALockedSurfaceIsRefusedAsSdlRefusesIt) {
    Surface_Ptr source = make_surface(8, 8);
    Surface_Ptr target = make_surface(8, 8);
    ASSERT_TRUE(source && target);
    ASSERT_EQ(SDL_LockSurface(source.get()), 0);
    SDL_Rect at = {0, 0, 0, 0};
    EXPECT_EQ(blit_surface(source.get(), nullptr, target.get(), &at), -1);
    SDL_UnlockSurface(source.get());
}

// ---- fills --------------------------------------------------------------------------------------

TEST_F(Pixel_Copy_Test, FillsCoverAndClipAsSdlDoes) {
    std::mt19937 random(5);
    Surface_Ptr by_sdl = make_surface(50, 40);
    Surface_Ptr by_us = make_surface(50, 40);
    ASSERT_TRUE(by_sdl && by_us);
    for (int i = 0; i < 2000; ++i) {
        scribble(by_sdl.get(), random);
        copy_pixels(by_sdl.get(), by_us.get());
        const SDL_Rect clip = random_rect(random, -5, 45, 50);
        const bool clipped = i % 3 == 0;
        set_clip(by_sdl.get(), clipped ? &clip : nullptr);
        set_clip(by_us.get(), clipped ? &clip : nullptr);
        SDL_Rect area_sdl = random_rect(random, -40, 60, 70);
        SDL_Rect area_us = area_sdl;
        const Uint32 pixel = i % 2 ? 0 : random() & 0xffffff;
        const bool whole = i % 5 == 0;
        const int sdl_result = SDL_FillRect(by_sdl.get(), whole ? nullptr : &area_sdl, pixel);
        const int our_result = fill_surface(by_us.get(), whole ? nullptr : &area_us, pixel);
        ASSERT_EQ(our_result, sdl_result) << "case " << i;
        ASSERT_TRUE(same_rect(area_us, area_sdl)) << "case " << i;
        ASSERT_TRUE(same_pixels(by_us.get(), by_sdl.get())) << "case " << i;
    }
}

// ---- pictures and the play frame ----------------------------------------------------------------

TEST_F(Pixel_Copy_Test, PicturesComeInTheScreensFormatWithTheirColours) {
    SDL_Surface* sidebar = zgl_get_bitmap(BMP_SIDEBAR);
    ASSERT_NE(sidebar, nullptr);
    const SDL_PixelFormat* screen_format = get_screen()->format;
    EXPECT_EQ(sidebar->format->BitsPerPixel, screen_format->BitsPerPixel);
    EXPECT_EQ(sidebar->format->Rmask, screen_format->Rmask);
    EXPECT_EQ(sidebar->format->Bmask, screen_format->Bmask);

    SDL_Surface* original = SDL_LoadBMP("media/sidebar-320.bmp");
    ASSERT_NE(original, nullptr);
    for (int y = 0; y < original->h; y += 7) {
        for (int x = 0; x < original->w; x += 5)
            ASSERT_TRUE(same_colour(colour_at(sidebar, x, y), colour_at(original, x, y)));
    }
    SDL_FreeSurface(original);
}

// The same seeded first frame of a game, drawn over a screen painted in the given grey.
Surface_Ptr play_frame_over(Uint8 grey, bool with_sidebar) {
    std::srand(1);
    reset_play_record(&play_record);
    play_record.blocks_cleared = 0;
    play_record.level = 1;
    play_record.grid.set_cell(3, 19, 2);
    app.set_sidebar(nullptr);
    if (with_sidebar) app.set_sidebar(std::make_unique<Sidebar>());
    app.enter_state(STATE_PLAY);
    paint_screen(grey, grey, grey);
    app.state_frame(Game_Test::frame_seconds());
    SDL_Surface* screen_surface = get_screen();
    Surface_Ptr drawn = make_surface(screen_surface->w, screen_surface->h);
    if (drawn) copy_pixels(screen_surface, drawn.get());
    return drawn;
}

TEST_F(Pixel_Copy_Test, ThePlayFrameHidesWhatTheScreenShowedBefore) {
    for (const bool with_sidebar : {false, true}) {
        const Surface_Ptr over_white = play_frame_over(255, with_sidebar);
        const Surface_Ptr over_black = play_frame_over(0, with_sidebar);
        ASSERT_TRUE(over_white && over_black);
        EXPECT_TRUE(same_pixels(over_white.get(), over_black.get())) << "sidebar " << with_sidebar;
    }
}

// The sidebar as a frame drew it part by part before it kept a backdrop.
void draw_sidebar_part_by_part(const Sidebar& s) {
    char text[32];
    zgl_draw_bitmap(BMP_SIDEBAR, {s.panel.x, s.panel.y});
    zgl_draw_bitmap(BMP_SIDEBAR_NEXT, {s.next_label.x, s.next_label.y});
    zgl_draw_bitmap(BMP_SIDEBAR_NEXTBOX, {s.next_box.x, s.next_box.y});
    draw_piece(play_record.next, Game_Test::frame_seconds());
    zgl_draw_bitmap(BMP_SIDEBAR_LEVEL, {s.level_label.x, s.level_label.y});
    std::snprintf(text, sizeof text, "%03d", play_record.level);
    write_text_centered(text, s.panel.x, s.level_label.y + s.level_label.h, s.panel.w);
    zgl_draw_bitmap(BMP_SIDEBAR_SCORE, {s.score_label.x, s.score_label.y});
    std::snprintf(text, sizeof text, "%07d", play_record.shown_score);
    write_text_centered(text, s.panel.x, s.score_label.y + s.score_label.h, s.panel.w);
    zgl_draw_bitmap(BMP_SIDEBAR_FLARE, {s.flare_icon.x, s.flare_icon.y});
    std::snprintf(text, sizeof text, "%02d", play_record.flares);
    write_text(text, s.flare_icon.x + s.flare_icon.w,
               s.flare_icon.y + (s.flare_icon.h - text_height()) / 2);
}

Surface_Ptr screen_copy() {
    SDL_Surface* screen_surface = get_screen();
    Surface_Ptr copy = make_surface(screen_surface->w, screen_surface->h);
    if (copy) copy_pixels(screen_surface, copy.get());
    return copy;
}

TEST_F(Pixel_Copy_Test, TheSidebarsBackdropShowsWhatDrawingItsPartsShows) {
    Sidebar s;
    play_record.level = 12;
    play_record.score = play_record.shown_score = 4711; // nothing left to count up
    play_record.flares = 3;
    for (int shape = 0; shape < SHAPE_COUNT; ++shape) {
        generate_piece(play_record.next, shape, game.options);
        play_record.next.rotation = shape % 4;
        s.place_next_piece();
        paint_screen(90, 30, 200);
        draw_sidebar_part_by_part(s);
        const Surface_Ptr by_parts = screen_copy();
        paint_screen(90, 30, 200);
        s.draw_sidebar(frame_seconds());
        const Surface_Ptr by_backdrop = screen_copy();
        ASSERT_TRUE(by_parts && by_backdrop);
        EXPECT_TRUE(same_pixels(by_parts.get(), by_backdrop.get())) << "shape " << shape;
    }
}

} // namespace
