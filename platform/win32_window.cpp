// The real window on Windows: plain Win32 on a thread of its own (what it
// shares with the Linux window is in window_thread.h). The thread creates the
// window, pumps its messages, turns key presses and close requests into key
// codes, and shows the drawing surface through StretchDIBits with a 256-colour
// table; the system asks for the repaints after the window was covered or
// minimised. Between messages it sleeps until one arrives or the program wakes
// it: it does not poll.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/floating_point.h"
#include "platform/key_codes.h"
#include "platform/palette.h"
#include "platform/window_thread.h"
#include "platform/windows_errors.h"

namespace platform {
namespace {

constexpr wchar_t class_name[] = L"stereogram window";
// Titled, with close and minimise buttons, not resizable.
constexpr DWORD framed_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

bool held(int virtual_key) { return GetKeyState(virtual_key) & 0x8000; }

bool extended_key(LPARAM flags) { return flags & (1 << 24); }

// Under Num Lock the system gives a keypad digit or point held with Shift as
// the cursor key on it, which types nothing. Those keys are the digit or
// point here ('0'..'9', '.'), as the key table has them; otherwise 0. (The
// cursor block's own keys are extended keys.)
char shifted_keypad_character(WPARAM virtual_key, LPARAM flags) {
  if (extended_key(flags) || !(GetKeyState(VK_NUMLOCK) & 1)) return 0;
  switch (virtual_key) {
    case VK_INSERT: return '0';
    case VK_END: return '1';
    case VK_DOWN: return '2';
    case VK_NEXT: return '3';
    case VK_LEFT: return '4';
    case VK_CLEAR: return '5';
    case VK_RIGHT: return '6';
    case VK_HOME: return '7';
    case VK_UP: return '8';
    case VK_PRIOR: return '9';
    case VK_DELETE: return '.';
    default: return 0;
  }
}

// A key message's virtual key and flags (scan code in bits 16..23, extended
// key in bit 24) as a KeyPress. The keypad gives the cursor keys with Num
// Lock off, its digits and point with Num Lock on.
KeyPress key_press(WPARAM virtual_key, LPARAM flags) {
  KeyPress press;
  press.shift = held(VK_SHIFT);
  press.ctrl = held(VK_CONTROL);
  press.alt = held(VK_MENU);
  if (!extended_key(flags)) press.position = letter_at_scan_code(static_cast<int>((flags >> 16) & 0xFF));
  if (const char character = shifted_keypad_character(virtual_key, flags)) {
    press.key = character == '.' ? Key::keypad_period : Key::keypad_digit;
    press.value = character;
    return press;
  }

  switch (virtual_key) {
    case VK_RETURN: press.key = Key::enter; return press;
    case VK_BACK: press.key = Key::backspace; return press;
    case VK_SPACE: press.key = Key::space; return press;
    case VK_TAB: press.key = Key::tab; return press;
    case VK_ESCAPE: press.key = Key::escape; return press;
    case VK_HOME: press.key = Key::home; return press;
    case VK_UP: press.key = Key::up; return press;
    case VK_PRIOR: press.key = Key::page_up; return press;
    case VK_LEFT: press.key = Key::left; return press;
    case VK_CLEAR: press.key = Key::centre; return press;  // keypad 5 with Num Lock off
    case VK_RIGHT: press.key = Key::right; return press;
    case VK_END: press.key = Key::end; return press;
    case VK_DOWN: press.key = Key::down; return press;
    case VK_NEXT: press.key = Key::page_down; return press;
    case VK_INSERT: press.key = Key::insert; return press;
    case VK_DELETE: press.key = Key::del; return press;
    case VK_APPS: press.key = Key::menu; return press;
    case VK_PAUSE:
    case VK_CANCEL:  // Ctrl+Pause arrives as Break
      press.key = Key::pause;
      return press;
    case VK_MULTIPLY: press.key = Key::keypad_multiply; return press;
    case VK_ADD: press.key = Key::keypad_plus; return press;
    case VK_SUBTRACT: press.key = Key::keypad_minus; return press;
    case VK_DECIMAL: press.key = Key::keypad_period; return press;
    case VK_DIVIDE: press.key = Key::keypad_divide; return press;
    default: break;
  }
  if (virtual_key >= VK_F1 && virtual_key <= VK_F12) {
    press.key = Key::function;
    press.value = static_cast<int>(virtual_key - VK_F1) + 1;
    return press;
  }
  if (virtual_key >= VK_NUMPAD0 && virtual_key <= VK_NUMPAD9) {
    press.key = Key::keypad_digit;
    press.value = '0' + static_cast<int>(virtual_key - VK_NUMPAD0);
    return press;
  }
  // A key that types a character: its unshifted character under the keyboard
  // layout (the top bit marks a dead key).
  int character = static_cast<int>(MapVirtualKeyW(static_cast<UINT>(virtual_key), MAPVK_VK_TO_CHAR) & 0xFFFF);
  if (character >= 'A' && character <= 'Z') character += 'a' - 'A';
  if (character >= 32) {
    press.key = Key::character;
    press.value = character;
  }
  return press;
}

// The key codes of one UTF-16 character of typed text.
KeyCodes typed_codes(WPARAM character) {
  const auto unit = static_cast<wchar_t>(character);
  char utf8[4];
  const int size = WideCharToMultiByte(CP_UTF8, 0, &unit, 1, utf8, sizeof utf8, nullptr, nullptr);
  return text_codes(std::string_view(utf8, size > 0 ? static_cast<std::size_t>(size) : 0));
}

std::wstring wide(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, text.data(), size);
  text.resize(text.size() - 1);
  return text;
}

// The program's name, for a message: its file's name without ".exe".
std::string program_name() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, length < MAX_PATH ? length : 0);
  name.erase(0, name.find_last_of("\\/") + 1);
  if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
  return name;
}

