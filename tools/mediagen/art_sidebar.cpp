// The panel right of the well with its labels, the next-piece box and the flare icon.
#include "art.h"

#include <cmath>
#include <string>

namespace {

constexpr int kW = 96;
constexpr int kH = 320;

// Where the game draws over the panel.
constexpr int kNextBoxX = 8;
constexpr int kNextBoxY = 26;
constexpr int kFlareX = 28;
constexpr int kFlareY = 192;

Rgb metal(int x, int y) {
    // A dark brushed column, rounded like a pillar, a touch lighter at the top.
    const float u = (x + 0.5f) / kW;
    const float shape = 0.78f + 0.3f * std::sin(3.14159265f * (0.15f + 0.8f * u));
    const float v = static_cast<float>(y) / kH;
    const Rgb c = mix(rgb8(40, 42, 72), rgb8(24, 24, 48), v);
    return c * shape;
}

void separatorLine(Image& img) {
    for (int y = 0; y < kH; ++y) {
        img.set(0, y, rgb8(10, 12, 26));
        img.set(1, y, rgb8(150, 220, 255));
        img.set(2, y, mix(img.colour(2, y), rgb8(80, 150, 220), 0.7f));
        img.set(3, y, mix(img.colour(3, y), rgb8(60, 110, 190), 0.35f));
        img.set(4, y, mix(img.colour(4, y), rgb8(60, 110, 190), 0.12f));
        img.set(kW - 1, y, rgb8(10, 10, 22));
        img.set(kW - 2, y, mix(img.colour(kW - 2, y), rgb8(70, 74, 110), 0.5f));
    }
}

// An engraved horizontal groove across the panel.
void groove(Image& img, int y) {
    for (int x = 8; x < kW - 8; ++x) {
        const float fade = smoothstep(8.0f, 20.0f, x) * smoothstep(kW - 8.0f, kW - 20.0f, x);
        img.set(x, y, mix(img.colour(x, y), rgb8(8, 8, 18), 0.8f * fade));
        img.set(x, y + 1, mix(img.colour(x, y + 1), rgb8(96, 104, 150), 0.45f * fade));
    }
}

// A sunken well with an inner shadow, so digits read on it.
void recess(Image& img, int x0, int y0, int x1, int y1) {
    const Vec2 c{(x0 + x1) * 0.5f, (y0 + y1) * 0.5f};
    const Vec2 half{(x1 - x0) * 0.5f, (y1 - y0) * 0.5f};
    const Mask outer = shapeMask(kW, kH, [&](Vec2 p) { return sdRoundBox(p, c, half, 3.0f); });
    const Mask rim = shapeMask(kW, kH, [&](Vec2 p) {
        return sdRoundBox(p, {c.x + 0.5f, c.y + 0.5f}, {half.x + 0.5f, half.y + 0.5f}, 3.5f);
    });
    // A light lip on the lower right, where the panel catches light past the hole.
    img.paint(rim.minus(outer), 0, 0, rgb8(110, 118, 170), 0.8f);
    img.paint(outer, 0, 0, [&](int, int y) {
        return mix(rgb8(6, 7, 16), rgb8(16, 18, 38), clamp01((y - y0) / (y1 - y0 + 0.0f)));
    });
    // Inner shadow along the top.
    for (int x = x0 + 2; x < x1 - 2; ++x) {
        img.set(x, y0 + 1, mix(img.colour(x, y0 + 1), rgb8(2, 2, 6), 0.5f));
    }
}

// A small lit rivet.
void rivet(Image& img, float cx, float cy) {
    const Mask m = shapeMask(kW, kH, [&](Vec2 p) { return sdCircle(p, {cx, cy}, 2.0f); });
    img.paint(m.shifted(1, 1), 0, 0, rgb8(8, 8, 16), 0.6f);
    img.paint(m, 0, 0, [&](int x, int y) {
        const float l =
            clamp01(1.0f - std::hypot(x + 0.5f - (cx - 0.8f), y + 0.5f - (cy - 0.8f)) / 2.6f);
        return mix(rgb8(50, 54, 84), rgb8(190, 200, 236), l);
    });
}

// A "V" of blocks pressed into the metal in the quiet lower part of the panel.
void emblem(Image& img) {
    const int size = 12;
    const int cells[][2] = {{0, 0}, {4, 0}, {0, 1}, {4, 1}, {1, 2}, {3, 2}, {2, 3}};
    const int x0 = kW / 2 - 5 * size / 2;
    const int y0 = 240;
    for (const auto& cell : cells) {
        const int bx = x0 + cell[0] * size;
        const int by = y0 + cell[1] * size;
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i) {
                const Rgb c = mix(img.colour(bx + i, by + j), rgb8(70, 110, 190), 0.1f);
                Rgb out = darker(c, 0.1f);
                if (i == 0 || j == 0) out = darker(c, 0.5f);
                if (i == size - 1 || j == size - 1) out = lighter(c, 0.14f);
                img.set(bx + i, by + j, out);
            }
    }
}

