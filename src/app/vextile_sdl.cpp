#include "app/vextile.h"

#include "app/state_factory.h"
#include "effects/effect_state.h"
#include "game/effect_table.h"
#include "game/game_context.h"
#include "media/bitmaps.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "play/sidebar.h"
#include "play/well.h"
#include "store/options_file.h"

#include <csignal>
#include <cstdlib>
#include <utility>

Vextile_SDL app;

namespace {

// The game itself, the play state and the effects: there the pad's buttons 0 and 7 turn and
// pause rather than press the focused button, and the picture changes nearly every frame.
bool in_play(State_Id id) {
    return id == STATE_PLAY || id == STATE_KILL_ROWS || effect_of_state(id) != nullptr;
}

// SDL ends the main loop on SIGTERM and SIGINT, so the game in progress is saved. A hang-up (the
// terminal the game was started from closed) goes the same way, unless the player asked to ignore
// it (nohup).
void treat_hangup_as_terminate() {
    struct sigaction term = {}, hangup = {};
    if (sigaction(SIGTERM, nullptr, &term) != 0 || sigaction(SIGHUP, nullptr, &hangup) != 0) return;
    const bool sdl_handles_term = term.sa_handler != SIG_DFL && term.sa_handler != SIG_IGN;
    if (sdl_handles_term && hangup.sa_handler == SIG_DFL) sigaction(SIGHUP, &term, nullptr);
}

} // namespace

Vextile_SDL::Vextile_SDL() = default;

Vextile_SDL::~Vextile_SDL() = default;

bool Vextile_SDL::start_video() {
    // Where SDL can wait for the display's refresh (the compatibility build over SDL 2 can), the
    // flip does so; the frame clock's sleep stays the ceiling. The player's own setting wins.
    if (frame_clock.fps() > 0) setenv("SDL12COMPAT_SYNC_TO_VBLANK", "1", 0);
    video_init("Vextile!", BMP_ICON, display);
    treat_hangup_as_terminate();
    // Without audio the game still runs, silently; without a screen or a font it cannot.
    if (get_screen() == nullptr || game_font == nullptr) return false;
    gamepad.start();
    return true;
}

void Vextile_SDL::load_records() {
    load_options(&game.options);
    load_saved_game(&play_record);
}

void Vextile_SDL::build_play_area() {
    Grid_Field_Surface::create_well_surface();
    play_record.grid.redraw_region(0, 0, GRID_COLS, GRID_ROWS);
    set_sidebar(std::make_unique<Sidebar>());
}

void Vextile_SDL::enter_saved_state() {
    const State_Id saved = play_record.state_id;
    enter_state(saved >= 0 && saved < STATE_COUNT ? saved : STATE_SPLASH);
}

void Vextile_SDL::apply_pending_switch() {
    State_Id id = STATE_NONE;
    // A state being built may ask for a switch of its own: that one is made next.
    while (game.take_switch(&id)) {
        // The old state goes first, so the new one sees the world its destructor left.
        state.reset();
        state.reset(make_state(id));
        play_record.state_id = id;
    }
}

void Vextile_SDL::enter_state(State_Id id) {
    game.change_state(id);
    apply_pending_switch();
}

void Vextile_SDL::set_sidebar(std::unique_ptr<Sidebar> panel) {
    sidebar_ = std::move(panel);
    game.sidebar = sidebar_.get();
}

void Vextile_SDL::save_game_for_next_start() {
    play_record.flags |= FLAG_PAUSED;
    // An effect cut short is saved as the game stood when it began: its changes so far, and the
    // blocks it had lifted, would otherwise be saved half done and the effect run again on them.
    const auto* const effect = dynamic_cast<const Effect_State*>(state.get());
    Play_Record saved = effect ? effect->at_entry : play_record;
    saved.flags |= FLAG_PAUSED;
    save_saved_game(&saved);
}

bool Vextile_SDL::init() {
    if (!start_video()) {
        video_shutdown();
        return false;
    }
    take_block_texture();
    zgl_get_bitmap(BMP_PAUSED); // loaded before play needs it
    load_records();
    build_play_area();
    enter_saved_state();
    return true;
}

void Vextile_SDL::shutdown() {
    close_game();
    close_play_area();
    gamepad.stop();
    video_shutdown();
}

void Vextile_SDL::close_game() {
    if (!game.quit_requested()) save_game_for_next_start();
    enter_state(STATE_NONE);
    set_sidebar(nullptr);
}

void Vextile_SDL::close_play_area() {
    Grid_Field_Surface::free_well_surface();
    let_go_block_texture();
}

void Vextile_SDL::run() {
    game.clear_quit();
    frame_clock.restart();
    // Every event that waits is handled before the frame; the frame clock then sleeps out the
    // rest of the frame's period, so a key pressed meanwhile counts in the next frame.
    while (take_events()) {
        const double seconds = frame_clock.begin_frame();
        gamepad.watch(seconds);
        run_frame(seconds);
        frame_clock.end_frame();
    }
}

bool Vextile_SDL::take_events() {
    SDL_Event event;
    while (!game.quit_requested() && SDL_PollEvent(&event))
        if (!dispatch_event(event)) return false;
    return !game.quit_requested();
}

void Vextile_SDL::run_frame(double seconds) {
    draw_background();
    state_frame(seconds);
    // A game in play and its effects change their picture nearly every frame, and the play frame
    // has the tightest budget: they are shown as they are. The screens around the game, and a game
    // paused or over, mostly stand still, and a picture that stands still is not sent again.
    const State_Id id = play_record.state_id;
    const bool halted = id == STATE_PLAY && (play_record.flags & (FLAG_PAUSED | FLAG_GAME_OVER));
    if (in_play(id) && !halted)
        flip_screen();
    else
        flip_changed_screen();
}

