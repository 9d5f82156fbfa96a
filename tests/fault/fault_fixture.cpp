// A fault fixture: sets up the run time's fault handling as a program does,
// then commits one arithmetic fault a few calls deep.
// Usage: fault_fixture divide|integer-divide|overflow|invalid [DEPTH]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/fault.h"

namespace {

volatile double zero = 0.0, huge = 1e300;
volatile std::int64_t integer_zero = 0;

[[gnu::noipa]] double divide() { return 1.0 / zero; }
[[gnu::noipa, gnu::no_sanitize("integer-divide-by-zero")]] std::int64_t integer_divide() {
  return std::int64_t{7} / integer_zero;
}
[[gnu::noipa]] double overflow() { return huge * huge; }
[[gnu::noipa]] long long invalid() {
  const long long converted = std::llrint(huge);  // too large for 64 bits
  return converted / 2;
}

volatile double result;

// Each call's result is used after it returns, so no call becomes a jump and
// every frame stays in the chain.
[[gnu::noipa]] void fault(const char* kind) {
  if (!std::strcmp(kind, "divide")) result = divide();
  if (!std::strcmp(kind, "integer-divide")) result = static_cast<double>(integer_divide());
  if (!std::strcmp(kind, "overflow")) result = overflow();
  if (!std::strcmp(kind, "invalid")) result = static_cast<double>(invalid());
  result = result + 1;
}

// Recursion for a long chain of frames.
[[gnu::noipa]] void nested(const char* kind, int depth) {
  if (depth == 0)
    fault(kind);
  else
    nested(kind, depth - 1);
  result = result + 1;
}

}  // namespace

int main(int argc, char** argv) {
  platform::install_fault_traps();
  if (argc < 2) return 2;
  nested(argv[1], argc > 2 ? std::atoi(argv[2]) : 0);
  std::printf("no fault: %g\n", result);
  return 0;
}
