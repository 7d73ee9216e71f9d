// What must hold in the soak after every event and every frame: the well holds only storable
// tiles, the play record names the state that exists and is one the loader would take back, the
// score and the level never fall within a game, text entry is on only while a name is asked for,
// the background and the well's picture are what the screen promises, and the saved game
// survives a write and a read. A violation ends the process with a report that names the seed,
// the frame and the last events sent.
#pragma once

#include "app/game_state.h"

#include <SDL/SDL.h>

#include <array>
#include <cstddef>
#include <deque>
#include <string>

const char* state_name(State_Id id);

class Soak_Checker {
  public:
    explicit Soak_Checker(unsigned seed);

    void begin_frame(long frame) { frame_ = frame; }
    // Remembers the event for the report of a failure.
    void note_event(const SDL_Event& event);
    // Checks every invariant of the world as it stands now.
    void check(const char* when);
    // The same after a frame, and the well's picture too (input does not paint the well).
    void check_frame();
    // Writes the saved game and reads it back into a scratch record: the two images must match.
    void check_saved_game_round_trip();
    // Ends the run with a report.
    [[noreturn]] void fail(const std::string& what) const;

    long games_started() const { return games_started_; }
    long games_over() const { return games_over_; }
    // Games started with the option set (opt_random_colors and so on).
    long games_with(uint32_t option) const;
    long entries(State_Id id) const { return entries_[static_cast<size_t>(id)]; }
    // Heap in use at the last main menu, and the most it was since the baseline.
    size_t heap_baseline() const { return heap_baseline_; }
    size_t heap_highest() const { return heap_highest_; }

  private:
    void check_state();
    void count_switch();
    void check_new_game();
    void check_cells() const;
    void check_pieces() const;
    void check_progress();
    void check_text_entry() const;
    void check_background() const;
    void check_well_picture() const;
    void check_heap();

    unsigned seed_;
    long frame_ = 0;
    const char* when_ = "";
    State_Id last_id_ = STATE_NONE;
    const Game_State* last_state_ = nullptr;
    bool switched_ = false; // the state changed since the last check
    int32_t last_score_ = 0;
    int32_t last_level_ = 0;
    bool was_over_ = false;
    long games_started_ = 0;
    long games_over_ = 0;
    std::array<long, 4> games_with_option_ = {}; // by bit of the options' flags
    std::array<long, STATE_COUNT> entries_ = {};
    int menus_seen_ = 0;
    size_t heap_baseline_ = 0;
    size_t heap_highest_ = 0;
    std::deque<std::string> recent_events_;
};
