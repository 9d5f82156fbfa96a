#include "platform/x11_errors.h"

#include <X11/Xlib.h>

namespace platform {
namespace {

XErrorHandler earlier_handler = nullptr;

int ignore_bad_window(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow) return 0;
  return earlier_handler ? earlier_handler(display, error) : 0;
}

}  // namespace

void tolerate_vanished_x11_windows() {
  const XErrorHandler previous = XSetErrorHandler(ignore_bad_window);
  if (previous != ignore_bad_window) earlier_handler = previous;
}

}  // namespace platform