bool Vextile_SDL::send_command(Command command, const char* text) {
    const bool handled = state && state->handle_command(command, text);
    apply_pending_switch();
    return handled;
}

bool Vextile_SDL::send_mouse(Mouse_Action action, int x, int y) {
    const bool handled = state && state->handle_mouse(action, x, y);
    apply_pending_switch();
    return handled;
}

void Vextile_SDL::state_frame(double seconds) {
    if (state) state->do_frame(seconds);
    apply_pending_switch();
}

void Vextile_SDL::window_mouse(Mouse_Action action, int window_x, int window_y) {
    int x = 0, y = 0;
    // On the black border around a scaled picture the mouse points at nothing.
    if (window_to_screen(video_view(), window_x, window_y, &x, &y)) send_mouse(action, x, y);
}

bool Vextile_SDL::dispatch_event(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
        key_down(event.key.keysym);
        break;
    case SDL_KEYUP:
        key_up(event.key.keysym);
        break;
    case SDL_MOUSEMOTION:
        window_mouse(MOUSE_MOTION, event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        window_mouse(MOUSE_PRESS, event.button.x, event.button.y);
        break;
    case SDL_MOUSEBUTTONUP:
        window_mouse(MOUSE_RELEASE, event.button.x, event.button.y);
        break;
    case SDL_JOYAXISMOTION:
    case SDL_JOYHATMOTION:
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        pad_event(event);
        break;
    case SDL_ACTIVEEVENT:
        // Only the keyboard's focus and minimising count: the pointer may leave the window freely.
        if (!event.active.gain && (event.active.state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)))
            focus_lost();
        break;
    case SDL_VIDEOEXPOSE:
        refresh_display();
        break;
    case SDL_QUIT:
        return false;
    default:
        break;
    }
    return !game.quit_requested();
}

namespace {

// The command of a key that means the same in both keyboard modes, or 0.
Command fixed_key_command(SDLKey sym, bool typing) {
    switch (sym) {
    case SDLK_ESCAPE:
        return CMD_ESCAPE;
    case SDLK_BACKSPACE:
        return CMD_BACKSPACE;
    case SDLK_RETURN:
        return CMD_ENTER;
    case SDLK_DELETE:
        return CMD_DELETE;
    case SDLK_SPACE:
        return typing ? CMD_TEXT_SPACE : CMD_SPACE;
    default:
        return 0;
    }
}

// The movement command of an arrow or W/A/S/D key while not typing, or 0.
Command movement_key_command(SDLKey sym) {
    switch (sym) {
    case SDLK_UP:
    case SDLK_w:
        return CMD_UP;
    case SDLK_DOWN:
    case SDLK_s:
        return CMD_DOWN_PRESS;
    case SDLK_LEFT:
    case SDLK_a:
        return CMD_LEFT_PRESS;
    case SDLK_RIGHT:
    case SDLK_d:
        return CMD_RIGHT_PRESS;
    default:
        return 0;
    }
}

// F11, and Enter with Alt, switch between the window and fullscreen in every screen; no state
// sees them.
bool is_display_switch(const SDL_keysym& key) {
    return key.sym == SDLK_F11 || (key.sym == SDLK_RETURN && (key.mod & KMOD_ALT));
}

Command release_command(SDLKey sym) {
    switch (sym) {
    case SDLK_DOWN:
    case SDLK_s:
        return CMD_DOWN_RELEASE;
    case SDLK_LEFT:
    case SDLK_a:
        return CMD_LEFT_RELEASE;
    case SDLK_RIGHT:
    case SDLK_d:
        return CMD_RIGHT_RELEASE;
    default:
        return 0;
    }
}

} // namespace

void Vextile_SDL::key_down(const SDL_keysym& key) {
    if (is_display_switch(key)) {
        video_toggle_fullscreen();
        return;
    }
    Command command = fixed_key_command(key.sym, game.text_entry);
    if (!command && !game.text_entry) command = movement_key_command(key.sym);
    if (command) {
        send_command(command);
        return;
    }
    handle_text_key(key);
}

void Vextile_SDL::key_up(const SDL_keysym& key) {
    if (game.text_entry) return;
    const Command command = release_command(key.sym);
    if (command) send_command(command);
}

void Vextile_SDL::pad_event(const SDL_Event& event) {
    const Pad_Keys keys = gamepad.translate(event, state && in_play(play_record.state_id));
    for (int i = 0; i < keys.count; ++i) {
        const SDL_keysym key = {0, keys.keys[i].key, KMOD_NONE, 0};
        if (keys.keys[i].pressed)
            key_down(key);
        else
            key_up(key);
    }
}

void Vextile_SDL::focus_lost() {
    if (!state || !in_play(play_record.state_id)) return;
    // Keys held when the player switched away send their release to another window: they are let
    // go here.
    for (const Command release : {CMD_LEFT_RELEASE, CMD_RIGHT_RELEASE, CMD_DOWN_RELEASE})
        send_command(release);
    // Pieces do not fall while nobody watches; the player resumes with Space as after any pause.
    if (!(play_record.flags & (FLAG_PAUSED | FLAG_GAME_OVER))) send_command(CMD_SPACE);
}

bool Vextile_SDL::handle_text_key(const SDL_keysym& key) {
    const int k = key.sym;
    if (k < 33 || k > 122) return false;
    char c = static_cast<char>(k);
    // Only shift turns letters into capitals; caps lock and shifted digits are not considered.
    if (c >= 'a' && c <= 'z' && (key.mod & (KMOD_LSHIFT | KMOD_RSHIFT))) c = char(c - 'a' + 'A');
    send_command(CMD_CHAR, &c);
    return true;
}
