// The game in progress: the well, the falling and the next piece, level, score, flares and flags.
// It lives outside every state so that the game survives the switches between play and effects,
// and its byte image is the saved-game file.
#pragma once

#include "play/piece.h"
#include "play/well.h"

#include <cstdint>

constexpr uint32_t FLAG_IN_PROGRESS = 0x1;
constexpr uint32_t FLAG_GAME_OVER = 0x2;
constexpr uint32_t FLAG_ROTATE = 0x4;
constexpr uint32_t FLAG_LEFT = 0x8;
constexpr uint32_t FLAG_RIGHT = 0x10;
constexpr uint32_t FLAG_FAST_DROP = 0x20;
constexpr uint32_t FLAG_FALLING = 0x80;
constexpr uint32_t FLAG_PAUSED = 0x200;

constexpr int PLAY_RECORD_SIZE = 1348;

struct Play_Record {
    int32_t state_id = -1;
    uint32_t flags = 0;
    int32_t level = 0;
    Grid_Field_Surface grid;
    Piece current;
    Piece next;
    int32_t blocks_cleared = 0; // blocks removed by row clears since the last level change
    int32_t target_col = 0;     // column the falling piece slides toward
    int32_t score = 0;
    int32_t shown_score = 0; // what the sidebar shows, counting up to score
    int32_t score_step = 1;  // added to shown_score per drawn frame
    int32_t flares = 0;
    float reserved_float = 0.0f;
    int32_t reserved_word = 0;
};

// The game's one record.
extern Play_Record play_record;

// Starts a new game: FLAG_IN_PROGRESS alone, the well emptied (and painted black), both pieces
// cleared, blocks_cleared 64 so the first play frame raises the level to 1. state_id and the
// reserved word are kept.
void reset_play_record(Play_Record* record);

// The 1348-byte little-endian image and back. The decoder ignores the grid's 4 identity bytes.
void encode_play_record(const Play_Record& record, uint8_t* out);
void decode_play_record(const uint8_t* in, Play_Record* record);

// Whether a record read from a file can be played without indexing outside a table or a row
// list, without converting a non-finite float and without overflowing a position or a counter:
// the level, the flares, the score, the shown score, the score step and the blocks cleared must
// lie in the ranges a game reaches, and positions far beyond any the game makes are refused.
bool play_record_is_sound(const Play_Record& record);
