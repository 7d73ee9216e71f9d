#include "game/effect_table.h"

#include <algorithm>

const Special_Effect* effect_of_kind(int32_t tile) {
    for (const Special_Effect& effect : special_effects)
        if (effect.tile == tile) return &effect;
    return nullptr;
}

const Special_Effect* effect_of_state(State_Id state) {
    for (const Special_Effect& effect : special_effects)
        if (effect.state == state) return &effect;
    return nullptr;
}

int32_t highest_tile() {
    int32_t highest = 0;
    for (const Special_Effect& effect : special_effects)
        highest = std::max(highest, effect.tile);
    return highest;
}
