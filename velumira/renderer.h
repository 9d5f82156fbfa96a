// One frame of the scene stereogram, drawn into the drawing area that the main
// loop has just cleared: first the random-line texture, then the ray-cast links
// that repeat it with a period following the scene's depth. The drawing area is
// the only picture memory: colours drawn earlier in the frame are read back.
#pragma once

namespace velumira {

// In texture mode, 1001 passes of two random lines each (one from the left edge
// to the right edge, one from the top edge to the bottom edge) in a random
// colour 0..14. In depth mode nothing.
void draw_texture(bool depth_mode);

// Visits every pixel, row by row from the top and left to right, and for each
// one both eyes see the same scene point through links it to the pixel where
// the right eye sees that point: texture mode copies the pixel's current colour
// there, depth mode paints it with the colour number of the depth.
void render_stereogram(bool depth_mode);

// The same frame with every link traced by trace_link as the scan reaches it:
// the definition that render_stereogram follows pixel for pixel, many times
// slower.
void render_stereogram_plain(bool depth_mode);

}  // namespace velumira
