#include "platform/random.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace platform {
namespace {

// MT19937 with its published seeding and tempering, made a block at a time:
// one pass over the whole state (the twist) gives the next 624 outputs, which
// are tempered together into a second array and then handed out in order. The
// passes run over 32-bit words without branches, so the compiler vectorises
// them; std::mt19937 twists and tempers a word per call.
class BlockMt19937 {
 public:
  static constexpr int block = 624;

  BlockMt19937() { seed(5489); }  // the published default seed

  void seed(std::uint32_t value) {
    state_[0] = value;
    for (int i = 1; i < block; ++i) {
      state_[i] = 1812433253u * (state_[i - 1] ^ (state_[i - 1] >> 30)) + static_cast<std::uint32_t>(i);
    }
    next_ = block;  // the first output twists
  }

  std::uint32_t next() {
    if (next_ == block) twist();
    return outputs_[next_++];
  }

  // The outputs of this block not handed out yet, for taking many at once;
  // skip(count) then marks the first count of them as taken.
  std::span<const std::uint32_t> remaining() const { return {outputs_ + next_, outputs_ + block}; }
  void skip(int count) { next_ += count; }

 private:
  static constexpr int shift = 397;

  // A new word from the upper bit of one word, the lower 31 bits of the next,
  // and the word `shift` places on.
  static std::uint32_t twisted(std::uint32_t word, std::uint32_t next, std::uint32_t far) {
    const std::uint32_t y = (word & 0x80000000u) | (next & 0x7FFFFFFFu);
    return far ^ (y >> 1) ^ (-(y & 1u) & 0x9908B0DFu);
  }

  void twist() {
    for (int i = 0; i < block - shift; ++i) state_[i] = twisted(state_[i], state_[i + 1], state_[i + shift]);
    for (int i = block - shift; i < block - 1; ++i) {
      state_[i] = twisted(state_[i], state_[i + 1], state_[i + shift - block]);
    }
    state_[block - 1] = twisted(state_[block - 1], state_[0], state_[shift - 1]);
    for (int i = 0; i < block; ++i) {
      std::uint32_t y = state_[i];
      y ^= y >> 11;
      y ^= (y << 7) & 0x9D2C5680u;
      y ^= (y << 15) & 0xEFC60000u;
      y ^= y >> 18;
      outputs_[i] = y;
    }
    next_ = 0;
  }

  std::uint32_t state_[block];
  std::uint32_t outputs_[block];
  int next_;
};

BlockMt19937 generator;
std::optional<std::uint32_t> fixed_seed;

// The system's millisecond tick count: the monotonic clock counts from boot on
// Linux and on Windows alike.
std::uint32_t milliseconds_since_boot() {
  const auto since_boot = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since_boot).count());
}

// The 63-bit value of random(n) for a 64-bit bound, from its outputs a then b.
std::uint64_t value_of(std::uint32_t a, std::uint32_t b) {
  return (static_cast<std::uint64_t>(b & 0x7FFFFFFFu) << 32) | a;
}

// value_of(a, b) mod 255, without a division: 256 leaves the remainder 1 when
// divided by 255, so a number leaves the remainder of the sum of its 16-bit
// pieces, and of the sum of its bytes. 32-bit steps, which vectorise.
std::int64_t remainder_255(std::uint32_t a, std::uint32_t b) {
  b &= 0x7FFFFFFFu;
  std::uint32_t sum = (a & 0xFFFF) + (a >> 16) + (b & 0xFFFF) + (b >> 16);  // below 2^18
  sum = (sum & 0xFF) + (sum >> 8);                                         // at most 1278
  sum = (sum & 0xFF) + (sum >> 8);                                         // at most 259
  return sum >= 255 ? sum - 255 : sum;
}

}  // namespace

void fix_random_seed(std::uint32_t seed) { fixed_seed = seed; }

void seed_random() { generator.seed(fixed_seed ? *fixed_seed : milliseconds_since_boot()); }

std::uint32_t random32(std::uint32_t n) {
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(generator.next()) * n) >> 32);
}

std::int64_t random64(std::int64_t n) {
  const std::uint32_t a = generator.next();
  const std::uint32_t b = generator.next();
  const auto v = static_cast<std::int64_t>(value_of(a, b));
  return n == 0 ? 0 : v % n;
}

void fill_random64(std::int64_t n, std::span<std::int64_t> values) {
  if (n != 255) {
    for (std::int64_t& value : values) value = random64(n);
    return;
  }
  // The colour bound: the pairs are read straight from the block.
  std::size_t done = 0;
  while (done < values.size()) {
    const std::span<const std::uint32_t> outputs = generator.remaining();
    const std::size_t pairs = std::min(values.size() - done, outputs.size() / 2);
    if (pairs == 0) {  // none left, or a pair split between two blocks
      values[done++] = random64(255);
      continue;
    }
    for (std::size_t i = 0; i < pairs; ++i) {
      values[done + i] = remainder_255(outputs[2 * i], outputs[2 * i + 1]);
    }
    generator.skip(static_cast<int>(2 * pairs));
    done += pairs;
  }
}

}  // namespace platform
