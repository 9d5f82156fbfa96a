// The graphics operations over the headless window: palette and read-back,
// colour and coordinate wrapping, lines, filled ellipses, opening and clearing.
#include "platform/graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless_window.h"
#include "platform/palette.h"

namespace {

using platform::clear_window;
using platform::draw_filled_ellipse;
using platform::draw_line;
using platform::plot_pixel;
using platform::read_pixel;
using platform::set_draw_colour;
using platform::set_fill;

using Point = std::pair<int, int>;  // (x, y)

// Opens a headless window of the given mode; returns graph_result().
int open_window(std::int16_t driver, std::int16_t mode, std::vector<std::uint8_t> keys = {}) {
  platform::use_headless_window(std::move(keys));
  platform::open_graphics_window(driver, mode, "test");
  return platform::graph_result();
}

// Every pixel that is not 0, with its raw palette index.
std::map<Point, std::uint8_t> painted() {
  const platform::DrawingArea area = platform::drawing_area();
  std::map<Point, std::uint8_t> result;
  for (int y = 0; y < area.height; ++y)
    for (int x = 0; x < area.width; ++x)
      if (area.at(x, y) != 0) result[{x, y}] = area.at(x, y);
  return result;
}

std::set<Point> positions(const std::map<Point, std::uint8_t>& pixels) {
  std::set<Point> result;
  for (const auto& [p, colour] : pixels) result.insert(p);
  return result;
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(open_window(3, 6), platform::graph_ok); }
  void TearDown() override { platform::close_graphics_window(); }
};

class LargeWindow : public Window {
 protected:
  void SetUp() override { ASSERT_EQ(open_window(3, 7), platform::graph_ok); }
};

// ---- Palette and read-back ----------------------------------------------------

TEST(StartPalette, HoldsTheTabledColours) {
  const std::vector<std::pair<int, std::uint32_t>> entries = {
      {0, 0x000000},   {1, 0x0000A8},   {9, 0x8484FC},   {15, 0xFCFCFC},  {16, 0x000000},
      {17, 0x141414},  {31, 0xFCFCFC},  {32, 0x0000FC},  {63, 0xFC7C9C},  {104, 0x000070},
      {153, 0x585070}, {176, 0x000040}, {224, 0x2C2C40}, {246, 0x2C3040}, {247, 0x000000},
      {255, 0x000000},
  };
  for (const auto& [index, colour] : entries) {
    SCOPED_TRACE("index " + std::to_string(index));
    EXPECT_EQ(platform::start_palette[index], colour);
  }
}

TEST(StartPalette, EveryComponentIsAMultipleOfFourUpTo252) {
  for (int i = 0; i < 256; ++i) {
    for (int shift : {0, 8, 16}) {
      const std::uint32_t component = (platform::start_palette[i] >> shift) & 0xFF;
      EXPECT_EQ(component % 4, 0u) << "index " << i;
      EXPECT_LE(component, 252u) << "index " << i;
    }
  }
}

TEST_F(Window, ReadPixelGivesTheLowestIndexOfTheSameColour) {
  for (int i = 0; i < 256; ++i) plot_pixel(i, 7, static_cast<std::uint32_t>(i));
  for (int i = 0; i < 256; ++i) {
    const int expected = (i == 16 || i >= 247) ? 0 : i == 31 ? 15 : i;
    EXPECT_EQ(read_pixel(i, 7), expected) << "index " << i;
  }
}

// ---- Colour and coordinate wrapping ------------------------------------------------

TEST_F(Window, ColourNumbersAreTakenModulo256) {
  struct ColourCase {
    std::int64_t number;  // as the caller writes it, handed over as 32 bits
    int index, read;      // the index stored, and what read_pixel gives
  };
  const std::vector<ColourCase> cases = {
      {-5, 251, 0}, {300, 44, 44}, {256, 0, 0}, {-1, 255, 0}, {-247, 9, 9},
      {4294967295LL, 255, 0}, {287, 31, 15}, {44, 44, 44}, {-256 + 200, 200, 200},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const ColourCase& c = cases[i];
    SCOPED_TRACE("colour " + std::to_string(c.number));
    const int x = static_cast<int>(i);
    plot_pixel(x, 3, static_cast<std::uint32_t>(c.number));
    EXPECT_EQ(platform::drawing_area().at(x, 3), c.index);
    EXPECT_EQ(read_pixel(x, 3), c.read);
  }
}

