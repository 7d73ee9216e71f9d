#include "soak_player.h"

#include "app/vextile.h"
#include "media/video.h"
#include "play/play_record.h"
#include "store/options_file.h"
#include "ui/main_menu_state.h"
#include "ui/options_state.h"
#include "ui/score_input_state.h"

#include <cstdio>
#include <iterator>

namespace {

SDL_Event key_event(Uint8 type, SDLKey sym, SDLMod mod = KMOD_NONE) {
    SDL_Event event = {};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = mod;
    return event;
}

SDL_Event key_down(SDLKey sym, SDLMod mod = KMOD_NONE) {
    return key_event(SDL_KEYDOWN, sym, mod);
}
SDL_Event key_up(SDLKey sym) {
    return key_event(SDL_KEYUP, sym);
}

SDL_Event mouse_event(Uint8 type, int x, int y) {
    SDL_Event event = {};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.type = type;
        event.motion.x = static_cast<Uint16>(x);
        event.motion.y = static_cast<Uint16>(y);
    } else {
        event.button.type = type;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.x = static_cast<Uint16>(x);
        event.button.y = static_cast<Uint16>(y);
    }
    return event;
}

State_Id current_id() {
    return play_record.state_id;
}

template <class State> State* current_state() {
    return dynamic_cast<State*>(app.state.get());
}

bool flag_set(uint32_t flag) {
    return (play_record.flags & flag) != 0;
}

// The hot spots that the effects answer a press on (pause and escape).
constexpr Rect PAUSE_SPOT = {115, 150, 10, 10};
constexpr Rect ESCAPE_SPOT = {149, 149, 10, 10};

// The keys the game knows, and a few it does not, for presses and releases of no consequence.
constexpr SDLKey noise_keys[] = {SDLK_UP,     SDLK_DOWN,  SDLK_LEFT, SDLK_RIGHT, SDLK_w, SDLK_a,
                                 SDLK_s,      SDLK_d,     SDLK_x,    SDLK_q,     SDLK_1, SDLK_TAB,
                                 SDLK_DELETE, SDLK_SPACE, SDLK_F1,   SDLK_LSHIFT};
constexpr SDLKey punctuation_keys[] = {
    SDLK_EXCLAIM,     SDLK_HASH,  SDLK_MINUS,      SDLK_PERIOD,    SDLK_SLASH, SDLK_AT,
    SDLK_LEFTBRACKET, SDLK_CARET, SDLK_UNDERSCORE, SDLK_BACKQUOTE, SDLK_QUOTE, SDLK_EQUALS};

// What a player does to a falling piece, with its weight.
enum class Move {
    drop,
    drop_release,
    left,
    left_release,
    right,
    right_release,
    turn,
    flare,
    pause,
    enter,
    wander,
    mouse_release,
    mouse_press,
    stray_key,
    key_release,
};

struct Weighted_Move {
    Move move;
    int weight;
};

constexpr Weighted_Move piece_moves[] = {
    {Move::drop, 300},        {Move::drop_release, 40}, {Move::left, 80},
    {Move::left_release, 60}, {Move::right, 80},        {Move::right_release, 60},
    {Move::turn, 120},        {Move::flare, 20},        {Move::pause, 8},
    {Move::enter, 10},        {Move::wander, 30},       {Move::mouse_release, 20},
    {Move::mouse_press, 10},  {Move::stray_key, 20},    {Move::key_release, 30},
};

constexpr int total_weight() {
    int sum = 0;
    for (const Weighted_Move& m : piece_moves)
        sum += m.weight;
    return sum;
}

Move move_at(int roll) {
    for (const Weighted_Move& m : piece_moves) {
        if (roll < m.weight) return m.move;
        roll -= m.weight;
    }
    return Move::drop;
}

// A point strictly inside a control, as its hit test wants it.
SDL_Event press_inside(Uint8 type, int x, int y, int w, int h, std::mt19937& rng) {
    const int px = w > 2 ? x + 1 + static_cast<int>(rng() % unsigned(w - 2)) : x + 1;
    const int py = h > 2 ? y + 1 + static_cast<int>(rng() % unsigned(h - 2)) : y + 1;
    return mouse_event(type, px, py);
}

