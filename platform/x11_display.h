// The X11 specifics behind the SDL window, kept apart from the SDL code:
// Xlib's headers define macros (KeyPress, None, ...) that clash with ordinary
// names.
#pragma once

#include <optional>

struct SDL_Window;

namespace platform {

// Installs the process's X error handlers, before SDL opens its connections:
// - SDL wakes its waiting event loop by sending an X event to the window from
//   a second connection; one still in flight when the window is destroyed
//   comes back as BadWindow, which Xlib's default handler turns into exit().
//   A window that has gone away is no error; other errors go to the handler
//   that was in place.
// - When the connection to the X server is lost (the server ended, the session
//   was closed), the process ends at once with one line on standard error,
//   "<program>: lost the connection to the display", and exit code 1. Nothing
//   is cleaned up: the program thread may be drawing into the surface, and a
//   waiting one would block the exit handlers.
// Harmless where no X display is used.
void install_x11_error_handlers();

// The file descriptor of `window`'s connection to the X server, to wait on;
// -1 when it is not an X11 window.
int x11_connection(SDL_Window* window);

// The frame a window manager puts around a top-level window: the widths of its
// four edges, in pixels.
struct FrameExtents {
  int left = 0, right = 0, top = 0, bottom = 0;
};

// Asks the window manager what frame it will give `window` (created, not yet
// shown) and waits for the answer up to `timeout_ms`. No frame without a window
// manager, or for a window that is not an X11 one; nothing (std::nullopt) when
// a manager runs but cannot tell before the window is shown.
std::optional<FrameExtents> frame_before_showing(SDL_Window* window, int timeout_ms);

// Moves `window` so that its frame's top-left corner lies at (x, y): where the
// window manager puts the frame of a window placed there, by the usual
// (north-west) gravity, and the window itself when it has no frame. False when
// `window` is not an X11 window.
bool move_window_frame(SDL_Window* window, int x, int y);

}  // namespace platform
