#include "store/record_folder.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folder;

bool is_folder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

void set_records_folder(const std::string& new_folder) {
    folder = new_folder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
}

const std::string& records_folder() {
    return folder;
}

std::string record_path(const char* name) {
    if (folder.empty()) return name;
    if (folder == "/") return folder + name;
    return folder + "/" + name;
}

bool make_records_folder() {
    if (folder.empty() || is_folder(folder)) return true;
    // Each missing folder from the top down; one that appeared meanwhile is as good.
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    return is_folder(folder);
}

std::string data_home_records_folder(const char* xdg_data_home, const char* home) {
    if (xdg_data_home && xdg_data_home[0] == '/') return std::string(xdg_data_home) + "/vextile";
    if (!home || !*home) return std::string();
    return std::string(home) + "/.local/share/vextile";
}

std::string home_folder() {
    const char* home = getenv("HOME");
    if (home && *home) return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : std::string();
}
