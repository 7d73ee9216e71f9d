#include "png_writer.h"

#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

std::uint8_t channel(float v) {
    return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0f));
}

std::vector<std::uint8_t> rgbaPixels(const Image& img) {
    std::vector<std::uint8_t> px;
    px.reserve(static_cast<size_t>(img.width()) * img.height() * 4);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const float a = clamp01(img.alpha(x, y));
            const Rgb c = a > 0.0f ? img.colour(x, y) : Rgb{};
            px.push_back(channel(c.r));
            px.push_back(channel(c.g));
            px.push_back(channel(c.b));
            px.push_back(channel(a));
        }
    return px;
}

// libpng reports errors by longjmp: nothing with a destructor may live between setjmp and the
// calls that can fail, so the rows are ready before and the handles are plain pointers.
bool encode(std::FILE* f, int w, int h, png_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

void writePng(const std::string& path, const Image& img) {
    std::vector<std::uint8_t> px = rgbaPixels(img);
    std::vector<png_bytep> rows(static_cast<size_t>(img.height()));
    for (int y = 0; y < img.height(); ++y)
        rows[static_cast<size_t>(y)] = px.data() + static_cast<size_t>(y) * img.width() * 4;

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    const bool encoded = encode(f, img.width(), img.height(), rows.data());
    const bool closed = std::fclose(f) == 0;
    if (!encoded || !closed) throw std::runtime_error("cannot write " + path);
}
