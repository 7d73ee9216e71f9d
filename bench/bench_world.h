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
// Shuts the game down as it shuts itself down, if it is up.
void stop_world();

// Where the falling piece of the prepared game starts, and the lowest row it may reach before it
// is lifted back: far above the blocks of the well, so it never lands.
constexpr int PIECE_TOP_ROW = 2;
constexpr int PIECE_LOWEST_ROW = 6;

// A game in progress at level 3 in the play record: rows 12 to 19 hold blocks of every colour with
// holes (the lowest `full_rows` rows full instead), a piece in the air, the next one waiting.
void set_up_game(int full_rows);
// Four blocks hanging over empty rows, for the earth to drop.
void hang_blocks();
// Puts the falling piece back at its starting row.
void lift_piece();
