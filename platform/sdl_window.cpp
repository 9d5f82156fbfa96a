// The real window on Linux: SDL2 on a thread of its own (what it shares with
// the Windows window is in window_thread.h). The thread creates the window,
// pumps its events (SDL wants both on one thread), turns key presses and close
// requests into key codes, and shows the drawing surface through a texture.
// Between events it sleeps on the X connection and on an event counter through
// which the program thread wakes it. (The program thread never pushes SDL
// events: SDL wakes a waiting thread by sending an X event to the window,
// which can race with the window's destruction.)
#include <SDL.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

#include "platform/floating_point.h"
#include "platform/key_codes.h"
#include "platform/palette.h"
#include "platform/window_thread.h"
#include "platform/x11_display.h"

namespace platform {
namespace {

constexpr int idle_ms = 250;        // longest sleep of an idle window thread (the program wakes it)
constexpr int poll_ms = 16;         // longest sleep where the display gives no connection to wait on
constexpr int frame_wait_ms = 500;  // how long the window manager may take to tell the frame

KeyPress key_press(const SDL_Keysym& sym) {
  KeyPress press;
  const Uint16 mod = sym.mod;
  press.shift = mod & KMOD_SHIFT;
  press.ctrl = mod & KMOD_CTRL;
  press.alt = mod & KMOD_ALT;
  const bool num_lock = mod & KMOD_NUM;
  const SDL_Scancode code = sym.scancode;
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) press.position = static_cast<char>('a' + (code - SDL_SCANCODE_A));

  switch (sym.sym) {
    case SDLK_RETURN: case SDLK_KP_ENTER: press.key = Key::enter; return press;
    case SDLK_BACKSPACE: press.key = Key::backspace; return press;
    case SDLK_SPACE: press.key = Key::space; return press;
    case SDLK_TAB: press.key = Key::tab; return press;
    case SDLK_ESCAPE: press.key = Key::escape; return press;
    case SDLK_HOME: press.key = Key::home; return press;
    case SDLK_UP: press.key = Key::up; return press;
    case SDLK_PAGEUP: press.key = Key::page_up; return press;
    case SDLK_LEFT: press.key = Key::left; return press;
    case SDLK_RIGHT: press.key = Key::right; return press;
    case SDLK_END: press.key = Key::end; return press;
    case SDLK_DOWN: press.key = Key::down; return press;
    case SDLK_PAGEDOWN: press.key = Key::page_down; return press;
    case SDLK_INSERT: press.key = Key::insert; return press;
    case SDLK_DELETE: press.key = Key::del; return press;
    case SDLK_APPLICATION: case SDLK_MENU: press.key = Key::menu; return press;
    case SDLK_PAUSE: press.key = Key::pause; return press;
    case SDLK_KP_MULTIPLY: press.key = Key::keypad_multiply; return press;
    case SDLK_KP_PLUS: press.key = Key::keypad_plus; return press;
    case SDLK_KP_MINUS: press.key = Key::keypad_minus; return press;
    case SDLK_KP_DIVIDE: press.key = Key::keypad_divide; return press;
    default: break;
  }
  if (sym.sym >= SDLK_F1 && sym.sym <= SDLK_F12) {
    press.key = Key::function;
    press.value = static_cast<int>(sym.sym - SDLK_F1) + 1;
    return press;
  }
  // The keypad: digits and the point with Num Lock on, cursor keys without.
  if ((sym.sym >= SDLK_KP_1 && sym.sym <= SDLK_KP_0) || sym.sym == SDLK_KP_PERIOD) {
    static constexpr Key cursor[] = {Key::end,  Key::down,  Key::page_down, Key::left,   Key::centre,
                                     Key::right, Key::home, Key::up,        Key::page_up, Key::insert};
    if (sym.sym == SDLK_KP_PERIOD) {
      press.key = num_lock ? Key::keypad_period : Key::del;
    } else if (num_lock) {
      press.key = Key::keypad_digit;
      press.value = sym.sym == SDLK_KP_0 ? '0' : '1' + static_cast<int>(sym.sym - SDLK_KP_1);
    } else {
      press.key = cursor[sym.sym - SDLK_KP_1];
    }
    return press;
  }
  if (sym.sym >= 32 && sym.sym < 0x40000000) {  // a key that types a character
    press.key = Key::character;
    press.value = sym.sym;
  }
  return press;
}

class SdlWindow final : public WindowThread {
 public:
  SdlWindow() : wake_fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
  ~SdlWindow() override {
    // An exit() on the window thread itself cannot wait for that thread.
    if (thread().joinable() && thread().get_id() == std::this_thread::get_id())
      thread().detach();
    else
      close();
  }

