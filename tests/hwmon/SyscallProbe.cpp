// Reads the three keys of one refresh `samples` times on a fake hwmon tree, the way the
// hardware layer samples, so that strace can count what the steady path costs (see
// syscalls_per_read.sh). Exits 77 where the fake tree cannot be made.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/hwmon/HwmonServices.h"
#include "sensors/smc.h"
#include "tests/hwmon/FakeHwmonTree.h"

int main(int argc, char** argv) {
  const int samples = argc > 1 ? std::atoi(argv[1]) : 100;
  std::string whyNot;
  const std::unique_ptr<FakeHwmonTree> tree = FakeHwmonTree::create(whyNot);
  if (!tree) {
    std::fprintf(stderr, "No private fake /sys/class/hwmon: %s\n", whyNot.c_str());
    return 77;
  }
  tree->addChip(2, "coretemp", "coretemp.0");
  tree->write(2, "temp1_label", "Package id 0");
  tree->write(2, "temp1_input", "45000");
  tree->addChip(4, "nct6775", "nct6775.656");
  tree->write(4, "fan1_input", "1200");
  tree->write(4, "fan2_input", "800");
  if (!publishHwmonServices(IORegistry::shared()) || SMCOpen() != 0) return 1;

  double celsius = 0.0;
  int fans[2] = {};
  for (int i = 0; i < samples; ++i) {
    fans[0] = SMCGetFanRpm("F0Ac");
    fans[1] = SMCGetFanRpm("F1Ac");
    celsius = SMCGetTemperature("TC0D");
  }
  SMCClose();
  IORegistry::shared().withdraw("AppleSMC");
  std::printf("%d samples: %.2f C, fans %d and %d rpm\n", samples, celsius, fans[0], fans[1]);
  return samples == 0 || (celsius == 45.0 && fans[0] == 1200 && fans[1] == 800) ? 0 : 1;
}
