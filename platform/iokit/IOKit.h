#pragma once
// The I/O Kit operations that the smc module calls, with the same names, argument order and
// return-code conventions (kern_return_t, 0 = success). Services live in an in-process registry
// (IORegistry.h); objects and connections are handles into tables, so a handle that was never
// handed out, or was already released or closed, is refused with a non-zero code.

#include <cstddef>
#include <cstdint>
#include <string>

using kern_return_t = int;
using mach_port_t = std::uint32_t;
using task_port_t = mach_port_t;
using io_object_t = std::uint32_t;
using io_iterator_t = io_object_t;
using io_service_t = io_object_t;
using io_connect_t = std::uint32_t;

inline constexpr kern_return_t KERN_SUCCESS = 0;
inline constexpr kern_return_t kIOReturnSuccess = 0;
inline constexpr kern_return_t kIOReturnError = static_cast<kern_return_t>(0xe00002bc);
inline constexpr kern_return_t kIOReturnBadArgument = static_cast<kern_return_t>(0xe00002c2);
inline constexpr kern_return_t kIOReturnUnsupported = static_cast<kern_return_t>(0xe00002c7);
inline constexpr kern_return_t kIOReturnNotOpen = static_cast<kern_return_t>(0xe00002cd);
inline constexpr kern_return_t kIOReturnNotFound = static_cast<kern_return_t>(0xe00002f0);
inline constexpr kern_return_t kIOReturnNoDevice = static_cast<kern_return_t>(0xe00002c0);

inline constexpr mach_port_t MACH_PORT_NULL = 0;

// What IOServiceMatching builds: a description of the services wanted, by class name.
// IOServiceGetMatchingServices consumes it, as the framework's call consumes its dictionary.
struct IOMatchingDictionary {
  std::string className;
};
using CFMutableDictionaryRef = IOMatchingDictionary;

// The master port; never fails.
kern_return_t IOMasterPort(mach_port_t bootstrapPort, mach_port_t* masterPort);
CFMutableDictionaryRef IOServiceMatching(const char* className);
// 0 and an iterator over the services of the dictionary's class published now (possibly none);
// kIOReturnBadArgument when `existing` is null.
kern_return_t IOServiceGetMatchingServices(mach_port_t masterPort, CFMutableDictionaryRef matching,
                                           io_iterator_t* existing);
// The next service of the iterator, as a new object for the caller to release, or 0 when there is
// none left or `iterator` is not a live iterator.
io_object_t IOIteratorNext(io_iterator_t iterator);
// Releases an iterator or a service; kIOReturnBadArgument for a handle that is not live.
kern_return_t IOObjectRelease(io_object_t object);

task_port_t mach_task_self();
// Opens a connection of `type` to `service` for the current task. On failure `*connect` is 0 and
// the code is kIOReturnBadArgument (no such service, another task, null `connect`) or whatever
// the service answered.
kern_return_t IOServiceOpen(io_service_t service, task_port_t owningTask, std::uint32_t type,
                            io_connect_t* connect);
// kIOReturnNotOpen for a handle that was never opened or is already closed.
kern_return_t IOServiceClose(io_connect_t connect);
// Hands the call to the connection's service. kIOReturnNotOpen for a handle that was never opened
// or is already closed; kIOReturnBadArgument for null buffers with non-zero sizes.
kern_return_t IOConnectCallStructMethod(io_connect_t connection, std::uint32_t selector,
                                        const void* inputStruct, std::size_t inputStructCnt,
                                        void* outputStruct, std::size_t* outputStructCnt);