Image panel() {
    Image img(kW, kH, rgb8(0, 0, 0));
    img.fill(metal);
    separatorLine(img);
    groove(img, 104);
    groove(img, 145);
    groove(img, 186);
    groove(img, 216);
    recess(img, 10, 123, 86, 140);
    recess(img, 10, 164, 86, 181);
    recess(img, 22, 189, 80, 211);
    emblem(img);
    rivet(img, 8.5f, 6.5f);
    rivet(img, kW - 8.5f, 6.5f);
    rivet(img, 8.5f, kH - 7.5f);
    rivet(img, kW - 8.5f, kH - 7.5f);
    return img;
}

Image label(TextRenderer& text, const std::string& word) {
    Image img(80, 14);
    TextStyle st;
    st.face = "DejaVuSans-Bold.ttf";
    st.pixelHeight = 12;
    st.tracking = 1.5f;
    st.hinting = Hinting::Full;
    const TextLine line = text.render(word, st, 8);
    int ox = 0;
    int oy = 0;
    centredInk(line, 40, 6, ox, oy);
    ArcadeStyle style;
    style.outlineWidth = 1.0f;
    style.bevelSigma = 0.0f;
    style.bevelStrength = 0.0f;
    style.gloss = 0.0f;
    style.shadowDx = 1;
    style.shadowDy = 1;
    style.shadowOpacity = 1.0f;
    style.shadow = palette::kInk;
    const int top = oy + line.mask.inkBox(0.3f).y0;
    paintArcadeText(
        img, line.mask, ox, oy,
        [&](int, int y) {
            return mix(rgb8(255, 246, 200), rgb8(255, 176, 48), clamp01((y - top) / 9.0f));
        },
        style);
    return img;
}

Image nextBox(const Image& base) {
    Image img = base.crop(kNextBoxX, kNextBoxY, 80, 72);
    const Mask frame = shapeMask(80, 72, [](Vec2 p) {
        return sdRoundBox(p, {40, 36}, {40, 36}, 6.0f);
    });
    const Mask inner = shapeMask(80, 72, [](Vec2 p) {
        return sdRoundBox(p, {40, 36}, {36, 32}, 3.0f);
    });
    const Mask lit = bevelLight(frame, 1.2f);
    img.paint(frame, 0, 0, [&](int x, int y) {
        const float l = lit.at(x, y);
        const Rgb c = mix(rgb8(120, 170, 230), rgb8(50, 70, 140), y / 71.0f);
        return l > 0 ? lighter(c, l * 0.6f) : darker(c, -l * 0.6f);
    });
    img.paint(inner, 0, 0,
              [](int, int y) { return mix(rgb8(4, 6, 16), rgb8(14, 16, 36), y / 71.0f); });
    return img;
}

Image flareIcon(const Image& base) {
    Image img = base.crop(kFlareX, kFlareY, 16, 16);
    // The stick.
    Mask stick(16, 16);
    strokeSegment(stick, {3.5f, 13.0f}, {8.0f, 8.5f}, 3.2f);
    img.paint(stick.dilated(1.0f), 0, 0, palette::kInk, 0.8f);
    img.paint(stick, 0, 0,
              [](int x, int y) { return (x - y) > -8 ? rgb8(236, 70, 60) : rgb8(150, 24, 30); });
    // The spark: a warm glow with a white four-pointed star.
    Mask glow(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const float d = std::hypot(x + 0.5f - 10.0f, y + 0.5f - 6.0f);
            glow.set(x, y, std::exp(-d * d / 10.0f));
        }
    img.glow(glow, 0, 0, rgb8(255, 150, 40), 0.9f);
    Mask star(16, 16);
    strokeSegment(star, {10.0f, 0.8f}, {10.0f, 11.2f}, 1.2f);
    strokeSegment(star, {4.8f, 6.0f}, {15.2f, 6.0f}, 1.2f);
    strokeSegment(star, {7.6f, 3.6f}, {12.4f, 8.4f}, 1.0f);
    strokeSegment(star, {12.4f, 3.6f}, {7.6f, 8.4f}, 1.0f);
    img.paint(star, 0, 0, rgb8(255, 236, 150));
    const Mask core = shapeMask(16, 16, [](Vec2 p) { return sdCircle(p, {10.0f, 6.0f}, 1.6f); });
    img.paint(core, 0, 0, rgb8(255, 255, 255));
    return img;
}

} // namespace

void addSidebarArt(Pictures& out, TextRenderer& text) {
    const Image base = panel();
    out.emplace_back("sidebar-320.bmp", toBitmap(base));
    out.emplace_back("sidebar_nextbox-320.bmp", toBitmap(nextBox(base)));
    out.emplace_back("sidebar_flare-320.bmp", toBitmap(flareIcon(base)));
    const char* const words[][2] = {{"NEXT", "next"}, {"LEVEL", "level"}, {"SCORE", "score"}};
    for (const auto& w : words)
        out.emplace_back(std::string("sidebar_") + w[1] + "-320.bmp",
                         toKeyedBitmap(label(text, w[0]), palette::kInk));
}
