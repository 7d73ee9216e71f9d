// The options record and its file ".vextile-options" (36 bytes, little-endian).
#pragma once

#include <cstdint>

// Option bits of Options_Record::flags.
constexpr uint32_t opt_random_colors = 0x1;
constexpr uint32_t opt_special_blocks = 0x2;
constexpr uint32_t opt_reserved_bit = 0x4; // carried through unchanged
constexpr uint32_t opt_uncontrolled_drop = 0x8;

constexpr int OPTIONS_RECORD_SIZE = 36;

struct Options_Record {
    uint32_t flags = 0;
    int32_t opt_special_chance = 0; // percent chance that a new piece carries a special block
    uint8_t reserved[28] = {};      // kept as read, zero in a fresh record
};

extern const char* const OPTIONS_FILE_NAME; // ".vextile-options"

void load_options(Options_Record* options);
// Writes the file; answers whether the new image is in place (a failure has been reported).
bool save_options(const Options_Record* options);
void default_options(Options_Record* options);

// Byte image of the record (exactly OPTIONS_RECORD_SIZE bytes) and back.
void encode_options(const Options_Record& options, uint8_t* out);
void decode_options(const uint8_t* in, Options_Record* options);
