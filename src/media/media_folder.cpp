#include "media/media_folder.h"

const char* const WORKING_MEDIA_FOLDER = "./media";

namespace {

std::string folder = WORKING_MEDIA_FOLDER;

} // namespace

void set_media_folder(const std::string& new_folder) {
    folder = new_folder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
}

const std::string& media_folder() {
    return folder;
}

std::string media_file(const char* name) {
    if (folder == "/") return folder + name;
    return folder + "/" + name;
}
