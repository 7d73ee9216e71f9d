#include "ui/options_state.h"

#include "game/game_context.h"

namespace {

struct Option_Box {
    Text_Id label;
    uint32_t bit;
};

constexpr Option_Box option_boxes[Options_State::BOX_COUNT] = {
    {TXT_OPT_RANDOM_COLORS, opt_random_colors},
    {TXT_OPT_SPECIAL_BLOCKS, opt_special_blocks},
    {TXT_OPT_UNCONTROLLED_DROP, opt_uncontrolled_drop},
};

} // namespace

Options_State::Options_State() : focus({&boxes[0], &boxes[1], &boxes[2], &ok, &cancel}) {
    set_background(BMP_DEFAULT_BG);
    // The file is read only to report a damaged one; the screen shows the game's options.
    load_options(&options);
    options = game.options;
    place_boxes();
    place_buttons();
    get_text(TXT_OPTIONS_TITLE);
    for (const Option_Box& box : option_boxes)
        get_text(box.label);
    focus.move_to(0);
}

Options_State::~Options_State() {
    release_text(TXT_OPTIONS_TITLE);
    for (const Option_Box& box : option_boxes)
        release_text(box.label);
}

// The boxes stand one margin in from the left, one under the other, a line apart.
void Options_State::place_boxes() {
    const Size area = screen_size();
    const int line = text_height();
    const int margin = area.w / 20;
    int y = 3 * line;
    for (int i = 0; i < BOX_COUNT; ++i) {
        UI_Bmp_Checkbox& box = boxes[i];
        box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, option_boxes[i].label, area.w - margin);
        box.x = margin;
        box.y = y;
        box.checked = (options.flags & option_boxes[i].bit) ? 1 : 0;
        y += line + box.height;
    }
}

// OK and Cancel share the bottom row, each centred in its half of the screen.
void Options_State::place_buttons() {
    const Size area = screen_size();
    ok.set_bitmap(BMP_BUTTON_OK);
    ok.y = area.h - text_height() - ok.height;
    ok.x = (area.w / 2 - ok.width) / 2;
    cancel.set_bitmap(BMP_BUTTON_CANCEL);
    cancel.y = ok.y;
    cancel.x = ok.x + area.w / 2;
}

void Options_State::do_frame(double /*seconds*/) {
    draw_text_centered(TXT_OPTIONS_TITLE, 0, text_height(), screen_size().w);
    focus.draw();
}

bool Options_State::handle_command(Command command, const char*) {
    if (focus.step_on(command)) return true;
    switch (command) {
    case ACTION_OK:
        return keep();
    case ACTION_CANCEL:
        return drop();
    case CMD_ENTER:
        if (focus.focus() >= FOCUS_OK)
            return handle_command(static_cast<Command>(focus.focus() - FOCUS_OK), nullptr);
        return flip_focused_box();
    case CMD_SPACE:
    case CMD_TEXT_SPACE:
        return flip_focused_box();
    default:
        return false;
    }
}

bool Options_State::flip_focused_box() {
    if (focus.focus() >= BOX_COUNT) return false;
    int32_t& checked = boxes[focus.focus()].checked;
    checked = checked != 1 ? 1 : 0;
    return true;
}

// Writes the three boxes into the copy, leaving every other bit and field as it was, and makes the
// copy the game's options; the main menu follows.
bool Options_State::keep() {
    for (int i = 0; i < BOX_COUNT; ++i) {
        if (boxes[i].checked == 1)
            options.flags |= option_boxes[i].bit;
        else
            options.flags &= ~option_boxes[i].bit;
    }
    game.options = options;
    save_options(&game.options);
    game.change_state(STATE_MAIN_MENU);
    return true;
}

bool Options_State::drop() {
    game.change_state(STATE_MAIN_MENU);
    return true;
}

bool Options_State::handle_mouse(Mouse_Action action, int x, int y) {
    if (action == MOUSE_PRESS) {
        // A box that is hit has flipped itself.
        if (focus.click(x, y, 0, BOX_COUNT) >= 0) return true;
        const int button = focus.click(x, y, FOCUS_OK, focus.count());
        return button >= 0 && handle_command(static_cast<Command>(button - FOCUS_OK), nullptr);
    }
    if (action == MOUSE_MOTION) {
        int over = focus.control_at(x, y, 0, BOX_COUNT);
        const int button = focus.control_at(x, y, FOCUS_OK, focus.count());
        if (button >= 0) over = button;
        if (over >= 0) focus.move_to(over);
    }
    return false;
}
