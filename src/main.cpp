// Vextile: read the command line, find the media and the records, then start, run, stop.
#include "app/command_line.h"
#include "app/file_places.h"
#include "app/vextile.h"

#include <SDL/SDL.h>

#include <cstdio>

int main(int argc, char** argv) {
    Launch_Options options;
    switch (parse_command_line(argc, argv, &options, stdout, stderr)) {
    case Launch::EXIT_OK:
        return 0;
    case Launch::EXIT_USAGE:
        return EXIT_USAGE_STATUS;
    case Launch::RUN:
        break;
    }
    use_file_places(options);
    app.frame_clock = Frame_Clock(options.fps);
    app.display = {options.scale, options.fullscreen};
    if (!app.init()) return 1;
    app.run();
    app.shutdown();
    return 0;
}
