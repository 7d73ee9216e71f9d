// The screen primitives and the bitmap and sound catalogues.
#include "game_test.h"

#include "app/vextile.h"
#include "media/bitmaps.h"
#include "media/sounds.h"
#include "media/video.h"
#include "play/block_tiles.h"

#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

// Replaces the working directory's media link by a directory that holds every generated file but
// the ones named.
void use_media_without(const std::set<std::string>& missing) {
    fs::remove("media");
    fs::create_directory("media");
    for (const auto& entry : fs::directory_iterator(VEXTILE_MEDIA_DIR)) {
        const std::string name = entry.path().filename().string();
        if (!missing.count(name)) fs::create_symlink(entry.path(), fs::path("media") / name);
    }
}

bool is_black(SDL_Color c) {
    return c.r == 0 && c.g == 0 && c.b == 0;
}

// ---- screen ----------------------------------------------------------------

class Video_Test : public Game_Test {};

TEST_F(Video_Test, ScreenIs320By320At32Bits) {
    SDL_Surface* s = get_screen();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->w, 320);
    EXPECT_EQ(s->h, 320);
    EXPECT_EQ(s->format->BitsPerPixel, 32);
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    EXPECT_STREQ(title, "Vextile!");
    EXPECT_STREQ(icon, "Vextile!");
}

TEST_F(Video_Test, FillRectClipsNegativeCornersAndDefaultsToTheScreen) {
    fill_rect({200, 10, 10, 0}, {-5, -5, 10, 10});
    EXPECT_TRUE(same_colour(colour_at(nullptr, 0, 0), {200, 10, 10, 0}));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 4, 4), {200, 10, 10, 0}));
    EXPECT_TRUE(is_black(colour_at(nullptr, 5, 5)));

    SDL_Surface* off = create_surface(8, 8);
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->format->BitsPerPixel, get_screen()->format->BitsPerPixel);
    fill_rect(COLOR_WHITE, {0, 0, 8, 8}, off);
    EXPECT_TRUE(same_colour(colour_at(off, 7, 7), {250, 250, 250, 0}));
    EXPECT_TRUE(is_black(colour_at(nullptr, 7, 7))) << "drawing on a surface leaves the screen";
    free_surface(off);
}

TEST_F(Video_Test, BackgroundIsDrawnWhileSetAndHoldsItsPicture) {
    set_background(BMP_BLANK_WHITE);
    SDL_Surface* picture = zgl_hold(background); // the test's own look
    ASSERT_NE(picture, nullptr);
    set_background(BMP_BLANK_WHITE); // the same again: still one reference for the background
    EXPECT_EQ(picture->refcount, 3) << "the catalogue, the background and the test";
    zgl_unload_bitmap(BMP_BLANK_WHITE);
    EXPECT_EQ(picture->refcount, 2) << "the catalogue let go; the background still holds it";
    draw_background();
    EXPECT_GT(colour_at(nullptr, 160, 160).r, 240) << "an unloaded background keeps drawing";

    set_background(BMP_NONE);
    EXPECT_EQ(picture->refcount, 1) << "the background let go of the old picture";
    fill_rect({10, 20, 30, 0}, {0, 0, 320, 320});
    draw_background(); // no background: what was drawn stays
    EXPECT_TRUE(same_colour(colour_at(nullptr, 160, 160), {10, 20, 30, 0}));
    zgl_let_go(picture);
}

// ---- bitmap catalogue ------------------------------------------------------

class Bitmap_Test : public Game_Test {};

TEST_F(Bitmap_Test, EveryCatalogueFileLoads) {
    for (Bitmap_Id id = 900; id <= 1026; ++id) {
        if (!bitmap_file(id)) continue;
        EXPECT_NE(zgl_get_bitmap(id), nullptr) << bitmap_file(id);
    }
    EXPECT_EQ(zgl_get_bitmap(1010), nullptr) << "1010 has no file";
    EXPECT_EQ(zgl_get_bitmap(BMP_NONE), nullptr);
}

