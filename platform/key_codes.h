// Key presses to key codes. A key with a character gives that character (one
// byte, from the text the keyboard layout makes of it); Ctrl with a letter gives
// 1..26; a key without a character gives two bytes, 0 and a code, chosen by the
// Shift, Ctrl and Alt keys held with it. Pure: each window backend fills a
// KeyPress from its events, and the whole table can be tested without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {

enum class Key : std::uint8_t {
  none,       // a key that gives nothing: Shift, Ctrl, Alt alone, Caps Lock, ...
  character,  // a key that types a character: letters, digits, punctuation
  function,   // F1..F12
  home, up, page_up, left, centre, right, end, down, page_down, insert, del,
  menu, pause,
  keypad_digit,  // a keypad digit under Num Lock ('0'..'9' in value)
  keypad_multiply, keypad_plus, keypad_minus, keypad_period, keypad_divide,
  enter, backspace, space, tab, escape,
};

struct KeyPress {
  Key key = Key::none;
  // Key::character: the key's unshifted character under the keyboard layout
  // ('a'..'z' for letters). Key::function: 1..12.
  int value = 0;
  // Key::character: the letter that the key carries on a US keyboard, by its
  // position ('a'..'z'), 0 for other keys; Alt with a letter gives its scan code.
  char position = 0;
  bool shift = false, ctrl = false, alt = false;
};

struct KeyCodes {
  std::array<std::uint8_t, 2> bytes{};
  std::size_t size = 0;
  // The press gives no bytes itself: the character it types follows as text.
  bool text_follows = false;
};

KeyCodes key_codes(const KeyPress& press);

// The byte of typed text: one character of code 1..255, otherwise nothing.
KeyCodes text_codes(std::string_view utf8);

// The letter at a key's position on a US keyboard ('a'..'z', for KeyPress's
// position) from the key's PC keyboard scan code (A 30, B 48, ...); 0 for a
// key that carries no letter.
char letter_at_scan_code(int scan_code);

}  // namespace platform
