// The main menu: start game, options, high scores and about, with the version in the corner.
#pragma once

#include "game/game_state.h"
#include "ui/controls.h"

class Main_Menu_State : public Game_State {
  public:
    // A button's index is the action it sends.
    static constexpr int BUTTON_START_GAME = 0;
    static constexpr int BUTTON_OPTIONS = 1;
    static constexpr int BUTTON_HIGH_SCORES = 2;
    static constexpr int BUTTON_ABOUT = 3;
    static constexpr int BUTTON_COUNT = 4;

    Main_Menu_State();
    ~Main_Menu_State() override;
    void do_frame(double seconds) override;
    bool handle_command(Command command, const char* text) override;
    bool handle_mouse(Mouse_Action action, int x, int y) override;

    UI_Bmp_Button buttons[BUTTON_COUNT];
    Focus_Ring focus;
    char version_text[16] = {};

  private:
    void place_buttons();
    bool act(int button);
};
