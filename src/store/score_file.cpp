#include "store/score_file.h"

#include "store/record_file.h"
#include "store/record_folder.h"

#include <cstring>

const char* const SCORE_FILE_NAME = ".vextile-hiscores";

namespace {

const Record_Messages score_messages = {
    "score list is corrupt -- regenerating list\n",
    "couldn't create high score file!\n",
    "error writing to high score file!\n",
};

struct Default_Row {
    const char* name;
    int32_t score;
};

constexpr Default_Row default_rows[SCORE_ROWS] = {
    {"Pell", 1000},   {"Tavrin", 900}, {"Ollek", 800},  {"Miraz", 700}, {"Quessa", 600},
    {"Brannic", 500}, {"Yelva", 400},  {"Dunmor", 300}, {"Corla", 200}, {"T. Vorn", 100},
};

// Copies a name into a field, zero-padded; at most SCORE_NAME_SIZE - 1 characters are kept, so the
// field always ends in a zero.
void put_name(char* field, const char* name) {
    const size_t length = strnlen(name, SCORE_NAME_SIZE - 1);
    std::memset(field, 0, SCORE_NAME_SIZE);
    std::memcpy(field, name, length);
}

void encode_entry(const Score_Entry& entry, uint8_t* out) {
    char field[SCORE_NAME_SIZE];
    put_name(field, entry.name);
    std::memcpy(out, field, SCORE_NAME_SIZE);
    put_i32(out + SCORE_NAME_SIZE, entry.score);
}

void decode_entry(const uint8_t* in, Score_Entry* entry) {
    std::memcpy(entry->name, in, SCORE_NAME_SIZE);
    // A name that fills the whole field has no terminator: cut it to fit one.
    if (!std::memchr(entry->name, 0, SCORE_NAME_SIZE)) entry->name[SCORE_NAME_SIZE - 1] = 0;
    entry->score = get_i32(in + SCORE_NAME_SIZE);
}

} // namespace

void encode_score_table(const Score_Table& table, uint8_t* out) {
    for (int row = 0; row < SCORE_ROWS; ++row)
        encode_entry(table.rows[row], out + row * SCORE_ENTRY_SIZE);
}

void decode_score_table(const uint8_t* in, Score_Table* table) {
    for (int row = 0; row < SCORE_ROWS; ++row)
        decode_entry(in + row * SCORE_ENTRY_SIZE, &table->rows[row]);
}

void default_score_table(Score_Table* table) {
    if (!table) return;
    for (int row = 0; row < SCORE_ROWS; ++row) {
        put_name(table->rows[row].name, default_rows[row].name);
        table->rows[row].score = default_rows[row].score;
    }
}

void load_score_table(Score_Table* table) {
    if (!table) return;
    uint8_t image[SCORE_TABLE_SIZE];
    encode_score_table(*table, image);
    const Record_Read read = read_record_file(record_path(SCORE_FILE_NAME).c_str(), image,
                                              SCORE_ENTRY_SIZE, SCORE_ROWS, score_messages);
    if (read != Record_Read::missing) decode_score_table(image, table);
    if (read != Record_Read::complete) default_score_table(table);
}

bool save_score_table(const Score_Table* table) {
    if (!table) return false;
    uint8_t image[SCORE_TABLE_SIZE];
    encode_score_table(*table, image);
    make_records_folder(); // a folder that cannot be made fails the write, which says so
    return write_record_file(record_path(SCORE_FILE_NAME).c_str(), image, SCORE_ENTRY_SIZE,
                             SCORE_ROWS, score_messages);
}
