#include "tests/support/ScriptedSMCService.h"

#include <algorithm>
#include <cstring>

void ScriptedSMCService::setKey(const std::string& key, const std::string& type,
                                std::span<const std::uint8_t> bytes, std::uint32_t dataSize) {
  Key& entry = keys[SMCFourCharCode(key)] = {SMCFourCharCode(type), dataSize};
  std::copy_n(bytes.begin(), std::min(bytes.size(), SMCDataBytes), entry.bytes);
}

kern_return_t ScriptedSMCService::keyInfo(std::uint32_t key, SMCKeyInfo& info) {
  ++keyInfoCount;
  const auto found = keys.find(key);
  if (found == keys.end()) return kIOReturnNotFound;
  info = {found->second.dataSize, found->second.dataType};
  return kIOReturnSuccess;
}

kern_return_t ScriptedSMCService::readBytes(std::uint32_t key, std::uint32_t dataSize,
                                            std::uint8_t (&bytes)[SMCDataBytes]) {
  ++readBytesCount;
  const auto found = keys.find(key);
  if (found == keys.end()) return kIOReturnNotFound;
  if (found->second.failing) return kIOReturnError;
  // As the hardware does, a read must ask for exactly the size the key has.
  if (dataSize != found->second.dataSize) return kIOReturnBadArgument;
  std::memcpy(bytes, found->second.bytes, SMCDataBytes);
  return kIOReturnSuccess;
}
