// The generated media measured as players meet them: the block colours with normal vision and
// with simulated colour blindness, the loudness, spectrum and edges of every sound, and the
// spacing of the font's letters. Colour science comes from Little CMS, loudness from libebur128.
#include <SDL/SDL.h>
#include <ebur128.h>
#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string media_dir = VEXTILE_MEDIA_DIR;

using Surface_Ptr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

Surface_Ptr load_picture(const std::string& name) {
    Surface_Ptr s(SDL_LoadBMP((media_dir + "/" + name).c_str()), SDL_FreeSurface);
    EXPECT_NE(s, nullptr) << name << ": " << SDL_GetError();
    return s;
}

SDL_Color pixel(const SDL_Surface* s, int x, int y) {
    const Uint8* p =
        static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    Uint32 v = 0;
    for (int i = 0; i < s->format->BytesPerPixel; ++i)
        v |= Uint32(p[i]) << (8 * i);
    SDL_Color c{};
    SDL_GetRGB(v, s->format, &c.r, &c.g, &c.b);
    return c;
}

// ---- block colours -------------------------------------------------------------------------

using Vec3 = std::array<double, 3>;
using Matrix = std::array<Vec3, 3>;

struct Vision {
    const char* name;
    Matrix m; // on linear RGB
    double min_delta_e;
};

// Machado, Oliveira and Fernandes (2009), severity 1.0.
const Vision visions[] = {
    {"normal", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}, 20},
    {"deuteranopia",
     {{{0.367322, 0.860646, -0.227968},
       {0.280085, 0.672501, 0.047413},
       {-0.011820, 0.042940, 0.968881}}},
     12},
    {"protanopia",
     {{{0.152286, 1.052583, -0.204868},
       {0.114503, 0.786281, 0.099216},
       {-0.003882, -0.048116, 1.051998}}},
     12},
    {"tritanopia",
     {{{1.255528, -0.076749, -0.178779},
       {-0.078411, 0.930809, 0.147602},
       {0.004733, 0.691367, 0.303900}}},
     12},
};

const char* const tile_names[] = {"yellow", "blue", "orange", "cyan", "red", "green", "purple"};

double linear(Uint8 v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double encoded(double l) {
    l = std::clamp(l, 0.0, 1.0);
    return l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
}

// Mean colour, in linear RGB, of the face of a tile: the square inside its rim and bevel.
Vec3 mean_face(const SDL_Surface* tex, int tile) {
    const int size = tex->h, inset = size / 8 + 1;
    Vec3 sum{};
    int n = 0;
    for (int y = inset; y < size - inset; ++y)
        for (int x = inset; x < size - inset; ++x, ++n) {
            const SDL_Color c = pixel(tex, tile * size + x, y);
            sum = {sum[0] + linear(c.r), sum[1] + linear(c.g), sum[2] + linear(c.b)};
        }
    return {sum[0] / n, sum[1] / n, sum[2] / n};
}

class Lab_Meter {
  public:
    Lab_Meter() {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile(), lab = cmsCreateLab4Profile(nullptr);
        to_lab_ = cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL,
                                     INTENT_RELATIVE_COLORIMETRIC, 0);
        cmsCloseProfile(srgb);
        cmsCloseProfile(lab);
    }
    ~Lab_Meter() { cmsDeleteTransform(to_lab_); }

    cmsCIELab lab(const Vec3& lin, const Matrix& m) const {
        double rgb[3];
        for (int i = 0; i < 3; ++i)
            rgb[i] = encoded(m[i][0] * lin[0] + m[i][1] * lin[1] + m[i][2] * lin[2]);
        cmsCIELab out;
        cmsDoTransform(to_lab_, rgb, &out, 1);
        return out;
    }

  private:
    cmsHTRANSFORM to_lab_;
};

