#include "app/game_state.h"

#include "play/faldor_state.h"
#include "ui/splash_state.h"

Game_State* make_state(State_Id id) {
    switch (id) {
    case STATE_SPLASH:
        return new Splash_State();
    case STATE_PLAY:
        return new Faldor_State();
    default:
        // An id without a state class builds nothing.
        return nullptr;
    }
}
