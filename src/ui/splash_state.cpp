#include "ui/splash_state.h"

#include "game/game_context.h"
#include "media/video.h"

namespace {

constexpr float FADE_SECONDS = 0.25f;
constexpr float SHOW_SECONDS = 2.0f;
constexpr float CLOSING_SECONDS = 0.5f;

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
    if (phase == Phase::fade_in) fade_in(dt);
    if (phase == Phase::show) show(dt);
    if (phase == Phase::fade_out) fade_out(dt);
    if (phase == Phase::closing && !closing_pause(dt)) return; // the menu follows: nothing drawn
    draw();
}

void Splash_State::fade_in(float dt) {
    zgl_set_bitmap_alpha(logos[logo_index], 255 - fade_alpha(timer));
    timer -= dt;
    if (timer < 0) {
        zgl_set_bitmap_alpha(logos[logo_index], 255);
        timer = SHOW_SECONDS;
        phase = Phase::show;
    }
}

void Splash_State::show(float dt) {
    timer -= dt;
    if (timer < 0) {
        timer = FADE_SECONDS;
        phase = Phase::fade_out;
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
            phase = Phase::fade_in;
        } else {
            timer = CLOSING_SECONDS;
            phase = Phase::closing;
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
    if (phase == Phase::closing) return;
    const Bitmap_Id logo = logos[logo_index];
    zgl_draw_bitmap(logo, {0, (surface->h - zgl_bitmap_size(logo).h) / 2});
}

bool Splash_State::handle_command(Command command, const char*) {
    switch (command) {
    case CMD_SPACE:
        // Cuts the logo on screen short; in the closing pause there is no logo left to cut.
        if (phase == Phase::closing) return false;
        timer = 0;
        phase = Phase::fade_out;
        return true;
    case CMD_ESCAPE:
        timer = 0;
        phase = Phase::closing;
        return true;
    default:
        return false;
    }
}

bool Splash_State::handle_mouse(Mouse_Action, int, int) {
    return false;
}
