#pragma once
// An in-memory "AppleSMC" service for tests and benchmarks: keys with type, size and bytes,
// failures on demand, and a record of every call it answered. Unknown keys fail with
// kIOReturnNotFound, scripted failures with kIOReturnError, and a read-bytes whose size differs
// from the key's with kIOReturnBadArgument. Keys and types are four-character strings;
// anything else throws std::invalid_argument (a mistake in the test).

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/iokit/AppleSMCDriver.h"

class ScriptedSMCService : public AppleSMCDriver {
 public:
  // A key of any type and size; at most 32 of the bytes given are kept.
  void setKey(const std::string& key, const std::string& type, std::vector<std::uint8_t> bytes,
              std::uint32_t dataSize);
  // "sp78" from degrees Celsius and "fpe2" from rpm, encoded as the hwmon service encodes them.
  void setTemperature(const std::string& key, double celsius);
  void setFanRpm(const std::string& key, double rpm);
  void removeKey(const std::string& key) { keys.erase(fourCharCode(key)); }
  void failKeyInfo(const std::string& key) { failingKeyInfo.insert(fourCharCode(key)); }
  void failReadBytes(const std::string& key) { failingReadBytes.insert(fourCharCode(key)); }
  // What every IOServiceOpen on this service answers from now on; non-zero refuses it.
  void failOpen(kern_return_t code) { openResult = code; }

  // Commands handed to the service (a failing one included).
  int keyInfoCalls() const { return keyInfoCount; }
  int totalCalls() const { return keyInfoCount + readBytesCount; }
  // The input records of every structure call, as the driver received them.
  const std::vector<SMCCallRecord>& receivedRecords() const { return received; }
  void resetCounters() {
    keyInfoCount = readBytesCount = 0;
    received.clear();
  }

  kern_return_t callStructMethod(std::uint32_t selector, const void* input, std::size_t inputSize,
                                 void* output, std::size_t* outputSize) override;

 protected:
  kern_return_t newUserClient(std::uint32_t) override { return openResult; }
  kern_return_t keyInfo(std::uint32_t key, SMCKeyInfo& info) override;
  kern_return_t readBytes(std::uint32_t key, std::uint32_t dataSize,
                          std::uint8_t (&bytes)[SMCDataBytes]) override;

 private:
  static std::uint32_t fourCharCode(const std::string& code);

  struct Key {
    std::uint32_t dataType = 0, dataSize = 0;
    std::uint8_t bytes[SMCDataBytes] = {};
  };
  std::map<std::uint32_t, Key> keys;
  std::set<std::uint32_t> failingKeyInfo, failingReadBytes;
  std::vector<SMCCallRecord> received;
  int keyInfoCount = 0, readBytesCount = 0;
  kern_return_t openResult = kIOReturnSuccess;
};
