#include "ui/score_input_state.h"

#include "app/vextile.h"
#include "play/play_record.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr Text_Id entry_texts[] = {TXT_YOU_HAVE_THE, TXT_HIGH_SCORE_FMT, TXT_ENTER_NAME};

size_t name_length(const Score_Entry& entry) {
    return strnlen(entry.name, SCORE_NAME_MAX);
}

} // namespace

void sort_score_table(Score_Table* table) {
    Score_Entry* rows = table->rows;
    for (int i = 0; i < SCORE_ROWS - 1; ++i)
        for (int j = i + 1; j < SCORE_ROWS; ++j)
            if (rows[i].score < rows[j].score) std::swap(rows[i], rows[j]);
}

int32_t score_place(const Score_Table& table, int32_t score) {
    for (int32_t i = 0; i < SCORE_ROWS; ++i)
        if (table.rows[i].score < score) return i;
    return -1;
}

void insert_score(Score_Table* table, int32_t place, const Score_Entry& entry) {
    for (int k = SCORE_ROWS - 1; k > place; --k)
        table->rows[k] = table->rows[k - 1];
    table->rows[place] = entry;
}

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
    app.text_entry = true;
    for (const Text_Id id : entry_texts)
        get_text(id);
    zgl_get_bitmap(BMP_BUTTON_KING);
    focus.move_to(ACTION_ACCEPT);
}

Score_Input_State::~Score_Input_State() {
    app.text_entry = false;
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

void Score_Input_State::do_frame() {
    if (not_placed) {
        app.change_state(STATE_SCORE_LIST); // this state is gone
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
        app.change_state(STATE_SCORE_LIST);
        return true;
    case CMD_CHAR:
        return type(text);
    case CMD_BACKSPACE:
        return erase();
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

bool Score_Input_State::erase() {
    const size_t length = name_length(entry);
    if (length > 0) entry.name[length - 1] = '\0';
    return true;
}

// Stores the entry in the table and writes the table; this state is gone afterwards.
bool Score_Input_State::store() {
    insert_score(&table, place, entry);
    save_score_table(&table);
    app.change_state(STATE_SCORE_LIST);
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
