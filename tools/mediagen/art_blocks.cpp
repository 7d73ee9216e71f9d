// Block tiles, the shared block drawing and the window icon.
#include "art.h"

#include <algorithm>
#include <cmath>

const Rgb palette::kBlocks[7] = {
    rgb8(250, 204, 36), // yellow: square
    rgb8(46, 104, 236), // blue: J
    rgb8(252, 132, 28), // orange: L
    rgb8(72, 214, 246), // cyan: bar
    rgb8(228, 44, 60),  // red: Z
    rgb8(64, 198, 82),  // green: S
    rgb8(158, 72, 226), // purple: T
};

// ---- the block ------------------------------------------------------------------------------

namespace {

struct BlockLook {
    float rim = 0.55f;       // how far the outer top-left ring goes toward white
    float bevelLit = 0.32f;  // lit bevel
    float bevelDark = 0.34f; // shaded bevel
    float rimDark = 0.58f;   // outer bottom-right ring
    float gloss = 0.30f;     // soft highlight in the top left of the face
};

Rgb blockPixel(int i, int j, int size, Rgb base, const BlockLook& look) {
    const int bevel = std::max(1, size / 8);
    const int dl = i, dt = j, dr = size - 1 - i, db = size - 1 - j;
    const int ring = std::min(std::min(dl, dt), std::min(dr, db));
    const int lit = std::min(dl, dt);
    const int shade = std::min(dr, db);
    // On the two off-diagonal corners the nearer edge decides; a tie takes the middle tone.
    const float side = lit < shade ? 1.0f : (lit > shade ? -1.0f : 0.0f);
    if (ring == 0) {
        if (side > 0) return lighter(base, look.rim);
        if (side < 0) return darker(base, look.rimDark);
        return darker(base, 0.2f);
    }
    if (ring <= bevel) {
        if (side > 0) return lighter(base, look.bevelLit);
        if (side < 0) return darker(base, look.bevelDark);
        return base;
    }
    // The face: lit from the top left, with a soft gloss.
    const float inner = static_cast<float>(size - 2 * (bevel + 1));
    const float u = (i - bevel - 1 + 0.5f) / inner;
    const float v = (j - bevel - 1 + 0.5f) / inner;
    Rgb c = mix(lighter(base, 0.14f), darker(base, 0.16f), clamp01((u + v) * 0.5f));
    const float g = std::exp(-((u - 0.28f) * (u - 0.28f) + (v - 0.25f) * (v - 0.25f)) / 0.05f);
    return lighter(c, look.gloss * g);
}

void drawBlockLook(Image& img, int x, int y, int size, Rgb base, const BlockLook& look) {
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i)
            img.set(x + i, y + j, blockPixel(i, j, size, base, look));
}

// Paints a symbol with a dark rim around it, then its fill.
void paintSymbol(Image& img, const Mask& m, Rgb rim, const Shader& fill, float rimWidth = 1.0f) {
    img.paint(m.dilated(rimWidth), 0, 0, rim, 0.9f);
    img.paint(m, 0, 0, fill);
}

Image plainTile(Rgb base) {
    Image t(16, 16, base);
    drawBlockLook(t, 0, 0, 16, base, BlockLook{});
    return t;
}

Image icyTile() {
    const Rgb base = palette::kBlocks[3];
    Image t = plainTile(base);
    // Two frosty glints across the face.
    Mask m(16, 16);
    strokeSegment(m, {4.0f, 9.5f}, {9.5f, 4.0f}, 1.0f);
    strokeSegment(m, {7.5f, 12.0f}, {12.0f, 7.5f}, 0.8f);
    t.paint(m, 0, 0, rgb8(236, 252, 255), 0.55f);
    return t;
}

Image flashTile() {
    const Rgb base = rgb8(236, 242, 255);
    Image t(16, 16, base);
    BlockLook look;
    look.rim = 0.8f;
    look.bevelLit = 0.6f;
    look.bevelDark = 0.12f;
    look.rimDark = 0.28f;
    look.gloss = 0.0f;
    drawBlockLook(t, 0, 0, 16, base, look);
    // A hot white centre that fades to a cool halo.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const float d = std::hypot(x - 7.5f, y - 7.5f);
            if (d > 6.5f) continue;
            const float k = 1.0f - smoothstep(1.0f, 6.5f, d);
            t.set(x, y, mix(t.colour(x, y), rgb8(255, 255, 255), k));
        }
    return t;
}

