// The real window: SDL2 on a thread of its own. The thread creates the window,
// pumps its events (SDL wants both on one thread), turns key presses and close
// requests into key codes, and repaints from the drawing surface: at display
// rate while the program draws, once more when it starts waiting for a key,
// and whenever the system exposes the window. While the program waits, the
// thread sleeps in SDL_WaitEventTimeout, waking for the window's events and
// every 20 ms to look at the program's state. The program thread never pushes
// SDL events: SDL wakes a waiting thread by sending an X event to the window,
// which can race with the window's destruction.
#include <SDL.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cfenv>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/key_codes.h"
#include "platform/key_queue.h"
#include "platform/palette.h"
#include "platform/window_backend.h"
#include "platform/x11_display.h"

namespace platform {
namespace {

constexpr Uint32 frame_ms = 16;  // repaint interval while a frame is being drawn
constexpr int idle_ms = 20;      // how often an idle window thread looks at the program
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
      press.key = Key::character;
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

class SdlWindow final : public WindowBackend {
 public:
  ~SdlWindow() override {
    // An exit() on the window thread itself cannot wait for that thread.
    if (thread_.joinable() && thread_.get_id() == std::this_thread::get_id())
      thread_.detach();
    else
      close();
  }

  std::string open(const Surface& surface, std::string_view title) override {
    close();
    surface_ = &surface;
    title_ = title;
    keys_.clear();
    drawing_ = true;
    quit_ = false;
    {
      std::lock_guard lock(mutex_);
      state_ = State::opening;
      failure_.clear();
    }
    thread_ = std::thread([this] { run(); });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return state_ != State::opening; });
    if (state_ == State::failed) {
      lock.unlock();
      thread_.join();
      return failure_;
    }
    return {};
  }

  void close() override {
    if (!thread_.joinable()) return;
    quit_ = true;
    thread_.join();
  }

  std::uint8_t wait_key() override {
    drawing_ = false;  // the window thread repaints the finished frame once more
    const std::uint8_t key = keys_.pop();
    ++frames_;  // a frame quicker than the window thread's look still gets shown
    drawing_ = true;
    return key;
  }

 private:
  enum class State { opening, open, failed };

  void report(State state, std::string why = {}) {
    std::lock_guard lock(mutex_);
    state_ = state;
    failure_ = std::move(why);
    changed_.notify_all();
  }