TEST_F(Bitmap_Test, DrawingAnUnrequestedPictureComplainsOnceThenDraws) {
    Stderr_Capture err;
    zgl_draw_bitmap(BMP_BLANK_WHITE, {0, 0});
    EXPECT_EQ(err.text(), "zgl_draw_bitmap -- Bitmap is not loaded!\n");
    EXPECT_GT(colour_at(nullptr, 100, 100).r, 240) << "drawn after the message";
    zgl_draw_bitmap(BMP_BLANK_WHITE, {0, 0});
    zgl_draw_bitmap_part(BMP_BLANK_WHITE, {0, 0, 4, 4}, {0, 0});
    EXPECT_EQ(err.count("zgl_draw_bitmap -- Bitmap is not loaded!\n"), 1);
}

TEST_F(Bitmap_Test, DrawingPartCopiesOnlyThePart) {
    zgl_get_bitmap(BMP_BLANK_WHITE);
    zgl_draw_bitmap_part(BMP_BLANK_WHITE, {0, 0, 4, 3}, {10, 20});
    EXPECT_GT(colour_at(nullptr, 13, 22).r, 240);
    EXPECT_TRUE(is_black(colour_at(nullptr, 14, 22)));
    EXPECT_TRUE(is_black(colour_at(nullptr, 13, 23)));
    EXPECT_TRUE(is_black(colour_at(nullptr, 9, 20)));
}

// A picture whose file is missing is reported by the first draw and never looked for again: a
// frame that draws it touches neither the disk nor the error stream.
TEST_F(Bitmap_Test, MissingPictureDrawsNothingIsReportedOnceAndNotTriedAgain) {
    use_media_without({"paused-320.bmp"});
    Stderr_Capture err;
    EXPECT_EQ(zgl_get_bitmap(BMP_PAUSED), nullptr);
    for (int i = 0; i < 3; ++i) {
        zgl_draw_bitmap(BMP_PAUSED, {0, 0});
        zgl_draw_bitmap_part(BMP_PAUSED, {0, 0, 4, 4}, {0, 0});
    }
    zgl_set_bitmap_alpha(BMP_PAUSED, 10);
    zgl_set_bitmap_colorkey(BMP_PAUSED, COLOR_BLACK);
    fs::create_symlink(fs::path(VEXTILE_MEDIA_DIR) / "paused-320.bmp", "media/paused-320.bmp");
    zgl_draw_bitmap(BMP_PAUSED, {0, 0});
    EXPECT_EQ(zgl_get_bitmap(BMP_PAUSED), nullptr) << "not tried again";
    EXPECT_EQ(err.text(), "zgl_draw_bitmap -- Bitmap is not loaded!\n");
    EXPECT_TRUE(is_black(colour_at(nullptr, 100, 160)));
}

TEST_F(Bitmap_Test, SizeNeverLoads) {
    EXPECT_EQ(zgl_bitmap_size(BMP_SIDEBAR).w, 0);
    EXPECT_EQ(zgl_bitmap_size(BMP_SIDEBAR).h, 0);
    zgl_get_bitmap(BMP_SIDEBAR);
    EXPECT_EQ(zgl_bitmap_size(BMP_SIDEBAR).w, 96);
    EXPECT_EQ(zgl_bitmap_size(BMP_SIDEBAR).h, 320);
}

