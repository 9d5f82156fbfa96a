// The fault report on Linux: SIGFPE's handler finds the fault address and the
// chain of calling frames, closes the window, writes the report and exits with
// the error number.
#include <csignal>
#include <cstdint>
#include <execinfo.h>
#include <sys/stat.h>
#include <ucontext.h>
#include <unistd.h>

#include "platform/fault.h"
#include "platform/fault_report.h"
#include "platform/floating_point.h"
#include "platform/graphics.h"

extern "C" {
// Bounds of the executable's own code, from the linker.
extern const char __executable_start;
extern const char etext;
}

namespace platform {
namespace {

bool own_code(std::uintptr_t address) {
  return address >= reinterpret_cast<std::uintptr_t>(&__executable_start) &&
         address < reinterpret_cast<std::uintptr_t>(&etext);
}

int error_number(int signal_code) {
  switch (signal_code) {
    case FPE_FLTOVF: return error_overflow;
    case FPE_FLTINV: return error_invalid_operation;
    default: return error_division_by_zero;  // FPE_INTDIV, FPE_FLTDIV
  }
}

void report_and_exit(int, siginfo_t* info, void* context) {
  const auto fault_address =
      static_cast<std::uintptr_t>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);

  // The chain of frames, by the unwinder (through the signal frame, so leaf
  // functions and library functions without frame pointers are followed too).
  // It starts at the faulting instruction; the frames before it belong to
  // this handler. Only addresses in our own code are reported: a fault inside
  // a library function is reported where our code called it.
  struct stat out_stat{};
  const int limit =
      fstat(STDOUT_FILENO, &out_stat) == 0 && S_ISCHR(out_stat.st_mode) ? console_frame_limit : frame_limit;
  void* chain[300];
  const int depth = backtrace(chain, 300);
  int at = 0;
  while (at < depth && reinterpret_cast<std::uintptr_t>(chain[at]) != fault_address) ++at;
  while (at < depth && !own_code(reinterpret_cast<std::uintptr_t>(chain[at]))) ++at;
  const std::uintptr_t address = at < depth ? reinterpret_cast<std::uintptr_t>(chain[at]) : fault_address;
  static std::uintptr_t callers[frame_limit];
  int count = 0;
  for (int i = at + 1; i < depth && count < limit; ++i) {
    const auto caller = reinterpret_cast<std::uintptr_t>(chain[i]);
    if (!own_code(caller)) break;
    callers[count++] = caller;
  }
  close_graphics_window();

  const int number = error_number(info->si_code);
  const std::string_view text = fault_report(number, address, std::span(callers, count));
  for (const char* p = text.data(); p < text.data() + text.size();) {
    const ssize_t written = write(STDOUT_FILENO, p, static_cast<std::size_t>(text.data() + text.size() - p));
    if (written <= 0) break;
    p += written;
  }
  _exit(number);
}

}  // namespace

void install_fault_traps() {
  trap_arithmetic_faults();

  // The unwinder loads its library on first use: do that now, not in the handler.
  void* warm_up[1];
  backtrace(warm_up, 1);

  struct sigaction action{};
  action.sa_sigaction = report_and_exit;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  sigaction(SIGFPE, &action, nullptr);
}

}  // namespace platform
