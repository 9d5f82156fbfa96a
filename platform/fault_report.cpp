#include "platform/fault_report.h"

#include <algorithm>

namespace platform {
namespace {

void put_text(char*& out, std::string_view text) { out = std::copy(text.begin(), text.end(), out); }

// "$" and 8 upper-case hex digits.
void put_address(char*& out, std::uintptr_t address) {
  *out++ = '$';
  for (int shift = 28; shift >= 0; shift -= 4) *out++ = "0123456789ABCDEF"[(address >> shift) & 0xF];
}

void put_frame_line(char*& out, std::uintptr_t address) {
  put_text(out, "  ");
  put_address(out, address);
  put_text(out, "\r\n");
}

}  // namespace

std::string_view fault_report(int number, std::uintptr_t address, std::span<const std::uintptr_t> callers) {
  static char text[64 + 13 * (frame_limit + 1)];
  char* out = text;
  put_text(out, "Runtime error ");
  put_text(out, number == error_division_by_zero ? "200" : number == error_overflow ? "205" : "207");
  put_text(out, " at ");
  put_address(out, address);
  put_text(out, "\r\n");
  put_frame_line(out, address);
  for (const std::uintptr_t caller : callers.first(std::min<std::size_t>(callers.size(), frame_limit)))
    put_frame_line(out, caller);
  put_text(out, "\r\n");
  return {text, static_cast<std::size_t>(out - text)};
}

}  // namespace platform
