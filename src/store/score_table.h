// The high-score table's rules: the order of its rows, the place a score earns and the entry of a
// new row.
#pragma once

#include "store/score_file.h"

#include <cstdint>

// Sorts the table by score, highest first: every row is compared with each row below it and the
// two are exchanged when the upper one scores lower. Two rows of equal score are never exchanged
// with each other, though exchanges with other rows may still change their order.
void sort_score_table(Score_Table* table);
// The first row whose score is lower than the score, or -1: a score that ties a row goes below it.
int32_t score_place(const Score_Table& table, int32_t score);
// Shifts the rows from place down by one (the last row drops out) and puts the entry at place.
void insert_score(Score_Table* table, int32_t place, const Score_Entry& entry);
