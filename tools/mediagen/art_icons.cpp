#include "icons.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "art.h"
#include "png_writer.h"

namespace {

constexpr int kIconSizes[] = {32, 64, 128, 256};

// The window icon's blocks on a 4 x 4 grid: an L of orange, a T of purple, a cyan step and a
// yellow block between them.
const struct {
    int cx, cy, tile;
} kCells[] = {
    {0, 3, 2}, {1, 3, 2}, {2, 3, 2}, {2, 2, 2}, {0, 2, 6}, {0, 1, 6},
    {1, 2, 6}, {0, 0, 6}, {3, 3, 3}, {3, 2, 3}, {3, 1, 3}, {2, 1, 0},
};

Mask roundedPlate(int size, float inset, float radius) {
    const float c = size / 2.0f;
    const float half = c - inset;
    return shapeMask(size, size, [=](Vec2 p) {
        return sdRoundBox(p, {c, c}, {half, half}, radius);
    });
}

} // namespace

Image drawIcon(int size) {
    Image icon(size, size);
    const float unit = size / 32.0f; // one pixel of the 32-pixel window icon
    const float inset = static_cast<float>(size / 64);
    const Mask plate = roundedPlate(size, inset, 5.0f * unit);
    const float last = static_cast<float>(size - 1);
    icon.paint(plate, 0, 0,
               [=](int, int y) { return mix(rgb8(34, 30, 78), rgb8(14, 14, 36), y / last); });

    const int cell = size * 7 / 32;
    const int origin = (size - 4 * cell) / 2;
    if (size >= 64) {
        // Room for detail the small icon has no pixels for: a lit rim round the plate and a soft
        // shadow under the blocks.
        const float rimWidth = static_cast<float>(size / 64);
        const Mask rim = plate.minus(roundedPlate(size, inset + rimWidth, 5.0f * unit - rimWidth));
        icon.paint(
            rim, 0, 0,
            [=](int, int y) { return mix(palette::kAccent, rgb8(40, 44, 96), y / last); }, 0.45f);
        Mask blocks(size, size);
        for (const auto& c : kCells)
            for (int j = 0; j < cell; ++j)
                for (int i = 0; i < cell; ++i)
                    blocks.set(origin + c.cx * cell + i, origin + c.cy * cell + j, 1.0f);
        const int drop = size / 64;
        icon.paint(blocks.blurred(size / 48.0f).shifted(drop, drop).times(plate), 0, 0,
                   palette::kInk, 0.7f);
    }
    for (const auto& c : kCells)
        drawBlock(icon, origin + c.cx * cell, origin + c.cy * cell, cell, palette::kBlocks[c.tile]);
    return icon;
}

int writeIcons(const std::string& dir) {
    try {
        for (const int size : kIconSizes) {
            const std::string folder =
                dir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
            std::filesystem::create_directories(folder);
            writePng(folder + "/vextile.png", drawIcon(size));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mediagen: %s\n", e.what());
        return 1;
    }
    return 0;
}
