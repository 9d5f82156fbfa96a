#include "platform/random.h"

#include <chrono>
#include <optional>
#include <random>

namespace platform {
namespace {

std::mt19937 generator;  // std::mt19937 is MT19937 with its published seeding and tempering
std::optional<std::uint32_t> fixed_seed;

// The system's millisecond tick count: the monotonic clock counts from boot on
// Linux and on Windows alike.
std::uint32_t milliseconds_since_boot() {
  const auto since_boot = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since_boot).count());
}

}  // namespace

void fix_random_seed(std::uint32_t seed) { fixed_seed = seed; }

void seed_random() { generator.seed(fixed_seed ? *fixed_seed : milliseconds_since_boot()); }

std::uint32_t random32(std::uint32_t n) {
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(generator()) * n) >> 32);
}

std::int64_t random64(std::int64_t n) {
  const std::uint64_t a = generator();
  const std::uint64_t b = generator();
  const auto v = static_cast<std::int64_t>(((b & 0x7FFFFFFFu) << 32) | a);
  return n == 0 ? 0 : v % n;
}

}  // namespace platform
