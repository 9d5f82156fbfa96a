#include "velumira/scene.h"

#include <gtest/gtest.h>

namespace {

struct scene_case {
  double x, y;
  bool on_grid, in_disc, in_heart;
  double depth;
};

// Points on the edges of the shapes, where the rounding of the conversions
// (ties to even) and the strictness of the comparisons decide.
constexpr scene_case scene_cases[] = {
    {0, 0, true, true, true, -500},          // centre: all three, the heart wins
    {0, 150, true, true, false, -550},       // centre bar inside the disc; q = 227
    {200, 0, true, false, false, -600},      // disc rim counts as outside
    {250, 250, false, false, false, -650},   // both remainders 50
    {140.5, 350, true, false, false, -600},  // 140.5 -> 140, remainder 40
    {-140.5, 350, true, false, false, -600}, // mirrored
    {141.5, 350, false, false, false, -650}, // 141.5 -> 142, remainder 42
    {99.5, 350, true, false, false, -600},   // 99.5 -> 100, remainder 0
    {98.5, 350, false, false, false, -650},  // 98.5 -> 98
    {0, -70, true, true, false, -550},       // the heart's notch: q = -106
    {60, -70, false, true, true, -500},      // a lobe: q = -52
    {0, 65, true, true, true, -500},         // the point: q = 98
    {0, 67, true, true, false, -550},        // below the point: q = 102
    {0, -66, true, true, false, -550},       // q = -100: 10000 is not < 10000
};

TEST(Scene, EdgesOfTheShapes) {
  for (const scene_case& c : scene_cases) {
    SCOPED_TRACE(testing::Message() << "at (" << c.x << ", " << c.y << ")");
    EXPECT_EQ(velumira::on_grid(c.x, c.y), c.on_grid);
    EXPECT_EQ(velumira::in_disc(c.x, c.y), c.in_disc);
    EXPECT_EQ(velumira::in_heart(c.x, c.y), c.in_heart);
    EXPECT_EQ(velumira::scene_depth(c.x, c.y), c.depth);
  }
}

}  // namespace
