// The generated media measured as players meet them: the block colours with normal vision and
// with simulated colour blindness, the loudness and the edges of every sound. (The golden pictures
// hold their looks.) Colour science comes from Little CMS, loudness from libebur128.
#include <SDL/SDL.h>
#include <ebur128.h>
#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string media_dir = VEXTILE_MEDIA_DIR;

using Vec3 = std::array<double, 3>;

double linear(Uint8 v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double encoded(double l) {
    l = std::clamp(l, 0.0, 1.0);
    return l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
}

// Mean colour, in linear RGB, of the face of a tile: the square inside its rim and bevel.
Vec3 mean_face(SDL_Surface* tex, int tile) {
    const int size = tex->h, inset = size / 8 + 1;
    Vec3 sum{};
    int n = 0;
    for (int y = inset; y < size - inset; ++y)
        for (int x = inset; x < size - inset; ++x, ++n) {
            const Uint8* p = static_cast<const Uint8*>(tex->pixels) + y * tex->pitch +
                             (tile * size + x) * tex->format->BytesPerPixel;
            Uint32 v = 0;
            for (int i = 0; i < tex->format->BytesPerPixel; ++i)
                v |= Uint32(p[i]) << (8 * i);
            SDL_Color c{};
            SDL_GetRGB(v, tex->format, &c.r, &c.g, &c.b);
            sum = {sum[0] + linear(c.r), sum[1] + linear(c.g), sum[2] + linear(c.b)};
        }
    return {sum[0] / n, sum[1] / n, sum[2] / n};
}

// Every pair of the seven colours stays apart by at least the smallest CIEDE2000 difference given,
// with normal vision and with the three colour blindnesses simulated (Machado, Oliveira and
// Fernandes 2009, severity 1.0, on linear RGB).
TEST(Block_Colours, EveryPairOfOrdinaryTilesStaysApartForEveryVision) {
    // clang-format off
    const struct { const char* name; double m[3][3]; double min_delta_e; } visions[] = {
        {"normal", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, 20},
        {"deuteranopia", {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413},
                          {-0.011820, 0.042940, 0.968881}}, 12},
        {"protanopia", {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216},
                        {-0.003882, -0.048116, 1.051998}}, 12},
        {"tritanopia", {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602},
                        {0.004733, 0.691367, 0.303900}}, 12}};
    // clang-format on
    SDL_Surface* const tex = SDL_LoadBMP((media_dir + "/block_tex-320.bmp").c_str());
    ASSERT_NE(tex, nullptr) << SDL_GetError();
    cmsHPROFILE srgb = cmsCreate_sRGBProfile(), lab = cmsCreateLab4Profile(nullptr);
    const cmsHTRANSFORM to_lab =
        cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    for (const auto& v : visions) {
        std::vector<cmsCIELab> tiles(7);
        for (int t = 0; t < 7; ++t) {
            const Vec3 lin = mean_face(tex, t);
            double rgb[3];
            for (int i = 0; i < 3; ++i)
                rgb[i] = encoded(v.m[i][0] * lin[0] + v.m[i][1] * lin[1] + v.m[i][2] * lin[2]);
            cmsDoTransform(to_lab, rgb, &tiles[t], 1);
        }
        for (int a = 0; a < 7; ++a)
            for (int b = a + 1; b < 7; ++b)
                EXPECT_GE(cmsCIE2000DeltaE(&tiles[a], &tiles[b], 1, 1, 1), v.min_delta_e)
                    << v.name << ": tiles " << a << " and " << b;
    }
    cmsDeleteTransform(to_lab);
    cmsCloseProfile(srgb);
    cmsCloseProfile(lab);
    SDL_FreeSurface(tex);
}

// Each sound, 16-bit mono, measured set in silence: the K-weighted loudness of its loudest 100 ms
// fits its role (rewards -14 to -9 LUFS, effects -15 to -11, cues only the spread of the set, which
// stays within 8 LU); it does not clip, has no DC offset, ends silent, and fades in over at least a
// millisecond unless it is meant to strike at once.
TEST(Sounds, LoudnessFitsEachRoleAndEverySoundIsCleanAtItsEdges) {
    enum Role { reward, effect, cue };
    const double range[][2] = {{-14, -9}, {-15, -11}, {-HUGE_VAL, 0}};
    // clang-format off
    const struct { const char* file; Role role; bool sharp_onset; } sounds[] = {
        {"block_hit.wav", cue, false},  {"ui_click.wav", cue, true},     {"miss.wav", cue, false},
        {"killrow.wav", reward, false}, {"killblox.wav", effect, false},
        {"new_level.wav", reward, false}, {"quake.wav", effect, false},
        {"ice_break.wav", effect, false}, {"fire.wav", effect, false},
        {"demonic.wav", effect, false}, {"lightning.wav", effect, true}};
    // clang-format on
    double loudest = -HUGE_VAL, quietest = HUGE_VAL;
    for (const auto& sound : sounds) {
        SCOPED_TRACE(sound.file);
        SDL_AudioSpec audio;
        Uint8* buf = nullptr;
        Uint32 len = 0;
        ASSERT_TRUE(SDL_LoadWAV((media_dir + "/" + sound.file).c_str(), &audio, &buf, &len));
        EXPECT_TRUE(audio.format == AUDIO_S16LSB && audio.channels == 1);
        const size_t pad = size_t(audio.freq) / 10, hop = size_t(audio.freq) / 1000;
        std::vector<double> x(pad, 0.0);
        for (Uint32 i = 0; i < len / 2; ++i)
            x.push_back(reinterpret_cast<const Sint16*>(buf)[i] / 32768.0);
        SDL_FreeWAV(buf);
        const size_t end = x.size();
        x.resize(end + pad, 0.0);
        ebur128_state* st =
            ebur128_init(1, unsigned(audio.freq), EBUR128_MODE_M | EBUR128_MODE_TRUE_PEAK);
        double lufs = -HUGE_VAL, true_peak = 0, peak = 0, sum = 0;
        for (size_t i = 0; i + hop <= x.size(); i += hop) {
            ebur128_add_frames_double(st, &x[i], hop);
            double l;
            if (ebur128_loudness_window(st, 100, &l) == EBUR128_SUCCESS) lufs = std::max(lufs, l);
        }
        ebur128_true_peak(st, 0, &true_peak);
        ebur128_destroy(&st);
        EXPECT_TRUE(lufs >= range[sound.role][0] && lufs <= range[sound.role][1]) << lufs;
        loudest = std::max(loudest, lufs);
        quietest = std::min(quietest, lufs);
        for (size_t i = pad; i < end; ++i)
            peak = std::max(peak, std::fabs(x[i])), sum += x[i];
        EXPECT_LT(true_peak, 1.0) << "clipped";
        EXPECT_LT(std::fabs(sum / double(end - pad)), 1e-4) << "DC offset";
        EXPECT_LT(std::fabs(x[end - 1]), 1e-3) << "the end clicks";
        for (size_t k = 0; !sound.sharp_onset && k < hop; ++k)
            EXPECT_LE(std::fabs(x[pad + k]), peak * double(k) / double(hop) + 1e-4) << k;
    }
    EXPECT_LE(loudest - quietest, 8.0);
}

} // namespace
