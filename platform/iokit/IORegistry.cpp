#include "platform/iokit/IORegistry.h"

#include <algorithm>
#include <utility>

IORegistry& IORegistry::shared() {
  static IORegistry registry;
  return registry;
}

void IORegistry::publish(const std::string& className, std::shared_ptr<IOService> service) {
  if (!service) return;
  entries.push_back({className, std::move(service)});
}

void IORegistry::withdraw(const std::string& className) {
  std::erase_if(entries, [&](const Entry& entry) { return entry.className == className; });
}

void IORegistry::withdraw(const std::shared_ptr<IOService>& service) {
  std::erase_if(entries, [&](const Entry& entry) { return entry.service == service; });
}

std::vector<std::shared_ptr<IOService>> IORegistry::servicesOfClass(
    const std::string& className) const {
  std::vector<std::shared_ptr<IOService>> found;
  for (const Entry& entry : entries) {
    if (entry.className == className) found.push_back(entry.service);
  }
  return found;
}