 private:
  void wake() override {
    const std::uint64_t one = 1;
    if (write(wake_fd_, &one, sizeof one) < 0 && errno != EAGAIN) {
      // The counter is only ever full of wake-ups already: nothing is lost.
    }
  }

  std::string create() override {
    // SDL and the graphics drivers do not expect trapping arithmetic.
    mask_arithmetic_faults();
    // A write to a display that has gone away fails with EPIPE, which Xlib
    // reports as a lost connection, instead of killing the process.
    sigset_t pipe_signal;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -2);  // above normal where allowed
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // SDL asks the desktop to bypass its compositor by default, as for a game;
    // a window among others has no use for that.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The software renderer then writes to the window's own framebuffer
    // rather than through a GL texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    if (!requested && !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY"))
      return "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    // Only a display that shows the window will do: when none answers, SDL
    // would fall back to drivers that show nothing.
    if (!requested) SDL_SetHint(SDL_HINT_VIDEODRIVER, SDL_getenv("DISPLAY") ? "x11" : "wayland");
    // Before SDL_Init: SDL hands the errors it does not handle itself to the
    // handler it found in place, and puts that one back when it quits.
    install_x11_error_handlers();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return std::string("no display: ") + SDL_GetError();

    scale_ = presentation().fullscreen ? 1 : presentation().scale;
    const int width = surface().width(), height = surface().height();
    const std::string area = std::to_string(width) + " x " + std::to_string(height);
    SDL_Rect screen{};
    if (SDL_GetDisplayBounds(0, &screen) != 0) return std::string("no display: ") + SDL_GetError();
    if (screen.w < width || screen.h < height)
      return "the screen (" + std::to_string(screen.w) + " x " + std::to_string(screen.h) +
             ") is smaller than the " + area + " drawing area";
    const Uint32 flags = SDL_WINDOW_HIDDEN | (presentation().fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    window_ = SDL_CreateWindow(title().c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * scale_,
                               height * scale_, flags);
    if (!window_) return std::string("cannot create the window: ") + SDL_GetError();
    // A repaint is one copy of the whole picture: the software renderer does
    // that well, and spares the process a GL driver and its threads.
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) return std::string("cannot draw into the window: ") + SDL_GetError();
    for (int i = 0; i < 256; ++i) colours_[i] = 0xFF000000u | start_palette[i];
    x11_fd_ = x11_connection(window_);

    SDL_StartTextInput();
    if (presentation().fullscreen) {
      SDL_ShowWindow(window_);
    } else {
      // The frame is known before the window shows where the window manager
      // tells it on request; otherwise the window shows first and is placed
      // again once framed.
      const std::optional<FrameExtents> frame = frame_before_showing(window_, frame_wait_ms);
      fit_scale(frame.value_or(FrameExtents{}));
      if (frame) place(screen, *frame);
      SDL_ShowWindow(window_);
      if (!frame) place(screen, frame_after_showing());
    }
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
    repaint();
    return {};
  }

  // The usable part of the screen: without the panels of the desktop.
  static SDL_Rect usable_area(const SDL_Rect& screen) {
    SDL_Rect usable = screen;
    SDL_GetDisplayUsableBounds(0, &usable);
    return usable;
  }

  // The largest scale, up to the one asked for, at which the framed window
  // fits the screen; said in one line when it is smaller.
  void fit_scale(const FrameExtents& frame) {
    SDL_Rect screen{};
    SDL_GetDisplayBounds(0, &screen);
    const SDL_Rect usable = usable_area(screen);
    const int width = surface().width(), height = surface().height();
    int scale = scale_;
    while (scale > 1 && (scale * width + frame.left + frame.right > usable.w ||
                         scale * height + frame.top + frame.bottom > usable.h))
      --scale;
    if (scale == scale_) return;
    std::fprintf(stderr, "%s: the screen cannot hold the window at scale %d: showing it at scale %d\n",
                 program_invocation_short_name, scale_, scale);
    scale_ = scale;
    SDL_SetWindowSize(window_, width * scale, height * scale);
  }

  // Centres the window, frame included, on the screen's usable area. A screen
  // that holds the drawing area but not the frame gets a window without frame,
  // exactly the size of the drawing area, centred on the whole screen.
  void place(const SDL_Rect& screen, FrameExtents frame) {
    const int width = surface().width() * scale_, height = surface().height() * scale_;
    const SDL_Rect usable = usable_area(screen);
    SDL_Rect area = usable;
    if (width + frame.left + frame.right > usable.w || height + frame.top + frame.bottom > usable.h) {
      SDL_SetWindowBordered(window_, SDL_FALSE);
      frame = {};
      area = screen;
    }
    const int x = area.x + (area.w - (width + frame.left + frame.right)) / 2;
    const int y = area.y + (area.h - (height + frame.top + frame.bottom)) / 2;
    if (!move_window_frame(window_, x, y)) SDL_SetWindowPosition(window_, x + frame.left, y + frame.top);
  }

