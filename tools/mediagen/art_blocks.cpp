// Block tiles, the shared block drawing and the window icon.
#include "art.h"

#include <algorithm>
#include <cmath>

// Spread in lightness as well as hue, so that no two tiles meet even where hue is lost: every pair
// stays apart with each kind of colour blindness, not only with normal vision.
const Rgb palette::kBlocks[7] = {
    rgb8(255, 220, 52),  // yellow: square
    rgb8(22, 96, 180),   // blue: J
    rgb8(242, 122, 0),   // orange: L
    rgb8(80, 226, 255),  // cyan: bar
    rgb8(216, 20, 46),   // red: Z
    rgb8(46, 186, 110),  // green: S
    rgb8(172, 114, 255), // purple: T
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

// A quiet mark pressed into the face: a groove a little darker than the face, its lower right lip
// catching the light.
void engrave(Image& t, const Mask& m, float depth) {
    const Image face = t;
    t.paint(
        m.shifted(1, 1).minus(m), 0, 0,
        [&](int x, int y) { return lighter(face.colour(x, y), 0.5f); }, depth * 0.7f);
    t.paint(
        m, 0, 0, [&](int x, int y) { return darker(face.colour(x, y), 0.5f); }, depth);
}

// Each ordinary tile carries a mark of its own, so shape tells them apart where colour fails.
Mask tileMark(int tile) {
    Mask m(16, 16);
    const Vec2 c{8.0f, 8.0f};
    switch (tile) {
    case 0: // a dot
        return shapeMask(16, 16, [&](Vec2 p) { return sdCircle(p, c, 1.5f); });
    case 1: // a ring
        return shapeMask(16, 16, [&](Vec2 p) { return std::fabs(sdCircle(p, c, 2.9f)) - 0.5f; });
    case 2: // a corner
        strokePolyline(m, {{11.0f, 5.5f}, {11.0f, 11.0f}, {5.5f, 11.0f}}, 1.0f);
        return m;
    case 4: // a bar
        strokeSegment(m, {5.0f, 8.0f}, {11.0f, 8.0f}, 1.0f);
        return m;
    case 5: // a cross
        strokeSegment(m, {8.0f, 5.0f}, {8.0f, 11.0f}, 1.0f);
        strokeSegment(m, {5.0f, 8.0f}, {11.0f, 8.0f}, 1.0f);
        return m;
    case 6: // a chevron
        strokePolyline(m, {{5.0f, 10.0f}, {8.0f, 6.5f}, {11.0f, 10.0f}}, 1.0f);
        return m;
    default:
        return m;
    }
}

Image ordinaryTile(int tile) {
    Image t = plainTile(palette::kBlocks[tile]);
    engrave(t, tileMark(tile), 0.45f);
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

// Ice that has thawed: the pale block, shattered from one point by cracks of a deeper blue.
Image thawedTile() {
    const Rgb base = rgb8(176, 196, 220);
    Image t = plainTile(base);
    const Vec2 hit{6.5f, 7.0f};
    Mask crack(16, 16);
    const std::vector<std::vector<Vec2>> arms = {
        {hit, {4.5f, 5.5f}, {3.6f, 2.8f}},
        {hit, {9.0f, 5.8f}, {10.0f, 3.4f}, {12.6f, 2.8f}},
        {hit, {9.6f, 8.4f}, {11.2f, 8.0f}, {13.2f, 9.6f}},
        {hit, {7.4f, 10.0f}, {6.6f, 13.2f}},
        {hit, {4.2f, 8.6f}, {2.8f, 11.4f}},
    };
    for (const auto& arm : arms)
        strokePolyline(crack, arm, 0.9f);
    // Finer splinters off the longer arms.
    strokePolyline(crack, {{10.0f, 3.4f}, {11.0f, 5.6f}}, 0.6f);
    strokePolyline(crack, {{11.2f, 8.0f}, {11.8f, 11.8f}}, 0.6f);
    strokePolyline(crack, {{7.4f, 10.0f}, {9.4f, 11.6f}}, 0.6f);
    t.paint(crack.shifted(1, 1).minus(crack), 0, 0, rgb8(240, 248, 255), 0.7f);
    t.paint(crack, 0, 0, rgb8(44, 96, 200), 0.95f);
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

// Earth: rounded stones set in dark soil, each lit from the top left.
Image earthTile() {
    const Rgb base = rgb8(128, 84, 44);
    Image t(16, 16);
    drawBlockLook(t, 0, 0, 16, base, BlockLook{});
    const Mask soil = shapeMask(16, 16, [](Vec2 p) {
        return sdRoundBox(p, {8.0f, 8.0f}, {5.0f, 5.0f}, 1.0f);
    });
    t.paint(soil, 0, 0, rgb8(64, 40, 22));
    struct Stone {
        Vec2 centre;
        float radius;
        Rgb tone;
    };
    const Stone stones[] = {
        {{6.0f, 6.2f}, 2.6f, rgb8(176, 138, 98)},
        {{10.8f, 5.4f}, 1.9f, rgb8(150, 116, 82)},
        {{10.0f, 10.2f}, 2.6f, rgb8(164, 126, 88)},
        {{5.2f, 10.9f}, 1.7f, rgb8(140, 104, 72)},
    };
    for (const Stone& s : stones) {
        const Mask m =
            shapeMask(16, 16, [&](Vec2 p) { return sdCircle(p, s.centre, s.radius); }).times(soil);
        const Mask lit = bevelLight(m, 0.8f);
        t.paint(m, 0, 0, [&](int x, int y) {
            const float l = lit.at(x, y);
            return l > 0 ? lighter(s.tone, l * 0.55f) : darker(s.tone, -l * 0.55f);
        });
    }
    // Grit between the stones.
    const Vec2 grit[] = {{8.5f, 8.0f}, {3.6f, 8.4f}, {12.4f, 8.0f}, {8.0f, 3.6f}, {7.6f, 12.4f}};
    for (const Vec2& g : grit)
        t.set(static_cast<int>(g.x), static_cast<int>(g.y), rgb8(120, 90, 60));
    return t;
}

} // namespace

void drawBlock(Image& img, int x, int y, int size, Rgb base) {
    drawBlockLook(img, x, y, size, base, BlockLook{});
}

static Image blockStrip() {
    Image strip(224, 16, rgb8(20, 20, 30));
    for (int t = 0; t < 7; ++t)
        strip.blit(t == 3 ? icyTile() : ordinaryTile(t), t * 16, 0);
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