TEST(Block_Colours, EveryPairOfOrdinaryTilesStaysApartForEveryVision) {
    const Surface_Ptr tex = load_picture("block_tex-320.bmp");
    ASSERT_NE(tex, nullptr);
    const Lab_Meter meter;
    for (const Vision& v : visions) {
        double closest = 1e9;
        std::string pair;
        for (int a = 0; a < 7; ++a)
            for (int b = a + 1; b < 7; ++b) {
                cmsCIELab la = meter.lab(mean_face(tex.get(), a), v.m);
                cmsCIELab lb = meter.lab(mean_face(tex.get(), b), v.m);
                const double de = cmsCIE2000DeltaE(&la, &lb, 1, 1, 1);
                if (de < closest) {
                    closest = de;
                    pair = std::string(tile_names[a]) + " and " + tile_names[b];
                }
            }
        std::printf("%-13s closest pair %-18s delta E %.1f\n", v.name, pair.c_str(), closest);
        EXPECT_GE(closest, v.min_delta_e) << v.name << ": " << pair;
    }
}

// ---- sounds --------------------------------------------------------------------------------

enum Role { reward, effect, cue };

struct Sound_Case {
    const char* file;
    Role role;
    bool sharp_onset;      // meant to start as a transient, without a fade-in
    double min_high_share; // of the energy above 250 Hz
};

const Sound_Case sounds[] = {
    {"block_hit.wav", cue, false, 0.4}, {"ui_click.wav", cue, true, 0},
    {"miss.wav", cue, false, 0},        {"killrow.wav", reward, false, 0},
    {"killblox.wav", effect, false, 0}, {"new_level.wav", reward, false, 0},
    {"quake.wav", effect, false, 0.4},  {"ice_break.wav", effect, false, 0},
    {"fire.wav", effect, false, 0},     {"demonic.wav", effect, false, 0},
    {"lightning.wav", effect, true, 0},
};

struct Sound {
    int rate = 0;
    std::vector<double> x; // full scale is 1
};

Sound load_sound(const std::string& name) {
    SDL_AudioSpec spec;
    Uint8* buf = nullptr;
    Uint32 len = 0;
    Sound s;
    if (!SDL_LoadWAV((media_dir + "/" + name).c_str(), &spec, &buf, &len)) {
        ADD_FAILURE() << name << ": " << SDL_GetError();
        return s;
    }
    EXPECT_EQ(spec.format, AUDIO_S16LSB) << name;
    EXPECT_EQ(spec.channels, 1) << name;
    s.rate = spec.freq;
    const Sint16* v = reinterpret_cast<const Sint16*>(buf);
    for (Uint32 i = 0; i < len / 2; ++i)
        s.x.push_back(v[i] / 32768.0);
    SDL_FreeWAV(buf);
    return s;
}

// K-weighted loudness of the loudest 100 ms window, the sound set in silence; and its true peak.
struct Loudness {
    double lufs;
    double true_peak;
};

Loudness measure_loudness(const Sound& s) {
    ebur128_state* st = ebur128_init(1, s.rate, EBUR128_MODE_M | EBUR128_MODE_TRUE_PEAK);
    std::vector<double> padded(s.rate / 10, 0.0);
    padded.insert(padded.end(), s.x.begin(), s.x.end());
    padded.resize(padded.size() + s.rate / 10, 0.0);
    Loudness out{-HUGE_VAL, 0};
    const size_t hop = s.rate / 1000;
    for (size_t i = 0; i + hop <= padded.size(); i += hop) {
        ebur128_add_frames_double(st, &padded[i], hop);
        double l;
        if (ebur128_loudness_window(st, 100, &l) == EBUR128_SUCCESS)
            out.lufs = std::max(out.lufs, l);
    }
    ebur128_true_peak(st, 0, &out.true_peak);
    ebur128_destroy(&st);
    return out;
}

