// Frames of the surface stereogram on the headless window, per pixel, and the
// share of a pass that the per-pixel platform calls take: the same pass's
// arithmetic alone (depth, shift, clamp, no read or plot) against the full pass.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdint>
#include <string>

#include "korvelan/renderer.h"
#include "korvelan/surfaces.h"
#include "platform/graphics.h"
#include "platform/headless_window.h"
#include "platform/random.h"

namespace {

constexpr int width = 1024;
constexpr int height = 768;
constexpr int W = 123;  // strip width

void open_window() {
  platform::open_headless_window(platform::mode_1024x768, 1);
}

void per_pixel(benchmark::State& state) {
  state.counters["per_pixel"] = benchmark::Counter(
      width * height, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// What the main loop draws for one frame (the discs aside).
void frame(benchmark::State& state, int index, bool random_dot_mode) {
  open_window();
  for (auto _ : state) {
    platform::clear_window();
    if (random_dot_mode) korvelan::draw_random_strip(W);
    korvelan::draw_surface_pass(index, W, random_dot_mode);
  }
  per_pixel(state);
  platform::close_graphics_window();
}

// The surface pass's arithmetic without the platform: every colour is computed
// as in shift-colour mode and kept from being optimised away.
void arithmetic_pass(int index) {
  for (int y = 0; y < height; ++y) {
    for (int x = W; x < width; ++x) {
      benchmark::DoNotOptimize(x - korvelan::source_column(index, W, x, y, width - 1, height - 1));
    }
  }
}

void arithmetic(benchmark::State& state, int index) {
  for (auto _ : state) arithmetic_pass(index);
  per_pixel(state);
}

// The pass's platform calls alone: one read and one plot per pixel, copying
// from a strip width to the left.
void platform_calls(benchmark::State& state) {
  open_window();
  korvelan::draw_random_strip(W);
  for (auto _ : state) {
    for (int y = 0; y < height; ++y) {
      for (int x = W; x < width; ++x) platform::plot_pixel(x, y, platform::read_pixel(x - W, y));
    }
  }
  per_pixel(state);
  platform::close_graphics_window();
}

double thread_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The random-dot pass over one strip (the copies change the picture from pass
// to pass, not the work). Before each pass, untimed, the arithmetic alone runs
// once; platform_share is the part of the pass's processor time that the
// arithmetic does not account for: what the read and plot calls add.
void full_pass(benchmark::State& state, int index) {
  open_window();
  korvelan::draw_random_strip(W);
  double arithmetic_seconds = 0.0;
  double pass_seconds = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    const double t0 = thread_seconds();
    arithmetic_pass(index);
    const double t1 = thread_seconds();
    state.ResumeTiming();
    korvelan::draw_surface_pass(index, W, true);
    const double t2 = thread_seconds();
    arithmetic_seconds += t1 - t0;
    pass_seconds += t2 - t1;
  }
  per_pixel(state);
  state.counters["platform_share"] = (pass_seconds - arithmetic_seconds) / pass_seconds;
  platform::close_graphics_window();
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("pass_platform_calls_only", platform_calls)->Unit(benchmark::kMillisecond);
  for (int index = 0; index < korvelan::surface_count; ++index) {
    const std::string surface = "/surface:" + std::to_string(index);
    benchmark::RegisterBenchmark(("frame_random_dot" + surface).c_str(), frame, index, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("frame_shift_colour" + surface).c_str(), frame, index, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("pass_arithmetic" + surface).c_str(), arithmetic, index)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("pass_random_dot" + surface).c_str(), full_pass, index)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
