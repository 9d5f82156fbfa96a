#include "korvelan/surfaces.h"

#include <cmath>

namespace korvelan {

namespace {

using extended = long double;

constexpr extended pixels_per_unit = 50.0L;
constexpr extended product_scale = 200000.0L;  // surface 0's divisor

}  // namespace

// u and v are formed in extended precision and stored as doubles; each formula
// is evaluated in extended precision from those doubles, and z is rounded to a
// double when it is returned.
double surface_depth(int index, int x, int y, int X, int Y) {
  const double u = static_cast<double>((y - static_cast<extended>(X) / 2) / pixels_per_unit);
  const double v = static_cast<double>((x - static_cast<extended>(Y) / 2) / pixels_per_unit);
  const extended lu = u;
  const extended lv = v;
  switch (index) {
    case 0: {
      const int product = x * y;  // the pixel itself, not u and v
      return static_cast<double>(product / product_scale);
    }
    case 1:
      return static_cast<double>(std::sin(lu) * std::cos(lv) / 2);
    case 2:
      return static_cast<double>(lu * lv / 50);
    case 3:
      // The guard is on v itself: sin(v) is never exactly 0 for v != 0.
      return v != 0.0 ? static_cast<double>(std::sin(lu) / std::sin(lv) / 10) : 0.0;
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

int next_surface(int index) { return (index + 1) % surface_count; }

}  // namespace korvelan
