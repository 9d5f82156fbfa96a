// Frames of the scene stereogram on the headless window, per pixel, and the
// share of the frame that the per-pixel platform calls take: the same scan's
// arithmetic alone (both marches, no read or plot) against the full links pass.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "platform/graphics.h"
#include "platform/headless_window.h"
#include "platform/random.h"
#include "velumira/links.h"
#include "velumira/renderer.h"

namespace {

constexpr int width = 800;
constexpr int height = 600;
constexpr int hx = 399;  // screen centre
constexpr int hy = 299;

void open_window() {
  platform::open_headless_window(platform::mode_800x600, 1);
}

void per_pixel(benchmark::State& state) {
  state.counters["per_pixel"] = benchmark::Counter(
      width * height, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// What the main loop draws for one frame.
void frame(benchmark::State& state, bool depth_mode) {
  open_window();
  for (auto _ : state) {
    platform::clear_window();
    velumira::draw_texture(depth_mode);
    velumira::render_stereogram(depth_mode);
  }
  per_pixel(state);
  platform::close_graphics_window();
}
void texture_frame(benchmark::State& state) { frame(state, false); }
void depth_frame(benchmark::State& state) { frame(state, true); }

// The links pass alone, over one texture (the copies change the picture from
// pass to pass, not the work).
void links_pass(benchmark::State& state) {
  open_window();
  velumira::draw_texture(false);
  for (auto _ : state) velumira::render_stereogram(false);
  per_pixel(state);
  platform::close_graphics_window();
}

// The same scan without the platform: both marches for every pixel.
void scan_links() {
  for (int i = 0; i < height; ++i) {
    for (int j = 0; j < width; ++j) benchmark::DoNotOptimize(velumira::trace_link(j - hx, i - hy));
  }
}

void scan_arithmetic(benchmark::State& state) {
  for (auto _ : state) scan_links();
  per_pixel(state);
}

// The links pass and the bare scan timed back to back in each iteration, so
// that other load on the machine hits both alike; the fastest of each gives
// the share of the pass that the read and plot calls take.
void platform_share(benchmark::State& state) {
  using clock = std::chrono::steady_clock;
  open_window();
  velumira::draw_texture(false);
  clock::duration fastest_pass = clock::duration::max();
  clock::duration fastest_scan = clock::duration::max();
  for (auto _ : state) {
    const auto start = clock::now();
    velumira::render_stereogram(false);
    const auto between = clock::now();
    scan_links();
    const auto end = clock::now();
    fastest_pass = std::min(fastest_pass, between - start);
    fastest_scan = std::min(fastest_scan, end - between);
  }
  const double pass = std::chrono::duration<double>(fastest_pass).count();
  const double scan = std::chrono::duration<double>(fastest_scan).count();
  state.counters["pass_ns_per_pixel"] = pass * 1e9 / (width * height);
  state.counters["scan_ns_per_pixel"] = scan * 1e9 / (width * height);
  state.counters["platform_percent"] = 100.0 * (pass - scan) / pass;
  platform::close_graphics_window();
}

void texture_lines(benchmark::State& state) {
  open_window();
  for (auto _ : state) velumira::draw_texture(false);
  per_pixel(state);
  platform::close_graphics_window();
}

BENCHMARK(texture_frame)->Unit(benchmark::kMillisecond);
BENCHMARK(depth_frame)->Unit(benchmark::kMillisecond);
BENCHMARK(links_pass)->Unit(benchmark::kMillisecond);
BENCHMARK(scan_arithmetic)->Unit(benchmark::kMillisecond);
BENCHMARK(platform_share)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(texture_lines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
