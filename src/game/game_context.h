// What a state may reach of the game around it: the switch to another state, the end of the game,
// the keyboard's mode, the options and the sidebar. The application owns the states and the
// sidebar and makes the switches; this is the part of it that the states see.
#pragma once

#include "game/game_state.h"
#include "store/options_file.h"

class Sidebar;

class Game_Context {
  public:
    // Asks for the state of the id (none for an id without a state). The switch is made once the
    // handler or the frame that asked has returned: the current state is destroyed, then the new
    // one is built, and the id goes into the play record. A later call in the same handler wins.
    void change_state(State_Id id);
    // Asks for the game to end once the handler has returned, leaving the saved game as it is.
    void request_quit();

    // The switch asked for and not yet made: answers false when there is none, else gives its id
    // and forgets it (the application, which makes it, takes it).
    bool take_switch(State_Id* id);
    bool quit_requested() const { return quit_requested_; }
    // Forgets a quit asked for (a new run of the main loop).
    void clear_quit() { quit_requested_ = false; }

    bool text_entry = false;    // the keyboard serves typing
    Options_Record options;     // the user's options
    Sidebar* sidebar = nullptr; // the panel right of the well, when the game has one

  private:
    State_Id next_state_ = STATE_NONE;
    bool switch_asked_ = false;
    bool quit_requested_ = false;
};

// The one context of the process.
extern Game_Context game;
