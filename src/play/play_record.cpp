#include "play/play_record.h"

#include "game/effect_table.h"
#include "store/record_file.h"

#include <cmath>
#include <cstring>

Play_Record play_record;

namespace {

// Offsets in the record's image.
constexpr int AT_STATE_ID = 0;
constexpr int AT_FLAGS = 4;
constexpr int AT_LEVEL = 8;
constexpr int AT_GRID_CELLS = 16; // 12..15 hold the grid's type identity, which carries nothing
constexpr int AT_FULL_ROW_LIST = 1136;
constexpr int AT_FULL_ROW_COUNT = 1216;
constexpr int AT_CURRENT = 1220;
constexpr int AT_NEXT = 1268;
constexpr int AT_BLOCKS_CLEARED = 1316;
constexpr int AT_TARGET_COL = 1320;
constexpr int AT_SCORE = 1324;
constexpr int AT_SHOWN_SCORE = 1328;
constexpr int AT_SCORE_STEP = 1332;
constexpr int AT_FLARES = 1336;
constexpr int AT_RESERVED_FLOAT = 1340;
constexpr int AT_RESERVED_WORD = 1344;

// Offsets inside a piece's 48 bytes; 45..47 are padding.
constexpr int PIECE_SHAPE = 0;
constexpr int PIECE_ROTATION = 4;
constexpr int PIECE_COL = 8;
constexpr int PIECE_ROW = 12;
constexpr int PIECE_X = 16;
constexpr int PIECE_Y = 20;
constexpr int PIECE_TILE = 24;
constexpr int PIECE_SPECIAL_KIND = 28;
constexpr int PIECE_SPECIAL_CELL = 32;
constexpr int PIECE_BLINK_TIMER = 36;
constexpr int PIECE_FLASH = 40;
constexpr int PIECE_BLINK_ON = 44;

static_assert(AT_RESERVED_WORD + 4 == PLAY_RECORD_SIZE);
static_assert(AT_GRID_CELLS + 4 * GRID_COLS * GRID_ROWS == AT_FULL_ROW_LIST);
static_assert(AT_FULL_ROW_LIST + 4 * GRID_ROWS == AT_FULL_ROW_COUNT);

constexpr int32_t NEW_GAME_BLOCKS_CLEARED = 64; // the first play frame raises the level to 1

void encode_piece(const Piece& piece, uint8_t* out) {
    put_i32(out + PIECE_SHAPE, piece.shape);
    put_i32(out + PIECE_ROTATION, piece.rotation);
    put_i32(out + PIECE_COL, piece.col);
    put_i32(out + PIECE_ROW, piece.row);
    put_f32(out + PIECE_X, piece.x);
    put_f32(out + PIECE_Y, piece.y);
    put_i32(out + PIECE_TILE, piece.tile);
    put_i32(out + PIECE_SPECIAL_KIND, piece.special_kind);
    put_i32(out + PIECE_SPECIAL_CELL, piece.special_cell);
    put_f32(out + PIECE_BLINK_TIMER, piece.blink_timer);
    put_f32(out + PIECE_FLASH, piece.flash);
    out[PIECE_BLINK_ON] = piece.blink_on;
}

void decode_piece(const uint8_t* in, Piece* piece) {
    piece->shape = get_i32(in + PIECE_SHAPE);
    piece->rotation = get_i32(in + PIECE_ROTATION);
    piece->col = get_i32(in + PIECE_COL);
    piece->row = get_i32(in + PIECE_ROW);
    piece->x = get_f32(in + PIECE_X);
    piece->y = get_f32(in + PIECE_Y);
    piece->tile = get_i32(in + PIECE_TILE);
    piece->special_kind = get_i32(in + PIECE_SPECIAL_KIND);
    piece->special_cell = get_i32(in + PIECE_SPECIAL_CELL);
    piece->blink_timer = get_f32(in + PIECE_BLINK_TIMER);
    piece->flash = get_f32(in + PIECE_FLASH);
    piece->blink_on = in[PIECE_BLINK_ON];
}

void encode_grid(const Grid_Field& grid, uint8_t* out) {
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i)
        put_i32(out + AT_GRID_CELLS + 4 * i, grid.cells[i]);
    for (int i = 0; i < GRID_ROWS; ++i)
        put_i32(out + AT_FULL_ROW_LIST + 4 * i, grid.full_row_list[i]);
    put_i32(out + AT_FULL_ROW_COUNT, grid.full_row_count);
}

