// Between the Windows fault handler (fault_windows.cpp) and the part of it
// that knows one processor: its registers in a fault's context, and how the
// chain of frames is followed there (fault_windows_i686.cpp,
// fault_windows_x86_64.cpp).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform::windows_fault {

// Frames followed at most: the report's limit, and room for the frames before
// the faulting function's own.
inline constexpr std::size_t frame_capacity = 300;

// Whether `address` lies in the program's own image (its statically linked
// run time included), not in a system library.
bool in_image(std::uintptr_t address);

// The registers that tell what a floating-point fault was.
struct FloatingPointRegisters {
  std::uint16_t x87_control = 0;
  std::uint16_t x87_status = 0;
  std::uintptr_t x87_instruction = 0;  // the last x87 instruction
  std::uint32_t mxcsr = 0;
};
FloatingPointRegisters floating_point_registers(const CONTEXT& context);
std::uintptr_t instruction_pointer(const CONTEXT& context);

// The start of the function that holds the instruction at `address`, 0 when
// unknown.
std::uintptr_t function_containing(std::uintptr_t address);

// Whether the function starting at `function` is a helper of the compiler's
// run time that stands for an instruction of the calling code (a fault in it
// is the caller's).
bool arithmetic_helper(std::uintptr_t function);

// Follows the chain of frames from the fault's context and hands it on to
// report_and_exit; returns what the exception handler returns meanwhile.
LONG report_with_frames(EXCEPTION_POINTERS& fault, int number, std::uintptr_t address);

// Reports fault `number` at `address`, given the frames from where the fault
// was raised outward (the instruction there, then return addresses), closes
// the window and ends the process.
[[noreturn]] void report_and_exit(int number, std::uintptr_t address, std::span<const std::uintptr_t> frames);

}  // namespace platform::windows_fault
