// A small bitmap-font library for SDL 1.2: the game draws all of its text through these five calls.
//
// The font picture
// ----------------
// The picture is one strip of glyphs for the 94 printable characters from '!' (33) to '~' (126), in
// character order, left to right.
//
//  * Row 0 is a marker row. Every pixel of row 0 that is pure magenta (255, 0, 255) belongs to a
//  gap
//    between glyphs; every maximal run of non-magenta pixels in row 0 is the column range of one
//    glyph. There must be exactly 94 such runs, and the picture must be at least 2 pixels high.
//  * Rows 1 .. height-1 hold the glyph images. The line height is therefore height - 1.
//  * Pure black (0, 0, 0) is transparent. Glyphs are light with a one-pixel near-black outline
//    (for example (8, 8, 12)), so they read on dark and bright backgrounds alike.
//  * Each glyph advances the pen by its own width (the run length); the generator bakes the spacing
//    between letters into the glyph cells, so the writer adds none.
//  * A space (and any character outside '!'..'~') draws nothing and advances by the space width:
//    half the width of the '0' glyph, rounded up.
//
// A picture that breaks these rules is unusable: SFont_InitFont then gives no font (and frees the
// picture). A usable picture is owned by the font from then on.
#pragma once

#include <SDL/SDL.h>

struct SFont_Font {
    SDL_Surface* surface; // glyph picture (owned), colour key black
    int glyph_x[94];      // left pixel column of each glyph in the picture
    int glyph_w[94];      // width of each glyph
    int space_width;
    int line_height;
};

// Makes a font from the font picture. Returns null for a null or unusable picture (which is freed).
SFont_Font* SFont_InitFont(SDL_Surface* picture);
// Frees the font and its picture. Null is allowed.
void SFont_FreeFont(SFont_Font* font);
// Line height in pixels (0 without a font).
int SFont_TextHeight(const SFont_Font* font);
// Width in pixels of the text as SFont_Write would draw it (0 without a font or text).
int SFont_TextWidth(const SFont_Font* font, const char* text);
// Draws the text with its top left corner at (x, y) on the surface, clipped by SDL.
void SFont_Write(SDL_Surface* surface, const SFont_Font* font, int x, int y, const char* text);
