#include "korvelan/renderer.h"

#include <cmath>
#include <cstdint>

#include "korvelan/surfaces.h"
#include "platform/graphics.h"
#include "platform/random.h"

namespace korvelan {

namespace {

// A depth equal to this shifts a pixel by one whole strip width.
constexpr long double depth_normaliser = 4.5L;

}  // namespace

void draw_random_strip(int strip_width) {
  const int last_row = platform::largest_y();
  for (int y = 0; y <= last_row; ++y) {
    for (int x = 0; x <= strip_width; ++x) {
      const std::int64_t colour = platform::random64(platform::largest_colour());
      platform::plot_pixel(x, y, static_cast<std::uint32_t>(colour));
    }
  }
}

int source_column(int index, int strip_width, int x, int y, int X, int Y) {
  const double z = surface_depth(index, x, y, X, Y);
  // In extended precision; ties round to even (the default rounding mode).
  const std::int64_t shift = std::llrint(static_cast<long double>(strip_width) * z / depth_normaliser);
  const int source = static_cast<int>((x - strip_width) + shift);
  return source < 0 ? 0 : source > X ? X : source;
}

// A shift of 0 copies the pixel exactly one strip width to the left, so flat
// parts repeat the strip. A shift of a strip width or more points at the pixel
// itself or to its right, not yet drawn this frame: the background is copied.
void draw_surface_pass(int index, int strip_width, bool random_dot_mode) {
  const int last_row = platform::largest_y();
  for (int y = 0; y <= last_row; ++y) {
    const int last_column = platform::largest_x();  // asked anew for each row
    for (int x = strip_width; x <= last_column; ++x) {
      const int source = source_column(index, strip_width, x, y, last_column, last_row);
      // In shift-colour mode x - source may be 0 or negative (clamped to the
      // right edge); plot_pixel takes it modulo 256.
      const std::uint32_t colour = random_dot_mode ? platform::read_pixel(source, y)
                                                   : static_cast<std::uint32_t>(x - source);
      platform::plot_pixel(x, y, colour);
    }
  }
}

}  // namespace korvelan
