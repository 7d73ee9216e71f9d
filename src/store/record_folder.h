// Where the record files live: the working directory (the game run from its own folder) or a
// folder of their own, made on the first save.
#pragma once

#include <string>

// The folder of the record files; empty for the working directory (the start).
void set_records_folder(const std::string& folder);
const std::string& records_folder();
// The path of a record file: its name in the working directory, else folder/name.
std::string record_path(const char* name);
// Makes the records folder, and the folders above it that are missing, with mode 0700 (private
// to the player); nothing for the working directory. False when it is not there afterwards.
bool make_records_folder();

// The records folder of an installed game: "vextile" in the player's data folder, which is
// $XDG_DATA_HOME, or ~/.local/share when that is unset, empty or relative. home_folder is $HOME,
// or the password entry's folder when it is unset; empty when there is no home at all (the
// working directory then).
std::string data_home_records_folder(const char* xdg_data_home, const char* home_folder);
// $HOME, or the home folder of the player's password entry; empty when neither is known.
std::string home_folder();
