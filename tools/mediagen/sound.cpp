#include "sound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>

int sampleCount(float seconds) {
    return static_cast<int>(std::lround(seconds * kRate));
}

float expDecay(float t, float tau) {
    return t < 0.0f ? 0.0f : std::exp(-t / tau);
}

float attackDecay(float t, float attack, float tau) {
    if (t < 0.0f) return 0.0f;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

// ---- oscillators ----------------------------------------------------------------------------

float Osc::step(float hz) {
    const float p = phase_;
    phase_ += hz / kRate;
    phase_ -= std::floor(phase_);
    return p;
}

// PolyBLEP correction that rounds off the jump of a saw or square.
static float blep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

float Osc::sine(float hz) {
    return std::sin(kTwoPi * step(hz));
}

float Osc::saw(float hz) {
    const float dt = hz / kRate;
    const float p = step(hz);
    return 2.0f * p - 1.0f - blep(p, dt);
}

float Osc::square(float hz) {
    const float dt = hz / kRate;
    const float p = step(hz);
    float v = p < 0.5f ? 1.0f : -1.0f;
    v += blep(p, dt);
    float q = p + 0.5f;
    q -= std::floor(q);
    return v - blep(q, dt);
}

float Osc::triangle(float hz) {
    const float p = step(hz);
    return 4.0f * std::fabs(p - 0.5f) - 1.0f;
}

// ---- filters --------------------------------------------------------------------------------

Biquad Biquad::lowpass(float hz, float q) {
    Biquad b;
    b.setLowpass(hz, q);
    return b;
}

Biquad Biquad::highpass(float hz, float q) {
    Biquad b;
    const float w = kTwoPi * std::min(hz, kRate * 0.45f) / kRate;
    const float alpha = std::sin(w) / (2.0f * q);
    const float cw = std::cos(w);
    const float a0 = 1.0f + alpha;
    b.b0_ = (1.0f + cw) / 2.0f / a0;
    b.b1_ = -(1.0f + cw) / a0;
    b.b2_ = b.b0_;
    b.a1_ = -2.0f * cw / a0;
    b.a2_ = (1.0f - alpha) / a0;
    return b;
}

Biquad Biquad::bandpass(float hz, float q) {
    Biquad b;
    b.setBandpass(hz, q);
    return b;
}

void Biquad::setLowpass(float hz, float q) {
    const float w = kTwoPi * std::min(hz, kRate * 0.45f) / kRate;
    const float alpha = std::sin(w) / (2.0f * q);
    const float cw = std::cos(w);
    const float a0 = 1.0f + alpha;
    b0_ = (1.0f - cw) / 2.0f / a0;
    b1_ = (1.0f - cw) / a0;
    b2_ = b0_;
    a1_ = -2.0f * cw / a0;
    a2_ = (1.0f - alpha) / a0;
}

void Biquad::setBandpass(float hz, float q) {
    const float w = kTwoPi * std::min(hz, kRate * 0.45f) / kRate;
    const float alpha = std::sin(w) / (2.0f * q);
    const float cw = std::cos(w);
    const float a0 = 1.0f + alpha;
    b0_ = alpha / a0;
    b1_ = 0.0f;
    b2_ = -alpha / a0;
    a1_ = -2.0f * cw / a0;
    a2_ = (1.0f - alpha) / a0;
}

float Biquad::process(float x) {
    const float y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

OnePole::OnePole(float hz) : k_(1.0f - std::exp(-kTwoPi * hz / kRate)) {}

float OnePole::lowpass(float x) {
    y_ += k_ * (x - y_);
    return y_;
}

// ---- building blocks ------------------------------------------------------------------------

void addPing(Samples& s, float start, float hz, float amp, float tau) {
    const int first = sampleCount(start);
    const int len = std::min(static_cast<int>(s.size()) - first, sampleCount(tau * 7.0f));
    for (int i = 0; i < len; ++i) {
        const float t = timeOf(i);
        // A two-sample rise keeps the onset from clicking.
        const float rise = std::min(1.0f, i / 12.0f);
        s[static_cast<size_t>(first + i)] +=
            amp * rise * std::exp(-t / tau) * std::sin(kTwoPi * hz * t);
    }
}

namespace {

class Comb {
  public:
    Comb(int delay, float feedback, float damp)
        : buf_(static_cast<size_t>(delay)), fb_(feedback), damp_(damp) {}
    float process(float x) {
        const float y = buf_[pos_];
        store_ = y * (1.0f - damp_) + store_ * damp_;
        buf_[pos_] = x + store_ * fb_;
        pos_ = (pos_ + 1) % buf_.size();
        return y;
    }

  private:
    std::vector<float> buf_;
    size_t pos_ = 0;
    float fb_;
    float damp_;
    float store_ = 0.0f;
};

class Allpass {
  public:
    explicit Allpass(int delay) : buf_(static_cast<size_t>(delay)) {}
    float process(float x) {
        const float b = buf_[pos_];
        const float y = b - x;
        buf_[pos_] = x + b * 0.5f;
        pos_ = (pos_ + 1) % buf_.size();
        return y;
    }

  private:
    std::vector<float> buf_;
    size_t pos_ = 0;
};

} // namespace

void addReverb(Samples& s, float wet, float roomSize, float tail) {
    s.resize(s.size() + static_cast<size_t>(sampleCount(tail)), 0.0f);
    const float fb = 0.7f + 0.28f * roomSize;
    Comb combs[] = {Comb(778, fb, 0.3f), Comb(808, fb, 0.3f), Comb(745, fb, 0.3f),
                    Comb(711, fb, 0.3f), Comb(677, fb, 0.3f), Comb(617, fb, 0.3f)};
    Allpass allpasses[] = {Allpass(278), Allpass(112)};
    for (float& x : s) {
        float y = 0.0f;
        for (Comb& c : combs)
            y += c.process(x * 0.15f);
        for (Allpass& a : allpasses)
            y = a.process(y);
        x += y * wet;
    }
}

void saturate(Samples& s, float drive) {
    float maxAbs = 0.0f;
    for (const float x : s)
        maxAbs = std::max(maxAbs, std::fabs(x));
    if (maxAbs <= 0.0f) return;
    for (float& x : s)
        x = std::tanh(drive * x / maxAbs);
}

void finish(Samples& s, float peak, float fadeInMs, float fadeOutMs) {
    if (s.empty()) throw std::runtime_error("empty sound");
    // A gentle DC blocker: a first-order high-pass at about 20 Hz.
    float prevX = 0.0f;
    float prevY = 0.0f;
    for (float& x : s) {
        const float y = x - prevX + 0.994f * prevY;
        prevX = x;
        prevY = y;
        x = y;
    }
    const int in = std::max(1, sampleCount(fadeInMs / 1000.0f));
    const int out = std::max(1, sampleCount(fadeOutMs / 1000.0f));
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < std::min(in, n); ++i)
        s[static_cast<size_t>(i)] *= static_cast<float>(i) / in;
    for (int i = 0; i < std::min(out, n); ++i) {
        const float k = static_cast<float>(i) / out;
        s[static_cast<size_t>(n - 1 - i)] *= k * k;
    }
    // A short decaying sound keeps some mean through the high-pass; it is taken out under a smooth
    // window, so the ends stay silent.
    double sum = 0.0;
    double weight = 0.0;
    std::vector<float> window(s.size());
    for (int i = 0; i < n; ++i) {
        const float w = std::sin(kPi * (i + 0.5f) / n);
        window[static_cast<size_t>(i)] = w * w;
        sum += s[static_cast<size_t>(i)];
        weight += w * w;
    }
    const float offset = static_cast<float>(sum / weight);
    for (int i = 0; i < n; ++i)
        s[static_cast<size_t>(i)] -= offset * window[static_cast<size_t>(i)];
    float maxAbs = 0.0f;
    for (const float x : s)
        maxAbs = std::max(maxAbs, std::fabs(x));
    if (maxAbs <= 0.0f) throw std::runtime_error("silent sound");
    for (float& x : s)
        x *= peak / maxAbs;
}

static void putLe(std::vector<char>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

void writeWav(const std::string& path, const Samples& s) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(s.size() * 2);
    std::vector<char> out;
    out.reserve(44 + dataBytes);
    for (const char c : std::string("RIFF"))
        out.push_back(c);
    putLe(out, 36 + dataBytes, 4);
    for (const char c : std::string("WAVEfmt "))
        out.push_back(c);
    putLe(out, 16, 4);        // fmt chunk size
    putLe(out, 1, 2);         // PCM
    putLe(out, 1, 2);         // mono
    putLe(out, kRate, 4);     // sample rate
    putLe(out, kRate * 2, 4); // byte rate
    putLe(out, 2, 2);         // block align
    putLe(out, 16, 2);        // bits per sample
    for (const char c : std::string("data"))
        out.push_back(c);
    putLe(out, dataBytes, 4);
    for (const float x : s) {
        const long v = std::lround(std::max(-1.0f, std::min(1.0f, x)) * 32767.0f);
        putLe(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)) & 0xffffu, 2);
    }
    std::ofstream f(path, std::ios::binary);
    f.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}