// Share of the sound's energy above the frequency: the whole less what its spectrum holds below,
// summed in steps of 1 Hz (Parseval).
double energy_share_above(const Sound& s, double hz) {
    double total = 0, below = 0;
    for (const double v : s.x)
        total += v * v;
    for (double f = 0.5; f < hz; f += 1) {
        const std::complex<double> turn = std::polar(1.0, -2 * M_PI * f / s.rate);
        std::complex<double> bin, phase = 1;
        for (const double v : s.x) {
            bin += v * phase;
            phase *= turn;
        }
        below += 2 * std::norm(bin) / s.rate;
    }
    return 1 - below / total;
}

double rms(const std::vector<double>& x, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += x[i] * x[i];
    return std::sqrt(sum / double(to - from));
}

class Sound_Set : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        for (const Sound_Case& c : sounds) {
            loaded.push_back(load_sound(c.file));
            loudness.push_back(loaded.back().x.empty() ? Loudness{-HUGE_VAL, 0}
                                                       : measure_loudness(loaded.back()));
        }
    }
    static size_t index_of(const std::string& file) {
        for (size_t i = 0; i < std::size(sounds); ++i)
            if (file == sounds[i].file) return i;
        return 0;
    }
    static inline std::vector<Sound> loaded;
    static inline std::vector<Loudness> loudness;
};

TEST_F(Sound_Set, LoudnessFitsEachRoleAndTheWholeSetStaysWithinEightLu) {
    // By role: rewards, effects, and cues, which only the spread of the set holds.
    const double range[][2] = {{-14, -9}, {-15, -11}, {-HUGE_VAL, 0}};
    double loudest = -HUGE_VAL, quietest = HUGE_VAL;
    for (size_t i = 0; i < std::size(sounds); ++i) {
        const double l = loudness[i].lufs;
        std::printf("%-14s %6.1f LUFS  true peak %5.1f dBTP\n", sounds[i].file, l,
                    20 * std::log10(loudness[i].true_peak));
        EXPECT_GE(l, range[sounds[i].role][0]) << sounds[i].file;
        EXPECT_LE(l, range[sounds[i].role][1]) << sounds[i].file;
        loudest = std::max(loudest, l);
        quietest = std::min(quietest, l);
    }
    std::printf("spread %.1f LU\n", loudest - quietest);
    EXPECT_LE(loudest - quietest, 8.0);
}

// A refused move must not sound like a reward: quieter than the row clear, and dying away.
TEST_F(Sound_Set, TheMissSitsUnderTheRowClearAndDecays) {
    EXPECT_LE(loudness[index_of("miss.wav")].lufs, loudness[index_of("killrow.wav")].lufs - 3);
    const std::vector<double>& x = loaded[index_of("miss.wav")].x;
    ASSERT_GT(x.size(), 300u);
    const size_t third = x.size() / 3;
    const double first = rms(x, 0, third), middle = rms(x, third, 2 * third),
                 last = rms(x, 2 * third, x.size());
    EXPECT_LT(middle, first * 0.9);
    EXPECT_LT(last, middle * 0.9);
}

TEST_F(Sound_Set, PhysicalSoundsCarryOnSmallSpeakers) {
    for (size_t i = 0; i < std::size(sounds); ++i) {
        if (sounds[i].min_high_share == 0) continue;
        const double share = energy_share_above(loaded[i], 250);
        std::printf("%-14s %.0f%% of the energy above 250 Hz\n", sounds[i].file, 100 * share);
        EXPECT_GE(share, sounds[i].min_high_share) << sounds[i].file;
    }
}

// No clipping, no DC offset, silent ends, and a fade-in of at least a millisecond unless the sound
// is meant to strike at once.
TEST_F(Sound_Set, EverySoundIsCleanAtItsEdges) {
    for (size_t i = 0; i < std::size(sounds); ++i) {
        SCOPED_TRACE(sounds[i].file);
        const Sound& s = loaded[i];
        ASSERT_GT(s.x.size(), size_t(s.rate / 100));
        double peak = 0, sum = 0;
        for (const double v : s.x) {
            peak = std::max(peak, std::fabs(v));
            sum += v;
        }
        EXPECT_LT(loudness[i].true_peak, 1.0) << "clipped";
        EXPECT_LT(std::fabs(sum / s.x.size()), 1e-4) << "DC offset";
        EXPECT_LT(std::fabs(s.x.back()), 1e-3) << "the end clicks";
        if (sounds[i].sharp_onset) continue;
        const int ramp = s.rate / 1000;
        for (int k = 0; k < ramp; ++k)
            EXPECT_LE(std::fabs(s.x[k]), peak * k / ramp + 1e-4) << "sample " << k;
    }
}

