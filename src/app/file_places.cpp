#include "app/file_places.h"

#include "media/bitmaps.h"
#include "media/media_folder.h"
#include "media/video.h"
#include "store/record_folder.h"

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <system_error>

namespace {

namespace fs = std::filesystem;

bool is_folder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// A "./media" of the game's own holds its font picture or its block texture; one that holds
// neither is somebody else's (the system's /media, for a game started from /).
bool holds_game_media(const std::string& folder) {
    std::error_code error;
    for (const char* name : {FONT_FILE_NAME, bitmap_file(BMP_BLOCK_TEX)})
        if (fs::is_regular_file(fs::path(folder) / name, error)) return true;
    return false;
}

// share/vextile/media beside the executable's folder (bin, games or any other).
std::string media_beside(const std::string& executable) {
    const fs::path tree = fs::path(executable).parent_path().parent_path();
    return (tree / "share" / "vextile" / "media").string();
}

} // namespace

File_Places find_file_places(const Place_Inputs& inputs) {
    File_Places places;
    bool from_working_folder = false;
    if (!inputs.data.empty()) {
        places.media = inputs.data;
    } else if (holds_game_media(WORKING_MEDIA_FOLDER)) {
        places.media = WORKING_MEDIA_FOLDER;
        from_working_folder = true;
    } else if (!inputs.executable.empty() && is_folder(media_beside(inputs.executable))) {
        places.media = media_beside(inputs.executable);
    } else {
        places.media = inputs.built_media;
    }
    if (!inputs.records.empty())
        places.records = inputs.records;
    else if (!from_working_folder)
        places.records = data_home_records_folder(inputs.xdg_data_home, inputs.home.c_str());
    return places;
}

std::string executable_path() {
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

void use_file_places(const Launch_Options& options) {
    const Place_Inputs inputs = {options.data,
                                 options.records,
                                 executable_path(),
                                 VEXTILE_INSTALLED_MEDIA,
                                 getenv("XDG_DATA_HOME"),
                                 home_folder()};
    const File_Places places = find_file_places(inputs);
    set_media_folder(places.media);
    set_records_folder(places.records);
}
