// The game's bitmap font: one strip of outlined glyphs '!'..'~' with a magenta marker row.
#include "art.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kHeight = 16;   // marker row + 15 glyph rows
constexpr int kCapTop = 2;    // glyph row where capitals start
constexpr int kCapHeight = 9; // rows of a capital letter
constexpr int kFirst = 33;    // '!'
constexpr int kLast = 126;    // '~'
constexpr int kGlyphs = kLast - kFirst + 1;
constexpr int kMaxWidth = 11; // widest cell, outline included
constexpr float kInkCut = 0.34f;

const Rgb kOutline = rgb8(8, 8, 12);
const Rgb kTop = rgb8(255, 255, 255);
const Rgb kBottom = rgb8(222, 214, 196);

constexpr int kPixelWidth = 9; // horizontally condensed: 12 px tall, 9 px wide em

TextStyle fontStyle(int pixelWidth = kPixelWidth) {
    TextStyle st;
    st.face = "DejaVuSans-Bold.ttf";
    st.pixelHeight = 12;
    st.pixelWidth = pixelWidth;
    st.hinting = Hinting::Full;
    return st;
}

// A glyph as it sits in its cell: 15 rows, the ink with one column of outline on each side.
struct Cell {
    Mask ink;
    int width = 0;
};

Cell makeCell(TextRenderer& text, char ch, int baseline, int minWidth, int pixelWidth) {
    const GlyphImage g = text.glyph(static_cast<unsigned char>(ch), fontStyle(pixelWidth));
    const Box box = g.mask.inkBox(kInkCut);
    const int inkW = box.empty() ? 1 : box.width();
    Cell cell;
    cell.width = std::max(inkW + 2, minWidth);
    cell.ink = Mask(cell.width, kHeight - 1);
    const int ox = (cell.width - inkW) / 2 - box.x0;
    const int oy = baseline - g.top;
    for (int y = 0; y < g.mask.height(); ++y) {
        const int cy = y + oy;
        if (cy < 1 || cy > kHeight - 3) continue; // keep a row for the outline
        for (int x = 0; x < g.mask.width(); ++x)
            cell.ink.set(x + ox, cy, g.mask.at(x, y));
    }
    return cell;
}

// Wide letters (W, M, %) are squeezed a little further until they fit the widest cell.
Cell fittedCell(TextRenderer& text, char ch, int baseline, int minWidth) {
    for (int pw = kPixelWidth;; --pw) {
        Cell cell = makeCell(text, ch, baseline, minWidth, pw);
        if (cell.width <= kMaxWidth || pw <= 6) return cell;
    }
}

// Finds the baseline so capitals start at kCapTop.
int findBaseline(TextRenderer& text) {
    const GlyphImage h = text.glyph('H', fontStyle());
    const Box box = h.mask.inkBox(kInkCut);
    const int capRows = box.height();
    if (capRows < kCapHeight - 1 || capRows > kCapHeight + 1)
        throw std::runtime_error("font cap height is " + std::to_string(capRows));
    return kCapTop + (h.top - box.y0);
}

void paintCell(Bitmap& bmp, const Cell& cell, int x0) {
    const Mask solid = cell.ink;
    Mask hard(cell.width, kHeight - 1);
    for (int y = 0; y < hard.height(); ++y)
        for (int x = 0; x < hard.width(); ++x)
            hard.set(x, y, solid.at(x, y) > kInkCut ? 1 : 0);
    const Mask outline = hard.dilated(1.5f);
    for (int y = 0; y < cell.ink.height(); ++y) {
        const float t = static_cast<float>(y - kCapTop) / (kCapHeight + 2);
        const Rgb fill = mix(kTop, kBottom, clamp01(t));
        for (int x = 0; x < cell.width; ++x) {
            if (outline.at(x, y) <= 0.0f) continue;
            // Every pixel of the letter's own shape is lit, faint edges included: a dim edge
            // column would read as extra space on that side of the letter.
            const float cover = solid.at(x, y);
            const float s = cover > kInkCut ? std::max(0.62f, smoothstep(kInkCut, 0.85f, cover))
                                            : smoothstep(kInkCut - 0.1f, 0.85f, cover);
            Rgb c = mix(kOutline, fill, s);
            bmp.put(x0 + x, y + 1, static_cast<std::uint8_t>(c.r * 255.0f + 0.5f),
                    static_cast<std::uint8_t>(c.g * 255.0f + 0.5f),
                    static_cast<std::uint8_t>(c.b * 255.0f + 0.5f));
            if (bmp.isBlack(x0 + x, y + 1)) bmp.put(x0 + x, y + 1, 8, 8, 12);
        }
    }
}

} // namespace

FontReport checkFont(const Bitmap& bmp) {
    FontReport r;
    int run = 0;
    for (int x = 0; x <= bmp.w; ++x) {
        const bool magenta = x == bmp.w || (bmp.rgb[x * 3] == 255 && bmp.rgb[x * 3 + 1] == 0 &&
                                            bmp.rgb[x * 3 + 2] == 255);
        if (!magenta) {
            ++run;
            continue;
        }
        if (run > 0) {
            r.widths.push_back(run);
            r.widest = std::max(r.widest, run);
        }
        run = 0;
    }
    r.runs = static_cast<int>(r.widths.size());
    if (r.runs == kGlyphs) {
        r.digit = r.widths['0' - kFirst];
        r.space = (r.digit + 1) / 2;
    }
    return r;
}

Bitmap makeFont(TextRenderer& text) {
    const int baseline = findBaseline(text);
    int digitWidth = 0;
    for (char c = '0'; c <= '9'; ++c)
        digitWidth = std::max(digitWidth, fittedCell(text, c, baseline, 0).width);

    std::vector<Cell> cells;
    int total = 0;
    for (int c = kFirst; c <= kLast; ++c) {
        const bool digit = c >= '0' && c <= '9';
        cells.push_back(fittedCell(text, static_cast<char>(c), baseline, digit ? digitWidth : 0));
        total += cells.back().width + (c < kLast ? 1 : 0);
    }

    Bitmap bmp;
    bmp.w = total;
    bmp.h = kHeight;
    bmp.rgb.assign(static_cast<size_t>(total) * kHeight * 3, 0);
    int x = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        paintCell(bmp, cells[i], x);
        x += cells[i].width;
        if (i + 1 < cells.size()) bmp.put(x++, 0, 255, 0, 255);
    }

    const FontReport r = checkFont(bmp);
    if (r.runs != kGlyphs)
        throw std::runtime_error("font has " + std::to_string(r.runs) + " glyph runs, not 94");
    if (r.widest > kMaxWidth)
        throw std::runtime_error("font glyph is " + std::to_string(r.widest) + " px wide");
    return bmp;
}
