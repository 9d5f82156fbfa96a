// X11 errors the window can meet in the normal course of things. Kept apart
// from the SDL code: Xlib's headers define macros (KeyPress, None, ...) that
// clash with ordinary names.
#pragma once

namespace platform {

// SDL wakes its waiting event loop by sending an X event to the window from a
// second connection; one still in flight when the window is destroyed comes
// back as BadWindow, which Xlib's default handler turns into exit(). From now
// on a window that has gone away is no error; other errors go to the handler
// that was in place. Harmless where no X display is used.
void tolerate_vanished_x11_windows();

}  // namespace platform
