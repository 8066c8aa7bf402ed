// Turning a reading into degrees Celsius ("sp78") or revolutions per minute ("fpe2").

#include <cstring>

#include "sensors/smc.h"

namespace {
// An exact comparison of the NUL-terminated type with `type`, never reading past the field.
bool hasType(const SMCReading& reading, const char (&type)[5]) {
  return std::memcmp(reading.dataType, type, sizeof reading.dataType) == 0;
}

// Past five bytes the 6-bit weights no longer fit a 32-bit term; fan values are two bytes.
constexpr std::int32_t largestFanDataSize = 5;
}  // namespace

double SMCDecodeTemperature(const SMCReading& reading) {
  if (reading.dataSize == 0 || !hasType(reading, "sp78")) return 0.0;
  const int raw = static_cast<std::int8_t>(reading.bytes[0]) * 256 + reading.bytes[1];
  return static_cast<double>(raw >> 2) * 0.015625;
}

int SMCDecodeFanRpm(const SMCReading& reading) {
  if (reading.dataSize == 0 || !hasType(reading, "fpe2")) return -1;
  const auto size = static_cast<std::int32_t>(reading.dataSize);
  if (size < 1) return 0;
  if (size > largestFanDataSize) return -1;

  float total = 0;
  for (std::int32_t i = 0; i < size - 1; ++i) {
    // At most 2^24 times a signed byte: always within 32 bits.
    const std::int32_t weight = std::int32_t{1} << (6 * (size - 1 - i));
    total += static_cast<float>(static_cast<std::int8_t>(reading.bytes[i]) * weight);
  }
  total += static_cast<float>(reading.bytes[size - 1] >> 2);
  // Five bytes can sum past 32 bits either way; such a total is no speed at all.
  if (total < -2147483648.0f || total >= 2147483648.0f) return -1;
  return static_cast<int>(total);
}

double SMCGetTemperature(const char* key) {
  SMCReading reading;
  if (SMCReadKey(key, reading) != kIOReturnSuccess) return 0.0;
  return SMCDecodeTemperature(reading);
}

int SMCGetFanRpm(const char* key) {
  SMCReading reading;
  if (SMCReadKey(key, reading) != kIOReturnSuccess) return -1;
  return SMCDecodeFanRpm(reading);
}
