#include "lsq/random_words.h"

#include <algorithm>

namespace kinvalo {

namespace {

constexpr int kShift = 156;
constexpr std::uint64_t kUpper = 0xFFFFFFFF80000000ULL, kLower = 0x7FFFFFFFULL;
constexpr std::uint64_t kMatrix = 0xB5026F5AA96619E9ULL;

// The next value of a word of the state from itself, its neighbour and
// the word kShift places on; the branch on the low bit is a mask.
inline std::uint64_t TwistWord(std::uint64_t word, std::uint64_t next, std::uint64_t ahead) {
  const std::uint64_t joined = (word & kUpper) | (next & kLower);
  return ahead ^ (joined >> 1) ^ ((0 - (next & 1)) & kMatrix);
}

inline std::uint64_t Temper(std::uint64_t x) {
  x ^= (x >> 29) & 0x5555555555555555ULL;
  x ^= (x << 17) & 0x71D67FFFEDA60000ULL;
  x ^= (x << 37) & 0xFFF7EEE000000000ULL;
  return x ^ (x >> 43);
}

}  // namespace

RandomWords::RandomWords(std::uint64_t seed) {
  state_[0] = seed;
  for (int i = 1; i < kState; ++i) {
    const std::uint64_t previous = state_[i - 1];
    state_[i] = 6364136223846793005ULL * (previous ^ (previous >> 62)) + static_cast<std::uint64_t>(i);
  }
}

void RandomWords::NextBlock() {
  Twist();
  for (int i = 0; i < kState; ++i) block_[i] = Temper(state_[i]);
  next_ = 0;
}

void RandomWords::Twist() {
  std::uint64_t* s = state_.data();
  for (int i = 0; i < kState - kShift; ++i) s[i] = TwistWord(s[i], s[i + 1], s[i + kShift]);
  for (int i = kState - kShift; i < kState - 1; ++i) s[i] = TwistWord(s[i], s[i + 1], s[i + kShift - kState]);
  s[kState - 1] = TwistWord(s[kState - 1], s[0], s[kShift - 1]);
}

void RandomWords::Fill(std::span<std::uint64_t> out) {
  while (!out.empty()) {
    if (next_ == kState) NextBlock();
    const size_t take = std::min(out.size(), static_cast<size_t>(kState - next_));
    std::copy_n(block_.begin() + next_, take, out.begin());
    next_ += static_cast<int>(take);
    out = out.subspan(take);
  }
}

void RandomWords::Skip(std::uint64_t count) {
  // Whole blocks passed over need no tempering.
  const auto rest = static_cast<std::uint64_t>(kState - next_);
  if (count > rest) {
    count -= rest;
    for (; count > kState; count -= kState) Twist();
    next_ = kState;
  }
  while (count > 0) {
    if (next_ == kState) NextBlock();
    const std::uint64_t take = std::min<std::uint64_t>(count, static_cast<std::uint64_t>(kState - next_));
    next_ += static_cast<int>(take);
    count -= take;
  }
}

}  // namespace kinvalo
