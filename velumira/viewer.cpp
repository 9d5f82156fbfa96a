#include "velumira/viewer.h"

#include <cstdint>
#include <iostream>

#include "platform/graphics.h"
#include "platform/random.h"
#include "velumira/renderer.h"

namespace velumira {

namespace {

constexpr std::uint8_t toggle_key = 97;  // "a"; "A" is an ordinary key
constexpr std::uint8_t escape_key = 27;

}  // namespace

int run_velumira() {
  platform::seed_random();
  std::int16_t driver = platform::driver_256_colours;
  std::int16_t mode = platform::mode_800x600;
  platform::open_graphics_window(driver, mode, "VELUMIRA");
  if (platform::graph_result() < 0) {
    // Without a window wait_key would never give Escape: report and stop.
    std::cerr << "velumira: cannot open the 800 x 600 window: "
              << platform::graph_error_message() << '\n';
    return 1;
  }

  bool depth_mode = false;
  for (;;) {
    platform::clear_window();
    draw_texture(depth_mode);
    render_stereogram(depth_mode);
    const std::uint8_t key = platform::wait_key();
    if (key == toggle_key) depth_mode = !depth_mode;
    if (key == escape_key) break;
  }

  platform::close_graphics_window();
  return 0;
}

}  // namespace velumira
