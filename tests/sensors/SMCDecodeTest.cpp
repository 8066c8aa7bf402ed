#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "sensors/smc.h"

namespace {

SMCReading reading(const char* type, std::uint32_t dataSize,
                   std::initializer_list<std::uint8_t> bytes) {
  SMCReading made{};
  std::strncpy(made.dataType, type, sizeof made.dataType);
  made.dataSize = dataSize;
  std::copy(bytes.begin(), bytes.end(), made.bytes);
  return made;
}

TEST(SMCDecodeTest, TemperatureIsSignedEightDotEightRoundedDownToSixtyFourths) {
  struct Case {
    std::uint8_t high, low;
    double celsius;
  };
  for (const Case c : {Case{0x28, 0x00, 40.0}, Case{0x28, 0x80, 40.5}, Case{0x02, 0x43, 2.25},
                       Case{0xFF, 0x00, -1.0}, Case{0xFF, 0xFF, -0.015625},
                       Case{0x80, 0x00, -128.0}, Case{0x7F, 0xFF, 127.984375}}) {
    EXPECT_EQ(SMCDecodeTemperature(reading("sp78", 2, {c.high, c.low})), c.celsius)
        << std::hex << int{c.high} << ' ' << int{c.low};
  }
  EXPECT_EQ(SMCDecodeTemperature(reading("sp78", 1, {0x28, 0x80})), 40.5) << "size is ignored";
}

TEST(SMCDecodeTest, FanSpeedWeighsSixBitsPerByteAndDropsTheFraction) {
  struct Case {
    std::uint32_t size;
    std::initializer_list<std::uint8_t> bytes;
    int rpm;
  };
  for (const Case& c :
       {Case{2, {0x09, 0x60}, 600}, Case{2, {0x00, 0x03}, 0}, Case{2, {0x80, 0x00}, -128 * 64},
        Case{1, {0x60}, 24}, Case{3, {0x01, 0x02, 0x07}, 4096 + 128 + 1},
        // 2^24 + 1 is not a float: the total is kept in single precision.
        Case{5, {0x01, 0x00, 0x00, 0x00, 0x07}, 16777216},
        Case{5, {0x80, 0x00, 0x00, 0x00, 0x00}, -2147483647 - 1}}) {
    EXPECT_EQ(SMCDecodeFanRpm(reading("fpe2", c.size, c.bytes)), c.rpm) << "size " << c.size;
  }
}

TEST(SMCDecodeTest, FanValuesBeyondThirtyTwoBitsGiveNoReadingAndNegativeSizesZero) {
  EXPECT_EQ(SMCDecodeFanRpm(reading("fpe2", 5, {0x80, 0x80, 0x80, 0x80, 0x80})), -1);
  EXPECT_EQ(SMCDecodeFanRpm(reading("fpe2", 5, {0x7f, 0x7f, 0x7f, 0x7f, 0xff})), -1);
  for (const std::uint32_t size : {6u, 33u, 0x7fffffffu}) {
    EXPECT_EQ(SMCDecodeFanRpm(reading("fpe2", size, {0x7f, 0x7f, 0x7f, 0x7f, 0x7f, 0x7f})), -1)
        << size;
  }
  EXPECT_EQ(SMCDecodeFanRpm(reading("fpe2", 0x80000000u, {0x09, 0x60})), 0);
}

TEST(SMCDecodeTest, EmptyOrWronglyTypedReadingsGiveTheSentinels) {
  EXPECT_EQ(SMCDecodeTemperature(reading("sp78", 0, {0x28, 0x00})), 0.0);
  EXPECT_EQ(SMCDecodeFanRpm(reading("fpe2", 0, {0x09, 0x60})), -1);
  EXPECT_EQ(SMCDecodeTemperature(reading("fpe2", 2, {0x28, 0x00})), 0.0);
  EXPECT_EQ(SMCDecodeFanRpm(reading("sp78", 2, {0x09, 0x60})), -1);
  EXPECT_EQ(SMCDecodeFanRpm(reading("", 2, {0x09, 0x60})), -1);

  SMCReading unterminated = reading("sp78", 2, {0x28, 0x00});
  std::memcpy(unterminated.dataType, "sp78x", 5);
  EXPECT_EQ(SMCDecodeTemperature(unterminated), 0.0);
}

}  // namespace
