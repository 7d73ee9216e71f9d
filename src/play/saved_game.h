// The saved-game file ".vextile-game_info": the 1348-byte image of the play record.
#pragma once

struct Play_Record;

extern const char* const SAVED_GAME_FILE_NAME; // ".vextile-game_info"

void load_saved_game(Play_Record* record);
bool save_saved_game(const Play_Record* record);
