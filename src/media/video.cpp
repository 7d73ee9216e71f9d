#include "media/video.h"

#include "media/media_folder.h"
#include "media/pixel_copy.h"
#include "media/sounds.h"
#include "sfont/sfont.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

const Colour COLOR_BLACK = {0, 0, 0, 0};
const Colour COLOR_WHITE = {250, 250, 250, 0};

SDL_Surface* screen = nullptr;
SDL_Surface* background = nullptr;
SFont_Font* game_font = nullptr;

const char* const FONT_FILE_NAME = "vextile_font-320.bmp";

namespace {

SDL_Surface* window = nullptr;  // SDL's video surface
SDL_Surface* picture = nullptr; // the off-screen screen while the flip scales (owned)
View view;
int window_scale = 1;
Size desktop = {0, 0};
// Flips left that clear the whole window first: both buffers of a double-buffered mode get their
// black border.
int border_clears = 0;

constexpr int BORDER_CLEARS = 2;

// The screen's pixels as flip_changed_screen last showed them (empty: show the next frame), and
// the frames since then that it did not show. A still picture is shown again now and then all the
// same, in case a display lost it without telling.
std::vector<Uint8> shown;
int still_frames = 0;
constexpr int STILL_FLIP_FRAMES = 30;

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

// What SDL says of the desktop before any video mode is set (it reports the mode's size after).
void read_desktop_size() {
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    desktop = info ? Size{info->current_w, info->current_h} : Size{0, 0};
}

// A 320 x 320 surface in the format of the given one, as a copy of its top left corner.
SDL_Surface* copy_picture(SDL_Surface* from) {
    const SDL_PixelFormat* f = from->format;
    SDL_Surface* copy =
        SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_WIDTH, SCREEN_HEIGHT, f->BitsPerPixel, f->Rmask,
                             f->Gmask, f->Bmask, f->Amask);
    if (copy) SDL_BlitSurface(from, nullptr, copy, nullptr);
    return copy;
}

bool same_format(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->BitsPerPixel == b->BitsPerPixel && a->Rmask == b->Rmask && a->Gmask == b->Gmask &&
           a->Bmask == b->Bmask;
}

// After a new video mode: the game draws straight into a window at scale 1, else into the
// off-screen picture, in the window's format (made afresh, or converted when the format changed).
void attach_screen() {
    if (is_direct(view)) {
        if (picture) {
            SDL_BlitSurface(picture, nullptr, window, nullptr);
            SDL_FreeSurface(picture);
            picture = nullptr;
        }
        screen = window;
        return;
    }
    if (!picture) {
        picture = copy_picture(window);
    } else if (!same_format(picture->format, window->format)) {
        SDL_Surface* converted = copy_picture(window);
        if (converted) SDL_BlitSurface(picture, nullptr, converted, nullptr);
        SDL_FreeSurface(picture);
        picture = converted;
    }
    screen = picture;
    const bool bordered =
        view.width > SCREEN_WIDTH * view.scale || view.height > SCREEN_HEIGHT * view.scale;
    border_clears = bordered ? BORDER_CLEARS : 0;
}

bool set_mode(const View& next) {
    const Uint32 flags = SDL_HWSURFACE | SDL_DOUBLEBUF | (next.fullscreen ? SDL_FULLSCREEN : 0);
    SDL_Surface* const result = SDL_SetVideoMode(next.width, next.height, 32, flags);
    if (!result) {
        fprintf(stderr, "Unable to set %dx%d video: %s\n", next.width, next.height, SDL_GetError());
        return false;
    }
    window = result;
    view = next;
    attach_screen();
    return true;
}

void show_picture() {
    if (border_clears > 0) {
        --border_clears;
        SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 0, 0, 0));
    }
    if (SDL_MUSTLOCK(window) && SDL_LockSurface(window) < 0) return;
    scale_picture(picture, window, view);
    if (SDL_MUSTLOCK(window)) SDL_UnlockSurface(window);
}

} // namespace

bool video_init(const char* caption, Bitmap_Id icon_id, Display_Request request) {
    srand(static_cast<unsigned>(time(nullptr)));
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "Unable to init SDL: %s\n", SDL_GetError());
        return false;
    }
    if (caption) SDL_WM_SetCaption(caption, caption);
    set_window_icon(icon_id);

    read_desktop_size();
    window_scale = request.scale > 0 ? request.scale : choose_window_scale(desktop.h);
    // A fullscreen mode refused still leaves the window.
    if (!video_set_display({window_scale, request.fullscreen}) &&
        !(request.fullscreen && video_set_display({window_scale, false})))
        return false;

    const std::string font_path = media_file(FONT_FILE_NAME);
    game_font = load_font(font_path.c_str());
    if (!game_font) {
        fprintf(stderr, "Unable to load font file: %s\n", font_path.c_str());
        return false;
    }
    return audio_init();
}

bool video_set_display(Display_Request request) {
    const int scale =
        std::clamp(request.scale > 0 ? request.scale : window_scale, 1, MAX_WINDOW_SCALE);
    const View next =
        request.fullscreen ? fullscreen_view(desktop.w, desktop.h, scale) : window_view(scale);
    // SDL replaces the window's surface: a picture drawn straight into it is copied aside first.
    if (window && screen == window) picture = copy_picture(window);
    const View previous = view;
    const bool had_window = window != nullptr;
    if (!set_mode(next)) {
        // Back to what was shown, if there was anything; else the game draws off-screen unseen.
        if (!(had_window && set_mode(previous))) {
            window = SDL_GetVideoSurface();
            screen = picture;
        }
        return false;
    }
    window_scale = scale; // the window's scale, also while fullscreen, for the way back
    refresh_display();
    return true;
}

bool video_toggle_fullscreen() {
    return video_set_display({0, !view.fullscreen});
}

const View& video_view() {
    return view;
}

Size desktop_size() {
    return desktop;
}

// Undoes video_init, also one that stopped half way: the background, the font, every picture
// and sound the catalogues still hold, the audio device, then SDL itself.
void video_shutdown() {
    zgl_let_go(background);
    shown = std::vector<Uint8>();
    screen = nullptr;
    window = nullptr;
    if (picture) {
        SDL_FreeSurface(picture);
        picture = nullptr;
    }
    view = View();
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
    SDL_Surface* new_background = zgl_hold(zgl_get_bitmap(id));
    zgl_let_go(background);
    background = new_background;
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

namespace {

void show_frame() {
    if (screen != window) show_picture();
    SDL_Flip(window);
}

} // namespace

void flip_screen() {
    if (!screen || !window) return;
    shown.clear(); // what the display shows is no longer what flip_changed_screen showed
    show_frame();
}

void flip_changed_screen() {
    if (!screen || !window) return;
    if (!SDL_MUSTLOCK(screen) || SDL_LockSurface(screen) == 0) {
        const auto* pixels = static_cast<const Uint8*>(screen->pixels);
        const size_t size = size_t(screen->pitch) * size_t(screen->h);
        const bool still = shown.size() == size && std::memcmp(shown.data(), pixels, size) == 0;
        if (!still) shown.assign(pixels, pixels + size);
        if (SDL_MUSTLOCK(screen)) SDL_UnlockSurface(screen);
        if (still && ++still_frames < STILL_FLIP_FRAMES) return;
    }
    still_frames = 0;
    show_frame();
}

void refresh_display() {
    shown.clear();
}
