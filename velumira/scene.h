// The scene behind the screen: a grid of bars, a disc and a heart standing in
// front of a background plane, each flat and at its own depth. X grows to the
// right and Y downwards, in screen-plane pixels from the point straight behind
// the centre of the drawing area; depths are negative (behind the screen).
#pragma once

namespace velumira {

// The depth of the scene at (x, y): -500 on the heart, else -550 on the disc,
// else -600 on the grid, else -650 (background plane).
double scene_depth(double x, double y);

// Bars parallel to both axes, period 100: a point is on the grid when its x or
// its y lies on a bar along its axis.
bool on_grid(double x, double y);
// Whether the coordinate c lies on a bar: the centre bar reaches |c| <= 40.5,
// the others 100k - 0.5 <= |c| <= 100k + 40.5.
bool on_grid_bar(double c);
// The open disc of radius 200 around the origin.
bool in_disc(double x, double y);
// A heart with its point downwards: an ellipse (semi-axes 100 and 66) whose
// centre line rises by 0.6 for each unit of |x|, stepped in 0.66 along y.
bool in_heart(double x, double y);

}  // namespace velumira
