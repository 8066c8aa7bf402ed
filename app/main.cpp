// The program: the desktop backend with the GTK view loaded from its module when a window is
// first needed, the machine's sensors as the "AppleSMC" service, and the application's main
// interface.

#include <memory>

#include "app/MainInterface.h"
#include "platform/appkit/NSApplication.h"
#include "platform/desktop/DesktopApplicationBackend.h"
#include "platform/desktop/PlainAllocation.h"
#include "platform/desktop/ToolkitModule.h"
#include "platform/hwmon/HwmonServices.h"
#include "platform/iokit/IORegistry.h"

int main(int argc, char** argv) {
  restartWithPlainAllocation(argv);
  // The sensors are published once the desktop is up, so that a run without a display says
  // only that, and before the application opens the SMC.
  const auto loadWithSensors = [](NSMainInterface& objects) {
    publishHwmonServices(IORegistry::shared());
    return NSLoadMainInterface(objects);
  };
  return NSApplicationMain(argc, argv,
                           std::make_unique<DesktopApplicationBackend>(loadToolkitModule),
                           loadWithSensors);
}
