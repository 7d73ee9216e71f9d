#include "image.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb operator*(Rgb c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}
Rgb mix(Rgb a, Rgb b, float t) {
    return a * (1.0f - t) + b * t;
}
Rgb lighter(Rgb c, float t) {
    return mix(c, {1.0f, 1.0f, 1.0f}, t);
}
Rgb darker(Rgb c, float t) {
    return c * (1.0f - t);
}
float luma(Rgb c) {
    return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
}

float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}
float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

// ---- Mask -----------------------------------------------------------------------------------

Mask::Mask(int w, int h, float fill) : w_(w), h_(h), v_(static_cast<size_t>(w) * h, fill) {}

float Mask::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0.0f;
    return v_[static_cast<size_t>(y) * w_ + x];
}

void Mask::set(int x, int y, float v) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    v_[static_cast<size_t>(y) * w_ + x] = v;
}

void Mask::maxAt(int x, int y, float v) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    float& dst = v_[static_cast<size_t>(y) * w_ + x];
    dst = std::max(dst, v);
}

static std::vector<float> gaussKernel(float sigma) {
    const int r = std::max(1, static_cast<int>(std::ceil(sigma * 3.0f)));
    std::vector<float> k(2 * r + 1);
    float sum = 0.0f;
    for (int i = -r; i <= r; ++i) {
        k[i + r] = std::exp(-(i * i) / (2.0f * sigma * sigma));
        sum += k[i + r];
    }
    for (float& v : k)
        v /= sum;
    return k;
}

Mask Mask::blurred(float sigma) const {
    if (sigma <= 0.0f) return *this;
    const std::vector<float> k = gaussKernel(sigma);
    const int r = static_cast<int>(k.size() / 2);
    Mask tmp(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float s = 0.0f;
            for (int i = -r; i <= r; ++i)
                s += at(x + i, y) * k[i + r];
            tmp.set(x, y, s);
        }
    Mask out(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float s = 0.0f;
            for (int i = -r; i <= r; ++i)
                s += tmp.at(x, y + i) * k[i + r];
            out.set(x, y, s);
        }
    return out;
}

Mask Mask::dilated(float radius) const {
    const int r = static_cast<int>(std::ceil(radius));
    std::vector<std::pair<int, int>> disc;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (dx * dx + dy * dy <= radius * radius + 0.01f) disc.emplace_back(dx, dy);
    Mask out(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float m = 0.0f;
            for (const auto& [dx, dy] : disc)
                m = std::max(m, at(x + dx, y + dy));
            out.set(x, y, m);
        }
    return out;
}

Mask Mask::shifted(int dx, int dy) const {
    Mask out(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            out.set(x, y, at(x - dx, y - dy));
    return out;
}

Mask Mask::minus(const Mask& other) const {
    Mask out(*this);
    for (size_t i = 0; i < out.v_.size() && i < other.v_.size(); ++i)
        out.v_[i] *= 1.0f - other.v_[i];
    return out;
}

Mask Mask::times(const Mask& other) const {
    Mask out(*this);
    for (size_t i = 0; i < out.v_.size() && i < other.v_.size(); ++i)
        out.v_[i] *= other.v_[i];
    return out;
}

Mask Mask::scaled(float k) const {
    Mask out(*this);
    for (float& v : out.v_)
        v *= k;
    return out;
}

void Mask::unite(const Mask& other, int ox, int oy) {
    for (int y = 0; y < other.h_; ++y)
        for (int x = 0; x < other.w_; ++x)
            maxAt(x + ox, y + oy, other.at(x, y));
}

Box Mask::inkBox(float threshold) const {
    Box b{w_, h_, 0, 0};
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            if (at(x, y) > threshold) {
                b.x0 = std::min(b.x0, x);
                b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x + 1);
                b.y1 = std::max(b.y1, y + 1);
            }
    return b;
}

// ---- shapes ---------------------------------------------------------------------------------

