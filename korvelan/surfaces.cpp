#include "korvelan/surfaces.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace korvelan {

namespace {

using extended = long double;

constexpr extended pixels_per_unit = 50.0L;
constexpr extended product_scale = 200000.0L;  // surface 0's divisor

// sin and cos in extended precision cost about a hundred nanoseconds each,
// while u depends only on the row and v only on the column. So the sines of
// the last u, and of each column's v, are kept: a frame computes them once a
// row and once a column instead of once a pixel. A kept value is used only for
// the very same argument (bit for bit), so the results are the same numbers.
struct Sines {
  std::uint64_t argument = ~std::uint64_t{0};  // a NaN no coordinate has
  extended sin = 0, cos = 0;
};

const Sines& sines(double t, Sines& kept) {
  const auto bits = std::bit_cast<std::uint64_t>(t);
  if (kept.argument != bits) {
    kept.argument = bits;
    kept.sin = std::sin(extended{t});
    kept.cos = std::cos(extended{t});
  }
  return kept;
}

const Sines& sines_of_u(double u) {
  thread_local Sines kept;
  return sines(u, kept);
}

const Sines& sines_of_v(int column, double v) {
  constexpr int kept_columns = 2048;
  thread_local Sines kept[kept_columns];
  thread_local Sines other;
  return sines(v, column >= 0 && column < kept_columns ? kept[column] : other);
}

// u and v are formed in extended precision and stored as doubles.
double row_coordinate(int y, int X) {
  return static_cast<double>((y - static_cast<extended>(X) / 2) / pixels_per_unit);
}
double column_coordinate(int x, int Y) {
  return static_cast<double>((x - static_cast<extended>(Y) / 2) / pixels_per_unit);
}

// The factors of separable_depth: what each surface takes from the row (u or
// y) and from the column (v or x), rounded to doubles.
double row_term(int index, int y, double u) {
  const extended lu = u;
  switch (index) {
    case 0: return y;
    case 1: return static_cast<double>(std::sin(lu) / 2);
    case 2: return static_cast<double>(lu / 50);
    case 3: return static_cast<double>(std::sin(lu) / 10);
    case 4: return static_cast<double>((lu / 3) * (lu / 3));
    case 5: return static_cast<double>((lu / 4) * (lu / 4));
    case 6: return static_cast<double>((lu / 25) * (lu / 25));
    default: return 0.0;
  }
}

double column_term(int index, int x, double v) {
  const extended lv = v;
  switch (index) {
    case 0: return static_cast<double>(x / product_scale);
    case 1: return static_cast<double>(std::cos(lv));
    case 2: return v;
    case 3: return v != 0.0 ? static_cast<double>(1 / std::sin(lv)) : 0.0;  // z = 0 where v = 0
    case 4: return static_cast<double>((lv / 25) * (lv / 25));
    case 5: return static_cast<double>((lv / 4) * (lv / 4));
    case 6: return static_cast<double>((lv / 3) * (lv / 3));
    default: return 0.0;
  }
}

}  // namespace

// Each formula is evaluated in extended precision from the stored u and v, and
// z is rounded to a double when it is returned.
double surface_depth(int index, int x, int y, int X, int Y) {
  const double u = row_coordinate(y, X);
  const double v = column_coordinate(x, Y);
  const extended lu = u;
  const extended lv = v;
  switch (index) {
    case 0: {
      const int product = x * y;  // the pixel itself, not u and v
      return static_cast<double>(product / product_scale);
    }
    case 1:
      return static_cast<double>(sines_of_u(u).sin * sines_of_v(x, v).cos / 2);
    case 2:
      return static_cast<double>(lu * lv / 50);
    case 3:
      // The guard is on v itself: sin(v) is never exactly 0 for v != 0.
      return v != 0.0 ? static_cast<double>(sines_of_u(u).sin / sines_of_v(x, v).sin / 10) : 0.0;
    case 4:  // elliptic cone, steeper along u
      return static_cast<double>(std::sqrt((lu / 3) * (lu / 3) + (lv / 25) * (lv / 25)));
    case 5:  // circular cone
      return static_cast<double>(std::sqrt((lu / 4) * (lu / 4) + (lv / 4) * (lv / 4)));
    case 6:  // surface 4 with the divisors exchanged
      return static_cast<double>(std::sqrt((lu / 25) * (lu / 25) + (lv / 3) * (lv / 3)));
    default:
      return 0.0;  // never reached: the index only comes from next_surface
  }
}

SeparableDepth separable_depth(int index, int X, int Y) {
  SeparableDepth depth{index >= 4, std::vector<double>(Y + 1), std::vector<double>(X + 1)};
  for (int y = 0; y <= Y; ++y) depth.row[y] = row_term(index, y, row_coordinate(y, X));
  for (int x = 0; x <= X; ++x) depth.column[x] = column_term(index, x, column_coordinate(x, Y));
  return depth;
}

int next_surface(int index) { return (index + 1) % surface_count; }

}  // namespace korvelan
