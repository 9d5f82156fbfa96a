#include "korvelan/viewer.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "korvelan/renderer.h"
#include "platform/graphics.h"
#include "platform/headless_window.h"
#include "platform/random.h"

namespace {

using picture = std::vector<std::uint8_t>;

constexpr std::uint32_t seed = 20240611;
constexpr int W = 123;
constexpr int width = 1024;
constexpr int disc_row = 20;
constexpr int right_disc = 562;  // 511 + 51
constexpr int left_disc = 460;   // 511 - 51

struct frame_state {
  int surface;
  bool random_dot_mode;
  bool discs;
};
constexpr frame_state start{0, true, true};

// The picture left after the frames `frames`, drawn in a fresh window from the
// fixed seed by the renderer's per-pixel definition, with the discs on top
// where they are on.
picture last_of_frames(const std::vector<frame_state>& frames) {
  platform::open_headless_window(platform::mode_1024x768, seed);
  platform::set_fill(platform::solid_fill, platform::black);
  for (const frame_state& f : frames) {
    platform::clear_window();
    if (f.random_dot_mode) korvelan::draw_random_strip_per_pixel(W);
    korvelan::draw_surface_pass_per_pixel(f.surface, W, f.random_dot_mode);
    if (f.discs) {
      platform::draw_filled_ellipse(right_disc, disc_row, 10, 10);
      platform::draw_filled_ellipse(left_disc, disc_row, 10, 10);
    }
  }
  platform::close_graphics_window();
  return platform::drawing_area().pixels;
}

struct run_result {
  int exit_code;
  bool keys_ran_out;
  picture last_picture;
};
run_result run_with_keys(std::vector<std::uint8_t> keys) {
  platform::use_headless_window(std::move(keys));
  platform::fix_random_seed(seed);
  const int exit_code = korvelan::run_korvelan();
  return {exit_code, platform::headless_keys_ran_out(), platform::drawing_area().pixels};
}

struct key_case {
  std::string name;
  std::vector<std::uint8_t> keys;
  std::vector<frame_state> frames;
  bool keys_ran_out;  // false when Escape came before the list's end
};

const key_case key_cases[] = {
    {"first frame", {}, {start}, true},
    {"Enter", {13}, {start, {1, true, true}}, true},
    {"Space", {32}, {start, {0, false, true}}, true},
    {"a, then the renderer alone", {97}, {start, {0, true, false}}, true},
    {"Space twice", {32, 32}, {start, {0, false, true}, start}, true},
    {"a twice", {97, 97}, {start, {0, true, false}, start}, true},
    {"A only redraws", {65}, {start, start}, true},
    {"Ctrl+F4 is 0, 97", {0, 97}, {start, start, {0, true, false}}, true},
    {"Alt+D is 0, 32", {0, 32}, {start, start, {0, false, true}}, true},
    {"close request only redraws", {0, 107}, {start, start, start}, true},
    {"Escape ends without a redraw", {13, 27, 13}, {start, {1, true, true}}, false},
};

TEST(Viewer, KeysDecideTheFrames) {
  for (const key_case& c : key_cases) {
    SCOPED_TRACE(c.name);
    const run_result run = run_with_keys(c.keys);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.keys_ran_out, c.keys_ran_out);
    EXPECT_TRUE(run.last_picture == last_of_frames(c.frames));
  }
}

TEST(Viewer, ModesComeBackWithANewStrip) {
  const picture first = run_with_keys({}).last_picture;
  EXPECT_FALSE(run_with_keys({32, 32}).last_picture == first);
  EXPECT_FALSE(run_with_keys({97, 97}).last_picture == first);
}

// Shift-colour mode has no random strip, so equal surfaces give equal pictures.
TEST(Viewer, SevenEntersComeBackToTheSurface) {
  std::vector<std::uint8_t> keys = {32};
  const picture surface_0 = run_with_keys(keys).last_picture;
  for (int presses = 1; presses <= 7; ++presses) {
    keys.push_back(13);
    const picture now = run_with_keys(keys).last_picture;
    EXPECT_EQ(now == surface_0, presses == 7) << presses << " presses";
  }
}

// The discs lie over the finished picture, each within its 21 x 21 square,
// white outline and black inside; with them off the picture is untouched.
TEST(Viewer, GuideDiscsLieOverThePicture) {
  const picture with = run_with_keys({32}).last_picture;
  const picture without = run_with_keys({32, 97}).last_picture;
  auto at = [](const picture& p, int x, int y) { return p[static_cast<std::size_t>(y) * width + x]; };
  auto in_square = [](int x, int y, int cx) { return y >= 10 && y <= 30 && x >= cx - 10 && x <= cx + 10; };
  int changed[2] = {0, 0};
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < width; ++x) {
      if (at(with, x, y) == at(without, x, y)) continue;
      const bool left = in_square(x, y, left_disc);
      ASSERT_TRUE(left || in_square(x, y, right_disc)) << x << ", " << y;
      ASSERT_TRUE(at(with, x, y) == 0 || at(with, x, y) == 15) << x << ", " << y;
      ++changed[left ? 0 : 1];
    }
  }
  EXPECT_GT(changed[0], 0);
  EXPECT_GT(changed[1], 0);
  for (const int cx : {left_disc, right_disc}) {
    SCOPED_TRACE("disc at " + std::to_string(cx));
    EXPECT_EQ(at(with, cx, disc_row), 0);
    EXPECT_EQ(at(with, cx - 10, disc_row), 15);
    EXPECT_EQ(at(with, cx + 10, disc_row), 15);
    EXPECT_EQ(at(with, cx, disc_row - 10), 15);
    EXPECT_EQ(at(with, cx, disc_row + 10), 15);
  }
}

}  // namespace
