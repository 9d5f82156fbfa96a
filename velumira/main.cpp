// velumira: a ray-cast random-dot stereogram of a grid, a disc and a heart.
#include "platform/fault.h"
#include "velumira/viewer.h"

int main() {
  platform::install_fault_traps();
  return velumira::run_velumira();
}
