// Frames of the surface stereogram on the headless window, as the main loop
// draws them: clear, fill style, the strip in random-dot mode, the surface
// pass, the guide discs. Each surface and mode is drawn twice, by the renderer
// and by the plain per-pixel definition it is held equal to (what the renderer
// did before it worked a row at a time), so one run compares the two. Then the
// pieces of a frame: the strip, a pass's source columns, and a pass's platform
// calls alone.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "korvelan/renderer.h"
#include "korvelan/surfaces.h"
#include "platform/graphics.h"
#include "platform/headless_window.h"

namespace {

constexpr int width = 1024;
constexpr int height = 768;
constexpr int W = 123;  // strip width

void open_window() { platform::open_headless_window(platform::mode_1024x768, 1); }

void per_pixel(benchmark::State& state) {
  state.counters["per_pixel"] = benchmark::Counter(
      width * height, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

struct Renderer {
  void (*strip)(int strip_width);
  void (*pass)(int index, int strip_width, bool random_dot_mode);
};
constexpr Renderer renderer{korvelan::draw_random_strip, korvelan::draw_surface_pass};
constexpr Renderer definition{korvelan::draw_random_strip_per_pixel, korvelan::draw_surface_pass_per_pixel};

// One frame of the main loop, the discs on.
void frame(benchmark::State& state, Renderer draw, int index, bool random_dot_mode) {
  open_window();
  const int middle = platform::largest_x() / 2, offset = platform::largest_x() / 20;
  for (auto _ : state) {
    platform::clear_window();
    platform::set_fill(platform::solid_fill, platform::black);
    if (random_dot_mode) draw.strip(W);
    draw.pass(index, W, random_dot_mode);
    platform::draw_filled_ellipse(middle + offset, 20, 10, 10);
    platform::draw_filled_ellipse(middle - offset, 20, 10, 10);
  }
  per_pixel(state);
  platform::close_graphics_window();
}

void strip(benchmark::State& state, Renderer draw) {
  open_window();
  for (auto _ : state) draw.strip(W);
  per_pixel(state);
  platform::close_graphics_window();
}

// A pass's source columns without the platform: by rows, as the renderer
// works them out, and pixel by pixel from the definition.
void source_columns(benchmark::State& state, int index) {
  for (auto _ : state) {
    for (int y = 0; y < height; ++y) {
      benchmark::DoNotOptimize(korvelan::row_source_columns(index, W, y, width - 1, height - 1));
    }
  }
  per_pixel(state);
}

void source_columns_per_pixel(benchmark::State& state, int index) {
  for (auto _ : state) {
    for (int y = 0; y < height; ++y) {
      for (int x = W; x < width; ++x) {
        benchmark::DoNotOptimize(korvelan::source_column(index, W, x, y, width - 1, height - 1));
      }
    }
  }
  per_pixel(state);
}

// The pass's platform calls alone: one read and one plot per pixel, copying
// from a strip width to the left. No pass can take less.
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

}  // namespace

int main(int argc, char** argv) {
  for (int index = 0; index < korvelan::surface_count; ++index) {
    for (const bool random_dot_mode : {true, false}) {
      const std::string name =
          "frame/surface:" + std::to_string(index) + (random_dot_mode ? "/random_dots" : "/shift_colours");
      benchmark::RegisterBenchmark((name + "/renderer").c_str(), frame, renderer, index, random_dot_mode)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark((name + "/per_pixel").c_str(), frame, definition, index, random_dot_mode)
          ->Unit(benchmark::kMillisecond);
    }
  }
  benchmark::RegisterBenchmark("strip/renderer", strip, renderer)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("strip/per_pixel", strip, definition)->Unit(benchmark::kMillisecond);
  for (int index = 0; index < korvelan::surface_count; ++index) {
    const std::string surface = "/surface:" + std::to_string(index);
    benchmark::RegisterBenchmark(("source_columns" + surface + "/renderer").c_str(), source_columns, index)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("source_columns" + surface + "/per_pixel").c_str(), source_columns_per_pixel, index)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("pass_platform_calls_only", platform_calls)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
