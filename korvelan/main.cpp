// korvelan: strip-shift random-dot stereograms of seven surfaces.
#include "korvelan/viewer.h"
#include "platform/command_line.h"
#include "platform/fault.h"

int main(int argc, char** argv) {
  platform::install_fault_traps();
  if (const auto done = platform::apply_command_line(argc, argv, "korvelan", korvelan::keys_help)) return *done;
  return korvelan::run_korvelan();
}