TEST_F(Bitmap_Test, AlphaTwoFiftyFiveTurnsBlendingOff) {
    SDL_Surface* s = zgl_get_bitmap(BMP_BLANK_WHITE);
    ASSERT_NE(s, nullptr);
    zgl_set_bitmap_alpha(BMP_BLANK_WHITE, 128);
    EXPECT_TRUE(s->flags & SDL_SRCALPHA);
    EXPECT_EQ(s->format->alpha, 128);
    zgl_draw_bitmap(BMP_BLANK_WHITE, {0, 0});
    const SDL_Color half = colour_at(nullptr, 50, 50);
    EXPECT_GT(half.r, 100);
    EXPECT_LT(half.r, 160) << "half-blended over black";

    zgl_set_bitmap_alpha(BMP_BLANK_WHITE, 255);
    EXPECT_FALSE(s->flags & SDL_SRCALPHA);
    zgl_draw_bitmap(BMP_BLANK_WHITE, {0, 0});
    EXPECT_GT(colour_at(nullptr, 50, 50).r, 240);

    zgl_set_bitmap_alpha(BMP_BLANK_WHITE, 256 + 7); // only the low 8 bits count
    EXPECT_EQ(s->format->alpha, 7);
}

TEST_F(Bitmap_Test, ColourKeyMakesBlackTransparent) {
    zgl_get_bitmap(BMP_LIGHTNING_01);
    zgl_set_bitmap_colorkey(BMP_LIGHTNING_01, COLOR_BLACK);
    paint_screen(0, 90, 0);
    zgl_draw_bitmap(BMP_LIGHTNING_01, {0, 0});
    // The bolt picture is mostly black: most of the screen stays green.
    int green = 0;
    for (int x = 0; x < 320; x += 8)
        for (int y = 0; y < 320; y += 8)
            if (same_colour(colour_at(nullptr, x, y), {0, 90, 0, 0})) ++green;
    EXPECT_GT(green, 40 * 40 / 2);
}

TEST_F(Bitmap_Test, UnloadGivesAFreshSurfaceWithoutTheOldSettings) {
    // Held, as a holder that keeps the pointer beyond the unload holds it.
    SDL_Surface* old = zgl_hold(zgl_get_bitmap(BMP_PAUSED));
    ASSERT_NE(old, nullptr);
    zgl_set_bitmap_colorkey(BMP_PAUSED, COLOR_BLACK);
    zgl_set_bitmap_alpha(BMP_PAUSED, 40);
    zgl_unload_bitmap(BMP_PAUSED);
    EXPECT_EQ(zgl_bitmap_size(BMP_PAUSED).w, 0);
    SDL_Surface* fresh = zgl_get_bitmap(BMP_PAUSED);
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, old);
    EXPECT_FALSE(fresh->flags & SDL_SRCCOLORKEY);
    EXPECT_FALSE(fresh->flags & SDL_SRCALPHA);
    EXPECT_TRUE(old->flags & SDL_SRCCOLORKEY) << "the old surface stays valid for its holders";
    EXPECT_EQ(old->refcount, 1) << "the unload gave the catalogue's reference back";
    zgl_unload_bitmap(BMP_PAUSED);
    zgl_unload_bitmap(BMP_PAUSED); // no entry left: nothing more is given back
    EXPECT_EQ(old->refcount, 1);
    zgl_let_go(old);
}

TEST_F(Bitmap_Test, ReleaseAllGivesEveryReferenceBackAndKeepsHeldPictures) {
    SDL_Surface* held = zgl_hold(zgl_get_bitmap(BMP_SIDEBAR_LEVEL));
    SDL_Surface* watched = zgl_hold(zgl_get_bitmap(BMP_SIDEBAR_SCORE));
    ASSERT_NE(held, nullptr);
    ASSERT_NE(watched, nullptr);
    zgl_get_bitmap(1010); // an entry without a picture
    zgl_release_all();
    EXPECT_EQ(held->refcount, 1);
    EXPECT_EQ(watched->refcount, 1);
    EXPECT_EQ(zgl_bitmap_size(BMP_SIDEBAR_LEVEL).w, 0) << "the entries are gone";
    zgl_unload_bitmap(BMP_SIDEBAR_LEVEL); // what a state destroyed afterwards does
    EXPECT_EQ(held->refcount, 1);
    zgl_let_go(held);
    zgl_let_go(watched);
}

