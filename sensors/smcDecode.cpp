// Turning a reading into degrees Celsius ("sp78") or revolutions per minute ("fpe2").

#include <cstring>

#include "platform/iokit/SMCCodec.h"
#include "sensors/smc.h"

namespace {
// An exact comparison of the NUL-terminated type with `type`, never reading past the field.
bool hasType(const SMCReading& reading, const char (&type)[5]) {
  return std::memcmp(reading.dataType, type, sizeof reading.dataType) == 0;
}
}  // namespace

double SMCDecodeTemperature(const SMCReading& reading) {
  if (reading.dataSize == 0 || !hasType(reading, "sp78")) return 0.0;
  return SMCDecodeSp78(reading.bytes);
}

int SMCDecodeFanRpm(const SMCReading& reading) {
  if (reading.dataSize == 0 || !hasType(reading, "fpe2")) return -1;
  // A reported size of 2^31 or more reads as negative, as the protocol's clients take it.
  return SMCDecodeFpe2(reading.bytes, static_cast<std::int32_t>(reading.dataSize));
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
