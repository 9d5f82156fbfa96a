#include "korvelan/viewer.h"

#include <cmath>
#include <cstdint>
#include <iostream>

#include "korvelan/renderer.h"
#include "korvelan/surfaces.h"
#include "platform/graphics.h"
#include "platform/random.h"

namespace korvelan {

namespace {

constexpr std::uint8_t next_surface_key = 13;  // Enter
constexpr std::uint8_t random_dot_key = 32;    // Space
constexpr std::uint8_t guide_discs_key = 97;   // "a"; "A" is an ordinary key
constexpr std::uint8_t escape_key = 27;

constexpr double strip_share = 0.12;  // of the largest column
constexpr int disc_row = 20;
constexpr int disc_radius = 10;

// Two black discs with a white outline near the top edge, symmetric about the
// middle column, right one first; they help the eyes converge.
void draw_guide_discs() {
  const int middle = platform::largest_x() / 2;
  const int offset = platform::largest_x() / 20;
  platform::draw_filled_ellipse(middle + offset, disc_row, disc_radius, disc_radius);
  platform::draw_filled_ellipse(middle - offset, disc_row, disc_radius, disc_radius);
}

}  // namespace

int run_korvelan() {
  std::int16_t driver = platform::driver_256_colours;
  std::int16_t mode = platform::mode_1024x768;
  platform::open_graphics_window(driver, mode, "KORVELAN");
  platform::seed_random();  // after the window has opened
  if (platform::graph_result() < 0) {
    // Without a window wait_key would never give Escape: report and stop.
    std::cerr << "korvelan: cannot open the 1024 x 768 window: "
              << platform::graph_error_message() << '\n';
    return 1;
  }

  int surface_index = 0;
  // 1023 x 0.12 = 122.76 rounds to 123.
  const int strip_width =
      static_cast<int>(std::llrint(platform::largest_x() * static_cast<long double>(strip_share)));
  bool random_dot_mode = true;
  bool show_guide_discs = true;
  for (;;) {
    platform::clear_window();
    platform::set_fill(platform::solid_fill, platform::black);
    if (random_dot_mode) draw_random_strip(strip_width);
    draw_surface_pass(surface_index, strip_width, random_dot_mode);
    if (show_guide_discs) draw_guide_discs();

    const std::uint8_t key = platform::wait_key();
    if (key == next_surface_key) surface_index = next_surface(surface_index);
    if (key == random_dot_key) random_dot_mode = !random_dot_mode;
    if (key == guide_discs_key) show_guide_discs = !show_guide_discs;
    if (key == escape_key) break;
  }

  platform::close_graphics_window();
  return 0;
}

}  // namespace korvelan
