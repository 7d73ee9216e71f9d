#include "effects/effect_state.h"

#include "app/vextile.h"
#include "play/play_record.h"
#include "play/sidebar.h"

namespace {

bool inside(int x, int y, int left, int top, int right, int bottom) {
    return x >= left && x <= right && y >= top && y <= bottom;
}

// The play record as it stands, under the id of the state being built (the switch records the id
// only once the state is made).
Play_Record entered_as(State_Id id) {
    Play_Record record = play_record;
    record.state_id = id;
    return record;
}

} // namespace

Effect_State::Effect_State(State_Id id) : at_entry(entered_as(id)) {}

bool Effect_State::handle_command(Command command, const char* /*text*/) {
    const bool moved = apply_move_command(command);
    switch (command) {
    case CMD_SPACE:
        // Only the flag: the sidebar and the next play state see it, the effect goes on.
        play_record.flags ^= FLAG_PAUSED;
        return true;
    case CMD_ESCAPE:
        app.change_state(STATE_MAIN_MENU);
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

bool Effect_State::slide_down(float& offset) {
    const float block = static_cast<float>(app.block_size);
    offset =
        static_cast<float>(offset + app.block_size * MOVE_CELLS_PER_SECOND * app.frame_seconds);
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
    app.change_state(way_out());
}

void Effect_State::draw_sidebar_if_any() {
    if (app.sidebar) app.sidebar->draw_sidebar();
}
