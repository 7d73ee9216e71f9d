// A small fixed-seed random generator, so every run draws and sounds the same.
#pragma once

#include <cstdint>

class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        // SplitMix64.
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() >> 40) / static_cast<float>(1u << 24); }
    // Uniform in [-1, 1).
    float signedUnit() { return uniform() * 2.0f - 1.0f; }
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

  private:
    std::uint64_t state_;
};