TEST_F(Window, CoordinatesAreCutTo16Bits) {
  plot_pixel(65536 + 5, 9, 12);
  plot_pixel(17, 65536 * 3 + 11, 13);
  plot_pixel(-65536 + 40, -65536 + 50, 14);
  const std::map<Point, std::uint8_t> expected = {{{5, 9}, 12}, {{17, 11}, 13}, {{40, 50}, 14}};
  EXPECT_EQ(painted(), expected);
  EXPECT_EQ(read_pixel(65536 + 5, 9), 12);
  EXPECT_EQ(read_pixel(5, 9 - 65536), 12);
}

TEST_F(Window, PlotOutsideTheAreaDrawsNothing) {
  const std::vector<Point> outside = {{-1, 0},  {800, 0},   {0, -1},     {0, 600},   {-1, -1}, {800, 599},
                                      {799, 600}, {65535, 5}, {5, 65535}, {-32768, 0}, {32767, 10}};
  for (const auto& [x, y] : outside) plot_pixel(x, y, 9);
  EXPECT_TRUE(painted().empty());
}

TEST_F(Window, ReadPixelOutsideTheAreaGivesZero) {
  // Paint the neighbours of every outside position read, so that a read that
  // wrapped into the next or previous row would see a colour.
  for (int x = 0; x < 800; ++x) {
    plot_pixel(x, 0, 9);
    plot_pixel(x, 599, 9);
  }
  for (int y = 0; y < 600; ++y) {
    plot_pixel(0, y, 9);
    plot_pixel(799, y, 9);
  }
  const std::vector<Point> outside = {{-1, 0},  {800, 0},   {-1, 1},   {800, 1},   {0, -1}, {0, 600},
                                      {799, -1}, {799, 600}, {-1, 599}, {800, 599}, {-1, -1}, {65535, 1}};
  for (const auto& [x, y] : outside) EXPECT_EQ(read_pixel(x, y), 0) << x << "," << y;
  EXPECT_EQ(read_pixel(799, 1), 9);
  EXPECT_EQ(read_pixel(0, 1), 9);
}

// ---- Lines ------------------------------------------------------------------------

struct LineCase {
  const char* name;
  int x1, y1, x2, y2;
  std::set<Point> pixels;
};

