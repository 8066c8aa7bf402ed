// The SMC value encodings: what the services write, read back by the decoders the client uses.

#include "platform/iokit/SMCCodec.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// Temperatures come back rounded down to a sixty-fourth and clamped; fan speeds whole, never
// negative and at most 8191.
TEST(SMCCodecTest, WrittenValuesComeBackRoundedAndClampedAndFanBytesWeighSixBitsEach) {
  const std::pair<double, double> temperatures[] = {
      {45.0, 45.0},        {45.25, 45.25},    {-1.0, -1.0},   {45.4999, 45.484375},
      {-0.001, -0.015625}, {1e6, 127.984375}, {-1e6, -128.0}, {notANumber, 0.0}};
  for (const auto& [written, read] : temperatures)
    EXPECT_EQ(SMCDecodeSp78(SMCEncodeSp78(written).data()), read) << written;
  const std::pair<double, int> fans[] = {{1200, 1200},    {1200.9, 1200}, {-5, 0},
                                         {notANumber, 0}, {8191, 8191},   {9000, 8191},
                                         {16383, 8191},   {1e12, 8191}};
  for (const auto& [written, read] : fans)
    EXPECT_EQ(SMCDecodeFpe2(SMCEncodeFpe2(written).data(), 2), read) << written;

  // Read as they come, fan bytes weigh six bits each, within thirty-two bits.
  const struct {
    std::vector<std::uint8_t> bytes;
    int rpm;
  } cases[] = {{{0x09, 0x60}, 600},
               {{0x80, 0x00}, -128 * 64},
               {{0x60}, 24},
               {{0x01, 0x02, 0x07}, 4096 + 128 + 1},
               // 2^24 + 1 is not a float: the total is kept in single precision.
               {{0x01, 0x00, 0x00, 0x00, 0x07}, 16777216},
               {{0x80, 0x00, 0x00, 0x00, 0x00}, -2147483647 - 1},
               {{0x7f, 0x3f, 0x3f, 0x3e, 0x00}, 2147483520},  // the largest float below 2^31
               {{0x7f, 0x40, 0x00, 0x00, 0x00}, -1},          // exactly 2^31
               {{0x80, 0x80, 0x80, 0x80, 0x80}, -1},
               {{0x7f, 0x7f, 0x7f, 0x7f, 0x7f, 0x7f}, -1}};  // six bytes
  for (const auto& [bytes, rpm] : cases) {
    const auto size = static_cast<std::int32_t>(bytes.size());
    EXPECT_EQ(SMCDecodeFpe2(bytes.data(), size), rpm) << "size " << size;
  }
}

}  // namespace
