#include "ui/about_state.h"

#include "media/texts.h"
#include "ui/controls.h"

namespace {

constexpr Text_Id about_texts[] = {TXT_ABOUT_TITLE, TXT_OWNER_LINE, TXT_AUTHOR_LINE,
                                   TXT_CONTACT_LINE};

} // namespace

About_State::About_State() {
    set_background(BMP_DEFAULT_BG);
    for (const Text_Id id : about_texts)
        get_text(id);
    load_press_enter_line();
}

About_State::~About_State() {
    for (const Text_Id id : about_texts)
        release_text(id);
    release_press_enter_line();
}

void About_State::do_frame(double /*seconds*/) {
    const Size area = screen_size();
    const int line = text_height();
    const int margin = letter_width();
    draw_text_centered(TXT_ABOUT_TITLE, 0, line, area.w);
    draw_text_centered(TXT_OWNER_LINE, 0, 3 * line, area.w);
    draw_text_centered(TXT_AUTHOR_LINE, 0, 4 * line, area.w);
    draw_wrapped_text(TXT_CONTACT_LINE, margin, 9 * line, area.w - 2 * margin, true);
    draw_press_enter_line();
}

bool About_State::handle_command(Command command, const char*) {
    return leave_on_key(command, STATE_MAIN_MENU);
}

bool About_State::handle_mouse(Mouse_Action action, int, int) {
    return leave_on_press(action, STATE_MAIN_MENU);
}
