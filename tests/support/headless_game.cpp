#include "headless_game.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "media/bitmaps.h"
#include "media/sounds.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/play_record.h"
#include "play/sidebar.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

Temp_Dir::Temp_Dir(bool link_media) {
    char pattern[] = "/tmp/vextile-test-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        std::abort();
    }
    path_ = pattern;
    std::error_code ec;
    old_cwd_ = fs::current_path(ec).string();
    if (link_media) fs::create_directory_symlink(VEXTILE_MEDIA_DIR, path_ + "/media", ec);
    if (!ec) fs::current_path(path_, ec);
    if (ec) {
        std::fprintf(stderr, "%s: %s\n", path_.c_str(), ec.message().c_str());
        std::abort();
    }
}

Temp_Dir::~Temp_Dir() {
    std::error_code ec;
    fs::current_path(old_cwd_.empty() ? "/" : old_cwd_, ec);
    // A test may have taken the write permission away.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

namespace headless {

namespace {
bool media_up = false;
} // namespace

void use_dummy_drivers() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
}

bool start_media() {
    if (media_up) return true;
    use_dummy_drivers();
    media_up = app.start_video();
    if (!media_up) video_shutdown();
    return media_up;
}

// The steps of Vextile_SDL::init after start_video, in its order.
void build_world(unsigned seed) {
    std::srand(seed);
    game.clear_quit();
    game.text_entry = false;
    game.options = Options_Record();
    play_record = Play_Record();
    take_block_texture();
    zgl_get_bitmap(BMP_PAUSED);
    app.load_records();
    app.build_play_area();
    app.enter_saved_state();
}

void clear_world() {
    app.enter_state(STATE_NONE);
    app.set_sidebar(nullptr);
    app.close_play_area();
    set_background(BMP_NONE);
    zgl_release_all();
    sound_forget_all();
    forget_all_texts();
    game.text_entry = false;
}

void restart(unsigned seed) {
    app.close_game();
    clear_world();
    build_world(seed);
}

void stop() {
    app.shutdown();
    media_up = false;
}

void run_frames(int count, double seconds) {
    for (int i = 0; i < count; ++i)
        app.run_frame(seconds);
}

} // namespace headless
