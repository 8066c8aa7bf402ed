#pragma once
// The registry of services by class name that IOServiceGetMatchingServices searches: our
// stand-in for the kernel's. The platform publishes its services here at start (the hwmon
// "AppleSMC" service); tests publish scripted ones.

#include <memory>
#include <string>
#include <vector>

#include "platform/iokit/IOService.h"

class IORegistry {
 public:
  // The one registry of the process, as the kernel's is one per machine.
  static IORegistry& shared();

  // Adds a service of `className`; lookups list services in the order they were published.
  void publish(const std::string& className, std::shared_ptr<IOService> service);
  // Removes every service of `className`. Connections already open stay usable.
  void withdraw(const std::string& className);
  // Removes this one service, under whatever class it was published.
  void withdraw(const std::shared_ptr<IOService>& service);
  std::vector<std::shared_ptr<IOService>> servicesOfClass(const std::string& className) const;

 private:
  struct Entry {
    std::string className;
    std::shared_ptr<IOService> service;
  };
  std::vector<Entry> entries;
};
