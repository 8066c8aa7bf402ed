// Feeds arbitrary readings to the two decoders and checks what each must give.
//
// Input: one byte choosing the type ("sp78", "fpe2" or the five bytes at offset 5), four bytes
// of data size (little-endian), the five type bytes, then up to 32 data bytes.

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
  std::uint8_t input[1 + 4 + 5 + SMCDataBytes] = {};
  std::memcpy(input, data, size < sizeof input ? size : sizeof input);
  const char* const types[] = {"sp78", "fpe2", reinterpret_cast<const char*>(input + 5)};
  SMCReading reading{};
  std::memcpy(&reading.dataSize, input + 1, 4);
  std::memcpy(reading.dataType, types[input[0] % 3], 5);
  std::memcpy(reading.bytes, input + 10, SMCDataBytes);
  return reading;
}

// The fan total in exact integers, for sizes 1 to 5.
std::int64_t exactFanSum(const SMCReading& reading, std::int32_t size) {
  std::int64_t sum = reading.bytes[size - 1] >> 2;
  for (std::int32_t i = 0; i < size - 1; ++i) {
    sum += static_cast<std::int8_t>(reading.bytes[i]) * (std::int64_t{1} << (6 * (size - 1 - i)));
  }
  return sum;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const SMCReading reading = readingFrom(data, size);
  const bool empty = reading.dataSize == 0;

  const bool temperature = !empty && std::memcmp(reading.dataType, "sp78", 5) == 0;
  const int raw = static_cast<std::int8_t>(reading.bytes[0]) * 256 + reading.bytes[1];
  check(SMCDecodeTemperature(reading) == (temperature ? std::floor(raw / 4.0) / 64.0 : 0.0));

  const int rpm = SMCDecodeFanRpm(reading);
  const auto fanSize = static_cast<std::int32_t>(reading.dataSize);
  if (empty || std::memcmp(reading.dataType, "fpe2", 5) != 0) {
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
