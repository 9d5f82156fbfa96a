// The narrow boundary between the graphics operations and what shows the
// drawing area: a real SDL window, or the headless twin. graphics.cpp owns the
// surface and the drawing state; a backend shows the surface and supplies keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/surface.h"

namespace platform {

// How a window shows the drawing area: each pixel as a scale x scale block
// (the largest that fits, when the screen cannot hold this one), or full
// screen at the largest whole scale that fits, centred on black. Only whole
// scales: a stereogram's depth is its repeat distances, which any other factor
// would bend.
struct Presentation {
  int scale = 1;
  bool fullscreen = false;
};

class WindowBackend {
 public:
  virtual ~WindowBackend() = default;
  // Shows `surface` (already sized and cleared) under `title` and returns once
  // it is visible and has the keyboard focus, with an empty key queue. Returns
  // an empty string on success, otherwise why no window could be opened.
  virtual std::string open(const Surface& surface, std::string_view title, const Presentation& presentation) = 0;
  // Returns once the window is gone.
  virtual void close() = 0;
  // Blocks until a key byte is there and returns the oldest.
  virtual std::uint8_t wait_key() = 0;
};

// The real window, the default backend.
WindowBackend& sdl_window();
// Chooses the backend for the next open_graphics_window.
void use_window_backend(WindowBackend& backend);
// Chooses how the next window shows the drawing area.
void set_window_presentation(const Presentation& presentation);
// The drawing area that graphics.cpp draws on.
const Surface& drawing_surface();

}  // namespace platform
