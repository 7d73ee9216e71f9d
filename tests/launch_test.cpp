// The start of the game: the command line, the search for the media and the records' folder, and
// the records kept in a folder of their own.
#include "game_test.h"

#include "app/command_line.h"
#include "app/file_places.h"
#include "game/game_state.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/options_file.h"
#include "store/record_folder.h"
#include "store/score_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

// ---- the command line ----

struct Parsed {
    Launch launch;
    Launch_Options options;
    std::string out, err;
};

Parsed parse(std::vector<std::string> words) {
    std::vector<char*> argv;
    words.insert(words.begin(), "vextile");
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    Launch_Options options;
    char* out_text = nullptr;
    char* err_text = nullptr;
    size_t out_size = 0, err_size = 0;
    std::FILE* out = open_memstream(&out_text, &out_size);
    std::FILE* err = open_memstream(&err_text, &err_size);
    const Launch launch =
        parse_command_line(static_cast<int>(words.size()), argv.data(), &options, out, err);
    std::fclose(out);
    std::fclose(err);
    Parsed parsed{launch, options, out_text, err_text};
    free(out_text);
    free(err_text);
    return parsed;
}

// A run with its options, or a mistake: one line saying what is wrong, then the usage line, status
// 2; nothing on stdout.
TEST(Command_Line, OptionsAndMistakes) {
    const std::string fps = "--fps wants 0 or a whole number from 10 to 1000, not ";
    const std::string scale = "--scale wants a whole number from 1 to 4, not ";
    // clang-format off
    const struct { std::vector<std::string> words; Launch_Options want; std::string err; } cases[] = {
        {{}, {60, 0, false, "", ""}, ""},
        {{"--fps", "144"}, {144, 0, false, "", ""}, ""},
        {{"--fps=10"}, {10, 0, false, "", ""}, ""},
        {{"--fps", "1000"}, {1000, 0, false, "", ""}, ""},
        {{"--fps", "0"}, {0, 0, false, "", ""}, ""},
        {{"--fps", "30", "--fps", "75"}, {75, 0, false, "", ""}, ""},
        {{"--scale", "1"}, {60, 1, false, "", ""}, ""},
        {{"--scale=4", "--fullscreen"}, {60, 4, true, "", ""}, ""},
        {{"--data", "/opt/v/media", "--records=rec"}, {60, 0, false, "/opt/v/media", "rec"}, ""},
        {{"--fps", "9"}, {}, fps + "'9'"},          {{"--fps", "1001"}, {}, fps + "'1001'"},
        {{"--fps", "-60"}, {}, fps + "'-60'"},      {{"--fps=6O"}, {}, fps + "'6O'"},
        {{"--fps", " 60"}, {}, fps + "' 60'"},      {{"--fps="}, {}, fps + "''"},
        {{"--fps", "99999999999999999999"}, {}, fps + "'99999999999999999999'"},
        {{"--fps"}, {}, "--fps needs a value"},
        {{"--scale", "0"}, {}, scale + "'0'"},      {{"--scale", "5"}, {}, scale + "'5'"},
        {{"--scale=2x"}, {}, scale + "'2x'"},       {{"--scale"}, {}, "--scale needs a value"},
        {{"--fullscreen=yes"}, {}, "--fullscreen takes no value"},
        {{"--data="}, {}, "--data needs a folder"}, {{"--records", ""}, {}, "--records needs a folder"},
        {{"--data"}, {}, "--data needs a value"},   {{"--frames", "3"}, {}, "unknown option '--frames'"},
        {{"--loud=yes"}, {}, "unknown option '--loud'"}, {{"-x"}, {}, "unknown option '-x'"},
        {{"--version=2"}, {}, "--version takes no value"},
        {{"saved.game"}, {}, "unexpected argument 'saved.game'"}};
    // clang-format on
    for (const auto& c : cases) {
        const Parsed p = parse(c.words);
        const std::string what = c.words.empty() ? "(none)" : c.words[0];
        if (!c.err.empty()) {
            EXPECT_EQ(
                std::tuple(p.launch, p.out, p.err),
                std::tuple(Launch::EXIT_USAGE, "", "vextile: " + c.err + "\n" + USAGE_LINE + "\n"))
                << what;
            continue;
        }
        const Launch_Options &o = p.options, &w = c.want;
        EXPECT_EQ(
            std::tuple(p.launch, p.out + p.err, o.fps, o.scale, o.fullscreen, o.data, o.records),
            std::tuple(Launch::RUN, "", w.fps, w.scale, w.fullscreen, w.data, w.records))
            << what;
    }
}

TEST(Command_Line, HelpAndVersionPrintAndEnd) {
    const Parsed version = parse({"--version", "--fps", "bad"});
    EXPECT_EQ(version.launch, Launch::EXIT_OK);
    EXPECT_EQ(version.out, "vextile 1.00\n");
    for (const char* help : {"--help", "-h"}) {
        const Parsed p = parse({help});
        EXPECT_EQ(p.launch, Launch::EXIT_OK);
        EXPECT_EQ(p.out.rfind(USAGE_LINE, 0), 0u) << p.out;
        for (const char* option :
             {"--fps N", "--scale N", "--fullscreen", "--data DIR", "--records DIR"})
            EXPECT_NE(p.out.find(option), std::string::npos) << option;
        EXPECT_TRUE(p.err.empty());
    }
}

// ---- where the media and the records are ----

void make_file(const std::string& path) {
    fs::create_directories(fs::path(path).parent_path());
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr) << path;
    std::fclose(file);
}

