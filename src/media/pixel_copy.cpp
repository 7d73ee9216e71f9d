#include "media/pixel_copy.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr Uint32 VIDEO_MEMORY = SDL_HWSURFACE | SDL_HWACCEL;

bool plain_32_bit(const SDL_Surface* surface) {
    return surface->format->BitsPerPixel == 32 && surface->format->BytesPerPixel == 4 &&
           !surface->format->palette && !SDL_MUSTLOCK(surface) &&
           !(surface->flags & VIDEO_MEMORY) && surface->pixels;
}

bool same_format(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->Rmask == b->Rmask && a->Gmask == b->Gmask && a->Bmask == b->Bmask &&
           a->Amask == b->Amask;
}

// What SDL's blit of the source onto the target does, when it is one of the two kinds done here:
// a plain copy (one format, no colour key, no alpha) or a keyed copy (one format without alpha
// channel, a colour key without run-length acceleration, no surface alpha).
enum class Copy { by_sdl, plain, keyed };

Copy copy_kind(const SDL_Surface* source, const SDL_Surface* target) {
    if (!plain_32_bit(source) || !plain_32_bit(target) || source->locked || target->locked)
        return Copy::by_sdl;
    if (!same_format(source->format, target->format) || (source->flags & SDL_SRCALPHA))
        return Copy::by_sdl;
    if (!(source->flags & SDL_SRCCOLORKEY)) return Copy::plain;
    return source->format->Amask == 0 ? Copy::keyed : Copy::by_sdl;
}

Uint8* pixel_at(const SDL_Surface* surface, int x, int y) {
    return static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * 4;
}

// The part of the source to copy and where it lands, clipped as SDL_UpperBlit clips; the
// target rectangle is written back as SDL writes it. Answers false when nothing is left.
bool clip_blit(const SDL_Surface* source, const SDL_Rect* source_rect, const SDL_Surface* target,
               SDL_Rect* at, SDL_Rect* part) {
    int x = 0;
    int y = 0;
    int w = source->w;
    int h = source->h;
    if (source_rect) {
        x = source_rect->x;
        w = source_rect->w;
        if (x < 0) {
            w += x;
            at->x = static_cast<Sint16>(at->x - x);
            x = 0;
        }
        w = std::min(w, source->w - x);
        y = source_rect->y;
        h = source_rect->h;
        if (y < 0) {
            h += y;
            at->y = static_cast<Sint16>(at->y - y);
            y = 0;
        }
        h = std::min(h, source->h - y);
    }
    const SDL_Rect& clip = target->clip_rect;
    if (const int dx = clip.x - at->x; dx > 0) {
        w -= dx;
        at->x = static_cast<Sint16>(at->x + dx);
        x += dx;
    }
    if (const int dx = at->x + w - clip.x - clip.w; dx > 0) w -= dx;
    if (const int dy = clip.y - at->y; dy > 0) {
        h -= dy;
        at->y = static_cast<Sint16>(at->y + dy);
        y += dy;
    }
    if (const int dy = at->y + h - clip.y - clip.h; dy > 0) h -= dy;
    if (w <= 0 || h <= 0) {
        at->w = 0;
        at->h = 0;
        return false;
    }
    at->w = static_cast<Uint16>(w);
    at->h = static_cast<Uint16>(h);
    *part = {static_cast<Sint16>(x), static_cast<Sint16>(y), at->w, at->h};
    return true;
}

// memmove: the well copies rows within its own surface.
void copy_rows(const SDL_Surface* source, const SDL_Rect& part, const SDL_Surface* target,
               const SDL_Rect& at) {
    const size_t bytes = size_t{part.w} * 4;
    const Uint8* from = pixel_at(source, part.x, part.y);
    Uint8* to = pixel_at(target, at.x, at.y);
    const bool one_run = bytes == size_t(source->pitch) && bytes == size_t(target->pitch);
    if (one_run) {
        std::memmove(to, from, bytes * part.h);
        return;
    }
    for (int row = 0; row < part.h; ++row)
        std::memmove(to + row * target->pitch, from + row * source->pitch, bytes);
}

// The part of the rectangle inside the clip rectangle, written into the rectangle as SDL_FillRect
// writes it; false when nothing is left.
bool clip_fill(SDL_Rect* rect, const SDL_Rect& clip) {
    const int left = std::max<int>(rect->x, clip.x);
    const int right = std::min<int>(rect->x + rect->w, clip.x + clip.w);
    const int top = std::max<int>(rect->y, clip.y);
    const int bottom = std::min<int>(rect->y + rect->h, clip.y + clip.h);
    rect->x = static_cast<Sint16>(left);
    rect->w = static_cast<Uint16>(std::max(right - left, 0));
    rect->y = static_cast<Sint16>(top);
    rect->h = static_cast<Uint16>(std::max(bottom - top, 0));
    return rect->w && rect->h;
}

// Every pixel but the key's, as SDL's keyed blit between surfaces without alpha channel: the
// byte that no mask covers comes out 0.
void copy_keyed_rows(const SDL_Surface* source, const SDL_Rect& part, const SDL_Surface* target,
                     const SDL_Rect& at) {
    const SDL_PixelFormat* format = source->format;
    const Uint32 key = format->colorkey;
    const Uint32 colour_bits = format->Rmask | format->Gmask | format->Bmask;
    for (int row = 0; row < part.h; ++row) {
        const Uint32* from =
            reinterpret_cast<const Uint32*>(pixel_at(source, part.x, part.y + row));
        Uint32* to = reinterpret_cast<Uint32*>(pixel_at(target, at.x, at.y + row));
        for (int x = 0; x < part.w; ++x)
            if (from[x] != key) to[x] = from[x] & colour_bits;
    }
}

void fill_row(Uint8* row, int count, Uint32 pixel) {
    if (pixel == 0) {
        std::memset(row, 0, size_t(count) * 4);
        return;
    }
    Uint32* const first = reinterpret_cast<Uint32*>(row);
    std::fill(first, first + count, pixel);
}

} // namespace

int blit_surface(SDL_Surface* source, SDL_Rect* source_rect, SDL_Surface* target,
                 SDL_Rect* target_rect) {
    const Copy kind = source && target ? copy_kind(source, target) : Copy::by_sdl;
    if (kind == Copy::by_sdl) return SDL_BlitSurface(source, source_rect, target, target_rect);
    SDL_Rect whole = {0, 0, 0, 0};
    SDL_Rect* const at = target_rect ? target_rect : &whole;
    SDL_Rect part;
    if (!clip_blit(source, source_rect, target, at, &part)) return 0;
    if (kind == Copy::plain)
        copy_rows(source, part, target, *at);
    else
        copy_keyed_rows(source, part, target, *at);
    return 0;
}

int fill_surface(SDL_Surface* target, SDL_Rect* rect, Uint32 pixel) {
    if (!target || !plain_32_bit(target)) return SDL_FillRect(target, rect, pixel);
    SDL_Rect* area = &target->clip_rect;
    if (rect) {
        if (!clip_fill(rect, target->clip_rect)) return 0;
        area = rect;
    }
    const bool one_run = area->x == 0 && area->w * 4 == target->pitch;
    if (one_run) {
        fill_row(pixel_at(target, 0, area->y), area->w * area->h, pixel);
        return 0;
    }
    for (int row = 0; row < area->h; ++row)
        fill_row(pixel_at(target, area->x, area->y + row), area->w, pixel);
    return 0;
}
