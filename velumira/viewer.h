// The program velumira: opens its 800 x 600 window, draws the scene stereogram,
// draws it again after every key, switches between texture mode and depth mode
// on "a" and ends on Escape.
#pragma once

namespace velumira {

// Runs the program to its end and gives its exit code: 0 after Escape, 1 when
// the window cannot be opened (after one line on standard error).
int run_velumira();

}  // namespace velumira
