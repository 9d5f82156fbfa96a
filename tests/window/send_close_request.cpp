// Asks a window to close the way a window manager's close button does: a
// WM_DELETE_WINDOW client message to the window, or, with --window-manager,
// a _NET_CLOSE_WINDOW request to the running window manager, which then sends
// that message itself. Usage: send_close_request [--window-manager] WINDOW_ID
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  const bool through_manager = argc == 3 && std::strcmp(argv[1], "--window-manager") == 0;
  if (argc != 2 && !through_manager) {
    std::fprintf(stderr, "usage: send_close_request [--window-manager] WINDOW_ID\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "send_close_request: no display\n");
    return 1;
  }
  const Window window = std::strtoul(argv[argc - 1], nullptr, 0);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.format = 32;
  if (through_manager) {
    event.xclient.message_type = XInternAtom(display, "_NET_CLOSE_WINDOW", False);
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2;  // on behalf of the user, as a pager or task bar asks
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
  } else {
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
  }
  XCloseDisplay(display);
  return 0;
}
