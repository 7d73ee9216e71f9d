// Where the game finds its media and keeps its records.
//
// The media folder, in this order: the --data folder; "./media" when it holds the game's media
// (the game run from its own folder); share/vextile/media beside the folder of the executable, when
// it exists (an installed game, wherever its tree was unpacked); the same folder under the prefix
// the game was built for. The records stay in the working directory when the media came from
// "./media", else they go to $XDG_DATA_HOME/vextile (~/.local/share/vextile); --records overrides
// both.
#pragma once

#include "app/command_line.h"

#include <string>

// What the search looks at besides the file system.
struct Place_Inputs {
    std::string data;          // --data, or empty
    std::string records;       // --records, or empty
    std::string executable;    // the running executable's path, or empty when unknown
    std::string built_media;   // the media folder under the prefix the game was built for
    const char* xdg_data_home; // the variable as set, or null
    std::string home;          // the player's home folder, or empty
};

struct File_Places {
    std::string media;
    std::string records; // empty for the working directory
};

File_Places find_file_places(const Place_Inputs& inputs);

// The path of the running executable (/proc/self/exe), or empty.
std::string executable_path();

// Looks for the folders with what the command line and the environment say and sets the media
// and records folders.
void use_file_places(const Launch_Options& options);
