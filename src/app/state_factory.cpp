#include "app/state_factory.h"

#include "effects/earth_state.h"
#include "effects/fire_state.h"
#include "effects/ice_state.h"
#include "effects/kill_rows_state.h"
#include "effects/lightning_state.h"
#include "play/faldor_state.h"
#include "ui/about_state.h"
#include "ui/main_menu_state.h"
#include "ui/options_state.h"
#include "ui/score_input_state.h"
#include "ui/score_list_state.h"
#include "ui/splash_state.h"

Game_State* make_state(State_Id id) {
    switch (id) {
    case STATE_SPLASH:
        return new Splash_State();
    case STATE_MAIN_MENU:
        return new Main_Menu_State();
    case STATE_PLAY:
        return new Faldor_State();
    case STATE_KILL_ROWS:
        return new KillRows_State();
    case STATE_EARTH:
        return new Earth_State();
    case STATE_ICE:
        return new Ice_State();
    case STATE_FIRE:
        return new Fire_State();
    case STATE_LIGHTNING:
        return new Lightning_State();
    case STATE_SCORE_INPUT:
        return new Score_Input_State();
    case STATE_SCORE_LIST:
        return new Score_List_State();
    case STATE_OPTIONS:
        return new Options_State();
    case STATE_ABOUT:
        return new About_State();
    default:
        // An id without a state class builds nothing.
        return nullptr;
    }
}
