// The soak's player: a seeded, headless stand-in for a person at the keyboard and the mouse. It
// looks at the current screen as a player would and answers with SDL events, biased toward
// progress so that games end and the whole round of screens comes by again and again.
#pragma once

#include "app/game_state.h"

#include <SDL/SDL.h>

#include <random>
#include <string>

class Soak_Player {
  public:
    explicit Soak_Player(unsigned seed);

    // Options for the start of a run: special blocks always, now and then random colours and the
    // uncontrolled drop.
    uint32_t starting_option_flags();
    // The length of the coming frame: 0 to 0.2 seconds, now and then exactly one of the two ends.
    double frame_seconds();
    // How many events to send before the coming frame.
    int events_before_frame();
    // The next event for the screen that is current now. Never escape on the main menu.
    SDL_Event next_event();

  private:
    SDL_Event splash_event();
    SDL_Event menu_event();
    SDL_Event play_event();
    SDL_Event effect_event();
    SDL_Event score_entry_event();
    SDL_Event options_event();
    SDL_Event leave_screen_event(); // the high-score list and the about screen
    SDL_Event noise_event();        // an event that no screen turns into a switch

    SDL_Event falling_piece_event();
    SDL_Event typing_event();
    SDL_Event toggle_option_event();
    SDL_Event finish_options_event();
    SDL_Event menu_keys_event();

    // Plans the visit when the screen has changed since the last event.
    void notice_screen();

    bool chance(int percent);
    int pick(int count);

    std::mt19937 rng_;
    const Game_State* seen_state_ = nullptr;
    // The plan for the screen being visited.
    int goal_ = 0;             // menu button or option box the player is after
    bool by_mouse_ = false;    // the plan is carried out with the mouse
    int steps_left_ = 0;       // characters to type, boxes to tick, frames to wait
    bool wait_it_out_ = false; // let the high-score list run out on its own
    // How the coming game is played: pieces anywhere, or all against one wall (which builds a
    // tower that soon reaches the top, so the game ends and the round of screens goes on).
    SDLKey tower_side_ = SDLK_UNKNOWN;
};

// One line naming the event, for the report of a failed run.
std::string describe_event(const SDL_Event& event);
