#include "app/gamepad.h"

#include <initializer_list>

namespace {

constexpr SDLKey DIRECTION_KEYS[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};

// The key of a button, or SDLK_UNKNOWN for a button that means nothing.
SDLKey button_key(int button, bool in_play) {
    switch (button) {
    case PAD_BUTTON_TURN:
        return in_play ? SDLK_UP : SDLK_RETURN;
    case PAD_BUTTON_FLARE:
        return SDLK_DELETE;
    case PAD_BUTTON_BACK:
        return SDLK_ESCAPE;
    case PAD_BUTTON_START:
        return in_play ? SDLK_SPACE : SDLK_RETURN;
    default:
        return SDLK_UNKNOWN;
    }
}

void add(Pad_Keys* keys, SDLKey key, bool pressed) {
    keys->keys[keys->count++] = {key, pressed};
}

} // namespace

void Gamepad::start() {
    started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    since_look_ = 0.0;
    if (started_) open_first();
}

void Gamepad::open_first() {
    if (SDL_NumJoysticks() < 1) return;
    joystick_ = SDL_JoystickOpen(0);
    if (!joystick_) return;
    SDL_JoystickEventState(SDL_ENABLE);
    release_all();
}

void Gamepad::watch(double seconds) {
    if (joystick_) return;
    since_look_ += seconds;
    if (since_look_ < PAD_LOOK_SECONDS) return;
    // Nothing is open, so nothing is lost by starting the joystick support afresh.
    if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    start();
}

void Gamepad::stop() {
    if (joystick_) SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    started_ = false;
    release_all();
}

void Gamepad::release_all() {
    for (int d = 0; d < DIRECTIONS; ++d)
        hat_[d] = stick_[d] = false;
    for (SDLKey& key : button_keys_)
        key = SDLK_UNKNOWN;
}

Pad_Keys Gamepad::translate(const SDL_Event& event, bool in_play) {
    switch (event.type) {
    case SDL_JOYAXISMOTION:
        return axis(event.jaxis.axis, event.jaxis.value);
    case SDL_JOYHATMOTION:
        return event.jhat.hat == 0 ? hat(event.jhat.value) : Pad_Keys();
    case SDL_JOYBUTTONDOWN:
        return button(event.jbutton.button, true, in_play);
    case SDL_JOYBUTTONUP:
        return button(event.jbutton.button, false, in_play);
    default:
        return {};
    }
}

// A direction is held while the d-pad or the stick holds it: it is pressed when the first of the
// two takes it and released when the last lets go. Releases come before presses, so a stick
// swung from left to right lets go of Left before it presses Right, as two keys would.
Pad_Keys Gamepad::set_directions(bool (&source)[DIRECTIONS], const bool (&now)[DIRECTIONS]) {
    bool before[DIRECTIONS];
    for (int d = 0; d < DIRECTIONS; ++d) {
        before[d] = hat_[d] || stick_[d];
        source[d] = now[d];
    }
    Pad_Keys keys;
    for (const bool pressed : {false, true})
        for (int d = 0; d < DIRECTIONS; ++d) {
            const bool held = hat_[d] || stick_[d];
            if (held != before[d] && held == pressed) add(&keys, DIRECTION_KEYS[d], pressed);
        }
    return keys;
}

Pad_Keys Gamepad::axis(int axis, int value) {
    if (axis > 1) return {};
    bool now[DIRECTIONS];
    for (int d = 0; d < DIRECTIONS; ++d)
        now[d] = stick_[d];
    const bool negative = value <= -PAD_STICK_DEAD_ZONE;
    const bool positive = value >= PAD_STICK_DEAD_ZONE;
    if (axis == 0) {
        now[LEFT] = negative;
        now[RIGHT] = positive;
    } else {
        now[UP] = negative;
        now[DOWN] = positive;
    }
    return set_directions(stick_, now);
}

Pad_Keys Gamepad::hat(Uint8 value) {
    const bool now[DIRECTIONS] = {(value & SDL_HAT_UP) != 0, (value & SDL_HAT_DOWN) != 0,
                                  (value & SDL_HAT_LEFT) != 0, (value & SDL_HAT_RIGHT) != 0};
    return set_directions(hat_, now);
}

// A button gives the key of its meaning when pressed, and lets go of that same key when released,
// whatever screen has come meanwhile.
Pad_Keys Gamepad::button(int button, bool pressed, bool in_play) {
    Pad_Keys keys;
    if (button < 0 || button >= PAD_BUTTONS) return keys;
    SDLKey& held = button_keys_[button];
    if (pressed) {
        if (held != SDLK_UNKNOWN) return keys;
        held = button_key(button, in_play);
        if (held != SDLK_UNKNOWN) add(&keys, held, true);
    } else if (held != SDLK_UNKNOWN) {
        add(&keys, held, false);
        held = SDLK_UNKNOWN;
    }
    return keys;
}
