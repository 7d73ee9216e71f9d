#include "store/options_file.h"

#include "store/record_file.h"
#include "store/record_folder.h"

#include <cstring>

const char* const OPTIONS_FILE_NAME = ".vextile-options";

namespace {

constexpr int default_special_chance = 33;

const Record_Messages options_messages = {
    "options file is corrupt -- regenerating list\n",
    "couldn't create options file!\n",
    "error writing to options file!\n",
};

} // namespace

void encode_options(const Options_Record& options, uint8_t* out) {
    put_u32(out, options.flags);
    put_i32(out + 4, options.opt_special_chance);
    std::memcpy(out + 8, options.reserved, sizeof options.reserved);
}

void decode_options(const uint8_t* in, Options_Record* options) {
    options->flags = get_u32(in);
    options->opt_special_chance = get_i32(in + 4);
    std::memcpy(options->reserved, in + 8, sizeof options->reserved);
}

void default_options(Options_Record* options) {
    if (!options) return;
    options->flags |= opt_special_blocks;
    options->opt_special_chance = default_special_chance;
}

void load_options(Options_Record* options) {
    if (!options) return;
    uint8_t image[OPTIONS_RECORD_SIZE];
    encode_options(*options, image);
    const Record_Read read = read_record_file(record_path(OPTIONS_FILE_NAME).c_str(), image,
                                              OPTIONS_RECORD_SIZE, 1, options_messages);
    if (read != Record_Read::missing) decode_options(image, options);
    if (read != Record_Read::complete) default_options(options);
}

bool save_options(const Options_Record* options) {
    if (!options) return false;
    uint8_t image[OPTIONS_RECORD_SIZE];
    encode_options(*options, image);
    make_records_folder(); // a folder that cannot be made fails the write, which says so
    return write_record_file(record_path(OPTIONS_FILE_NAME).c_str(), image, OPTIONS_RECORD_SIZE, 1,
                             options_messages);
}
