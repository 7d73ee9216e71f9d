// mediagen: draws and synthesises every picture, sound and the font that Vextile loads.
//
//   mediagen <out_dir> <font_dir>
//   mediagen --icons <icon_dir>      the desktop icons
//
// The output is the same, byte for byte, on every run.
#include <cstdio>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>

#include "art.h"
#include "icons.h"
#include "sound.h"

namespace {

// Every picture the game loads, with the size its layout expects.
const std::map<std::string, std::pair<int, int>> kPictureSizes = {
    {"vextile_icon-32x32.bmp", {32, 32}},
    {"defaultbg-320.bmp", {320, 320}},
    {"vextile_title-320.bmp", {320, 320}},
    {"sidebar-320.bmp", {96, 320}},
    {"block_tex-320.bmp", {224, 16}},
    {"button-start_game-320.bmp", {160, 24}},
    {"button-options-320.bmp", {160, 24}},
    {"button-high_scores-320.bmp", {160, 24}},
    {"button-about-320.bmp", {160, 24}},
    {"button-ok-320.bmp", {100, 24}},
    {"button-cancel-320.bmp", {100, 24}},
    {"button-king-320.bmp", {150, 24}},
    {"checkbox0-320.bmp", {16, 16}},
    {"checkbox1-320.bmp", {16, 16}},
    {"paused-320.bmp", {192, 48}},
    {"game_over-320.bmp", {192, 48}},
    {"fire-320.bmp", {64, 24}},
    {"lightning_01-320.bmp", {320, 320}},
    {"blankwhite-320.bmp", {320, 320}},
    {"sidebar_next-320.bmp", {80, 14}},
    {"sidebar_level-320.bmp", {80, 14}},
    {"sidebar_score-320.bmp", {80, 14}},
    {"sidebar_nextbox-320.bmp", {80, 72}},
    {"sidebar_flare-320.bmp", {16, 16}},
    {"orvalmoore_logo-320.bmp", {320, 160}},
    {"sdl_logo-320.bmp", {320, 120}},
    {"text_background-320.bmp", {320, 16}},
};

void writePictures(const std::string& dir, TextRenderer& text) {
    Pictures pictures;
    addBlockArt(pictures);
    addScreenArt(pictures, text);
    addSidebarArt(pictures, text);
    addInterfaceArt(pictures, text);
    addEffectArt(pictures);
    addLogoArt(pictures, text);

    std::map<std::string, bool> seen;
    for (const auto& [name, bmp] : pictures) {
        const auto it = kPictureSizes.find(name);
        if (it == kPictureSizes.end()) throw std::runtime_error("unexpected picture " + name);
        if (bmp.w != it->second.first || bmp.h != it->second.second)
            throw std::runtime_error(name + " has the wrong size");
        writeBmp(dir + "/" + name, bmp);
        seen[name] = true;
    }
    for (const auto& [name, size] : kPictureSizes)
        if (!seen.count(name)) throw std::runtime_error("no picture drawn for " + name);
}

void writeFont(const std::string& dir, TextRenderer& text) {
    const Bitmap font = makeFont(text);
    writeBmp(dir + "/vextile_font-320.bmp", font);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons") return writeIcons(argv[2]);
    if (argc != 3) {
        std::fprintf(stderr, "usage: mediagen <out_dir> <font_dir> | --icons <icon_dir>\n");
        return 1;
    }
    const std::string outDir = argv[1];
    try {
        TextRenderer text(argv[2]);
        writePictures(outDir, text);
        writeFont(outDir, text);
        writeSounds(outDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mediagen: %s\n", e.what());
        return 1;
    }
    return 0;
}
