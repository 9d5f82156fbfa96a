// The text of the fault report, the same on every system: "Runtime error N at
// $AAAAAAAA", then "  $AAAAAAAA" for the same address and for each calling
// frame, then an empty line; every line ends with CR LF. Each system's fault
// handler (fault_linux.cpp, fault_windows.cpp) finds the address and the frames
// and writes the text.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

inline constexpr int error_division_by_zero = 200;
inline constexpr int error_overflow = 205;
inline constexpr int error_invalid_operation = 207;

// Calling frames reported at most when standard output is a console (or
// another character device), and otherwise.
inline constexpr int console_frame_limit = 9;
inline constexpr int frame_limit = 257;

// The report of error `number` at `address` with at most frame_limit
// `callers`. The text stays in a static buffer: the report is written from a
// fault handler, which must not allocate.
std::string_view fault_report(int number, std::uintptr_t address, std::span<const std::uintptr_t> callers);

}  // namespace platform
