// Reading and writing the game's record files: each file is the byte image of one fixed-size
// record.
//
// A file is good when it holds at least the record's size; extra bytes are ignored. A missing file
// gives the defaults silently; a short one gives the defaults and a "corrupt" line. Saving never
// destroys the previous file: the image goes to the record's temporary file "<name>.tmp" beside
// the file (beside the target of a symbolic link), which is flushed and then renamed over it with
// the old file's mode. Only when the folder takes no new file is the record written in place.
#pragma once

#include <cstddef>
#include <cstdint>

struct Record_Messages {
    const char* corrupt;     // the file is too short
    const char* cant_create; // the file cannot be written, or neither it nor the temporary made
    const char* cant_write;  // a write, flush or rename fell short
};

enum class Record_Read { missing, short_file, complete };

// Reads up to item_count items of item_size bytes from path into image, which the caller has filled
// with the encoding of the record as it stands, so that a short read leaves the unread bytes as
// they were. Writes messages.corrupt when fewer than item_count complete items were read.
Record_Read read_record_file(const char* path, uint8_t* image, size_t item_size, size_t item_count,
                             const Record_Messages& messages);

// Writes item_count items of item_size bytes atomically where the folder allows. Failures are
// reported with the messages; the old file then stays as it was (but after a failed write in
// place). Returns whether the new image is in place.
bool write_record_file(const char* path, const uint8_t* image, size_t item_size, size_t item_count,
                       const Record_Messages& messages);

// Little-endian field helpers for the encoders.
inline void put_u32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline uint32_t get_u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void put_i32(uint8_t* p, int32_t v) {
    put_u32(p, uint32_t(v));
}
inline int32_t get_i32(const uint8_t* p) {
    return int32_t(get_u32(p));
}
void put_f32(uint8_t* p, float v);
float get_f32(const uint8_t* p);
