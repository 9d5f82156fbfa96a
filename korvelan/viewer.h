// The program korvelan: opens its 1024 x 768 window, draws the stereogram of
// one of seven surfaces and draws it again after every key: Enter steps to the
// next surface, Space switches random-dot mode, "a" shows or hides the guide
// discs, Escape ends.
#pragma once

#include <string_view>

namespace korvelan {

// Runs the program to its end and gives its exit code: 0 after Escape, 1 when
// the window cannot be opened (after one line on standard error).
int run_korvelan();

// The keys, as --help lists them.
inline constexpr std::string_view keys_help =
    "  Enter         next surface (0 to 6, then 0 again)\n"
    "  Space         random dots <-> shift colours (the shift as colours)\n"
    "  a             guide discs on or off\n"
    "  Escape        quit\n"
    "  any other key redraw, with a new random strip\n";

}  // namespace korvelan