  // The window thread.
  void run() {
    // SDL and the graphics drivers do not expect trapping arithmetic.
    fedisableexcept(FE_ALL_EXCEPT);
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
      return report(State::failed, "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    // Only a display that shows the window will do: when none answers, SDL
    // would fall back to drivers that show nothing.
    if (!requested) SDL_SetHint(SDL_HINT_VIDEODRIVER, SDL_getenv("DISPLAY") ? "x11" : "wayland");
    // Before SDL_Init: SDL hands the errors it does not handle itself to the
    // handler it found in place, and puts that one back when it quits.
    install_x11_error_handlers();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return report(State::failed, std::string("no display: ") + SDL_GetError());
    if (std::string why = create(); !why.empty()) {
      destroy();
      return report(State::failed, std::move(why));
    }
    report(State::open);
    loop();
    destroy();
  }

  std::string create() {
    const int width = surface_->width(), height = surface_->height();
    const std::string area = std::to_string(width) + " x " + std::to_string(height);
    SDL_Rect screen{};
    if (SDL_GetDisplayBounds(0, &screen) != 0) return std::string("no display: ") + SDL_GetError();
    if (screen.w < width || screen.h < height)
      return "the screen (" + std::to_string(screen.w) + " x " + std::to_string(screen.h) +
             ") is smaller than the " + area + " drawing area";
    window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_HIDDEN);
    if (!window_) return std::string("cannot create the window: ") + SDL_GetError();
    // A repaint is one copy of the whole picture: the software renderer does
    // that well, and spares the process a GL driver and its threads.
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) return std::string("cannot draw into the window: ") + SDL_GetError();
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!texture_) return std::string("cannot draw into the window: ") + SDL_GetError();
    for (int i = 0; i < 256; ++i) colours_[i] = 0xFF000000u | start_palette[i];

    SDL_StartTextInput();
    // The frame is known before the window shows where the window manager
    // tells it on request; otherwise the window shows first and is placed
    // again once framed.
    const std::optional<FrameExtents> frame = frame_before_showing(window_, frame_wait_ms);
    if (frame) place(screen, *frame);
    SDL_ShowWindow(window_);
    if (!frame) place(screen, frame_after_showing());
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
    repaint();
    return {};
  }

  // Centres the window, frame included, on the screen's usable area. A screen
  // that holds the drawing area but not the frame gets a window without frame,
  // exactly the size of the drawing area, centred on the whole screen.
  void place(const SDL_Rect& screen, FrameExtents frame) {
    const int width = surface_->width(), height = surface_->height();
    SDL_Rect usable = screen;
    SDL_GetDisplayUsableBounds(0, &usable);
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

  void destroy() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    SDL_Quit();
  }

  void loop() {
    using clock = std::chrono::steady_clock;
    bool owe_repaint = true;
    unsigned frames_seen = frames_;
    auto last = clock::now();
    while (!quit_) {
      if (drawing_ || frames_ != frames_seen) owe_repaint = true;
      int timeout = idle_ms;
      if (owe_repaint) {
        const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - last).count();
        timeout = since >= frame_ms ? 0 : static_cast<int>(frame_ms - since);
      }
      SDL_Event event;
      if (timeout != 0 && SDL_WaitEventTimeout(&event, timeout)) {
        owe_repaint |= handle(event);
      }
      while (SDL_PollEvent(&event)) owe_repaint |= handle(event);
      if (quit_) break;
      if (drawing_ || frames_ != frames_seen) owe_repaint = true;
      if (owe_repaint && clock::now() - last >= std::chrono::milliseconds(frame_ms)) {
        frames_seen = frames_;
        const bool still_drawing = drawing_;
        repaint();
        last = clock::now();
        owe_repaint = still_drawing;
      }
    }
  }

  // Handles one event; true when the window needs a repaint.
  bool handle(const SDL_Event& event) {
    switch (event.type) {
      case SDL_WINDOWEVENT:
        switch (event.window.event) {
          case SDL_WINDOWEVENT_CLOSE: {
            // A close request is a key like Alt+F4; only the program closes its window.
            const std::uint8_t close_request[] = {0, 107};
            keys_.push(close_request);
            return false;
          }
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_SHOWN:
          case SDL_WINDOWEVENT_RESTORED:
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            return true;
          default:
            return false;
        }
      case SDL_KEYDOWN: {
        const KeyCodes codes = key_codes(key_press(event.key.keysym));
        // The text event that a key press may bring counts only when the press
        // itself gave nothing (Alt with a letter brings one as well).
        take_text_ = codes.text_follows;
        if (codes.size) keys_.push(std::span(codes.bytes.data(), codes.size));
        return false;
      }
      case SDL_TEXTINPUT: {
        if (!take_text_) return false;
        take_text_ = false;
        const KeyCodes codes = text_codes(event.text.text);
        if (codes.size) keys_.push(std::span(codes.bytes.data(), codes.size));
        return false;
      }
      default:
        return false;
    }
  }

  void repaint() {
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return;
    surface_->for_each_row_locked([&](const std::uint8_t* row, int y) {
      auto* out = reinterpret_cast<Uint32*>(static_cast<char*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch);
      for (int x = 0; x < surface_->width(); ++x) out[x] = colours_[row[x]];
    });
    SDL_UnlockTexture(texture_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  }

  const Surface* surface_ = nullptr;
  std::string title_;
  KeyQueue keys_;
  std::thread thread_;
  std::atomic<bool> drawing_{false};   // the program is drawing a frame
  std::atomic<unsigned> frames_{0};    // frames begun since the window opened
  std::atomic<bool> quit_{false};

  std::mutex mutex_;
  std::condition_variable changed_;
  State state_ = State::opening;
  std::string failure_;

  // Owned by the window thread.
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  Uint32 colours_[256] = {};
  bool take_text_ = false;
};

}  // namespace

WindowBackend& sdl_window() {
  static SdlWindow window;
  return window;
}

}  // namespace platform
