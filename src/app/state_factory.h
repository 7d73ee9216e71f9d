// The one place that knows every state class.
#pragma once

#include "game/game_state.h"

// Builds the state of the given id, or null for an id that has no state.
Game_State* make_state(State_Id id);