std::string cannot_create(DWORD error) {
  return "cannot create the window" + (error ? ": " + windows_error_text(error) : std::string());
}

int width_of(const RECT& rect) { return rect.right - rect.left; }
int height_of(const RECT& rect) { return rect.bottom - rect.top; }

class Win32Window final : public WindowThread {
 public:
  Win32Window() : wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~Win32Window() override { close(); }

 private:
  void wake() override { SetEvent(wake_); }

  std::string create() override {
    // The system's window code does not expect trapping arithmetic.
    mask_arithmetic_faults();
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    scale_ = presentation().fullscreen ? 1 : presentation().scale;
    const int width = surface().width(), height = surface().height();
    // One window pixel is one screen pixel, whatever the desktop's scaling.
    SetProcessDPIAware();
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (width_of(screen) < width || height_of(screen) < height)
      return "the screen (" + std::to_string(width_of(screen)) + " x " + std::to_string(height_of(screen)) +
             ") is smaller than the " + std::to_string(width) + " x " + std::to_string(height) + " drawing area";

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.lpszClassName = class_name;
    if (!RegisterClassExW(&window_class)) return cannot_create(GetLastError());

    // Full screen: the whole screen, the picture centred on black. Otherwise
    // the window, frame included, is centred on the screen's usable area; a
    // screen that holds the drawing area but not the frame gets a window
    // without frame, exactly the size of the drawing area.
    RECT outer = screen;
    DWORD style = WS_POPUP;
    if (!presentation().fullscreen) {
      RECT usable{};
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &usable, 0);
      fit_scale(usable);
      outer = framed(scale_);
      const bool fits = width_of(outer) <= width_of(usable) && height_of(outer) <= height_of(usable);
      if (fits) style = framed_style;
      if (!fits) outer = {0, 0, width * scale_, height * scale_};
      const RECT& area = fits ? usable : screen;
      OffsetRect(&outer, area.left + (width_of(area) - width_of(outer)) / 2 - outer.left,
                 area.top + (height_of(area) - height_of(outer)) / 2 - outer.top);
    }
    window_ = CreateWindowExW(0, class_name, wide(title()).c_str(), style, outer.left, outer.top, width_of(outer),
                              height_of(outer), nullptr, nullptr, instance, this);
    if (!window_) return cannot_create(GetLastError());

