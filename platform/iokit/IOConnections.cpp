// User-client connections: open, close and structure-method calls.

#include <memory>

#include "platform/iokit/IOHandleTable.h"
#include "platform/iokit/IOKit.h"

namespace {
constexpr task_port_t selfTaskName = 0x0103;
}  // namespace

task_port_t mach_task_self() { return selfTaskName; }

kern_return_t IOServiceOpen(io_service_t service, task_port_t owningTask, std::uint32_t type,
                            io_connect_t* connect) {
  if (connect == nullptr) return kIOReturnBadArgument;
  *connect = 0;
  IOHandleTable& table = IOHandleTable::shared();
  IOObject* object = table.object(service);
  auto* serviceObject = object == nullptr ? nullptr : std::get_if<IOServiceObject>(object);
  if (serviceObject == nullptr || owningTask != selfTaskName) return kIOReturnBadArgument;
  std::shared_ptr<IOService> target = serviceObject->service;
  if (const kern_return_t refused = target->newUserClient(type); refused != kIOReturnSuccess) {
    return refused;
  }
  *connect = table.addConnection(std::move(target));
  return KERN_SUCCESS;
}

kern_return_t IOServiceClose(io_connect_t connect) {
  return IOHandleTable::shared().closeConnection(connect) ? KERN_SUCCESS : kIOReturnNotOpen;
}

kern_return_t IOConnectCallStructMethod(io_connect_t connection, std::uint32_t selector,
                                        const void* inputStruct, std::size_t inputStructCnt,
                                        void* outputStruct, std::size_t* outputStructCnt) {
  // Holding the service keeps it alive for the call even if the connection is closed meanwhile.
  const std::shared_ptr<IOService> service = IOHandleTable::shared().connection(connection);
  if (!service) return kIOReturnNotOpen;
  if (inputStruct == nullptr && inputStructCnt != 0) return kIOReturnBadArgument;
  if (outputStructCnt == nullptr) {
    if (outputStruct != nullptr) return kIOReturnBadArgument;
    std::size_t none = 0;
    return service->callStructMethod(selector, inputStruct, inputStructCnt, nullptr, &none);
  }
  if (outputStruct == nullptr && *outputStructCnt != 0) return kIOReturnBadArgument;
  return service->callStructMethod(selector, inputStruct, inputStructCnt, outputStruct,
                                   outputStructCnt);
}
