// The window, the screen surface, the per-frame background, the game font and the few drawing
// primitives that are not about catalogue bitmaps.
#pragma once

#include "media/bitmaps.h"

#include <SDL/SDL.h>

#include <cstdint>

struct SFont_Font;

constexpr uint16_t SCREEN_WIDTH = 320;
constexpr uint16_t SCREEN_HEIGHT = 320;

using Colour = SDL_Color; // only r, g and b are used

extern const Colour COLOR_BLACK; // 0, 0, 0
extern const Colour COLOR_WHITE; // 250, 250, 250

extern SDL_Surface* screen;     // the window surface, or none
extern SDL_Surface* background; // catalogue bitmap drawn under every frame (held), or none
extern SFont_Font* game_font;   // the one font of the game (owned)

extern const char* const FONT_FILE; // "./media/vextile_font-320.bmp"

// Starts SDL, the window (caption and icon), the font and the audio device. Answers whether
// everything including audio is up; the caller checks the screen and font for the fatal cases.
bool video_init(const char* caption, Bitmap_Id icon_id);
// Frees what the media still hold, closes the audio device and stops SDL: the last step of the
// game's shutdown, once every state and holder of a picture has gone.
void video_shutdown();
SDL_Surface* get_screen();
void set_background(Bitmap_Id id);
void draw_background();
void fill_rect(Colour colour, Rect rect, SDL_Surface* target = nullptr);
SDL_Surface* create_surface(int width, int height);
void free_surface(SDL_Surface* surface);
void flip_screen();
