// The walk over offsets against the plain walk: the same pixels for every line
// the scene texture can draw, and for short lines in every direction.
#include "platform/line_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr std::ptrdiff_t width = 800;
constexpr int height = 600;

// Whether the offsets walk visits each pixel of the plain walk once and no
// other pixel.
bool walks_agree(int x1, int y1, int x2, int y2) {
  static std::vector<std::uint8_t> marks(width * height);  // all 0 between calls
  int plain = 0, visits = 0, firsts = 0;
  platform::walk_line(x1, y1, x2, y2, [&](int x, int y) {
    marks[y * width + x] = 1;
    ++plain;
  });
  platform::walk_line_offsets(x1, y1, x2, y2, width, [&](std::ptrdiff_t offset) {
    ++visits;
    if (offset < 0 || offset >= width * height || marks[offset] != 1) return;
    marks[offset] = 2;
    ++firsts;
  });
  platform::walk_line(x1, y1, x2, y2, [&](int x, int y) { marks[y * width + x] = 0; });
  return visits == plain && firsts == plain;
}

// The texture's lines run from (0, a) to (799, b) and from (c, 0) to (d, 599),
// with a and b below 599 and c and d below 799. Moved sideways, a line keeps
// its pixels' shape, so b - a (or d - c) alone decides it.
TEST(LineWalk, EveryTextureLineShape) {
  int disagreeing = 0;
  for (int rise = -598; rise <= 598; ++rise) {
    const int a = std::max(0, -rise);
    if (!walks_agree(0, a, 799, a + rise)) ++disagreeing;
  }
  for (int drift = -798; drift <= 798; ++drift) {
    const int c = std::max(0, -drift);
    if (!walks_agree(c, 0, c + drift, height - 1)) ++disagreeing;
  }
  EXPECT_EQ(disagreeing, 0);
}

// Every direction and both orders of the ends, from single points up.
TEST(LineWalk, ShortLinesInEveryDirection) {
  constexpr int reach = 24;
  for (int dx = -reach; dx <= reach; ++dx) {
    for (int dy = -reach; dy <= reach; ++dy) {
      EXPECT_TRUE(walks_agree(100, 100, 100 + dx, 100 + dy)) << "to (" << 100 + dx << ", " << 100 + dy << ")";
    }
  }
}

}  // namespace
