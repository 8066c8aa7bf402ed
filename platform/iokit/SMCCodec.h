#pragma once
// The SMC's encodings, shared by the client (the smc module), every service that answers it
// and the test doubles: four-character codes for keys and types, and the two value formats the
// system reads, "sp78" (temperatures) and "fpe2" (fan speeds). Values are big-endian.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Packs a four-character code, the first character in the most significant byte. Each
// character is widened as a signed 8-bit value and the terms are summed in unsigned 32-bit
// arithmetic, as the driver protocol has always been fed; for ASCII that is plain byte
// packing. 0 unless `code` has exactly four characters.
constexpr std::uint32_t SMCFourCharCode(std::string_view code) {
  if (code.size() != 4) return 0;
  std::uint32_t packed = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const auto widened = static_cast<std::int32_t>(static_cast<std::int8_t>(code[i]));
    packed += static_cast<std::uint32_t>(widened) << (24 - 8 * i);
  }
  return packed;
}

// The four characters of `code`, the first from the most significant byte.
std::string SMCFourCharString(std::uint32_t code);

inline constexpr std::uint32_t SMCTypeSp78 = SMCFourCharCode("sp78");
inline constexpr std::uint32_t SMCTypeFpe2 = SMCFourCharCode("fpe2");
// The size of both formats as services answer them.
inline constexpr std::uint32_t SMCEncodedSize = 2;

// Signed 8.8 fixed point: degrees Celsius x 256, rounded down, clamped to the 16-bit range.
// Total: NaN gives 0, infinities the range's ends.
std::array<std::uint8_t, 2> SMCEncodeSp78(double celsius);
// Unsigned 14.2 fixed point: rpm x 4, rounded down. Clamped to 0...8191 rpm rather than the
// format's 16383, because readers take the first byte as signed: above 8191 a fan would read
// back as a negative speed. NaN gives 0.
std::array<std::uint8_t, 2> SMCEncodeFpe2(double rpm);

// Degrees Celsius from the first two bytes of an "sp78" value, in steps of 1/64 degree
// rounded down.
double SMCDecodeSp78(const std::uint8_t* bytes);
// Revolutions per minute from an "fpe2" value of `size` bytes: each byte but the last weighs
// 6 bits (taken as signed), the last gives its top six bits; the fraction is dropped. A size
// below 1 gives 0; a size above 5, or a total outside 32 bits, gives -1 (no reading).
int SMCDecodeFpe2(const std::uint8_t* bytes, std::int32_t size);
