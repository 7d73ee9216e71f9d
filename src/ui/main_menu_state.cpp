#include "ui/main_menu_state.h"

#include "game/game_context.h"
#include "play/play_record.h"
#include "play/saved_game.h"

#include <cstdio>

namespace {

constexpr Bitmap_Id button_bitmaps[Main_Menu_State::BUTTON_COUNT] = {
    BMP_BUTTON_START_GAME, BMP_BUTTON_OPTIONS, BMP_BUTTON_HIGH_SCORES, BMP_BUTTON_ABOUT};

constexpr State_Id button_targets[Main_Menu_State::BUTTON_COUNT] = {STATE_PLAY, STATE_OPTIONS,
                                                                    STATE_SCORE_LIST, STATE_ABOUT};

// A game saved earlier is gone once the menu shows: a program left from here starts with the
// splash next time.
void forget_saved_game() {
    const Play_Record fresh;
    save_saved_game(&fresh);
}

} // namespace

Main_Menu_State::Main_Menu_State() : focus({&buttons[0], &buttons[1], &buttons[2], &buttons[3]}) {
    set_background(BMP_TITLE);
    for (int i = 0; i < BUTTON_COUNT; ++i)
        buttons[i].set_bitmap(button_bitmaps[i]);
    place_buttons();
    focus.move_to(BUTTON_START_GAME);

    std::snprintf(version_text, sizeof version_text, "v.%s", get_text(TXT_VERSION));
    release_text(TXT_VERSION);

    forget_saved_game();
}

Main_Menu_State::~Main_Menu_State() = default;

// The buttons stand centred in a column whose spacing is a quarter of the first button's height.
void Main_Menu_State::place_buttons() {
    const Size area = screen_size();
    const int h0 = buttons[BUTTON_START_GAME].height;
    const int q = h0 / 4;
    int y = area.h - 6 * (h0 + q);
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        UI_Bmp_Button& button = buttons[i];
        button.x = (area.w - button.width) / 2;
        button.y = y;
        // The gap under the start button is twice the others.
        y += button.height + (i == BUTTON_START_GAME ? 2 * q : q);
    }
}

void Main_Menu_State::do_frame(double /*seconds*/) {
    focus.draw();
    write_text(version_text, 1, screen_size().h - text_height());
}

bool Main_Menu_State::handle_command(Command command, const char*) {
    if (command < static_cast<Command>(BUTTON_COUNT)) return act(static_cast<int>(command));
    if (focus.step_on(command)) return true;
    switch (command) {
    case CMD_ENTER:
        return handle_command(focus.focus(), nullptr);
    case CMD_ESCAPE:
        // Leaving from the menu skips the shutdown save: the fresh record stays in the file.
        game.request_quit();
        return true;
    default:
        return false;
    }
}

bool Main_Menu_State::act(int button) {
    if (button == BUTTON_START_GAME) reset_play_record(&play_record);
    game.change_state(button_targets[button]);
    return true;
}

bool Main_Menu_State::handle_mouse(Mouse_Action action, int x, int y) {
    if (action == MOUSE_PRESS) {
        const int hit = focus.click(x, y, 0, BUTTON_COUNT);
        return hit >= 0 && handle_command(static_cast<Command>(hit), nullptr);
    }
    if (action == MOUSE_MOTION) {
        const int over = focus.control_at(x, y, 0, BUTTON_COUNT);
        if (over < 0) return false;
        focus.move_to(over);
        return true;
    }
    return false;
}
