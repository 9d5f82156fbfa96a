// One frame of the surface stereogram, drawn into the drawing area that the main
// loop has just cleared. In random-dot mode a strip of random colours at the
// left edge is repeated across the picture, every pixel copying the pixel a
// surface-dependent distance to its left; in shift-colour mode each pixel is
// painted with that distance itself. The drawing area is the only picture
// memory: the colours copied are read back from it.
#pragma once

namespace korvelan {

// Fills columns 0..strip_width (both included) of every row, row by row, with
// colours random(largest_colour()): 0..254, one random draw per pixel.
void draw_random_strip(int strip_width);

// Draws columns strip_width..largest x of every row, left to right, for surface
// `index`. A depth z shifts the source column by round(strip_width * z / 4.5)
// to the right of the one a strip width to the left, clamped to the row; the
// pixel then takes the source's current colour (random-dot mode) or the
// distance from the source as its colour number (shift-colour mode).
void draw_surface_pass(int index, int strip_width, bool random_dot_mode);

// The column whose colour the pixel (x, y) takes on surface `index`, in a
// drawing area whose largest column and row are X and Y: x - strip_width +
// round(strip_width * z / 4.5), rounded ties to even and clamped to 0..X.
int source_column(int index, int strip_width, int x, int y, int X, int Y);

// source_column for the columns strip_width..X of row y at once, indexed by
// column; valid until the next call. The surface pass draws with these.
const int* row_source_columns(int index, int strip_width, int y, int X, int Y);

// The same two steps drawn by their definition, pixel by pixel: one random64
// call for each strip pixel, one source_column call for each pass pixel. Tests
// hold the frames above equal to these, and benchmarks compare their times.
void draw_random_strip_per_pixel(int strip_width);
void draw_surface_pass_per_pixel(int index, int strip_width, bool random_dot_mode);

}  // namespace korvelan
