#include "game/game_context.h"

Game_Context game;

void Game_Context::change_state(State_Id id) {
    next_state_ = id;
    switch_asked_ = true;
}

void Game_Context::request_quit() {
    quit_requested_ = true;
}

bool Game_Context::take_switch(State_Id* id) {
    if (!switch_asked_) return false;
    switch_asked_ = false;
    *id = next_state_;
    return true;
}