void decode_grid(const uint8_t* in, Grid_Field* grid) {
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i)
        grid->cells[i] = get_i32(in + AT_GRID_CELLS + 4 * i);
    for (int i = 0; i < GRID_ROWS; ++i)
        grid->full_row_list[i] = get_i32(in + AT_FULL_ROW_LIST + 4 * i);
    grid->full_row_count = get_i32(in + AT_FULL_ROW_COUNT);
}

// The largest magnitude a stored float may have: far beyond any pixel position or timer the game
// makes, small enough that converting it to a pixel coordinate cannot overflow.
constexpr float FLOAT_LIMIT = 1000000.0f;

bool float_is_sound(float value) {
    return std::isfinite(value) && std::fabs(value) < FLOAT_LIMIT;
}

// The largest magnitude of a stored column or row (a piece's or the slide's target): far beyond
// the well and the space around it, small enough that its pixel position cannot overflow.
constexpr int32_t POSITION_LIMIT = 1000;

// The highest stored level: at level 1000 a piece falls sixty screens a second, far beyond where
// any game ends; the fall speed in pixels stays far from overflowing a position.
constexpr int32_t LEVEL_LIMIT = 1000;

// A level change brings one flare, so no game holds more flares than levels.
constexpr int32_t FLARE_LIMIT = LEVEL_LIMIT;

// The highest stored score: a billion points is tens of millions of cleared rows, far beyond any
// game, and leaves room for more than a million of the largest clears before the count overflows.
constexpr int32_t SCORE_LIMIT = 1000000000;

// The blocks cleared since the last level change stay under a level's worth (64, which a new game
// starts with) until a row clear adds a whole well at most; the next play frame changes the level.
constexpr int32_t BLOCKS_CLEARED_LIMIT = NEW_GAME_BLOCKS_CLEARED + GRID_COLS * GRID_ROWS;

// The shown score counts up to the score by the score step: 1, 2 while rows flash, or the number
// of rows cleared.
constexpr int32_t SCORE_STEP_LIMIT = GRID_ROWS;

bool in_range(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

// Every counter within the range that a game reaches: the arithmetic of play never overflows.
bool counters_are_sound(const Play_Record& record) {
    return in_range(record.level, 0, LEVEL_LIMIT) && in_range(record.flares, 0, FLARE_LIMIT) &&
           in_range(record.score, 0, SCORE_LIMIT) &&
           in_range(record.shown_score, 0, record.score) &&
           in_range(record.score_step, 0, SCORE_STEP_LIMIT) &&
           in_range(record.blocks_cleared, 0, BLOCKS_CLEARED_LIMIT);
}

bool position_is_sound(int32_t value) {
    return value >= -POSITION_LIMIT && value <= POSITION_LIMIT;
}

bool tile_is_sound(int32_t tile) {
    return tile >= 0 && tile <= highest_tile();
}

// A piece's special block, when it has one, shows a special face. A piece that was constructed or
// reset holds kind 0 on cell 0, which draws an ordinary tile; anything else on a special cell is
// not a record the game writes. Nor is a special kind without its cell: it would bring on its
// effect at the landing, though the flare finds no block to burn.
bool special_is_sound(const Piece& piece) {
    const bool special_kind = effect_of_kind(piece.special_kind) != nullptr;
    if (piece.special_cell < -1 || piece.special_cell > 3) return false;
    if (piece.special_cell == -1) return !special_kind;
    return piece.special_kind == 0 || special_kind;
}

bool piece_is_sound(const Piece& piece) {
    return piece.shape >= 0 && piece.shape < SHAPE_COUNT && piece.rotation >= 0 &&
           piece.rotation < shape_table[piece.shape].rotation_count && tile_is_sound(piece.tile) &&
           special_is_sound(piece) && position_is_sound(piece.col) &&
           position_is_sound(piece.row) && float_is_sound(piece.x) && float_is_sound(piece.y) &&
           float_is_sound(piece.blink_timer) && float_is_sound(piece.flash);
}

bool grid_is_sound(const Grid_Field& grid) {
    for (const int32_t cell : grid.cells) {
        if (cell != EMPTY_CELL && !tile_is_sound(cell)) return false;
    }
    if (grid.full_row_count < 0 || grid.full_row_count > GRID_ROWS) return false;
    for (int i = 0; i < grid.full_row_count; ++i) {
        if (grid.full_row_list[i] < 0 || grid.full_row_list[i] >= GRID_ROWS) return false;
    }
    return true;
}

} // namespace