Image thawedTile() {
    const Rgb base = rgb8(168, 186, 208);
    Image t = plainTile(base);
    Mask crack(16, 16);
    strokePolyline(crack, {{3, 3}, {6, 6.5f}, {7.5f, 6}, {9.5f, 9}, {13, 11}}, 0.9f);
    strokePolyline(crack, {{7.5f, 6}, {10, 3}}, 0.8f);
    strokePolyline(crack, {{9.5f, 9}, {8, 13}}, 0.8f);
    strokePolyline(crack, {{6, 6.5f}, {3.5f, 10}}, 0.7f);
    t.paint(crack.shifted(1, 1), 0, 0, rgb8(228, 238, 250), 0.6f);
    t.paint(crack, 0, 0, rgb8(78, 96, 124), 0.95f);
    return t;
}

Image fireTile() {
    Image t(16, 16);
    const Rgb base = rgb8(214, 62, 26);
    drawBlockLook(t, 0, 0, 16, base, BlockLook{});
    // Embers glow up from the bottom of the face.
    for (int y = 3; y < 13; ++y)
        for (int x = 3; x < 13; ++x)
            t.set(x, y, mix(t.colour(x, y), rgb8(120, 20, 10), smoothstep(3.0f, 13.0f, y) * 0.5f));
    const std::vector<Vec2> flame = {
        {8.0f, 1.8f},  {9.2f, 4.6f}, {11.4f, 6.4f}, {12.4f, 9.6f}, {11.2f, 12.8f}, {8.0f, 14.0f},
        {4.8f, 12.8f}, {3.6f, 9.8f}, {4.6f, 7.0f},  {5.8f, 8.6f},  {6.4f, 5.4f},
    };
    const Mask outer = polygonMask(16, 16, flame);
    const std::vector<Vec2> core = {
        {8.2f, 6.2f}, {10.0f, 9.2f}, {9.8f, 11.8f}, {8.0f, 12.8f}, {6.2f, 11.8f}, {6.2f, 9.6f},
    };
    const Mask inner = polygonMask(16, 16, core);
    paintSymbol(t, outer, rgb8(96, 14, 6), [](int, int y) {
        return mix(rgb8(255, 236, 90), rgb8(255, 140, 20), clamp01((14.0f - y) / 11.0f));
    });
    t.paint(inner, 0, 0, rgb8(255, 252, 220));
    return t;
}

Image iceTile() {
    const Rgb base = rgb8(170, 214, 252);
    Image t(16, 16);
    BlockLook look;
    look.gloss = 0.1f;
    drawBlockLook(t, 0, 0, 16, base, look);
    Mask flake(16, 16);
    const Vec2 c{8.0f, 8.0f};
    for (int k = 0; k < 3; ++k) {
        const float a = 3.14159265f * (0.5f + k / 3.0f);
        const Vec2 d{std::cos(a) * 5.2f, std::sin(a) * 5.2f};
        strokeSegment(flake, {c.x - d.x, c.y - d.y}, {c.x + d.x, c.y + d.y}, 1.4f);
    }
    // Little barbs near the tips of each arm.
    for (int k = 0; k < 6; ++k) {
        const float a = 3.14159265f * (0.5f + k / 3.0f);
        const Vec2 p{c.x + std::cos(a) * 3.4f, c.y + std::sin(a) * 3.4f};
        for (const float s : {-1.0f, 1.0f}) {
            const float b = a + s * 0.9f;
            strokeSegment(flake, p, {p.x + std::cos(b) * 2.0f, p.y + std::sin(b) * 2.0f}, 1.0f);
        }
    }
    paintSymbol(
        t, flake, rgb8(26, 66, 160), [](int, int) { return rgb8(255, 255, 255); }, 1.0f);
    return t;
}

