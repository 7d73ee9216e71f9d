// The game's command line: the frame-rate ceiling, the window's scale and fullscreen, the media
// and record folders, help and version.
#pragma once

#include "app/frame_clock.h"

#include <cstdio>
#include <string>

struct Launch_Options {
    int fps = DEFAULT_FPS; // frame-rate ceiling; 0 for none
    int scale = 0;         // the window's scale, 1 to 4; 0 chooses one from the desktop
    bool fullscreen = false;
    std::string data;    // the media folder; empty to look for one
    std::string records; // the record files' folder; empty for the default
};

enum class Launch { RUN, EXIT_OK, EXIT_USAGE };

constexpr int EXIT_USAGE_STATUS = 2;

extern const char* const VERSION_LINE; // "vextile 1.00"
extern const char* const USAGE_LINE;

// Reads the arguments into options. --help and --version write to out and answer EXIT_OK; a
// mistake writes one line saying what is wrong and the usage line to err and answers EXIT_USAGE.
Launch parse_command_line(int argc, char** argv, Launch_Options* options, std::FILE* out,
                          std::FILE* err);
