#include "platform/iokit/IOHandleTable.h"

#include <utility>

IOHandleTable& IOHandleTable::shared() {
  static IOHandleTable table;
  return table;
}

std::uint32_t IOHandleTable::issueHandle() {
  // Skips 0 (the null handle) and, after a wrap of the counter, anything still live.
  do {
    ++lastHandle;
  } while (lastHandle == 0 || objects.contains(lastHandle) || connections.contains(lastHandle));
  return lastHandle;
}

io_object_t IOHandleTable::addObject(IOObject object) {
  const std::uint32_t handle = issueHandle();
  objects.emplace(handle, std::move(object));
  return handle;
}

IOObject* IOHandleTable::object(io_object_t handle) {
  const auto found = objects.find(handle);
  return found == objects.end() ? nullptr : &found->second;
}

bool IOHandleTable::releaseObject(io_object_t handle) { return objects.erase(handle) == 1; }

io_connect_t IOHandleTable::addConnection(std::shared_ptr<IOService> service) {
  const std::uint32_t handle = issueHandle();
  connections.emplace(handle, std::move(service));
  return handle;
}

std::shared_ptr<IOService> IOHandleTable::connection(io_connect_t handle) const {
  const auto found = connections.find(handle);
  return found == connections.end() ? nullptr : found->second;
}

bool IOHandleTable::closeConnection(io_connect_t handle) { return connections.erase(handle) == 1; }