TEST_F(Bitmap_Test, TheBlockTextureIsHeldByTheApplication) {
    SDL_Surface* texture = block_texture();
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture, zgl_get_bitmap(BMP_BLOCK_TEX));
    EXPECT_EQ(texture->refcount, 2) << "the catalogue and the application";
    zgl_hold(texture); // watch it
    zgl_unload_bitmap(BMP_BLOCK_TEX);
    EXPECT_EQ(texture->refcount, 2) << "the application keeps its tiles";
    take_block_texture(); // a fresh texture; the old one is given back
    EXPECT_NE(block_texture(), texture);
    EXPECT_EQ(texture->refcount, 1);
    EXPECT_EQ(block_texture()->refcount, 2);
    zgl_let_go(texture);
}

// ---- sound catalogue -------------------------------------------------------

class Sound_Test : public Game_Test {};

TEST_F(Sound_Test, EverySoundLoadsSilently) {
    Stderr_Capture err;
    for (Sound_Id id = SND_BLOCK_HIT; id <= SND_KILLBLOX; ++id) {
        Mix_Chunk* chunk = load_sound(id);
        ASSERT_NE(chunk, nullptr) << sound_file(id);
        EXPECT_EQ(chunk->volume, MIX_MAX_VOLUME);
        EXPECT_EQ(load_sound(id), chunk) << "loaded once";
    }
    EXPECT_EQ(err.text(), "");
}

TEST_F(Sound_Test, PlayingBeforeLoadingComplainsThenPlays) {
    Stderr_Capture err;
    play_sound(SND_UI_CLICK);
    EXPECT_EQ(err.text(), "sound not loaded!\n");
    EXPECT_EQ(sound_play_count(SND_UI_CLICK), 1);
    play_sound(SND_UI_CLICK); // overlapping plays take two channels
    EXPECT_EQ(err.count("sound not loaded!\n"), 1);
    EXPECT_EQ(sound_play_count(SND_UI_CLICK), 2);
    EXPECT_GE(Mix_Playing(-1), 1);
}

TEST_F(Sound_Test, MissingSoundsAreReportedOnceForTheWholeRun) {
    use_media_without({"quake.wav"});
    Stderr_Capture err;
    for (Sound_Id id : {SND_QUAKE, Sound_Id(4242)}) { // a missing file and an id without one
        EXPECT_EQ(load_sound(id), nullptr);
        EXPECT_EQ(load_sound(id), nullptr);
        play_sound(id);
        play_sound(id);
        EXPECT_EQ(sound_play_count(id), 0);
    }
    EXPECT_EQ(err.count("Couldn't load requested sound file: "), 2) << err.text();
    EXPECT_EQ(err.count("sound not loaded!\n"), 4);
}

TEST_F(Sound_Test, ReleaseAllFreesTheChunksAndTheNextPlayLoadsAgain) {
    ASSERT_NE(load_sound(SND_UI_CLICK), nullptr);
    play_sound(SND_UI_CLICK); // still playing when its chunk goes
    sound_release_all();
    Stderr_Capture err;
    play_sound(SND_UI_CLICK);
    EXPECT_EQ(err.text(), "sound not loaded!\n") << "the entry went with the chunk";
    EXPECT_EQ(sound_play_count(SND_UI_CLICK), 2);
    Mix_HaltChannel(-1);
}

TEST_F(Sound_Test, SeventeenthSoundFindsNoChannel) {
    for (Sound_Id id = SND_BLOCK_HIT; id <= SND_KILLBLOX; ++id)
        load_sound(id);
    Mix_HaltChannel(-1);
    for (int i = 0; i < 17; ++i)
        play_sound(SND_QUAKE); // 1.4 s each: all still playing
    EXPECT_EQ(Mix_Playing(-1), 16);
    Mix_HaltChannel(-1);
}

} // namespace
