#include "play/block_tiles.h"

#include "media/bitmaps.h"
#include "media/pixel_copy.h"
#include "media/video.h"

namespace {

SDL_Surface* held_texture = nullptr; // held
int tile_size = 0;

} // namespace

void take_block_texture() {
    use_block_texture(zgl_get_bitmap(BMP_BLOCK_TEX));
}

void use_block_texture(SDL_Surface* picture) {
    SDL_Surface* const held = zgl_hold(picture);
    zgl_let_go(held_texture);
    held_texture = held;
    tile_size = held_texture ? held_texture->h : 0;
}

void let_go_block_texture() {
    use_block_texture(nullptr);
}

SDL_Surface* block_texture() {
    return held_texture;
}

int block_size() {
    return tile_size;
}

SDL_Rect tile_rect(int tile) {
    return {Sint16(tile * tile_size), 0, Uint16(tile_size), Uint16(tile_size)};
}

void draw_tile(int tile, int x, int y, SDL_Surface* target) {
    SDL_Surface* const dest = target ? target : screen;
    if (!held_texture || !dest || tile_size <= 0) return;
    if (tile < 0 || tile >= held_texture->w / tile_size) return;
    SDL_Rect source = tile_rect(tile);
    SDL_Rect at = {Sint16(x), Sint16(y), 0, 0};
    blit_surface(held_texture, &source, dest, &at);
}