float sdRoundBox(Vec2 p, Vec2 centre, Vec2 half, float radius) {
    const float qx = std::fabs(p.x - centre.x) - (half.x - radius);
    const float qy = std::fabs(p.y - centre.y) - (half.y - radius);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float sdCircle(Vec2 p, Vec2 centre, float radius) {
    return std::hypot(p.x - centre.x, p.y - centre.y) - radius;
}

float sdSegment(Vec2 p, Vec2 a, Vec2 b) {
    const float bax = b.x - a.x;
    const float bay = b.y - a.y;
    const float len2 = bax * bax + bay * bay;
    float t = len2 > 0.0f ? ((p.x - a.x) * bax + (p.y - a.y) * bay) / len2 : 0.0f;
    t = clamp01(t);
    return std::hypot(p.x - (a.x + bax * t), p.y - (a.y + bay * t));
}

Mask shapeMask(int w, int h, const std::function<float(Vec2)>& sd) {
    Mask m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            m.set(x, y, clamp01(0.5f - sd({x + 0.5f, y + 0.5f})));
    return m;
}

static bool insidePolygon(const std::vector<Vec2>& pts, float x, float y) {
    bool in = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const Vec2 a = pts[i];
        const Vec2 b = pts[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

Mask polygonMask(int w, int h, const std::vector<Vec2>& pts, int supersample) {
    Mask m(w, h);
    if (pts.size() < 3) return m;
    float minx = pts[0].x, maxx = pts[0].x, miny = pts[0].y, maxy = pts[0].y;
    for (const Vec2& p : pts) {
        minx = std::min(minx, p.x);
        maxx = std::max(maxx, p.x);
        miny = std::min(miny, p.y);
        maxy = std::max(maxy, p.y);
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(minx)));
    const int x1 = std::min(w - 1, static_cast<int>(std::ceil(maxx)));
    const int y0 = std::max(0, static_cast<int>(std::floor(miny)));
    const int y1 = std::min(h - 1, static_cast<int>(std::ceil(maxy)));
    const float step = 1.0f / supersample;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < supersample; ++sy)
                for (int sx = 0; sx < supersample; ++sx)
                    if (insidePolygon(pts, x + (sx + 0.5f) * step, y + (sy + 0.5f) * step)) ++hits;
            m.set(x, y, static_cast<float>(hits) / (supersample * supersample));
        }
    return m;
}

void strokeSegment(Mask& m, Vec2 a, Vec2 b, float width) {
    const float r = width * 0.5f;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - r - 1)));
    const int x1 = std::min(m.width() - 1, static_cast<int>(std::ceil(std::max(a.x, b.x) + r + 1)));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - r - 1)));
    const int y1 =
        std::min(m.height() - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + r + 1)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = sdSegment({x + 0.5f, y + 0.5f}, a, b) - r;
            m.maxAt(x, y, clamp01(0.5f - d));
        }
}

void strokePolyline(Mask& m, const std::vector<Vec2>& pts, float width) {
    for (size_t i = 1; i < pts.size(); ++i)
        strokeSegment(m, pts[i - 1], pts[i], width);
}

Mask bevelLight(const Mask& m, float sigma) {
    const Mask h = m.blurred(sigma);
    Mask out(m.width(), m.height());
    const float lx = -0.7071f;
    const float ly = -0.7071f;
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x) {
            const float gx = (h.at(x + 1, y) - h.at(x - 1, y)) * 0.5f;
            const float gy = (h.at(x, y + 1) - h.at(x, y - 1)) * 0.5f;
            // The surface rises inward, so its normal leans against the gradient.
            const float k = sigma * 2.5f;
            const float d = (-gx * lx - gy * ly) * k;
            out.set(x, y, std::max(-1.0f, std::min(1.0f, d)));
        }
    return out;
}

// ---- Image ----------------------------------------------------------------------------------

Image::Image(int w, int h) : w_(w), h_(h), c_(static_cast<size_t>(w) * h), a_(c_.size(), 0.0f) {}

Image::Image(int w, int h, Rgb fill)
    : w_(w), h_(h), c_(static_cast<size_t>(w) * h, fill), a_(c_.size(), 1.0f) {}

Rgb Image::colour(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return {};
    return c_[static_cast<size_t>(y) * w_ + x];
}

float Image::alpha(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0.0f;
    return a_[static_cast<size_t>(y) * w_ + x];
}

void Image::set(int x, int y, Rgb c, float a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    const size_t i = static_cast<size_t>(y) * w_ + x;
    c_[i] = c;
    a_[i] = a;
}

void Image::blend(int x, int y, Rgb c, float a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0.0f) return;
    a = std::min(a, 1.0f);
    const size_t i = static_cast<size_t>(y) * w_ + x;
    const float da = a_[i];
    const float oa = a + da * (1.0f - a);
    if (oa <= 0.0f) return;
    c_[i] = (c * a + c_[i] * (da * (1.0f - a))) * (1.0f / oa);
    a_[i] = oa;
}

