// The fault report on Windows: a vectored exception handler, which sees a fault
// before anything else does, finds its error number, its address and the chain
// of calling frames, closes the window, writes the report to standard output
// and ends the process with the error number.
#include "platform/fault_windows.h"

#include "platform/fault.h"
#include "platform/fault_report.h"
#include "platform/floating_point.h"
#include "platform/graphics.h"

namespace platform {
namespace windows_fault {
namespace {

// The function that installed the report, the program's main: the frames
// beyond it belong to the run time's start-up code.
std::uintptr_t main_function = 0;

// The exceptions raised and unmasked on each unit (bits: invalid 1, zero
// divide 4, overflow 8, as the two units share them).
unsigned raised_on_x87(const FloatingPointRegisters& registers) {
  return registers.x87_status & ~registers.x87_control & 0x3Fu;
}
unsigned raised_on_sse(const FloatingPointRegisters& registers) {
  return registers.mxcsr & ~(registers.mxcsr >> 7) & 0x3Fu;
}

int error_number(unsigned raised, DWORD code) {
  if (raised & 0x01) return error_invalid_operation;
  if (raised & 0x04) return error_division_by_zero;
  if (raised & 0x08) return error_overflow;
  if (code == EXCEPTION_FLT_DIVIDE_BY_ZERO) return error_division_by_zero;
  if (code == EXCEPTION_FLT_OVERFLOW) return error_overflow;
  return error_invalid_operation;
}

LONG CALLBACK handle(EXCEPTION_POINTERS* fault) {
  const DWORD code = fault->ExceptionRecord->ExceptionCode;
  const CONTEXT& context = *fault->ContextRecord;
  switch (code) {
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:  // the same instruction: the most negative number divided by -1
      return report_with_frames(*fault, error_division_by_zero, instruction_pointer(context));
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_STACK_CHECK:
    case STATUS_FLOAT_MULTIPLE_FAULTS:
    case STATUS_FLOAT_MULTIPLE_TRAPS: {
      // The raised flags tell the unit and the fault: systems name SSE faults
      // differently (as several at once, on 32-bit Windows and under Wine).
      // The x87 unit raises a fault only at its next instruction, possibly in
      // another function: the fault happened at the instruction it saved.
      const FloatingPointRegisters registers = floating_point_registers(context);
      if (const unsigned raised = raised_on_x87(registers))
        return report_with_frames(*fault, error_number(raised, code), registers.x87_instruction);
      return report_with_frames(*fault, error_number(raised_on_sse(registers), code), instruction_pointer(context));
    }
    default:
      return EXCEPTION_CONTINUE_SEARCH;
  }
}

}  // namespace

bool in_image(std::uintptr_t address) {
  static const auto base = reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr));
  const auto& dos = *reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto& headers = *reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos.e_lfanew);
  return address >= base && address - base < headers.OptionalHeader.SizeOfImage;
}

void report_and_exit(int number, std::uintptr_t address, std::span<const std::uintptr_t> frames) {
  // The callers follow the faulting function's own frame. An x87 fault raised
  // after that function returned leaves no frame of it: then every frame is a
  // caller.
  std::size_t next = 1;
  if (const std::uintptr_t faulting = function_containing(address)) {
    next = 0;
    for (std::size_t i = 0; i < frames.size(); ++i)
      if (function_containing(i == 0 ? frames[0] : frames[i] - 1) == faulting) {
        next = i + 1;
        break;
      }
  }
  // A fault inside a system library, or inside an arithmetic helper, is
  // reported where the program called it.
  while ((!in_image(address) || arithmetic_helper(function_containing(address))) && next < frames.size())
    address = frames[next++];

  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  const int limit = GetFileType(out) == FILE_TYPE_CHAR ? console_frame_limit : frame_limit;
  static std::uintptr_t callers[frame_limit];
  int count = 0;
  for (std::size_t i = next; i < frames.size() && count < limit && in_image(frames[i]); ++i) {
    callers[count++] = frames[i];
    if (function_containing(frames[i] - 1) == main_function) break;
  }
  close_graphics_window();

  // Written as bytes: the C run time's text mode would turn CR LF into CR CR LF.
  const std::string_view text = fault_report(number, address, std::span(callers, count));
  for (std::size_t done = 0; done < text.size();) {
    DWORD written = 0;
    if (!WriteFile(out, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr) || !written)
      break;
    done += written;
  }
  ExitProcess(static_cast<UINT>(number));
}

}  // namespace windows_fault

void install_fault_traps() {
  trap_arithmetic_faults();
  windows_fault::main_function =
      windows_fault::function_containing(reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)) - 1);
  AddVectoredExceptionHandler(1, windows_fault::handle);
}

}  // namespace platform
