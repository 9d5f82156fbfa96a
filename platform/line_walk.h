// The pixels of a one-pixel line from (x1, y1) to (x2, y2), both end points
// included: Bresenham's walk, one pixel for each step along the longer axis.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <limits>

namespace platform {

// The walk as written: visit(x, y) for every pixel, from the first end to the
// second. Any line, wherever its ends lie.
template <class Visit>
void walk_line(int x1, int y1, int x2, int y2, Visit visit) {
  const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    visit(x1, y1);
    if (x1 == x2 && y1 == y2) break;
    const int twice = 2 * error;
    if (twice >= dy) { error += dy; x1 += sx; }
    if (twice <= dx) { error += dx; y1 += sy; }
  }
}

// The same pixels, given as offsets y * stride + x, in another order. Both ends
// must lie in the area, which puts every pixel of the line in it.
//
// The walk above takes L steps along the longer axis and S along the shorter
// one. It steps along the longer axis every time, and along the shorter one too
// when twice its error e (negated when y is the longer axis) is at most L; e
// starts at L - S, loses S each step and gains L when the shorter axis steps.
// After k steps it has stepped floor((2kS + L) / 2L) times along the shorter
// axis (kS / L rounded, halves up), so the walk can be started anywhere. Here
// it runs as three parts side by side, each choosing its steps by masks rather
// than branches, so that the processor need not wait on one error before
// working out the next.
template <class Visit>
void walk_line_offsets(int x1, int y1, int x2, int y2, std::ptrdiff_t stride, Visit visit) {
  const long long dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
  const std::ptrdiff_t step_x = x1 < x2 ? 1 : -1, step_y = y1 < y2 ? stride : -stride;
  const bool x_longer = dx >= dy;
  const long long longer = x_longer ? dx : dy, shorter = x_longer ? dy : dx;
  const std::ptrdiff_t longer_step = x_longer ? step_x : step_y;
  const std::ptrdiff_t shorter_step = x_longer ? step_y : step_x;
  const std::ptrdiff_t first = y1 * stride + x1;

  constexpr int parts = 3;
  const long long part_length = (longer + 1) / parts;
  std::ptrdiff_t offset[parts];
  // 2e - L - 1: negative exactly when the next step goes along the shorter
  // axis too. Its sign bit, spread over all bits, is the mask.
  std::ptrdiff_t sign_test[parts];
  for (int p = 0; p < parts; ++p) {
    const long long k = p * part_length;
    const long long shorter_steps = k == 0 ? 0 : (2 * k * shorter + longer) / (2 * longer);
    offset[p] = first + k * longer_step + shorter_steps * shorter_step;
    sign_test[p] = 2 * (longer - shorter - k * shorter + longer * shorter_steps) - longer - 1;
  }
  const std::ptrdiff_t twice_longer = 2 * longer, twice_shorter = 2 * shorter;
  auto advance = [&](int p) {
    visit(offset[p]);
    const std::ptrdiff_t mask = sign_test[p] >> std::numeric_limits<std::ptrdiff_t>::digits;
    offset[p] += longer_step + (shorter_step & mask);
    sign_test[p] += (twice_longer & mask) - twice_shorter;
  };
  for (long long k = part_length; k > 0; --k)
    for (int p = 0; p < parts; ++p) advance(p);
  // The last part goes on to the second end.
  for (long long k = parts * part_length; k <= longer; ++k) advance(parts - 1);
}

}  // namespace platform
