#include "korvelan/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "korvelan/surfaces.h"
#include "platform/graphics.h"
#include "platform/headless_window.h"
#include "platform/random.h"

namespace {

using platform::DrawingArea;
using platform::read_pixel;

constexpr int X = 1023;  // largest column and row of the 1024 x 768 window
constexpr int Y = 767;
constexpr int W = 123;  // strip width
constexpr std::uint32_t seed = 4711;

class Renderer : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::open_headless_window(platform::mode_1024x768, seed));
  }
  void TearDown() override { platform::close_graphics_window(); }

  // One frame on a cleared drawing area; the window stays open, so read_pixel
  // still names the colours of the finished picture.
  static DrawingArea frame(int index, bool random_dot_mode) {
    platform::clear_window();
    if (random_dot_mode) korvelan::draw_random_strip(W);
    korvelan::draw_surface_pass(index, W, random_dot_mode);
    return platform::drawing_area();
  }
};

TEST_F(Renderer, StripTakesOneRandomDrawPerPixelInDrawingOrder) {
  platform::clear_window();
  korvelan::draw_random_strip(W);
  const DrawingArea strip = platform::drawing_area();
  platform::seed_random();  // the same sequence again
  for (int y = 0; y <= Y; ++y) {
    for (int x = 0; x <= W; ++x) ASSERT_EQ(strip.at(x, y), platform::random64(255)) << x << ", " << y;
    for (int x = W + 1; x <= X; ++x) ASSERT_EQ(strip.at(x, y), 0) << x << ", " << y;
  }
}

TEST_F(Renderer, ConsecutiveStripsDiffer) {
  const DrawingArea first = frame(0, true);
  const DrawingArea second = frame(0, true);
  int same = 0;
  for (int y = 0; y <= Y; ++y) {
    for (int x = 0; x <= W; ++x) same += first.at(x, y) == second.at(x, y);
  }
  EXPECT_LT(same, 768 * 124 / 100);  // about 1 in 255 by chance
}

// Shift-colour mode paints W - shift where no clamp applies; surface 0's depth
// x*y/200000 makes 0.75 and 2.25 exact, whose shifts 20.5 and 61.5 round to even.
struct colour_case {
  int index, x, y;
  std::uint8_t colour;
};
const colour_case colour_cases[] = {
    {0, 123, 0, 123},  // z = 0
    {0, 250, 600, 103},  // shift 20.5 -> 20
    {0, 600, 750, 61},   // shift 61.5 -> 62
    {0, 1023, 767, 16},  // z = 3.923205, shift 107.2 -> 107
};

TEST_F(Renderer, ShiftColourAtChosenPixels) {
  const DrawingArea picture = frame(0, false);
  for (const colour_case& c : colour_cases) {
    EXPECT_EQ(picture.at(c.x, c.y), c.colour) << c.x << ", " << c.y;
  }
}

TEST_F(Renderer, ShiftColourLeavesTheStripColumnsBlack) {
  for (int index = 0; index < korvelan::surface_count; ++index) {
    const DrawingArea picture = frame(index, false);
    for (int y = 0; y <= Y; ++y) {
      for (int x = 0; x < W; ++x) ASSERT_EQ(picture.at(x, y), 0) << "surface " << index;
    }
  }
}

// Surface 1 lies within +-0.5: shifts -14..14 give colours 109..137.
TEST_F(Renderer, SurfaceOneColoursSpan109To137) {
  const DrawingArea picture = frame(1, false);
  int lowest = 255, highest = 0;
  for (int y = 0; y <= Y; ++y) {
    for (int x = W; x <= X; ++x) {
      lowest = std::min<int>(lowest, picture.at(x, y));
      highest = std::max<int>(highest, picture.at(x, y));
    }
  }
  EXPECT_EQ(lowest, 109);
  EXPECT_EQ(highest, 137);
}

// At the top rows surface 0's shift rounds to 0 (x*y < 3658): the strip repeats
// with a period of W columns, column W included.
TEST_F(Renderer, FlatStretchRepeatsTheStrip) {
  const DrawingArea picture = frame(0, true);
  for (int y = 0; y <= 3; ++y) {
    for (int x = W; x <= X; ++x) ASSERT_EQ(picture.at(x, y), read_pixel(x - W, y)) << x << ", " << y;
  }
}

