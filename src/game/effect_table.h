// The special-block effects, one row each: the special face that brings the effect on when its
// piece lands (which is also the special kind a piece carries), the state that runs it, the sound
// it is known by and the picture strip it draws. Pieces draw their special kinds from this table, a
// saved game may hold exactly these tiles and kinds, a landing picks its effect here, and each
// effect takes its sound and strip from its row.
#pragma once

#include "game/game_state.h"
#include "media/bitmaps.h"
#include "media/sounds.h"

#include <cstdint>

// The special faces of the block texture: its last four tiles.
constexpr int32_t TILE_FIRE = 10;
constexpr int32_t TILE_ICE = 11;
constexpr int32_t TILE_LIGHTNING = 12;
constexpr int32_t TILE_EARTH = 13;

struct Special_Effect {
    int32_t tile;    // the special face, and the special kind of a piece that carries it
    State_Id state;  // the state that runs the effect
    Sound_Id sound;  // the sound it is known by
    Bitmap_Id strip; // the picture strip it draws, BMP_NONE for none
};

// In the order in which a piece draws its special kind.
constexpr Special_Effect special_effects[] = {
    {TILE_FIRE, STATE_FIRE, SND_FIRE, BMP_FIRE},
    {TILE_ICE, STATE_ICE, SND_ICE_BREAK, BMP_NONE},
    {TILE_LIGHTNING, STATE_LIGHTNING, SND_LIGHTNING, BMP_LIGHTNING_01},
    {TILE_EARTH, STATE_EARTH, SND_QUAKE, BMP_NONE},
};
constexpr int SPECIAL_EFFECT_COUNT = sizeof special_effects / sizeof special_effects[0];

// The row of a special kind (a special face), or none.
const Special_Effect* effect_of_kind(int32_t tile);
// The row of an effect's state, or none.
const Special_Effect* effect_of_state(State_Id state);
// The highest tile the well may hold: the last special face.
int32_t highest_tile();
