#include "velumira/renderer.h"

#include <cmath>
#include <cstdint>

#include "platform/graphics.h"
#include "platform/random.h"
#include "velumira/scene.h"

namespace velumira {

namespace {

using extended = long double;

// The eyes lie at depth +1000, at X = -120 (left) and X = +120 (right), Y = 0;
// the screen plane at depth 0. These values are exact doubles; they are held as
// extended so that every expression they enter is evaluated in extended
// precision, and each march quantity is rounded to a double when stored.
constexpr extended eye_distance = 1000.0L;
constexpr extended half_eye_separation = 120.0L;
// A march starts at -451 and goes 50 deeper each step, so it samples -501,
// -551, -601 and -651: one unit behind each of the scene's four levels.
constexpr double march_start = -451.0;
constexpr double march_step = 50.0;
// The two rays must stop less than this apart (they do so exactly when they
// stop at the same step).
constexpr extended acceptance_tolerance = 5.0L;

constexpr int texture_passes = 1001;
constexpr std::uint32_t texture_colours = 15;  // 0..14: white never chosen

}  // namespace

void draw_texture(bool depth_mode) {
  if (depth_mode) return;  // every pass of a depth-mode frame draws nothing
  const int last_column = platform::largest_x();
  const int last_row = platform::largest_y();
  for (int pass = 0; pass < texture_passes; ++pass) {
    platform::set_draw_colour(platform::random32(texture_colours));
    // The end of each line is drawn before its start.
    const int end_row = static_cast<int>(platform::random32(last_row));
    const int start_row = static_cast<int>(platform::random32(last_row));
    platform::draw_line(0, start_row, last_column, end_row);
    const int end_column = static_cast<int>(platform::random32(last_column));
    const int start_column = static_cast<int>(platform::random32(last_column));
    platform::draw_line(start_column, 0, end_column, last_row);
  }
}

eye_link trace_link(double dx, double dy) {
  // Left ray: step deeper until the point lies at or behind the scene.
  double z1 = march_start;
  double x1 = 0.0;
  double y1 = 0.0;
  do {
    z1 = z1 - march_step;
    x1 = static_cast<double>((eye_distance - z1) * (dx + half_eye_separation) / eye_distance -
                             half_eye_separation);
    y1 = static_cast<double>((eye_distance - z1) * dy / eye_distance);
  } while (z1 > scene_depth(x1, y1));

  // Where the line from the right eye to that hit crosses the screen plane.
  const double k = static_cast<double>(eye_distance / (eye_distance - z1));
  const double s = static_cast<double>(k * (x1 - half_eye_separation) + half_eye_separation);
  const double t = static_cast<double>(extended{k} * y1);

  // Right ray through (s, t): it stops at the left ray's step unless a nearer
  // surface hides the hit from the right eye.
  double z2 = march_start;
  double x2 = 0.0;
  double y2 = 0.0;
  do {
    z2 = z2 - march_step;
    x2 = static_cast<double>((eye_distance - z2) * (s - half_eye_separation) / eye_distance +
                             half_eye_separation);
    y2 = static_cast<double>((eye_distance - z2) * t / eye_distance);
  } while (z2 > scene_depth(x2, y2));

  const bool seen_by_both = std::fabs(extended{z1} - z2) < acceptance_tolerance;
  return {seen_by_both, std::llrint(s), std::llrint(t), z1};
}

// The scan runs left to right, and every target lies 80 to 95 columns to the
// right of its pixel, so a copied colour is read again when the scan reaches
// it and copied on further: that repetition is the stereogram.
void render_stereogram(bool depth_mode) {
  const int hx = platform::largest_x() / 2;
  const int hy = platform::largest_y() / 2;
  const int last_row = platform::largest_y();
  for (int i = 0; i <= last_row; ++i) {
    const int last_column = platform::largest_x();  // asked anew for each row
    for (int j = 0; j <= last_column; ++j) {
      const eye_link link = trace_link(j - hx, i - hy);
      if (!link.seen_by_both) continue;
      const int x = static_cast<int>(hx + link.x);
      const int y = static_cast<int>(hy + link.y);
      if (depth_mode) {
        // -501, -551, -601, -651 give palette indices 11, 217, 167, 117.
        platform::plot_pixel(x, y, static_cast<std::uint32_t>(std::llrint(link.depth)));
      } else {
        platform::plot_pixel(x, y, platform::read_pixel(j, i));
      }
    }
  }
}

}  // namespace velumira
