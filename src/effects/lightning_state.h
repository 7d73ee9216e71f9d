// The lightning block: a white flash, the columns of the well shuffled under it, then the white
// fades to show a bolt over the shuffled well, and the bolt fades too.
#pragma once

#include "effects/effect_state.h"

#include <cstdint>

// Each of the two fades lasts this long.
constexpr float FADE_SECONDS = 0.4f;

class Lightning_State : public Effect_State {
  public:
    Lightning_State();           // loads the bolt and the white afresh
    ~Lightning_State() override; // and gives them back, so the next lightning starts opaque
    void do_frame(double seconds) override;

    // The strike, the shuffle of the columns, the white's fade, the bolt's fade.
    enum class Phase { strike, shuffle, white_fade, bolt_fade };

    Phase phase = Phase::strike;
    float timer = FADE_SECONDS;

  private:
    void shuffle_columns();
    void fade_white(double seconds);
    // Leaves at the end of the fade.
    void fade_bolt(double seconds);
};
