#include "store/record_file.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes the items to the open temporary file and closes it; false when anything fell short.
// The file is closed in every case.
bool write_and_close(FILE* file, const uint8_t* image, size_t item_size, size_t item_count) {
    bool ok = std::fwrite(image, item_size, item_count, file) == item_count;
    ok = ok && std::fflush(file) == 0;
    ok = ok && fsync(fileno(file)) == 0;
    const bool closed = std::fclose(file) == 0;
    return ok && closed;
}

// Opens a fresh temporary file next to path for writing; null when it cannot be made.
FILE* create_temp_file(const char* path, std::string* temp_path) {
    std::string name = std::string(path) + ".tmp-XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) return nullptr;
    // mkstemp makes the file private; a record file is an ordinary file.
    FILE* const file = fchmod(fd, 0644) == 0 ? fdopen(fd, "wb") : nullptr;
    if (!file) {
        close(fd);
        unlink(name.c_str());
        return nullptr;
    }
    *temp_path = name;
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
    std::string temp_path;
    FILE* const file = path && image ? create_temp_file(path, &temp_path) : nullptr;
    if (!file) {
        std::fputs(messages.cant_create, stderr);
        return false;
    }
    if (!write_and_close(file, image, item_size, item_count) ||
        std::rename(temp_path.c_str(), path) != 0) {
        std::fputs(messages.cant_write, stderr);
        unlink(temp_path.c_str());
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
