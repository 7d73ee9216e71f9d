// Full-screen pictures: the title, the plain backdrop, the white flash and the text strip.
#include "art.h"

#include <cmath>
#include <vector>

namespace {

constexpr int kScreen = 320;

// A faint 16-pixel grid, like the well seen through smoked glass.
float gridLine(int x, int y) {
    const int gx = x % 16;
    const int gy = y % 16;
    if (gx == 0 || gy == 0) return 1.0f;
    if (gx == 15 || gy == 15) return -0.6f;
    return 0.0f;
}

Image calmBackground(float gridStrength) {
    Image img(kScreen, kScreen, rgb8(0, 0, 0));
    img.fill([&](int x, int y) {
        Rgb c = backdrop(x, y, kScreen, kScreen);
        const float g = gridLine(x, y) * gridStrength;
        return g > 0 ? lighter(c, g) : darker(c, -g);
    });
    return img;
}

// Ghostly resting pieces, very dim: a hint of the game behind the menus.
void dimStack(Image& img, int x0, int yBottom, const std::vector<int>& heights, float strength) {
    for (size_t col = 0; col < heights.size(); ++col)
        for (int row = 0; row < heights[col]; ++row) {
            const int x = x0 + static_cast<int>(col) * 16;
            const int y = yBottom - (row + 1) * 16;
            Image block(16, 16, rgb8(0, 0, 0));
            drawBlock(block, 0, 0, 16, palette::kBlocks[(col * 3 + row * 5) % 7]);
            const float fade = strength * (0.55f + 0.45f * col / heights.size());
            for (int j = 0; j < 16; ++j)
                for (int i = 0; i < 16; ++i)
                    img.set(x + i, y + j, mix(img.colour(x + i, y + j), block.colour(i, j), fade));
        }
}

Image defaultBackground() {
    Image img = calmBackground(0.035f);
    dimStack(img, 224, kScreen, {1, 2, 1, 3, 2, 4}, 0.10f);
    return img;
}

// ---- title ----------------------------------------------------------------------------------

struct Letter {
    TextLine line;
    Box ink;
    Rgb colour;
};

void drawTitleWord(Image& img, TextRenderer& text) {
    const std::string word = "VEXTILE";
    const int tiles[] = {4, 2, 0, 5, 3, 1, 6};
    const int gap = 4;
    TextStyle st;
    st.face = "DejaVuSans-Bold.ttf";
    st.hinting = Hinting::Light;
    std::vector<Letter> letters;
    for (st.pixelHeight = 90; st.pixelHeight > 20; st.pixelHeight -= 2) {
        st.pixelWidth = st.pixelHeight * 4 / 5; // a little condensed, so the name stands tall
        letters.clear();
        int width = 0;
        for (size_t i = 0; i < word.size(); ++i) {
            Letter l;
            l.line = text.render(std::string(1, word[i]), st, 16);
            l.ink = l.line.mask.inkBox(0.3f);
            l.colour = palette::kBlocks[tiles[i]];
            width += l.ink.width() + (i ? gap : 0);
            letters.push_back(std::move(l));
        }
        if (width <= 284) break;
    }
    int total = -gap;
    for (const Letter& l : letters)
        total += l.ink.width() + gap;

    ArcadeStyle style;
    style.outlineWidth = 3.0f;
    style.bevelSigma = 2.2f;
    style.bevelStrength = 0.5f;
    style.gloss = 0.16f;
    style.shadowDx = 3;
    style.shadowDy = 4;
    style.glow = rgb8(90, 120, 255);
    style.glowSigma = 6.0f;
    style.glowStrength = 0.35f;

    int x = kScreen / 2 - total / 2;
    const int capTop = 22;
    for (const Letter& l : letters) {
        const int ox = x - l.ink.x0;
        const int oy = capTop - l.ink.y0;
        const float h = static_cast<float>(l.ink.height());
        const Rgb base = l.colour;
        paintArcadeText(
            img, l.line.mask, ox, oy,
            [&](int, int y) {
                const float t = clamp01((y - capTop) / h);
                return mix(lighter(base, 0.08f), darker(base, 0.38f), t);
            },
            style);
        x += l.ink.width() + gap;
    }
}

// A row of small blocks under the name, bright in the middle and fading out to the sides.
void drawBlockRule(Image& img, int y) {
    const int size = 10;
    const int count = 25;
    const int x0 = kScreen / 2 - count * size / 2;
    for (int i = 0; i < count; ++i) {
        const float d = std::fabs(i - (count - 1) / 2.0f) / ((count - 1) / 2.0f);
        const float k = 1.0f - smoothstep(0.35f, 1.0f, d);
        Image block(size, size, rgb8(0, 0, 0));
        drawBlock(block, 0, 0, size, palette::kBlocks[(i * 4) % 7]);
        for (int j = 0; j < size; ++j)
            for (int u = 0; u < size; ++u) {
                const int px = x0 + i * size + u;
                img.set(px, y + j, mix(img.colour(px, y + j), block.colour(u, j), k * 0.95f));
            }
    }
}

Image titleScreen(TextRenderer& text) {
    Image img = calmBackground(0.03f);
    // A soft light behind the name.
    Mask light(kScreen, kScreen);
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < kScreen; ++x) {
            const float dx = (x - 160.0f) / 170.0f;
            const float dy = (y - 58.0f) / 60.0f;
            light.set(x, y, std::exp(-(dx * dx + dy * dy) * 1.6f));
        }
    img.glow(light, 0, 0, rgb8(54, 46, 130), 0.55f);
    drawTitleWord(img, text);
    drawBlockRule(img, 100);
    dimStack(img, 192, kScreen, {1, 2, 2, 1, 3, 2, 4, 3}, 0.16f);
    return img;
}

Image whiteFlash() {
    return Image(kScreen, kScreen, rgb8(255, 255, 255));
}

Image textStrip() {
    Image img(kScreen, 16, rgb8(10, 12, 24));
    for (int x = 0; x < kScreen; ++x) {
        img.set(x, 0, rgb8(72, 84, 150));
        img.set(x, 1, rgb8(24, 28, 54));
    }
    return img;
}

} // namespace

void addScreenArt(Pictures& out, TextRenderer& text) {
    out.emplace_back("defaultbg-320.bmp", toBitmap(defaultBackground()));
    out.emplace_back("vextile_title-320.bmp", toBitmap(titleScreen(text)));
    out.emplace_back("blankwhite-320.bmp", toBitmap(whiteFlash()));
    out.emplace_back("text_background-320.bmp", toBitmap(textStrip()));
}
