// The links of the scene stereogram: for a pixel, the pixel where the right eye
// sees the scene point that the left eye sees through it, and whether the right
// eye sees that point at all. trace_link casts both rays for one pixel and is
// the definition; link_tables gives the same links a row at a time.
#pragma once

#include <cstdint>
#include <vector>

namespace velumira {

// The right eye's view of the scene point that the left eye sees through the
// screen point (dx, dy), both relative to the screen centre.
struct eye_link {
  bool seen_by_both;  // both rays stopped at the same depth step
  long long x;        // the right eye's screen point, rounded to the nearest
  long long y;        //   integer (ties to even)
  double depth;       // where the left ray stopped: -501, -551, -601 or -651
};
eye_link trace_link(double dx, double dy);

// A march's steps 0 to 3 go to the depths -501, -551, -601 and -651.
double step_depth(int step);

// Added to a link's step when the right ray stopped at another step.
inline constexpr std::uint8_t unseen = 4;

// The links of every pixel of a drawing area, equal to trace_link's.
//
// A left-ray point's x depends only on the column and the step, its y only on
// the row and the step; so do the right eye's screen crossing s (column) and t
// (row), and with them the right ray's points. The tables hold these for every
// step and every combination of left and right step, worked out once with the
// rays' own expressions, with what the scene's shapes make of them: whether an
// x or a y lies on a grid bar, the columns of each row inside the disc (one
// range, as x rises with the column), and those inside the heart (a few runs).
class link_tables {
 public:
  // The area of columns 0..last_column and rows 0..last_row, whose screen
  // centre is (last_column div 2, last_row div 2).
  link_tables(int last_column, int last_row);
  bool fits(int last_column, int last_row) const {
    return last_column == last_column_ && last_row == last_row_;
  }

  // A row's links, one entry for each column: where the left ray stopped (0 to
  // 3: at step_depth(step)), plus `unseen` when the right ray stopped at another
  // step; and the pixel the link leads to, the right eye's screen point rounded
  // (16-bit, as the platform takes coordinates).
  struct row {
    const std::uint8_t* step;
    const std::int16_t* x;
    const std::int16_t* y;
  };
  // Valid until the next call.
  row links_of_row(int row);

 private:
  struct column_range {
    int first, end;  // columns first to end - 1
  };
  // Where a march's step lands, by column (x) and by row (y), and the shapes
  // there. The march stops at it on the heart at any step, on the disc from
  // step 1 and on the grid from step 2 (the scene's depths are -500, -550,
  // -600 and -650).
  struct march_point {
    int step;
    std::vector<std::uint8_t> bar_in_column;       // x on a grid bar
    std::vector<std::uint8_t> bar_in_row;          // y on a grid bar
    std::vector<column_range> disc;                // by row
    std::vector<std::vector<column_range>> heart;  // by row
  };
  static march_point make_point(int step, const std::vector<double>& xs, const std::vector<double>& ys);
  // Whether the march stops at the point, for every column of the row.
  void fill_stops(const march_point& point, int row, std::uint8_t* stops) const;

  int last_column_, last_row_;
  // The targets for each left step: x by step and column, y by row and step.
  std::vector<std::int16_t> target_x_, target_y_;
  // The left ray's steps 0 to 2 (it always stops at step 3), then the right
  // ray's steps 0 to min(left step, 2) for each left step.
  std::vector<march_point> points_;
  std::vector<std::uint8_t> stops_;  // the points' stops, a row of each
  std::vector<std::uint8_t> steps_;
  std::vector<std::int16_t> x_, y_;
};

// The tables for the area: made at the first call, and again when the area's
// size is not the one they were made for.
link_tables& link_tables_for(int last_column, int last_row);

}  // namespace velumira
