// The per-pixel calls, headless and with the real window open (when a display
// is there): plot_pixel and read_pixel over a whole 800 x 600 frame.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "platform/graphics.h"
#include "platform/headless_window.h"

namespace {

constexpr int width = 800, height = 600;

bool open_window(bool headless) {
  platform::close_graphics_window();
  if (headless) platform::use_headless_window({});
  std::int16_t driver = platform::driver_256_colours, mode = platform::mode_800x600;
  platform::open_graphics_window(driver, mode, "BENCH");
  return platform::graph_result() == platform::graph_ok;
}

void plot_frame(benchmark::State& state) {
  if (!open_window(state.range(0) == 0)) return state.SkipWithError("no window could be opened");
  std::uint32_t colour = 0;
  for (auto _ : state) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) platform::plot_pixel(x, y, colour++);
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_call"] =
      benchmark::Counter(static_cast<double>(width * height), benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
  platform::close_graphics_window();
}

void read_frame(benchmark::State& state) {
  if (!open_window(state.range(0) == 0)) return state.SkipWithError("no window could be opened");
  unsigned sum = 0;
  for (auto _ : state) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) sum += platform::read_pixel(x, y);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["ns_per_call"] =
      benchmark::Counter(static_cast<double>(width * height), benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
  platform::close_graphics_window();
}

// Argument 0: headless; 1: the SDL window.
BENCHMARK(plot_frame)->ArgName("window")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(read_frame)->ArgName("window")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
