// The high-score table and its file ".vextile-hiscores" (ten rows of 16 bytes, little-endian).
#pragma once

#include <cstdint>

constexpr int SCORE_NAME_SIZE = 12; // field size, zero-terminated
constexpr int SCORE_NAME_MAX = 10;  // characters the entry screen lets a player type
constexpr int SCORE_ROWS = 10;
constexpr int SCORE_ENTRY_SIZE = 16;
constexpr int SCORE_TABLE_SIZE = SCORE_ROWS * SCORE_ENTRY_SIZE;

struct Score_Entry {
    char name[SCORE_NAME_SIZE] = {}; // always zero-terminated in memory
    int32_t score = 0;
};

struct Score_Table {
    Score_Entry rows[SCORE_ROWS]; // row 0 is the best
};

extern const char* const SCORE_FILE_NAME; // ".vextile-hiscores"

void load_score_table(Score_Table* table);
// Writes the file; answers whether the new image is in place (a failure has been reported).
bool save_score_table(const Score_Table* table);
void default_score_table(Score_Table* table);

void encode_score_table(const Score_Table& table, uint8_t* out); // SCORE_TABLE_SIZE bytes
void decode_score_table(const uint8_t* in, Score_Table* table);
