// Arithmetic faults end the program through one path: the window closes, a
// report of the fault address and the chain of calling frames goes to standard
// output with CR LF line ends, and the process exits with the error number
// (200 division by zero, 205 overflow, 207 invalid operation).
#include "platform/fault.h"

#include <cfenv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <execinfo.h>
#include <sys/stat.h>
#include <ucontext.h>
#include <unistd.h>

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
    case FPE_FLTOVF: return 205;
    case FPE_FLTINV: return 207;
    default: return 200;  // FPE_INTDIV, FPE_FLTDIV
  }
}

// "$" and 8 upper-case hex digits.
void put_address(char*& out, std::uintptr_t address) {
  *out++ = '$';
  for (int shift = 28; shift >= 0; shift -= 4) *out++ = "0123456789ABCDEF"[(address >> shift) & 0xF];
}

void put_text(char*& out, const char* text) {
  while (*text) *out++ = *text++;
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
  const int limit = fstat(STDOUT_FILENO, &out_stat) == 0 && S_ISCHR(out_stat.st_mode) ? 9 : 257;
  void* chain[300];
  const int depth = backtrace(chain, 300);
  int at = 0;
  while (at < depth && reinterpret_cast<std::uintptr_t>(chain[at]) != fault_address) ++at;
  while (at < depth && !own_code(reinterpret_cast<std::uintptr_t>(chain[at]))) ++at;
  std::uintptr_t address = at < depth ? reinterpret_cast<std::uintptr_t>(chain[at]) : fault_address;
  static std::uintptr_t callers[257];
  int count = 0;
  for (int i = at + 1; i < depth && count < limit; ++i) {
    const auto caller = reinterpret_cast<std::uintptr_t>(chain[i]);
    if (!own_code(caller)) break;
    callers[count++] = caller;
  }
  close_graphics_window();

  const int number = error_number(info->si_code);
  static char text[64 + 13 * 259];
  char* out = text;
  put_text(out, "Runtime error ");
  put_text(out, number == 200 ? "200" : number == 205 ? "205" : "207");
  put_text(out, " at ");
  put_address(out, address);
  put_text(out, "\r\n  ");
  put_address(out, address);
  put_text(out, "\r\n");
  for (int i = 0; i < count; ++i) {
    put_text(out, "  ");
    put_address(out, callers[i]);
    put_text(out, "\r\n");
  }
  put_text(out, "\r\n");
  for (const char* p = text; p < out;) {
    const ssize_t written = write(STDOUT_FILENO, p, static_cast<std::size_t>(out - p));
    if (written <= 0) break;
    p += written;
  }
  _exit(number);
}

}  // namespace

void install_fault_traps() {
  // Round to nearest with ties to even and a 64-bit significand are the x87
  // defaults on this platform; trap the three faults that must not pass.
  std::fesetround(FE_TONEAREST);
  std::feclearexcept(FE_ALL_EXCEPT);
  feenableexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);

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
