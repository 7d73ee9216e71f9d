// Rasterises DejaVu text with FreeType into coverage masks.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "image.h"

enum class Hinting {
    Light, // smooth shapes, vertical hinting only: large titles
    Full,  // snapped stems: small captions
    Mono,  // one bit per pixel
};

struct TextStyle {
    std::string face = "DejaVuSans-Bold.ttf";
    int pixelHeight = 12;
    int pixelWidth = 0;    // 0: same as the height; smaller gives condensed letters
    float tracking = 0.0f; // extra pixels between letters
    Hinting hinting = Hinting::Full;
};

// A rendered line: the mask holds the text with `pad` pixels of room on every side.
struct TextLine {
    Mask mask;
    int baseline = 0; // row of the baseline inside the mask
};

// One glyph: coverage plus its placement relative to the pen on the baseline.
struct GlyphImage {
    Mask mask;
    int left = 0; // pen to first column
    int top = 0;  // baseline to first row (positive up)
    int advance = 0;
};

class TextRenderer {
  public:
    explicit TextRenderer(std::string fontDir);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    TextLine render(const std::string& text, const TextStyle& style, int pad = 8);
    GlyphImage glyph(char32_t ch, const TextStyle& style);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Finds the offset (ox, oy) that centres the line's ink on (cx, cy); returns the ink box.
Box centredInk(const TextLine& line, int cx, int cy, int& ox, int& oy);
