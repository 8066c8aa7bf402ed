#include "tests/support/ScriptedSMCService.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/iokit/SMCCodec.h"

// Test scripts name keys and types as four-character strings; anything else is a mistake in
// the test, reported loudly.
std::uint32_t ScriptedSMCService::fourCharCode(const std::string& code) {
  if (code.size() != 4) throw std::invalid_argument("not a four-character code: " + code);
  return SMCFourCharCode(code);
}

void ScriptedSMCService::setKey(const std::string& key, const std::string& type,
                                std::vector<std::uint8_t> bytes, std::uint32_t dataSize) {
  Key entry{fourCharCode(type), dataSize};
  std::copy_n(bytes.begin(), std::min(bytes.size(), SMCDataBytes), entry.bytes);
  keys[fourCharCode(key)] = entry;
}

void ScriptedSMCService::setTemperature(const std::string& key, double celsius) {
  const auto bytes = SMCEncodeSp78(celsius);
  setKey(key, "sp78", {bytes.begin(), bytes.end()}, SMCEncodedSize);
}

void ScriptedSMCService::setFanRpm(const std::string& key, double rpm) {
  const auto bytes = SMCEncodeFpe2(rpm);
  setKey(key, "fpe2", {bytes.begin(), bytes.end()}, SMCEncodedSize);
}

kern_return_t ScriptedSMCService::callStructMethod(std::uint32_t selector, const void* input,
                                                   std::size_t inputSize, void* output,
                                                   std::size_t* outputSize) {
  if (input != nullptr && inputSize == sizeof(SMCCallRecord)) {
    std::memcpy(&received.emplace_back(), input, sizeof(SMCCallRecord));
  }
  return AppleSMCDriver::callStructMethod(selector, input, inputSize, output, outputSize);
}

kern_return_t ScriptedSMCService::keyInfo(std::uint32_t key, SMCKeyInfo& info) {
  ++keyInfoCount;
  const auto found = keys.find(key);
  if (found == keys.end()) return kIOReturnNotFound;
  if (failingKeyInfo.contains(key)) return kIOReturnError;
  info = {found->second.dataSize, found->second.dataType};
  return kIOReturnSuccess;
}

kern_return_t ScriptedSMCService::readBytes(std::uint32_t key, std::uint32_t dataSize,
                                            std::uint8_t (&bytes)[SMCDataBytes]) {
  ++readBytesCount;
  const auto found = keys.find(key);
  if (found == keys.end()) return kIOReturnNotFound;
  if (failingReadBytes.contains(key)) return kIOReturnError;
  // As the hardware does, a read must ask for exactly the size the key has.
  if (dataSize != found->second.dataSize) return kIOReturnBadArgument;
  std::memcpy(bytes, found->second.bytes, SMCDataBytes);
  return kIOReturnSuccess;
}
