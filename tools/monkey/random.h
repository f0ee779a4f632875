// The monkey's random choices.
#pragma once

#include <cstdint>
#include <random>

namespace sb::monkey {

// The random choices of one event (or of one box) come from a generator of their own,
// made from the seed and the event's number alone: how many choices earlier events made,
// which depends on the windows' state, cannot shift the events that follow.
class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  Random(std::uint64_t seed, std::uint64_t stream) : engine_(Mix(seed ^ Mix(stream))) {}
  int Below(int count) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(count)); }
  bool Percent(int percent) { return Below(100) < percent; }
  std::uint32_t Word() { return static_cast<std::uint32_t>(engine_()); }

 private:
  // SplitMix64's finalizer: nearby inputs give unrelated outputs.
  static std::uint64_t Mix(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
  }

  std::mt19937_64 engine_;
};

}  // namespace sb::monkey