SDL_Event press_in_spot(const Rect& spot, std::mt19937& rng) {
    return mouse_event(SDL_MOUSEBUTTONDOWN, spot.x + static_cast<int>(rng() % unsigned(spot.w)),
                       spot.y + static_cast<int>(rng() % unsigned(spot.h)));
}

const char* event_name(Uint8 type) {
    switch (type) {
    case SDL_KEYDOWN:
        return "key down";
    case SDL_KEYUP:
        return "key up";
    case SDL_MOUSEMOTION:
        return "mouse motion";
    case SDL_MOUSEBUTTONDOWN:
        return "mouse press";
    case SDL_MOUSEBUTTONUP:
        return "mouse release";
    default:
        return "event";
    }
}

} // namespace

Soak_Player::Soak_Player(unsigned seed) : rng_(seed) {}

bool Soak_Player::chance(int percent) {
    return static_cast<int>(rng_() % 100) < percent;
}

int Soak_Player::pick(int count) {
    return static_cast<int>(rng_() % unsigned(count));
}

uint32_t Soak_Player::starting_option_flags() {
    uint32_t flags = opt_special_blocks;
    if (chance(30)) flags |= opt_random_colors;
    if (chance(30)) flags |= opt_uncontrolled_drop;
    return flags;
}

double Soak_Player::frame_seconds() {
    const int roll = pick(100);
    if (roll < 8) return 0.0;
    if (roll < 16) return 0.2;
    return 0.2 * static_cast<double>(rng_()) / static_cast<double>(std::mt19937::max());
}

int Soak_Player::events_before_frame() {
    const int roll = pick(100);
    if (roll < 35) return 0;
    if (roll < 75) return 1;
    if (roll < 90) return 2;
    if (roll < 97) return 3;
    return 4 + pick(5);
}

SDL_Event Soak_Player::next_event() {
    notice_screen();
    switch (current_id()) {
    case STATE_SPLASH:
        return splash_event();
    case STATE_MAIN_MENU:
        return menu_event();
    case STATE_PLAY:
        return play_event();
    case STATE_KILL_ROWS:
    case STATE_EARTH:
    case STATE_ICE:
    case STATE_FIRE:
    case STATE_LIGHTNING:
        return effect_event();
    case STATE_SCORE_INPUT:
        return score_entry_event();
    case STATE_OPTIONS:
        return options_event();
    default:
        return leave_screen_event();
    }
}

void Soak_Player::notice_screen() {
    const Game_State* state = app.state.get();
    if (state == seen_state_) return;
    seen_state_ = state;
    switch (current_id()) {
    case STATE_MAIN_MENU: {
        const int roll = pick(100);
        goal_ = roll < 77   ? Main_Menu_State::BUTTON_START_GAME
                : roll < 89 ? Main_Menu_State::BUTTON_OPTIONS
                : roll < 95 ? Main_Menu_State::BUTTON_HIGH_SCORES
                            : Main_Menu_State::BUTTON_ABOUT;
        by_mouse_ = chance(35);
        const int style = pick(100);
        tower_side_ = style < 25 ? SDLK_LEFT : style < 50 ? SDLK_RIGHT : SDLK_UNKNOWN;
        break;
    }
    case STATE_SCORE_INPUT:
        steps_left_ = pick(SCORE_NAME_MAX + 3);
        goal_ = chance(85) ? 0 : 1; // accept or cancel
        by_mouse_ = chance(25);
        break;
    case STATE_OPTIONS:
        steps_left_ = pick(5);
        goal_ = chance(50) ? 0 : 1; // OK or cancel
        by_mouse_ = chance(40);
        break;
    case STATE_SCORE_LIST:
    case STATE_ABOUT:
        wait_it_out_ = current_id() == STATE_SCORE_LIST && chance(3);
        steps_left_ = pick(20);
        break;
    default:
        break;
    }
}

