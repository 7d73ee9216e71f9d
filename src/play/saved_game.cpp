#include "play/saved_game.h"

#include "game/game_state.h"
#include "play/play_record.h"
#include "store/record_file.h"
#include "store/record_folder.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

const char* const SAVED_GAME_FILE_NAME = ".vextile-game_info";

namespace {

const Record_Messages saved_game_messages = {
    "info file is corrupt -- regenerating list\n",
    "couldn't create game_info file!\n",
    "error writing to game_info file!\n",
};

// A damaged file must not be played: the game starts afresh at the splash. The row list is not
// part of a new game, so it is emptied here to leave a record that passes the check.
void mend_play_record(Play_Record* record) {
    reset_play_record(record);
    record->grid.full_row_count = 0;
    std::fill(std::begin(record->grid.full_row_list), std::end(record->grid.full_row_list), 0);
    record->state_id = STATE_SPLASH;
}

} // namespace

void load_saved_game(Play_Record* record) {
    if (!record) return;
    uint8_t image[PLAY_RECORD_SIZE];
    encode_play_record(*record, image);
    const Record_Read read = read_record_file(record_path(SAVED_GAME_FILE_NAME).c_str(), image,
                                              PLAY_RECORD_SIZE, 1, saved_game_messages);
    if (read == Record_Read::missing) {
        reset_play_record(record);
        return;
    }
    decode_play_record(image, record);
    if (read == Record_Read::short_file) reset_play_record(record);
    if (play_record_is_sound(*record)) return;
    // A short file has already been reported as corrupt; one line per file is enough.
    if (read == Record_Read::complete) std::fputs(saved_game_messages.corrupt, stderr);
    mend_play_record(record);
}

bool save_saved_game(const Play_Record* record) {
    if (!record) return false;
    uint8_t image[PLAY_RECORD_SIZE];
    encode_play_record(*record, image);
    make_records_folder(); // a folder that cannot be made fails the write, which says so
    return write_record_file(record_path(SAVED_GAME_FILE_NAME).c_str(), image, PLAY_RECORD_SIZE, 1,
                             saved_game_messages);
}