TEST_F(Window, ShortLinesCoverExactlyTheirPixels) {
  const std::vector<LineCase> cases = {
      {"horizontal", 10, 20, 15, 20, {{10, 20}, {11, 20}, {12, 20}, {13, 20}, {14, 20}, {15, 20}}},
      {"horizontal leftwards", 15, 20, 10, 20, {{10, 20}, {11, 20}, {12, 20}, {13, 20}, {14, 20}, {15, 20}}},
      {"vertical", 30, 5, 30, 9, {{30, 5}, {30, 6}, {30, 7}, {30, 8}, {30, 9}}},
      {"vertical upwards", 30, 9, 30, 5, {{30, 5}, {30, 6}, {30, 7}, {30, 8}, {30, 9}}},
      {"diagonal", 40, 40, 44, 44, {{40, 40}, {41, 41}, {42, 42}, {43, 43}, {44, 44}}},
      {"anti-diagonal", 44, 40, 40, 44, {{44, 40}, {43, 41}, {42, 42}, {41, 43}, {40, 44}}},
      {"single point", 7, 8, 7, 8, {{7, 8}}},
      {"first pixel", 0, 0, 0, 0, {{0, 0}}},
      {"last pixel", 799, 599, 799, 599, {{799, 599}}},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    clear_window();
    draw_line(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(positions(painted()), c.pixels);
  }
}

// A sloped line: both end points, one pixel per step along the longer axis,
// each pixel touching the previous one.
TEST_F(Window, SlopedLinesAreOnePixelWideAndConnected) {
  struct Sloped {
    int x1, y1, x2, y2;
  };
  const std::vector<Sloped> cases = {
      {100, 100, 130, 110}, {130, 110, 100, 100}, {200, 100, 205, 140},
      {205, 140, 200, 100}, {300, 50, 250, 70},   {10, 590, 790, 3},
  };
  for (const Sloped& c : cases) {
    SCOPED_TRACE(::testing::Message() << "(" << c.x1 << "," << c.y1 << ")-(" << c.x2 << "," << c.y2 << ")");
    clear_window();
    draw_line(c.x1, c.y1, c.x2, c.y2);
    const std::set<Point> pixels = positions(painted());
    EXPECT_TRUE(pixels.count({c.x1, c.y1}));
    EXPECT_TRUE(pixels.count({c.x2, c.y2}));
    const bool wide = std::abs(c.x2 - c.x1) >= std::abs(c.y2 - c.y1);
    // One pixel in every column (or row) from end to end, and nowhere else.
    std::map<int, std::vector<int>> by_major;
    for (const auto& [x, y] : pixels) by_major[wide ? x : y].push_back(wide ? y : x);
    const int from = wide ? std::min(c.x1, c.x2) : std::min(c.y1, c.y2);
    const int to = wide ? std::max(c.x1, c.x2) : std::max(c.y1, c.y2);
    ASSERT_EQ(by_major.size(), static_cast<std::size_t>(to - from + 1));
    EXPECT_EQ(by_major.begin()->first, from);
    int previous_minor = -1;
    for (const auto& [major, minors] : by_major) {
      ASSERT_EQ(minors.size(), 1u) << "at " << major;
      if (major != from) {
        EXPECT_LE(std::abs(minors[0] - previous_minor), 1) << "at " << major;
      }
      previous_minor = minors[0];
    }
  }
}

TEST_F(Window, LinesFarOutsideDrawOnlyTheirPartInTheArea) {
  // Along a row: exactly the 800 pixels of that row, nothing in the rows next to it.
  draw_line(-1000, 10, 2000, 10);
  std::set<Point> expected;
  for (int x = 0; x < 800; ++x) expected.insert({x, 10});
  EXPECT_EQ(positions(painted()), expected);

  // Along a column.
  clear_window();
  draw_line(799, -3000, 799, 3000);
  expected.clear();
  for (int y = 0; y < 600; ++y) expected.insert({799, y});
  EXPECT_EQ(positions(painted()), expected);

  // A diagonal through the area from far outside it.
  clear_window();
  draw_line(-100, -100, 900, 900);
  expected.clear();
  for (int i = 0; i < 600; ++i) expected.insert({i, i});
  EXPECT_EQ(positions(painted()), expected);

  // Entirely outside: nothing.
  clear_window();
  draw_line(-50, -5, 900, -5);
  draw_line(820, 0, 820, 599);
  EXPECT_TRUE(painted().empty());
}

TEST_F(Window, LinesTakeTheCurrentDrawingColour) {
  // White after opening.
  draw_line(0, 0, 9, 0);
  set_draw_colour(9);
  draw_line(0, 1, 9, 1);
  set_draw_colour(300);  // 44
  draw_line(0, 2, 9, 2);
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(read_pixel(x, 0), 15);
    EXPECT_EQ(read_pixel(x, 1), 9);
    EXPECT_EQ(read_pixel(x, 2), 44);
  }
  EXPECT_EQ(painted().size(), 30u);
}

