// The bitmap catalogue: every picture of the game (but the font) by id, loaded on first request.
#pragma once

#include <SDL/SDL.h>

#include <cstdint>

using Bitmap_Id = int32_t;

struct Point {
    int32_t x, y;
};

struct Rect {
    int32_t x, y, w, h;
};

struct Size {
    int32_t w, h;
};

// Rect and Point as SDL wants them (16-bit fields, cut, not clamped).
SDL_Rect to_sdl_rect(Rect rect);

constexpr Bitmap_Id BMP_NONE = 0;
constexpr Bitmap_Id BMP_ICON = 900;
constexpr Bitmap_Id BMP_DEFAULT_BG = 1000;
constexpr Bitmap_Id BMP_TITLE = 1001;
constexpr Bitmap_Id BMP_SIDEBAR = 1002;
constexpr Bitmap_Id BMP_BLOCK_TEX = 1003;
constexpr Bitmap_Id BMP_BUTTON_START_GAME = 1004;
constexpr Bitmap_Id BMP_BUTTON_OPTIONS = 1005;
constexpr Bitmap_Id BMP_BUTTON_HIGH_SCORES = 1006;
constexpr Bitmap_Id BMP_BUTTON_OK = 1007;
constexpr Bitmap_Id BMP_BUTTON_KING = 1008;
constexpr Bitmap_Id BMP_BUTTON_CANCEL = 1009;
constexpr Bitmap_Id BMP_BUTTON_ABOUT = 1011;
constexpr Bitmap_Id BMP_CHECKBOX0 = 1012;
constexpr Bitmap_Id BMP_CHECKBOX1 = 1013;
constexpr Bitmap_Id BMP_GAME_OVER = 1014;
constexpr Bitmap_Id BMP_PAUSED = 1015;
constexpr Bitmap_Id BMP_FIRE = 1016;
constexpr Bitmap_Id BMP_LIGHTNING_01 = 1017;
constexpr Bitmap_Id BMP_BLANK_WHITE = 1018;
constexpr Bitmap_Id BMP_SIDEBAR_NEXT = 1019;
constexpr Bitmap_Id BMP_SIDEBAR_NEXTBOX = 1020;
constexpr Bitmap_Id BMP_SIDEBAR_LEVEL = 1021;
constexpr Bitmap_Id BMP_SIDEBAR_SCORE = 1022;
constexpr Bitmap_Id BMP_SIDEBAR_FLARE = 1023;
constexpr Bitmap_Id BMP_MAKER_LOGO = 1024;
constexpr Bitmap_Id BMP_SDL_LOGO = 1025;
constexpr Bitmap_Id BMP_TEXT_BACKGROUND = 1026;

// File name of a catalogue id in the media folder (media_file gives its path), or null for an id
// without a file.
const char* bitmap_file(Bitmap_Id id);

// The surface of the id, loading its file on the first request; none when there is no picture. A
// file found missing is not looked for again, and only the first draw of it says so.
SDL_Surface* zgl_get_bitmap(Bitmap_Id id);
// Draws the whole picture with its top left corner at the point; target none means the screen.
void zgl_draw_bitmap(Bitmap_Id id, Point point, SDL_Surface* target = nullptr);
// Draws the part `source` of the picture at the point.
void zgl_draw_bitmap_part(Bitmap_Id id, Rect source, Point point, SDL_Surface* target = nullptr);
// Per-surface alpha; 255 switches blending off.
void zgl_set_bitmap_alpha(Bitmap_Id id, int alpha);
// Transparent colour (with run-length acceleration).
void zgl_set_bitmap_colorkey(Bitmap_Id id, SDL_Color colour);
// Size of a loaded picture, (0, 0) otherwise; never loads.
Size zgl_bitmap_size(Bitmap_Id id);
// Drops the entry and the catalogue's reference to its surface: a picture nobody else holds is
// freed, one that a holder took (zgl_hold) stays valid until that holder lets go.
void zgl_unload_bitmap(Bitmap_Id id);
// Unloads every entry and forgets which files were missing (when the game shuts its media down,
// and between tests).
void zgl_release_all();

// A surface handed out by the catalogue is the catalogue's; whoever keeps the pointer beyond the
// current call takes a reference of its own with zgl_hold and gives it back with zgl_let_go.
// Surfaces count their holders (SDL's refcount): a picture is freed when the last one lets go.
SDL_Surface* zgl_hold(SDL_Surface* picture);
// Gives a held surface back and clears the pointer; none is allowed.
void zgl_let_go(SDL_Surface*& picture);
