// The application: starts the game, runs the main loop, turns SDL's events into calls on the
// current state, makes the switches between states that the states ask for, and shuts the game
// down.
#pragma once

#include "app/frame_clock.h"
#include "app/gamepad.h"
#include "game/game_state.h"
#include "media/display.h"

#include <SDL/SDL.h>

#include <memory>

class Sidebar;

class Vextile_SDL {
  public:
    Vextile_SDL();
    ~Vextile_SDL();

    // The start: false when it must end (no screen or no font), with what it started stopped.
    bool init();
    // Runs the main loop until the window is closed or the game asks to end.
    void run();
    // Undoes the start in reverse: close_game, then close_play_area, then the pad, the media and
    // SDL.
    void shutdown();

    // The steps of init, usable one by one (tests build the world step by step).
    bool start_video();       // SDL, window, font, audio, pad; false when the start must end
    void load_records();      // options and saved game
    void build_play_area();   // well surface and its repaint, sidebar
    void enter_saved_state(); // the recorded state, or the splash
    // The steps of shutdown. First the game in progress goes into the saved-game file for the
    // next start, unless the game asked to end (Escape on the main menu keeps the saved game that
    // the menu wrote), and the state and the sidebar go.
    void close_game();
    void close_play_area(); // the well surface and the block texture
    // The game in progress, paused, into the saved-game file, so that the next start resumes it in
    // the same screen.
    void save_game_for_next_start();

    // Makes the switch that a state asked for, if any: destroys the current state, builds the new
    // one and records its id in the play record. The main loop calls it after every handler and
    // every frame; whoever drives the states by hand calls it after theirs.
    void apply_pending_switch();
    // Asks for the state of the id and switches to it at once.
    void enter_state(State_Id id);

    // Gives the game the sidebar it draws (or none); the context's pointer follows it.
    void set_sidebar(std::unique_ptr<Sidebar> panel);

    // What the main loop does with a command, a mouse action or a frame: hands it to the current
    // state and makes the switch the state asked for. The handlers answer what the state answered
    // (false without a state).
    bool send_command(Command command, const char* text = nullptr);
    bool send_mouse(Mouse_Action action, int x, int y);
    void state_frame(double seconds);

    // Input mapping: turns one SDL event into calls on the current state and makes the switch it
    // asks for. Returns false for SDL_QUIT and once the game has asked to end.
    bool dispatch_event(const SDL_Event& event);
    // A mouse event at a window position: handed on at the screen pixel under it, if any.
    void window_mouse(Mouse_Action action, int window_x, int window_y);
    void key_down(const SDL_keysym& key);
    void key_up(const SDL_keysym& key);
    bool handle_text_key(const SDL_keysym& key);
    // A joystick event: the keys it stands for, through key_down and key_up.
    void pad_event(const SDL_Event& event);
    // The window lost the keyboard or was minimised: a game in play is paused, its keys let go.
    void focus_lost();
    // Hands every pending event to the current state; false once the window is closed or the game
    // has asked to end.
    bool take_events();
    // One frame, seconds after the previous one began: background, the state's frame, the switch
    // it asked for, flip.
    void run_frame(double seconds);

    std::unique_ptr<Game_State> state; // the current screen, or none
    Frame_Clock frame_clock;           // paces run() and measures the frame times
    Display_Request display;           // how start_video shows the picture
    Gamepad gamepad;

  private:
    std::unique_ptr<Sidebar> sidebar_; // owned here, seen by the states through the context
};

// The one application object of the process.
extern Vextile_SDL app;
