// The saved-game file ".vextile-game_info": the 1348-byte image of the play record.
#pragma once

struct Play_Record;

extern const char* const SAVED_GAME_FILE_NAME; // ".vextile-game_info"

// Reads the file into the record; a missing file starts a new game, a damaged one (short, or
// holding a record the game cannot play) starts afresh at the splash.
void load_saved_game(Play_Record* record);
// Writes the file; answers whether the new image is in place (a failure has been reported).
bool save_saved_game(const Play_Record* record);