void reset_play_record(Play_Record* record) {
    if (!record) return;
    record->flags = FLAG_IN_PROGRESS;
    record->level = 0;
    record->grid.clear_rows(0, GRID_ROWS);
    clear_piece(record->current);
    clear_piece(record->next);
    record->blocks_cleared = NEW_GAME_BLOCKS_CLEARED;
    record->target_col = 0;
    record->score = 0;
    record->shown_score = 0;
    record->score_step = 0;
    record->flares = 0;
    record->reserved_float = 0.0f;
}

void encode_play_record(const Play_Record& record, uint8_t* out) {
    // Zero first: the grid's identity bytes and the pieces' padding are written as 0.
    std::memset(out, 0, PLAY_RECORD_SIZE);
    put_i32(out + AT_STATE_ID, record.state_id);
    put_u32(out + AT_FLAGS, record.flags);
    put_i32(out + AT_LEVEL, record.level);
    encode_grid(record.grid, out);
    encode_piece(record.current, out + AT_CURRENT);
    encode_piece(record.next, out + AT_NEXT);
    put_i32(out + AT_BLOCKS_CLEARED, record.blocks_cleared);
    put_i32(out + AT_TARGET_COL, record.target_col);
    put_i32(out + AT_SCORE, record.score);
    put_i32(out + AT_SHOWN_SCORE, record.shown_score);
    put_i32(out + AT_SCORE_STEP, record.score_step);
    put_i32(out + AT_FLARES, record.flares);
    put_f32(out + AT_RESERVED_FLOAT, record.reserved_float);
    put_i32(out + AT_RESERVED_WORD, record.reserved_word);
}

void decode_play_record(const uint8_t* in, Play_Record* record) {
    record->state_id = get_i32(in + AT_STATE_ID);
    record->flags = get_u32(in + AT_FLAGS);
    record->level = get_i32(in + AT_LEVEL);
    decode_grid(in, &record->grid);
    decode_piece(in + AT_CURRENT, &record->current);
    decode_piece(in + AT_NEXT, &record->next);
    record->blocks_cleared = get_i32(in + AT_BLOCKS_CLEARED);
    record->target_col = get_i32(in + AT_TARGET_COL);
    record->score = get_i32(in + AT_SCORE);
    record->shown_score = get_i32(in + AT_SHOWN_SCORE);
    record->score_step = get_i32(in + AT_SCORE_STEP);
    record->flares = get_i32(in + AT_FLARES);
    record->reserved_float = get_f32(in + AT_RESERVED_FLOAT);
    record->reserved_word = get_i32(in + AT_RESERVED_WORD);
}

bool play_record_is_sound(const Play_Record& record) {
    return counters_are_sound(record) && position_is_sound(record.target_col) &&
           grid_is_sound(record.grid) && piece_is_sound(record.current) &&
           piece_is_sound(record.next) && float_is_sound(record.reserved_float);
}
