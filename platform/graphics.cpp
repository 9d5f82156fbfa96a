// The graphics operations over the process's one drawing area. The drawing
// state (drawing colour, fill) belongs to the program thread alone; the pixels
// are shared with the backend through the Surface.
#include "platform/graphics.h"

#include <string>

#include "platform/window_backend.h"

namespace platform {

Surface internal::surface;

namespace {

using internal::surface;

WindowBackend* backend = nullptr;  // chosen backend; the SDL window when none was chosen
WindowBackend* open_backend = nullptr;
Presentation presentation;

int result = graph_ok;
std::string error_message;

std::uint8_t draw_colour = static_cast<std::uint8_t>(white);
int fill_pattern = solid_fill;
std::uint8_t fill_colour = static_cast<std::uint8_t>(white);
constexpr std::uint8_t background = static_cast<std::uint8_t>(black);

// Coordinates are 16-bit at this boundary: a wider value keeps its low 16 bits.
int cut(int coordinate) { return static_cast<std::int16_t>(coordinate); }
std::uint8_t palette_index(std::uint32_t colour) { return static_cast<std::uint8_t>(colour); }

void fail(int code, std::string message) {
  result = code;
  error_message = std::move(message);
}

}  // namespace

void use_window_backend(WindowBackend& chosen) { backend = &chosen; }
void set_window_presentation(const Presentation& chosen) { presentation = chosen; }
const Surface& drawing_surface() { return surface; }

void open_graphics_window(std::int16_t& driver, std::int16_t& mode, std::string_view title) {
  close_graphics_window();
  int width = 0, height = 0;
  if (driver == driver_256_colours && mode == mode_800x600) {
    width = 800;
    height = 600;
  } else if (driver == driver_256_colours && mode == mode_1024x768) {
    width = 1024;
    height = 768;
  } else {
    surface.resize(0, 0);
    return fail(graph_invalid_mode, "driver " + std::to_string(driver) + " has no mode " + std::to_string(mode));
  }
  surface.resize(width, height);
  draw_colour = static_cast<std::uint8_t>(white);
  fill_pattern = solid_fill;
  fill_colour = static_cast<std::uint8_t>(white);
  WindowBackend& chosen = backend ? *backend : sdl_window();
  if (std::string why = chosen.open(surface, title, presentation); !why.empty()) {
    surface.resize(0, 0);
    return fail(graph_not_opened, std::move(why));
  }
  open_backend = &chosen;
  result = graph_ok;
  error_message.clear();
}

void close_graphics_window() {
  if (!open_backend) return;
  open_backend->close();
  open_backend = nullptr;
}

int graph_result() { return result; }
std::string_view graph_error_message() { return error_message; }

int largest_x() { return surface.width() - 1 < 0 ? 0 : surface.width() - 1; }
int largest_y() { return surface.height() - 1 < 0 ? 0 : surface.height() - 1; }
int largest_colour() { return 255; }

void clear_window() { surface.clear(background); }

void set_draw_colour(std::uint32_t colour) { draw_colour = palette_index(colour); }

void draw_line(int x1, int y1, int x2, int y2) { surface.line(cut(x1), cut(y1), cut(x2), cut(y2), draw_colour); }

void set_fill(int pattern, std::uint32_t colour) {
  fill_pattern = pattern;
  fill_colour = palette_index(colour);
}

void draw_filled_ellipse(int x, int y, int x_radius, int y_radius) {
  const std::uint8_t interior = fill_pattern == empty_fill ? background : fill_colour;
  surface.filled_ellipse(cut(x), cut(y), cut(x_radius), cut(y_radius), draw_colour, interior);
}

std::uint8_t wait_key() {
  // With no window there is nothing to wait for: the key is 0 at once.
  return open_backend ? open_backend->wait_key() : 0;
}

}  // namespace platform