// ---- font ----------------------------------------------------------------------------------

struct Glyph {
    int x, w;
    int left = 0, right = 0; // empty columns before and after the light letter
};

std::vector<Glyph> font_glyphs(const SDL_Surface* font) {
    std::vector<Glyph> glyphs;
    for (int x = 0; x <= font->w; ++x) {
        const bool gap = x == font->w || (pixel(font, x, 0).r == 255 && pixel(font, x, 0).g == 0 &&
                                          pixel(font, x, 0).b == 255);
        if (!gap && (glyphs.empty() || glyphs.back().x + glyphs.back().w < x))
            glyphs.push_back({x, 0});
        if (!gap) ++glyphs.back().w;
    }
    for (Glyph& g : glyphs) {
        std::vector<bool> lit(size_t(g.w), false);
        for (int y = 1; y < font->h; ++y)
            for (int i = 0; i < g.w; ++i) {
                const SDL_Color c = pixel(font, g.x + i, y);
                if (c.r + c.g + c.b > 3 * 128) lit[size_t(i)] = true;
            }
        while (g.left < g.w && !lit[size_t(g.left)])
            ++g.left;
        while (g.right < g.w && !lit[size_t(g.w - 1 - g.right)])
            ++g.right;
    }
    return glyphs;
}

std::vector<Glyph> load_font_glyphs() {
    const Surface_Ptr font = load_picture("vextile_font-320.bmp");
    std::vector<Glyph> glyphs = font ? font_glyphs(font.get()) : std::vector<Glyph>{};
    EXPECT_EQ(glyphs.size(), 94u);
    return glyphs;
}

// Every layout of the game is computed from these widths, '!' to '~', one digit per glyph with
// ':' for 10 and ';' for 11.
const std::string glyph_widths = "4597;93447855458888888888458887:9788779846879897987889;"
                                 "998556774877886873473:787867678:8876368";

TEST(Font, GlyphWidthsStayAndDigitsShareOneWidth) {
    const std::vector<Glyph> glyphs = load_font_glyphs();
    ASSERT_EQ(glyphs.size(), 94u);
    for (size_t i = 0; i < glyphs.size(); ++i)
        EXPECT_EQ(glyphs[i].w, glyph_widths[i] - '0') << char('!' + i);
    for (char d = '1'; d <= '9'; ++d)
        EXPECT_EQ(glyphs[size_t(d - '!')].w, glyphs['0' - '!'].w) << d;
}

// The space a letter brings between its neighbours (its two side bearings) is the same for every
// lower-case letter give or take a pixel, and split evenly between its sides.
TEST(Font, LowerCaseLettersAreSpacedEvenly) {
    const std::vector<Glyph> glyphs = load_font_glyphs();
    ASSERT_EQ(glyphs.size(), 94u);
    const auto letter = [&](char c) { return glyphs[size_t(c - '!')]; };
    std::vector<int> spacing;
    for (char c = 'a'; c <= 'z'; ++c)
        spacing.push_back(letter(c).left + letter(c).right);
    std::nth_element(spacing.begin(), spacing.begin() + spacing.size() / 2, spacing.end());
    const int typical = spacing[spacing.size() / 2];
    for (char c = 'a'; c <= 'z'; ++c) {
        EXPECT_LE(std::abs(letter(c).left + letter(c).right - typical), 1) << c;
        EXPECT_LE(std::abs(letter(c).left - letter(c).right), 1) << c;
    }
}

} // namespace
