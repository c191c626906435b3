// The generator's pseudo-random numbers: xoshiro256** seeded through
// splitmix64. The standard distributions are avoided on purpose: their
// output may change from one library version to the next, and the same seed
// must give the same data set everywhere.
#ifndef ZEBEVI_SCHEMA_RANDOM_H_
#define ZEBEVI_SCHEMA_RANDOM_H_

#include <cstddef>
#include <cstdint>
#include <span>

namespace zebevi::schema {

class Random {
 public:
  // `stream` separates independent sequences drawn from one seed, so that
  // a change in one part of the data set does not shift the others.
  Random(std::uint64_t seed, std::uint64_t stream) {
    std::uint64_t x = seed ^ (stream * 0xD1B54A32D192ED03ULL);
    for (std::uint64_t& word : state_) word = SplitMix(x);
  }

  std::uint64_t Next() {
    const std::uint64_t result = Rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotl(state_[3], 45);
    return result;
  }

  // A whole number in [lo, hi], both included. REQUIRES: lo <= hi.
  std::int64_t Between(std::int64_t lo, std::int64_t hi) {
    const auto span = static_cast<unsigned __int128>(static_cast<std::uint64_t>(hi - lo) + 1);
    return lo + static_cast<std::int64_t>((span * Next()) >> 64);
  }

  // True with probability `percent` / 100.
  bool Percent(std::int64_t percent) { return Between(0, 99) < percent; }

  // An element chosen uniformly. REQUIRES: items not empty.
  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[static_cast<std::size_t>(Between(0, static_cast<std::int64_t>(items.size()) - 1))];
  }

 private:
  static std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  static std::uint64_t SplitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  std::uint64_t state_[4];
};

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_RANDOM_H_
