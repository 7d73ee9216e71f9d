// Measuring, fitting, wrapping and drawing any text in the game font at any width.
//
// Bytes 0..3 are the width (little-endian, so negative and huge widths come up), 4..5 and 6..7
// the position (16-bit, signed), byte 8 the choices (centred or not, which id holds the text).
// The rest, at most 512 bytes, is the text; the C-string calls see it up to its first zero.
#include "fuzz_world.h"

#include "media/texts.h"

#include <string>

namespace {

constexpr size_t MAX_TEXT = 512;
// An id of no built-in text, and one of a built-in text that the fuzzer replaces.
constexpr Text_Id FUZZ_TEXT = 7777;
constexpr Text_Id REPLACED_TEXT = TXT_CONTACT_LINE;

struct Text_Case {
    int width;
    int x;
    int y;
    bool centred;
    Text_Id id;
    std::string bytes; // as given, zeros included
    std::string text;  // up to the first zero
};

Text_Case read_case(const uint8_t* data, size_t size) {
    Byte_Reader input(data, size);
    Text_Case c;
    c.width = input.word();
    c.x = static_cast<int16_t>(input.byte() | input.byte() << 8);
    c.y = static_cast<int16_t>(input.byte() | input.byte() << 8);
    const uint8_t choices = input.byte();
    c.centred = (choices & 1) != 0;
    c.id = (choices & 2) != 0 ? REPLACED_TEXT : FUZZ_TEXT;
    c.bytes = input.rest(MAX_TEXT);
    c.text = c.bytes.c_str();
    return c;
}

// The prefix ends just before a space (or is everything), and it fits unless it is one word.
void check_fit(const std::string& text, int width) {
    const int fitted = fit_text(text, width);
    expect(fitted >= 0 && size_t(fitted) <= text.size(), "fit_text stays within the text");
    if (size_t(fitted) == text.size()) return;
    expect(text[fitted] == ' ', "fit_text cuts just before a space");
    const std::string prefix = text.substr(0, fitted);
    expect(text_width(prefix.c_str()) <= width || prefix.find(' ') == std::string::npos,
           "a cut text fits unless it is a single word");
}

// The width of a text is the sum of its characters' widths.
void check_width(const std::string& text) {
    int sum = 0;
    for (const char c : text) {
        const char one[2] = {c, '\0'};
        sum += text_width(one);
    }
    expect(text_width(text.c_str()) == sum, "text widths add up");
}

// Wrapping and drawing agree on the lines, and a text has at least one line and at most one per
// character.
void check_wrap(const Text_Case& c) {
    set_text(c.id, c.bytes);
    expect(text_of(c.id) == c.text, "set_text stores the text");
    const int height = wrapped_text_height(c.id, c.width);
    const int lines = draw_wrapped_text(c.id, c.x, c.y, c.width, c.centred);
    expect(lines * text_height() == height, "the drawn lines fill the wrapped height");
    expect(size_t(lines) <= c.text.size(), "no more lines than characters");
    expect((lines == 0) == c.text.empty(), "a text has lines, an empty one none");
    draw_text_centered(c.id, c.x, c.y, c.width);
    release_text(c.id);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    start_fuzz_world(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text_Case c = read_case(data, size);
    check_fit(c.bytes, c.width);
    check_fit(c.text, c.width);
    check_width(c.text);
    check_wrap(c);
    write_text(c.text.c_str(), c.x, c.y);
    write_text_centered(c.text.c_str(), c.x, c.y, c.width);
    return 0;
}
