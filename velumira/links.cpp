#include "velumira/links.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <optional>

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
constexpr int last_step = 3;  // where every march stops: the scene is nowhere deeper
// The two rays must stop less than this apart (they do so exactly when they
// stop at the same step).
constexpr extended acceptance_tolerance = 5.0L;

// The points of the two rays at depth z, as the marches store them.
double left_ray_x(double z, double dx) {
  return static_cast<double>((eye_distance - z) * (dx + half_eye_separation) / eye_distance - half_eye_separation);
}
double right_ray_x(double z, double s) {
  return static_cast<double>((eye_distance - z) * (s - half_eye_separation) / eye_distance + half_eye_separation);
}
// The eyes are level, so y is the same expression for both rays.
double ray_y(double z, double sy) { return static_cast<double>((eye_distance - z) * sy / eye_distance); }

// Where the line from the right eye to the point (x, y) at depth z crosses the
// screen plane: s = k (x - 120) + 120, t = k y with k = 1000 / (1000 - z).
double crossing_scale(double z) { return static_cast<double>(eye_distance / (eye_distance - z)); }
double crossing_x(double k, double x) {
  return static_cast<double>(k * (x - half_eye_separation) + half_eye_separation);
}
double crossing_y(double k, double y) { return static_cast<double>(extended{k} * y); }

}  // namespace

double step_depth(int step) { return march_start - (step + 1) * march_step; }

eye_link trace_link(double dx, double dy) {
  // Left ray: step deeper until the point lies at or behind the scene.
  double z1 = march_start;
  double x1 = 0.0;
  double y1 = 0.0;
  do {
    z1 = z1 - march_step;
    x1 = left_ray_x(z1, dx);
    y1 = ray_y(z1, dy);
  } while (z1 > scene_depth(x1, y1));

  const double k = crossing_scale(z1);
  const double s = crossing_x(k, x1);
  const double t = crossing_y(k, y1);

  // Right ray through (s, t): it stops at the left ray's step unless a nearer
  // surface hides the hit from the right eye.
  double z2 = march_start;
  double x2 = 0.0;
  double y2 = 0.0;
  do {
    z2 = z2 - march_step;
    x2 = right_ray_x(z2, s);
    y2 = ray_y(z2, t);
  } while (z2 > scene_depth(x2, y2));

  const bool seen_by_both = std::fabs(extended{z1} - z2) < acceptance_tolerance;
  return {seen_by_both, std::llrint(s), std::llrint(t), z1};
}

// ---- The tables -------------------------------------------------------------

namespace {

constexpr int disc_step = 1;  // the first step at which the march stops on the disc
constexpr int grid_step = 2;  // ... and on the grid

// The first column from `first` on where `holds` fails, for a test that holds
// on a prefix of the columns first..end-1 (end when it holds on all of them).
int end_of_prefix(int first, int end, auto holds) {
  while (first < end) {
    const int middle = first + (end - first) / 2;
    if (holds(middle)) first = middle + 1;
    else end = middle;
  }
  return first;
}

// A row's links from its stops: for each column, one row of stops per point,
// in the order the points were made: the left ray's steps 0 to 2, then the
// right ray's for left steps 0, 1 (two), 2 (three) and 3 (three). Each stop is
// 0 or 1, so the tests are ands, ors and sums that the compiler runs on many
// columns at once (__restrict: no two arrays overlap).
void links_from_stops(const std::uint8_t* __restrict stops, std::size_t columns,
                      const std::int16_t* __restrict column_targets, const std::int16_t* row_targets,
                      std::uint8_t* __restrict steps, std::int16_t* __restrict xs, std::int16_t* __restrict ys) {
  // Whether the march stops at the point, or goes on past it.
  auto stop = [&](std::size_t point, std::size_t column) { return stops[point * columns + column]; };
  auto pass = [&](std::size_t point, std::size_t column) { return stops[point * columns + column] ^ 1; };
  const std::int16_t y_0 = row_targets[0], y_1 = row_targets[1], y_2 = row_targets[2], y_3 = row_targets[3];
  for (std::size_t j = 0; j < columns; ++j) {
    // Whether the left ray stopped at each step: exactly one of them is 1.
    const std::uint8_t left_0 = stop(0, j);
    const std::uint8_t left_1 = pass(0, j) & stop(1, j);
    const std::uint8_t left_2 = pass(0, j) & pass(1, j) & stop(2, j);
    const std::uint8_t left_3 = pass(0, j) & pass(1, j) & pass(2, j);
    // Whether the right ray stops at the same step: there, and not before.
    const std::uint8_t right_0 = stop(3, j);
    const std::uint8_t right_1 = pass(4, j) & stop(5, j);
    const std::uint8_t right_2 = pass(6, j) & pass(7, j) & stop(8, j);
    const std::uint8_t right_3 = pass(9, j) & pass(10, j) & pass(11, j);
    const std::uint8_t seen = (left_0 & right_0) | (left_1 & right_1) | (left_2 & right_2) | (left_3 & right_3);
    steps[j] = left_1 + 2 * left_2 + 3 * left_3 + (seen ? 0 : unseen);
    auto target_x = [&](int step) { return column_targets[step * columns + j]; };
    xs[j] = static_cast<std::int16_t>(left_0 * target_x(0) + left_1 * target_x(1) + left_2 * target_x(2) +
                                      left_3 * target_x(3));
    ys[j] = static_cast<std::int16_t>(left_0 * y_0 + left_1 * y_1 + left_2 * y_2 + left_3 * y_3);
  }
}

}  // namespace

