// The random generator: MT19937 from a fixed seed, and the two random(n) forms.
#include "platform/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// The first outputs of MT19937 seeded with 5489, as published.
constexpr std::uint32_t first_outputs[] = {3499211612u, 581869302u, 3890346734u, 3586334585u,
                                           545404204u,  4161255391u, 3922919429u, 949333985u};
// Its 10000th output from that seed, the published check value.
constexpr std::uint32_t output_10000 = 4123659995u;

void seed_with(std::uint32_t seed) {
  platform::fix_random_seed(seed);
  platform::seed_random();
}

std::uint32_t high_of_product(std::uint32_t r, std::uint32_t n) {
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(r) * n) >> 32);
}

TEST(Random, Random32IsTheHighHalfOfOutputTimesBound) {
  seed_with(5489);
  EXPECT_EQ(platform::random32(100), 81u);  // 3499211612 * 100 >> 32
  const std::uint32_t bounds[] = {0xFFFFFFFFu, 800, 15, 1, 600, 0x80000000u, 3};
  for (int i = 1; i < 8; ++i) {
    SCOPED_TRACE("output " + std::to_string(i + 1));
    EXPECT_EQ(platform::random32(bounds[i - 1]), high_of_product(first_outputs[i], bounds[i - 1]));
  }
}

TEST(Random, OutputsFollowTheGeneratorFarOn) {
  seed_with(5489);
  for (int i = 1; i < 10000; ++i) platform::random32(7);
  // With the largest bound, the high half of r * (2^32 - 1) is r - 1.
  EXPECT_EQ(platform::random32(0xFFFFFFFFu), output_10000 - 1);
}

TEST(Random, SeedingAgainRestartsTheSequence) {
  seed_with(20240607);
  std::vector<std::uint32_t> first;
  for (int i = 0; i < 50; ++i) first.push_back(platform::random32(1000000));
  seed_with(20240607);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(platform::random32(1000000), first[i]) << "draw " << i;
  seed_with(20240608);
  int same = 0;
  for (int i = 0; i < 50; ++i) same += platform::random32(1000000) == first[i];
  EXPECT_LT(same, 5);
}

TEST(Random, Random64TakesTwoOutputsLowThenHigh) {
  seed_with(5489);
  const std::uint64_t v1 = (static_cast<std::uint64_t>(first_outputs[1] & 0x7FFFFFFFu) << 32) + first_outputs[0];
  const std::uint64_t v2 = (static_cast<std::uint64_t>(first_outputs[3] & 0x7FFFFFFFu) << 32) + first_outputs[2];
  const std::uint64_t v3 = (static_cast<std::uint64_t>(first_outputs[5] & 0x7FFFFFFFu) << 32) + first_outputs[4];
  EXPECT_EQ(platform::random64(1000), static_cast<std::int64_t>(v1 % 1000));
  EXPECT_EQ(platform::random64(255), static_cast<std::int64_t>(v2 % 255));
  // A bound above every v gives v itself.
  EXPECT_EQ(platform::random64(std::numeric_limits<std::int64_t>::max()), static_cast<std::int64_t>(v3));
  // The next single draw uses the seventh output.
  EXPECT_EQ(platform::random32(0xFFFFFFFFu), first_outputs[6] - 1);
}

TEST(Random, BoundZeroGivesZeroAndStillDraws) {
  seed_with(5489);
  EXPECT_EQ(platform::random32(0), 0u);
  EXPECT_EQ(platform::random32(0xFFFFFFFFu), first_outputs[1] - 1);
  EXPECT_EQ(platform::random64(0), 0);  // outputs 3 and 4
  EXPECT_EQ(platform::random32(0xFFFFFFFFu), first_outputs[4] - 1);
}

TEST(Random, ValuesStayBelowTheBoundAndCoverIt) {
  seed_with(12345);
  for (const std::uint32_t n : {1u, 2u, 3u, 15u, 255u, 599u, 799u}) {
    SCOPED_TRACE("random32 bound " + std::to_string(n));
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 20000; ++i) {
      const std::uint32_t r = platform::random32(n);
      ASSERT_LT(r, n);
      seen.insert(r);
    }
    EXPECT_EQ(seen.size(), n);
  }
  for (const std::int64_t n : {std::int64_t{1}, std::int64_t{2}, std::int64_t{255}, std::int64_t{1000}}) {
    SCOPED_TRACE("random64 bound " + std::to_string(n));
    std::set<std::int64_t> seen;
    for (int i = 0; i < 20000; ++i) {
      const std::int64_t r = platform::random64(n);
      ASSERT_GE(r, 0);
      ASSERT_LT(r, n);
      seen.insert(r);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(n));
  }
  for (int i = 0; i < 1000; ++i) {
    ASSERT_LT(platform::random32(0xFFFFFFFFu), 0xFFFFFFFFu);
    ASSERT_GE(platform::random64(std::numeric_limits<std::int64_t>::max()), 0);
  }
}

// The generator makes its outputs a block of 624 at a time: over many blocks
// and seeds they are std::mt19937's, whichever form of random(n) takes them.
TEST(Random, OutputsAreTheStandardGeneratorsOverManyBlocks) {
  constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
  for (const std::uint32_t seed : {0u, 1u, 5489u, 20240607u, 0xFFFFFFFFu}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    seed_with(seed);
    std::mt19937 standard(seed);
    for (int draw = 0; draw < 10 * 624; ++draw) {
      if (draw % 3 == 0) {  // two outputs: every bit but the second one's top
        const std::uint64_t a = standard();
        const std::uint64_t b = standard();
        ASSERT_EQ(platform::random64(largest), static_cast<std::int64_t>(((b & 0x7FFFFFFFu) << 32) | a)) << draw;
      } else {
        ASSERT_EQ(platform::random32(0xFFFFFFFFu), high_of_product(standard(), 0xFFFFFFFFu)) << draw;
      }
    }
  }
}

// fill_random64 gives the draws that single random64 calls give, taking the
// same outputs: for the strip's bound 255, which it makes without a division,
// and others; in pieces that start at either half of a pair of outputs and
// run across the blocks.
TEST(Random, FillGivesTheDrawsOfSingleCalls) {
  const std::int64_t bounds[] = {0, 1, 254, 255, 256, 1000, std::numeric_limits<std::int64_t>::max()};
  const int pieces[] = {1, 124, 311, 312, 623, 1000, 129};
  for (const std::int64_t n : bounds) {
    for (const int outputs_before : {0, 1}) {
      SCOPED_TRACE("bound " + std::to_string(n) + ", outputs before " + std::to_string(outputs_before));
      seed_with(4711);
      for (int i = 0; i < outputs_before; ++i) platform::random32(1);
      std::vector<std::int64_t> filled;
      for (const int count : pieces) {
        std::vector<std::int64_t> piece(static_cast<std::size_t>(count));
        platform::fill_random64(n, piece);
        filled.insert(filled.end(), piece.begin(), piece.end());
      }
      const std::uint32_t next = platform::random32(0xFFFFFFFFu);

      seed_with(4711);
      for (int i = 0; i < outputs_before; ++i) platform::random32(1);
      for (std::size_t i = 0; i < filled.size(); ++i) ASSERT_EQ(filled[i], platform::random64(n)) << "draw " << i;
      EXPECT_EQ(platform::random32(0xFFFFFFFFu), next);
    }
  }
}

}  // namespace
