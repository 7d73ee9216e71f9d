// Fixture for tests that need the game's world: SDL with the dummy video and audio drivers (started
// once per test program, with the 320 x 320 screen and the game font), and for every test a fresh
// temporary working directory whose "media" links to the generated media, fresh catalogues, a fresh
// play record, default options and no current state.
#pragma once

#include "test_support.h"

#include <SDL/SDL.h>

#include <memory>

class Game_Test : public ::testing::Test {
  public:
    // The duration of the frames the tests run: 0.001 s unless the test sets another.
    static double frame_seconds();

  protected:
    void SetUp() override;
    void TearDown() override;

    static void set_frame_seconds(double seconds);

    std::unique_ptr<Temp_Dir> dir;
};

// Pixel colour of a surface (the screen when null) as 8-bit r, g, b.
SDL_Color colour_at(SDL_Surface* surface, int x, int y);
bool same_colour(SDL_Color a, SDL_Color b);
// Fills the whole screen with one colour.
void paint_screen(Uint8 r, Uint8 g, Uint8 b);
