// The pictures of the game: shared palette, shared drawing helpers and one entry per group.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "image.h"
#include "text.h"

using Pictures = std::vector<std::pair<std::string, Bitmap>>;

namespace palette {
// Block colours by tile index 0..6: yellow, blue, orange, cyan, red, green, purple.
extern const Rgb kBlocks[7];
const Rgb kInk = rgb8(8, 8, 12);        // dark outline that must stay visible
const Rgb kDeep = rgb8(10, 12, 28);     // darkest backdrop
const Rgb kIndigo = rgb8(26, 24, 64);   // lighter backdrop
const Rgb kAccent = rgb8(96, 200, 255); // cool highlight used for lines and glows
const Rgb kGold = rgb8(255, 200, 64);
const Rgb kWhite = rgb8(255, 255, 255);
const Rgb kPanel = rgb8(30, 32, 52); // sidebar metal
} // namespace palette

// A bevelled block lit from the top left, size x size pixels, opaque.
void drawBlock(Image& img, int x, int y, int size, Rgb base);
// The dark backdrop gradient shared by the screens.
Rgb backdrop(int x, int y, int w, int h);

// Bold arcade lettering: drop shadow, dark outline, bevelled fill with a glossy upper half.
struct ArcadeStyle {
    Rgb outline = palette::kInk;
    float outlineWidth = 2.0f;
    float bevelSigma = 1.5f;
    float bevelStrength = 0.5f;
    float gloss = 0.22f;     // extra light above the gloss line
    float glossLine = 0.48f; // fraction of the ink height
    Rgb shadow = rgb8(4, 4, 12);
    int shadowDx = 2;
    int shadowDy = 2;
    float shadowOpacity = 0.75f;
    Rgb glow = palette::kAccent;
    float glowSigma = 0.0f; // 0: no glow
    float glowStrength = 0.0f;
    bool keyed = false; // glow must raise alpha on a transparent canvas
};
void paintArcadeText(Image& img, const Mask& m, int ox, int oy, const Shader& fill,
                     const ArcadeStyle& style);
// A text line rendered with the style; returns the mask (padded enough for outline and glow).
TextLine arcadeLine(TextRenderer& text, const std::string& s, const TextStyle& st);
// Largest pixel height (down from start) whose ink fits maxWidth.
int fitTextHeight(TextRenderer& text, const std::string& s, TextStyle st, int maxWidth);

// Groups of pictures.
void addBlockArt(Pictures& out);
void addScreenArt(Pictures& out, TextRenderer& text);
void addSidebarArt(Pictures& out, TextRenderer& text);
void addInterfaceArt(Pictures& out, TextRenderer& text);
void addEffectArt(Pictures& out);
void addLogoArt(Pictures& out, TextRenderer& text);

// The font picture and its self-check.
struct FontReport {
    int runs = 0;
    int widest = 0;
    int digit = 0;
    int space = 0;
    std::vector<int> widths;
};
Bitmap makeFont(TextRenderer& text);
FontReport checkFont(const Bitmap& bmp);
