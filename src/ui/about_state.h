// The about screen: who made the game and where to find more, until a key or a click.
#pragma once

#include "game/game_state.h"

class About_State : public Game_State {
  public:
    About_State();
    ~About_State() override;
    void do_frame(double seconds) override;
    bool handle_command(Command command, const char* text) override;
    bool handle_mouse(Mouse_Action action, int x, int y) override;
};
