// Sound synthesis helpers (oscillators, filters, envelopes, reverb) and the WAV writer.
#pragma once

#include <string>
#include <vector>

#include "rng.h"

constexpr int kRate = 22050;
constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 2.0f * kPi;

using Samples = std::vector<float>;

int sampleCount(float seconds);
inline float timeOf(int i) {
    return static_cast<float>(i) / kRate;
}

// Envelopes.
float expDecay(float t, float tau);
float attackDecay(float t, float attack, float tau); // linear rise, exponential fall

// Band-limited-enough oscillators driven by a phase in cycles.
class Osc {
  public:
    float sine(float hz);
    float saw(float hz);
    float square(float hz);
    float triangle(float hz);

  private:
    float phase_ = 0.0f;
    float step(float hz);
};

// RBJ biquad.
class Biquad {
  public:
    static Biquad lowpass(float hz, float q);
    static Biquad highpass(float hz, float q);
    static Biquad bandpass(float hz, float q); // 0 dB peak
    void setLowpass(float hz, float q);
    void setBandpass(float hz, float q);
    float process(float x);

  private:
    float b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    float x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

class OnePole {
  public:
    explicit OnePole(float hz);
    float lowpass(float x);

  private:
    float k_;
    float y_ = 0.0f;
};

// A decaying sine, for struck or plucked partials.
void addPing(Samples& s, float start, float hz, float amp, float tau);

// Schroeder reverb mixed into the signal; extends it by `tail` seconds.
void addReverb(Samples& s, float wet, float roomSize, float tail);

// Rounds off the peaks (tanh, `drive` times the signal scaled to a peak of 1), so a sound full of
// spikes gets louder without clipping.
void saturate(Samples& s, float drive);

// Normalises to the given peak, takes out any DC offset and fades both ends.
void finish(Samples& s, float peak, float fadeInMs = 3.0f, float fadeOutMs = 12.0f);

void writeWav(const std::string& path, const Samples& s);

void writeSounds(const std::string& dir);
