// Where the pictures, sounds and font are read from: one folder, "./media" unless the game was
// told another, against which every media file name is resolved.
#pragma once

#include <string>

// The folder the game was run from keeps its media here: "./media".
extern const char* const WORKING_MEDIA_FOLDER;

// Sets the folder of the media files (no trailing slash needed).
void set_media_folder(const std::string& folder);
const std::string& media_folder();
// The path of a media file: the folder, a slash, the name ("./media/defaultbg-320.bmp").
std::string media_file(const char* name);
