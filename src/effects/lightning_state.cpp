#include "effects/lightning_state.h"

#include "game/game_context.h"
#include "media/bitmaps.h"
#include "media/sounds.h"
#include "media/video.h"
#include "play/play_record.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Opaque at the start of a fade, clear at its end. Each fade sets the alpha before it counts the
// timer down and stops once the timer has gone below zero, so the timer read here is never
// negative; the clamp keeps a wrapped byte (a sudden flash) out of the picture all the same.
int fade_alpha(float timer) {
    return std::clamp(static_cast<int>(timer * 255.0 / FADE_SECONDS), 0, 255);
}

} // namespace

Lightning_State::Lightning_State() : Effect_State(STATE_LIGHTNING) {
    load_sound(table_row().sound);
    zgl_get_bitmap(table_row().strip);
    zgl_set_bitmap_colorkey(table_row().strip, COLOR_BLACK);
    zgl_get_bitmap(BMP_BLANK_WHITE);
}

Lightning_State::~Lightning_State() {
    zgl_unload_bitmap(table_row().strip);
    zgl_unload_bitmap(BMP_BLANK_WHITE);
}

void Lightning_State::do_frame(double seconds) {
    play_record.grid.draw(0, 0);
    zgl_draw_bitmap(table_row().strip, {0, 0});
    zgl_draw_bitmap(BMP_BLANK_WHITE, {0, 0});
    // A new alpha shows from the next frame on.
    switch (phase) {
    case Phase::strike:
        play_sound(table_row().sound);
        phase = Phase::shuffle;
        break;
    case Phase::shuffle:
        shuffle_columns();
        break;
    case Phase::white_fade:
        fade_white(seconds);
        break;
    case Phase::bolt_fade:
        // The sidebar is not drawn while the bolt fades: both pictures blend over what is there.
        fade_bolt(seconds);
        return;
    }
    draw_sidebar_if_any(seconds);
}

void Lightning_State::shuffle_columns() {
    // Whole columns change places, so every row keeps its number of blocks.
    for (int col = 0; col < GRID_COLS; ++col)
        play_record.grid.swap_columns(col, std::rand() % 14);
    phase = Phase::white_fade;
}

void Lightning_State::fade_white(double seconds) {
    zgl_set_bitmap_alpha(BMP_BLANK_WHITE, fade_alpha(timer));
    timer = static_cast<float>(timer - seconds);
    if (timer >= 0.0f) return;
    // The white keeps its last, faint alpha for the rest of the effect.
    timer = FADE_SECONDS;
    phase = Phase::bolt_fade;
}

void Lightning_State::fade_bolt(double seconds) {
    zgl_set_bitmap_alpha(table_row().strip, fade_alpha(timer));
    timer = static_cast<float>(timer - seconds);
    if (timer < 0.0f) leave();
}
