#pragma once
// Publishes the platform's hwmon-backed services at application start.

#include <memory>

#include "platform/hwmon/HwmonSMCService.h"
#include "platform/iokit/IORegistry.h"

// Publishes the "AppleSMC" service, answered from the machine's sensors through libsensors and
// the choice of sensors in the settings, when they can answer at least one of TC0D, F0Ac and
// F1Ac, and logs the CPU sensor chosen. With no such sensors nothing is published (and opening
// the SMC then fails). True when published.
bool publishHwmonServices(IORegistry& registry);

// The same over a given sensor source, clock and choice.
bool publishHwmonServices(IORegistry& registry, std::unique_ptr<SensorSource> source,
                          HwmonSMCService::Clock clock = std::chrono::steady_clock::now,
                          SensorChoice choice = {});
