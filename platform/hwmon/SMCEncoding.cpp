#include "platform/hwmon/SMCEncoding.h"

#include <cmath>

namespace {

// Rounds down and clamps before converting, so that no double reaches an integer conversion
// outside its range.
int fixedPoint(double value, double scale, int lowest, int highest) {
  if (std::isnan(value)) return 0;
  const double scaled = std::floor(value * scale);
  if (scaled <= lowest) return lowest;
  if (scaled >= highest) return highest;
  return static_cast<int>(scaled);
}

std::array<std::uint8_t, 2> bigEndian(int value) {
  const auto bits = static_cast<std::uint16_t>(value);
  return {static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits & 0xFF)};
}

}  // namespace

std::array<std::uint8_t, 2> SMCEncodeSp78(double celsius) {
  return bigEndian(fixedPoint(celsius, 256.0, INT16_MIN, INT16_MAX));
}

std::array<std::uint8_t, 2> SMCEncodeFpe2(double rpm) {
  return bigEndian(fixedPoint(rpm, 4.0, 0, INT16_MAX));
}
