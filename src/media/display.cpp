#include "media/display.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The picture's size times the scale, in one dimension.
constexpr int scaled(int size, int scale) {
    return size * scale;
}

// One row of pixels, each written `Scale` times side by side.
template <typename Pixel, int Scale> void widen_row(const Pixel* in, Pixel* out, int count) {
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < Scale; ++k)
            out[i * Scale + k] = in[i];
}

// 32-bit pixels, the usual case, are written two at a time.
uint64_t pair_of(uint32_t left, uint32_t right) {
    return uint64_t(left) | uint64_t(right) << 32;
}

void store_pair(uint32_t* out, uint64_t pair) {
    std::memcpy(out, &pair, sizeof pair);
}

template <> void widen_row<uint32_t, 2>(const uint32_t* in, uint32_t* out, int count) {
    for (int i = 0; i < count; ++i)
        store_pair(out + 2 * i, pair_of(in[i], in[i]));
}

template <> void widen_row<uint32_t, 3>(const uint32_t* in, uint32_t* out, int count) {
    int i = 0;
    for (; i + 1 < count; i += 2) {
        const uint32_t a = in[i], b = in[i + 1];
        store_pair(out + 3 * i, pair_of(a, a));
        store_pair(out + 3 * i + 2, pair_of(a, b));
        store_pair(out + 3 * i + 4, pair_of(b, b));
    }
    for (; i < count; ++i)
        out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = in[i];
}

template <> void widen_row<uint32_t, 4>(const uint32_t* in, uint32_t* out, int count) {
    for (int i = 0; i < count; ++i) {
        const uint64_t pair = pair_of(in[i], in[i]);
        store_pair(out + 4 * i, pair);
        store_pair(out + 4 * i + 2, pair);
    }
}

template <typename Pixel> void widen_row_by(const Pixel* in, Pixel* out, int count, int scale) {
    switch (scale) {
    case 1:
        std::memcpy(out, in, count * sizeof(Pixel));
        return;
    case 2:
        return widen_row<Pixel, 2>(in, out, count);
    case 3:
        return widen_row<Pixel, 3>(in, out, count);
    case 4:
        return widen_row<Pixel, 4>(in, out, count);
    default:
        for (int i = 0; i < count; ++i)
            std::fill_n(out + i * scale, scale, in[i]);
    }
}

// Pixels of any size, byte by byte (three-byte modes).
void widen_bytes(const uint8_t* in, uint8_t* out, int count, int scale, int bytes) {
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < scale; ++k)
            std::memcpy(out + (i * scale + k) * bytes, in + i * bytes, bytes);
}

// Each picture row is widened once into the window, then copied down into the rows under it.
void scale_rows(const SDL_Surface* picture, SDL_Surface* window, const View& view) {
    const int bytes = picture->format->BytesPerPixel;
    const int scale = view.scale;
    const size_t row_bytes = size_t(scaled(picture->w, scale)) * bytes;
    const auto* in_row = static_cast<const uint8_t*>(picture->pixels);
    auto* out_row = static_cast<uint8_t*>(window->pixels) + view.y * window->pitch + view.x * bytes;
    for (int y = 0; y < picture->h; ++y) {
        switch (bytes) {
        case 4:
            widen_row_by(reinterpret_cast<const uint32_t*>(in_row),
                         reinterpret_cast<uint32_t*>(out_row), picture->w, scale);
            break;
        case 2:
            widen_row_by(reinterpret_cast<const uint16_t*>(in_row),
                         reinterpret_cast<uint16_t*>(out_row), picture->w, scale);
            break;
        case 1:
            widen_row_by(in_row, out_row, picture->w, scale);
            break;
        default:
            widen_bytes(in_row, out_row, picture->w, scale, bytes);
        }
        for (int k = 1; k < scale; ++k)
            std::memcpy(out_row + k * window->pitch, out_row, row_bytes);
        in_row += picture->pitch;
        out_row += scale * window->pitch;
    }
}

} // namespace

int choose_window_scale(int desktop_height) {
    // The window's height at most three quarters of the desktop's: 4 x height <= 3 x desktop.
    for (int scale = MAX_WINDOW_SCALE; scale > 1; --scale)
        if (4 * scaled(SCREEN_HEIGHT, scale) <= 3 * desktop_height) return scale;
    return 1;
}

View window_view(int scale) {
    View view;
    view.scale = std::clamp(scale, 1, MAX_WINDOW_SCALE);
    view.width = scaled(SCREEN_WIDTH, view.scale);
    view.height = scaled(SCREEN_HEIGHT, view.scale);
    return view;
}

View fullscreen_view(int desktop_width, int desktop_height, int window_scale) {
    View view;
    if (desktop_width < SCREEN_WIDTH || desktop_height < SCREEN_HEIGHT) {
        view = window_view(window_scale);
    } else {
        view.scale = std::min(desktop_width / SCREEN_WIDTH, desktop_height / SCREEN_HEIGHT);
        view.width = desktop_width;
        view.height = desktop_height;
        view.x = (desktop_width - scaled(SCREEN_WIDTH, view.scale)) / 2;
        view.y = (desktop_height - scaled(SCREEN_HEIGHT, view.scale)) / 2;
    }
    view.fullscreen = true;
    return view;
}

bool is_direct(const View& view) {
    return !view.fullscreen && view.scale == 1 && view.x == 0 && view.y == 0;
}

bool window_to_screen(const View& view, int window_x, int window_y, int* x, int* y) {
    const int dx = window_x - view.x;
    const int dy = window_y - view.y;
    if (dx < 0 || dy < 0 || dx >= scaled(SCREEN_WIDTH, view.scale) ||
        dy >= scaled(SCREEN_HEIGHT, view.scale))
        return false;
    *x = dx / view.scale;
    *y = dy / view.scale;
    return true;
}

void scale_picture(const SDL_Surface* picture, SDL_Surface* window, const View& view) {
    if (!picture || !window || !picture->pixels || !window->pixels) return;
    if (picture->format->BytesPerPixel != window->format->BytesPerPixel) return;
    // A window too small for the view (never made so by the game) gets nothing rather than a
    // write beyond it.
    if (view.x < 0 || view.y < 0 || view.x + scaled(picture->w, view.scale) > window->w ||
        view.y + scaled(picture->h, view.scale) > window->h)
        return;
    scale_rows(picture, window, view);
}
