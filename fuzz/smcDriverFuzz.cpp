// Sends arbitrary structure calls to a scripted "AppleSMC" service, straight and through a
// connection, and arbitrary key strings through the smc module's read.
//
// Input: one mode byte, then the rest. Modes 0 and 1: a raw call, straight or through the
// connection; three bytes pick the selector, the input size and the output size (mostly 2, 80
// and 80), the rest is the input record. Mode 2: the rest is a key string for SMCReadKey.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sensors/smc.h"
#include "tests/doubles/ScriptedSMCService.h"

namespace {
void check(bool holds) {
  if (!holds) __builtin_trap();
}

ScriptedSMCService& scriptedService() {
  static ScopedAppleSMC smc;
  static const bool opened = [] {
    ScriptedSMCService& service = smc.service();
    service.setTemperature("TC0D", 47.25);
    service.setFanRpm("F0Ac", 1800);
    service.setKey("F1Ac", "fpe2", {1, 2, 3, 4, 5, 6, 7}, 40);
    service.setKey("FNum", "ui8 ", {2});
    service.failReadBytes("F1Ac");
    return SMCOpen() == 0;
  }();
  check(opened);
  return smc.service();
}

// Mostly the one valid size; now and then one from 48 to 111 bytes.
std::size_t sizeFrom(std::uint8_t choice) { return choice < 192 ? 80 : choice - 192 + 48; }

void rawCall(bool throughConnection, const std::uint8_t* data, std::size_t size) {
  if (size < 3) return;
  const std::uint32_t selector = data[0] < 128 ? SMCMethodIndex : data[0] - 128;
  const std::size_t inputSize = sizeFrom(data[1]);
  std::size_t outputSize = sizeFrom(data[2]);
  data += 3;
  size -= 3;

  // Exactly sized buffers, so a read or write past either one is caught.
  std::vector<std::uint8_t> input(inputSize);
  std::memcpy(input.data(), data, size < inputSize ? size : inputSize);
  std::vector<std::uint8_t> output(outputSize, 0xAB);
  const std::size_t offered = outputSize;
  const kern_return_t result =
      throughConnection
          ? IOConnectCallStructMethod(SMCConnectionForTesting(), selector, input.data(), inputSize,
                                      output.data(), &outputSize)
          : scriptedService().callStructMethod(selector, input.data(), inputSize, output.data(),
                                               &outputSize);
  check(outputSize <= offered);
  if (result != kIOReturnSuccess) {
    for (const std::uint8_t byte : output) check(byte == 0xAB);
    return;
  }
  check(selector == SMCMethodIndex && inputSize == 80 && outputSize == 80);
  SMCCallRecord sent, answer;
  std::memcpy(&sent, input.data(), sizeof sent);
  std::memcpy(&answer, output.data(), sizeof answer);
  check(answer.key == sent.key && answer.command == sent.command);
}

void readKey(const std::uint8_t* data, std::size_t size) {
  // A heap copy ending at its NUL, so reading past the key string is caught.
  const std::string text(reinterpret_cast<const char*>(data), size);
  auto key = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(key.get(), text.c_str(), text.size() + 1);
  const int callsBefore = scriptedService().totalCalls();
  SMCReading reading;
  const kern_return_t result = SMCReadKey(key.get(), reading);
  if (std::strlen(key.get()) != 4) {
    check(result == kIOReturnBadArgument && scriptedService().totalCalls() == callsBefore);
  }
  if (result == kIOReturnSuccess) check(std::strlen(reading.dataType) <= 4);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  scriptedService().resetCounters();
  switch (data[0] % 3) {
    case 0:
      rawCall(false, data + 1, size - 1);
      break;
    case 1:
      rawCall(true, data + 1, size - 1);
      break;
    default:
      readKey(data + 1, size - 1);
      break;
  }
  return 0;
}
