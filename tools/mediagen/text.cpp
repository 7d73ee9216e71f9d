#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <stdexcept>
#include <vector>

struct TextRenderer::Impl {
    std::string dir;
    FT_Library lib = nullptr;
    std::map<std::string, FT_Face> faces;

    FT_Face face(const std::string& name) {
        const auto it = faces.find(name);
        if (it != faces.end()) return it->second;
        FT_Face f = nullptr;
        const std::string path = dir + "/" + name;
        if (FT_New_Face(lib, path.c_str(), 0, &f) != 0)
            throw std::runtime_error("cannot load font " + path);
        faces[name] = f;
        return f;
    }

    FT_Face sized(const TextStyle& st) {
        FT_Face f = face(st.face);
        const int w = st.pixelWidth > 0 ? st.pixelWidth : st.pixelHeight;
        if (FT_Set_Pixel_Sizes(f, static_cast<FT_UInt>(w), static_cast<FT_UInt>(st.pixelHeight)))
            throw std::runtime_error("cannot size font " + st.face);
        return f;
    }
};

static FT_Int32 loadFlags(Hinting h) {
    switch (h) {
    case Hinting::Light:
        return FT_LOAD_TARGET_LIGHT;
    case Hinting::Mono:
        return FT_LOAD_TARGET_MONO;
    case Hinting::Full:
        break;
    }
    return FT_LOAD_TARGET_NORMAL;
}

static Mask coverage(const FT_Bitmap& bm) {
    Mask m(static_cast<int>(bm.width), static_cast<int>(bm.rows));
    for (int y = 0; y < static_cast<int>(bm.rows); ++y) {
        const unsigned char* row = bm.buffer + static_cast<long>(y) * bm.pitch;
        for (int x = 0; x < static_cast<int>(bm.width); ++x) {
            float v = 0.0f;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                v = (row[x >> 3] & (0x80 >> (x & 7))) ? 1.0f : 0.0f;
            else
                v = row[x] / 255.0f;
            m.set(x, y, v);
        }
    }
    return m;
}

static GlyphImage loadGlyph(FT_Face f, char32_t ch, Hinting h) {
    const FT_UInt index = FT_Get_Char_Index(f, ch);
    if (FT_Load_Glyph(f, index, loadFlags(h)) != 0) throw std::runtime_error("cannot load a glyph");
    const FT_Render_Mode mode = h == Hinting::Mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;
    if (FT_Render_Glyph(f->glyph, mode) != 0) throw std::runtime_error("cannot render a glyph");
    GlyphImage g;
    g.mask = coverage(f->glyph->bitmap);
    g.left = f->glyph->bitmap_left;
    g.top = f->glyph->bitmap_top;
    g.advance = static_cast<int>(f->glyph->advance.x);
    return g;
}

TextRenderer::TextRenderer(std::string fontDir) : impl_(std::make_unique<Impl>()) {
    impl_->dir = std::move(fontDir);
    if (FT_Init_FreeType(&impl_->lib) != 0) throw std::runtime_error("cannot start FreeType");
}

TextRenderer::~TextRenderer() {
    for (auto& [name, f] : impl_->faces)
        FT_Done_Face(f);
    FT_Done_FreeType(impl_->lib);
}

GlyphImage TextRenderer::glyph(char32_t ch, const TextStyle& style) {
    GlyphImage g = loadGlyph(impl_->sized(style), ch, style.hinting);
    g.advance = static_cast<int>(std::lround(g.advance / 64.0));
    return g;
}

TextLine TextRenderer::render(const std::string& text, const TextStyle& style, int pad) {
    FT_Face f = impl_->sized(style);
    struct Placed {
        GlyphImage g;
        int x;
    };
    std::vector<Placed> placed;
    long pen = 0; // 26.6
    FT_UInt prev = 0;
    for (const char c : text) {
        const FT_UInt index = FT_Get_Char_Index(f, static_cast<unsigned char>(c));
        if (prev && index && FT_HAS_KERNING(f)) {
            FT_Vector k;
            FT_Get_Kerning(f, prev, index, FT_KERNING_DEFAULT, &k);
            pen += k.x;
        }
        GlyphImage g = loadGlyph(f, static_cast<unsigned char>(c), style.hinting);
        const int x = static_cast<int>(std::lround(pen / 64.0));
        pen += g.advance + static_cast<long>(std::lround(style.tracking * 64.0f));
        placed.push_back({std::move(g), x});
        prev = index;
    }
    const int ascent = static_cast<int>(std::ceil(f->size->metrics.ascender / 64.0));
    const int descent = static_cast<int>(std::ceil(-f->size->metrics.descender / 64.0));
    const int width = static_cast<int>(std::ceil(pen / 64.0)) + 2 * pad + 4;
    TextLine line;
    line.mask = Mask(width, ascent + descent + 2 * pad);
    line.baseline = pad + ascent;
    for (const Placed& p : placed)
        line.mask.unite(p.g.mask, pad + p.x + p.g.left, line.baseline - p.g.top);
    return line;
}

Box centredInk(const TextLine& line, int cx, int cy, int& ox, int& oy) {
    const Box ink = line.mask.inkBox(0.3f);
    ox = cx - (ink.x0 + ink.x1) / 2;
    oy = cy - (ink.y0 + ink.y1) / 2;
    return ink;
}
