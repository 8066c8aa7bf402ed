// The program: its command line first (answered without a display), then the desktop backend
// with the GTK view loaded from its module when a window is first needed, the machine's sensors
// as the "AppleSMC" service, and the application's main interface.

#include <memory>

#include "app/MainInterface.h"
#include "platform/appkit/NSApplication.h"
#include "platform/desktop/DesktopApplicationBackend.h"
#include "platform/desktop/PlainAllocation.h"
#include "platform/desktop/ToolkitModule.h"
#include "platform/foundation/LibraryLog.h"
#include "platform/glib/CommandLine.h"
#include "platform/hwmon/HwmonServices.h"
#include "platform/hwmon/SensorList.h"
#include "platform/iokit/IORegistry.h"

int main(int argc, char** argv) {
  routeLibraryLogsToNSLog();
  CommandLine options(argc, argv);
  if (const std::optional<int> status = options.answer()) return *status;
  if (options.action() == CommandLine::Action::listSensors) return listHwmonSensors();

  restartWithPlainAllocation(argv);
  // The sensors are published once the desktop is up, so that a run without a display says
  // only that, and before the application opens the SMC.
  const auto loadWithSensors = [](NSMainInterface& objects) {
    publishHwmonServices(IORegistry::shared());
    return NSLoadMainInterface(objects);
  };
  // The backend gets the program's name and GTK's options, for the toolkit when it loads.
  return NSApplicationMain(options.toolkitArgc(), options.toolkitArgv(),
                           std::make_unique<DesktopApplicationBackend>(loadToolkitModule),
                           loadWithSensors);
}
