#include "korvelan/surfaces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

namespace {

using korvelan::surface_depth;

constexpr int X = 1023;  // largest column and row of the 1024 x 768 window
constexpr int Y = 767;
constexpr int strip_width = 123;

struct depth_case {
  int index, x, y;
  double z;  // worked out to 17 digits from the stored u and v
};

const depth_case depth_cases[] = {
    {0, 0, 0, 0.0},
    {0, 1023, 0, 0.0},
    {0, 0, 767, 0.0},
    {0, 1023, 767, 3.923205},
    {1, 123, 0, 0.17207292224167267},
    {1, 700, 300, 0.44245931216571797},
    {2, 1023, 0, -2.616834},
    {2, 200, 700, -0.276718},
    {3, 500, 100, -0.12822637984046751},
    {3, 383, 511, 0.1},  // u = 0.01 = -v
    {4, 123, 767, 1.7160346746043463},
    {4, 900, 40, 3.1703751646208125},
    {5, 383, 511, 0.0035355339059327377},
    {5, 1023, 0, 4.0944856209296912},
    {6, 600, 600, 1.4450687703743069},
    {6, 123, 0, 1.784224131411497},
};

TEST(Surfaces, DepthAtChosenPixels) {
  for (const depth_case& c : depth_cases) {
    SCOPED_TRACE("surface " + std::to_string(c.index) + " at (" + std::to_string(c.x) + ", " +
                 std::to_string(c.y) + ")");
    EXPECT_DOUBLE_EQ(surface_depth(c.index, c.x, c.y, X, Y), c.z);
  }
  EXPECT_EQ(surface_depth(0, 0, 0, X, Y), 0.0);  // exactly
}

// The extremes over the pixels the renderer evaluates (all rows, columns from
// the strip width), to four decimals.
struct range_case {
  int index;
  double low, high, tolerance;
};

const range_case range_cases[] = {
    {0, 0.0, 3.9232, 5e-5},     {1, -0.5, 0.5, 5e-5},       {2, -2.6168, 1.3071, 5e-5},
    {3, -27.55, 27.55, 5e-3},   {4, 0.0034, 3.4482, 5e-5},  {5, 0.0035, 4.0945, 5e-5},
    {6, 0.0034, 4.2829, 5e-5},
};

TEST(Surfaces, RangesOverTheWindow) {
  for (const range_case& c : range_cases) {
    SCOPED_TRACE("surface " + std::to_string(c.index));
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (int y = 0; y <= Y; ++y) {
      for (int x = strip_width; x <= X; ++x) {
        const double z = surface_depth(c.index, x, y, X, Y);
        low = std::min(low, z);
        high = std::max(high, z);
      }
    }
    EXPECT_NEAR(low, c.low, c.tolerance);
    EXPECT_NEAR(high, c.high, c.tolerance);
  }
}

// u comes from the row and v from the column, so swapping u and v moves the
// pixel (x, y) to (y - 128, x + 128) in the 1024 x 768 window.
TEST(Surfaces, SixIsFourWithUAndVExchanged) {
  const int pixels[][2] = {{200, 300}, {383, 511}, {700, 150}, {1000, 639}, {500, 767}, {128, 0}};
  for (const auto& [x, y] : pixels) {
    SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
    EXPECT_EQ(surface_depth(6, x, y, X, Y), surface_depth(4, y - 128, x + 128, X, Y));
  }
}

TEST(Surfaces, FiveIsLowestAroundTheOffsetOrigin) {
  const double lowest = surface_depth(5, 383, 511, X, Y);
  const int neighbours[][2] = {{384, 511}, {383, 512}, {384, 512}};
  for (const auto& [x, y] : neighbours) {
    EXPECT_EQ(surface_depth(5, x, y, X, Y), lowest);
  }
  EXPECT_LT(lowest, surface_depth(5, 511, 383, X, Y));  // the picture's centre
}

// With an even largest row, 766, v is exactly 0 in column 383: the guard gives 0.
TEST(Surfaces, ThreeIsZeroWhereVIsZero) {
  for (int y = 0; y <= Y; ++y) {
    ASSERT_EQ(surface_depth(3, 383, y, X, 766), 0.0) << "row " << y;
    ASSERT_NE(surface_depth(3, 384, y, X, 766), 0.0) << "row " << y;
  }
}

TEST(Surfaces, NextVisitsAllSevenInOrder) {
  int index = 0;
  for (int expected = 1; expected <= 7; ++expected) {
    index = korvelan::next_surface(index);
    EXPECT_EQ(index, expected % 7);
  }
  for (int start = 0; start < 7; ++start) {
    int i = start;
    for (int step = 0; step < 7; ++step) i = korvelan::next_surface(i);
    EXPECT_EQ(i, start);
  }
}

}  // namespace
