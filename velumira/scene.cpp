#include "velumira/scene.h"

#include <cmath>

namespace velumira {

namespace {

constexpr double background_depth = -650.0;
constexpr double grid_depth = -600.0;
constexpr double disc_depth = -550.0;
constexpr double heart_depth = -500.0;

constexpr long long grid_period = 100;
constexpr long long grid_bar_limit = 40;  // largest remainder that lies on a bar
constexpr double disc_radius = 200.0;

// The heart's constants are extended-precision values.
constexpr long double heart_slope = 0.6L;
constexpr long double heart_vertical_scale = 0.66L;
constexpr long double heart_squared_radius = 10000.0L;

}  // namespace

// Conversions to integer round to nearest with ties to even (the default
// rounding mode), so 40.5 gives 40 and 99.5 gives 100.
bool on_grid_bar(double c) { return std::llrint(std::fabs(c)) % grid_period <= grid_bar_limit; }

// The test on y is made only when the test on x fails.
bool on_grid(double x, double y) { return on_grid_bar(x) || on_grid_bar(y); }

bool in_disc(double x, double y) {
  return static_cast<long double>(disc_radius) * disc_radius >
         static_cast<long double>(x) * x + static_cast<long double>(y) * y;
}

bool in_heart(double x, double y) {
  const long double t = (heart_slope * std::fabs(x) + y) / heart_vertical_scale;
  const long double q = static_cast<long double>(std::llrintl(t));
  return heart_squared_radius > static_cast<long double>(x) * x + q * q;
}

// Every test is made, in order of nearness, and a later one overrides.
double scene_depth(double x, double y) {
  double depth = background_depth;
  if (on_grid(x, y)) depth = grid_depth;
  if (in_disc(x, y)) depth = disc_depth;
  if (in_heart(x, y)) depth = heart_depth;
  return depth;
}

}  // namespace velumira
