#include "store/score_table.h"

#include <utility>

void sort_score_table(Score_Table* table) {
    Score_Entry* rows = table->rows;
    for (int i = 0; i < SCORE_ROWS - 1; ++i)
        for (int j = i + 1; j < SCORE_ROWS; ++j)
            if (rows[i].score < rows[j].score) std::swap(rows[i], rows[j]);
}

int32_t score_place(const Score_Table& table, int32_t score) {
    for (int32_t i = 0; i < SCORE_ROWS; ++i)
        if (table.rows[i].score < score) return i;
    return -1;
}

void insert_score(Score_Table* table, int32_t place, const Score_Entry& entry) {
    for (int k = SCORE_ROWS - 1; k > place; --k)
        table->rows[k] = table->rows[k - 1];
    table->rows[place] = entry;
}
