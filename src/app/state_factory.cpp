#include "app/game_state.h"

#include "ui/splash_state.h"

Game_State* make_state(State_Id id) {
    switch (id) {
    case STATE_SPLASH:
        return new Splash_State();
    default:
        // An id without a state class builds nothing.
        return nullptr;
    }
}