TEST(WindowOpening, DrawingColourAndFillAreWhiteAgainAfterReopening) {
  ASSERT_EQ(open_window(3, 6), platform::graph_ok);
  set_draw_colour(9);
  set_fill(platform::empty_fill, 4);
  std::int16_t driver = 3, mode = 6;
  platform::open_graphics_window(driver, mode, "again");
  draw_line(0, 0, 5, 0);
  draw_filled_ellipse(100, 100, 5, 5);
  EXPECT_EQ(read_pixel(3, 0), 15);
  EXPECT_EQ(read_pixel(100, 100), 15);  // solid white interior
  EXPECT_EQ(read_pixel(95, 100), 15);   // white outline
  platform::close_graphics_window();
}

// ---- Filled ellipses --------------------------------------------------------------

constexpr std::uint8_t outline_colour = 15;
constexpr std::uint8_t fill_colour = 4;

// Checks the shape drawn (every pixel not 0) around (cx, cy) with radius r:
// inside the box, reaching all four sides of it, rows and columns without gaps,
// a one-pixel outline ring and a filled interior.
void expect_disc(const std::map<Point, std::uint8_t>& pixels, int cx, int cy, int r) {
  const std::set<Point> shape = positions(pixels);
  auto in = [&](int x, int y) { return shape.count({x, y}) > 0; };
  for (const auto& [p, colour] : pixels) {
    const auto [x, y] = p;
    ASSERT_LE(std::abs(x - cx), r) << x << "," << y;
    ASSERT_LE(std::abs(y - cy), r) << x << "," << y;
    const bool boundary = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
    EXPECT_EQ(colour, boundary ? outline_colour : fill_colour) << x << "," << y;
  }
  EXPECT_TRUE(in(cx - r, cy) && in(cx + r, cy) && in(cx, cy - r) && in(cx, cy + r));
  EXPECT_EQ(pixels.at({cx, cy}), fill_colour);
  // Rows and columns are unbroken runs, symmetric about the centre.
  for (int d = -r; d <= r; ++d) {
    int row_count = 0, column_count = 0;
    for (int e = -r; e <= r; ++e) {
      row_count += in(cx + e, cy + d);
      column_count += in(cx + d, cy + e);
    }
    EXPECT_EQ(row_count % 2, 1) << "row " << d;
    EXPECT_EQ(column_count % 2, 1) << "column " << d;
    for (int e = -r; e <= r; ++e) {
      EXPECT_EQ(in(cx + e, cy + d), std::abs(e) <= (row_count - 1) / 2) << "row " << d << " column " << e;
      EXPECT_EQ(in(cx + d, cy + e), std::abs(e) <= (column_count - 1) / 2) << "column " << d << " row " << e;
    }
  }
}

TEST_F(LargeWindow, DiscOfRadius10StaysInItsSquareWithARingOutline) {
  set_fill(platform::solid_fill, fill_colour);
  draw_filled_ellipse(460, 20, 10, 10);
  const auto pixels = painted();
  expect_disc(pixels, 460, 20, 10);
  // An outline of one pixel leaves most of the disc to the interior.
  int interior = 0;
  for (const auto& [p, colour] : pixels) interior += colour == fill_colour;
  EXPECT_GT(interior, 200);
}

TEST_F(LargeWindow, DiscsOfOtherSizesAreRingsToo) {
  set_fill(platform::solid_fill, fill_colour);
  for (int r : {2, 3, 5, 17, 40}) {
    SCOPED_TRACE("radius " + std::to_string(r));
    clear_window();
    draw_filled_ellipse(500, 300, r, r);
    expect_disc(painted(), 500, 300, r);
  }
}

TEST_F(LargeWindow, EllipseStaysInItsBox) {
  set_fill(platform::solid_fill, fill_colour);
  draw_filled_ellipse(300, 200, 30, 8);
  const auto pixels = painted();
  int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
  for (const auto& [p, colour] : pixels) {
    left = std::min(left, p.first);
    right = std::max(right, p.first);
    top = std::min(top, p.second);
    bottom = std::max(bottom, p.second);
  }
  EXPECT_EQ(left, 270);
  EXPECT_EQ(right, 330);
  EXPECT_EQ(top, 192);
  EXPECT_EQ(bottom, 208);
  EXPECT_EQ(pixels.at({300, 200}), fill_colour);
}

