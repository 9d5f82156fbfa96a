// Key presses to key codes: the whole table in one list of cases, and the
// bytes of typed text.
#include "platform/key_codes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::Key;
using platform::KeyPress;

// What a press should give: the bytes, or the typed text to follow.
struct Expected {
  std::vector<int> bytes;
  bool text = false;
};
Expected none() { return {}; }
Expected text() { return {{}, true}; }
Expected one(int byte) { return {{byte}, false}; }
Expected two(int code) { return {{0, code}, false}; }

constexpr int plain = 0, shift = 1, ctrl = 2, alt = 4;  // held modifiers, or-ed

KeyPress press(Key key, int mods, int value = 0, char position = 0) {
  KeyPress p;
  p.key = key;
  p.value = value;
  p.position = position;
  p.shift = mods & shift;
  p.ctrl = mods & ctrl;
  p.alt = mods & alt;
  return p;
}
KeyPress letter(char c, int mods) { return press(Key::character, mods, c, c); }

struct Case {
  std::string name;
  KeyPress press;
  Expected expected;
};

std::string mods_name(int mods) {
  std::string name;
  if (mods & shift) name += "Shift+";
  if (mods & ctrl) name += "Ctrl+";
  if (mods & alt) name += "Alt+";
  return name;
}

std::vector<Case> key_table() {
  std::vector<Case> t;
  auto add = [&](std::string name, KeyPress p, Expected e) { t.push_back({std::move(name), p, std::move(e)}); };

  // Keys that give nothing of their own: Shift, Ctrl, Alt alone and the like.
  for (int mods : {plain, shift, ctrl, alt, shift | ctrl | alt}) add(mods_name(mods) + "none", press(Key::none, mods), none());

  // Letters: the typed character follows; Ctrl gives 1..26; Alt the scan code of
  // the key's position.
  const int scan_codes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                              49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
  for (char c = 'a'; c <= 'z'; ++c) {
    const std::string name(1, c);
    add(name, letter(c, plain), text());
    add("Shift+" + name, letter(c, shift), text());
    add("Ctrl+" + name, letter(c, ctrl), one(c - 'a' + 1));
    add("Alt+" + name, letter(c, alt), two(scan_codes[c - 'a']));
  }
  add("Ctrl+Shift+a", letter('a', ctrl | shift), one(1));
  add("Ctrl+Alt+z", letter('z', ctrl | alt), one(26));
  // Another layout: the key at the place of Q types 'a'. Ctrl goes by the
  // character, Alt by the position.
  add("Ctrl+a at Q", press(Key::character, ctrl, 'a', 'q'), one(1));
  add("Alt+a at Q", press(Key::character, alt, 'a', 'q'), two(16));
  add("Alt+m at M", press(Key::character, alt, 'm', 'm'), two(50));
  // Other characters type themselves.
  for (int c : {'-', '[', '/', ';', '\''}) add(std::string(1, static_cast<char>(c)), press(Key::character, plain, c), text());

  // Digits.
  for (int d = 0; d <= 9; ++d) {
    const std::string name(1, static_cast<char>('0' + d));
    add(name, press(Key::character, plain, '0' + d), text());
    add("Shift+" + name, press(Key::character, shift, '0' + d), text());
    add("Ctrl+" + name, press(Key::character, ctrl, '0' + d), two(d == 0 ? 10 : d));
    add("Alt+" + name, press(Key::character, alt, '0' + d), two(d == 0 ? 129 : 119 + d));
    add("Ctrl+Alt+" + name, press(Key::character, ctrl | alt, '0' + d), two(d == 0 ? 10 : d));
  }

  // Enter, Backspace, Space, Tab, Escape.
  add("Enter", press(Key::enter, plain), one(13));
  add("Shift+Enter", press(Key::enter, shift), one(13));
  add("Ctrl+Enter", press(Key::enter, ctrl), one(10));
  add("Alt+Enter", press(Key::enter, alt), two(166));
  add("Backspace", press(Key::backspace, plain), one(8));
  add("Shift+Backspace", press(Key::backspace, shift), one(8));
  add("Ctrl+Backspace", press(Key::backspace, ctrl), one(127));
  add("Alt+Backspace", press(Key::backspace, alt), two(14));
  add("Space", press(Key::space, plain), text());
  add("Shift+Space", press(Key::space, shift), text());
  add("Ctrl+Space", press(Key::space, ctrl), one(32));
  add("Alt+Space", press(Key::space, alt), two(11));
  add("Tab", press(Key::tab, plain), one(9));
  add("Ctrl+Tab", press(Key::tab, ctrl), one(30));
  add("Escape", press(Key::escape, plain), one(27));
  add("Shift+Escape", press(Key::escape, shift), one(27));

  // F1..F10: Shift first, then Ctrl, then Alt.
  for (int n = 1; n <= 10; ++n) {
    const std::string name = "F" + std::to_string(n);
    add(name, press(Key::function, plain, n), two(58 + n));
    add("Shift+" + name, press(Key::function, shift, n), two(83 + n));
    add("Ctrl+" + name, press(Key::function, ctrl, n), two(93 + n));
    add("Alt+" + name, press(Key::function, alt, n), two(103 + n));
  }
  add("Shift+Ctrl+F1", press(Key::function, shift | ctrl, 1), two(84));
  add("Shift+Alt+F10", press(Key::function, shift | alt, 10), two(93));
  add("Ctrl+Alt+F4", press(Key::function, ctrl | alt, 4), two(97));
  add("Shift+Ctrl+Alt+F5", press(Key::function, shift | ctrl | alt, 5), two(88));
  add("Alt+F4", press(Key::function, alt, 4), two(107));
  // F11, F12.
  const int f11_f12[2][4] = {{133, 135, 137, 139}, {134, 136, 138, 140}};
  for (int n = 11; n <= 12; ++n) {
    const std::string name = "F" + std::to_string(n);
    const int* codes = f11_f12[n - 11];
    add(name, press(Key::function, plain, n), two(codes[0]));
    add("Shift+" + name, press(Key::function, shift, n), two(codes[1]));
    add("Ctrl+" + name, press(Key::function, ctrl, n), two(codes[2]));
    add("Alt+" + name, press(Key::function, alt, n), two(codes[3]));
    add("Shift+Ctrl+" + name, press(Key::function, shift | ctrl, n), two(codes[1]));
    add("Ctrl+Alt+" + name, press(Key::function, ctrl | alt, n), two(codes[2]));
  }

  // The cursor block and keypad 5 with Num Lock off: Shift as plain, Ctrl before Alt.
  struct Navigation {
    const char* name;
    Key key;
    int plain, ctrl, alt;
  };
  const Navigation navigation[] = {
      {"Home", Key::home, 71, 119, 164},     {"Up", Key::up, 72, 141, 152},
      {"PageUp", Key::page_up, 73, 132, 153}, {"Left", Key::left, 75, 115, 155},
      {"Keypad5", Key::centre, 76, 143, 76},  {"Right", Key::right, 77, 116, 157},
      {"End", Key::end, 79, 117, 165},       {"Down", Key::down, 80, 145, 160},
      {"PageDown", Key::page_down, 81, 118, 161}, {"Insert", Key::insert, 82, 146, 162},
      {"Delete", Key::del, 83, 147, 163},    {"Menu", Key::menu, 151, 151, 151},
  };
  for (const Navigation& n : navigation) {
    add(n.name, press(n.key, plain), two(n.plain));
    add(std::string("Shift+") + n.name, press(n.key, shift), two(n.plain));
    add(std::string("Ctrl+") + n.name, press(n.key, ctrl), two(n.ctrl));
    add(std::string("Alt+") + n.name, press(n.key, alt), two(n.alt));
    add(std::string("Ctrl+Alt+") + n.name, press(n.key, ctrl | alt), two(n.ctrl));
    add(std::string("Shift+Alt+") + n.name, press(n.key, shift | alt), two(n.alt));
  }

  // Pause.
  add("Pause", press(Key::pause, plain), two(12));
  add("Shift+Pause", press(Key::pause, shift), two(12));
  add("Ctrl+Pause", press(Key::pause, ctrl), none());
  add("Alt+Pause", press(Key::pause, alt), two(169));
  add("Ctrl+Alt+Pause", press(Key::pause, ctrl | alt), none());

  // Keypad digits under Num Lock: the digit itself, with Shift too; Ctrl and
  // Alt as with the other digits.
  for (const int d : {0, 1, 9}) {
    const std::string name = "Keypad" + std::to_string(d);
    add(name, press(Key::keypad_digit, plain, '0' + d), one('0' + d));
    add("Shift+" + name, press(Key::keypad_digit, shift, '0' + d), one('0' + d));
    add("Ctrl+" + name, press(Key::keypad_digit, ctrl, '0' + d), two(d == 0 ? 10 : d));
    add("Alt+" + name, press(Key::keypad_digit, alt, '0' + d), two(d == 0 ? 129 : 119 + d));
  }

  // Keypad operators: the character, or Ctrl / Alt codes. Shift with the
  // point types nothing on some systems (it becomes Delete there), so the
  // point gives its character itself.
  struct Operator {
    const char* name;
    Key key;
    int ctrl, alt;
    Expected shifted;
  };
  const Operator operators[] = {
      {"Keypad*", Key::keypad_multiply, 149, 70, text()}, {"Keypad+", Key::keypad_plus, 144, 78, text()},
      {"Keypad-", Key::keypad_minus, 142, 74, text()},    {"Keypad.", Key::keypad_period, 150, 114, one(46)},
      {"Keypad/", Key::keypad_divide, 148, 69, text()},
  };
  for (const Operator& o : operators) {
    add(o.name, press(o.key, plain), text());
    add(std::string("Shift+") + o.name, press(o.key, shift), o.shifted);
    add(std::string("Ctrl+") + o.name, press(o.key, ctrl), two(o.ctrl));
    add(std::string("Alt+") + o.name, press(o.key, alt), two(o.alt));
    add(std::string("Ctrl+Alt+") + o.name, press(o.key, ctrl | alt), two(o.ctrl));
  }
  return t;
}