    picture_.header.biSize = sizeof picture_.header;
    picture_.header.biWidth = width;
    picture_.header.biHeight = -height;  // rows from the top
    picture_.header.biPlanes = 1;
    picture_.header.biBitCount = 8;
    picture_.header.biCompression = BI_RGB;
    picture_.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
      const std::uint32_t rgb = start_palette[i];
      picture_.colours[i] = {static_cast<BYTE>(rgb), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb >> 16), 0};
    }
    stride_ = (width + 3) & ~3;  // DIB rows are whole 32-bit words
    pixels_.assign(static_cast<std::size_t>(stride_) * height, 0);

    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(window_);
    UpdateWindow(window_);
    return {};
  }

  // The framed window around the drawing area at `scale`, its client area at 0, 0.
  RECT framed(int scale) const {
    RECT outer{0, 0, surface().width() * scale, surface().height() * scale};
    AdjustWindowRectEx(&outer, framed_style, FALSE, 0);
    return outer;
  }

  // The largest scale, up to the one asked for, at which the framed window
  // fits the usable area; said in one line when it is smaller.
  void fit_scale(const RECT& usable) {
    int scale = scale_;
    while (scale > 1 && (width_of(framed(scale)) > width_of(usable) || height_of(framed(scale)) > height_of(usable)))
      --scale;
    if (scale == scale_) return;
    std::fprintf(stderr, "%s: the screen cannot hold the window at scale %d: showing it at scale %d\n",
                 program_name().c_str(), scale_, scale);
    scale_ = scale;
  }

  void destroy() override {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
    UnregisterClassW(class_name, GetModuleHandleW(nullptr));
  }

  // The window procedure paints on WM_PAINT itself.
  bool handle_events() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return false;
  }

  void sleep(int timeout_ms) override {
    MsgWaitForMultipleObjectsEx(1, &wake_, timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }

  void repaint() override {
    if (const HDC dc = GetDC(window_)) {
      paint(dc);
      ReleaseDC(window_, dc);
    }
  }

  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE)
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->handle(window, message, wparam, lparam) : DefWindowProcW(window, message, wparam, lparam);
  }

  LRESULT handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT paint_struct;
        const HDC dc = BeginPaint(window, &paint_struct);
        paint(dc);
        EndPaint(window, &paint_struct);
        return 0;
      }
      case WM_ERASEBKGND:
        return 1;  // painting covers the whole window
      case WM_CLOSE:
        ask_to_close();
        return 0;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: {
        const KeyCodes codes = key_codes(key_press(wparam, lparam));
        // The character message that a key press may bring counts only when
        // the press itself gave nothing (Alt with a letter brings one as well).
        take_text_ = codes.text_follows;
        give_key(codes);
        return 0;
      }
      case WM_CHAR:
      case WM_SYSCHAR: {
        if (!take_text_) return 0;
        take_text_ = false;
        give_key(typed_codes(wparam));
        return 0;
      }
      // Print Screen gives no key code: it saves the picture. Windows tells
      // only of its release.
      case WM_KEYUP:
      case WM_SYSKEYUP:
        if (wparam == VK_SNAPSHOT) save_finished_picture();
        // The system's own keys are keys like any other here: Alt or F10
        // alone must not take the next key into a menu, Alt+Space must not
        // open the system menu, and Alt+F4 has given its codes already, so
        // the system must not turn it into a close request too.
        if (message == WM_SYSKEYUP) return 0;
        break;
      case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == SC_KEYMENU) return 0;
        break;
      default:
        break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
  }

  // Shows the drawing surface as it stands: each pixel a scale x scale block,
  // centred (on black, when the window is larger: full screen).
  void paint(HDC dc) {
    const int width = surface().width(), height = surface().height();
    surface().for_each_row_locked([&](const std::uint8_t* row, int y) {
      std::copy(row, row + width, pixels_.begin() + static_cast<std::ptrdiff_t>(y) * stride_);
    });
    RECT client{};
    GetClientRect(window_, &client);
    const int scale = presentation().fullscreen
                          ? std::max(1, std::min(width_of(client) / width, height_of(client) / height))
                          : scale_;
    const RECT place{(width_of(client) - width * scale) / 2, (height_of(client) - height * scale) / 2,
                     (width_of(client) + width * scale) / 2, (height_of(client) + height * scale) / 2};
    if (!EqualRect(&place, &client)) {
      PatBlt(dc, 0, 0, width_of(client), place.top, BLACKNESS);
      PatBlt(dc, 0, place.bottom, width_of(client), height_of(client) - place.bottom, BLACKNESS);
      PatBlt(dc, 0, place.top, place.left, height_of(place), BLACKNESS);
      PatBlt(dc, place.right, place.top, width_of(client) - place.right, height_of(place), BLACKNESS);
    }
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, place.left, place.top, width_of(place), height_of(place), 0, 0, width, height, pixels_.data(),
                  reinterpret_cast<const BITMAPINFO*>(&picture_), DIB_RGB_COLORS, SRCCOPY);
  }

  const HANDLE wake_;  // the program thread wakes the window thread through it

  // The window thread's.
  HWND window_ = nullptr;
  int scale_ = 1;
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } picture_{};
  int stride_ = 0;
  std::vector<std::uint8_t> pixels_;
  bool take_text_ = false;
};

}  // namespace

WindowBackend& system_window() {
  static Win32Window window;
  return window;
}

}  // namespace platform
