#include "play/faldor_state.h"

#include "game/effect_table.h"
#include "game/game_context.h"
#include "media/sounds.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/move_commands.h"
#include "play/play_record.h"
#include "play/sidebar.h"

#include <algorithm>
#include <cstdlib>

Bitmap_Id overlay_bitmap = BMP_PAUSED;

namespace {

bool flag_set(uint32_t flag) {
    return (play_record.flags & flag) != 0;
}
void set_flag(uint32_t flag) {
    play_record.flags |= flag;
}
void clear_flag(uint32_t flag) {
    play_record.flags &= ~flag;
}

// Two cells per second, in pixels for a frame of the given seconds: the unit of every speed in
// play.
double base_speed(double seconds) {
    return 2.0 * block_size() * seconds;
}

void load_overlay(Bitmap_Id id) {
    overlay_bitmap = id;
    zgl_get_bitmap(id);
    zgl_set_bitmap_colorkey(id, COLOR_BLACK);
}

// Whether any cell of the piece has a block right beside it, dcol being -1 (left) or 1 (right).
// Cells above the well never touch anything.
bool block_beside(const Piece& piece, int dcol) {
    for (int i = 0; i < 4; ++i) {
        const Grid_Pos pos = piece_cell(piece, i);
        if (pos.row >= 0 && play_record.grid.is_occupied(pos.col + dcol, pos.row)) return true;
    }
    return false;
}

void step_target_left(const Piece& piece) {
    int& target = play_record.target_col;
    const int min_dx = piece_bounds(piece, 0).dx;
    target -= 1;
    if (target + min_dx < 0) {
        target = -min_dx; // against the wall: it simply stops there
    } else if (block_beside(piece, -1)) {
        target += 1;
    }
}

void step_target_right(const Piece& piece) {
    int& target = play_record.target_col;
    const int max_dx = piece_bounds(piece, 1).dx;
    target += 1;
    if (target + max_dx > GRID_COLS - 1) {
        target = GRID_COLS - 1 - max_dx;
    } else if (block_beside(piece, 1)) {
        target -= 1;
    }
}

// Whether the piece, one column further toward its target, would meet a block in the rows it
// is in: the row it is moving into and, until its pixels reach that row, the one it is leaving.
bool slide_blocked(const Piece& piece) {
    const int target = play_record.target_col;
    if (target == piece.col) return false;
    const int step = target < piece.col ? -1 : 1;
    const bool leaving_a_row = piece.y < static_cast<float>(piece.row * block_size());
    for (int i = 0; i < 4; ++i) {
        const Grid_Pos pos = piece_cell(piece, i);
        const Grid_Field& grid = play_record.grid;
        if (grid.is_occupied(pos.col + step, pos.row) ||
            (leaving_a_row && grid.is_occupied(pos.col + step, pos.row - 1)))
            return true;
    }
    return false;
}

// A blocked slide stops where it is: the piece goes back onto its column, silently, as at a wall.
void stop_slide(Piece& piece) {
    play_record.target_col = piece.col;
    piece.x = static_cast<float>(piece.col * block_size());
}

// Writes the landed piece into the well with its ordinary tile, the special cell included.
void write_piece_into_well(const Piece& piece) {
    for (int i = 0; i < 4; ++i) {
        const Grid_Pos pos = piece_cell(piece, i);
        // Cells above the well are lost. A cell beside the well (a restored game may hold a piece
        // there) must not be written into the neighbouring row, nor a block be written over.
        const bool inside =
            pos.col >= 0 && pos.col < GRID_COLS && pos.row >= 0 && pos.row < GRID_ROWS;
        if (inside && !play_record.grid.is_occupied(pos.col, pos.row))
            play_record.grid.set_cell(pos.col, pos.row, piece.tile);
    }
}

// The effect that a special block brings on when its piece lands, or none.
State_Id effect_of(int special_kind) {
    const Special_Effect* const effect = effect_of_kind(special_kind);
    return effect ? effect->state : STATE_NONE;
}

void use_flare() {
    Piece& current = play_record.current;
    if (play_record.flares < 1 || current.special_cell == -1) {
        play_sound(SND_MISS);
        return;
    }
    play_record.flares -= 1;
    load_sound(SND_KILLBLOX);
    play_sound(SND_KILLBLOX);
    start_flash(current);
    current.special_kind = -1;
    current.special_cell = -1;
}

// Black under everything but the well and the sidebar: the well surface is opaque and is copied
// over the top left corner of the screen right after, and a sidebar that paints its strip with an
// opaque picture follows, so clearing those parts too would only be painted over.
void clear_around_well() {
    const SDL_Surface* const well = Grid_Field_Surface::well_surface;
    if (!well) {
        fill_rect(COLOR_BLACK, {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT});
        return;
    }
    const Rect strip = {well->w, 0, SCREEN_WIDTH - well->w, SCREEN_HEIGHT};
    const bool strip_painted = game.sidebar && game.sidebar->paints_over(strip);
    if (well->w < SCREEN_WIDTH && !strip_painted) fill_rect(COLOR_BLACK, strip);
    if (well->h < SCREEN_HEIGHT)
        fill_rect(COLOR_BLACK,
                  {0, well->h, std::min<int>(well->w, SCREEN_WIDTH), SCREEN_HEIGHT - well->h});
}

// While the game is over only enter and escape count; while paused only space and escape, and
// letting go of a key held when the game paused (else the piece would slide on after the pause).
bool command_allowed(Command command) {
    if (flag_set(FLAG_GAME_OVER)) return command == CMD_ENTER || command == CMD_ESCAPE;
    if (flag_set(FLAG_PAUSED))
        return command == CMD_SPACE || command == CMD_ESCAPE || command == CMD_LEFT_RELEASE ||
               command == CMD_RIGHT_RELEASE || command == CMD_DOWN_RELEASE;
    return true;
}

} // namespace

