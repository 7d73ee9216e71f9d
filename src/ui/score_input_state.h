// The high-score entry: a game whose score earns a place in the table asks for a name and stores
// it; either way the high-score list follows.
#pragma once

#include "game/game_state.h"
#include "store/score_table.h"
#include "ui/controls.h"

class Score_Input_State : public Game_State {
  public:
    // The actions of the buttons, which are also their focus indices.
    static constexpr Command ACTION_ACCEPT = 0;
    static constexpr Command ACTION_CANCEL = 1;

    Score_Input_State();
    ~Score_Input_State() override;
    void do_frame(double seconds) override;
    bool handle_command(Command command, const char* text) override;
    bool handle_mouse(Mouse_Action action, int x, int y) override;

    Score_Table table;
    Score_Entry entry; // the name as typed so far and the game's score
    int32_t place = -1;
    UI_Bmp_Button accept;
    UI_Bmp_Button cancel;
    bool not_placed = false;
    Focus_Ring focus;

  private:
    void place_buttons();
    void draw_headline() const;
    void draw_name_box() const;
    bool type(const char* text);
    bool erase_letter();
    bool store();
};
