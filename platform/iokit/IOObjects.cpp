// Service lookup: the master port, matching dictionaries, iterators and object release.

#include <utility>

#include "platform/iokit/IOHandleTable.h"
#include "platform/iokit/IOKit.h"
#include "platform/iokit/IORegistry.h"

namespace {
// Any non-zero name will do: there is one registry, and lookups accept any port.
constexpr mach_port_t masterPortName = 0x0b03;
}  // namespace

kern_return_t IOMasterPort(mach_port_t bootstrapPort, mach_port_t* masterPort) {
  (void)bootstrapPort;
  if (masterPort == nullptr) return kIOReturnBadArgument;
  *masterPort = masterPortName;
  return KERN_SUCCESS;
}

CFMutableDictionaryRef IOServiceMatching(const char* className) {
  return IOMatchingDictionary{className == nullptr ? std::string() : std::string(className)};
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): consumes `matching`, as the framework does.
kern_return_t IOServiceGetMatchingServices(mach_port_t masterPort, CFMutableDictionaryRef matching,
                                           io_iterator_t* existing) {
  (void)masterPort;
  if (existing == nullptr) return kIOReturnBadArgument;
  IOIteratorObject iterator{IORegistry::shared().servicesOfClass(matching.className)};
  *existing = IOHandleTable::shared().addObject(std::move(iterator));
  return KERN_SUCCESS;
}

io_object_t IOIteratorNext(io_iterator_t iterator) {
  IOHandleTable& table = IOHandleTable::shared();
  IOObject* object = table.object(iterator);
  auto* it = object == nullptr ? nullptr : std::get_if<IOIteratorObject>(object);
  if (it == nullptr || it->next >= it->services.size()) return 0;
  std::shared_ptr<IOService> service = it->services[it->next++];
  return table.addObject(IOServiceObject{std::move(service)});
}

kern_return_t IOObjectRelease(io_object_t object) {
  return IOHandleTable::shared().releaseObject(object) ? KERN_SUCCESS : kIOReturnBadArgument;
}
