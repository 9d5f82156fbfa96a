// The command line that both programs share. With no arguments a program runs
// as it always has: the random generator seeded from the clock, the window at
// scale 1, and pictures saved by Print Screen into the current folder.
//   --seed N        seed the generator with N instead of the clock
//   --scale N       show each pixel as an N x N block (1 to 8)
//   --fullscreen    desktop full screen, at the largest integer scale that fits
//   --save-dir DIR  where Print Screen saves pictures
//   --help, --version
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// Parses the command line of `program` and applies its options. Gives the exit
// code to end with at once, or nothing to go on: 0 after --help or --version
// (written to standard output), 2 after a usage error (one line on standard
// error). `keys_help` lists the program's keys for --help.
std::optional<int> apply_command_line(int argc, char** argv, std::string_view program, std::string_view keys_help);

// A whole number as written on a command line: decimal digits alone (no sign,
// no spaces), within the range of T.
template <class T>
std::optional<T> parse_decimal(std::string_view text) {
  T value{};
  const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || text.front() == '-' || error != std::errc{} || rest != text.data() + text.size())
    return std::nullopt;
  return value;
}

}  // namespace platform
