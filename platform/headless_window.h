// The window's headless twin: the same drawing area in memory, no thread and no
// screen, keys taken from a list. For tests and for saving pictures.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// From now on the process's window is headless: open_graphics_window sizes an
// in-memory drawing area, and wait_key returns `keys` in order. Once the list
// is used up, wait_key returns Escape (27), so a program leaves its loop as
// after a real Escape and the drawing area keeps the last frame drawn.
void use_headless_window(std::vector<std::uint8_t> keys);

// Opens the window of `mode` headless with no keys and seeds the random
// generator with `seed`: the drawing area that tests and benchmarks draw into.
// True when it opened.
bool open_headless_window(std::int16_t mode, std::uint32_t seed);

// Whether a wait_key call found the key list used up.
bool headless_keys_ran_out();

// The drawing area as it stands (also after the window closed): raw palette
// indices, row by row from the top.
struct DrawingArea {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
  std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
DrawingArea drawing_area();

}  // namespace platform
