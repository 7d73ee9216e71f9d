// The splash: the maker's logo and the SDL logo fade in and out, then the main menu.
#pragma once

#include "game/game_state.h"
#include "media/bitmaps.h"

class Splash_State : public Game_State {
  public:
    Splash_State();
    ~Splash_State() override;
    void do_frame(double seconds) override;
    bool handle_command(Command command, const char* text) override;
    bool handle_mouse(Mouse_Action action, int x, int y) override;

    enum class Phase { fade_in, show, fade_out, closing };

    Phase phase = Phase::fade_in;
    float timer = 0.25f; // seconds left in the phase
    Bitmap_Id logos[2] = {BMP_MAKER_LOGO, BMP_SDL_LOGO};
    int32_t logo_index = 0; // 2 once both logos have been shown

  private:
    // Each answers false when the splash has handed over to the main menu.
    void fade_in(float dt);
    void show(float dt);
    void fade_out(float dt);
    bool closing_pause(float dt);
    void draw() const;
};
