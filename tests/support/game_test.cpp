#include "game_test.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "media/bitmaps.h"
#include "media/sounds.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/play_record.h"
#include "play/sidebar.h"
#include "play/well.h"
#include "store/options_file.h"

#include <cstdlib>

namespace {

bool start_sdl_once() {
    static bool started = false;
    if (started) return true;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    started = app.start_video();
    return started;
}

} // namespace

void Game_Test::SetUp() {
    dir = std::make_unique<Temp_Dir>();
    ASSERT_TRUE(start_sdl_once()) << "SDL, the screen or the game font could not start";

    zgl_release_all();
    sound_forget_all();
    forget_all_texts();
    set_background(BMP_NONE);

    app.enter_state(STATE_NONE);
    app.set_sidebar(nullptr);
    game.clear_quit();
    game.text_entry = false;
    set_frame_seconds(0.001);
    game.options = Options_Record();
    default_options(&game.options);
    take_block_texture();
    ASSERT_EQ(block_size(), 16) << "the generated block texture should be 16 pixels high";

    play_record = Play_Record();
    if (!Grid_Field_Surface::well_surface) {
        ASSERT_TRUE(Grid_Field_Surface::create_well_surface());
    }
    play_record.grid.redraw_region(0, 0, GRID_COLS, GRID_ROWS);
    paint_screen(0, 0, 0);
}

void Game_Test::TearDown() {
    app.enter_state(STATE_NONE);
    app.set_sidebar(nullptr);
    game.text_entry = false;
    // Nothing the test loaded outlives it, so what is left at the end is a leak.
    set_background(BMP_NONE);
    zgl_release_all();
    sound_forget_all();
    forget_all_texts();
    dir.reset();
}

namespace {

double test_frame_seconds = 0.001;

} // namespace

double Game_Test::frame_seconds() {
    return test_frame_seconds;
}

void Game_Test::set_frame_seconds(double seconds) {
    test_frame_seconds = seconds;
}

SDL_Color colour_at(SDL_Surface* surface, int x, int y) {
    if (!surface) surface = get_screen();
    SDL_Color c = {0, 0, 0, 0};
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h) return c;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    const int bpp = surface->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
    Uint32 pixel = 0;
    switch (bpp) {
    case 1:
        pixel = *p;
        break;
    case 2:
        pixel = *reinterpret_cast<const Uint16*>(p);
        break;
    case 3:
        pixel = Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16;
        break;
    default:
        pixel = *reinterpret_cast<const Uint32*>(p);
        break;
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_GetRGB(pixel, surface->format, &c.r, &c.g, &c.b);
    return c;
}

bool same_colour(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

void paint_screen(Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* s = get_screen();
    if (s) SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
}
