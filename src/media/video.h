// The window, the screen surface, the per-frame background, the game font and the few drawing
// primitives that are not about catalogue bitmaps.
#pragma once

#include "media/bitmaps.h"
#include "media/display.h"
#include "media/screen.h"

#include <SDL/SDL.h>

#include <cstdint>

struct SFont_Font;

using Colour = SDL_Color; // only r, g and b are used

extern const Colour COLOR_BLACK; // 0, 0, 0
extern const Colour COLOR_WHITE; // 250, 250, 250

extern SDL_Surface* background; // catalogue bitmap drawn under every frame (held), or none
extern SFont_Font* game_font;   // the one font of the game (owned)

extern const char* const FONT_FILE_NAME; // "vextile_font-320.bmp", in the media folder

// Starts SDL, the window (caption and icon) as the request asks, the font and the audio device.
// Answers whether everything including audio is up; the caller checks the screen and font for the
// fatal cases.
bool video_init(const char* caption, Bitmap_Id icon_id, Display_Request request = {});
// Shows the picture another way: scale 0 keeps the window's scale. The picture on the screen is
// kept. On failure the display is as it was, as far as SDL allows, and the answer is false.
bool video_set_display(Display_Request request);
// Fullscreen to window and back.
bool video_toggle_fullscreen();
// How the picture is shown now.
const View& video_view();
// The desktop's size as SDL reported it before the first video mode (0 x 0 when it does not say).
Size desktop_size();
// Frees what the media still hold, closes the audio device and stops SDL: the last step of the
// game's shutdown, once every state and holder of a picture has gone.
void video_shutdown();
SDL_Surface* get_screen();
void set_background(Bitmap_Id id);
void draw_background();
void fill_rect(Colour colour, Rect rect, SDL_Surface* target = nullptr);
SDL_Surface* create_surface(int width, int height);
void free_surface(SDL_Surface* surface);
// Shows the finished frame: the window's own flip, after the picture is scaled into it when the
// game draws off-screen.
void flip_screen();
// Shows the finished frame as flip_screen does, but only when it differs from the frame this
// showed last: a picture that stands still costs the display nothing. It is shown all the same on
// every 30th frame, after flip_screen showed another, and after refresh_display.
void flip_changed_screen();
// The next frame is shown whatever it holds (the window was exposed or made afresh).
void refresh_display();