TEST_F(LargeWindow, InteriorTakesTheFillAndOutlineTheDrawingColour) {
  set_draw_colour(9);
  set_fill(platform::solid_fill, 300);  // 44
  draw_filled_ellipse(460, 20, 10, 10);
  EXPECT_EQ(read_pixel(460, 20), 44);
  EXPECT_EQ(read_pixel(450, 20), 9);
  EXPECT_EQ(read_pixel(460, 30), 9);
}

TEST_F(LargeWindow, EmptyFillLeavesTheInteriorInTheBackground) {
  set_fill(platform::solid_fill, fill_colour);
  draw_filled_ellipse(460, 20, 10, 10);
  const auto solid = painted();
  set_fill(platform::empty_fill, fill_colour);
  draw_filled_ellipse(460, 20, 10, 10);
  std::map<Point, std::uint8_t> expected;
  for (const auto& [p, colour] : solid)
    if (colour == outline_colour) expected[p] = colour;
  EXPECT_EQ(painted(), expected);
}

// Near an edge of the area a disc is cut off: what is inside the area is what
// the whole disc has there, and nothing wraps to the other side.
TEST_F(LargeWindow, DiscIsClippedAtTheAreaEdges) {
  set_fill(platform::solid_fill, fill_colour);
  draw_filled_ellipse(500, 300, 10, 10);
  std::map<Point, std::uint8_t> whole;  // by offset from the centre
  for (const auto& [p, colour] : painted()) whole[{p.first - 500, p.second - 300}] = colour;

  const std::vector<Point> centres = {{3, 2}, {1020, 765}, {0, 400}, {1023, 0}, {-4, 380}, {512, 770}};
  for (const auto& [cx, cy] : centres) {
    SCOPED_TRACE(::testing::Message() << "centre " << cx << "," << cy);
    clear_window();
    draw_filled_ellipse(cx, cy, 10, 10);
    std::map<Point, std::uint8_t> expected;
    for (const auto& [offset, colour] : whole) {
      const int x = cx + offset.first, y = cy + offset.second;
      if (x >= 0 && x < 1024 && y >= 0 && y < 768) expected[{x, y}] = colour;
    }
    EXPECT_EQ(painted(), expected);
  }
}

TEST_F(LargeWindow, DiscWhollyOutsideDrawsNothing) {
  draw_filled_ellipse(-20, 300, 10, 10);
  draw_filled_ellipse(1040, 300, 10, 10);
  draw_filled_ellipse(500, -11, 10, 10);
  draw_filled_ellipse(500, 779, 10, 10);
  EXPECT_TRUE(painted().empty());
}

// ---- Opening, clearing, keys ----------------------------------------------------------

struct ModeCase {
  std::int16_t mode;
  int largest_x, largest_y;
};

TEST(WindowOpening, DriverThreeOpensTheTwoModes) {
  for (const ModeCase& c : {ModeCase{6, 799, 599}, ModeCase{7, 1023, 767}}) {
    SCOPED_TRACE("mode " + std::to_string(c.mode));
    std::int16_t driver = 3, mode = c.mode;
    platform::use_headless_window({});
    platform::open_graphics_window(driver, mode, "title");
    EXPECT_EQ(platform::graph_result(), platform::graph_ok);
    EXPECT_EQ(platform::largest_x(), c.largest_x);
    EXPECT_EQ(platform::largest_y(), c.largest_y);
    EXPECT_EQ(platform::largest_colour(), 255);
    EXPECT_EQ(driver, 3);
    EXPECT_EQ(mode, c.mode);
    // The whole area is there and starts black.
    plot_pixel(c.largest_x, c.largest_y, 9);
    EXPECT_EQ(read_pixel(c.largest_x, c.largest_y), 9);
    const auto area = platform::drawing_area();
    EXPECT_EQ(area.width, c.largest_x + 1);
    EXPECT_EQ(area.height, c.largest_y + 1);
    EXPECT_EQ(painted().size(), 1u);
    platform::close_graphics_window();
  }
}

