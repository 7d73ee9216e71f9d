#include "app/command_line.h"

#include "media/display.h"

#include <getopt.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>

const char* const VERSION_LINE = "vextile 1.00";
const char* const USAGE_LINE = "usage: vextile [--fps N] [--scale N] [--fullscreen] [--data DIR] "
                               "[--records DIR] [--help] [--version]";

namespace {

const char* const HELP_TEXT =
    "Vextile, a falling-block puzzle game.\n"
    "\n"
    "  --fps N          show at most N frames a second (10 to 1000; 0: no limit); default 60\n"
    "  --scale N        show the picture N times its size (1 to 4); default: the largest\n"
    "                   whose window is at most three quarters of the desktop's height\n"
    "  --fullscreen     start in fullscreen (F11 or Alt+Enter switches)\n"
    "  --data DIR       read the pictures, sounds and font from DIR\n"
    "  --records DIR    keep the options, high scores and saved game in DIR\n"
    "  -h, --help       print this help and exit\n"
    "  --version        print the version and exit\n";

// Long options have codes above any character, so that an error names them as written.
enum Option_Code {
    OPT_FPS = 256,
    OPT_SCALE,
    OPT_FULLSCREEN,
    OPT_DATA,
    OPT_RECORDS,
    OPT_HELP,
    OPT_VERSION
};

const option LONG_OPTIONS[] = {
    {"fps", required_argument, nullptr, OPT_FPS},
    {"scale", required_argument, nullptr, OPT_SCALE},
    {"fullscreen", no_argument, nullptr, OPT_FULLSCREEN},
    {"data", required_argument, nullptr, OPT_DATA},
    {"records", required_argument, nullptr, OPT_RECORDS},
    {"help", no_argument, nullptr, OPT_HELP},
    {"version", no_argument, nullptr, OPT_VERSION},
    {nullptr, 0, nullptr, 0},
};

// A whole decimal number with nothing around it, or false.
bool parse_int(const char* text, long* value) {
    if (!text || (!std::isdigit(static_cast<unsigned char>(*text)) && *text != '-')) return false;
    char* end = nullptr;
    errno = 0;
    *value = strtol(text, &end, 10);
    return errno == 0 && *end == '\0';
}

bool parse_fps(const char* text, int* fps) {
    long value = 0;
    if (!parse_int(text, &value)) return false;
    if (value != 0 && (value < MIN_FPS || value > MAX_FPS)) return false;
    *fps = static_cast<int>(value);
    return true;
}

bool parse_scale(const char* text, int* scale) {
    long value = 0;
    if (!parse_int(text, &value) || value < 1 || value > MAX_WINDOW_SCALE) return false;
    *scale = static_cast<int>(value);
    return true;
}

// The option that getopt_long stopped at, as the player wrote it: a short option by its letter,
// a long one by the word it has just moved past, without any "=value".
std::string written_option(int code, char** argv) {
    if (code > 0 && code < OPT_FPS) return std::string("-") + static_cast<char>(code);
    const std::string word = argv[optind - 1];
    return word.substr(0, word.find('='));
}

Launch usage_error(std::FILE* err, const std::string& what) {
    std::fprintf(err, "vextile: %s\n%s\n", what.c_str(), USAGE_LINE);
    return Launch::EXIT_USAGE;
}

} // namespace

Launch parse_command_line(int argc, char** argv, Launch_Options* options, std::FILE* out,
                          std::FILE* err) {
    opterr = 0; // the messages are ours
    optind = 0; // a fresh scan, also when called again
    for (;;) {
        const int code = getopt_long(argc, argv, ":h", LONG_OPTIONS, nullptr);
        if (code == -1) break;
        switch (code) {
        case OPT_FPS:
            if (!parse_fps(optarg, &options->fps))
                return usage_error(err, std::string("--fps wants 0 or a whole number from 10 to "
                                                    "1000, not '") +
                                            optarg + "'");
            break;
        case OPT_SCALE:
            if (!parse_scale(optarg, &options->scale))
                return usage_error(err, std::string("--scale wants a whole number from 1 to 4, "
                                                    "not '") +
                                            optarg + "'");
            break;
        case OPT_FULLSCREEN:
            options->fullscreen = true;
            break;
        case OPT_DATA:
        case OPT_RECORDS:
            if (!*optarg)
                return usage_error(err, std::string(code == OPT_DATA ? "--data" : "--records") +
                                            " needs a folder");
            (code == OPT_DATA ? options->data : options->records) = optarg;
            break;
        case 'h':
        case OPT_HELP:
            std::fprintf(out, "%s\n\n%s", USAGE_LINE, HELP_TEXT);
            return Launch::EXIT_OK;
        case OPT_VERSION:
            std::fprintf(out, "%s\n", VERSION_LINE);
            return Launch::EXIT_OK;
        case ':':
            return usage_error(err, written_option(optopt, argv) + " needs a value");
        default:
            // A known option given a value it does not take, or an unknown one.
            if (optopt >= OPT_FPS)
                return usage_error(err, written_option(optopt, argv) + " takes no value");
            return usage_error(err, "unknown option '" + written_option(optopt, argv) + "'");
        }
    }
    if (optind < argc)
        return usage_error(err, std::string("unexpected argument '") + argv[optind] + "'");
    return Launch::RUN;
}