Faldor_State::Faldor_State() {
    set_background(BMP_NONE);
    // An effect may have painted over the well: repaint it from the cells.
    play_record.grid.redraw_region(0, 0, GRID_COLS, GRID_ROWS);
    load_overlay(BMP_PAUSED);
    // A game that was over when the program was closed comes back showing that it is over.
    if (flag_set(FLAG_GAME_OVER)) show_game_over();
    load_sound(SND_BLOCK_HIT);
    load_sound(SND_UI_CLICK);
    load_sound(SND_NEW_LEVEL);
    load_sound(SND_MISS);
}

Faldor_State::~Faldor_State() = default;

bool Faldor_State::handle_command(Command command, const char* /*text*/) {
    if (!command_allowed(command)) return false;
    const bool result = apply_move_command(command);
    switch (command) {
    case CMD_LEFT_PRESS:
    case CMD_RIGHT_PRESS: {
        // A quick second tap must not be lost; a press the other way cancels a waiting step.
        const int way = command == CMD_LEFT_PRESS ? -1 : 1;
        const int sliding = play_record.target_col - play_record.current.col;
        queued_step = sliding * way > 0 ? way : 0;
        break;
    }
    case CMD_STOP:
        queued_step = 0;
        break;
    case CMD_LEFT_RELEASE:
    case CMD_RIGHT_RELEASE:
        hold_time = 0.0f;
        break;
    case CMD_ENTER:
        if (flag_set(FLAG_GAME_OVER)) {
            game.change_state(STATE_SCORE_INPUT);
            return true;
        }
        break;
    case CMD_DELETE:
        use_flare();
        break;
    case CMD_SPACE:
        play_record.flags ^= FLAG_PAUSED;
        return true;
    case CMD_ESCAPE:
        // The game stays in the play record; the menu starts a new one when asked.
        game.change_state(STATE_MAIN_MENU);
        return true;
    default:
        break;
    }
    return result;
}

bool Faldor_State::handle_mouse(Mouse_Action action, int /*x*/, int /*y*/) {
    if (action == MOUSE_PRESS && flag_set(FLAG_GAME_OVER)) {
        game.change_state(STATE_SCORE_INPUT);
        return true;
    }
    if (action == MOUSE_RELEASE) return handle_command(CMD_STOP, nullptr);
    return false;
}

void Faldor_State::do_frame(double seconds) {
    if (!flag_set(FLAG_GAME_OVER) && !flag_set(FLAG_PAUSED)) {
        change_level();
        if (!flag_set(FLAG_FALLING) && !bring_in_piece()) return;
        apply_movement_requests();
        count_hold_time(seconds);
        slide(seconds);
        fall(seconds);
        stop_if_blocked();
        // A landing that hands over to an effect draws nothing more in this frame.
        if (!flag_set(FLAG_FALLING) && !land()) return;
    }
    draw(seconds);
}

void Faldor_State::change_level() {
    if (play_record.blocks_cleared <= 63) return;
    const bool first_of_game = play_record.level == 0;
    play_record.level += 1;
    play_record.flares += 1;
    play_record.blocks_cleared = 0;
    if (first_of_game) {
        generate_piece(play_record.next, -1, game.options);
    } else {
        play_sound(SND_NEW_LEVEL);
    }
    clear_flag(FLAG_FALLING);
}

bool Faldor_State::bring_in_piece() {
    if (play_record.grid.top_row_occupied()) {
        end_game();
        return false;
    }
    Piece& current = play_record.current;
    current = play_record.next;
    // The leftmost cell enters in a column from 0 to 12 - (max_dx - min_dx): no piece enters
    // with a cell in column 13.
    const int min_dx = piece_bounds(current, 0).dx;
    const int max_dx = piece_bounds(current, 1).dx;
    current.col = std::rand() % (13 - (max_dx - min_dx)) - min_dx;
    play_record.target_col = current.col;
    current.x = static_cast<float>(current.col * block_size());
    current.y = 0.0f;
    current.row = 0;
    set_flag(FLAG_FALLING);
    queued_step = 0;
    generate_piece(play_record.next, -1, game.options);
    if (game.sidebar) game.sidebar->place_next_piece();
    return true;
}

