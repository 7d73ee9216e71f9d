// Fixture for tests that need the game's world: the headless game (SDL on its dummy drivers,
// started once per test program) built afresh for every test, as the game's start builds it, in a
// fresh temporary working directory whose "media" links to the generated media: default options, a
// fresh play record, the well, the sidebar and the splash as the current state; the screen painted
// black.
#pragma once

#include "test_support.h"

// What nearly every test of the world drives and reads.
#include "app/vextile.h"
#include "game/game_context.h"
#include "play/play_record.h"

#include <SDL/SDL.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

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

// A screen that writes down everything it is handed: commands, the characters typed, mouse events.
struct Recorder : Game_State {
    std::vector<Command> commands;
    std::string typed;      // the characters of CMD_CHAR
    std::vector<int> mouse; // action, x, y
    void do_frame(double) override {}
    bool handle_command(Command command, const char* text) override;
    bool handle_mouse(Mouse_Action action, int x, int y) override;
};

// Pixel colour of a surface (the screen when null) as 8-bit r, g, b.
SDL_Color colour_at(SDL_Surface* surface, int x, int y);
bool same_colour(SDL_Color a, SDL_Color b);
// Fills the whole screen with one colour.
void paint_screen(Uint8 r, Uint8 g, Uint8 b);

// The well's rows from `first` to `last`, a character a cell ('.' empty, else the tile in hex),
// each row ended by '/'.
std::string well_text(int first = 0, int last = 19);
// Sets the well's lowest rows from strings of 14 characters: a tile's digit, or '.' for a cell left
// as it is.
void put_rows(const std::vector<const char*>& rows);

// Compares the surface (the screen when null) pixel by pixel with the golden picture
// tests/golden/NAME.png. Answers "" when they match; else what differs, and where the picture and a
// difference image (differing pixels red over a faint copy) were written for a look. With
// VEXTILE_GOLDEN_UPDATE=1 in the environment (`make golden`) it writes the golden picture instead.
std::string golden_difference(const std::string& name, SDL_Surface* surface = nullptr);
