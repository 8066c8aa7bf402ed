#include "platform/hwmon/HwmonServices.h"

#include <utility>

#include "platform/foundation/NSLog.h"
#include "platform/hwmon/LibsensorsSource.h"

bool publishHwmonServices(IORegistry& registry) {
  std::unique_ptr<LibsensorsSource> source = LibsensorsSource::create();
  if (!source) return false;
  return publishHwmonServices(registry, std::move(source), std::chrono::steady_clock::now,
                              SensorChoice::fromSettings());
}

bool publishHwmonServices(IORegistry& registry, std::unique_ptr<SensorSource> source,
                          HwmonSMCService::Clock clock, SensorChoice choice) {
  std::shared_ptr<HwmonSMCService> service =
      HwmonSMCService::create(std::move(source), std::move(clock), std::move(choice));
  if (!service) return false;
  if (service->cpuSource()) {
    NSLog("hwmon: CPU temperature from " + loggable(*service->cpuSource()) + ".");
  } else {
    NSLog("hwmon: no CPU temperature sensor found; only fans are read.");
  }
  registry.publish("AppleSMC", std::move(service));
  return true;
}
