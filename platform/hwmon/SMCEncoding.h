#pragma once
// The two SMC value formats the hwmon service answers, written into the data bytes of a
// read-bytes reply. Both are two bytes, big-endian, and total: any double, NaN and infinities
// included, gives bytes in the format's range.

#include <array>
#include <cstdint>

inline constexpr std::uint32_t SMCTypeSp78 = 0x73703738;  // "sp78"
inline constexpr std::uint32_t SMCTypeFpe2 = 0x66706532;  // "fpe2"
inline constexpr std::uint32_t SMCEncodedSize = 2;

// Signed 8.8 fixed point: degrees Celsius x 256, rounded down, clamped to the 16-bit range.
// NaN gives 0.
std::array<std::uint8_t, 2> SMCEncodeSp78(double celsius);

// Unsigned 14.2 fixed point: rpm x 4, rounded down. Clamped to 0...8191 rpm rather than the
// format's 16383, because readers take the first byte as signed: above 8191 a fan would read
// back as a negative speed. NaN gives 0.
std::array<std::uint8_t, 2> SMCEncodeFpe2(double rpm);
