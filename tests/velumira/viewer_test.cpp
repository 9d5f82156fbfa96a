#include "velumira/viewer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics.h"
#include "platform/headless_window.h"
#include "platform/random.h"
#include "velumira/renderer.h"

namespace {

constexpr std::uint32_t seed = 20240607;

// The picture left after drawing the frames of `modes` (t texture, d depth) in
// a fresh window from the fixed seed.
std::vector<std::uint8_t> last_of_frames(const std::string& modes) {
  platform::open_headless_window(platform::mode_800x600, seed);
  for (const char m : modes) {
    platform::clear_window();
    velumira::draw_texture(m == 'd');
    velumira::render_stereogram(m == 'd');
  }
  platform::close_graphics_window();
  return platform::drawing_area().pixels;
}

struct run_result {
  int exit_code;
  bool keys_ran_out;
  std::vector<std::uint8_t> last_picture;
};
run_result run_with_keys(std::vector<std::uint8_t> keys) {
  platform::use_headless_window(std::move(keys));
  platform::fix_random_seed(seed);
  const int exit_code = velumira::run_velumira();
  return {exit_code, platform::headless_keys_ran_out(), platform::drawing_area().pixels};
}

struct key_case {
  std::vector<std::uint8_t> keys;
  std::string frames;  // the frames drawn, one letter each: t texture, d depth
  bool keys_ran_out;   // false when Escape came before the list's end
};

const key_case key_cases[] = {
    {{}, "t", true},                // first frame before any key, in texture mode
    {{97}, "td", true},             // "a" toggles
    {{97, 97}, "tdt", true},        // twice: texture again
    {{0, 97, 97}, "ttdt", true},    // 0 and 97 (Ctrl+F4): one extra redraw, then the toggle
    {{65}, "tt", true},             // "A" only redraws
    {{0, 107}, "ttt", true},        // a close request only redraws, twice
    {{0, 27, 97}, "tt", false},     // Escape ends at once, without a redraw
};

TEST(Viewer, KeysDecideTheFrames) {
  for (const key_case& c : key_cases) {
    SCOPED_TRACE("frames " + c.frames);
    const run_result run = run_with_keys(c.keys);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.keys_ran_out, c.keys_ran_out);
    EXPECT_TRUE(run.last_picture == last_of_frames(c.frames));
  }
}

TEST(Viewer, TextureComesBackWithNewLines) {
  EXPECT_FALSE(run_with_keys({97, 97}).last_picture == run_with_keys({}).last_picture);
}

}  // namespace
