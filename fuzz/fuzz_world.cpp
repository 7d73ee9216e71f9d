#include "fuzz_world.h"

#include "headless_game.h"

#include "app/vextile.h"
#include "play/saved_game.h"
#include "store/options_file.h"
#include "store/score_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void give_up(const char* why) {
    std::fprintf(stderr, "fuzz world: %s\n", why);
    std::abort();
}

// The path as seen from the starting directory.
std::string absolute(const std::string& path) {
    return path.empty() || path[0] == '/' ? path : fs::current_path().string() + "/" + path;
}

// An argument naming a file or a directory, made absolute: a corpus or an input, or a flag whose
// value is a path.
std::string absolute_argument(const std::string& argument) {
    if (argument.empty() || argument[0] != '-') return absolute(argument);
    for (const char* flag : {"-artifact_prefix=", "-exact_artifact_path=", "-dict="}) {
        const std::string prefix = flag;
        if (argument.compare(0, prefix.size(), prefix) == 0)
            return prefix + absolute(argument.substr(prefix.size()));
    }
    return argument;
}

void make_arguments_absolute(int* argc, char*** argv) {
    static std::vector<std::string> arguments;
    static std::vector<char*> pointers;
    bool has_artifact_prefix = false;
    for (int i = 0; i < *argc; ++i) {
        const std::string argument = (*argv)[i];
        has_artifact_prefix |= argument.rfind("-artifact_prefix=", 0) == 0;
        arguments.push_back(i == 0 ? argument : absolute_argument(argument));
    }
    if (!has_artifact_prefix)
        arguments.push_back("-artifact_prefix=" + fs::current_path().string() + "/");
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(arguments.size());
    *argv = pointers.data();
}

} // namespace

void start_fuzz_world(int* argc, char*** argv) {
    static bool started = false;
    if (started) return;
    started = true;
    if (argc && argv) make_arguments_absolute(argc, argv);
    // The scratch directory and the media last until the process ends, then go as the game's go.
    static Temp_Dir* const scratch = new Temp_Dir;
    if (!headless::start_media()) give_up("SDL, the screen or the game font did not start");
    std::atexit([] {
        headless::stop();
        delete scratch;
    });
}

void reset_game(const uint8_t* saved_game, size_t size) {
    app.enter_state(STATE_NONE);
    for (const char* name : {SAVED_GAME_FILE_NAME, OPTIONS_FILE_NAME, SCORE_FILE_NAME})
        unlink(name);
    if (saved_game) write_scratch_file(SAVED_GAME_FILE_NAME, saved_game, size);
    headless::build_world(1);
}

void write_scratch_file(const char* name, const uint8_t* data, size_t size) {
    FILE* const file = std::fopen(name, "wb");
    if (!file) give_up("cannot write a scratch file");
    const bool written = size == 0 || std::fwrite(data, size, 1, file) == 1;
    if (std::fclose(file) != 0 || !written) give_up("cannot write a scratch file");
}

void run_frame(double seconds) {
    headless::run_frames(1, seconds);
}

void send_command(Command command, const char* text) {
    app.send_command(command, text);
}

void expect(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

uint8_t Byte_Reader::byte() {
    return at_ < size_ ? data_[at_++] : 0;
}

int32_t Byte_Reader::word() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= uint32_t(byte()) << (8 * i);
    return int32_t(value);
}

std::string Byte_Reader::rest(size_t max_size) {
    const size_t n = std::min(left(), max_size);
    std::string bytes(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return bytes;
}
