// The movement keys of play, as flags of the game in progress.
#pragma once

#include "game/commands.h"

// Turns the movement commands into play flags of the game in progress. Answers true for the eight
// movement commands (up, down press and release, left press and release, right press and release,
// stop) and false for every other command, which it leaves alone.
bool apply_move_command(Command command);
