#include "media/bitmaps.h"

#include "media/media_folder.h"
#include "media/pixel_copy.h"
#include "media/screen.h"

#include <cstdio>
#include <map>

namespace {

struct Bitmap_File {
    Bitmap_Id id;
    const char* name; // in the media folder
};

const Bitmap_File bitmap_table[] = {
    {BMP_ICON, "vextile_icon-32x32.bmp"},
    {BMP_DEFAULT_BG, "defaultbg-320.bmp"},
    {BMP_TITLE, "vextile_title-320.bmp"},
    {BMP_SIDEBAR, "sidebar-320.bmp"},
    {BMP_BLOCK_TEX, "block_tex-320.bmp"},
    {BMP_BUTTON_START_GAME, "button-start_game-320.bmp"},
    {BMP_BUTTON_OPTIONS, "button-options-320.bmp"},
    {BMP_BUTTON_HIGH_SCORES, "button-high_scores-320.bmp"},
    {BMP_BUTTON_OK, "button-ok-320.bmp"},
    {BMP_BUTTON_KING, "button-king-320.bmp"},
    {BMP_BUTTON_CANCEL, "button-cancel-320.bmp"},
    {BMP_BUTTON_ABOUT, "button-about-320.bmp"},
    {BMP_CHECKBOX0, "checkbox0-320.bmp"},
    {BMP_CHECKBOX1, "checkbox1-320.bmp"},
    {BMP_GAME_OVER, "game_over-320.bmp"},
    {BMP_PAUSED, "paused-320.bmp"},
    {BMP_FIRE, "fire-320.bmp"},
    {BMP_LIGHTNING_01, "lightning_01-320.bmp"},
    {BMP_BLANK_WHITE, "blankwhite-320.bmp"},
    {BMP_SIDEBAR_NEXT, "sidebar_next-320.bmp"},
    {BMP_SIDEBAR_NEXTBOX, "sidebar_nextbox-320.bmp"},
    {BMP_SIDEBAR_LEVEL, "sidebar_level-320.bmp"},
    {BMP_SIDEBAR_SCORE, "sidebar_score-320.bmp"},
    {BMP_SIDEBAR_FLARE, "sidebar_flare-320.bmp"},
    {BMP_MAKER_LOGO, "orvalmoore_logo-320.bmp"},
    {BMP_SDL_LOGO, "sdl_logo-320.bmp"},
    {BMP_TEXT_BACKGROUND, "text_background-320.bmp"},
};

// Every id ever looked up has an entry; none until its file has loaded. The game gives every
// picture back (zgl_release_all) when it shuts its media down, before SDL stops.
std::map<Bitmap_Id, SDL_Surface*> catalogue;
// Pictures whose file would not load, and whether a draw has reported each: a missing file is
// looked for once per run (unloading the entry does not bring it back) and reported by one draw.
std::map<Bitmap_Id, bool> missing;

// With a screen open, a picture is kept in the screen's format, so a blit copies its pixels instead
// of converting every one of them in every frame. Colour keys and alpha are set on the kept
// picture, as on any other. Without a screen (the icon is loaded before it), or if the conversion
// fails, the picture stays as loaded: it draws the same, only slower.
SDL_Surface* to_display_format(SDL_Surface* picture) {
    if (!picture || !SDL_GetVideoSurface()) return picture;
    SDL_Surface* const converted = SDL_DisplayFormat(picture);
    if (!converted) return picture;
    SDL_FreeSurface(picture);
    return converted;
}

SDL_Surface* load_file(Bitmap_Id id) {
    const char* name = bitmap_file(id);
    if (!name) return nullptr;
    SDL_RWops* file = SDL_RWFromFile(media_file(name).c_str(), "rb");
    if (!file) return nullptr;
    return to_display_format(SDL_LoadBMP_RW(file, 1));
}

// Finds or loads the entry; draws announce a picture nobody asked for first.
SDL_Surface* fetch(Bitmap_Id id, bool complain_if_absent) {
    SDL_Surface*& entry = catalogue[id];
    if (entry) return entry;
    const auto known = missing.find(id);
    const bool reported = known != missing.end() && known->second;
    if (complain_if_absent && !reported)
        fprintf(stderr, "zgl_draw_bitmap -- Bitmap is not loaded!\n");
    if (known == missing.end()) entry = load_file(id);
    if (!entry) missing[id] = reported || complain_if_absent;
    return entry;
}

void blit(SDL_Surface* picture, SDL_Rect* source, Point point, SDL_Surface* target) {
    SDL_Surface* dest = target ? target : screen;
    if (!dest) return;
    SDL_Rect where = to_sdl_rect({point.x, point.y, 0, 0});
    blit_surface(picture, source, dest, &where);
}

} // namespace

SDL_Rect to_sdl_rect(Rect rect) {
    SDL_Rect r;
    r.x = static_cast<Sint16>(rect.x);
    r.y = static_cast<Sint16>(rect.y);
    r.w = static_cast<Uint16>(rect.w);
    r.h = static_cast<Uint16>(rect.h);
    return r;
}

const char* bitmap_file(Bitmap_Id id) {
    for (const Bitmap_File& entry : bitmap_table)
        if (entry.id == id) return entry.name;
    return nullptr;
}

SDL_Surface* zgl_get_bitmap(Bitmap_Id id) {
    return fetch(id, false);
}

void zgl_draw_bitmap(Bitmap_Id id, Point point, SDL_Surface* target) {
    SDL_Surface* picture = fetch(id, true);
    if (picture) blit(picture, nullptr, point, target);
}

void zgl_draw_bitmap_part(Bitmap_Id id, Rect source, Point point, SDL_Surface* target) {
    SDL_Surface* picture = fetch(id, true);
    if (!picture) return;
    SDL_Rect part = to_sdl_rect(source);
    blit(picture, &part, point, target);
}

void zgl_set_bitmap_alpha(Bitmap_Id id, int alpha) {
    SDL_Surface* picture = zgl_get_bitmap(id);
    if (!picture) return;
    if (alpha == 255)
        SDL_SetAlpha(picture, 0, 255);
    else
        SDL_SetAlpha(picture, SDL_SRCALPHA, static_cast<Uint8>(alpha & 0xff));
}

void zgl_set_bitmap_colorkey(Bitmap_Id id, SDL_Color colour) {
    SDL_Surface* picture = zgl_get_bitmap(id);
    if (!picture) return;
    const Uint32 key = SDL_MapRGB(picture->format, colour.r, colour.g, colour.b);
    SDL_SetColorKey(picture, SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
}

Size zgl_bitmap_size(Bitmap_Id id) {
    const SDL_Surface* picture = catalogue[id];
    if (!picture) return {0, 0};
    return {picture->w, picture->h};
}

void zgl_unload_bitmap(Bitmap_Id id) {
    const auto found = catalogue.find(id);
    if (found == catalogue.end()) return;
    SDL_Surface* const picture = found->second;
    catalogue.erase(found);
    // Only the catalogue's reference goes: a holder that took its own keeps the picture alive.
    if (picture) SDL_FreeSurface(picture);
}

void zgl_release_all() {
    for (const auto& [id, picture] : catalogue)
        if (picture) SDL_FreeSurface(picture);
    catalogue.clear();
    missing.clear();
}

SDL_Surface* zgl_hold(SDL_Surface* picture) {
    if (picture) ++picture->refcount;
    return picture;
}

void zgl_let_go(SDL_Surface*& picture) {
    if (picture) SDL_FreeSurface(picture);
    picture = nullptr;
}
