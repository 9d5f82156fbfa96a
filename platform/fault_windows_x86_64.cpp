// The Windows fault report's processor part on x86-64. The system's unwind
// tables cover every function (GCC writes an entry for each), so the chain of
// frames is unwound straight from the fault's context.
#include "platform/fault_windows.h"

namespace platform::windows_fault {

FloatingPointRegisters floating_point_registers(const CONTEXT& context) {
  return {context.FltSave.ControlWord, context.FltSave.StatusWord, context.FltSave.ErrorOffset, context.MxCsr};
}

std::uintptr_t instruction_pointer(const CONTEXT& context) { return context.Rip; }

std::uintptr_t function_containing(std::uintptr_t address) {
  DWORD64 base = 0;
  const PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(address, &base, nullptr);
  return function ? base + function->BeginAddress : 0;
}

// 64-bit division is an instruction here.
bool arithmetic_helper(std::uintptr_t) { return false; }

LONG report_with_frames(EXCEPTION_POINTERS& fault, int number, std::uintptr_t address) {
  static CONTEXT context;
  context = *fault.ContextRecord;
  static std::uintptr_t frames[frame_capacity];
  std::size_t count = 0;
  frames[count++] = context.Rip;
  while (count < frame_capacity && in_image(context.Rip)) {
    DWORD64 base = 0;
    if (const PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &base, nullptr)) {
      void* handler_data = nullptr;
      DWORD64 establisher_frame = 0;
      RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, context.Rip, function, &context, &handler_data,
                       &establisher_frame, nullptr);
    } else {
      // A function with no table entry keeps its return address on top.
      context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
      context.Rsp += 8;
    }
    if (!context.Rip) break;
    frames[count++] = context.Rip;
  }
  report_and_exit(number, address, std::span(frames, count));
}

}  // namespace platform::windows_fault