void Faldor_State::apply_movement_requests() {
    Piece& current = play_record.current;
    if (flag_set(FLAG_ROTATE)) {
        // While the piece slides it spans two columns: the turn must fit where it is going and
        // where it stands.
        if (rotation_allowed(current, play_record.target_col, play_record.grid) &&
            rotation_allowed(current, current.col, play_record.grid)) {
            play_sound(SND_UI_CLICK);
            rotate_piece(current);
        } else {
            play_sound(SND_MISS);
        }
        clear_flag(FLAG_ROTATE);
    }
    // A new step is asked for each time the piece has caught up with its target: a held key
    // gives a continuous slide, a waiting tap one more column.
    if ((flag_set(FLAG_LEFT) || queued_step < 0) && play_record.target_col >= current.col) {
        step_target_left(current);
        queued_step = 0;
    } else if ((flag_set(FLAG_RIGHT) || queued_step > 0) && play_record.target_col <= current.col) {
        step_target_right(current);
        queued_step = 0;
    }
}

void Faldor_State::count_hold_time(double seconds) {
    if (flag_set(FLAG_LEFT | FLAG_RIGHT)) hold_time += static_cast<float>(seconds);
}

void Faldor_State::slide(double seconds) {
    Piece& current = play_record.current;
    const int block = block_size();
    double speed = base_speed(seconds) * 12.0;
    // A quarter of full speed at first, full speed after half a second of holding.
    if (hold_time < 0.5f) speed *= hold_time * 1.5 + 0.25;
    if (slide_blocked(current)) {
        stop_slide(current);
    } else if (play_record.target_col < current.col) {
        current.x = static_cast<float>(current.x - speed);
        if (current.x < (current.col - 1) * block) {
            current.col -= 1;
            current.x = static_cast<float>(current.col * block);
        }
    } else if (play_record.target_col > current.col) {
        current.x = static_cast<float>(current.x + speed);
        if (current.x > (current.col + 1) * block) {
            current.col += 1;
            current.x = static_cast<float>(current.col * block);
        }
    }
}

void Faldor_State::fall(double seconds) {
    Piece& current = play_record.current;
    const double speed = flag_set(FLAG_FAST_DROP) ? base_speed(seconds) * 12.0
                                                  : base_speed(seconds) * play_record.level * 0.6;
    current.y = static_cast<float>(current.y + speed);
    // row is the row the piece is moving into, one ahead of its pixels once it has moved.
    if (current.y > current.row * block_size()) current.row += 1;
    // The new row may hold a block beside the piece where the slide is going.
    if (slide_blocked(current)) stop_slide(current);
}

void Faldor_State::stop_if_blocked() {
    Piece& current = play_record.current;
    if (piece_blocked(current, play_record.grid)) {
        current.row -= 1;
        current.y = static_cast<float>(current.row * block_size());
        clear_flag(FLAG_FALLING);
    }
}

bool Faldor_State::land() {
    const Piece& current = play_record.current;
    play_sound(SND_BLOCK_HIT);
    clear_flag(FLAG_FAST_DROP);
    write_piece_into_well(current);
    const State_Id effect = effect_of(current.special_kind);
    if (effect != STATE_NONE) {
        game.change_state(effect);
        return false;
    }
    const int bottom = piece_abs_bounds(current, 1).row;
    const int top = piece_abs_bounds(current, 0).row;
    if (play_record.grid.find_full_rows(bottom, top) > 0) {
        game.change_state(STATE_KILL_ROWS);
        return false;
    }
    return true;
}

void Faldor_State::draw(double seconds) {
    clear_around_well();
    play_record.grid.draw(0, 0);
    draw_piece(play_record.current, seconds);
    if (game.sidebar) game.sidebar->draw_sidebar(seconds);
    const bool over = flag_set(FLAG_GAME_OVER);
    if (over || flag_set(FLAG_PAUSED)) draw_overlay();
    if (over) draw_game_over_line();
}

void Faldor_State::draw_overlay() {
    const Size size = zgl_bitmap_size(overlay_bitmap);
    const int x = (GRID_COLS * block_size() - size.w) / 2;
    const int y = (SCREEN_HEIGHT - size.h) / 2;
    zgl_draw_bitmap(overlay_bitmap, {x, y});
}

void Faldor_State::draw_game_over_line() {
    const int y = SCREEN_HEIGHT - text_height();
    zgl_draw_bitmap(BMP_TEXT_BACKGROUND, {0, y});
    draw_text_centered(TXT_PRESS_ENTER, 0, y, SCREEN_WIDTH);
}

void Faldor_State::end_game() {
    set_flag(FLAG_GAME_OVER);
    clear_flag(FLAG_IN_PROGRESS);
    show_game_over();
}

void Faldor_State::show_game_over() {
    load_overlay(BMP_GAME_OVER);
    get_text(TXT_PRESS_ENTER);
    zgl_get_bitmap(BMP_TEXT_BACKGROUND);
    // Translucent, so the well shows through the strip.
    zgl_set_bitmap_alpha(BMP_TEXT_BACKGROUND, 154);
}
