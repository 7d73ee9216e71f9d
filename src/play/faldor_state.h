// The game itself: pieces enter, slide, turn, fall and land; pause, flare and game over.
#pragma once

#include "game/game_state.h"
#include "media/bitmaps.h"

// The picture drawn over the well while the game is paused or over.
extern Bitmap_Id overlay_bitmap;

class Faldor_State : public Game_State {
  public:
    Faldor_State();
    ~Faldor_State() override;
    void do_frame(double seconds) override;
    bool handle_command(Command command, const char* text) override;
    bool handle_mouse(Mouse_Action action, int x, int y) override;

    float hold_time = 0.0f; // seconds a sideways key has been held
    // One more column asked for by a sideways key pressed again while the piece still slides that
    // way: -1 left, 1 right, 0 none. Taken once the piece has caught up with its target.
    int32_t queued_step = 0;

  private:
    // The steps of one frame, in their order; a bool step answers false when the frame ends there.
    void change_level();
    bool bring_in_piece();
    void apply_movement_requests();
    void count_hold_time(double seconds);
    void slide(double seconds);
    void fall(double seconds);
    void stop_if_blocked(); // the landing test
    bool land();
    void draw(double seconds);
    void draw_overlay();
    void draw_game_over_line();
    void end_game();
    void show_game_over(); // the game-over picture and the line under it
};
