// The application object: owns the current state, runs the main loop and holds what every screen
// reads (frame time, text-entry mode, block geometry, options, sidebar).
#pragma once

#include "app/frame_clock.h"
#include "app/game_state.h"
#include "store/options_file.h"

#include <SDL/SDL.h>

#include <memory>

class Sidebar;

class Vextile {
  public:
    Vextile();
    virtual ~Vextile();
    virtual bool init() = 0;
    virtual void shutdown() = 0;
    virtual void run() = 0;

    // Destroys the current state (if any), then builds the state of the id (none for an unknown
    // id) and records the id in the play record. Safe to call from inside the current state's
    // handlers: the caller must not touch its own members afterwards.
    void change_state(State_Id id);

    std::unique_ptr<Game_State> state; // the current screen, or none
    double frame_seconds = 0.0;        // seconds since the previous frame started
    bool text_entry = false;           // the keyboard serves typing
    int32_t block_size = 0;            // side of one block tile in pixels
    Options_Record options;            // the user's options
    std::unique_ptr<Sidebar> sidebar;  // created by init, kept for the life of the process
};

class Vextile_SDL : public Vextile {
  public:
    Vextile_SDL();
    ~Vextile_SDL() override;
    bool init() override;
    void shutdown() override;
    void run() override;

    // The steps of init, usable one by one (tests build the world step by step).
    bool start_video();        // SDL, window, font, audio; false when the start must end
    void take_block_texture(); // block_texture, block_size, block_tile from the catalogue
    void load_records();       // options and saved game
    void build_play_area();    // well surface, its repaint, sidebar
    void enter_saved_state();  // the recorded state, or the splash
    // The last step of shutdown before the state goes: the game in progress, paused, into the
    // saved-game file, so that the next start resumes it in the same screen.
    void save_game_for_next_start();

    // Input mapping: turns one SDL event into calls on the current state. Returns false for
    // SDL_QUIT.
    bool dispatch_event(const SDL_Event& event);
    void key_down(const SDL_keysym& key);
    void key_up(const SDL_keysym& key);
    bool handle_text_key(const SDL_keysym& key);
    // Hands every pending event to the current state; false once the window is closed.
    bool take_events();
    // One frame: background, the state's frame with frame_seconds, flip.
    void run_frame();

    Frame_Clock frame_clock; // paces run() and measures frame_seconds

    SDL_Surface* block_texture = nullptr; // catalogue bitmap, held while taken
    SDL_Rect block_tile = {0, 0, 0, 0};   // source rectangle of one tile
};

// The one application object of the process.
extern Vextile_SDL app;
