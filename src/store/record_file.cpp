#include "store/record_file.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Writes the items to the open file and closes it; false when anything fell short. The file is
// closed in every case.
bool write_and_close(FILE* file, const uint8_t* image, size_t item_size, size_t item_count) {
    bool ok = std::fwrite(image, item_size, item_count, file) == item_count;
    ok = ok && std::fflush(file) == 0;
    ok = ok && fsync(fileno(file)) == 0;
    const bool closed = std::fclose(file) == 0;
    return ok && closed;
}

// The file that a record's name leads to: the name itself, or the last target of the symbolic
// links it starts (which need not exist yet); a relative link is read from the link's folder.
std::string link_target(const char* path) {
    fs::path target = path;
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(target, error); ++hops) {
        const fs::path link = fs::read_symlink(target, error);
        if (error) break;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target.string();
}

// Opens the file with the open flags as a stdio stream for writing; null when it cannot.
FILE* open_for_writing(const std::string& path, int flags, mode_t mode = 0) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | flags, mode);
    if (fd < 0) return nullptr;
    FILE* const file = fdopen(fd, "wb");
    if (!file) close(fd);
    return file;
}

// Makes the record's one temporary file afresh (a leftover of a save that was killed goes first),
// with the old file's mode, or 0666 under the umask for a new record; null when the folder takes
// no new file.
FILE* create_temp_file(const std::string& temp_path, const struct stat* old) {
    unlink(temp_path.c_str());
    FILE* const file = open_for_writing(temp_path, O_CREAT | O_EXCL, 0666);
    // Should the mode not take, the record is still whole, only readable as a new file would be.
    if (file && old) (void)fchmod(fileno(file), old->st_mode & 07777);
    return file;
}

} // namespace

Record_Read read_record_file(const char* path, uint8_t* image, size_t item_size, size_t item_count,
                             const Record_Messages& messages) {
    FILE* const file = path && image ? std::fopen(path, "rb") : nullptr;
    if (!file) return Record_Read::missing;
    // A short read leaves the bytes it got in the image, also those of a partly read item.
    const size_t items = std::fread(image, item_size, item_count, file);
    std::fclose(file);
    if (items < item_count) {
        std::fputs(messages.corrupt, stderr);
        return Record_Read::short_file;
    }
    return Record_Read::complete;
}

bool write_record_file(const char* path, const uint8_t* image, size_t item_size, size_t item_count,
                       const Record_Messages& messages) {
    const std::string target = path && image ? link_target(path) : std::string();
    struct stat old;
    const bool exists = !target.empty() && stat(target.c_str(), &old) == 0;
    // A record file the player cannot write is refused, as opening it for writing would refuse
    // it, rather than replaced behind the player's back.
    FILE* in_place = exists ? open_for_writing(target, O_NONBLOCK) : nullptr;
    if (target.empty() || (exists && !in_place)) {
        std::fputs(messages.cant_create, stderr);
        return false;
    }
    const std::string temp_path = target + ".tmp";
    FILE* const temp = create_temp_file(temp_path, exists ? &old : nullptr);
    if (temp) {
        if (in_place) std::fclose(in_place);
        if (write_and_close(temp, image, item_size, item_count) &&
            std::rename(temp_path.c_str(), target.c_str()) == 0)
            return true;
        std::fputs(messages.cant_write, stderr);
        unlink(temp_path.c_str());
        return false;
    }
    if (!in_place) {
        std::fputs(messages.cant_create, stderr);
        return false;
    }
    // The folder takes no new file but the record file may be written: it is written in place,
    // whole, which a crash in the middle can leave short.
    const bool emptied = ftruncate(fileno(in_place), 0) == 0;
    if (!emptied) std::fclose(in_place);
    if (!emptied || !write_and_close(in_place, image, item_size, item_count)) {
        std::fputs(messages.cant_write, stderr);
        return false;
    }
    return true;
}

void put_f32(uint8_t* p, float v) {
    static_assert(sizeof(float) == sizeof(uint32_t), "float must be IEEE-754 single");
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    put_u32(p, bits);
}

float get_f32(const uint8_t* p) {
    const uint32_t bits = get_u32(p);
    float v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}
