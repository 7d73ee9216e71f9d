#include "bench_world.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "play/block_tiles.h"
#include "play/play_record.h"
#include "play/sidebar.h"

#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<Temp_Dir> world_dir;
bool world_up = false;

} // namespace

bool start_world() {
    if (world_dir) return world_up;
    world_dir = std::make_unique<Temp_Dir>();
    world_up = headless::start_media();
    if (world_up) headless::build_world();
    return world_up;
}

void stop_world() {
    if (world_up) headless::stop();
    world_up = false;
    world_dir.reset();
}

namespace {

constexpr int PIECE_COL = 6;
constexpr int FIRST_FILLED_ROW = 12;

void fill_well(int full_rows) {
    Grid_Field_Surface& grid = play_record.grid;
    for (int row = FIRST_FILLED_ROW; row < GRID_ROWS; ++row) {
        const bool full = row >= GRID_ROWS - full_rows;
        for (int col = 0; col < GRID_COLS; ++col) {
            const bool hole = col == (row * 5) % GRID_COLS || (col + row) % 4 == 0;
            if (full || !hole) grid.set_cell(col, row, (col + row) % 7);
        }
    }
}

} // namespace

void hang_blocks() {
    for (int col = 2; col < 6; ++col)
        play_record.grid.set_cell(col, FIRST_FILLED_ROW - 4, 3);
}

void lift_piece() {
    Piece& piece = play_record.current;
    piece.row = PIECE_TOP_ROW;
    piece.y = static_cast<float>(PIECE_TOP_ROW * block_size());
}

void set_up_game(int full_rows) {
    std::srand(1);
    reset_play_record(&play_record);
    play_record.level = 3;
    play_record.blocks_cleared = 0;
    play_record.score = 12340;
    play_record.shown_score = 12340;
    play_record.flares = 2;
    fill_well(full_rows);
    generate_piece(play_record.current, 6, game.options);
    generate_piece(play_record.next, 3, game.options);
    Piece& piece = play_record.current;
    piece.col = PIECE_COL;
    piece.x = static_cast<float>(PIECE_COL * block_size());
    lift_piece();
    play_record.target_col = PIECE_COL;
    play_record.flags |= FLAG_FALLING;
    if (game.sidebar) game.sidebar->place_next_piece();
}
