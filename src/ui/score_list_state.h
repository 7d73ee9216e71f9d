// The high-score list: the ten rows of the table until the player continues or 150 seconds pass.
#pragma once

#include "game/game_state.h"
#include "store/score_file.h"

class Score_List_State : public Game_State {
  public:
    Score_List_State();
    ~Score_List_State() override;
    void do_frame(double seconds) override;
    bool handle_command(Command command, const char* text) override;
    bool handle_mouse(Mouse_Action action, int x, int y) override;

    Score_Table table;
    float timer = 150.0f; // seconds left before the list returns to the main menu

  private:
    void draw_row(int row, int y) const;
};
