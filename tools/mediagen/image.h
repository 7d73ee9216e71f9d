// Canvas, coverage masks, drawing primitives and the BMP writer used by every picture.
//
// Colours are floats in 0..1. An Image keeps straight (non-premultiplied) colour plus alpha, so
// colour-keyed pictures can be drawn on a transparent canvas and flattened at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

constexpr Rgb rgb8(int r, int g, int b) {
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}

Rgb operator+(Rgb a, Rgb b);
Rgb operator*(Rgb c, float k);
Rgb mix(Rgb a, Rgb b, float t);
Rgb lighter(Rgb c, float t); // toward white by t
Rgb darker(Rgb c, float t);  // toward black by t
float luma(Rgb c);

float clamp01(float v);
float smoothstep(float e0, float e1, float x);
float lerp(float a, float b, float t);

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

struct Box {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0; // exclusive
    int y1 = 0; // exclusive
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
};

// A grey coverage map, 0 = outside, 1 = inside. Reads outside the map give 0.
class Mask {
  public:
    Mask() = default;
    Mask(int w, int h, float fill = 0.0f);

    int width() const { return w_; }
    int height() const { return h_; }
    float at(int x, int y) const;
    void set(int x, int y, float v);
    void maxAt(int x, int y, float v);

    Mask blurred(float sigma) const;
    Mask dilated(float radius) const; // round max filter
    Mask shifted(int dx, int dy) const;
    Mask minus(const Mask& other) const; // this * (1 - other)
    Mask times(const Mask& other) const;
    Mask scaled(float k) const;
    void unite(const Mask& other, int ox = 0, int oy = 0); // max
    Box inkBox(float threshold = 0.02f) const;

  private:
    int w_ = 0;
    int h_ = 0;
    std::vector<float> v_;
};

// Signed distances (negative inside) for building anti-aliased shapes.
float sdRoundBox(Vec2 p, Vec2 centre, Vec2 half, float radius);
float sdCircle(Vec2 p, Vec2 centre, float radius);
float sdSegment(Vec2 p, Vec2 a, Vec2 b); // unsigned distance to the segment

// Coverage from a signed distance function sampled at pixel centres (one-pixel soft edge).
Mask shapeMask(int w, int h, const std::function<float(Vec2)>& sd);
// Even-odd filled polygon, supersampled.
Mask polygonMask(int w, int h, const std::vector<Vec2>& pts, int supersample = 4);
// Draws a thick line into the mask (max with what is there).
void strokeSegment(Mask& m, Vec2 a, Vec2 b, float width);
void strokePolyline(Mask& m, const std::vector<Vec2>& pts, float width);
// Light falling from the top left on a bevel made from the mask: roughly -1 (shade) .. +1 (lit).
Mask bevelLight(const Mask& m, float sigma);

using Shader = std::function<Rgb(int x, int y)>;

class Image {
  public:
    Image(int w, int h);           // fully transparent
    Image(int w, int h, Rgb fill); // opaque

    int width() const { return w_; }
    int height() const { return h_; }
    Rgb colour(int x, int y) const;
    float alpha(int x, int y) const;
    void set(int x, int y, Rgb c, float a = 1.0f);
    void blend(int x, int y, Rgb c, float a); // source over
    void add(int x, int y, Rgb c, float k);   // additive light on opaque pixels

    void fill(const Shader& s);
    void paint(const Mask& m, int ox, int oy, Rgb c, float opacity = 1.0f);
    void paint(const Mask& m, int ox, int oy, const Shader& s, float opacity = 1.0f);
    void glow(const Mask& m, int ox, int oy, Rgb c, float k); // additive
    void blit(const Image& src, int ox, int oy);
    Image crop(int x, int y, int w, int h) const;

  private:
    int w_;
    int h_;
    std::vector<Rgb> c_;
    std::vector<float> a_;
};

// 8-bit RGB pixels, top row first.
struct Bitmap {
    int w = 0;
    int h = 0;
    std::vector<std::uint8_t> rgb;
    void put(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
    bool isBlack(int x, int y) const;
};

// Opaque picture. Pure black is nudged to a near-black unless allowBlack is set.
Bitmap toBitmap(const Image& img, bool allowBlack = false);
// Colour-keyed picture: pixels below the alpha cutoff become pure black (transparent); the rest
// are blended toward the edge colour, never toward black, and are never pure black themselves.
Bitmap toKeyedBitmap(const Image& img, Rgb edge, float cutoff = 0.5f);

void writeBmp(const std::string& path, const Bitmap& bmp);
