// The game's sound effects, each synthesised from oscillators, filtered noise and envelopes.
#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "sound.h"

namespace {

// 0 before `from`, rising smoothly to 1 at `to`.
float smoothEnd(float t, float from, float to) {
    const float u = std::min(1.0f, std::max(0.0f, (t - from) / (to - from)));
    return u * u * (3.0f - 2.0f * u);
}

// A piece lands: a soft wooden knock. Its body sits at 180 to 350 Hz and the knock near 1 kHz, so
// it still lands on a small speaker that has no bass.
Samples blockHit() {
    Samples s(static_cast<size_t>(sampleCount(0.1f)));
    Rng rng(11);
    Osc body;
    Osc overtone;
    Biquad knock = Biquad::bandpass(1000.0f, 2.0f);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        const float hz = 190.0f + 150.0f * std::exp(-t / 0.015f);
        const float env = attackDecay(t, 0.0015f, 0.026f);
        const float thump = body.sine(hz) * env + overtone.sine(hz * 2.3f) * env * env * 0.35f;
        const float click = knock.process(rng.signedUnit()) * expDecay(t, 0.006f);
        s[i] = thump + click * 1.4f;
    }
    addPing(s, 0.0f, 1150.0f, 0.12f, 0.008f);
    finish(s, 0.85f, 1.5f, 15.0f);
    return s;
}

// A piece turns: a short, crisp tick.
Samples uiClick() {
    Samples s(static_cast<size_t>(sampleCount(0.05f)));
    Rng rng(12);
    Biquad band = Biquad::bandpass(3800.0f, 3.0f);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        s[i] = band.process(rng.signedUnit()) * expDecay(t, 0.004f) * 2.0f;
    }
    addPing(s, 0.0f, 2400.0f, 0.35f, 0.006f);
    addPing(s, 0.0f, 5200.0f, 0.12f, 0.003f);
    finish(s, 0.88f, 0.3f, 8.0f);
    return s;
}

// A refused move: a dull low buzz with a slight downward bend, dying away at once.
Samples miss() {
    Samples s(static_cast<size_t>(sampleCount(0.15f)));
    Osc a;
    Osc b;
    Biquad lp = Biquad::lowpass(700.0f, 0.9f);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        const float hz = 118.0f - 30.0f * t;
        const float env = attackDecay(t, 0.006f, 0.05f);
        s[i] = lp.process(a.square(hz) * 0.6f + b.saw(hz * 1.013f) * 0.5f) * env;
    }
    finish(s, 0.57f, 1.5f, 25.0f);
    return s;
}

// Rows cleared: a bright zap that sweeps upward through a resonant filter.
Samples killRow() {
    Samples s(static_cast<size_t>(sampleCount(0.22f)));
    Osc saw;
    Osc sub;
    Osc lfo;
    Biquad res;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        const float u = t / 0.22f;
        const float hz = 330.0f * std::pow(5.0f, u);
        res.setBandpass(hz * 2.5f, 4.0f);
        const float wobble = 1.0f + 0.02f * lfo.sine(38.0f);
        const float tone = saw.saw(hz * wobble) + 0.5f * sub.square(hz * 0.5f);
        const float env = attackDecay(t, 0.005f, 0.12f) * (1.0f - smoothEnd(t, 0.16f, 0.22f));
        s[i] = (res.process(tone) * 2.2f + tone * 0.15f) * env;
    }
    addReverb(s, 0.25f, 0.3f, 0.06f);
    saturate(s, 1.6f);
    finish(s, 0.78f, 1.5f, 20.0f);
    return s;
}

// A flare used: glittering pings over an airy shimmer.
Samples killBlox() {
    Samples s(static_cast<size_t>(sampleCount(0.26f)));
    Rng rng(15);
    Biquad air = Biquad::highpass(6000.0f, 0.7f);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        s[i] = air.process(rng.signedUnit()) * attackDecay(t, 0.02f, 0.07f) * 0.35f;
    }
    const float notes[] = {2093.0f, 2637.0f, 3136.0f, 3520.0f, 4186.0f, 5274.0f};
    for (int k = 0; k < 14; ++k) {
        const float start = 0.012f * k + rng.range(0.0f, 0.01f);
        const float hz = notes[static_cast<int>(rng.uniform() * 6.0f) % 6];
        addPing(s, start, hz, 0.5f - 0.025f * k, 0.035f);
        addPing(s, start, hz * 2.01f, 0.12f, 0.015f);
    }
    addReverb(s, 0.35f, 0.5f, 0.05f);
    finish(s, 0.46f, 1.5f, 30.0f);
    return s;
}

