#include "platform/iokit/SMCCodec.h"

#include <cmath>

namespace {

// Past five bytes the 6-bit weights no longer fit a 32-bit term; fan values are two bytes.
constexpr std::int32_t largestFanSize = 5;

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

std::string SMCFourCharString(std::uint32_t code) {
  std::string text(4, '\0');
  for (std::size_t i = 0; i < 4; ++i) text[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
  return text;
}

std::array<std::uint8_t, 2> SMCEncodeSp78(double celsius) {
  return bigEndian(fixedPoint(celsius, 256.0, INT16_MIN, INT16_MAX));
}

std::array<std::uint8_t, 2> SMCEncodeFpe2(double rpm) {
  return bigEndian(fixedPoint(rpm, 4.0, 0, INT16_MAX));
}

double SMCDecodeSp78(const std::uint8_t* bytes) {
  const int raw = static_cast<std::int8_t>(bytes[0]) * 256 + bytes[1];
  return static_cast<double>(raw >> 2) * 0.015625;
}

int SMCDecodeFpe2(const std::uint8_t* bytes, std::int32_t size) {
  if (size < 1) return 0;
  if (size > largestFanSize) return -1;

  float total = 0;
  for (std::int32_t i = 0; i < size - 1; ++i) {
    // At most 2^24 times a signed byte: always within 32 bits.
    const std::int32_t weight = std::int32_t{1} << (6 * (size - 1 - i));
    total += static_cast<float>(static_cast<std::int8_t>(bytes[i]) * weight);
  }
  total += static_cast<float>(bytes[size - 1] >> 2);
  // Five bytes can sum past 32 bits either way; such a total is no speed at all.
  if (total < -2147483648.0f || total >= 2147483648.0f) return -1;
  return static_cast<int>(total);
}
