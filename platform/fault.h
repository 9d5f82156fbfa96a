// Arithmetic faults for the whole run: invalid operation, division by zero and
// overflow trap, and a trapped fault or an integer division by zero ends the
// program through one path (close the window, report, exit with the error number).
#pragma once

namespace platform {

// Sets the floating-point unit (traps on, round to nearest, 64-bit significand)
// and installs the fault report. Called first thing in a program's main.
void install_fault_traps();

}  // namespace platform
