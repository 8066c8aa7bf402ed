#pragma once
// An in-memory "AppleSMC" service for tests and benchmarks: keys with type, size and bytes,
// failures on demand, and a count of the commands it answered. Unknown keys fail with
// kIOReturnNotFound, scripted read failures with kIOReturnError, and a read-bytes whose size
// differs from the key's with kIOReturnBadArgument.

#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "platform/iokit/AppleSMCDriver.h"
#include "platform/iokit/SMCCodec.h"

class ScriptedSMCService : public AppleSMCDriver {
 public:
  // A key of any type and size; at most 32 of the bytes given are kept.
  void setKey(const std::string& key, const std::string& type, std::span<const std::uint8_t> bytes,
              std::uint32_t dataSize);
  // "sp78" from degrees Celsius and "fpe2" from rpm, encoded as the hwmon service encodes them.
  void setTemperature(const std::string& key, double celsius) {
    setKey(key, "sp78", SMCEncodeSp78(celsius), SMCEncodedSize);
  }
  void setFanRpm(const std::string& key, double rpm) {
    setKey(key, "fpe2", SMCEncodeFpe2(rpm), SMCEncodedSize);
  }
  void removeKey(const std::string& key) { keys.erase(SMCFourCharCode(key)); }
  void failReadBytes(const std::string& key) { keys.at(SMCFourCharCode(key)).failing = true; }
  // What every IOServiceOpen on this service answers from now on; non-zero refuses it.
  void failOpen(kern_return_t code) { openResult = code; }

  // Commands that reached the key handlers (a failing one included).
  int keyInfoCalls() const { return keyInfoCount; }
  int totalCalls() const { return keyInfoCount + readBytesCount; }
  void resetCounters() { keyInfoCount = readBytesCount = 0; }

 protected:
  kern_return_t newUserClient(std::uint32_t) override { return openResult; }
  kern_return_t keyInfo(std::uint32_t key, SMCKeyInfo& info) override;
  kern_return_t readBytes(std::uint32_t key, std::uint32_t dataSize,
                          std::uint8_t (&bytes)[SMCDataBytes]) override;

 private:
  struct Key {
    std::uint32_t dataType = 0, dataSize = 0;
    std::uint8_t bytes[SMCDataBytes] = {};
    bool failing = false;  // its read-bytes fails
  };
  std::map<std::uint32_t, Key> keys;
  int keyInfoCount = 0, readBytesCount = 0;
  kern_return_t openResult = kIOReturnSuccess;
};
