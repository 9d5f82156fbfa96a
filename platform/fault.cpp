// Arithmetic faults end the program through one path: the window closes, a
// report of the fault address and the chain of calling frames goes to standard
// output with CR LF line ends, and the process exits with the error number
// (200 division by zero, 205 overflow, 207 invalid operation).
#include "platform/fault.h"

#include <cfenv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <pthread.h>
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

std::uintptr_t stack_low = 0, stack_high = 0;

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

void report_and_exit(int signal, siginfo_t* info, void* context) {
  (void)signal;
  const auto& registers = static_cast<ucontext_t*>(context)->uc_mcontext.gregs;
  std::uintptr_t address = static_cast<std::uintptr_t>(registers[REG_RIP]);
  std::uintptr_t frame = static_cast<std::uintptr_t>(registers[REG_RBP]);
  const std::uintptr_t stack_pointer = static_cast<std::uintptr_t>(registers[REG_RSP]);

  // Calling frames through the saved frame pointers, as long as they stay on
  // this thread's stack, grow upwards and return into the executable.
  struct stat out_stat{};
  const int limit = fstat(STDOUT_FILENO, &out_stat) == 0 && S_ISCHR(out_stat.st_mode) ? 9 : 257;
  std::uintptr_t callers[257];
  int count = 0;
  std::uintptr_t low = stack_pointer;
  while (count < limit && frame >= low && frame % 8 == 0 && frame + 16 <= stack_high && frame >= stack_low) {
    const auto* slot = reinterpret_cast<const std::uintptr_t*>(frame);
    const std::uintptr_t return_address = slot[1];
    if (!own_code(return_address)) break;
    callers[count++] = return_address;
    low = frame + 16;
    frame = slot[0];
  }
  // A fault inside a library is reported at the first address in our own code.
  int first = 0;
  if (!own_code(address) && count > 0) address = callers[first++];

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
  for (int i = first; i < count; ++i) {
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

  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    void* base = nullptr;
    std::size_t size = 0;
    pthread_attr_getstack(&attributes, &base, &size);
    stack_low = reinterpret_cast<std::uintptr_t>(base);
    stack_high = stack_low + size;
    pthread_attr_destroy(&attributes);
  }

  struct sigaction action{};
  action.sa_sigaction = report_and_exit;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  sigaction(SIGFPE, &action, nullptr);
}

}  // namespace platform
