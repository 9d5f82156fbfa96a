// The headless backend: the drawing area lives only in memory, keys come from a
// list, and when the list is used up the program is handed Escape so that it
// ends as it would on a real Escape.
#include "platform/headless_window.h"

#include <deque>

#include "platform/graphics.h"
#include "platform/random.h"
#include "platform/window_backend.h"

namespace platform {
namespace {

constexpr std::uint8_t escape = 27;

class HeadlessWindow final : public WindowBackend {
 public:
  void feed(std::vector<std::uint8_t> keys) {
    keys_.assign(keys.begin(), keys.end());
    ran_out_ = false;
  }
  bool ran_out() const { return ran_out_; }

  std::string open(const Surface&, std::string_view, const Presentation&) override { return {}; }
  void close() override {}
  std::uint8_t wait_key() override {
    if (keys_.empty()) {
      ran_out_ = true;
      return escape;
    }
    const std::uint8_t key = keys_.front();
    keys_.pop_front();
    return key;
  }

 private:
  std::deque<std::uint8_t> keys_;
  bool ran_out_ = false;
};

HeadlessWindow headless;

}  // namespace

void use_headless_window(std::vector<std::uint8_t> keys) {
  headless.feed(std::move(keys));
  use_window_backend(headless);
}

bool open_headless_window(std::int16_t mode, std::uint32_t seed) {
  use_headless_window({});
  fix_random_seed(seed);
  seed_random();
  std::int16_t driver = driver_256_colours;
  open_graphics_window(driver, mode, "headless");
  return graph_result() == graph_ok;
}

bool headless_keys_ran_out() { return headless.ran_out(); }

DrawingArea drawing_area() {
  const Surface& surface = drawing_surface();
  return {surface.width(), surface.height(), surface.copy()};
}

}  // namespace platform
