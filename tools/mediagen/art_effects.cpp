// Effect overlays: the flame frames and the lightning bolt.
#include "art.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "rng.h"

namespace {

// ---- fire -----------------------------------------------------------------------------------

constexpr int kFrameW = 16;
constexpr int kFrameH = 24;

struct Tongue {
    float x;      // base centre
    float height; // pixels
    float width;  // half width at the base
    float sway;   // sideways bend of the tip
    float phase;  // where the lick of the flame wobbles
};

// How deep inside a tongue the point lies: 1 on its spine, 0 on its edge, negative outside.
float tongueDepth(const Tongue& t, float x, float y) {
    const float v = (kFrameH - y) / t.height; // 0 at the bottom, 1 at the tip
    if (v < 0.0f || v > 1.0f) return -1.0f;
    // Rounded belly near the bottom, tapering to a point.
    const float belly = 0.55f + 0.45f * std::sin(3.14159265f * std::min(1.0f, 0.5f + v * 1.6f));
    const float lick = 1.0f + 0.16f * std::sin(v * 8.0f + t.phase) * v;
    const float hw = t.width * std::pow(1.0f - v, 0.75f) * belly * lick;
    if (hw <= 0.01f) return -1.0f;
    const float spine = t.x + t.sway * v * v + 0.5f * std::sin(v * 5.0f + t.phase) * v;
    return 1.0f - std::fabs(x - spine) / hw;
}

Rgb flameColour(float heat) {
    const Rgb stops[] = {rgb8(170, 26, 8), rgb8(246, 92, 16), rgb8(255, 170, 36),
                         rgb8(255, 226, 96), rgb8(255, 252, 214)};
    const float t = clamp01(heat) * 4.0f;
    const int i = std::min(3, static_cast<int>(t));
    return mix(stops[i], stops[i + 1], t - i);
}

Image flameFrame(int frame) {
    const float h[] = {11.0f, 15.5f, 19.5f, 23.5f};
    const float w[] = {5.4f, 6.0f, 6.6f, 7.0f};
    const float sway[] = {0.8f, -1.4f, 1.6f, -1.2f};
    const std::vector<Tongue> tongues = {
        {8.0f, h[frame], w[frame], sway[frame], 1.3f * frame},
        {4.8f, h[frame] * 0.6f, w[frame] * 0.55f, -0.8f - 0.2f * frame, 2.0f + frame},
        {11.4f, h[frame] * (0.5f + 0.05f * frame), w[frame] * 0.55f, 0.6f + 0.2f * frame,
         4.0f - frame},
    };
    Image img(kFrameW, kFrameH);
    const int ss = 4;
    for (int y = 0; y < kFrameH; ++y)
        for (int x = 0; x < kFrameW; ++x) {
            float cover = 0.0f;
            float heat = 0.0f;
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    const float px = x + (sx + 0.5f) / ss;
                    const float py = y + (sy + 0.5f) / ss;
                    float depth = -1.0f;
                    for (const Tongue& t : tongues)
                        depth = std::max(depth, tongueDepth(t, px, py));
                    if (depth <= 0.0f) continue;
                    cover += 1.0f;
                    const float v = (kFrameH - py) / h[frame];
                    heat += std::pow(depth, 0.8f) * (1.05f - 0.5f * v);
                }
            if (cover <= 0.0f) continue;
            img.set(x, y, flameColour(heat / cover), cover / (ss * ss));
        }
    // A dark ember rim keeps the flame readable over bright blocks.
    Mask body(kFrameW, kFrameH);
    for (int y = 0; y < kFrameH; ++y)
        for (int x = 0; x < kFrameW; ++x)
            body.set(x, y, img.alpha(x, y) >= 0.5f ? 1.0f : 0.0f);
    Image out(kFrameW, kFrameH);
    out.paint(body.dilated(1.0f), 0, 0, rgb8(110, 18, 6));
    out.blit(img, 0, 0);
    return out;
}

Image fireStrip() {
    Image strip(4 * kFrameW, kFrameH);
    for (int f = 0; f < 4; ++f)
        strip.blit(flameFrame(f), f * kFrameW, 0);
    return strip;
}

// ---- lightning ------------------------------------------------------------------------------

using Path = std::vector<Vec2>;

// Jagged path by midpoint displacement.
void jag(Path& out, Vec2 a, Vec2 b, float spread, int depth, Rng& rng) {
    if (depth == 0) {
        out.push_back(b);
        return;
    }
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float len = std::hypot(dx, dy);
    const float off = rng.signedUnit() * spread * len;
    const Vec2 mid{(a.x + b.x) * 0.5f - dy / len * off, (a.y + b.y) * 0.5f + dx / len * off};
    jag(out, a, mid, spread, depth - 1, rng);
    jag(out, mid, b, spread, depth - 1, rng);
}

Path bolt(Vec2 a, Vec2 b, float spread, int depth, Rng& rng) {
    Path p{a};
    jag(p, a, b, spread, depth, rng);
    return p;
}

Image lightning() {
    constexpr int kSize = 320;
    Rng rng(0x5eedb017);
    Mask core(kSize, kSize);
    Mask thin(kSize, kSize);
    const Path main = bolt({132, -4}, {96, 324}, 0.2f, 5, rng);
    strokePolyline(core, main, 3.0f);
    // Branches fork off the main path and fade out downward.
    const int forks[] = {5, 10, 14, 19, 25};
    for (size_t i = 0; i < std::size(forks); ++i) {
        const Vec2 from = main[static_cast<size_t>(forks[i])];
        const float dir = (i % 2 == 0) ? 1.0f : -1.0f;
        const Vec2 to{std::clamp(from.x + dir * rng.range(40.0f, 80.0f), 6.0f, 218.0f),
                      from.y + rng.range(50.0f, 90.0f)};
        const Path branch = bolt(from, to, 0.25f, 4, rng);
        strokePolyline(thin, branch, 1.6f);
        const Vec2 mid = branch[branch.size() / 2];
        const Vec2 twigEnd{mid.x + dir * rng.range(10.0f, 24.0f), mid.y + rng.range(16.0f, 30.0f)};
        strokePolyline(thin, bolt(mid, twigEnd, 0.3f, 3, rng), 1.1f);
    }
    Mask all = core;
    all.unite(thin);

    // The picture is colour-keyed, so a soft glow would turn into an opaque band over the blocks:
    // the strokes get a one-pixel rim of violet light instead.
    Mask solid(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            solid.set(x, y, all.at(x, y) >= 0.5f ? 1.0f : 0.0f);
    Image img(kSize, kSize);
    img.paint(solid.dilated(1.0f), 0, 0, rgb8(128, 112, 255));
    img.paint(solid, 0, 0, [&](int x, int y) {
        return mix(rgb8(196, 204, 255), rgb8(255, 255, 255), core.at(x, y));
    });
    return img;
}

} // namespace

void addEffectArt(Pictures& out) {
    out.emplace_back("fire-320.bmp", toKeyedBitmap(fireStrip(), rgb8(96, 16, 6)));
    out.emplace_back("lightning_01-320.bmp", toKeyedBitmap(lightning(), rgb8(128, 112, 255)));
}