link_tables::march_point link_tables::make_point(int step, const std::vector<double>& xs,
                                                 const std::vector<double>& ys) {
  march_point point{step, {}, {}, {}, {}};
  for (const double x : xs) point.bar_in_column.push_back(on_grid_bar(x));
  for (const double y : ys) point.bar_in_row.push_back(on_grid_bar(y));

  // Every x of a point rises with the column (each expression rises with its
  // argument, and so does rounding). So the disc, which holds where |x| is
  // small enough, holds on a suffix of the columns with x < 0 and a prefix of
  // the others; and the heart, which needs x² < 10000, can hold only where
  // -100 < x < 100.
  const int width = static_cast<int>(xs.size());
  auto columns_where = [&](auto holds) { return end_of_prefix(0, width, [&](int j) { return holds(xs[j]); }); };
  const int centre = columns_where([](double x) { return x < 0; });
  const int heart_first = columns_where([](double x) { return x <= -100; });
  const int heart_end = columns_where([](double x) { return x < 100; });
  for (const double y : ys) {
    auto outside_disc = [&](int j) { return !in_disc(xs[j], y); };
    auto inside_disc = [&](int j) { return in_disc(xs[j], y); };
    point.disc.push_back({end_of_prefix(0, centre, outside_disc), end_of_prefix(centre, width, inside_disc)});

    std::vector<column_range>& runs = point.heart.emplace_back();
    for (int j = heart_first; j < heart_end; ++j) {
      if (!in_heart(xs[j], y)) continue;
      if (!runs.empty() && runs.back().end == j) ++runs.back().end;
      else runs.push_back({j, j + 1});
    }
  }
  return point;
}

link_tables::link_tables(int last_column, int last_row)
    : last_column_(last_column),
      last_row_(last_row),
      steps_(static_cast<std::size_t>(last_column + 1)),
      x_(steps_.size()),
      y_(steps_.size()) {
  const int hx = last_column / 2;
  const int hy = last_row / 2;
  auto over = [](int last, int centre, auto f) {
    std::vector<double> values;
    for (int c = 0; c <= last; ++c) values.push_back(f(static_cast<double>(c - centre)));
    return values;
  };
  target_y_.resize(static_cast<std::size_t>(last_step + 1) * (last_row + 1));
  std::array<std::vector<march_point>, last_step + 1> right;
  for (int left = 0; left <= last_step; ++left) {
    const double z1 = step_depth(left);
    const double k = crossing_scale(z1);
    const std::vector<double> x1 = over(last_column, hx, [&](double dx) { return left_ray_x(z1, dx); });
    const std::vector<double> y1 = over(last_row, hy, [&](double dy) { return ray_y(z1, dy); });
    std::vector<double> s, t;
    for (const double x : x1) s.push_back(crossing_x(k, x));
    for (const double y : y1) t.push_back(crossing_y(k, y));
    for (const double v : s) target_x_.push_back(static_cast<std::int16_t>(hx + std::llrint(v)));
    for (int i = 0; i <= last_row; ++i)
      target_y_[i * (last_step + 1) + left] = static_cast<std::int16_t>(hy + std::llrint(t[i]));

    if (left < last_step) points_.push_back(make_point(left, x1, y1));
    for (int step = 0; step <= std::min(left, last_step - 1); ++step) {
      const double z2 = step_depth(step);
      std::vector<double> x2, y2;
      for (const double v : s) x2.push_back(right_ray_x(z2, v));
      for (const double v : t) y2.push_back(ray_y(z2, v));
      right[left].push_back(make_point(step, x2, y2));
    }
  }
  for (auto& points : right)
    for (march_point& point : points) points_.push_back(std::move(point));
  stops_.resize(points_.size() * steps_.size());
}

void link_tables::fill_stops(const march_point& point, int row, std::uint8_t* stops) const {
  const std::size_t columns = steps_.size();
  if (point.step < grid_step) std::memset(stops, 0, columns);
  else if (point.bar_in_row[row]) std::memset(stops, 1, columns);
  else std::memcpy(stops, point.bar_in_column.data(), columns);
  auto set = [&](column_range range) {
    if (range.first < range.end) std::memset(stops + range.first, 1, range.end - range.first);
  };
  if (point.step >= disc_step) set(point.disc[row]);
  for (const column_range run : point.heart[row]) set(run);
}

link_tables::row link_tables::links_of_row(int row) {
  const std::size_t columns = steps_.size();
  for (std::size_t p = 0; p < points_.size(); ++p) fill_stops(points_[p], row, &stops_[p * columns]);
  links_from_stops(stops_.data(), columns, target_x_.data(), &target_y_[row * (last_step + 1)], steps_.data(),
                   x_.data(), y_.data());
  return {steps_.data(), x_.data(), y_.data()};
}

link_tables& link_tables_for(int last_column, int last_row) {
  static std::optional<link_tables> tables;
  if (!tables || !tables->fits(last_column, last_row)) tables.emplace(last_column, last_row);
  return *tables;
}

}  // namespace velumira
