// The graphics window both programs draw through: one fixed-size window with a
// 256-colour palette, a drawing colour and a fill, and a queue of key codes.
//
// Every operation works on the one window of the process. Coordinates are cut
// to their low 16 bits (signed), colour numbers are taken as unsigned 32-bit
// values modulo 256. Drawing outside the drawing area draws nothing and is no
// error; before the window opens (or after it failed to open) the drawing area
// is empty, largest_x and largest_y give 0 and nothing is drawn.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/palette.h"
#include "platform/surface.h"

namespace platform {

// The one driver this platform offers: 8 bits a pixel with a 256-colour palette.
inline constexpr std::int16_t driver_256_colours = 3;
inline constexpr std::int16_t mode_800x600 = 6;
inline constexpr std::int16_t mode_1024x768 = 7;

inline constexpr std::uint32_t black = 0;
inline constexpr std::uint32_t white = 15;
inline constexpr int empty_fill = 0;  // interiors in the background colour
inline constexpr int solid_fill = 1;  // interiors in the fill colour

// Result codes of graph_result().
inline constexpr int graph_ok = 0;
inline constexpr int graph_invalid_mode = -10;
inline constexpr int graph_not_opened = -3;

// Opens the window for a driver and mode (3 with 6: 800 x 600, 3 with 7:
// 1024 x 768) and returns once it is visible, focused and cleared to black,
// with drawing colour white, fill solid white and an empty key queue. Any other
// request, or a window that cannot be shown, opens nothing and leaves a negative
// graph_result() with a reason in graph_error_message().
void open_graphics_window(std::int16_t& driver, std::int16_t& mode, std::string_view title);
// Closes the window; returns once it is gone. The drawing area's last picture is
// kept for drawing_area() (the snapshot tool saves it).
void close_graphics_window();
int graph_result();
std::string_view graph_error_message();

int largest_x();
int largest_y();
int largest_colour();

namespace internal {
extern Surface surface;  // the drawing area (graphics.cpp)
}

void clear_window();
// The two per-pixel calls are inline: they are most of what a frame does
// besides its arithmetic.
inline void plot_pixel(int x, int y, std::uint32_t colour) {
  internal::surface.plot(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                         static_cast<std::uint8_t>(colour));
}
// The pixel's palette index, given as the lowest index that holds the same
// colour (16 and 247..255 read as 0, 31 as 15); 0 outside the drawing area.
inline std::uint8_t read_pixel(int x, int y) {
  return read_back_index[internal::surface.get(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y))];
}
void set_draw_colour(std::uint32_t colour);
// A one-pixel line in the drawing colour, both end points included.
void draw_line(int x1, int y1, int x2, int y2);
void set_fill(int pattern, std::uint32_t colour);
// An ellipse inside the box centre +- radii: outline one pixel wide in the
// drawing colour, interior in the fill.
void draw_filled_ellipse(int x, int y, int x_radius, int y_radius);

// Blocks until the key queue holds a byte and returns the oldest one.
std::uint8_t wait_key();

}  // namespace platform