SDL_Event Soak_Player::noise_event() {
    const int roll = pick(100);
    if (roll < 45) return mouse_event(SDL_MOUSEMOTION, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
    if (roll < 50) return mouse_event(SDL_MOUSEBUTTONUP, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
    const SDLKey key = noise_keys[pick(static_cast<int>(std::size(noise_keys)))];
    return roll < 80 ? key_up(key) : key_down(key);
}

SDL_Event Soak_Player::splash_event() {
    if (chance(4)) return key_down(SDLK_SPACE);
    if (chance(2)) return key_down(SDLK_ESCAPE);
    return noise_event();
}

SDL_Event Soak_Player::menu_event() {
    if (chance(12)) return noise_event();
    Main_Menu_State* menu = current_state<Main_Menu_State>();
    if (!menu || !by_mouse_) return menu_keys_event();
    const UI_Bmp_Button& button = menu->buttons[goal_];
    const Uint8 type = chance(40) ? SDL_MOUSEMOTION : SDL_MOUSEBUTTONDOWN;
    return press_inside(type, button.x, button.y, button.width, button.height, rng_);
}

SDL_Event Soak_Player::menu_keys_event() {
    const Main_Menu_State* menu = current_state<Main_Menu_State>();
    const int focus = menu ? menu->focus.focus() : goal_;
    if (focus == goal_) return key_down(SDLK_RETURN);
    // Down walks forward through the buttons, up backward; either way round reaches the goal.
    const bool down = goal_ > focus;
    if (chance(50)) return key_down(down ? SDLK_DOWN : SDLK_UP);
    return key_down(down ? SDLK_s : SDLK_w);
}

SDL_Event Soak_Player::play_event() {
    if (flag_set(FLAG_GAME_OVER)) {
        if (chance(40)) return key_down(SDLK_RETURN);
        if (chance(15))
            return mouse_event(SDL_MOUSEBUTTONDOWN, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
        if (pick(1000) == 0) return key_down(SDLK_ESCAPE);
        return noise_event();
    }
    if (flag_set(FLAG_PAUSED)) {
        if (chance(35)) return key_down(SDLK_SPACE);
        if (pick(2000) == 0) return key_down(SDLK_ESCAPE);
        return noise_event();
    }
    // Now and then a game is left for the menu halfway (a game takes some thousands of events).
    if (pick(100000) == 0) return key_down(SDLK_ESCAPE);
    return falling_piece_event();
}

SDL_Event Soak_Player::effect_event() {
    const int roll = pick(200000);
    if (roll < 1000) return press_in_spot(PAUSE_SPOT, rng_);
    if (roll < 1001) return press_in_spot(ESCAPE_SPOT, rng_);
    if (roll < 1002) return key_down(SDLK_ESCAPE);
    return falling_piece_event();
}

SDL_Event Soak_Player::falling_piece_event() {
    const bool alt = chance(30); // W, A, S, D instead of the arrows
    if (tower_side_ != SDLK_UNKNOWN && chance(30)) {
        if (!alt) return key_down(tower_side_);
        return key_down(tower_side_ == SDLK_LEFT ? SDLK_a : SDLK_d);
    }
    switch (move_at(pick(total_weight()))) {
    case Move::drop:
        return key_down(alt ? SDLK_s : SDLK_DOWN);
    case Move::drop_release:
        return key_up(alt ? SDLK_s : SDLK_DOWN);
    case Move::left:
        return key_down(alt ? SDLK_a : SDLK_LEFT);
    case Move::left_release:
        return key_up(alt ? SDLK_a : SDLK_LEFT);
    case Move::right:
        return key_down(alt ? SDLK_d : SDLK_RIGHT);
    case Move::right_release:
        return key_up(alt ? SDLK_d : SDLK_RIGHT);
    case Move::turn:
        return key_down(alt ? SDLK_w : SDLK_UP);
    case Move::flare:
        return key_down(SDLK_DELETE);
    case Move::pause:
        return key_down(SDLK_SPACE);
    case Move::enter:
        return key_down(SDLK_RETURN);
    case Move::wander:
        return mouse_event(SDL_MOUSEMOTION, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
    case Move::mouse_release:
        return mouse_event(SDL_MOUSEBUTTONUP, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
    case Move::mouse_press:
        return mouse_event(SDL_MOUSEBUTTONDOWN, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
    case Move::stray_key:
        return key_down(chance(50) ? SDLK_x : SDLK_F1);
    case Move::key_release:
        return key_up(noise_keys[pick(static_cast<int>(std::size(noise_keys)))]);
    }
    return noise_event();
}

SDL_Event Soak_Player::score_entry_event() {
    Score_Input_State* entry = current_state<Score_Input_State>();
    // Without a place the screen hands over to the list at its first frame.
    if (!entry || entry->not_placed || chance(8)) return noise_event();
    if (steps_left_ > 0) {
        --steps_left_;
        return typing_event();
    }
    const UI_Bmp_Button& button = goal_ == 0 ? entry->accept : entry->cancel;
    if (by_mouse_) {
        const Uint8 type = chance(30) ? SDL_MOUSEMOTION : SDL_MOUSEBUTTONDOWN;
        return press_inside(type, button.x, button.y, button.width, button.height, rng_);
    }
    if (entry->focus.focus() != goal_) return key_down(goal_ == 1 ? SDLK_DOWN : SDLK_UP);
    return key_down(SDLK_RETURN);
}

SDL_Event Soak_Player::typing_event() {
    const int roll = pick(100);
    if (roll < 10) return key_down(SDLK_BACKSPACE);
    if (roll < 14) return key_down(SDLK_SPACE);
    if (roll < 70) {
        const SDLMod mod = chance(30) ? KMOD_LSHIFT : KMOD_NONE;
        return key_down(static_cast<SDLKey>(SDLK_a + pick(26)), mod);
    }
    if (roll < 85) return key_down(static_cast<SDLKey>(SDLK_0 + pick(10)));
    return key_down(punctuation_keys[pick(static_cast<int>(std::size(punctuation_keys)))]);
}

SDL_Event Soak_Player::options_event() {
    if (chance(10)) return mouse_event(SDL_MOUSEMOTION, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
    if (steps_left_ > 0) return toggle_option_event();
    return finish_options_event();
}

// Ticks or unticks a box. The special blocks are what the soak is about: they are switched off
// seldom, and switched back on eagerly.
SDL_Event Soak_Player::toggle_option_event() {
    Options_State* options = current_state<Options_State>();
    if (!options) return noise_event();
    int box = pick(Options_State::BOX_COUNT);
    const bool specials_on = options->boxes[1].checked == 1;
    if (box == 1 && specials_on && !chance(15)) box = 2 * pick(2);
    if (!specials_on && chance(60)) box = 1;
    if (by_mouse_) {
        const UI_Bmp_Checkbox& target = options->boxes[box];
        --steps_left_;
        return press_inside(SDL_MOUSEBUTTONDOWN, target.x, target.y, target.box_width,
                            target.height, rng_);
    }
    const int focus = options->focus.focus();
    if (focus == box) {
        --steps_left_;
        return key_down(chance(70) ? SDLK_SPACE : SDLK_RETURN);
    }
    return key_down(focus < box ? SDLK_DOWN : SDLK_UP);
}

SDL_Event Soak_Player::finish_options_event() {
    Options_State* options = current_state<Options_State>();
    if (!options) return noise_event();
    const UI_Bmp_Button& button = goal_ == 0 ? options->ok : options->cancel;
    if (by_mouse_)
        return press_inside(SDL_MOUSEBUTTONDOWN, button.x, button.y, button.width, button.height,
                            rng_);
    const int target = goal_ == 0 ? Options_State::FOCUS_OK : Options_State::FOCUS_CANCEL;
    const int focus = options->focus.focus();
    if (focus == target) return key_down(SDLK_RETURN);
    return key_down(focus < target ? SDLK_DOWN : SDLK_UP);
}

SDL_Event Soak_Player::leave_screen_event() {
    if (wait_it_out_) return noise_event();
    if (steps_left_ > 0) {
        --steps_left_;
        return noise_event();
    }
    const int roll = pick(100);
    if (roll < 60) return key_down(SDLK_RETURN);
    if (roll < 80) return key_down(SDLK_ESCAPE);
    return mouse_event(SDL_MOUSEBUTTONDOWN, pick(SCREEN_WIDTH), pick(SCREEN_HEIGHT));
}

std::string describe_event(const SDL_Event& event) {
    char line[96];
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        std::snprintf(line, sizeof line, "%s %s%s", event_name(event.type),
                      (event.key.keysym.mod & KMOD_SHIFT) ? "shift+" : "",
                      SDL_GetKeyName(event.key.keysym.sym));
        break;
    case SDL_MOUSEMOTION:
        std::snprintf(line, sizeof line, "%s %d,%d", event_name(event.type), event.motion.x,
                      event.motion.y);
        break;
    default:
        std::snprintf(line, sizeof line, "%s %d,%d", event_name(event.type), event.button.x,
                      event.button.y);
        break;
    }
    return line;
}
