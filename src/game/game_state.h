// The screen states of the game: one is current at a time, owned by the application.
#pragma once

#include "game/commands.h"

#include <cstdint>

// A state's id is what the saved game records of the screen it was closed in.
using State_Id = int32_t;

constexpr State_Id STATE_NONE = -1;
constexpr State_Id STATE_SPLASH = 0;
constexpr State_Id STATE_MAIN_MENU = 1;
constexpr State_Id STATE_PLAY = 2;
constexpr State_Id STATE_KILL_ROWS = 3;
constexpr State_Id STATE_EARTH = 4;
constexpr State_Id STATE_ICE = 5;
constexpr State_Id STATE_FIRE = 6;
constexpr State_Id STATE_LIGHTNING = 7;
constexpr State_Id STATE_SCORE_INPUT = 8;
constexpr State_Id STATE_SCORE_LIST = 9;
constexpr State_Id STATE_OPTIONS = 10;
constexpr State_Id STATE_ABOUT = 11;
constexpr State_Id STATE_COUNT = 12;

class Game_State {
  public:
    virtual ~Game_State() = default;
    // One frame, `seconds` after the previous one began: called after the background is drawn
    // and before the flip. Every timer, blink and slide of the state runs on these seconds.
    virtual void do_frame(double seconds) = 0;
    // text is null except for CMD_CHAR, where it points at the one typed character.
    virtual bool handle_command(Command command, const char* text) = 0;
    virtual bool handle_mouse(Mouse_Action action, int x, int y) = 0;
};
