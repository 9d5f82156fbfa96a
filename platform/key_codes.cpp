#include "platform/key_codes.h"

namespace platform {
namespace {

KeyCodes one(int byte) { return {{static_cast<std::uint8_t>(byte), 0}, 1, false}; }
KeyCodes two(int code) { return {{0, static_cast<std::uint8_t>(code)}, 2, false}; }
KeyCodes nothing() { return {}; }
KeyCodes text() { return {{}, 0, true}; }

// Scan codes of the letters a..z by their position on the keyboard.
constexpr std::uint8_t letter_scan_codes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                                49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

// Second codes of the keys without a character, Shift not counted.
struct Codes {
  int plain, ctrl, alt;
};
constexpr Codes navigation_codes(Key key) {
  switch (key) {
    case Key::home: return {71, 119, 164};
    case Key::up: return {72, 141, 152};
    case Key::page_up: return {73, 132, 153};
    case Key::left: return {75, 115, 155};
    case Key::centre: return {76, 143, 76};
    case Key::right: return {77, 116, 157};
    case Key::end: return {79, 117, 165};
    case Key::down: return {80, 145, 160};
    case Key::page_down: return {81, 118, 161};
    case Key::insert: return {82, 146, 162};
    case Key::del: return {83, 147, 163};
    default: return {151, 151, 151};  // the context-menu key
  }
}

KeyCodes function_key(const KeyPress& p) {
  const int n = p.value;
  if (n < 1 || n > 12) return nothing();
  // Shift first, then Ctrl, then Alt.
  if (n <= 10) {
    if (p.shift) return two(83 + n);
    if (p.ctrl) return two(93 + n);
    if (p.alt) return two(103 + n);
    return two(58 + n);
  }
  const int m = n - 11;
  if (p.shift) return two(135 + m);
  if (p.ctrl) return two(137 + m);
  if (p.alt) return two(139 + m);
  return two(133 + m);
}

KeyCodes character_key(const KeyPress& p) {
  const int c = p.value;
  if (c >= 'a' && c <= 'z') {
    if (p.ctrl) return one(c - 'a' + 1);
    if (p.alt) {
      if (p.position >= 'a' && p.position <= 'z') return two(letter_scan_codes[p.position - 'a']);
      return nothing();
    }
    return text();
  }
  if (c >= '0' && c <= '9') {
    if (p.ctrl) return two(c == '0' ? 10 : c - '0');
    if (p.alt) return two(c == '0' ? 129 : 119 + (c - '0'));
    return text();
  }
  // Ctrl with [ \ ] gives the control characters 27, 28, 29, as the layout's
  // translation does; Ctrl or Alt with other punctuation gives nothing.
  if (p.ctrl) {
    if (c == '[') return one(27);
    if (c == '\\') return one(28);
    if (c == ']') return one(29);
    return nothing();
  }
  if (p.alt) return nothing();
  return text();
}

KeyCodes keypad_operator(const KeyPress& p, int ctrl_code, int alt_code) {
  if (p.ctrl) return two(ctrl_code);
  if (p.alt) return two(alt_code);
  return text();
}

}  // namespace

KeyCodes key_codes(const KeyPress& p) {
  switch (p.key) {
    case Key::none: return nothing();
    case Key::character: return character_key(p);
    case Key::function: return function_key(p);
    case Key::pause:
      if (p.ctrl) return nothing();
      return two(p.alt ? 169 : 12);
    case Key::keypad_multiply: return keypad_operator(p, 149, 70);
    case Key::keypad_plus: return keypad_operator(p, 144, 78);
    case Key::keypad_minus: return keypad_operator(p, 142, 74);
    // Shift with the keypad's digits and point under Num Lock types nothing on
    // the usual keyboard set-ups (Shift turns them into the cursor keys and
    // Delete there): they give their characters themselves. The digits are
    // digits under every layout.
    case Key::keypad_digit:
      return p.ctrl || p.alt ? character_key(p) : one(p.value);
    case Key::keypad_period:
      if (p.shift && !p.ctrl && !p.alt) return one('.');
      return keypad_operator(p, 150, 114);
    case Key::keypad_divide: return keypad_operator(p, 148, 69);
    case Key::enter: return p.ctrl ? one(10) : p.alt ? two(166) : one(13);
    case Key::backspace: return p.ctrl ? one(127) : p.alt ? two(14) : one(8);
    case Key::space: return p.ctrl ? one(32) : p.alt ? two(11) : text();
    case Key::tab: return p.ctrl ? one(30) : p.alt ? nothing() : one(9);
    case Key::escape: return one(27);
    default: {
      const Codes codes = navigation_codes(p.key);
      return two(p.ctrl ? codes.ctrl : p.alt ? codes.alt : codes.plain);
    }
  }
}

char letter_at_scan_code(int scan_code) {
  for (int i = 0; i < 26; ++i)
    if (letter_scan_codes[i] == scan_code) return static_cast<char>('a' + i);
  return 0;
}

KeyCodes text_codes(std::string_view utf8) {
  // Decode one UTF-8 character; anything longer, or beyond 255, has no byte.
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  if (utf8.size() == 1 && s[0] >= 1 && s[0] < 0x80) return one(s[0]);
  if (utf8.size() == 2 && (s[0] & 0xE0) == 0xC0 && (s[1] & 0xC0) == 0x80) {
    const int code = ((s[0] & 0x1F) << 6) | (s[1] & 0x3F);
    if (code >= 0x80 && code <= 0xFF) return one(code);
  }
  return nothing();
}

}  // namespace platform
