// Feeds arbitrary readings to the two decoders and checks what each must give.
//
// Input: one byte choosing the type ("sp78", "fpe2" or five raw bytes from the input), four
// bytes of data size (little-endian), then up to 32 data bytes.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sensors/smc.h"

namespace {
void check(bool holds) {
  if (!holds) __builtin_trap();
}

SMCReading readingFrom(const std::uint8_t* data, std::size_t size) {
  SMCReading reading{};
  const std::uint8_t choice = data[0];
  ++data;
  --size;
  if ((choice & 3) == 0) std::memcpy(reading.dataType, "sp78", 5);
  if ((choice & 3) == 1) std::memcpy(reading.dataType, "fpe2", 5);
  if ((choice & 3) >= 2 && size >= 5) {
    std::memcpy(reading.dataType, data, 5);
    data += 5;
    size -= 5;
  }
  if (size >= 4) {
    std::memcpy(&reading.dataSize, data, 4);
    data += 4;
    size -= 4;
  }
  std::memcpy(reading.bytes, data, size < SMCDataBytes ? size : SMCDataBytes);
  return reading;
}

std::int64_t exactFanSum(const SMCReading& reading, std::int32_t size) {
  std::int64_t sum = reading.bytes[size - 1] >> 2;
  for (std::int32_t i = 0; i < size - 1; ++i) {
    sum += static_cast<std::int8_t>(reading.bytes[i]) * (std::int64_t{1} << (6 * (size - 1 - i)));
  }
  return sum;
}

bool typeIs(const SMCReading& reading, const char (&type)[5]) {
  return std::memcmp(reading.dataType, type, 5) == 0;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const SMCReading reading = readingFrom(data, size);

  const double celsius = SMCDecodeTemperature(reading);
  if (reading.dataSize == 0 || !typeIs(reading, "sp78")) {
    check(celsius == 0.0);
  } else {
    const int raw = static_cast<std::int8_t>(reading.bytes[0]) * 256 + reading.bytes[1];
    check(celsius == std::floor(raw / 4.0) / 64.0);
  }

  const int rpm = SMCDecodeFanRpm(reading);
  const auto fanSize = static_cast<std::int32_t>(reading.dataSize);
  if (reading.dataSize == 0 || !typeIs(reading, "fpe2")) {
    check(rpm == -1);
  } else if (fanSize < 1) {
    check(rpm == 0);
  } else if (fanSize > 5) {
    check(rpm == -1);
  } else if (fanSize == 2) {
    check(rpm == static_cast<std::int8_t>(reading.bytes[0]) * 64 + (reading.bytes[1] >> 2));
  } else {
    // Single precision loses at most a few hundred rpm near 2^31; nothing else may differ.
    const std::int64_t exact = exactFanSum(reading, fanSize);
    const bool representable = exact >= -2147483000LL && exact <= 2147483000LL;
    check(rpm != -1 || exact == -1 || !representable);
    if (rpm != -1) check(std::llabs(rpm - exact) <= 1024);
  }
  return 0;
}