// A new level: a bright bell arpeggio climbing a major chord.
Samples newLevel() {
    Samples s(static_cast<size_t>(sampleCount(0.6f)));
    const float notes[] = {523.25f, 659.25f, 783.99f, 1046.5f};
    for (int n = 0; n < 4; ++n) {
        const float start = 0.075f * n;
        const int first = sampleCount(start);
        const float hz = notes[n];
        const float tau = n == 3 ? 0.16f : 0.09f;
        for (size_t i = static_cast<size_t>(first); i < s.size(); ++i) {
            const float t = timeOf(static_cast<int>(i) - first);
            const float index = 2.2f * std::exp(-t / 0.05f);
            const float mod = std::sin(kTwoPi * hz * 2.0f * t) * index;
            const float env = attackDecay(t, 0.003f, tau);
            s[i] += (std::sin(kTwoPi * hz * t + mod) + 0.25f * std::sin(kTwoPi * hz * 3.0f * t)) *
                    env * 0.4f;
        }
    }
    addReverb(s, 0.35f, 0.6f, 0.0f);
    finish(s, 0.73f, 1.5f, 60.0f);
    return s;
}

// The earth block: a deep rumble that swells, shakes and settles, with rubble grinding in the mid
// band over it, so the quake still reads on small speakers.
Samples quake() {
    Samples s(static_cast<size_t>(sampleCount(1.4f)));
    Rng rng(17);
    OnePole brown(90.0f);
    OnePole brown2(40.0f);
    Biquad body = Biquad::lowpass(160.0f, 1.2f);
    Biquad grit = Biquad::bandpass(520.0f, 1.1f);
    Biquad stones = Biquad::bandpass(1200.0f, 1.6f);
    Biquad gravel = Biquad::bandpass(380.0f, 1.5f);
    Osc low;
    OnePole shakeSmooth(12.0f);
    float grain = 0.0f;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        const float env = std::min(1.0f, t / 0.12f) * std::exp(-std::max(0.0f, t - 0.5f) / 0.35f);
        const float shake = 0.6f + 0.8f * std::fabs(shakeSmooth.lowpass(rng.signedUnit() * 4.0f));
        const float noise = body.process(brown.lowpass(rng.signedUnit()) * 3.0f +
                                         brown2.lowpass(rng.signedUnit()) * 4.0f);
        const float tone = low.sine(42.0f - 8.0f * t) * 0.35f;
        // Rubble: short grains of grit, thicker while the ground shakes hardest.
        if (rng.uniform() < 0.009f * shake * shake) grain = rng.range(0.4f, 1.0f);
        grain *= 0.988f;
        const float n = rng.signedUnit();
        const float rubble = (grit.process(n) * 1.2f + stones.process(n) * 0.8f) * grain * 3.8f +
                             gravel.process(rng.signedUnit()) * shake * 0.8f;
        s[i] = (noise * shake + tone + rubble) * env;
    }
    saturate(s, 1.8f);
    finish(s, 0.8f, 1.5f, 60.0f);
    return s;
}

// The ice block: a crack, then a shower of glass shards.
Samples iceBreak() {
    Samples s(static_cast<size_t>(sampleCount(0.45f)));
    Rng rng(19);
    Biquad hp = Biquad::highpass(2500.0f, 0.7f);
    Biquad crackBand = Biquad::bandpass(1800.0f, 1.2f);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        const float n = rng.signedUnit();
        const float crack = crackBand.process(n) * expDecay(t, 0.012f) * 2.5f;
        const float hiss = hp.process(n) * attackDecay(t, 0.003f, 0.09f) * 0.4f;
        s[i] = crack + hiss;
    }
    // Shards: inharmonic glassy pings, dense at first and thinning out.
    for (int k = 0; k < 46; ++k) {
        const float u = rng.uniform();
        const float start = 0.005f + 0.33f * u * u;
        const float hz = rng.range(2600.0f, 7800.0f);
        const float amp = (0.45f - 0.6f * start) * rng.range(0.4f, 1.0f);
        addPing(s, start, hz, amp, rng.range(0.008f, 0.03f));
        addPing(s, start, hz * 1.47f, amp * 0.4f, 0.01f);
    }
    addReverb(s, 0.3f, 0.5f, 0.05f);
    finish(s, 0.7f, 1.5f, 30.0f);
    return s;
}

