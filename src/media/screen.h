// The surface the game draws on: 320 x 320 pixels, whatever size the window shows it at.
#pragma once

#include <SDL/SDL.h>

#include <cstdint>

constexpr uint16_t SCREEN_WIDTH = 320;
constexpr uint16_t SCREEN_HEIGHT = 320;

// The window's own surface while the window shows the picture at its size; otherwise an off-screen
// picture that the flip scales into the window. None before the video starts and after it stops.
// A switch to or from fullscreen may replace it: holders read it afresh for every frame.
extern SDL_Surface* screen;

SDL_Surface* get_screen();
