// The run's random generator: MT19937 (published seeding and tempering),
// seeded once from the millisecond tick count, and random(n) in the two
// variants the programs use.
#pragma once

#include <cstdint>
#include <span>

namespace platform {

// Seeds the generator from the millisecond tick count, or with the seed given
// to fix_random_seed when one was given (the headless backend's runs).
void seed_random();
void fix_random_seed(std::uint32_t seed);

// random(n) for a 32-bit bound: the high 32 bits of r * n for one output r;
// 0 <= result < n, 0 when n is 0.
std::uint32_t random32(std::uint32_t n);
// random(n) for a 64-bit bound: outputs a then b, v = (b without its top bit)
// * 2^32 + a, result v mod n; 0 when n is 0.
std::int64_t random64(std::int64_t n);
// random64(n) for each of `values` in turn: the same draws from the same
// outputs as that many calls, made quicker for the bound 255.
void fill_random64(std::int64_t n, std::span<std::int64_t> values);

}  // namespace platform
