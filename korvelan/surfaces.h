// The catalogue of the seven surfaces z = f(u, v) that korvelan shows, and the
// mapping from a pixel of the drawing area to the surface coordinates u and v.
#pragma once

#include <vector>

namespace korvelan {

inline constexpr int surface_count = 7;

// The depth z of surface `index` (0..6) at the pixel (x, y) of a drawing area
// whose largest column is X and largest row is Y. The pixel maps to
//   u = (y - X/2) / 50,  v = (x - Y/2) / 50
// with real halves: the row is offset by half the largest column and the column
// by half the largest row, so u = v = 0 lies at row 511.5, column 383.5 of the
// 1024 x 768 window.
double surface_depth(int index, int x, int y, int X, int Y);

// surface_depth split into a factor from the row and one from the column:
// z = row[y] * column[x] for surfaces 0 to 3, z = sqrt(row[y] + column[x]) for
// surfaces 4 to 6 (the cones), with both factors rounded to doubles. Evaluated
// in double precision this comes within a few units in the last place of z,
// for drawing whole rows without evaluating the formula per pixel.
struct SeparableDepth {
  bool root_of_sum;
  std::vector<double> row;     // by row, 0..Y
  std::vector<double> column;  // by column, 0..X
};
SeparableDepth separable_depth(int index, int X, int Y);

// The surface after `index`: 0, 1, ..., 6, then 0 again.
int next_surface(int index);

}  // namespace korvelan
