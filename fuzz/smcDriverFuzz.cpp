// Sends arbitrary structure calls to a scripted "AppleSMC" service and checks the answer.
//
// Input: three bytes pick the selector, the input size and the output size (mostly 2, 80 and
// 80); the rest is the input record.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/ScriptedSMCService.h"

namespace {
void check(bool holds) {
  if (!holds) __builtin_trap();
}

ScriptedSMCService& scriptedService() {
  static ScriptedSMCService service;
  static const bool scripted = [] {
    service.setTemperature("TC0D", 47.25);
    service.setFanRpm("F0Ac", 1800);
    service.setKey("F1Ac", "fpe2", {1, 2, 3, 4, 5, 6, 7}, 40);
    service.failReadBytes("F1Ac");
    return true;
  }();
  check(scripted);
  return service;
}

// Mostly the one valid size; now and then one from 48 to 111 bytes.
std::size_t sizeFrom(std::uint8_t choice) { return choice < 192 ? 80 : choice - 192 + 48; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  scriptedService().resetCounters();
  const std::uint32_t selector = data[0] < 128 ? SMCMethodIndex : data[0] - 128;
  const std::size_t inputSize = sizeFrom(data[1]);
  std::size_t outputSize = sizeFrom(data[2]);
  const std::size_t offered = outputSize;
  // Exactly sized buffers, so a read or write past either one is caught.
  std::vector<std::uint8_t> input(inputSize), output(outputSize, 0xAB);
  std::memcpy(input.data(), data + 3, std::min(size - 3, inputSize));
  const kern_return_t result = scriptedService().callStructMethod(selector, input.data(), inputSize,
                                                                  output.data(), &outputSize);
  check(outputSize <= offered);
  if (result != kIOReturnSuccess) {
    for (const std::uint8_t byte : output) check(byte == 0xAB);
    return 0;
  }
  check(selector == SMCMethodIndex && inputSize == 80 && outputSize == 80);
  // The answer carries the request's key (bytes 0 to 3) and command (byte 42).
  check(std::memcmp(output.data(), input.data(), 4) == 0 && output[42] == input[42]);
  return 0;
}
