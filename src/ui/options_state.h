// The options screen: three check boxes, kept with OK (applied and saved) or dropped with Cancel.
#pragma once

#include "game/game_state.h"
#include "store/options_file.h"
#include "ui/controls.h"

class Options_State : public Game_State {
  public:
    static constexpr int BOX_COUNT = 3;
    // Focus indices: the boxes first, then the two buttons.
    static constexpr int FOCUS_OK = 3;
    static constexpr int FOCUS_CANCEL = 4;
    // The actions of the buttons.
    static constexpr Command ACTION_OK = 0;
    static constexpr Command ACTION_CANCEL = 1;

    Options_State();
    ~Options_State() override;
    void do_frame(double seconds) override;
    bool handle_command(Command command, const char* text) override;
    bool handle_mouse(Mouse_Action action, int x, int y) override;

    Options_Record options; // the screen's own copy until OK
    UI_Bmp_Checkbox boxes[BOX_COUNT];
    UI_Bmp_Button ok;
    UI_Bmp_Button cancel;
    Focus_Ring focus;

  private:
    void place_boxes();
    void place_buttons();
    bool flip_focused_box();
    bool keep();
    bool drop();
};
