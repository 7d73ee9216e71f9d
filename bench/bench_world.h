// The game's world for the benchmarks: the headless game the tests share
// (tests/support/headless_game.h), started once as the game starts itself, and a prepared game in
// progress.
#pragma once

#include "headless_game.h"

// Starts the game once per process (video, block texture, records, well, sidebar, first state)
// inside a scratch directory that lives until the process ends. Answers whether it is up.
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
