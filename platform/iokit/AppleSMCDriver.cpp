#include "platform/iokit/AppleSMCDriver.h"

#include <cstring>

kern_return_t AppleSMCDriver::callStructMethod(std::uint32_t selector, const void* input,
                                               std::size_t inputSize, void* output,
                                               std::size_t* outputSize) {
  if (selector != SMCMethodIndex) return kIOReturnUnsupported;
  if (input == nullptr || output == nullptr || outputSize == nullptr) return kIOReturnBadArgument;
  if (inputSize != sizeof(SMCCallRecord) || *outputSize != sizeof(SMCCallRecord)) {
    return kIOReturnBadArgument;
  }

  // Copied out first: the client may pass the same buffer as input and output.
  SMCCallRecord request;
  std::memcpy(&request, input, sizeof request);
  SMCCallRecord reply{};
  reply.key = request.key;
  reply.command = request.command;

  kern_return_t result = kIOReturnUnsupported;
  switch (request.command) {
    case SMCCommandReadKeyInfo: {
      SMCKeyInfo info;
      result = keyInfo(request.key, info);
      reply.dataSize = info.dataSize;
      reply.dataType = info.dataType;
      break;
    }
    case SMCCommandReadBytes:
      reply.dataSize = request.dataSize;
      result = readBytes(request.key, request.dataSize, reply.bytes);
      break;
    default:
      break;
  }
  if (result != kIOReturnSuccess) return result;
  std::memcpy(output, &reply, sizeof reply);
  *outputSize = sizeof reply;
  return kIOReturnSuccess;
}
