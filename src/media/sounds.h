// The sound catalogue: every sound effect by id, played on the first free mixing channel.
#pragma once

#include <SDL/SDL_mixer.h>

#include <cstdint>

using Sound_Id = int32_t;

constexpr Sound_Id SND_BLOCK_HIT = 1000;
constexpr Sound_Id SND_FIRE = 1001;
constexpr Sound_Id SND_ICE_BREAK = 1002;
constexpr Sound_Id SND_KILLROW = 1003;
constexpr Sound_Id SND_UI_CLICK = 1004;
constexpr Sound_Id SND_NEW_LEVEL = 1005;
constexpr Sound_Id SND_MISS = 1006;
constexpr Sound_Id SND_QUAKE = 1007;
constexpr Sound_Id SND_DEMONIC = 1008;
constexpr Sound_Id SND_LIGHTNING = 1009;
constexpr Sound_Id SND_KILLBLOX = 1010;

// File name of a sound in the media folder (media_file gives its path), or null.
const char* sound_file(Sound_Id id);

bool audio_init();
void audio_shutdown();
// The chunk of the id, loading it once; a failed load is reported once and stays silent.
Mix_Chunk* load_sound(Sound_Id id);
void play_sound(Sound_Id id);

// Frees every chunk and forgets the entries (when the game shuts its media down, before the
// audio device closes).
void sound_release_all();
// Frees every chunk and forgets every entry and every play count (between tests).
void sound_forget_all();
// Number of plays started since the last forget (tests listen with this).
int sound_play_count(Sound_Id id);
