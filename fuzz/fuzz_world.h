// What every fuzz target shares: the game's headless world (tests/support/headless_game.h) started
// once per process in a scratch working directory of its own, so that record files never land
// anywhere else; the reset between two inputs; and a reader for the input's bytes.
#pragma once

#include "game/commands.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Starts the world on the first call; aborts the process when it cannot start (a target without a
// screen and a font would test nothing). Given libFuzzer's arguments (from LLVMFuzzerInitialize),
// it first makes their paths absolute, as the target works in the scratch directory from then on,
// and sends crash inputs to the directory it was started in unless told otherwise.
void start_fuzz_world(int* argc = nullptr, char*** argv = nullptr);

// Puts the game back as a start finds it, with rand() seeded the same every time: no record files
// in the working directory but the saved game given (if any), and the world built on them as the
// game's start builds it (the records loaded, the well and the sidebar, the recorded state). What
// the catalogues loaded stays loaded from one input to the next.
void reset_game(const uint8_t* saved_game = nullptr, size_t size = 0);

// Writes the bytes as the named file in the working directory, replacing it.
void write_scratch_file(const char* name, const uint8_t* data, size_t size);

// One frame as the main loop runs it, with the given duration of the last frame.
void run_frame(double seconds);

// Sends the command to the current state, if there is one.
void send_command(Command command, const char* text = nullptr);

// Stops the process with a message when a property of the game does not hold, so that libFuzzer
// keeps the input that broke it.
void expect(bool holds, const char* what);

// Takes the input's bytes from the front; past the end it answers zeros.
class Byte_Reader {
  public:
    Byte_Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t left() const { return size_ - at_; }
    uint8_t byte();
    int32_t word(); // little-endian
    // The rest of the input, at most max_size bytes.
    std::string rest(size_t max_size);

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};
