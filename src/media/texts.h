// The table of interface texts by id, and the drawing of text with the game font.
#pragma once

#include <cstdint>
#include <string>

using Text_Id = int32_t;

constexpr Text_Id TXT_OPT_RANDOM_COLORS = 1000;
constexpr Text_Id TXT_OPT_SPECIAL_BLOCKS = 1001;
constexpr Text_Id TXT_OPT_UNCONTROLLED_DROP = 1002;
constexpr Text_Id TXT_HISCORES_TITLE = 1005;
constexpr Text_Id TXT_OPTIONS_TITLE = 1006;
constexpr Text_Id TXT_ABOUT_TITLE = 1007;
constexpr Text_Id TXT_YOU_HAVE_THE = 1009;
constexpr Text_Id TXT_HIGH_SCORE_FMT = 1010;
constexpr Text_Id TXT_ENTER_NAME = 1011;
constexpr Text_Id TXT_OWNER_LINE = 1012;
constexpr Text_Id TXT_AUTHOR_LINE = 1013;
constexpr Text_Id TXT_CONTACT_LINE = 1017;
constexpr Text_Id TXT_PRESS_ENTER = 1018;
constexpr Text_Id TXT_VERSION = 2000;

// Loads the text (the built-in one, or an empty string for an unknown id) and answers it.
const char* get_text(Text_Id id);
void release_text(Text_Id id);
// The stored text without loading: an absent id gets an empty entry.
const char* text_of(Text_Id id);
// Drops every entry (between tests).
void forget_all_texts();
// Stores the text under the id, replacing the entry (a text that is not built in, or a changed
// one); get_text and the drawing calls answer it from then on. Characters handed out for the id
// before are no longer valid.
void set_text(Text_Id id, const std::string& text);

int text_height();
int text_width(const char* text);
int letter_width(); // width of "Z", the screens' margin unit

void write_text(const char* text, int x, int y);
void write_text_centered(const char* text, int x, int y, int width);
void draw_text_centered(Text_Id id, int x, int y, int width);

// Length of the longest prefix that ends just before a space and fits max_width (the whole text
// when it fits; a first word wider than max_width is answered whole).
int fit_text(const std::string& text, int max_width);
int wrapped_text_height(Text_Id id, int width);
int draw_wrapped_text(Text_Id id, int x, int y, int width, bool centered);
