// The ice block: a sweep freezes every block of tile 3, a second sweep thaws the ice into tile 8,
// and the thawed blocks break away one per column at a time, the blocks above falling into the gap.
#pragma once

#include "effects/effect_state.h"
#include "play/grid_field.h"

#include <cstdint>

// The block colour that the ice freezes.
constexpr Tile TILE_FREEZES = 3;

class Ice_State : public Effect_State {
  public:
    Ice_State();
    ~Ice_State() override;
    void do_frame(double seconds) override;

    // The freeze sweep, the sweep that thaws the ice, a frame's pause, the breaking away, the way
    // out.
    enum class Phase { freeze, thaw, pause, break_away, leave };

    Phase phase = Phase::freeze;
    int32_t sweep_column = 0;
    bool settled = true;                 // no drop is running
    bool any_frozen = false;             // the freeze sweep found a block of tile 3
    bool column_falling[GRID_COLS] = {}; // the column takes part in the drop that runs now
    float offset_x = 0.0f;               // offset of the lifted blocks (x stays 0)
    float offset_y = 0.0f;
    Grid_Field falling; // the blocks lifted above the breaking cells

  private:
    void freeze_column();
    void thaw_column();
    void break_away(double seconds);
    void land_drop();
    bool lift_column(int col);
};