// Where the shift stays within the range 0 < x - source < 256, the shift-colour
// picture names the source's distance, and the random-dot picture must hold the
// colour found that far to the left (drawn before, and final since).
TEST_F(Renderer, RandomDotCopiesFromTheShiftColourDistance) {
  for (const int index : {0, 1, 2, 4, 5, 6}) {
    SCOPED_TRACE("surface " + std::to_string(index));
    const DrawingArea distances = frame(index, false);
    const DrawingArea picture = frame(index, true);
    int nearest = 255, farthest = 0;
    for (int y = 0; y <= Y; ++y) {
      for (int x = W; x <= X; ++x) {
        const int d = distances.at(x, y);
        ASSERT_TRUE(d >= 1 && d <= x) << x << ", " << y;
        ASSERT_EQ(picture.at(x, y), read_pixel(x - d, y)) << x << ", " << y;
        nearest = std::min(nearest, d);
        farthest = std::max(farthest, d);
      }
    }
    if (index == 5) {  // shifts 0..112, never clamped
      EXPECT_EQ(nearest, 11);
      EXPECT_EQ(farthest, 123);
    }
  }
}

// Surface 3 runs far beyond both ends: far-left sources clamp to column 0 (the
// strip's first column), far-right ones to column 1023, not drawn yet, and
// sources at or right of the pixel itself still hold the background.
TEST_F(Renderer, SurfaceThreeReachesBothClamps) {
  const DrawingArea distances = frame(3, false);
  const DrawingArea picture = frame(3, true);
  int left_clamps = 0, right_clamps = 0, ahead = 0;
  for (int y = 0; y <= Y; ++y) {
    for (int x = W; x <= X; ++x) {
      // The unrounded shift, kept a column away from every boundary.
      const double shift = W * korvelan::surface_depth(3, x, y, X, Y) / 4.5;
      const double source = x - W + shift;
      if (source < -1) {
        ++left_clamps;
        ASSERT_EQ(distances.at(x, y), x % 256) << x << ", " << y;
        ASSERT_EQ(picture.at(x, y), read_pixel(0, y)) << x << ", " << y;
      } else if (source > X + 1) {
        ++right_clamps;
        ASSERT_EQ(distances.at(x, y), (x - X + 256) % 256) << x << ", " << y;
        ASSERT_EQ(picture.at(x, y), 0) << x << ", " << y;
      } else if (source > x + 1 && source < X - 1) {
        ++ahead;
        ASSERT_EQ(picture.at(x, y), 0) << x << ", " << y;
      }
    }
  }
  EXPECT_GT(left_clamps, 0);
  EXPECT_GT(right_clamps, 0);
  EXPECT_GT(ahead, 0);
}

// The surface pass takes a row's source columns from row_source_columns, a
// double-precision estimate that hands the cases near a half to source_column.
// Every pixel of every surface must get the definition's column: in the
// program's window, and with an even largest row, where surface 3's guard
// against v = 0 applies and its shifts grow beyond what the estimate handles.
struct geometry {
  int X, Y, strip_width;
};

TEST(RowSourceColumns, EveryPixelFollowsTheDefinition) {
  for (const geometry g : {geometry{X, Y, W}, geometry{X, 766, W}}) {
    for (int index = 0; index < korvelan::surface_count; ++index) {
      SCOPED_TRACE("surface " + std::to_string(index) + ", largest row " + std::to_string(g.Y));
      for (int y = 0; y <= g.Y; ++y) {
        const int* sources = korvelan::row_source_columns(index, g.strip_width, y, g.X, g.Y);
        for (int x = g.strip_width; x <= g.X; ++x) {
          ASSERT_EQ(sources[x], korvelan::source_column(index, g.strip_width, x, y, g.X, g.Y)) << x << ", " << y;
        }
      }
    }
  }
}

// Frames after frames, the strip's draws running on from the seed: the
// renderer and its definition, pixel by pixel, give the same pictures. (The
// viewer's tests follow key paths from another seed the same way.)
std::vector<DrawingArea> frames(bool random_dot_mode, bool per_pixel) {
  platform::open_headless_window(platform::mode_1024x768, seed);
  std::vector<DrawingArea> pictures;
  for (int index = 0; index < korvelan::surface_count; ++index) {
    platform::clear_window();
    if (random_dot_mode) (per_pixel ? korvelan::draw_random_strip_per_pixel : korvelan::draw_random_strip)(W);
    (per_pixel ? korvelan::draw_surface_pass_per_pixel : korvelan::draw_surface_pass)(index, W, random_dot_mode);
    pictures.push_back(platform::drawing_area());
  }
  platform::close_graphics_window();
  return pictures;
}

TEST(Frames, FollowTheDefinition) {
  for (const bool random_dot_mode : {true, false}) {
    const std::vector<DrawingArea> fast = frames(random_dot_mode, false);
    const std::vector<DrawingArea> plain = frames(random_dot_mode, true);
    for (int index = 0; index < korvelan::surface_count; ++index) {
      EXPECT_TRUE(fast[index].pixels == plain[index].pixels)
          << "surface " << index << (random_dot_mode ? ", random dots" : ", shift colours");
    }
  }
}

}  // namespace
