#include "ui/score_input_state.h"

#include "game/game_context.h"
#include "play/play_record.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr Text_Id entry_texts[] = {TXT_YOU_HAVE_THE, TXT_HIGH_SCORE_FMT, TXT_ENTER_NAME};

size_t name_length(const Score_Entry& entry) {
    return strnlen(entry.name, SCORE_NAME_MAX);
}

} // namespace

Score_Input_State::Score_Input_State() : focus({&accept, &cancel}) {
    set_background(BMP_DEFAULT_BG);
    load_score_table(&table);
    entry.score = play_record.score;
    sort_score_table(&table);
    place = score_place(table, entry.score);
    if (place < 0) {
        not_placed = true;
        return;
    }
    place_buttons();
    game.text_entry = true;
    for (const Text_Id id : entry_texts)
        get_text(id);
    zgl_get_bitmap(BMP_BUTTON_KING);
    focus.move_to(ACTION_ACCEPT);
}

Score_Input_State::~Score_Input_State() {
    game.text_entry = false;
    for (const Text_Id id : entry_texts)
        release_text(id);
    zgl_unload_bitmap(BMP_BUTTON_KING);
}

// A new best score is crowned; the buttons share the bottom row, each centred in its half.
void Score_Input_State::place_buttons() {
    const Size area = screen_size();
    accept.set_bitmap(place == 0 ? BMP_BUTTON_KING : BMP_BUTTON_OK);
    accept.y = area.h - text_height() - accept.height;
    accept.x = (area.w / 2 - accept.width) / 2;
    cancel.set_bitmap(BMP_BUTTON_CANCEL);
    cancel.y = accept.y;
    cancel.x = accept.x + area.w / 2;
}

void Score_Input_State::do_frame(double /*seconds*/) {
    if (not_placed) {
        game.change_state(STATE_SCORE_LIST);
        return;
    }
    draw_headline();
    draw_name_box();
    write_text_centered(entry.name, 0, 6 * text_height() + 10, screen_size().w);
    focus.draw();
}

void Score_Input_State::draw_headline() const {
    const int width = screen_size().w;
    const int line = text_height();
    draw_text_centered(TXT_YOU_HAVE_THE, 0, line, width);
    char headline[20];
    std::snprintf(headline, sizeof headline, text_of(TXT_HIGH_SCORE_FMT), place + 1);
    write_text_centered(headline, 0, 2 * line + 2, width);
    draw_text_centered(TXT_ENTER_NAME, 0, 4 * line + 6, width);
}

// A black field with a 2-pixel near-white border, a little higher than a line of text.
void Score_Input_State::draw_name_box() const {
    const int width = screen_size().w;
    const int line = text_height();
    const int y = 6 * line + 10;
    const Rect field = {width / 20, y - line / 4, width - width / 10, line + line / 2};
    fill_rect(COLOR_WHITE, {field.x - 2, field.y - 2, field.w + 4, field.h + 4});
    fill_rect(COLOR_BLACK, field);
}

bool Score_Input_State::handle_command(Command command, const char* text) {
    // A score without a place has nothing to type or accept: keys pressed before the first frame
    // moves on to the list must not store it.
    if (not_placed) return false;
    if (focus.step_on(command)) return true;
    switch (command) {
    case ACTION_ACCEPT:
        return store();
    case ACTION_CANCEL:
        game.change_state(STATE_SCORE_LIST);
        return true;
    case CMD_CHAR:
        return type(text);
    case CMD_BACKSPACE:
        return erase_letter();
    case CMD_ENTER:
        return handle_command(static_cast<Command>(focus.focus()), nullptr);
    default:
        return false;
    }
}

bool Score_Input_State::type(const char* text) {
    if (!text) return false;
    const size_t length = name_length(entry);
    if (length < SCORE_NAME_MAX) {
        entry.name[length] = *text;
        entry.name[length + 1] = '\0';
    }
    return true;
}

bool Score_Input_State::erase_letter() {
    const size_t length = name_length(entry);
    if (length > 0) entry.name[length - 1] = '\0';
    return true;
}

// Stores the entry in the table, writes the table and moves on to the list.
bool Score_Input_State::store() {
    insert_score(&table, place, entry);
    save_score_table(&table);
    game.change_state(STATE_SCORE_LIST);
    return true;
}

bool Score_Input_State::handle_mouse(Mouse_Action action, int x, int y) {
    if (action == MOUSE_PRESS) {
        const int hit = focus.click(x, y, 0, focus.count());
        return hit >= 0 && handle_command(static_cast<Command>(hit), nullptr);
    }
    if (action == MOUSE_MOTION) {
        const int over = focus.control_at(x, y, 0, focus.count());
        if (over < 0) return false;
        focus.move_to(over);
        return true;
    }
    return false;
}
