#include "media/sounds.h"

#include "media/media_folder.h"

#include <cstdio>
#include <map>

namespace {

struct Sound_File {
    Sound_Id id;
    const char* name; // in the media folder
};

const Sound_File sound_table[] = {
    {SND_BLOCK_HIT, "block_hit.wav"}, {SND_FIRE, "fire.wav"},
    {SND_ICE_BREAK, "ice_break.wav"}, {SND_KILLROW, "killrow.wav"},
    {SND_UI_CLICK, "ui_click.wav"},   {SND_NEW_LEVEL, "new_level.wav"},
    {SND_MISS, "miss.wav"},           {SND_QUAKE, "quake.wav"},
    {SND_DEMONIC, "demonic.wav"},     {SND_LIGHTNING, "lightning.wav"},
    {SND_KILLBLOX, "killblox.wav"},
};

// An entry, once made, stays until the media are shut down: a sound is loaded (or found missing)
// once per run.
std::map<Sound_Id, Mix_Chunk*> catalogue;
std::map<Sound_Id, int> plays;

Mix_Chunk* load_file(Sound_Id id) {
    const char* name = sound_file(id);
    if (!name) return nullptr;
    SDL_RWops* file = SDL_RWFromFile(media_file(name).c_str(), "rb");
    if (!file) return nullptr;
    return Mix_LoadWAV_RW(file, 1);
}

} // namespace

const char* sound_file(Sound_Id id) {
    for (const Sound_File& entry : sound_table)
        if (entry.id == id) return entry.name;
    return nullptr;
}

bool audio_init() {
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 1024) == -1) {
        fprintf(stderr, "Couldn't open audio: %s\n", SDL_GetError());
        return false;
    }
    Mix_AllocateChannels(16);
    return true;
}

void audio_shutdown() {
    Mix_CloseAudio();
}

Mix_Chunk* load_sound(Sound_Id id) {
    const auto found = catalogue.find(id);
    if (found != catalogue.end()) return found->second;
    Mix_Chunk* chunk = load_file(id);
    catalogue[id] = chunk;
    if (!chunk)
        fprintf(stderr, "Couldn't load requested sound file: %s\n", SDL_GetError());
    else
        Mix_VolumeChunk(chunk, MIX_MAX_VOLUME);
    return chunk;
}

void play_sound(Sound_Id id) {
    const auto found = catalogue.find(id);
    Mix_Chunk* chunk = found != catalogue.end() ? found->second : nullptr;
    if (!chunk) {
        fprintf(stderr, "sound not loaded!\n");
        chunk = load_sound(id);
    }
    if (!chunk) return;
    ++plays[id];
    Mix_PlayChannelTimed(-1, chunk, 0, -1);
}

void sound_release_all() {
    for (const auto& [id, chunk] : catalogue)
        if (chunk) Mix_FreeChunk(chunk);
    catalogue.clear();
}

void sound_forget_all() {
    sound_release_all();
    plays.clear();
}

int sound_play_count(Sound_Id id) {
    const auto found = plays.find(id);
    return found == plays.end() ? 0 : found->second;
}
