// Frames of the scene stereogram on the headless window, and the same work
// done the plain way beside them: every link traced by trace_link, and the
// texture's lines walked by the plain walk through plot_pixel.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdint>

#include "platform/graphics.h"
#include "platform/headless_window.h"
#include "platform/line_walk.h"
#include "platform/random.h"
#include "velumira/links.h"
#include "velumira/renderer.h"

namespace {

constexpr int width = 800;
constexpr int height = 600;

void open_window() {
  platform::open_headless_window(platform::mode_800x600, 1);
}

void per_pixel(benchmark::State& state) {
  state.counters["per_pixel"] = benchmark::Counter(
      width * height, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The texture of draw_texture (the same random numbers, the same lines in the
// same order), each line walked by the plain walk through plot_pixel, as lines
// were drawn before they had a walk of their own.
void draw_texture_plain(bool depth_mode) {
  if (depth_mode) return;
  for (int pass = 0; pass < 1001; ++pass) {
    const std::uint32_t colour = platform::random32(15);
    auto line = [colour](int x1, int y1, int x2, int y2) {
      platform::walk_line(x1, y1, x2, y2, [colour](int x, int y) { platform::plot_pixel(x, y, colour); });
    };
    const auto end_row = static_cast<int>(platform::random32(height - 1));
    const auto start_row = static_cast<int>(platform::random32(height - 1));
    line(0, start_row, width - 1, end_row);
    const auto end_column = static_cast<int>(platform::random32(width - 1));
    const auto start_column = static_cast<int>(platform::random32(width - 1));
    line(start_column, 0, end_column, height - 1);
  }
}

// One way of drawing a frame's two parts.
struct drawing {
  void (*texture)(bool depth_mode);
  void (*links)(bool depth_mode);
};
constexpr drawing renderer{velumira::draw_texture, velumira::render_stereogram};
constexpr drawing plain{draw_texture_plain, velumira::render_stereogram_plain};

// What the main loop draws for one frame.
void draw_frame(const drawing& way, bool depth_mode) {
  platform::clear_window();
  way.texture(depth_mode);
  way.links(depth_mode);
}

void texture_frame(benchmark::State& state) {
  open_window();
  for (auto _ : state) draw_frame(renderer, false);
  per_pixel(state);
  platform::close_graphics_window();
}

void depth_frame(benchmark::State& state) {
  open_window();
  for (auto _ : state) draw_frame(renderer, true);
  per_pixel(state);
  platform::close_graphics_window();
}

void texture_lines(benchmark::State& state) {
  open_window();
  for (auto _ : state) velumira::draw_texture(false);
  per_pixel(state);
  platform::close_graphics_window();
}

// The links pass alone, over one texture (the copies change the picture from
// pass to pass, not the work).
void links_pass(benchmark::State& state) {
  open_window();
  velumira::draw_texture(false);
  for (auto _ : state) velumira::render_stereogram(false);
  per_pixel(state);
  platform::close_graphics_window();
}

// The links of every row without the platform: what the links pass spends
// besides its read_pixel and plot_pixel calls.
void row_links(benchmark::State& state) {
  velumira::link_tables& tables = velumira::link_tables_for(width - 1, height - 1);
  for (auto _ : state) {
    for (int i = 0; i < height; ++i) benchmark::DoNotOptimize(tables.links_of_row(i));
  }
  per_pixel(state);
}

double thread_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The renderer's way and the plain way back to back in each iteration, timed
// in the thread's processor time so that other programs on the machine count
// for neither: the fastest of each, in milliseconds, and how many times faster
// the renderer's is.
void against_plain(benchmark::State& state, void (*work)(const drawing&)) {
  open_window();
  double fastest_renderer = 1e9;
  double fastest_plain = 1e9;
  for (auto _ : state) {
    const double start = thread_seconds();
    work(renderer);
    const double between = thread_seconds();
    work(plain);
    const double end = thread_seconds();
    fastest_renderer = std::min(fastest_renderer, between - start);
    fastest_plain = std::min(fastest_plain, end - between);
  }
  state.counters["renderer_ms"] = fastest_renderer * 1e3;
  state.counters["plain_ms"] = fastest_plain * 1e3;
  state.counters["times_faster"] = fastest_plain / fastest_renderer;
  platform::close_graphics_window();
}

BENCHMARK(texture_frame)->Unit(benchmark::kMillisecond);
BENCHMARK(depth_frame)->Unit(benchmark::kMillisecond);
BENCHMARK(texture_lines)->Unit(benchmark::kMillisecond);
BENCHMARK(links_pass)->Unit(benchmark::kMillisecond);
BENCHMARK(row_links)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(against_plain, texture_frame, [](const drawing& way) { draw_frame(way, false); })
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(against_plain, depth_frame, [](const drawing& way) { draw_frame(way, true); })
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(against_plain, texture_lines, [](const drawing& way) { way.texture(false); })
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
