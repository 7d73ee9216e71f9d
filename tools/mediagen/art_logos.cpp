// The splash logos, drawn on black.
#include "art.h"

#include <cmath>
#include <string>

namespace {

constexpr int kW = 320;

// Paints a line of text centred on (cx, cy) with a vertical gradient.
void gradientText(Image& img, TextRenderer& text, const std::string& s, const TextStyle& st, int cx,
                  int cy, Rgb top, Rgb bottom) {
    const TextLine line = text.render(s, st, 8);
    int ox = 0;
    int oy = 0;
    centredInk(line, cx, cy, ox, oy);
    const Box ink = line.mask.inkBox(0.3f);
    const int y0 = oy + ink.y0;
    const float h = static_cast<float>(ink.height());
    img.paint(line.mask, ox, oy,
              [&](int, int y) { return mix(top, bottom, clamp01((y - y0) / h)); });
}

// A thin rule that fades out at both ends.
void fadingRule(Image& img, int x0, int x1, int y, Rgb c) {
    for (int x = x0; x < x1; ++x) {
        const float t = (x - x0 + 0.5f) / (x1 - x0);
        img.set(x, y, mix(img.colour(x, y), c, std::sin(3.14159265f * t)));
    }
}

// Three blocks stacked into a small pyramid, glowing softly, with a faint reflection below.
void blockEmblem(Image& img, int cx, int baseY) {
    const int s = 22;
    const struct {
        int x, y, tile;
    } blocks[] = {{cx - s, baseY - s, 3}, {cx, baseY - s, 6}, {cx - s / 2, baseY - 2 * s, 0}};

    Mask halo(img.width(), img.height());
    for (const auto& b : blocks)
        for (int j = 0; j < s; ++j)
            for (int i = 0; i < s; ++i)
                halo.set(b.x + i, b.y + j, 1.0f);
    img.glow(halo.blurred(9.0f), 0, 0, rgb8(70, 110, 255), 0.55f);

    Image tile(s, s, rgb8(0, 0, 0));
    for (const auto& b : blocks) {
        drawBlock(tile, 0, 0, s, palette::kBlocks[b.tile]);
        img.blit(tile, b.x, b.y);
        // The reflection on a dark glossy floor.
        const int depth = baseY - b.y;
        for (int j = 0; j < s; ++j) {
            const int ry = baseY + 1 + (depth - 1 - j);
            const float fade = 0.22f * (1.0f - clamp01((ry - baseY) / 16.0f));
            if (fade <= 0.0f) continue;
            for (int i = 0; i < s; ++i)
                img.set(b.x + i, ry, mix(img.colour(b.x + i, ry), tile.colour(i, j), fade));
        }
    }
}

Image makersLogo(TextRenderer& text) {
    Image img(kW, 160, rgb8(0, 0, 0));
    blockEmblem(img, kW / 2, 70);

    TextStyle name;
    name.face = "DejaVuSans-Bold.ttf";
    name.pixelHeight = 20;
    name.hinting = Hinting::Light;
    name.tracking = 0.5f;
    gradientText(img, text, "the Vextile developers", name, kW / 2, 104, rgb8(255, 255, 255),
                 rgb8(176, 196, 240));

    TextStyle small;
    small.face = "DejaVuSans.ttf";
    small.pixelHeight = 12;
    small.hinting = Hinting::Full;
    small.tracking = 4.0f;
    gradientText(img, text, "PRESENT", small, kW / 2, 132, rgb8(150, 170, 220),
                 rgb8(110, 130, 190));
    fadingRule(img, 58, 114, 132, rgb8(70, 90, 160));
    fadingRule(img, 206, 262, 132, rgb8(70, 90, 160));
    return img;
}

Image libraryLogo(TextRenderer& text) {
    Image img(kW, 120, rgb8(0, 0, 0));
    TextStyle small;
    small.face = "DejaVuSans.ttf";
    small.pixelHeight = 12;
    small.hinting = Hinting::Full;
    small.tracking = 3.0f;
    gradientText(img, text, "BUILT WITH", small, kW / 2, 20, rgb8(170, 186, 230),
                 rgb8(120, 136, 190));

    TextStyle big;
    big.face = "DejaVuSans-Bold.ttf";
    big.pixelHeight = 60;
    big.hinting = Hinting::Light;
    big.tracking = 4.0f;
    const TextLine line = text.render("SDL", big, 16);
    int ox = 0;
    int oy = 0;
    centredInk(line, kW / 2, 62, ox, oy);
    const Box ink = line.mask.inkBox(0.3f);
    const float top = static_cast<float>(oy + ink.y0);
    const float h = static_cast<float>(ink.height());
    ArcadeStyle style;
    style.outlineWidth = 2.5f;
    style.bevelSigma = 2.0f;
    style.bevelStrength = 0.45f;
    style.gloss = 0.0f;
    style.shadowOpacity = 0.0f;
    style.glow = rgb8(50, 110, 255);
    style.glowSigma = 7.0f;
    style.glowStrength = 0.6f;
    // Chrome: bright sky on top, a dark horizon across the middle, light ground below.
    paintArcadeText(
        img, line.mask, ox, oy,
        [&](int, int y) {
            const float t = clamp01((y - top) / h);
            if (t < 0.5f) return mix(rgb8(240, 248, 255), rgb8(110, 160, 240), t / 0.5f);
            return mix(rgb8(36, 70, 170), rgb8(150, 200, 255), (t - 0.5f) / 0.5f);
        },
        style);

    // A row of small blocks as a base line.
    const int size = 8;
    const int count = 13;
    const int x0 = kW / 2 - count * size / 2;
    for (int i = 0; i < count; ++i) {
        const float d = std::fabs(i - (count - 1) / 2.0f) / ((count - 1) / 2.0f);
        Image block(size, size, rgb8(0, 0, 0));
        drawBlock(block, 0, 0, size, palette::kBlocks[(i * 3) % 7]);
        for (int j = 0; j < size; ++j)
            for (int u = 0; u < size; ++u)
                img.set(x0 + i * size + u, 100 + j, block.colour(u, j) * (1.0f - 0.7f * d));
    }
    return img;
}

} // namespace

void addLogoArt(Pictures& out, TextRenderer& text) {
    out.emplace_back("orvalmoore_logo-320.bmp", toBitmap(makersLogo(text), true));
    out.emplace_back("sdl_logo-320.bmp", toBitmap(libraryLogo(text), true));
}
