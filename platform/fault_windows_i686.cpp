// The Windows fault report's processor part on i686. 32-bit Windows keeps no
// unwind tables, and library routines such as libgcc's 64-bit division
// (__divdi3) run without a frame pointer, so a chain of frame pointers breaks
// there. The compiler's own unwind tables (DWARF, registered by the run time
// at start) do cover every function of the program, libgcc's included; but
// the unwinder follows them only from a running function, and not through the
// system's exception dispatch. So the handler resumes the faulting thread in
// report_here(), as if the faulting instruction had called it, and the
// unwinder walks from there.
#include <unwind.h>

#include <cstring>

#include "platform/fault_windows.h"
#include "platform/floating_point.h"

// libgcc's 64-bit division and remainder, which i686 code calls for its "/"
// and "%" on 64-bit integers.
extern "C" {
long long __divdi3(long long, long long);
long long __moddi3(long long, long long);
unsigned long long __udivdi3(unsigned long long, unsigned long long);
unsigned long long __umoddi3(unsigned long long, unsigned long long);
}

namespace platform::windows_fault {
namespace {

int pending_number = 0;
std::uintptr_t pending_address = 0;
std::uintptr_t faulting_instruction = 0;

struct Trace {
  std::uintptr_t frames[frame_capacity];
  std::size_t count = 0;
};

_Unwind_Reason_Code collect(_Unwind_Context* context, void* argument) {
  Trace& trace = *static_cast<Trace*>(argument);
  const std::uintptr_t instruction = _Unwind_GetIP(context);
  if (trace.count == frame_capacity || !in_image(instruction)) return _URC_END_OF_STACK;
  trace.frames[trace.count++] = instruction;
  return _URC_NO_REASON;
}

[[noreturn]] void report_here() {
  // The fault's exception flags are still raised: clear them before any
  // floating-point instruction runs.
  mask_arithmetic_faults();
  static Trace trace;
  _Unwind_Backtrace(collect, &trace);
  // The frames before the faulting instruction's belong to this function.
  std::size_t first = 0;
  while (first < trace.count && trace.frames[first] != faulting_instruction + 1) ++first;
  if (first == trace.count) {
    // The unwinder did not get that far: the report has no callers.
    first = 0;
    trace.count = 1;
  }
  trace.frames[first] = faulting_instruction;
  report_and_exit(pending_number, pending_address, std::span(trace.frames + first, trace.count - first));
}

}  // namespace

FloatingPointRegisters floating_point_registers(const CONTEXT& context) {
  // MXCSR sits at byte 24 of the FXSAVE area.
  std::uint32_t mxcsr = 0;
  if ((context.ContextFlags & CONTEXT_EXTENDED_REGISTERS) == CONTEXT_EXTENDED_REGISTERS)
    std::memcpy(&mxcsr, context.ExtendedRegisters + 24, sizeof mxcsr);
  return {static_cast<std::uint16_t>(context.FloatSave.ControlWord),
          static_cast<std::uint16_t>(context.FloatSave.StatusWord), context.FloatSave.ErrorOffset, mxcsr};
}

std::uintptr_t instruction_pointer(const CONTEXT& context) { return context.Eip; }

std::uintptr_t function_containing(std::uintptr_t address) {
  // The unwinder looks up the byte before the address it is given, as for a
  // return address.
  return reinterpret_cast<std::uintptr_t>(_Unwind_FindEnclosingFunction(reinterpret_cast<void*>(address + 1)));
}

bool arithmetic_helper(std::uintptr_t function) {
  for (const auto helper : {reinterpret_cast<std::uintptr_t>(&__divdi3), reinterpret_cast<std::uintptr_t>(&__moddi3),
                            reinterpret_cast<std::uintptr_t>(&__udivdi3), reinterpret_cast<std::uintptr_t>(&__umoddi3)})
    if (function == helper) return true;
  return false;
}

LONG report_with_frames(EXCEPTION_POINTERS& fault, int number, std::uintptr_t address) {
  pending_number = number;
  pending_address = address;
  CONTEXT& context = *fault.ContextRecord;
  faulting_instruction = context.Eip;
  // The "return address" lies one byte into the faulting instruction, so that
  // the unwinder, looking at the byte before it, finds the faulting
  // function's table entry and its state at that instruction.
  context.Esp -= 4;
  *reinterpret_cast<DWORD*>(context.Esp) = context.Eip + 1;
  context.Eip = reinterpret_cast<DWORD>(&report_here);
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace platform::windows_fault
