// korvelan: strip-shift random-dot stereograms of seven surfaces.
#include "korvelan/viewer.h"
#include "platform/fault.h"

int main() {
  platform::install_fault_traps();
  return korvelan::run_korvelan();
}
