#include "effects/effect_state.h"

#include "game/game_context.h"
#include "play/block_tiles.h"
#include "play/move_commands.h"
#include "play/play_record.h"
#include "play/sidebar.h"

namespace {

bool inside(int x, int y, int left, int top, int right, int bottom) {
    return x >= left && x <= right && y >= top && y <= bottom;
}

// The game as an effect left it when it asked for the next state, under that state's id. The switch
// is made once the effect's frame is over, and the ice draws the sidebar after asking, which counts
// the shown score on: the row clear it hands over to begins on the game as it was handed over.
Play_Record handed_over;
bool hand_over_waiting = false;

// The play record as it stands (or as it was handed over), under the id of the state being built
// (the switch records the id only once the state is made).
Play_Record entered_as(State_Id id) {
    const bool handed = hand_over_waiting && handed_over.state_id == id;
    hand_over_waiting = false;
    Play_Record record = handed ? handed_over : play_record;
    record.state_id = id;
    return record;
}

} // namespace

Effect_State::Effect_State(State_Id id) : at_entry(entered_as(id)), row_(effect_of_state(id)) {}

bool Effect_State::handle_command(Command command, const char* /*text*/) {
    const bool moved = apply_move_command(command);
    switch (command) {
    case CMD_SPACE:
        // Only the flag: the sidebar and the next play state see it, the effect goes on.
        play_record.flags ^= FLAG_PAUSED;
        return true;
    case CMD_ESCAPE:
        game.change_state(STATE_MAIN_MENU);
        return true;
    default:
        return moved;
    }
}

bool Effect_State::handle_mouse(Mouse_Action action, int x, int y) {
    if (action != MOUSE_PRESS) return false;
    if (inside(x, y, 115, 150, 124, 159)) return handle_command(CMD_SPACE, nullptr);
    if (inside(x, y, 149, 149, 158, 158)) return handle_command(CMD_ESCAPE, nullptr);
    return false;
}

bool Effect_State::slide_down(float& offset, double seconds) {
    const float block = static_cast<float>(block_size());
    offset = static_cast<float>(offset + block_size() * MOVE_CELLS_PER_SECOND * seconds);
    if (offset < block) return false;
    offset = block;
    return true;
}

State_Id Effect_State::way_out() {
    if (play_record.grid.find_full_rows(GRID_ROWS - 1, 0) > 0) return STATE_KILL_ROWS;
    // A sideways or fast-drop key held through the effect must not act on the next piece.
    handle_command(CMD_STOP, nullptr);
    return STATE_PLAY;
}

void Effect_State::leave() {
    const State_Id next = way_out();
    handed_over = play_record;
    handed_over.state_id = next;
    hand_over_waiting = true;
    game.change_state(next);
}

void Effect_State::draw_sidebar_if_any(double seconds) {
    if (game.sidebar) game.sidebar->draw_sidebar(seconds);
}
