// How the 320 x 320 picture is shown: in a window at a whole-number scale, or fullscreen, scaled
// by the largest whole number that fits and centred on black. The game draws at 320 x 320 as
// ever; only the flip scales, nearest neighbour, and pointer positions are mapped back.
#pragma once

#include "media/screen.h"

#include <SDL/SDL.h>

constexpr int MAX_WINDOW_SCALE = 4;

// What the player asked for.
struct Display_Request {
    int scale = 0; // 1 to MAX_WINDOW_SCALE for the window; 0 chooses one from the desktop
    bool fullscreen = false;
};

// Where the picture lies in the window: each of its pixels a scale x scale square, its top left
// corner at (x, y) of a window (or fullscreen mode) of width x height.
struct View {
    int scale = 1;
    int x = 0;
    int y = 0;
    int width = SCREEN_WIDTH;
    int height = SCREEN_HEIGHT;
    bool fullscreen = false;
};

// The largest window scale up to MAX_WINDOW_SCALE whose window is at most three quarters of the
// desktop's height; 1 when none is (or the height is unknown, 0).
int choose_window_scale(int desktop_height);
View window_view(int scale);
// The desktop filled, the picture at the largest scale that fits, centred. A desktop of unknown
// size (0) or smaller than the picture gets the window's size at window_scale instead.
View fullscreen_view(int desktop_width, int desktop_height, int window_scale);
// Whether the game can draw straight into the window: a window at scale 1.
bool is_direct(const View& view);

// The screen pixel under a window position, or false when the position lies outside the picture
// (on the black border).
bool window_to_screen(const View& view, int window_x, int window_y, int* x, int* y);

// Copies the picture into the window at the view's place and scale, each pixel a square. Both
// surfaces have the same pixel format and are locked by the caller where they must be; the border
// is left as it is.
void scale_picture(const SDL_Surface* picture, SDL_Surface* window, const View& view);