TEST(File_Places, TheMediaAndTheRecordsAreLookedForInOrder) {
    const Temp_Dir dir(false);
    const std::string top = dir.path();
    // A game's own folder ("game", and "nofont" whose media lack the font), a folder whose media
    // is somebody else's ("system", like the root's /media), one without media ("elsewhere"), an
    // installed tree with bin/ and one with games/ as Debian has it, and a tree without media.
    make_file(top + "/game/media/vextile_font-320.bmp");
    make_file(top + "/nofont/media/block_tex-320.bmp");
    fs::create_directories(top + "/system/media/cdrom");
    fs::create_directories(top + "/elsewhere");
    fs::create_directories(top + "/usr/share/vextile/media");
    fs::create_directories(top + "/deb/share/vextile/media");
    fs::create_directories(top + "/bare/bin");
    const std::string bin = top + "/usr/bin/vextile", games = top + "/deb/games/vextile";
    const std::string bare = top + "/bare/bin/vextile", built = "/opt/built/share/vextile/media";
    const std::string usr = top + "/usr/share/vextile/media",
                      deb = top + "/deb/share/vextile/media";
    const std::string pat = "/home/pat", home = "/home/pat/.local/share/vextile";
    struct Case {
        const char* where; // the working directory under the top
        std::string data, records, executable;
        const char* xdg;
        std::string home;
        std::string media, records_folder; // found
    } cases[] = {
        // clang-format off
        {"game", "", "", bin, nullptr, pat, "./media", ""},
        {"nofont", "", "", bin, nullptr, pat, "./media", ""},
        {"game", "", "rec", bin, nullptr, pat, "./media", "rec"},
        {"game", "/srv/m", "", bin, nullptr, pat, "/srv/m", home},
        {"elsewhere", "", "", bin, nullptr, pat, usr, home},
        {"system", "", "", bin, nullptr, pat, usr, home},
        {"elsewhere", "", "", games, nullptr, pat, deb, home},
        {"elsewhere", "", "", bare, nullptr, pat, built, home},
        {"elsewhere", "", "", "", nullptr, pat, built, home},
        {"elsewhere", "", "", bin, "/data/xdg", pat, usr, "/data/xdg/vextile"},
        {"elsewhere", "", "", bin, "", pat, usr, home},
        {"elsewhere", "", "", bin, "xdg", pat, usr, home},
        {"elsewhere", "", "/r", bin, "/data/xdg", pat, usr, "/r"},
        {"elsewhere", "", "", bin, nullptr, "", usr, ""},
        // clang-format on
    };
    for (const Case& c : cases) {
        fs::current_path(top + "/" + c.where);
        const Place_Inputs inputs = {c.data, c.records, c.executable, built, c.xdg, c.home};
        const File_Places places = find_file_places(inputs);
        const std::string what = std::string(c.where) + " exe '" + c.executable + "' xdg '" +
                                 (c.xdg ? c.xdg : "(unset)") + "'";
        EXPECT_EQ(places.media, c.media) << what;
        EXPECT_EQ(places.records, c.records_folder) << what;
    }
    fs::current_path(top);
    EXPECT_EQ(executable_path(), fs::canonical("/proc/self/exe").string());
}

// ---- records in a folder of their own ----

class Records_Folder_Test : public Game_Test {
  protected:
    void TearDown() override {
        set_records_folder("");
        Game_Test::TearDown();
    }
};

int mode_of(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

TEST_F(Records_Folder_Test, EachRecordIsSavedAndReadInTheFolderMadeOnItsFirstSave) {
    const Play_Record fresh;
    const Options_Record options = [] {
        Options_Record o;
        o.flags = 0x9;
        o.opt_special_chance = 50;
        return o;
    }();
    Score_Table scores;
    default_score_table(&scores);
    scores.rows[0].score = 123456;
    struct Record {
        const char* name;
        std::function<void()> save;
        std::function<bool()> reads_back; // from a fresh record
        const char* cant_create;
    } records[] = {
        {".vextile-options", [&] { save_options(&options); },
         [] {
             Options_Record o;
             load_options(&o);
             return o.flags == 0x9 && o.opt_special_chance == 50;
         },
         "couldn't create options file!\n"},
        {".vextile-hiscores", [&] { save_score_table(&scores); },
         [] {
             Score_Table t;
             load_score_table(&t);
             return t.rows[0].score == 123456;
         },
         "couldn't create high score file!\n"},
        {".vextile-game_info", [&] { save_saved_game(&fresh); },
         [] {
             Play_Record r;
             r.state_id = STATE_ABOUT;
             load_saved_game(&r);
             return r.state_id == STATE_NONE;
         },
         "couldn't create game_info file!\n"},
    };
    make_file(dir->file("a-file"));
    for (const Record& r : records) {
        // Made with every missing folder above it, private to the player.
        const std::string folder = dir->file(std::string("data") + r.name + "/share/vextile");
        set_records_folder(folder + "/");
        Stderr_Capture err;
        r.save();
        EXPECT_EQ(err.text(), "") << r.name;
        EXPECT_TRUE(file_exists(folder + "/" + r.name)) << r.name;
        EXPECT_FALSE(file_exists(dir->file(r.name))) << r.name << " in the working directory";
        for (const std::string& made : {folder, folder + "/..", folder + "/../.."})
            EXPECT_EQ(mode_of(made), 0700) << made;
        EXPECT_TRUE(r.reads_back()) << r.name;

        // A folder that cannot be made: the record's own message, nothing saved, the game goes on.
        set_records_folder(dir->file("a-file/vextile"));
        Stderr_Capture refused;
        r.save();
        EXPECT_EQ(refused.text(), r.cant_create) << r.name;
    }
    // The working directory stays the place when no folder is set.
    set_records_folder("");
    save_options(&options);
    EXPECT_TRUE(file_exists(dir->file(".vextile-options")));
}

} // namespace