void Image::add(int x, int y, Rgb c, float k) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || k <= 0.0f) return;
    const size_t i = static_cast<size_t>(y) * w_ + x;
    c_[i] = c_[i] + c * k;
}

void Image::fill(const Shader& s) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            set(x, y, s(x, y));
}

void Image::paint(const Mask& m, int ox, int oy, Rgb c, float opacity) {
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            blend(x + ox, y + oy, c, m.at(x, y) * opacity);
}

void Image::paint(const Mask& m, int ox, int oy, const Shader& s, float opacity) {
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x) {
            const float a = m.at(x, y) * opacity;
            if (a > 0.0f) blend(x + ox, y + oy, s(x + ox, y + oy), a);
        }
}

void Image::glow(const Mask& m, int ox, int oy, Rgb c, float k) {
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            add(x + ox, y + oy, c, m.at(x, y) * k);
}

void Image::blit(const Image& src, int ox, int oy) {
    for (int y = 0; y < src.h_; ++y)
        for (int x = 0; x < src.w_; ++x)
            blend(x + ox, y + oy, src.colour(x, y), src.alpha(x, y));
}

Image Image::crop(int x, int y, int w, int h) const {
    Image out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            out.set(i, j, colour(x + i, y + j), alpha(x + i, y + j));
    return out;
}

// ---- output ---------------------------------------------------------------------------------

void Bitmap::put(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const size_t i = (static_cast<size_t>(y) * w + x) * 3;
    rgb[i] = r;
    rgb[i + 1] = g;
    rgb[i + 2] = b;
}

bool Bitmap::isBlack(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * w + x) * 3;
    return rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
}

static std::uint8_t quantise(float v) {
    return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0f));
}

static Bitmap emptyBitmap(int w, int h) {
    Bitmap bmp;
    bmp.w = w;
    bmp.h = h;
    bmp.rgb.assign(static_cast<size_t>(w) * h * 3, 0);
    return bmp;
}

Bitmap toBitmap(const Image& img, bool allowBlack) {
    Bitmap bmp = emptyBitmap(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const Rgb c = img.colour(x, y) * clamp01(img.alpha(x, y));
            bmp.put(x, y, quantise(c.r), quantise(c.g), quantise(c.b));
            if (!allowBlack && bmp.isBlack(x, y)) bmp.put(x, y, 4, 4, 8);
        }
    return bmp;
}

Bitmap toKeyedBitmap(const Image& img, Rgb edge, float cutoff) {
    Bitmap bmp = emptyBitmap(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const float a = clamp01(img.alpha(x, y));
            if (a < cutoff) continue;
            const Rgb c = mix(edge, img.colour(x, y), a);
            bmp.put(x, y, quantise(c.r), quantise(c.g), quantise(c.b));
            if (bmp.isBlack(x, y)) bmp.put(x, y, 8, 8, 12);
        }
    return bmp;
}

static void putLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void writeBmp(const std::string& path, const Bitmap& bmp) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(bmp.w) * 3 + 3) & ~3u;
    const std::uint32_t dataBytes = rowBytes * static_cast<std::uint32_t>(bmp.h);
    std::vector<std::uint8_t> out;
    out.reserve(54 + dataBytes);
    out.push_back('B');
    out.push_back('M');
    putLe(out, 54 + dataBytes, 4); // file size
    putLe(out, 0, 4);              // reserved
    putLe(out, 54, 4);             // pixel data offset
    putLe(out, 40, 4);             // BITMAPINFOHEADER
    putLe(out, static_cast<std::uint32_t>(bmp.w), 4);
    putLe(out, static_cast<std::uint32_t>(bmp.h), 4); // positive: bottom-up
    putLe(out, 1, 2);                                 // planes
    putLe(out, 24, 2);                                // bits per pixel
    putLe(out, 0, 4);                                 // BI_RGB
    putLe(out, dataBytes, 4);
    putLe(out, 2835, 4); // 72 dpi
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    for (int y = bmp.h - 1; y >= 0; --y) {
        for (int x = 0; x < bmp.w; ++x) {
            const size_t i = (static_cast<size_t>(y) * bmp.w + x) * 3;
            out.push_back(bmp.rgb[i + 2]);
            out.push_back(bmp.rgb[i + 1]);
            out.push_back(bmp.rgb[i]);
        }
        for (std::uint32_t p = static_cast<std::uint32_t>(bmp.w) * 3; p < rowBytes; ++p)
            out.push_back(0);
    }
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}
