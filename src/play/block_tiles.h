// The block geometry that the well, the pieces and the sidebar are drawn with: the block texture,
// one row of square tiles (the seven colours, the flash, the thawed ice and the special faces),
// whose height is the side of one block in pixels.
#pragma once

#include <SDL/SDL.h>

// Takes the catalogue's block texture and holds it, so that the tiles stay drawable whatever
// happens to the catalogue's entry; a texture taken before is given back.
void take_block_texture();
// Holds the given picture as the block texture instead (none for no texture).
void use_block_texture(SDL_Surface* texture);
// Gives the texture back; there is none afterwards.
void let_go_block_texture();

SDL_Surface* block_texture(); // the held texture, or none
int block_size();             // the texture's height; 0 without a texture
// The source rectangle of a tile in the texture.
SDL_Rect tile_rect(int tile);
// Copies tile `tile` of the block texture to (x, y) of the target (the screen when null). A tile
// beyond the strip has no picture.
void draw_tile(int tile, int x, int y, SDL_Surface* target = nullptr);
