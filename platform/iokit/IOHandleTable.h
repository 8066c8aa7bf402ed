#pragma once
// The kernel-side bookkeeping of the I/O Kit stand-in: which object and connection handles are
// live and what they refer to. Private to platform/iokit (its tests read the counts).
//
// Every handle comes from one monotonic counter shared by objects and connections, so a handle
// is never valid in both tables and a closed handle is not handed out again soon after.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <variant>
#include <vector>

#include "platform/iokit/IOService.h"

struct IOIteratorObject {
  std::vector<std::shared_ptr<IOService>> services;  // the matches, as found when created
  std::size_t next = 0;
};

struct IOServiceObject {
  std::shared_ptr<IOService> service;
};

using IOObject = std::variant<IOIteratorObject, IOServiceObject>;

class IOHandleTable {
 public:
  static IOHandleTable& shared();

  io_object_t addObject(IOObject object);
  // The live object behind `handle`, or nullptr.
  IOObject* object(io_object_t handle);
  // False when `handle` was never handed out or is already released.
  bool releaseObject(io_object_t handle);

  io_connect_t addConnection(std::shared_ptr<IOService> service);
  // The service behind an open connection, or nullptr.
  std::shared_ptr<IOService> connection(io_connect_t handle) const;
  // False when `handle` was never opened or is already closed.
  bool closeConnection(io_connect_t handle);

  std::size_t objectCount() const { return objects.size(); }
  std::size_t connectionCount() const { return connections.size(); }

 private:
  std::uint32_t issueHandle();

  std::unordered_map<std::uint32_t, IOObject> objects;
  std::unordered_map<std::uint32_t, std::shared_ptr<IOService>> connections;
  std::uint32_t lastHandle = 0;
};
