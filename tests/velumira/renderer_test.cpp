#include "velumira/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/graphics.h"
#include "platform/headless_window.h"
#include "platform/random.h"
#include "velumira/links.h"

namespace {

using platform::DrawingArea;
using picture = std::vector<std::uint8_t>;

constexpr int width = 800;
constexpr int height = 600;
constexpr int hx = 399;  // screen centre
constexpr int hy = 299;

class Renderer : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::open_headless_window(platform::mode_800x600, 1));
  }
  void TearDown() override { platform::close_graphics_window(); }

  // One frame drawn from a fresh seed; with links = false only the texture.
  static DrawingArea frame(std::uint32_t seed, bool depth_mode, bool links = true) {
    platform::fix_random_seed(seed);
    platform::seed_random();
    platform::clear_window();
    velumira::draw_texture(depth_mode);
    if (links) velumira::render_stereogram(depth_mode);
    return platform::drawing_area();
  }
};

// The frames of a run from `seed` whose keys give the modes `frames` (t
// texture, d depth), each with its links drawn by `render`.
std::vector<picture> run_frames(std::uint32_t seed, const std::string& frames, void (*render)(bool)) {
  platform::fix_random_seed(seed);
  platform::seed_random();
  std::vector<picture> pictures;
  for (const char mode : frames) {
    platform::clear_window();
    velumira::draw_texture(mode == 'd');
    render(mode == 'd');
    pictures.push_back(platform::drawing_area().pixels);
  }
  return pictures;
}

TEST_F(Renderer, FramesEqualThoseOfThePlainRenderer) {
  struct run {
    std::uint32_t seed;
    std::string frames;
  };
  for (const run& r : {run{1, "tdt"}, run{2, "t"}, run{20240607, "t"}}) {
    SCOPED_TRACE(testing::Message() << "seed " << r.seed << ", frames " << r.frames);
    EXPECT_TRUE(run_frames(r.seed, r.frames, velumira::render_stereogram) ==
                run_frames(r.seed, r.frames, velumira::render_stereogram_plain));
  }
}

TEST_F(Renderer, LinksShiftByTheDepthOfTheirLevel) {
  int accepted = 0, wrong = 0, first_target = width, last_target = 0;
  for (int i = 0; i < height; ++i) {
    for (int j = 0; j < width; ++j) {
      const velumira::eye_link link = velumira::trace_link(j - hx, i - hy);
      if (!link.seen_by_both) continue;
      ++accepted;
      // 240 * -z / (1000 - z) is 80.1, 85.3, 90.1 and 94.6 at the four steps.
      const int level = static_cast<int>((-501.0 - link.depth) / 50.0);
      const int shift = std::array{80, 85, 90, 95}.at(level);
      if (link.x != j - hx + shift || link.y != i - hy) ++wrong;
      first_target = std::min(first_target, static_cast<int>(hx + link.x));
      last_target = std::max(last_target, static_cast<int>(hx + link.x));
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(accepted, width * height * 9 / 10);
  EXPECT_EQ(first_target, 90);
  EXPECT_EQ(last_target, 889);
  const velumira::eye_link centre = velumira::trace_link(0, 0);
  EXPECT_TRUE(centre.seen_by_both);
  EXPECT_EQ(centre.depth, -501.0);
  EXPECT_EQ(centre.x, 80);
}

TEST_F(Renderer, DepthFrameIsTheSameForEverySeed) {
  EXPECT_TRUE(frame(1, true).pixels == frame(2, true).pixels);
}

TEST_F(Renderer, DepthFramePaintsTheFourLevelsRightOfColumn80) {
  const DrawingArea area = frame(1, true);
  const std::set<int> colours(area.pixels.begin(), area.pixels.end());
  EXPECT_EQ(colours, (std::set<int>{0, 11, 117, 167, 217}));
  int lit_in_left_strip = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < 80; ++x) lit_in_left_strip += area.at(x, y) != 0;
  EXPECT_EQ(lit_in_left_strip, 0);
  EXPECT_EQ(area.at(hx + 80, hy), 11);  // the heart
}

TEST_F(Renderer, TextureFrameKeepsTheTextureLeftOfColumn80) {
  const DrawingArea texture = frame(4, false, false);
  const DrawingArea full = frame(4, false);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < 80; ++x) {
      ASSERT_EQ(full.at(x, y), texture.at(x, y)) << "at (" << x << ", " << y << ")";
    }
  }
}

TEST_F(Renderer, DepthModeDrawsNoTextureAndTakesNoRandomNumbers) {
  const DrawingArea area = frame(5, true, false);
  EXPECT_TRUE(std::all_of(area.pixels.begin(), area.pixels.end(), [](auto c) { return c == 0; }));
  const std::uint32_t next = platform::random32(1u << 31);
  platform::seed_random();
  EXPECT_EQ(next, platform::random32(1u << 31));
}

// Per pass: the colour, then the first line's end and start rows, then the
// second line's end and start columns.
TEST_F(Renderer, TexturePassesDrawTheirRandomNumbersInOrder) {
  const DrawingArea texture = frame(6, false, false);
  platform::seed_random();
  platform::clear_window();
  for (int pass = 0; pass <= 1000; ++pass) {
    platform::set_draw_colour(platform::random32(15));
    const auto end_row = static_cast<int>(platform::random32(599));
    const auto start_row = static_cast<int>(platform::random32(599));
    const auto end_column = static_cast<int>(platform::random32(799));
    const auto start_column = static_cast<int>(platform::random32(799));
    platform::draw_line(0, start_row, 799, end_row);
    platform::draw_line(start_column, 0, end_column, 599);
  }
  EXPECT_TRUE(platform::drawing_area().pixels == texture.pixels);
  EXPECT_LE(*std::max_element(texture.pixels.begin(), texture.pixels.end()), 14);
}

}  // namespace