  // The frame of a window just shown, once the window manager has put it on.
  FrameExtents frame_after_showing() {
    FrameExtents frame;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(frame_wait_ms);
    do {
      SDL_PumpEvents();
      if (SDL_GetWindowBordersSize(window_, &frame.top, &frame.left, &frame.bottom, &frame.right) == 0 &&
          frame.top + frame.left + frame.bottom + frame.right > 0)
        break;
      SDL_Delay(2);
    } while (std::chrono::steady_clock::now() < deadline);
    return frame;
  }

  void destroy() override {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    texture_scale_ = 0;
    renderer_ = nullptr;
    window_ = nullptr;
    x11_fd_ = -1;
    SDL_Quit();
  }

  bool handle_events() override {
    bool exposed = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) exposed |= handle(event);
    return exposed;
  }

  // Waits on the X connection and the wake-up counter. An idle thread still
  // looks round now and then: SDL may have work of its own.
  void sleep(int timeout_ms) override {
    if (timeout_ms < 0) timeout_ms = idle_ms;
    if (x11_fd_ < 0) {
      SDL_WaitEventTimeout(nullptr, std::min(timeout_ms, poll_ms));
      return;
    }
    pollfd watched[] = {{x11_fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    poll(watched, 2, timeout_ms);
    std::uint64_t wakes = 0;
    if (read(wake_fd_, &wakes, sizeof wakes) < 0 && errno != EAGAIN) {
      // Nothing to clear.
    }
  }

  // Handles one event; true when the window needs a repaint.
  bool handle(const SDL_Event& event) {
    switch (event.type) {
      case SDL_WINDOWEVENT:
        switch (event.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            ask_to_close();
            return false;
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_SHOWN:
          case SDL_WINDOWEVENT_RESTORED:
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            return true;
          default:
            return false;
        }
      case SDL_KEYDOWN: {
        // Print Screen gives no key code: it saves the picture.
        if (event.key.keysym.sym == SDLK_PRINTSCREEN) {
          take_text_ = false;
          if (!event.key.repeat) save_finished_picture();
          return false;
        }
        const KeyCodes codes = key_codes(key_press(event.key.keysym));
        // The text event that a key press may bring counts only when the press
        // itself gave nothing (Alt with a letter brings one as well).
        take_text_ = codes.text_follows;
        give_key(codes);
        return false;
      }
      case SDL_TEXTINPUT: {
        if (!take_text_) return false;
        take_text_ = false;
        give_key(text_codes(event.text.text));
        return false;
      }
      default:
        return false;
    }
  }

  // Copies the drawing area into the window: each pixel a scale x scale block,
  // centred (on black, when the window is larger: full screen).
  void repaint() override {
    int out_width = 0, out_height = 0;
    SDL_GetRendererOutputSize(renderer_, &out_width, &out_height);
    const int width = surface().width(), height = surface().height();
    const int scale =
        presentation().fullscreen ? std::max(1, std::min(out_width / width, out_height / height)) : scale_;
    if (scale != texture_scale_) {
      if (texture_) SDL_DestroyTexture(texture_);
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                   width * scale, height * scale);
      texture_scale_ = texture_ ? scale : 0;
      if (!texture_) return;
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return;
    surface().for_each_row_locked([&](const std::uint8_t* row, int y) {
      auto* first = reinterpret_cast<Uint32*>(static_cast<char*>(pixels) + static_cast<std::ptrdiff_t>(y) * scale * pitch);
      for (int x = 0; x < width; ++x) std::fill_n(first + x * scale, scale, colours_[row[x]]);
      for (int copy = 1; copy < scale; ++copy)
        std::copy_n(first, width * scale, reinterpret_cast<Uint32*>(reinterpret_cast<char*>(first) + copy * pitch));
    });
    SDL_UnlockTexture(texture_);
    const SDL_Rect place{(out_width - width * scale) / 2, (out_height - height * scale) / 2, width * scale,
                         height * scale};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, &place);
    SDL_RenderPresent(renderer_);
  }

  const int wake_fd_;  // the program thread wakes the window thread through it

  // The window thread's.
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int texture_scale_ = 0;
  int scale_ = 1;
  int x11_fd_ = -1;
  Uint32 colours_[256] = {};
  bool take_text_ = false;
};

}  // namespace

WindowBackend& system_window() {
  static SdlWindow window;
  return window;
}

}  // namespace platform
