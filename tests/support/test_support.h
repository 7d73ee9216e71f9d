// Shared helpers for the game's tests.
#pragma once

#include "headless_game.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Collects what is written to standard error between construction and text() / the destructor.
class Stderr_Capture {
  public:
    Stderr_Capture();
    ~Stderr_Capture();
    Stderr_Capture(const Stderr_Capture&) = delete;
    Stderr_Capture& operator=(const Stderr_Capture&) = delete;

    // Everything written so far (stderr stays captured).
    std::string text();
    // Number of times the exact text occurs in the output so far.
    int count(const std::string& needle);

  private:
    int saved_fd_ = -1;
    std::string path_;
};

// Whole-file helpers.
std::vector<unsigned char> read_file_bytes(const std::string& path);
void write_file_bytes(const std::string& path, const std::vector<unsigned char>& bytes);
bool file_exists(const std::string& path);
