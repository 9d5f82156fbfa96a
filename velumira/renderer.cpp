#include "velumira/renderer.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "platform/graphics.h"
#include "platform/random.h"
#include "velumira/links.h"

namespace velumira {

namespace {

constexpr int texture_passes = 1001;
constexpr std::uint32_t texture_colours = 15;  // 0..14: white never chosen

// The colour number of a link in depth mode: -501, -551, -601, -651 give the
// palette indices 11, 217, 167, 117.
std::uint32_t depth_colour(double depth) { return static_cast<std::uint32_t>(std::llrint(depth)); }

}  // namespace

void draw_texture(bool depth_mode) {
  if (depth_mode) return;  // every pass of a depth-mode frame draws nothing
  const int last_column = platform::largest_x();
  const int last_row = platform::largest_y();
  for (int pass = 0; pass < texture_passes; ++pass) {
    platform::set_draw_colour(platform::random32(texture_colours));
    // The end of each line is drawn before its start.
    const int end_row = static_cast<int>(platform::random32(last_row));
    const int start_row = static_cast<int>(platform::random32(last_row));
    platform::draw_line(0, start_row, last_column, end_row);
    const int end_column = static_cast<int>(platform::random32(last_column));
    const int start_column = static_cast<int>(platform::random32(last_column));
    platform::draw_line(start_column, 0, end_column, last_row);
  }
}

// The scan runs left to right, and every target lies 80 to 95 columns to the
// right of its pixel, so a copied colour is read again when the scan reaches
// it and copied on further: that repetition is the stereogram. A target lies
// in its pixel's row, right of it, so a row's links can all be worked out
// before its first copy is made.
void render_stereogram(bool depth_mode) {
  const int last_row = platform::largest_y();
  std::array<std::uint32_t, 4> colour_of_step{};
  for (int step = 0; step < 4; ++step) colour_of_step[step] = depth_colour(step_depth(step));
  for (int i = 0; i <= last_row; ++i) {
    const int last_column = platform::largest_x();  // asked anew for each row
    const link_tables::row links = link_tables_for(last_column, last_row).links_of_row(i);
    // Held apart from `links`, which the compiler would read again after every
    // plot (a byte store may change any object whose address has escaped).
    const std::uint8_t* const steps = links.step;
    const std::int16_t* const xs = links.x;
    const std::int16_t* const ys = links.y;
    for (int j = 0; j <= last_column; ++j) {
      const int step = steps[j];
      if (step >= unseen) continue;
      platform::plot_pixel(xs[j], ys[j], depth_mode ? colour_of_step[step] : platform::read_pixel(j, i));
    }
  }
}

void render_stereogram_plain(bool depth_mode) {
  const int hx = platform::largest_x() / 2;
  const int hy = platform::largest_y() / 2;
  const int last_row = platform::largest_y();
  for (int i = 0; i <= last_row; ++i) {
    const int last_column = platform::largest_x();  // asked anew for each row
    for (int j = 0; j <= last_column; ++j) {
      const eye_link link = trace_link(j - hx, i - hy);
      if (!link.seen_by_both) continue;
      const int x = static_cast<int>(hx + link.x);
      const int y = static_cast<int>(hy + link.y);
      platform::plot_pixel(x, y, depth_mode ? depth_colour(link.depth) : platform::read_pixel(j, i));
    }
  }
}

}  // namespace velumira