Image lightningTile() {
    Image t(16, 16);
    drawBlockLook(t, 0, 0, 16, rgb8(70, 30, 132), BlockLook{});
    const std::vector<Vec2> bolt = {
        {9.6f, 1.6f},  {4.0f, 9.0f}, {7.6f, 9.0f},  {5.6f, 14.6f},
        {12.2f, 6.6f}, {8.6f, 6.6f}, {11.0f, 1.6f},
    };
    const Mask m = polygonMask(16, 16, bolt);
    t.glow(m.blurred(1.4f), 0, 0, rgb8(255, 200, 60), 0.45f);
    paintSymbol(
        t, m, rgb8(40, 14, 60),
        [](int, int y) { return mix(rgb8(255, 252, 200), rgb8(255, 206, 30), clamp01(y / 15.0f)); },
        0.7f);
    return t;
}

Image earthTile() {
    const Rgb base = rgb8(128, 84, 44);
    Image t(16, 16);
    drawBlockLook(t, 0, 0, 16, base, BlockLook{});
    // Three stones with their own light, split by dark cracks.
    for (int y = 3; y < 13; ++y)
        for (int x = 3; x < 13; ++x)
            t.set(x, y, rgb8(58, 34, 18));
    struct Stone {
        std::vector<Vec2> pts;
        Rgb tone;
    };
    const std::vector<Stone> stones = {
        {{{3, 3}, {8.8f, 3}, {8, 7}, {3, 7.8f}}, rgb8(176, 126, 78)},
        {{{9.8f, 3}, {13, 3}, {13, 9.4f}, {9, 7.8f}}, rgb8(150, 102, 58)},
        {{{3, 8.8f}, {8.4f, 8.2f}, {13, 10.4f}, {13, 13}, {3, 13}}, rgb8(162, 112, 66)},
    };
    for (const Stone& s : stones) {
        const Mask m = polygonMask(16, 16, s.pts);
        const Mask lit = bevelLight(m, 0.7f);
        t.paint(m, 0, 0, [&](int x, int y) {
            const float l = lit.at(x, y);
            return l > 0 ? lighter(s.tone, l * 0.6f) : darker(s.tone, -l * 0.5f);
        });
    }
    return t;
}

} // namespace

void drawBlock(Image& img, int x, int y, int size, Rgb base) {
    drawBlockLook(img, x, y, size, base, BlockLook{});
}

static Image blockStrip() {
    Image strip(224, 16, rgb8(20, 20, 30));
    for (int t = 0; t < 7; ++t)
        strip.blit(t == 3 ? icyTile() : plainTile(palette::kBlocks[t]), t * 16, 0);
    strip.blit(flashTile(), 7 * 16, 0);
    strip.blit(thawedTile(), 8 * 16, 0);
    strip.blit(plainTile(rgb8(128, 130, 140)), 9 * 16, 0);
    strip.blit(fireTile(), 10 * 16, 0);
    strip.blit(iceTile(), 11 * 16, 0);
    strip.blit(lightningTile(), 12 * 16, 0);
    strip.blit(earthTile(), 13 * 16, 0);
    return strip;
}

static Image windowIcon() {
    Image icon(32, 32, rgb8(16, 16, 36));
    const Mask plate = shapeMask(32, 32, [](Vec2 p) {
        return sdRoundBox(p, {16, 16}, {16, 16}, 5.0f);
    });
    Image bg(32, 32, rgb8(4, 4, 8));
    bg.paint(plate, 0, 0,
             [](int, int y) { return mix(rgb8(34, 30, 78), rgb8(14, 14, 36), y / 31.0f); });
    icon = bg;
    // An L of orange, a T of purple and a cyan step, on a 7-pixel grid.
    const struct {
        int cx, cy, tile;
    } cells[] = {
        {0, 3, 2}, {1, 3, 2}, {2, 3, 2}, {2, 2, 2}, {0, 2, 6}, {0, 1, 6},
        {1, 2, 6}, {0, 0, 6}, {3, 3, 3}, {3, 2, 3}, {3, 1, 3}, {2, 1, 0},
    };
    for (const auto& c : cells)
        drawBlock(icon, 2 + c.cx * 7, 2 + c.cy * 7, 7, palette::kBlocks[c.tile]);
    return icon;
}

void addBlockArt(Pictures& out) {
    out.emplace_back("block_tex-320.bmp", toBitmap(blockStrip()));
    out.emplace_back("vextile_icon-32x32.bmp", toBitmap(windowIcon()));
}
