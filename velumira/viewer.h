// The program velumira: opens its 800 x 600 window, draws the scene stereogram,
// draws it again after every key, switches between texture mode and depth mode
// on "a" and ends on Escape.
#pragma once

#include <string_view>

namespace velumira {

// Runs the program to its end and gives its exit code: 0 after Escape, 1 when
// the window cannot be opened (after one line on standard error).
int run_velumira();

// The keys, as --help lists them.
inline constexpr std::string_view keys_help =
    "  a             texture view <-> depth view (the depth as flat colours)\n"
    "  Escape        quit\n"
    "  any other key redraw, with a new random texture\n";

}  // namespace velumira
