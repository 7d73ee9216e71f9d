// The fire block: one to seven random cells of the occupied part of the well burn away (rarely
// fourteen), and a flame stands over each for a moment. Nothing falls into the burnt cells.
#pragma once

#include "effects/effect_state.h"

#include <cstdint>

// Most cells one fire can burn.
constexpr int MAX_BURNS = 14;

struct Burnt_Cell {
    int32_t col, row;
};

class Fire_State : public Effect_State {
  public:
    Fire_State(); // loads the flame strip and finds the highest occupied row
    ~Fire_State() override;
    void do_frame(double seconds) override;

    enum class Phase { ignite, burn, leave };

    Phase phase = Phase::ignite;
    Burnt_Cell burnt[MAX_BURNS] = {};
    int32_t flame_width = 0; // one of the four frames of the flame strip
    int32_t flame_height = 0;
    int32_t burn_count = 0; // valid entries of burnt
    int32_t top_row = 0;    // highest occupied row when the fire started; 0 in an empty well
    float timer = 0.0f;     // burning left

  private:
    void ignite();
    void burn(double seconds);
    void draw_flames(int frame) const;
};
