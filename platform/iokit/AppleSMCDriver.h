#pragma once
// The driver side of the "AppleSMC" protocol, shared by every service that answers it: checks
// the method and the record sizes, decodes the SMCCallRecord, and hands key-info (9) and
// read-bytes (5) to the concrete service. Any other method (kIOReturnUnsupported), size
// (kIOReturnBadArgument) or command (kIOReturnUnsupported) fails. Nothing in the input record is
// trusted; on success the output is a fresh record carrying the key, the command and the answer,
// on failure the output is left untouched.

#include <cstdint>

#include "platform/iokit/IOService.h"
#include "platform/iokit/SMCCallRecord.h"

struct SMCKeyInfo {
  std::uint32_t dataSize = 0;
  std::uint32_t dataType = 0;  // four type characters, the first in the most significant byte
};

class AppleSMCDriver : public IOService {
 public:
  kern_return_t callStructMethod(std::uint32_t selector, const void* input, std::size_t inputSize,
                                 void* output, std::size_t* outputSize) override;

 protected:
  // Fills `info` for `key`; non-zero (kIOReturnNotFound) for keys the service does not have.
  virtual kern_return_t keyInfo(std::uint32_t key, SMCKeyInfo& info) = 0;
  // Fills the data bytes of `key` as they are now; `dataSize` is what the client sent back, taken
  // from the record as it came. `bytes` arrives zeroed.
  virtual kern_return_t readBytes(std::uint32_t key, std::uint32_t dataSize,
                                  std::uint8_t (&bytes)[SMCDataBytes]) = 0;
};
