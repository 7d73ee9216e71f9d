// Copies and fills of 32-bit pixels done here rather than by SDL 1.2, whose plain copy moves 8
// bytes at a time with non-temporal stores, whose fill stores one pixel at a time and whose keyed
// copy takes every pixel apart into colours and back: each takes several times as long as memmove,
// memset or a plain loop on a screen that stays in the cache, and the play frame is made of
// little else.
#pragma once

#include <SDL/SDL.h>

// SDL_BlitSurface, with the same clipping, the same rectangle written back, the same pixels and the
// same result. Blits between 32-bit surfaces of one format (nothing to lock, no video memory) that
// copy, or copy every pixel but the colour key's (a key without run-length acceleration, no alpha),
// are done here; every other one by SDL.
int blit_surface(SDL_Surface* source, SDL_Rect* source_rect, SDL_Surface* target,
                 SDL_Rect* target_rect);

// SDL_FillRect likewise: fills of 32-bit surfaces without a palette, nothing to lock and no video
// memory are done here; every other one by SDL.
int fill_surface(SDL_Surface* target, SDL_Rect* rect, Uint32 pixel);
