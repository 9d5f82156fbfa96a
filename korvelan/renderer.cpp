#include "korvelan/renderer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

#include "korvelan/surfaces.h"
#include "platform/graphics.h"
#include "platform/random.h"

namespace korvelan {

namespace {

// A depth equal to this shifts a pixel by one whole strip width.
constexpr long double depth_normaliser = 4.5L;

// The fast path estimates each shift from the surface's separable depth
// (surfaces.h) in fixed point, in units of 2^-fraction_bits of a column, and
// rounds the estimate to a whole unit. Its whole part then is the rounded
// shift, unless the estimate lies within about a unit of a half, where the
// exact quotient may round the other way and the definition decides.
// Surfaces 0 to 3 multiply double factors, which comes within about 1e-12 of
// the exact quotient, and use 20 fraction bits. The cones take their root in
// single precision, four columns at a time (double roots are the slowest step
// there), which comes within 1.2e-7 times the shift, at most 117 columns in
// the program's window, and use 12.
template <class Real>
constexpr int fraction_bits = std::is_same_v<Real, double> ? 20 : 12;
// Shifts up to this size keep every scaled estimate within the range of
// `rounded` (753 is the largest that the program's window meets).
constexpr double largest_estimated_shift = 1000;

// t rounded to the nearest integer, ties to even, for |t| < 2^22 in single
// precision and |t| < 2^31 in double: adding 1.5 * 2^(p - 1), p the bits of
// the significand, leaves the rounded t plus 2^(p - 2) in the significand of
// the sum. It is read from there without a conversion instruction, which
// could trap.
template <class Real>
std::int32_t rounded(Real t) {
  using Bits = std::conditional_t<std::is_same_v<Real, double>, std::uint64_t, std::uint32_t>;
  constexpr int p = std::numeric_limits<Real>::digits;
  constexpr Bits quarter = Bits{1} << (p - 2);
  const Bits sum = std::bit_cast<Bits>(t + static_cast<Real>(3 * quarter));
  return static_cast<std::int32_t>((sum & (4 * quarter - 1)) - quarter);
}

template <class Real>
struct Factors {
  std::vector<Real> row, column;
};

// A separable depth scaled so that row[y] * column[x], or sqrt(row[y] +
// column[x]) for the cones, is the shift in units of 2^-fraction_bits.
template <class Real>
Factors<Real> shift_factors(const SeparableDepth& depth, long double shift_per_depth) {
  const long double scale = std::ldexp(shift_per_depth, fraction_bits<Real>);
  // Under the root both factors scale by the square.
  const long double row_scale = depth.root_of_sum ? scale * scale : scale;
  const long double column_scale = depth.root_of_sum ? scale * scale : 1;
  Factors<Real> factors;
  for (const double t : depth.row) factors.row.push_back(static_cast<Real>(t * row_scale));
  for (const double t : depth.column) factors.column.push_back(static_cast<Real>(t * column_scale));
  return factors;
}

// The smallest and largest shift over all pixels, from the factors' extremes.
struct ShiftRange {
  double low, high;
};

ShiftRange shift_range(const SeparableDepth& depth, double shift_per_depth) {
  const auto [row_low, row_high] = std::minmax_element(depth.row.begin(), depth.row.end());
  const auto [column_low, column_high] = std::minmax_element(depth.column.begin(), depth.column.end());
  if (depth.root_of_sum) {
    return {std::sqrt(*row_low + *column_low) * shift_per_depth, std::sqrt(*row_high + *column_high) * shift_per_depth};
  }
  const auto [low, high] = std::minmax({*row_low * *column_low, *row_low * *column_high, *row_high * *column_low,
                                        *row_high * *column_high});
  return {low * shift_per_depth, high * shift_per_depth};
}

// How a surface's shifts are estimated in one geometry. Where every shift lies
// within 0..strip_width, so does every source column within the row, and the
// clamp is left out. The cones always lie there in the windows of this
// platform; where they would not, or where shifts grow beyond
// largest_estimated_shift, every pixel takes source_column.
enum class Estimate {
  products,          // surfaces 0 to 3, no clamp needed
  clamped_products,  // surfaces 0 to 3
  cones,             // surfaces 4 to 6, no clamp needed
  exact,
};

// A surface's shift factors for one strip width and drawing area: made when
// the surface is first drawn there, kept for the run, with the row of source
// columns that the pass fills.
struct ShiftTerms {
  int strip_width = -1, X = -1, Y = -1;
  Estimate estimate = Estimate::exact;
  Factors<double> products;
  Factors<float> cones;
  std::vector<int> sources;  // by column
};

ShiftTerms& shift_terms(int index, int strip_width, int X, int Y) {
  static ShiftTerms kept[surface_count];
  ShiftTerms& terms = kept[index];
  if (terms.strip_width == strip_width && terms.X == X && terms.Y == Y) return terms;

  const SeparableDepth depth = separable_depth(index, X, Y);
  const long double shift_per_depth = strip_width / depth_normaliser;
  const ShiftRange range = shift_range(depth, static_cast<double>(shift_per_depth));
  const bool within_row = range.low >= 0 && range.high < strip_width;
  const bool estimable = std::max(-range.low, range.high) < largest_estimated_shift;
  terms = {strip_width, X, Y, Estimate::exact, {}, {}, std::vector<int>(X + 1)};
  if (estimable && depth.root_of_sum && within_row) {
    terms.estimate = Estimate::cones;
    terms.cones = shift_factors<float>(depth, shift_per_depth);
  } else if (estimable && !depth.root_of_sum) {
    terms.estimate = within_row ? Estimate::products : Estimate::clamped_products;
    terms.products = shift_factors<double>(depth, shift_per_depth);
  }
  return terms;
}

// Estimates the source columns of the columns strip_width..X of one row, from
// the row's factor and the column factors. Columns whose estimate lies near a
// half get -1, and the result tells whether there are any. The loop makes no
// comparisons (a floating-point one could trap, which the compiler respects,
// and integer ones become selections): masks from arithmetic shifts do their
// work, so it has no branches and is vectorised.
template <class Real, bool root_of_sum, bool clamped>
bool estimate_row(Real row, const Real* column, int strip_width, int X, int* sources) {
  constexpr std::int32_t one = 1 << fraction_bits<Real>;
  constexpr std::int32_t half = one / 2;
  std::int32_t unsure = 0;
  for (int x = strip_width; x <= X; ++x) {
    // The shift plus a half, in units: its whole part is the shift rounded;
    // a fraction from one unit below 0 to one above is too near to tell, and
    // makes the mask all ones.
    const std::int32_t biased = rounded(root_of_sum ? std::sqrt(row + column[x]) : row * column[x]) + half;
    const std::int32_t unsure_mask = (((biased + 1) & (one - 1)) - 3) >> 31;
    std::int32_t source = x - strip_width + (biased >> fraction_bits<Real>);
    if (clamped) {  // to 0..X with masks: below 0, source >> 31 is all ones
      source &= ~(source >> 31);
      const std::int32_t beyond = source - X;
      source = X + (beyond & (beyond >> 31));
    }
    sources[x] = source | unsure_mask;
    unsure |= unsure_mask;
  }
  return unsure != 0;
}

}  // namespace

void draw_random_strip(int strip_width) {
  const int last_row = platform::largest_y();
  // The draws are made a piece of a row at a time, then plotted in order.
  constexpr int piece = 128;
  std::int64_t colours[piece];
  for (int y = 0; y <= last_row; ++y) {
    for (int first = 0; first <= strip_width; first += piece) {
      const int count = std::min(piece, strip_width + 1 - first);
      platform::fill_random64(platform::largest_colour(), {colours, static_cast<std::size_t>(count)});
      for (int i = 0; i < count; ++i) platform::plot_pixel(first + i, y, static_cast<std::uint32_t>(colours[i]));
    }
  }
}

int source_column(int index, int strip_width, int x, int y, int X, int Y) {
  const double z = surface_depth(index, x, y, X, Y);
  // In extended precision; ties round to even (the default rounding mode).
  const std::int64_t shift = std::llrint(static_cast<long double>(strip_width) * z / depth_normaliser);
  const int source = static_cast<int>((x - strip_width) + shift);
  return source < 0 ? 0 : source > X ? X : source;
}

const int* row_source_columns(int index, int strip_width, int y, int X, int Y) {
  ShiftTerms& terms = shift_terms(index, strip_width, X, Y);
  int* sources = terms.sources.data();
  bool unsure = true;
  switch (terms.estimate) {
    case Estimate::products:
      unsure = estimate_row<double, false, false>(terms.products.row[y], terms.products.column.data(), strip_width,
                                                  X, sources);
      break;
    case Estimate::clamped_products:
      unsure = estimate_row<double, false, true>(terms.products.row[y], terms.products.column.data(), strip_width,
                                                 X, sources);
      break;
    case Estimate::cones:
      unsure = estimate_row<float, true, false>(terms.cones.row[y], terms.cones.column.data(), strip_width, X,
                                                sources);
      break;
    case Estimate::exact:
      for (int x = strip_width; x <= X; ++x) sources[x] = -1;
      break;
  }
  if (unsure) {
    for (int x = strip_width; x <= X; ++x) {
      if (sources[x] < 0) sources[x] = source_column(index, strip_width, x, y, X, Y);
    }
  }
  return sources;
}

// A shift of 0 copies the pixel exactly one strip width to the left, so flat
// parts repeat the strip. A shift of a strip width or more points at the pixel
// itself or to its right, not yet drawn this frame: the background is copied.
// A row's source columns are worked out first, then its pixels are read and
// plotted in order, so every read still sees what was drawn before it.
void draw_surface_pass(int index, int strip_width, bool random_dot_mode) {
  const int last_row = platform::largest_y();
  for (int y = 0; y <= last_row; ++y) {
    const int last_column = platform::largest_x();  // asked anew for each row
    const int* sources = row_source_columns(index, strip_width, y, last_column, last_row);
    for (int x = strip_width; x <= last_column; ++x) {
      // In shift-colour mode x - source may be 0 or negative (clamped to the
      // right edge); plot_pixel takes it modulo 256.
      const std::uint32_t colour = random_dot_mode ? platform::read_pixel(sources[x], y)
                                                   : static_cast<std::uint32_t>(x - sources[x]);
      platform::plot_pixel(x, y, colour);
    }
  }
}

void draw_random_strip_per_pixel(int strip_width) {
  const int last_row = platform::largest_y();
  for (int y = 0; y <= last_row; ++y) {
    for (int x = 0; x <= strip_width; ++x) {
      const std::int64_t colour = platform::random64(platform::largest_colour());
      platform::plot_pixel(x, y, static_cast<std::uint32_t>(colour));
    }
  }
}

void draw_surface_pass_per_pixel(int index, int strip_width, bool random_dot_mode) {
  const int last_row = platform::largest_y();
  for (int y = 0; y <= last_row; ++y) {
    const int last_column = platform::largest_x();
    for (int x = strip_width; x <= last_column; ++x) {
      const int source = source_column(index, strip_width, x, y, last_column, last_row);
      const std::uint32_t colour = random_dot_mode ? platform::read_pixel(source, y)
                                                   : static_cast<std::uint32_t>(x - source);
      platform::plot_pixel(x, y, colour);
    }
  }
}

}  // namespace korvelan
