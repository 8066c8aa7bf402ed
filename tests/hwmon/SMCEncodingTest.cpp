// The bytes the service writes, read back through the smc module's own decoders.

#include "platform/hwmon/SMCEncoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "sensors/smc.h"

namespace {

SMCReading readingOf(const char* type, std::array<std::uint8_t, 2> bytes) {
  SMCReading reading{};
  reading.dataSize = SMCEncodedSize;
  std::memcpy(reading.dataType, type, 5);
  reading.bytes[0] = bytes[0];
  reading.bytes[1] = bytes[1];
  return reading;
}

double celsiusRoundTrip(double celsius) {
  return SMCDecodeTemperature(readingOf("sp78", SMCEncodeSp78(celsius)));
}

int rpmRoundTrip(double rpm) { return SMCDecodeFanRpm(readingOf("fpe2", SMCEncodeFpe2(rpm))); }

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TEST(SMCEncoding, TemperaturesComeBackToASixtyFourthOfADegreeAndAbsurdOnesAreClamped) {
  EXPECT_EQ(celsiusRoundTrip(45.0), 45.0);
  EXPECT_EQ(celsiusRoundTrip(45.25), 45.25);
  EXPECT_EQ(celsiusRoundTrip(-1.0), -1.0);
  // Rounded down, below zero too.
  EXPECT_EQ(celsiusRoundTrip(45.999), 45.984375);
  EXPECT_EQ(celsiusRoundTrip(-0.001), -0.015625);

  EXPECT_EQ(celsiusRoundTrip(1e9 / 1000.0), 127.984375);
  EXPECT_EQ(celsiusRoundTrip(-1e6), -128.0);
  EXPECT_EQ(celsiusRoundTrip(notANumber), 0.0);
}

TEST(SMCEncoding, FanSpeedsComeBackWholeAndNeverNegative) {
  EXPECT_EQ(rpmRoundTrip(1200), 1200);
  EXPECT_EQ(rpmRoundTrip(1200.9), 1200);
  EXPECT_EQ(rpmRoundTrip(-5), 0);
  EXPECT_EQ(rpmRoundTrip(notANumber), 0);
  EXPECT_EQ(rpmRoundTrip(8191), 8191);
  // The decoders read the first byte as signed: above 8191 rpm the format's own range would
  // come back negative, so fast fans stop at 8191.
  EXPECT_EQ(rpmRoundTrip(16383), 8191);
  EXPECT_EQ(rpmRoundTrip(1e12), 8191);
}
