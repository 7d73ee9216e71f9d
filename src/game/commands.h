// Commands and mouse actions: what the keyboard and the mouse mean to a screen.
#pragma once

#include <cstdint>

// One 32-bit code delivered to Game_State::handle_command. Menus also send their own button
// indices (0, 1, ...) through the same call.
using Command = uint32_t;

constexpr Command CMD_UP = 'e';            // up / rotate
constexpr Command CMD_DOWN_PRESS = 'f';    // down pressed
constexpr Command CMD_DOWN_RELEASE = 'g';  // down released
constexpr Command CMD_LEFT_PRESS = 'h';    // left pressed
constexpr Command CMD_LEFT_RELEASE = 'i';  // left released
constexpr Command CMD_RIGHT_PRESS = 'j';   // right pressed
constexpr Command CMD_RIGHT_RELEASE = 'k'; // right released
constexpr Command CMD_BACKSPACE = 'l';     // backspace
constexpr Command CMD_TEXT_SPACE = 'm';    // space while typing
constexpr Command CMD_ENTER = 'n';         // return
constexpr Command CMD_CHAR = 'o';          // a typed character; the text points at it
constexpr Command CMD_DELETE = 'p';        // delete (spend a flare)
constexpr Command CMD_SPACE = 'q';         // space while not typing (pause)
constexpr Command CMD_ESCAPE = 'r';        // escape
constexpr Command CMD_STOP = 's';          // never from a key: drops left, right and fast drop

// What happened to the mouse.
using Mouse_Action = int32_t;
constexpr Mouse_Action MOUSE_PRESS = 0;
constexpr Mouse_Action MOUSE_MOTION = 1;
constexpr Mouse_Action MOUSE_RELEASE = 2;
