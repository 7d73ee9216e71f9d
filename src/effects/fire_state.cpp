#include "effects/fire_state.h"

#include "game/game_context.h"
#include "media/bitmaps.h"
#include "media/sounds.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/play_record.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int FLAME_FRAMES = 4; // side by side in the strip
constexpr float PI = 3.14159265358979f;

// The highest row that holds a block; 0 when the well is empty.
int highest_occupied_row() {
    for (int row = 0; row < GRID_ROWS; ++row) {
        for (int col = 0; col < GRID_COLS; ++col) {
            if (play_record.grid.is_occupied(col, row)) return row;
        }
    }
    return 0;
}

// The flame grows and dies down with half a sine wave over the burning time: frames 0, 1, 2, 3,
// 2, 1, 0. Worked in single precision like the timer, the sine comes out as exactly 1 around the
// top, a fifth frame the strip does not have.
int flame_frame(float timer) {
    return static_cast<int>(FLAME_FRAMES * std::sin(timer * PI / SHOCK_SECONDS));
}

} // namespace

Fire_State::Fire_State() : Effect_State(STATE_FIRE) {
    load_sound(table_row().sound);
    load_sound(SND_DEMONIC);
    zgl_get_bitmap(table_row().strip);
    zgl_set_bitmap_colorkey(table_row().strip, COLOR_BLACK);
    const Size strip = zgl_bitmap_size(table_row().strip);
    flame_width = strip.w / FLAME_FRAMES;
    flame_height = strip.h;
    top_row = highest_occupied_row();
}

// The flame strip stays in the catalogue for the next fire.
Fire_State::~Fire_State() = default;

void Fire_State::do_frame(double seconds) {
    play_record.grid.draw(0, 0);
    switch (phase) {
    case Phase::ignite:
        ignite();
        break;
    case Phase::burn:
        burn(seconds);
        break;
    case Phase::leave:
        leave();
        return;
    }
    draw_sidebar_if_any(seconds);
}

void Fire_State::ignite() {
    burn_count = std::rand() % 7 + 1;
    // One fire in seventy burns twice as much, and sounds like it.
    if (burn_count == 7 && std::rand() % 10 == 6) {
        play_sound(SND_DEMONIC);
        burn_count = MAX_BURNS;
    }
    const int rows = GRID_ROWS - top_row;
    for (int i = 0; i < burn_count; ++i) {
        // The column is drawn first; column 13 is never burnt.
        const int col = std::rand() % (GRID_COLS - 1);
        const int row = GRID_ROWS - 1 - std::rand() % rows;
        burnt[i] = {col, row};
        play_record.grid.clear_cell(col, row);
    }
    phase = Phase::burn;
    timer = SHOCK_SECONDS;
    play_sound(table_row().sound);
}

void Fire_State::burn(double seconds) {
    if (timer <= 0.0f) {
        phase = Phase::leave;
        return;
    }
    draw_flames(flame_frame(timer));
    timer = static_cast<float>(timer - seconds);
}

void Fire_State::draw_flames(int frame) const {
    // A frame outside the strip shows nothing (rather than leaving it to the blit to clip).
    if (frame < 0 || frame >= FLAME_FRAMES) return;
    const Rect source = {frame * flame_width, 0, flame_width, flame_height};
    const int size = block_size();
    for (int i = 0; i < burn_count; ++i) {
        const int x = size * burnt[i].col + (size - flame_width) / 2;
        const int y = size * burnt[i].row + (size - flame_height);
        zgl_draw_bitmap_part(table_row().strip, source, {x, y});
    }
}
