// The earth block: the well shakes, then every block over a hole falls, one cell per drop, until
// nothing hangs in the air.
#pragma once

#include "effects/effect_state.h"
#include "play/grid_field.h"

#include <cstdint>

class Earth_State : public Effect_State {
  public:
    Earth_State();
    ~Earth_State() override;
    void do_frame(double seconds) override;

    enum class Phase { shake, settle };

    Phase phase = Phase::shake;
    int32_t scan_row = 0;                // the settling scan has got down to this row
    bool settled = true;                 // no drop is running
    bool column_falling[GRID_COLS] = {}; // the column is in the drop that runs now, or ran last
    float timer = SHOCK_SECONDS;         // shaking left
    float offset_x = 0.0f;               // offset of the dropping columns (x stays 0)
    float offset_y = 0.0f;
    Grid_Field falling; // the blocks of the dropping columns

  private:
    void shake(double seconds);
    // Answers false when the effect has asked to leave: that frame draws nothing.
    bool settle(double seconds);
    void land_drop();
    void scan();
    bool drop_columns_at(int row);
};
