#include "bench_world.h"

#include "app/vextile.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

Scratch_Dir::Scratch_Dir() {
    char pattern[] = "/tmp/vextile-bench-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) return;
    std::error_code ec;
    fs::create_directory_symlink(VEXTILE_MEDIA_DIR, fs::path(made) / "media", ec);
    if (!ec) fs::current_path(made, ec);
    if (ec) {
        fs::remove_all(made, ec);
        return;
    }
    path_ = made;
}

Scratch_Dir::~Scratch_Dir() {
    if (path_.empty()) return;
    std::error_code ec;
    fs::current_path("/", ec);
    fs::remove_all(path_, ec);
}

void use_headless_drivers() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

bool start_world() {
    static std::unique_ptr<Scratch_Dir> dir;
    static bool up = false;
    if (dir) return up;
    dir = std::make_unique<Scratch_Dir>();
    if (!dir->ok()) return false;
    use_headless_drivers();
    up = app.init();
    return up;
}
