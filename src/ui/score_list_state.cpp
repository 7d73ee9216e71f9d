#include "ui/score_list_state.h"

#include "game/game_context.h"
#include "media/texts.h"
#include "ui/controls.h"

#include <cstdio>

Score_List_State::Score_List_State() {
    set_background(BMP_DEFAULT_BG);
    load_score_table(&table); // into the empty table the member starts as
    get_text(TXT_HISCORES_TITLE);
    load_press_enter_line();
}

Score_List_State::~Score_List_State() {
    release_text(TXT_HISCORES_TITLE);
    release_press_enter_line();
}

// The rows in the order the file holds them, one line each under the title.
void Score_List_State::do_frame(double seconds) {
    const int line = text_height();
    draw_text_centered(TXT_HISCORES_TITLE, 0, line, screen_size().w);
    for (int row = 0; row < SCORE_ROWS; ++row)
        draw_row(row, 3 * line + row * line);
    draw_press_enter_line();

    timer -= static_cast<float>(seconds);
    if (timer < 0) game.change_state(STATE_MAIN_MENU);
}

// The place at the left margin, the name centred, the score ending one margin from the right.
void Score_List_State::draw_row(int row, int y) const {
    const int width = screen_size().w;
    const int margin = letter_width();
    char number[16];
    std::snprintf(number, sizeof number, "#%d", row + 1);
    write_text(number, margin, y);
    write_text_centered(table.rows[row].name, 0, y, width);
    std::snprintf(number, sizeof number, "%d", table.rows[row].score);
    write_text(number, width - margin - text_width(number), y);
}

bool Score_List_State::handle_command(Command command, const char*) {
    return leave_on_key(command, STATE_MAIN_MENU);
}

bool Score_List_State::handle_mouse(Mouse_Action action, int, int) {
    return leave_on_press(action, STATE_MAIN_MENU);
}
