// Buttons, check boxes and the PAUSED / GAME OVER banners.
#include "art.h"

#include <cmath>
#include <string>

namespace {

constexpr int kButtonH = 24;

struct ButtonLook {
    Rgb top;
    Rgb bottom;
    Rgb border;
    Rgb caption = rgb8(255, 255, 255);
    Rgb captionShadow = rgb8(8, 8, 20);
};

const ButtonLook kMenuLook{rgb8(84, 128, 236), rgb8(30, 40, 128), rgb8(150, 196, 255)};
const ButtonLook kOkLook{rgb8(80, 200, 104), rgb8(22, 100, 46), rgb8(160, 240, 170)};
const ButtonLook kCancelLook{rgb8(206, 76, 86), rgb8(104, 20, 36), rgb8(250, 160, 160)};
const ButtonLook kKingLook{rgb8(255, 226, 110), rgb8(196, 120, 16), rgb8(255, 246, 196),
                           rgb8(70, 34, 4), rgb8(255, 236, 170)};

// The screen behind a button, so its rounded corners blend in.
Image buttonBase(int w, int screenX, int screenY) {
    Image img(w, kButtonH, rgb8(0, 0, 0));
    img.fill([&](int x, int y) { return backdrop(screenX + x, screenY + y, 320, 320); });
    return img;
}

void drawButtonBody(Image& img, const ButtonLook& look) {
    const int w = img.width();
    const Vec2 c{w * 0.5f, kButtonH * 0.5f};
    const Mask outer = shapeMask(w, kButtonH, [&](Vec2 p) {
        return sdRoundBox(p, c, {w * 0.5f, kButtonH * 0.5f}, 8.0f);
    });
    const Mask rim = shapeMask(w, kButtonH, [&](Vec2 p) {
        return sdRoundBox(p, c, {w * 0.5f - 1, kButtonH * 0.5f - 1}, 7.0f);
    });
    const Mask body = shapeMask(w, kButtonH, [&](Vec2 p) {
        return sdRoundBox(p, c, {w * 0.5f - 2, kButtonH * 0.5f - 2}, 6.0f);
    });
    img.paint(outer, 0, 0, rgb8(8, 8, 20));
    img.paint(rim, 0, 0, [&](int, int y) {
        return mix(look.border, darker(look.bottom, 0.3f), clamp01(y / (kButtonH - 1.0f)));
    });
    img.paint(body, 0, 0, [&](int x, int y) {
        const float t = (y - 2) / (kButtonH - 5.0f);
        Rgb col = mix(look.top, look.bottom, clamp01(t));
        // Glass: the upper half catches the light, with a crisp edge at the middle.
        if (y < kButtonH / 2) col = lighter(col, 0.22f - 0.02f * y);
        // A little light pooling at the bottom centre.
        const float dx = (x - w * 0.5f) / (w * 0.5f);
        const float pool = std::exp(-dx * dx * 3.0f) * smoothstep(12.0f, 22.0f, y);
        return lighter(col, 0.18f * pool);
    });
}

void drawCaption(Image& img, TextRenderer& text, const std::string& caption, const ButtonLook& look,
                 int centreX) {
    TextStyle st;
    st.face = "DejaVuSans-Bold.ttf";
    st.pixelHeight = 13;
    st.hinting = Hinting::Full;
    st.tracking = 0.5f;
    const TextLine line = text.render(caption, st, 4);
    int ox = 0;
    int oy = 0;
    const Box ink = line.mask.inkBox(0.3f);
    ox = centreX - (ink.x0 + ink.x1) / 2;
    // Capitals centred: keep the baseline fixed whatever the descenders do.
    oy = kButtonH / 2 + 5 - line.baseline;
    img.paint(line.mask, ox + 1, oy + 1, look.captionShadow, 0.9f);
    img.paint(line.mask, ox, oy, look.caption);
}

Image menuButton(TextRenderer& text, const std::string& caption, int screenY) {
    Image img = buttonBase(160, 80, screenY);
    drawButtonBody(img, kMenuLook);
    drawCaption(img, text, caption, kMenuLook, 80);
    return img;
}

Image dialogButton(TextRenderer& text, const std::string& caption, const ButtonLook& look) {
    Image img = buttonBase(100, 110, 280);
    drawButtonBody(img, look);
    drawCaption(img, text, caption, look, 50);
    return img;
}

void drawCrown(Image& img, float x0, float y0) {
    const int w = img.width();
    const int h = img.height();
    const std::vector<Vec2> crown = {
        {x0, y0 + 3},      {x0 + 4.5f, y0 + 8},   {x0 + 8, y0 + 1.5f},  {x0 + 11.5f, y0 + 8},
        {x0 + 16, y0 + 3}, {x0 + 14.5f, y0 + 15}, {x0 + 1.5f, y0 + 15},
    };
    Mask m = polygonMask(w, h, crown);
    for (const Vec2 tip : {Vec2{x0, y0 + 2.5f}, Vec2{x0 + 8, y0 + 1}, Vec2{x0 + 16, y0 + 2.5f}})
        m.unite(shapeMask(w, h, [&](Vec2 p) { return sdCircle(p, tip, 1.4f); }));
    img.paint(m.dilated(1.0f), 0, 0, rgb8(70, 34, 4));
    img.paint(m, 0, 0, [&](int x, int y) {
        if (y >= y0 + 11) return rgb8(236, 150, 20); // the band
        const float t = clamp01((y - y0) / 11.0f);
        const Rgb c = mix(rgb8(255, 250, 210), rgb8(255, 196, 40), t);
        return x < x0 + 8 ? lighter(c, 0.15f) : c;
    });
    for (const float jx : {x0 + 4.0f, x0 + 8.0f, x0 + 12.0f}) {
        const Mask gem = shapeMask(w, h, [&](Vec2 p) { return sdCircle(p, {jx, y0 + 13}, 1.3f); });
        img.paint(gem, 0, 0, jx == x0 + 8.0f ? rgb8(40, 120, 230) : rgb8(220, 30, 50));
    }
}

Image kingButton(TextRenderer& text) {
    Image img = buttonBase(150, 85, 280);
    drawButtonBody(img, kKingLook);
    drawCrown(img, 20.0f, 3.0f);
    drawCaption(img, text, "New Best!", kKingLook, 84);
    return img;
}

Image checkbox(bool ticked) {
    Image img(16, 16, rgb8(0, 0, 0));
    img.fill([](int x, int y) { return backdrop(200 + x, 150 + y, 320, 320); });
    const Mask outer = shapeMask(16, 16, [](Vec2 p) {
        return sdRoundBox(p, {8, 8}, {7, 7}, 3.0f);
    });
    const Mask inner = shapeMask(16, 16, [](Vec2 p) {
        return sdRoundBox(p, {8, 8}, {5, 5}, 2.0f);
    });
    img.paint(outer, 0, 0, [](int x, int y) {
        return mix(rgb8(170, 200, 255), rgb8(60, 80, 160), clamp01((x + y) / 28.0f));
    });
    img.paint(inner, 0, 0, [](int, int y) {
        return mix(rgb8(4, 6, 14), rgb8(22, 26, 52), clamp01((y - 3) / 10.0f));
    });
    if (ticked) {
        Mask tick(16, 16);
        strokePolyline(tick, {{3.6f, 8.0f}, {6.6f, 11.2f}, {12.8f, 3.6f}}, 2.4f);
        img.paint(tick.dilated(1.0f), 0, 0, rgb8(6, 20, 10), 0.9f);
        img.paint(tick, 0, 0, [](int, int y) {
            return mix(rgb8(190, 255, 170), rgb8(60, 210, 80), clamp01((y - 3) / 9.0f));
        });
    }
    return img;
}

Image banner(TextRenderer& text, const std::string& word, Rgb border, Rgb fillTop, Rgb fillBottom) {
    Image img(192, 48);
    const Vec2 c{96, 24};
    const Mask outer = shapeMask(192, 48, [&](Vec2 p) {
        return sdRoundBox(p, c, {95, 22}, 11.0f);
    });
    const Mask rim = shapeMask(192, 48, [&](Vec2 p) { return sdRoundBox(p, c, {94, 21}, 10.0f); });
    const Mask plate = shapeMask(192, 48, [&](Vec2 p) { return sdRoundBox(p, c, {91, 18}, 8.0f); });
    img.paint(outer, 0, 0, palette::kInk);
    img.paint(rim, 0, 0, [&](int, int y) { return mix(lighter(border, 0.5f), border, y / 47.0f); });
    img.paint(plate, 0, 0, [](int, int y) {
        Rgb col = mix(rgb8(34, 34, 86), rgb8(10, 10, 32), clamp01((y - 6) / 36.0f));
        return y < 22 ? lighter(col, 0.08f) : col;
    });

    TextStyle st;
    st.face = "DejaVuSans-Bold.ttf";
    st.tracking = 2.0f;
    st.hinting = Hinting::Light;
    st.pixelHeight = 28;
    st.pixelHeight = fitTextHeight(text, word, st, 160);
    const TextLine line = text.render(word, st, 8);
    int ox = 0;
    int oy = 0;
    centredInk(line, 96, 24, ox, oy);
    const Box ink = line.mask.inkBox(0.3f);
    const int top = oy + ink.y0;
    const float h = static_cast<float>(ink.height());
    ArcadeStyle style;
    style.outlineWidth = 1.6f;
    style.bevelSigma = 1.0f;
    style.bevelStrength = 0.4f;
    style.gloss = 0.12f;
    style.shadowDx = 2;
    style.shadowDy = 2;
    paintArcadeText(
        img, line.mask, ox, oy,
        [&](int, int y) { return mix(fillTop, fillBottom, clamp01((y - top) / h)); }, style);
    return img;
}

} // namespace