TEST(KeyCodes, EveryKeyGivesItsCodes) {
  for (const Case& c : key_table()) {
    SCOPED_TRACE(c.name);
    const platform::KeyCodes got = platform::key_codes(c.press);
    ASSERT_LE(got.size, 2u);
    EXPECT_EQ(std::vector<int>(got.bytes.begin(), got.bytes.begin() + static_cast<std::ptrdiff_t>(got.size)),
              c.expected.bytes);
    EXPECT_EQ(got.text_follows, c.expected.text);
  }
}

TEST(KeyCodes, TypedTextGivesOneByteUpTo255) {
  const std::vector<std::pair<std::string, Expected>> cases = {
      {"a", one(97)},
      {"A", one(65)},
      {" ", one(32)},
      {"~", one(126)},
      {"\xC3\xA9", one(233)},      // e acute
      {"\xC2\xA0", one(160)},      // no-break space
      {"\xC3\xBF", one(255)},      // y diaeresis
      {"\xC4\x80", none()},        // U+0100, beyond one byte
      {"\xE2\x82\xAC", none()},    // euro sign, three bytes
      {"\xF0\x9F\x98\x80", none()},  // four bytes
      {"", none()},
  };
  for (const auto& [utf8, expected] : cases) {
    SCOPED_TRACE("text of " + std::to_string(utf8.size()) + " bytes: " + utf8);
    const platform::KeyCodes got = platform::text_codes(utf8);
    EXPECT_EQ(std::vector<int>(got.bytes.begin(), got.bytes.begin() + static_cast<std::ptrdiff_t>(got.size)),
              expected.bytes);
    EXPECT_FALSE(got.text_follows);
  }
}

TEST(KeyCodes, ScanCodesNameTheLettersOfAUsKeyboard) {
  const std::vector<std::pair<int, char>> cases = {
      {30, 'a'}, {48, 'b'}, {16, 'q'}, {50, 'm'}, {44, 'z'},
      {2, 0},    {28, 0},   {57, 0},   {0, 0},    {255, 0},  // the 1 key, Enter, Space
  };
  for (const auto& [scan_code, letter] : cases) {
    SCOPED_TRACE("scan code " + std::to_string(scan_code));
    EXPECT_EQ(platform::letter_at_scan_code(scan_code), letter);
  }
}

}  // namespace
