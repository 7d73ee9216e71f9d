// The row clear: full rows flash one after another and score with a doubling multiplier, go
// blank, and the blocks above each slide down into its place.
#pragma once

#include "effects/effect_state.h"
#include "play/grid_field.h"

#include <cstdint>

class KillRows_State : public Effect_State {
  public:
    KillRows_State(); // takes the rows the last search of the well found
    ~KillRows_State() override;
    void do_frame(double seconds) override;

    enum class Phase { flash, blank, collapse };

    Phase phase = Phase::flash;
    int32_t step = 0;             // listed rows the current phase has handled
    int32_t multiplier = 0;       // 1 << index of the row flashed last; 0 outside the flash
    float timer = 0.0f;           // until the next flash (flash) or the collapse (blank)
    bool take_row = false;        // collapse: lift the blocks above the next listed row now
    char label[16] = {};          // the multiplier label, "x%d"
    int32_t rows[GRID_ROWS] = {}; // the full rows, lowest first
    int32_t row_count = 0;
    float offset_x = 0.0f; // flash: the label's position; collapse: the lifted blocks' offset
    float offset_y = 0.0f;
    Grid_Field falling; // the blocks lifted above the row being removed

  private:
    void flash(double seconds);
    void flash_next_row();
    void draw_flash();
    void blank(double seconds);
    void collapse(double seconds);
    void lift_blocks_above(int row);
    void drop_lifted_blocks(int row);
};