// The fire block: a whoosh of air swelling through a sweeping filter, and crackling embers.
Samples fire() {
    Samples s(static_cast<size_t>(sampleCount(1.4f)));
    Rng rng(23);
    Biquad sweep;
    Biquad body = Biquad::lowpass(500.0f, 0.7f);
    Biquad crackTone = Biquad::bandpass(2400.0f, 1.0f);
    float crack = 0.0f;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        const float centre =
            350.0f + 1400.0f * std::sin(kPi * std::min(1.0f, t / 0.9f)) + 200.0f * t;
        sweep.setBandpass(centre, 1.4f);
        const float n = rng.signedUnit();
        const float swell = std::sin(kPi * std::min(1.0f, t / 1.3f));
        const float whoosh = sweep.process(n) * swell * 1.4f + body.process(n) * swell * 0.5f;
        // Embers pop at random, more often in the middle of the burn.
        if (rng.uniform() < 0.0016f * (0.4f + swell)) crack = rng.range(0.5f, 1.0f);
        crack *= 0.985f;
        const float pop =
            crackTone.process(rng.signedUnit() * crack) * 2.2f * (0.3f + 0.7f * swell);
        s[i] = whoosh + pop;
    }
    finish(s, 0.76f, 1.5f, 80.0f);
    return s;
}

// Fourteen blocks burn at once: a low, rough growl.
Samples demonic() {
    Samples s(static_cast<size_t>(sampleCount(1.0f)));
    Rng rng(29);
    Osc a;
    Osc b;
    Osc c;
    OnePole rough(30.0f);
    Biquad f1 = Biquad::bandpass(420.0f, 3.0f);
    Biquad f2 = Biquad::bandpass(760.0f, 4.0f);
    Biquad f3 = Biquad::lowpass(1200.0f, 0.7f);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        // The pitch sags and wanders.
        const float jitter = rough.lowpass(rng.signedUnit());
        const float hz = 62.0f - 14.0f * t + 10.0f * jitter;
        const float src = a.saw(hz) + 0.7f * b.saw(hz * 0.5f * 1.01f) + 0.4f * c.square(hz * 1.5f);
        const float flutter = 0.65f + 0.35f * std::sin(kTwoPi * 23.0f * t + 3.0f * jitter);
        const float voiced =
            f1.process(src) * 1.6f + f2.process(src) * 0.9f + f3.process(src) * 0.3f;
        const float env =
            std::min(1.0f, t / 0.08f) * (t > 0.7f ? std::exp(-(t - 0.7f) / 0.12f) : 1.0f);
        s[i] = std::tanh(voiced * flutter * 2.0f) * env;
    }
    addReverb(s, 0.25f, 0.7f, 0.0f);
    finish(s, 0.82f, 1.5f, 60.0f);
    return s;
}

// The lightning block: a sharp crack with a rolling thunder tail.
Samples lightning() {
    Samples s(static_cast<size_t>(sampleCount(0.8f)));
    Rng rng(31);
    Biquad crackHp = Biquad::highpass(900.0f, 0.7f);
    OnePole rumble(180.0f);
    OnePole rumble2(70.0f);
    OnePole rollSmooth(9.0f);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        const float n = rng.signedUnit();
        const float crack =
            crackHp.process(n) *
            (expDecay(t, 0.018f) + 0.5f * expDecay(t - 0.035f, 0.02f) * (t > 0.035f ? 1.0f : 0.0f));
        const float roll = 0.5f + std::fabs(rollSmooth.lowpass(rng.signedUnit() * 5.0f));
        const float tail = (rumble.lowpass(n) * 2.5f + rumble2.lowpass(n) * 4.0f) * roll *
                           attackDecay(t, 0.03f, 0.28f);
        s[i] = crack * 1.1f + tail * 1.4f;
    }
    addReverb(s, 0.3f, 0.6f, 0.0f);
    // Distance: the highs die away first.
    Biquad dull;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        dull.setLowpass(400.0f + 9000.0f * std::exp(-t / 0.07f), 0.7f);
        s[i] = dull.process(s[i]);
    }
    finish(s, 0.88f, 0.5f, 80.0f);
    return s;
}

} // namespace

void writeSounds(const std::string& dir) {
    const std::pair<const char*, std::function<Samples()>> sounds[] = {
        {"block_hit.wav", blockHit}, {"ui_click.wav", uiClick},    {"miss.wav", miss},
        {"killrow.wav", killRow},    {"killblox.wav", killBlox},   {"new_level.wav", newLevel},
        {"quake.wav", quake},        {"ice_break.wav", iceBreak},  {"fire.wav", fire},
        {"demonic.wav", demonic},    {"lightning.wav", lightning},
    };
    for (const auto& [name, make] : sounds)
        writeWav(dir + "/" + name, make());
}
