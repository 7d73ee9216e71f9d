#include "media/video.h"

#include "media/pixel_copy.h"
#include "media/sounds.h"
#include "sfont/sfont.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

const Colour COLOR_BLACK = {0, 0, 0, 0};
const Colour COLOR_WHITE = {250, 250, 250, 0};

SDL_Surface* screen = nullptr;
SDL_Surface* background = nullptr;
SFont_Font* game_font = nullptr;

const char* const FONT_FILE = "./media/vextile_font-320.bmp";

namespace {

void set_window_icon(Bitmap_Id icon_id) {
    SDL_Surface* icon = zgl_get_bitmap(icon_id);
    if (!icon) return;
    SDL_WM_SetIcon(icon, nullptr);
    // Nothing draws the icon later (SDL keeps its own copy): unloading frees the surface.
    zgl_unload_bitmap(icon_id);
}

SFont_Font* load_font(const char* path) {
    SDL_RWops* file = SDL_RWFromFile(path, "rb");
    if (!file) return nullptr;
    return SFont_InitFont(SDL_LoadBMP_RW(file, 1));
}

} // namespace

bool video_init(const char* caption, Bitmap_Id icon_id) {
    srand(static_cast<unsigned>(time(nullptr)));
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "Unable to init SDL: %s\n", SDL_GetError());
        return false;
    }
    if (caption) SDL_WM_SetCaption(caption, caption);
    set_window_icon(icon_id);

    screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
    if (!screen) {
        fprintf(stderr, "Unable to set %dx%d video: %s\n", SCREEN_WIDTH, SCREEN_HEIGHT,
                SDL_GetError());
        return false;
    }
    game_font = load_font(FONT_FILE);
    if (!game_font) {
        fprintf(stderr, "Unable to load font file: %s\n", FONT_FILE);
        return false;
    }
    return audio_init();
}

// Undoes video_init, also one that stopped half way: the background, the font, every picture
// and sound the catalogues still hold, the audio device, then SDL itself.
void video_shutdown() {
    zgl_let_go(background);
    screen = nullptr;
    if (game_font) {
        SFont_FreeFont(game_font);
        game_font = nullptr;
    }
    zgl_release_all();
    sound_release_all();
    audio_shutdown();
    SDL_Quit();
}

SDL_Surface* get_screen() {
    return screen;
}

// The background holds its picture: it keeps drawing after the picture's entry is unloaded.
void set_background(Bitmap_Id id) {
    SDL_Surface* picture = zgl_hold(zgl_get_bitmap(id));
    zgl_let_go(background);
    background = picture;
}

void draw_background() {
    if (!background || !screen) return;
    const int result = blit_surface(background, nullptr, screen, nullptr);
    if (result == -2)
        fprintf(stderr, "lost video surface... grabbing again\n");
    else if (result == -1)
        fprintf(stderr, "unsuccessful blit of background to drawing surface!\n");
}

void fill_rect(Colour colour, Rect rect, SDL_Surface* target) {
    if (!screen) return;
    SDL_Surface* surface = target ? target : screen;
    SDL_Rect r = to_sdl_rect(rect);
    fill_surface(surface, &r, SDL_MapRGB(screen->format, colour.r, colour.g, colour.b));
}

SDL_Surface* create_surface(int width, int height) {
    if (!screen) return nullptr;
    const SDL_PixelFormat* f = screen->format;
    return SDL_CreateRGBSurface(SDL_HWSURFACE, width, height, f->BitsPerPixel, f->Rmask, f->Gmask,
                                f->Bmask, f->Amask);
}

void free_surface(SDL_Surface* surface) {
    SDL_FreeSurface(surface);
}

void flip_screen() {
    if (screen) SDL_Flip(screen);
}