TEST(WindowOpening, ReopeningStartsFromABlackArea) {
  ASSERT_EQ(open_window(3, 6), platform::graph_ok);
  draw_line(0, 0, 799, 599);
  ASSERT_FALSE(painted().empty());
  ASSERT_EQ(open_window(3, 6), platform::graph_ok);
  EXPECT_TRUE(painted().empty());
  platform::close_graphics_window();
}

TEST(WindowOpening, OtherDriversAndModesOpenNothing) {
  const std::vector<std::pair<std::int16_t, std::int16_t>> requests = {
      {3, 5}, {3, 8}, {3, 0}, {3, -1}, {2, 6}, {4, 7}, {0, 0}, {-1, 6}, {9, 2}};
  for (const auto& [driver, mode] : requests) {
    SCOPED_TRACE(::testing::Message() << "driver " << driver << " mode " << mode);
    // A working window first, so that nothing of it may linger.
    ASSERT_EQ(open_window(3, 7), platform::graph_ok);
    draw_line(0, 0, 100, 0);
    EXPECT_LT(open_window(driver, mode, {65, 66}), 0);
    EXPECT_FALSE(platform::graph_error_message().empty());
    EXPECT_EQ(platform::largest_x(), 0);
    EXPECT_EQ(platform::largest_y(), 0);
    EXPECT_EQ(read_pixel(0, 0), 0);
    plot_pixel(0, 0, 9);
    draw_line(0, 0, 5, 5);
    set_fill(platform::solid_fill, 4);
    draw_filled_ellipse(0, 0, 3, 3);
    clear_window();
    EXPECT_EQ(read_pixel(0, 0), 0);
    EXPECT_EQ(platform::drawing_area().pixels.size(), 0u);
    // No window, no keys: 0 at once, though the key list holds others.
    EXPECT_EQ(platform::wait_key(), 0);
    EXPECT_EQ(platform::wait_key(), 0);
    platform::close_graphics_window();
  }
  // A good request afterwards opens again.
  EXPECT_EQ(open_window(3, 6), platform::graph_ok);
  EXPECT_EQ(platform::largest_x(), 799);
  platform::close_graphics_window();
}

TEST_F(Window, ClearWindowMakesEveryPixelBlack) {
  for (int y = 0; y < 600; y += 3) {
    set_draw_colour(static_cast<std::uint32_t>(y));
    draw_line(0, y, 799, y);
  }
  draw_filled_ellipse(400, 300, 50, 60);
  plot_pixel(799, 599, 200);
  ASSERT_GT(painted().size(), 100000u);
  clear_window();
  EXPECT_TRUE(painted().empty());
  EXPECT_EQ(platform::drawing_area().pixels.size(), 800u * 600u);
}

TEST(WindowKeys, WaitKeyGivesTheKeysInOrder) {
  ASSERT_EQ(open_window(3, 6, {13, 0, 107, 97}), platform::graph_ok);
  EXPECT_EQ(platform::wait_key(), 13);
  EXPECT_EQ(platform::wait_key(), 0);
  EXPECT_EQ(platform::wait_key(), 107);
  EXPECT_EQ(platform::wait_key(), 97);
  EXPECT_FALSE(platform::headless_keys_ran_out());
  EXPECT_EQ(platform::wait_key(), 27);
  EXPECT_TRUE(platform::headless_keys_ran_out());
  platform::close_graphics_window();
}

TEST(WindowKeys, ClosedWindowKeepsItsLastPicture) {
  ASSERT_EQ(open_window(3, 6), platform::graph_ok);
  plot_pixel(12, 34, 56);
  platform::close_graphics_window();
  const auto area = platform::drawing_area();
  ASSERT_EQ(area.width, 800);
  EXPECT_EQ(area.at(12, 34), 56);
}

}  // namespace
