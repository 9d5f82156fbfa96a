// A window fixture: opens the 800 x 600 window, draws a known picture (bands of
// every palette colour, a line and a disc), optionally saves that picture as a
// PPM file (the first argument) for comparing with a screenshot, then prints
// each key code it receives on a line of its own until Escape. Print Screen
// saves the picture into the current folder.
#include <cstdio>

#include "platform/fault.h"
#include "platform/graphics.h"
#include "platform/headless_window.h"
#include "platform/palette.h"
#include "platform/saved_pictures.h"

namespace {

void save_ppm(const char* path) {
  const platform::DrawingArea area = platform::drawing_area();
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return;
  std::fprintf(file, "P6\n%d %d\n255\n", area.width, area.height);
  for (const std::uint8_t index : area.pixels) {
    const std::uint32_t rgb = platform::start_palette[index];
    const unsigned char bytes[3] = {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                                    static_cast<unsigned char>(rgb)};
    std::fwrite(bytes, 1, 3, file);
  }
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  platform::install_fault_traps();
  platform::set_saved_picture_folder("key_printer", ".");
  std::int16_t driver = platform::driver_256_colours, mode = platform::mode_800x600;
  platform::open_graphics_window(driver, mode, "KEYS");
  if (platform::graph_result() < 0) {
    std::fprintf(stderr, "key_printer: cannot open the window: %.*s\n",
                 static_cast<int>(platform::graph_error_message().size()), platform::graph_error_message().data());
    return 1;
  }
  for (int x = 0; x < 800; ++x)
    for (int y = 0; y < 40; ++y) platform::plot_pixel(x, y, static_cast<std::uint32_t>(x / 3));
  platform::set_draw_colour(12);
  platform::draw_line(10, 100, 790, 590);
  platform::set_fill(platform::solid_fill, 9);
  platform::draw_filled_ellipse(400, 300, 60, 40);
  if (argc > 1) save_ppm(argv[1]);
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    const int key = platform::wait_key();
    std::printf("%d\n", key);
    std::fflush(stdout);
    if (key == 27) break;
  }
  platform::close_graphics_window();
  return 0;
}
