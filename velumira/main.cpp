// velumira: a ray-cast random-dot stereogram of a grid, a disc and a heart.
#include "platform/command_line.h"
#include "platform/fault.h"
#include "velumira/viewer.h"

int main(int argc, char** argv) {
  platform::install_fault_traps();
  if (const auto done = platform::apply_command_line(argc, argv, "velumira", velumira::keys_help)) return *done;
  return velumira::run_velumira();
}
