#include "game_test.h"

#include "media/video.h"
#include "play/play_record.h"

#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

double test_frame_seconds = 0.001;

} // namespace

void Game_Test::SetUp() {
    dir = std::make_unique<Temp_Dir>();
    ASSERT_TRUE(headless::start_media()) << "SDL, the screen or the game font could not start";
    headless::build_world();
    set_frame_seconds(0.001);
    paint_screen(0, 0, 0);
}

void Game_Test::TearDown() {
    // Nothing the test loaded outlives it, so what LeakSanitizer finds at the end is a leak.
    headless::clear_world();
    dir.reset();
}

double Game_Test::frame_seconds() {
    return test_frame_seconds;
}

void Game_Test::set_frame_seconds(double seconds) {
    test_frame_seconds = seconds;
}

bool Recorder::handle_command(Command command, const char* text) {
    commands.push_back(command);
    if (text) typed += *text;
    return true;
}

bool Recorder::handle_mouse(Mouse_Action action, int x, int y) {
    mouse.insert(mouse.end(), {action, x, y});
    return true;
}

SDL_Color colour_at(SDL_Surface* surface, int x, int y) {
    if (!surface) surface = get_screen();
    SDL_Color c = {0, 0, 0, 0};
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h) return c;
    const int bpp = surface->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
    Uint32 pixel = 0;
    for (int i = 0; i < bpp; ++i) // little-endian
        pixel |= Uint32(p[i]) << (8 * i);
    SDL_GetRGB(pixel, surface->format, &c.r, &c.g, &c.b);
    return c;
}

bool same_colour(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

void paint_screen(Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* s = get_screen();
    if (s) SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
}

std::string well_text(int first, int last) {
    std::string text;
    for (int row = first; row <= last; ++row, text += '/')
        for (int col = 0; col < GRID_COLS; ++col) {
            const unsigned code = play_record.grid.cell(col, row) - EMPTY_CELL; // empty: 0
            text += code <= 16 ? ".0123456789abcdef"[code] : '?';
        }
    return text;
}

void put_rows(const std::vector<const char*>& rows) {
    int row = GRID_ROWS - static_cast<int>(rows.size());
    for (const char* cells : rows) {
        for (int col = 0; col < GRID_COLS; ++col)
            if (cells[col] != '.') play_record.grid.set_cell(col, row, cells[col] - '0');
        ++row;
    }
}

namespace {

bool write_png(const std::string& path, int w, int h, const std::vector<Uint8>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

bool read_png(const std::string& path, int* w, int* h, std::vector<Uint8>* rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb->resize(PNG_IMAGE_SIZE(image));
    *w = int(image.width);
    *h = int(image.height);
    return png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr) != 0;
}

} // namespace

std::string golden_difference(const std::string& name, SDL_Surface* surface) {
    if (!surface) surface = get_screen();
    const int w = surface->w, h = surface->h;
    std::vector<Uint8> actual;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const SDL_Color c = colour_at(surface, x, y);
            actual.insert(actual.end(), {c.r, c.g, c.b});
        }
    const std::string golden = std::string(VEXTILE_GOLDEN_DIR) + "/" + name + ".png";
    const char* update = std::getenv("VEXTILE_GOLDEN_UPDATE");
    if (update && *update == '1')
        return write_png(golden, w, h, actual) ? "" : "cannot write " + golden;
    int gw = 0, gh = 0;
    std::vector<Uint8> expected;
    const bool found = read_png(golden, &gw, &gh, &expected) && gw == w && gh == h;
    if (found && expected == actual) return "";
    std::vector<Uint8> diff(actual.size());
    int differ = 0, first = -1;
    for (size_t i = 0; i < actual.size(); i += 3) {
        const bool same = found && std::equal(&actual[i], &actual[i] + 3, &expected[i]);
        if (!same && first < 0) first = int(i / 3);
        differ += !same;
        for (int k = 0; k < 3; ++k) // the differing pixels red over a faint copy
            diff[i + k] = same ? Uint8(actual[i + k] / 4) : k == 0 ? 255 : 0;
    }
    const std::string out = VEXTILE_GOLDEN_OUT;
    std::filesystem::create_directories(out);
    write_png(out + "/" + name + ".png", w, h, actual);
    write_png(out + "/" + name + ".diff.png", w, h, diff);
    const std::string why = !found
                                ? "no golden picture " + golden + " of this size"
                                : std::to_string(differ) + " pixels differ, the first at " +
                                      std::to_string(first % w) + "," + std::to_string(first / w);
    return name + ": " + why + "; the picture drawn is " + out + "/" + name +
           ".png, the difference " + out + "/" + name + ".diff.png (make golden renews it)";
}
