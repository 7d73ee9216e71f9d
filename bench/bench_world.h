// The game's world for the benchmarks: SDL on its dummy drivers, a scratch working directory whose
// "media" links to the generated media, and the application started as the game starts it.
#pragma once

#include <string>

// A fresh directory under /tmp that becomes the working directory; "media" links to the generated
// media. Removed with everything in it when the object goes.
class Scratch_Dir {
  public:
    Scratch_Dir();
    ~Scratch_Dir();
    Scratch_Dir(const Scratch_Dir&) = delete;
    Scratch_Dir& operator=(const Scratch_Dir&) = delete;

    bool ok() const { return !path_.empty(); }

  private:
    std::string path_;
};

// Picks SDL's dummy video and audio drivers; call before SDL starts.
void use_headless_drivers();

// Starts the game once per process (app.init(): video, block texture, records, well, sidebar, first
// state) inside a scratch directory that lives until the process ends. Answers whether it is up.
bool start_world();
