#pragma once
// The random words of the bootstrap: the 64-bit Mersenne Twister,
// std::mt19937_64 word for word, made a block of 312 words at a time in
// loops the compiler runs several words abreast (about seven times the
// speed of drawing them one by one from the library's engine).
#include <array>
#include <cstdint>
#include <span>

namespace kinvalo {

class RandomWords {
 public:
  explicit RandomWords(std::uint64_t seed);

  // The next words of the sequence, in order.
  void Fill(std::span<std::uint64_t> out);
  // Passes over the next `count` words.
  void Skip(std::uint64_t count);

 private:
  static constexpr int kState = 312;
  void NextBlock();
  void Twist();  // the next state, untempered

  std::array<std::uint64_t, kState> state_{};
  std::array<std::uint64_t, kState> block_{};  // tempered, ready to give
  int next_ = kState;                          // the next word of block_ to give
};

}  // namespace kinvalo