void addInterfaceArt(Pictures& out, TextRenderer& text) {
    const struct {
        const char* file;
        const char* caption;
        int y;
    } menu[] = {
        {"button-start_game-320.bmp", "Start Game", 140},
        {"button-options-320.bmp", "Options", 176},
        {"button-high_scores-320.bmp", "High Scores", 206},
        {"button-about-320.bmp", "About", 236},
    };
    for (const auto& b : menu)
        out.emplace_back(b.file, toBitmap(menuButton(text, b.caption, b.y)));
    out.emplace_back("button-ok-320.bmp", toBitmap(dialogButton(text, "OK", kOkLook)));
    out.emplace_back("button-cancel-320.bmp", toBitmap(dialogButton(text, "Cancel", kCancelLook)));
    out.emplace_back("button-king-320.bmp", toBitmap(kingButton(text)));
    out.emplace_back("checkbox0-320.bmp", toBitmap(checkbox(false)));
    out.emplace_back("checkbox1-320.bmp", toBitmap(checkbox(true)));
    out.emplace_back("paused-320.bmp",
                     toKeyedBitmap(banner(text, "PAUSED", rgb8(70, 190, 255), rgb8(255, 255, 255),
                                          rgb8(120, 210, 255)),
                                   palette::kInk));
    out.emplace_back("game_over-320.bmp",
                     toKeyedBitmap(banner(text, "GAME OVER", rgb8(240, 60, 60), rgb8(255, 240, 120),
                                          rgb8(250, 90, 40)),
                                   palette::kInk));
}
