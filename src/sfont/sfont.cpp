#include "sfont/sfont.h"

#include <cstdint>
#include <new>

namespace {

constexpr int first_char = '!';
constexpr int last_char = '~';
constexpr int glyph_count = last_char - first_char + 1;

// Glyph positions found in the marker row.
struct Glyph_Runs {
    int x[glyph_count];
    int w[glyph_count];
    int count; // every run seen, also those beyond glyph_count
};

Uint32 read_pixel(const SDL_Surface* surface, int x, int y) {
    const int bpp = surface->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
    switch (bpp) {
    case 1:
        return *p;
    case 2:
        return *reinterpret_cast<const Uint16*>(p);
    case 3:
        if (SDL_BYTEORDER == SDL_BIG_ENDIAN) return Uint32(p[0]) << 16 | Uint32(p[1]) << 8 | p[2];
        return Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16;
    default:
        return *reinterpret_cast<const Uint32*>(p);
    }
}

bool is_magenta(const SDL_Surface* surface, int x) {
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    SDL_GetRGB(read_pixel(surface, x, 0), surface->format, &r, &g, &b);
    return r == 255 && g == 0 && b == 255;
}

// Scans row 0 for the runs of non-magenta pixels. The surface must be readable (locked if needed).
void scan_marker_row(const SDL_Surface* surface, Glyph_Runs* runs) {
    runs->count = 0;
    int x = 0;
    while (x < surface->w) {
        if (is_magenta(surface, x)) {
            ++x;
            continue;
        }
        const int start = x;
        while (x < surface->w && !is_magenta(surface, x))
            ++x;
        if (runs->count < glyph_count) {
            runs->x[runs->count] = start;
            runs->w[runs->count] = x - start;
        }
        ++runs->count;
    }
}

// Whether the scan can read the picture's pixels: one to four bytes each, rows as long as the
// picture is wide. SDL makes surfaces of no depth (and so no row length) for a BMP file whose bit
// count is out of range.
bool is_readable(const SDL_Surface* surface) {
    const int bpp = surface->format->BytesPerPixel;
    return bpp >= 1 && bpp <= 4 && surface->pitch >= surface->w * bpp;
}

bool find_glyphs(SDL_Surface* surface, Glyph_Runs* runs) {
    const bool must_lock = SDL_MUSTLOCK(surface);
    if (must_lock && SDL_LockSurface(surface) != 0) return false;
    scan_marker_row(surface, runs);
    if (must_lock) SDL_UnlockSurface(surface);
    return runs->count == glyph_count;
}

// A plain colour key, without run-length acceleration: every glyph is a small part of a wide
// strip, and SDL's run-length blit of a part walks the runs of whole rows of the strip, which
// costs many times the keyed copy of the glyph's own pixels.
bool set_black_key(SDL_Surface* surface) {
    const Uint32 black = SDL_MapRGB(surface->format, 0, 0, 0);
    return SDL_SetColorKey(surface, SDL_SRCCOLORKEY, black) == 0;
}

// With a display open the picture is kept in its format, so drawing needs no conversion. Without
// one, or if the conversion fails, the original picture is kept; it draws the same, only slower.
SDL_Surface* to_display_format(SDL_Surface* picture) {
    if (!SDL_GetVideoSurface()) return picture;
    SDL_Surface* const converted = SDL_DisplayFormat(picture);
    if (!converted) return picture;
    if (!set_black_key(converted)) {
        SDL_FreeSurface(converted);
        return picture;
    }
    SDL_FreeSurface(picture);
    return converted;
}

bool is_glyph(unsigned char c) {
    return c >= first_char && c <= last_char;
}

int advance(const SFont_Font* font, unsigned char c) {
    return is_glyph(c) ? font->glyph_w[c - first_char] : font->space_width;
}

bool fits_sint16(int v) {
    return v >= INT16_MIN && v <= INT16_MAX;
}

} // namespace

SFont_Font* SFont_InitFont(SDL_Surface* picture) {
    if (!picture) return nullptr;
    Glyph_Runs runs;
    if (picture->h < 2 || !is_readable(picture) || !find_glyphs(picture, &runs) ||
        !set_black_key(picture)) {
        SDL_FreeSurface(picture);
        return nullptr;
    }
    SFont_Font* const font = new (std::nothrow) SFont_Font;
    if (!font) {
        SDL_FreeSurface(picture);
        return nullptr;
    }
    font->line_height = picture->h - 1;
    font->surface = to_display_format(picture);
    for (int i = 0; i < glyph_count; ++i) {
        font->glyph_x[i] = runs.x[i];
        font->glyph_w[i] = runs.w[i];
    }
    font->space_width = (font->glyph_w['0' - first_char] + 1) / 2;
    return font;
}

void SFont_FreeFont(SFont_Font* font) {
    if (!font) return;
    SDL_FreeSurface(font->surface);
    delete font;
}

int SFont_TextHeight(const SFont_Font* font) {
    return font ? font->line_height : 0;
}

int SFont_TextWidth(const SFont_Font* font, const char* text) {
    if (!font || !text) return 0;
    int width = 0;
    for (const char* c = text; *c; ++c)
        width += advance(font, static_cast<unsigned char>(*c));
    return width;
}

void SFont_Write(SDL_Surface* surface, const SFont_Font* font, int x, int y, const char* text) {
    if (!surface || !font || !text || !fits_sint16(y)) return;
    int pen = x;
    for (const char* c = text; *c && pen < surface->w; ++c) {
        const unsigned char ch = static_cast<unsigned char>(*c);
        // SDL keeps positions in 16 bits; a pen outside that range would wrap back into view.
        if (is_glyph(ch) && fits_sint16(pen)) {
            const int i = ch - first_char;
            SDL_Rect src = {Sint16(font->glyph_x[i]), 1, Uint16(font->glyph_w[i]),
                            Uint16(font->line_height)};
            SDL_Rect dst = {Sint16(pen), Sint16(y), 0, 0};
            if (SDL_BlitSurface(font->surface, &src, surface, &dst) != 0) return;
        }
        pen += advance(font, ch);
    }
}
