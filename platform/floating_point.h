// The floating-point unit as the programs compute with it: round to nearest
// with ties to even, the x87 unit at a 64-bit significand (long double is the
// 80-bit extended type), and invalid operation, division by zero and overflow
// trapped. Each thread has its own settings, and a new thread does not start
// with these everywhere (Windows starts it at a 53-bit significand), so every
// thread sets its own.
#pragma once

namespace platform {

// This thread computes as the programs do: the three faults trap on the x87
// and SSE units alike; denormal, underflow and inexact results pass silently.
void trap_arithmetic_faults();

// The same precision and rounding with every fault masked: for a thread that
// runs system code which does not expect traps (the window thread).
void mask_arithmetic_faults();

}  // namespace platform
