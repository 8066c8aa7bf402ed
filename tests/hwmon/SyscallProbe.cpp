// Reads the three keys of one refresh `samples` times on a fake hwmon tree, so that strace can
// count what the steady path costs (see syscalls_per_read.sh). Fails where the fake tree cannot
// be made.

#include <cstdlib>
#include <memory>

#include "platform/hwmon/HwmonServices.h"
#include "sensors/smc.h"
#include "tests/support/FakeHwmonTree.h"

int main(int argc, char** argv) {
  const int samples = argc > 1 ? std::atoi(argv[1]) : 100;
  const std::unique_ptr<FakeHwmonTree> tree = FakeHwmonTree::create();
  if (!tree) return 1;
  tree->addCoretemp(2, "45000");
  tree->addFans(4, "1200", "800");
  if (!publishHwmonServices(IORegistry::shared()) || SMCOpen() != 0) return 1;

  bool right = true;
  for (int i = 0; i < samples; ++i) {
    right = SMCGetFanRpm("F0Ac") == 1200 && SMCGetFanRpm("F1Ac") == 800 &&
            SMCGetTemperature("TC0D") == 45.0 && right;
  }
  SMCClose();
  IORegistry::shared().withdraw("AppleSMC");
  return right ? 0 : 1;
}
