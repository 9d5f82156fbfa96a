// The control registers of both floating-point units, written whole, so a
// thread's settings do not depend on what the system started it with.
#include "platform/floating_point.h"

#include <cstdint>

namespace platform {
namespace {

// Exception bits in the order both units use: invalid 1, denormal 2, zero
// divide 4, overflow 8, underflow 16, inexact 32.
constexpr unsigned all_exceptions = 0x3F;
constexpr unsigned trapped = 0x01 | 0x04 | 0x08;

// x87 control word: the masks in bits 0..5, bit 6 always set, precision
// control 3 (64-bit significand) in bits 8..9, rounding 0 (to nearest, ties
// to even) in bits 10..11.
constexpr std::uint16_t x87_control(unsigned masks) { return static_cast<std::uint16_t>(0x0340 | masks); }
// MXCSR: the masks in bits 7..12, rounding 0 in bits 13..14, flush-to-zero and
// denormals-are-zero off, no exception flags raised.
constexpr std::uint32_t sse_control(unsigned masks) { return masks << 7; }

void load(unsigned masks) {
  const std::uint16_t x87 = x87_control(masks);
  const std::uint32_t sse = sse_control(masks);
  // fninit first: it empties the x87 stack and clears raised exception flags
  // without raising them, so no earlier fault fires under the new masks.
  asm volatile("fninit\n\tfldcw %0" : : "m"(x87));
  asm volatile("ldmxcsr %0" : : "m"(sse));
}

}  // namespace

void trap_arithmetic_faults() { load(all_exceptions & ~trapped); }

void mask_arithmetic_faults() { load(all_exceptions); }

}  // namespace platform
