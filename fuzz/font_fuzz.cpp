// The font library given any picture: one built from the input's bytes, and the input read as a
// BMP file. Whatever makes a font is measured and written with onto a small surface, at positions
// inside, across and far outside its edges.
//
// For the built picture, byte 0 picks the depth (8, 16, 24 or 32 bits), bytes 1..2 the width
// (1..800) and byte 3 the height (1..40). The rest is a pattern repeated over the pixels, and over
// the palette of an 8-bit picture.
#include "fuzz_world.h"

#include "sfont/sfont.h"

#include <SDL/SDL.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int bit_depths[] = {8, 16, 24, 32};
constexpr int MAX_WIDTH = 800;
constexpr int MAX_HEIGHT = 40;

// SDL's BMP reader allocates what the header declares before it reads a pixel; pictures beyond
// this many bytes of pixels are left out, as the game's font is a small strip.
constexpr int64_t MAX_BMP_BYTES = 16 << 20;

// Copies the pattern over the bytes, from where it left off; zeros without a pattern.
class Pattern {
  public:
    explicit Pattern(std::string bytes) : bytes_(std::move(bytes)) {}
    void fill(Uint8* out, size_t size) {
        for (size_t i = 0; i < size; ++i)
            out[i] = bytes_.empty() ? 0 : static_cast<Uint8>(bytes_[at_++ % bytes_.size()]);
    }

  private:
    std::string bytes_;
    size_t at_ = 0;
};

void colour_palette(SDL_Surface* picture, Pattern* pattern) {
    SDL_Color colours[256];
    for (SDL_Color& colour : colours) {
        Uint8 rgb[3];
        pattern->fill(rgb, sizeof rgb);
        colour = {rgb[0], rgb[1], rgb[2], 0};
    }
    SDL_SetColors(picture, colours, 0, 256);
}

SDL_Surface* build_picture(const uint8_t* data, size_t size) {
    Byte_Reader input(data, size);
    const int depth = bit_depths[input.byte() % 4];
    const int low = input.byte();
    const int width = 1 + (low | input.byte() << 8) % MAX_WIDTH;
    const int height = 1 + input.byte() % MAX_HEIGHT;
    SDL_Surface* const picture =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, depth, 0, 0, 0, 0);
    if (!picture) return nullptr;
    Pattern pattern(input.rest(size));
    if (depth == 8) colour_palette(picture, &pattern);
    Uint8* const pixels = static_cast<Uint8*>(picture->pixels);
    for (int y = 0; y < height; ++y)
        pattern.fill(pixels + y * picture->pitch, size_t(width) * picture->format->BytesPerPixel);
    return picture;
}

int64_t little_endian(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= uint32_t(p[i]) << (8 * i);
    return bytes == 4 ? int64_t(int32_t(value)) : int64_t(value);
}

// Whether the BMP header declares a picture small enough to read (the old 12-byte header holds
// unsigned 16-bit sizes, the others signed 32-bit ones). Inputs too short to tell are left to SDL,
// which turns them down.
bool bmp_size_allowed(const uint8_t* data, size_t size) {
    if (size < 26) return true;
    const bool core_header = little_endian(data + 14, 4) == 12;
    const int64_t width = core_header ? little_endian(data + 18, 2) : little_endian(data + 18, 4);
    const int64_t height = core_header ? little_endian(data + 20, 2) : little_endian(data + 22, 4);
    if (std::llabs(width) > MAX_BMP_BYTES || std::llabs(height) > MAX_BMP_BYTES) return false;
    return std::llabs(width) * std::llabs(height) <= MAX_BMP_BYTES / 4;
}

SDL_Surface* load_bmp(const uint8_t* data, size_t size) {
    if (!bmp_size_allowed(data, size)) return nullptr;
    SDL_RWops* const file = SDL_RWFromConstMem(data, static_cast<int>(size));
    return file ? SDL_LoadBMP_RW(file, 1) : nullptr;
}

void check_measures(const SFont_Font* font, int line_height) {
    expect(SFont_TextHeight(font) == line_height, "the line height is the picture's less one");
    expect(SFont_TextWidth(font, "") == 0, "an empty text has no width");
    expect(SFont_TextWidth(font, nullptr) == 0, "no text has no width");
    const int hello = SFont_TextWidth(font, "Hello,");
    const int world = SFont_TextWidth(font, " World!");
    expect(SFont_TextWidth(font, "Hello, World!") == hello + world, "text widths add up");
    expect(SFont_TextWidth(font, "!") > 0, "every glyph has a width");
}

// Every glyph of the font, in order.
std::string all_glyphs() {
    std::string glyphs;
    for (char c = '!'; c <= '~'; ++c)
        glyphs += c;
    return glyphs;
}

void write_everywhere(const SFont_Font* font, SDL_Surface* target) {
    static const std::string texts[] = {"Hello, World!", all_glyphs(), "\x7f\x80\xff \t\n x", ""};
    static const int positions[][2] = {
        {0, 0},     {3, 2},           {-7, -3},     {40, 20},     {-40000, 5},        {5, 40000},
        {32767, 0}, {-32768, -32768}, {INT_MIN, 0}, {0, INT_MAX}, {INT_MAX, INT_MIN},
    };
    for (const std::string& text : texts) {
        for (const auto& at : positions)
            SFont_Write(target, font, at[0], at[1], text.c_str());
    }
    SFont_Write(nullptr, font, 0, 0, texts[0].c_str());
    SFont_Write(target, font, 0, 0, nullptr);
}

// Makes a font of the picture (which the library then owns or frees) and uses it.
void try_picture(SDL_Surface* picture, SDL_Surface* target) {
    if (!picture) return;
    const int line_height = picture->h - 1;
    SFont_Font* const font = SFont_InitFont(picture);
    if (!font) return;
    check_measures(font, line_height);
    write_everywhere(font, target);
    SDL_FillRect(SDL_GetVideoSurface(), nullptr, 0);
    write_everywhere(font, SDL_GetVideoSurface());
    SFont_FreeFont(font);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    start_fuzz_world(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SDL_Surface* const target =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 48, 24, 32, 0xff0000, 0xff00, 0xff, 0);
    expect(target != nullptr, "the target surface exists");
    try_picture(build_picture(data, size), target);
    try_picture(load_bmp(data, size), target);
    return 0;
}
