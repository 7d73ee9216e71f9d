#include "play/move_commands.h"

#include "game/game_context.h"
#include "play/play_record.h"

bool apply_move_command(Command command) {
    uint32_t& flags = play_record.flags;
    switch (command) {
    case CMD_UP:
        flags |= FLAG_ROTATE;
        return true;
    case CMD_DOWN_PRESS:
        flags |= FLAG_FAST_DROP;
        return true;
    case CMD_DOWN_RELEASE:
        // With uncontrolled drop a piece, once sent down, goes all the way.
        if (!(game.options.flags & opt_uncontrolled_drop)) flags &= ~FLAG_FAST_DROP;
        return true;
    case CMD_LEFT_PRESS:
        flags = (flags | FLAG_LEFT) & ~FLAG_RIGHT;
        return true;
    case CMD_LEFT_RELEASE:
        flags &= ~FLAG_LEFT;
        return true;
    case CMD_RIGHT_PRESS:
        flags = (flags | FLAG_RIGHT) & ~FLAG_LEFT;
        return true;
    case CMD_RIGHT_RELEASE:
        flags &= ~FLAG_RIGHT;
        return true;
    case CMD_STOP:
        flags &= ~(FLAG_LEFT | FLAG_RIGHT | FLAG_FAST_DROP);
        return true;
    default:
        return false;
    }
}
