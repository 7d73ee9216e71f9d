// The gamepad: the first joystick SDL finds, at the start or plugged in later, turned into the
// keys it stands for. The d-pad and the left stick are the arrow keys, held while held; button 0
// is Up in play and Enter in the menus, button 1 Delete, the start button (7) Space in play and
// Enter in the menus, button 6 Escape.
#pragma once

#include <SDL/SDL.h>

// A key pressed or released on the pad's behalf.
struct Pad_Key {
    SDLKey key;
    bool pressed;
};

// What one joystick event stands for: at most a release and a press per axis of the d-pad and
// the stick together.
struct Pad_Keys {
    Pad_Key keys[4];
    int count = 0;
};

constexpr int PAD_BUTTON_TURN = 0;
constexpr int PAD_BUTTON_FLARE = 1;
constexpr int PAD_BUTTON_BACK = 6;
constexpr int PAD_BUTTON_START = 7;
constexpr int PAD_BUTTONS = 8;
// The stick counts as pushed from half-way on.
constexpr int PAD_STICK_DEAD_ZONE = 16384;
// While no pad is open, SDL is asked to look again this often.
constexpr double PAD_LOOK_SECONDS = 2.0;

class Gamepad {
  public:
    Gamepad() = default;
    Gamepad(const Gamepad&) = delete;
    Gamepad& operator=(const Gamepad&) = delete;

    // Starts SDL's joystick support and opens the first pad, if there is one.
    void start();
    // The game's time goes on: while no pad is open, every PAD_LOOK_SECONDS SDL's joystick
    // support is started afresh (SDL 1.2 sees new devices only then) and the first pad opened.
    void watch(double seconds);
    // Closes the pad and stops SDL's joystick support.
    void stop();
    bool is_open() const { return joystick_ != nullptr; }

    // The keys a joystick event stands for. in_play chooses between the play and the menu
    // meanings of buttons 0 and 7.
    Pad_Keys translate(const SDL_Event& event, bool in_play);
    // Forgets every direction and button held (a new pad starts released).
    void release_all();

  private:
    enum Direction { UP, DOWN, LEFT, RIGHT, DIRECTIONS };

    void open_first();
    // The new held directions of the d-pad or of the stick, and the keys the change gives.
    Pad_Keys set_directions(bool (&source)[DIRECTIONS], const bool (&now)[DIRECTIONS]);
    Pad_Keys axis(int axis, int value);
    Pad_Keys hat(Uint8 value);
    Pad_Keys button(int button, bool pressed, bool in_play);

    SDL_Joystick* joystick_ = nullptr;
    bool started_ = false;
    double since_look_ = 0.0;
    bool hat_[DIRECTIONS] = {};
    bool stick_[DIRECTIONS] = {};
    SDLKey button_keys_[PAD_BUTTONS] = {}; // the key each held button pressed, SDLK_UNKNOWN if none
};
