#pragma once
// The driver side of a user-client connection: what a service in the registry answers.

#include <cstddef>
#include <cstdint>

#include "platform/iokit/IOKit.h"

class IOService {
 public:
  virtual ~IOService() = default;

  // Asked by IOServiceOpen before a connection of `type` is handed out; non-zero refuses it.
  virtual kern_return_t newUserClient(std::uint32_t type) {
    (void)type;
    return kIOReturnSuccess;
  }

  // Answers structure method `selector`: reads `inputSize` bytes at `input`, writes at most
  // `*outputSize` bytes at `output` and may lower `*outputSize`. 0 on success.
  virtual kern_return_t callStructMethod(std::uint32_t selector, const void* input,
                                         std::size_t inputSize, void* output,
                                         std::size_t* outputSize) = 0;
};
