// Drawing shared by several pictures: the backdrop and bold arcade lettering.
#include "art.h"

#include <cmath>

Rgb backdrop(int x, int y, int w, int h) {
    const float t = static_cast<float>(y) / (h - 1);
    const Rgb c = mix(rgb8(14, 16, 40), rgb8(30, 22, 62), t);
    // Soft vignette toward the corners.
    const float dx = (x + 0.5f) / w - 0.5f;
    const float dy = (y + 0.5f) / h - 0.45f;
    const float v = 1.0f - 0.5f * smoothstep(0.18f, 0.75f, std::sqrt(dx * dx + dy * dy));
    return c * v;
}

TextLine arcadeLine(TextRenderer& text, const std::string& s, const TextStyle& st) {
    return text.render(s, st, 16);
}

int fitTextHeight(TextRenderer& text, const std::string& s, TextStyle st, int maxWidth) {
    for (; st.pixelHeight > 6; --st.pixelHeight) {
        if (text.render(s, st, 2).mask.inkBox(0.3f).width() <= maxWidth) break;
    }
    return st.pixelHeight;
}

void paintArcadeText(Image& img, const Mask& m, int ox, int oy, const Shader& fill,
                     const ArcadeStyle& st) {
    const Mask outline = m.dilated(st.outlineWidth);
    if (st.glowSigma > 0.0f) {
        const Mask halo = outline.blurred(st.glowSigma);
        if (st.keyed)
            img.paint(halo, ox, oy, st.glow, st.glowStrength);
        else
            img.glow(halo, ox, oy, st.glow, st.glowStrength);
    }
    if (st.shadowOpacity > 0.0f)
        img.paint(outline.shifted(st.shadowDx, st.shadowDy), ox, oy, st.shadow, st.shadowOpacity);
    img.paint(outline, ox, oy, st.outline);

    const Mask light = bevelLight(m, st.bevelSigma);
    const Box ink = m.inkBox(0.3f);
    const float glossY = ink.y0 + ink.height() * st.glossLine;
    img.paint(m, ox, oy, [&](int x, int y) {
        Rgb c = fill(x, y);
        const float l = light.at(x - ox, y - oy) * st.bevelStrength;
        c = l > 0.0f ? lighter(c, l) : darker(c, -l);
        const float above = clamp01(glossY - (y - oy) + 0.5f);
        return lighter(c, st.gloss * above);
    });
}
