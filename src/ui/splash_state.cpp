#include "ui/splash_state.h"

#include "game/game_context.h"
#include "media/video.h"

namespace {

constexpr float FADE_SECONDS = 0.25f;
constexpr float SHOW_SECONDS = 2.0f;
constexpr float CLOSING_SECONDS = 0.5f;
constexpr int PHASE_FADE_IN = 0;
constexpr int PHASE_SHOW = 1;
constexpr int PHASE_FADE_OUT = 2;
constexpr int PHASE_CLOSING = 3;

// Alpha of a logo a quarter second into its fade, from the seconds left.
int fade_alpha(float seconds_left) {
    return static_cast<int>(seconds_left * 4 * 255);
}

} // namespace

Splash_State::Splash_State() {
    for (const Bitmap_Id logo : logos)
        zgl_get_bitmap(logo);
}

Splash_State::~Splash_State() {
    for (const Bitmap_Id logo : logos)
        zgl_unload_bitmap(logo);
}

// A phase that ends hands the rest of the frame to the next one in order.
void Splash_State::do_frame(double seconds) {
    const float dt = static_cast<float>(seconds);
    if (phase == PHASE_FADE_IN) fade_in(dt);
    if (phase == PHASE_SHOW) show(dt);
    if (phase == PHASE_FADE_OUT) fade_out(dt);
    if (phase == PHASE_CLOSING && !closing_pause(dt)) return; // the menu follows: nothing drawn
    draw();
}

void Splash_State::fade_in(float dt) {
    zgl_set_bitmap_alpha(logos[logo_index], 255 - fade_alpha(timer));
    timer -= dt;
    if (timer < 0) {
        zgl_set_bitmap_alpha(logos[logo_index], 255);
        timer = SHOW_SECONDS;
        phase = PHASE_SHOW;
    }
}

void Splash_State::show(float dt) {
    timer -= dt;
    if (timer < 0) {
        timer = FADE_SECONDS;
        phase = PHASE_FADE_OUT;
    }
}

void Splash_State::fade_out(float dt) {
    zgl_set_bitmap_alpha(logos[logo_index], fade_alpha(timer));
    timer -= dt;
    if (timer < 0) {
        zgl_set_bitmap_alpha(logos[logo_index], 0);
        ++logo_index;
        if (logo_index < 2) {
            // The next logo starts invisible, as its fade-in begins.
            zgl_set_bitmap_alpha(logos[logo_index], 255 - fade_alpha(FADE_SECONDS));
            timer = FADE_SECONDS;
            phase = PHASE_FADE_IN;
        } else {
            timer = CLOSING_SECONDS;
            phase = PHASE_CLOSING;
        }
    }
}

bool Splash_State::closing_pause(float dt) {
    timer -= dt;
    if (timer >= 0) return true;
    game.change_state(STATE_MAIN_MENU);
    return false;
}

void Splash_State::draw() const {
    SDL_Surface* surface = get_screen();
    if (!surface) return;
    fill_rect(COLOR_BLACK, {0, 0, surface->w, surface->h});
    if (phase == PHASE_CLOSING) return;
    const Bitmap_Id logo = logos[logo_index];
    zgl_draw_bitmap(logo, {0, (surface->h - zgl_bitmap_size(logo).h) / 2});
}

bool Splash_State::handle_command(Command command, const char*) {
    switch (command) {
    case CMD_SPACE:
        // Cuts the logo on screen short; in the closing pause there is no logo left to cut.
        if (phase == PHASE_CLOSING) return false;
        timer = 0;
        phase = PHASE_FADE_OUT;
        return true;
    case CMD_ESCAPE:
        timer = 0;
        phase = PHASE_CLOSING;
        return true;
    default:
        return false;
    }
}

bool Splash_State::handle_mouse(Mouse_Action, int, int) {
    return false;
}
