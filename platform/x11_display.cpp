#include "platform/x11_display.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace platform {
namespace {

XErrorHandler earlier_handler = nullptr;

int ignore_bad_window(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow) return 0;
  return earlier_handler ? earlier_handler(display, error) : 0;
}

void put(const char* text) {
  for (std::size_t left = std::strlen(text); left > 0;) {
    const ssize_t written = write(STDERR_FILENO, text, left);
    if (written <= 0) return;
    text += written;
    left -= static_cast<std::size_t>(written);
  }
}

// Xlib calls exit() if this returns; it does not.
int end_on_lost_display(Display*) {
  put(program_invocation_short_name);
  put(": lost the connection to the display\n");
  _exit(1);
}

struct X11Window {
  Display* display = nullptr;
  Window window = 0;
};

X11Window x11_window(SDL_Window* window) {
  SDL_SysWMinfo system{};
  SDL_VERSION(&system.version);
  if (!SDL_GetWindowWMInfo(window, &system) || system.subsystem != SDL_SYSWM_X11) return {};
  return {system.info.x11.display, system.info.x11.window};
}

// The 32-bit items of a property of `window`, or nothing when it has none.
std::optional<std::vector<long>> property(Display* display, Window window, const char* name, Atom type) {
  Atom actual_type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  const Atom atom = XInternAtom(display, name, False);
  if (XGetWindowProperty(display, window, atom, 0, 1024, False, type, &actual_type, &format, &count, &remaining,
                         &data) != Success)
    return std::nullopt;
  std::optional<std::vector<long>> items;
  if (actual_type == type && format == 32) {
    const auto* values = reinterpret_cast<const long*>(data);  // Xlib hands 32-bit items as longs
    items.emplace(values, values + count);
  }
  if (data) XFree(data);
  return items;
}

}  // namespace

std::optional<FrameExtents> frame_before_showing(SDL_Window* sdl_window, int timeout_ms) {
  const auto [display, window] = x11_window(sdl_window);
  if (!display) return FrameExtents{};
  const Window root = DefaultRootWindow(display);
  // A window manager that follows the desktop conventions names itself here.
  if (!property(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW)) return FrameExtents{};
  const Atom request = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
  const auto supported = property(display, root, "_NET_SUPPORTED", XA_ATOM);
  if (!supported || std::find(supported->begin(), supported->end(), static_cast<long>(request)) == supported->end())
    return std::nullopt;

  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = request;
  event.xclient.format = 32;
  XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  do {
    if (const auto edges = property(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL); edges && edges->size() == 4)
      return FrameExtents{static_cast<int>((*edges)[0]), static_cast<int>((*edges)[1]), static_cast<int>((*edges)[2]),
                          static_cast<int>((*edges)[3])};
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  } while (std::chrono::steady_clock::now() < deadline);
  return std::nullopt;
}

int x11_connection(SDL_Window* sdl_window) {
  const auto [display, window] = x11_window(sdl_window);
  return display ? ConnectionNumber(display) : -1;
}

bool move_window_frame(SDL_Window* sdl_window, int x, int y) {
  const auto [display, window] = x11_window(sdl_window);
  if (!display) return false;
  XMoveWindow(display, window, x, y);
  XFlush(display);
  return true;
}

void install_x11_error_handlers() {
  const XErrorHandler previous = XSetErrorHandler(ignore_bad_window);
  if (previous != ignore_bad_window) earlier_handler = previous;
  XSetIOErrorHandler(end_on_lost_display);
}

}  // namespace platform
