#include "media/texts.h"

#include "media/video.h"
#include "sfont/sfont.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace {

// The interface texts that are loaded right now, by id. Map nodes never move, so the characters
// handed out stay valid until their entry is released.
std::map<Text_Id, std::string> text_table;

struct Builtin_Text {
    Text_Id id;
    const char* text;
};

constexpr Builtin_Text builtin_texts[] = {
    {TXT_OPT_RANDOM_COLORS, "Use random colors for shapes"},
    {TXT_OPT_SPECIAL_BLOCKS, "Allow vextile in shapes"},
    {TXT_OPT_UNCONTROLLED_DROP, "Uncontrolled drop when down button is pressed"},
    {TXT_HISCORES_TITLE, "H I   S C O R E S"},
    {TXT_OPTIONS_TITLE, "O P T I O N S"},
    {TXT_ABOUT_TITLE, "A B O U T   V E X T I L E"},
    {TXT_YOU_HAVE_THE, "YOU HAVE THE"},
    {TXT_HIGH_SCORE_FMT, "#%d HIGH SCORE!!"},
    {TXT_ENTER_NAME, "Enter your name:"},
    {TXT_OWNER_LINE, "Vextile (c) 2026 the Vextile developers"},
    {TXT_AUTHOR_LINE, "Written by the Vextile developers"},
    {TXT_CONTACT_LINE,
     "For news, updates and help with Vextile, read the README that came with the game or ask "
     "the Vextile developers, who are always glad to hear from players."},
    {TXT_PRESS_ENTER, "- press [enter] to continue -"},
    {TXT_VERSION, "1.00"},
};

const char* builtin_text(Text_Id id) {
    for (const Builtin_Text& entry : builtin_texts) {
        if (entry.id == id) return entry.text;
    }
    return "";
}

// Removes the first n characters of rest and every space that follows them; answers the line.
std::string take_line(std::string& rest, int width) {
    size_t n = static_cast<size_t>(fit_text(rest, width));
    // fit_text answers 0 only when rest starts with a space, which the trim below removes, so
    // every step consumes something. Guard it anyway: a wrap must never spin.
    if (n == 0 && rest[0] != ' ') n = rest.size();
    std::string line = rest.substr(0, n);
    const size_t next = rest.find_first_not_of(' ', n);
    rest.erase(0, next == std::string::npos ? rest.size() : next);
    return line;
}

} // namespace

const char* get_text(Text_Id id) {
    auto found = text_table.find(id);
    if (found == text_table.end()) found = text_table.emplace(id, builtin_text(id)).first;
    return found->second.c_str();
}

void release_text(Text_Id id) {
    text_table.erase(id);
}

const char* text_of(Text_Id id) {
    return text_table[id].c_str();
}

void forget_all_texts() {
    text_table.clear();
}

void set_text(Text_Id id, const std::string& text) {
    text_table[id] = text;
}

int text_height() {
    return SFont_TextHeight(game_font);
}

int text_width(const char* text) {
    return SFont_TextWidth(game_font, text);
}

int letter_width() {
    return text_width("Z");
}

void write_text(const char* text, int x, int y) {
    SFont_Write(get_screen(), game_font, x, y, text);
}

void write_text_centered(const char* text, int x, int y, int width) {
    // Worked wide: a wrap into no room at all hands down any width, and the sum must not overflow
    // into a position on the screen. The writer skips positions beyond SDL's 16 bits anyway.
    const int64_t left = int64_t{x} + (int64_t{width} - text_width(text)) / 2;
    write_text(text, static_cast<int>(std::clamp<int64_t>(left, INT32_MIN, INT32_MAX)), y);
}

void draw_text_centered(Text_Id id, int x, int y, int width) {
    write_text_centered(text_of(id), x, y, width);
}

int fit_text(const std::string& text, int max_width) {
    std::string candidate = text;
    while (text_width(candidate.c_str()) > max_width) {
        const size_t space = candidate.rfind(' ');
        if (space == std::string::npos) break;
        candidate.erase(space);
    }
    return static_cast<int>(candidate.size());
}

int wrapped_text_height(Text_Id id, int width) {
    std::string rest = text_of(id);
    int lines = 0;
    while (!rest.empty()) {
        take_line(rest, width);
        ++lines;
    }
    return lines * text_height();
}

int draw_wrapped_text(Text_Id id, int x, int y, int width, bool centered) {
    std::string rest = text_of(id);
    int lines = 0;
    while (!rest.empty()) {
        const std::string line = take_line(rest, width);
        if (centered) {
            write_text_centered(line.c_str(), x, y, width);
        } else {
            write_text(line.c_str(), x, y);
        }
        ++lines;
        y += text_height();
    }
    return lines;
}
