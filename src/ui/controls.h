// The controls of the menu screens: a bitmap push button and a check box with a word-wrapped label,
// both with a red focus frame; the focus among a screen's controls; and what the screens that wait
// for a key share: the translucent "press enter" line and the way out.
#pragma once

#include "game/game_state.h"
#include "media/bitmaps.h"
#include "media/texts.h"
#include "media/video.h"

#include <SDL/SDL.h>

#include <cstdint>
#include <vector>

class UI_Control {
  public:
    UI_Control() = default;
    virtual ~UI_Control() = default;
    UI_Control(const UI_Control&) = delete;
    UI_Control& operator=(const UI_Control&) = delete;

    // The focus frame: the rectangle grown by 2 pixels on every side, filled red when highlighted.
    virtual void draw();
    // Whether the point lies strictly inside the rectangle.
    virtual bool click(int px, int py);
    // The hit test of click, without its side effects (screens track the mouse with it).
    bool holds(int px, int py) const;

    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool highlighted = false;
    const Colour highlight_color = {255, 0, 0, 0};

  protected:
    void fill_highlight(Rect rect) const;
};

class UI_Bmp_Button : public UI_Control {
  public:
    ~UI_Bmp_Button() override;
    // Takes the picture (giving back a different one it had) and the picture's size.
    void set_bitmap(Bitmap_Id id);
    void draw() override;

    Bitmap_Id bitmap = BMP_NONE;
};

class UI_Bmp_Checkbox : public UI_Control {
  public:
    ~UI_Bmp_Checkbox() override;
    // Takes the two box pictures and the label (giving back the old ones). The height is the box's,
    // or the label's wrapped height when there is a label.
    void setup(Bitmap_Id unchecked, Bitmap_Id checked_bitmap, Text_Id label_id, int32_t new_width);
    void draw() override;
    // A hit flips the box.
    bool click(int px, int py) override;

    Bitmap_Id bitmaps[2] = {BMP_NONE, BMP_NONE}; // unchecked, checked
    Text_Id label = 0;
    int32_t box_width = 0;
    int32_t checked = 0; // 0 or 1

  private:
    void release();
};

// The focus of a screen: which of its controls, in their fixed order, carries the highlight. The
// screen owns the controls; the ring only points at them.
class Focus_Ring {
  public:
    explicit Focus_Ring(std::vector<UI_Control*> controls);

    int32_t focus() const { return focus_; }
    UI_Control& focused() const { return *controls_[focus_]; }
    int count() const { return static_cast<int>(controls_.size()); }
    // Moves the highlight from the focused control to the one at index.
    void move_to(int32_t index);
    // The next (+1) or previous (-1) control, wrapping around at both ends.
    void step(int delta);
    // Down moves the focus to the next control and up to the previous one; answers whether the
    // command was one of the two.
    bool step_on(Command command);
    // Index of the first control in [first, end) that holds the point, or -1.
    int control_at(int px, int py, int first, int end) const;
    // Calls click on the controls in [first, end) in order until one hits; its index, or -1.
    int click(int px, int py, int first, int end) const;
    void draw() const;

  private:
    std::vector<UI_Control*> controls_;
    int32_t focus_ = 0;
};

// Width and height of the screen (the window's size before the screen exists).
Size screen_size();

// The bottom line of the about screen and the high-score list: "- press [enter] to continue -"
// over a translucent strip.
void load_press_enter_line();
void release_press_enter_line();
void draw_press_enter_line();

// The way out of a screen that waits for the player: Enter or Escape switches to the next state.
bool leave_on_key(Command command, State_Id next);
// ... and so does a mouse button going down anywhere.
bool leave_on_press(Mouse_Action action, State_Id next);
