#include "ui/controls.h"

#include "game/game_context.h"

#include <cassert>
#include <utility>

namespace {

constexpr int FRAME = 2; // width of the focus frame in pixels
constexpr int TEXT_STRIP_ALPHA = 154;

} // namespace

// ---- UI_Control ---------------------------------------------------------------------------------

void UI_Control::draw() {
    if (highlighted) fill_highlight({x - FRAME, y - FRAME, width + 2 * FRAME, height + 2 * FRAME});
}

bool UI_Control::click(int px, int py) {
    return holds(px, py);
}

bool UI_Control::holds(int px, int py) const {
    return x < px && px < x + width && y < py && py < y + height;
}

// On the screen as it is now: a switch to fullscreen may have replaced it since the control was
// made.
void UI_Control::fill_highlight(Rect rect) const {
    SDL_Surface* const target = get_screen();
    if (!target) return;
    SDL_Rect area = to_sdl_rect(rect);
    const Uint32 pixel =
        SDL_MapRGB(target->format, highlight_color.r, highlight_color.g, highlight_color.b);
    SDL_FillRect(target, &area, pixel);
}

// ---- UI_Bmp_Button ------------------------------------------------------------------------------

UI_Bmp_Button::~UI_Bmp_Button() {
    if (bitmap != BMP_NONE) zgl_unload_bitmap(bitmap);
}

void UI_Bmp_Button::set_bitmap(Bitmap_Id id) {
    if (bitmap != BMP_NONE && bitmap != id) zgl_unload_bitmap(bitmap);
    bitmap = id;
    const SDL_Surface* picture = zgl_get_bitmap(id);
    if (!picture) return;
    width = picture->w;
    height = picture->h;
}

void UI_Bmp_Button::draw() {
    UI_Control::draw();
    if (bitmap != BMP_NONE) zgl_draw_bitmap(bitmap, {x, y});
}

// ---- UI_Bmp_Checkbox ----------------------------------------------------------------------------

UI_Bmp_Checkbox::~UI_Bmp_Checkbox() {
    release();
}

void UI_Bmp_Checkbox::release() {
    for (const Bitmap_Id id : bitmaps)
        if (id != BMP_NONE) zgl_unload_bitmap(id);
    if (label != 0) release_text(label);
}

void UI_Bmp_Checkbox::setup(Bitmap_Id unchecked, Bitmap_Id checked_bitmap, Text_Id label_id,
                            int32_t new_width) {
    release();
    bitmaps[0] = unchecked;
    bitmaps[1] = checked_bitmap;
    zgl_get_bitmap(checked_bitmap);
    const SDL_Surface* box = zgl_get_bitmap(unchecked);
    label = label_id;
    if (label != 0) get_text(label);

    width = new_width;
    height = 0;
    if (box) {
        box_width = box->w;
        height = box->h;
    }
    // The clickable height wraps the label in a column that differs from the one draw uses.
    if (label != 0) height = wrapped_text_height(label, (width - box_width) + letter_width() / 2);
}

void UI_Bmp_Checkbox::draw() {
    // The frame surrounds the box only, a square as high as the box is wide.
    if (highlighted)
        fill_highlight({x - FRAME, y - FRAME, box_width + 2 * FRAME, box_width + 2 * FRAME});
    const Bitmap_Id box = bitmaps[checked == 1 ? 1 : 0];
    if (box == BMP_NONE || label == 0) return;
    zgl_draw_bitmap(box, {x, y});
    // Here width is the right edge of the label column, measured from the left of the screen.
    const int label_x = x + box_width + letter_width() / 2;
    draw_wrapped_text(label, label_x, y, width - label_x, false);
}

bool UI_Bmp_Checkbox::click(int px, int py) {
    if (!UI_Control::click(px, py)) return false;
    checked = checked != 1 ? 1 : 0;
    return true;
}

// ---- Focus_Ring ---------------------------------------------------------------------------------

Focus_Ring::Focus_Ring(std::vector<UI_Control*> controls) : controls_(std::move(controls)) {
    assert(!controls_.empty());
}

void Focus_Ring::move_to(int32_t index) {
    if (index < 0 || index >= count()) return;
    focused().highlighted = false;
    focus_ = index;
    focused().highlighted = true;
}

void Focus_Ring::step(int delta) {
    move_to(((focus_ + delta) % count() + count()) % count());
}

bool Focus_Ring::step_on(Command command) {
    if (command != CMD_DOWN_PRESS && command != CMD_UP) return false;
    step(command == CMD_DOWN_PRESS ? +1 : -1);
    return true;
}

int Focus_Ring::control_at(int px, int py, int first, int end) const {
    for (int i = first; i < end && i < count(); ++i)
        if (controls_[i]->holds(px, py)) return i;
    return -1;
}

int Focus_Ring::click(int px, int py, int first, int end) const {
    for (int i = first; i < end && i < count(); ++i)
        if (controls_[i]->click(px, py)) return i;
    return -1;
}

void Focus_Ring::draw() const {
    for (UI_Control* control : controls_)
        control->draw();
}

// ---- Screen helpers -----------------------------------------------------------------------------

Size screen_size() {
    const SDL_Surface* surface = get_screen();
    if (!surface) return {SCREEN_WIDTH, SCREEN_HEIGHT};
    return {surface->w, surface->h};
}

void load_press_enter_line() {
    get_text(TXT_PRESS_ENTER);
    zgl_get_bitmap(BMP_TEXT_BACKGROUND);
    zgl_set_bitmap_alpha(BMP_TEXT_BACKGROUND, TEXT_STRIP_ALPHA);
}

void release_press_enter_line() {
    release_text(TXT_PRESS_ENTER);
}

void draw_press_enter_line() {
    const Size size = screen_size();
    const int y = size.h - text_height();
    zgl_draw_bitmap(BMP_TEXT_BACKGROUND, {0, y});
    draw_text_centered(TXT_PRESS_ENTER, 0, y, size.w);
}

bool leave_on_key(Command command, State_Id next) {
    if (command != CMD_ENTER && command != CMD_ESCAPE) return false;
    game.change_state(next);
    return true;
}

bool leave_on_press(Mouse_Action action, State_Id next) {
    if (action != MOUSE_PRESS) return false;
    game.change_state(next);
    return true;
}
