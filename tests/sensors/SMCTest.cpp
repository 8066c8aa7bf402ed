// The smc module: opening the "AppleSMC" service, reading keys through it, and which readings
// the decoders take (the exact type, a non-empty size, and a size read as signed).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/iokit/IOHandleTable.h"
#include "sensors/smc.h"
#include "tests/support/ScopedAppleSMC.h"

namespace {

TEST(SMCOpenTest, FailuresPrintWhyAndEveryOpenReleasesWhatLookupHandedOut) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(SMCOpen(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: no SMC found\n");

  ScopedAppleSMC smc;
  smc.service().failOpen(kIOReturnNotOpen);
  smc.service().setTemperature("TC0D", 40);
  const std::size_t liveObjects = IOHandleTable::shared().objectCount();
  testing::internal::CaptureStdout();
  EXPECT_EQ(SMCOpen(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: IOServiceOpen() = e00002cd\n");
  EXPECT_EQ(SMCGetTemperature("TC0D"), 0.0);
  EXPECT_EQ(smc.service().totalCalls(), 0);
  EXPECT_EQ(IOHandleTable::shared().objectCount(), liveObjects);

  smc.service().failOpen(kIOReturnSuccess);
  ASSERT_EQ(SMCOpen(), 0);
  EXPECT_EQ(IOHandleTable::shared().objectCount(), liveObjects);
  EXPECT_EQ(SMCGetTemperature("TC0D"), 40.0);
  EXPECT_EQ(SMCClose(), 0);
}

class SMCReadKeyTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SMCOpen(), 0);
    smc.service().setKey("TC0D", "sp78", std::vector<std::uint8_t>{0x28, 0x80, 0x11, 0x22}, 2);
    smc.service().setFanRpm("F0Ac", 600);
  }
  void TearDown() override { SMCClose(); }

  ScopedAppleSMC smc;
  SMCReading reading;
};

// Keys that are not four characters are refused without a driver call. Each read starts from
// zeroed records, so nothing of an earlier read survives a failure.
TEST_F(SMCReadKeyTest,
       RefusesBadKeysSendsKeyInfoAndReadBytesAndAFailureLeavesWhatItDidNotFillZero) {
  for (const char* key : {"", "TC0", "TC0DX", static_cast<const char*>(nullptr)}) {
    std::memset(&reading, 0x5A, sizeof reading);
    EXPECT_EQ(SMCReadKey(key, reading), kIOReturnBadArgument);
    EXPECT_STREQ(reading.key, "");
    EXPECT_EQ(SMCGetTemperature(key), 0.0);
  }
  EXPECT_EQ(smc.service().totalCalls(), 0);

  ASSERT_EQ(SMCReadKey("TC0D", reading), 0);
  EXPECT_EQ(smc.service().keyInfoCalls(), 1);
  EXPECT_EQ(smc.service().totalCalls(), 2);
  EXPECT_STREQ(reading.key, "TC0D");
  EXPECT_EQ(reading.dataSize, 2u);
  EXPECT_STREQ(reading.dataType, "sp78");
  const std::uint8_t allBytes[SMCDataBytes] = {0x28, 0x80, 0x11, 0x22};
  EXPECT_EQ(std::memcmp(reading.bytes, allBytes, SMCDataBytes), 0) << "all 32 bytes are copied";

  smc.service().removeKey("TC0D");
  EXPECT_EQ(SMCReadKey("TC0D", reading), kIOReturnNotFound);
  EXPECT_EQ(reading.dataSize, 0u);
  EXPECT_EQ(reading.bytes[0], 0);
  EXPECT_EQ(smc.service().totalCalls(), 3) << "no read-bytes after a failed key info";

  smc.service().failReadBytes("F0Ac");
  EXPECT_EQ(SMCReadKey("F0Ac", reading), kIOReturnError);
  EXPECT_STREQ(reading.dataType, "fpe2");
  EXPECT_EQ(reading.bytes[1], 0);
}

// Only two bytes count for a temperature, whatever the size; a fan's size is read as signed,
// so 2^31 and more give 0.
TEST(SMCDecodeTest, OnlyNonEmptyReadingsOfExactlyTheRightTypeDecode) {
  constexpr std::uint32_t twoTo31 = 0x80000000u, largest = 0xffffffffu;
  const struct {
    const char* type;
    std::uint32_t size;
    double celsius;
    int rpm;
  } cases[] = {{"sp78", 2, 40.5, -1},       {"fpe2", 2, 0.0, 2592},   {"sp78", 0, 0.0, -1},
               {"fpe2", 0, 0.0, -1},        {"SP78", 2, 0.0, -1},     {"sp7", 2, 0.0, -1},
               {"fpe", 2, 0.0, -1},         {"sp78x", 2, 0.0, -1},    {"sp78", twoTo31, 40.5, -1},
               {"sp78", largest, 40.5, -1}, {"fpe2", twoTo31, 0.0, 0}};
  for (const auto& c : cases) {
    // At most five type characters: "sp78x" fills the field with no terminator.
    SMCReading made{{}, c.size, {}, {0x28, 0x80}};
    std::memcpy(made.dataType, c.type, std::min(std::strlen(c.type), sizeof made.dataType));
    EXPECT_EQ(SMCDecodeTemperature(made), c.celsius) << c.type << " size " << c.size;
    EXPECT_EQ(SMCDecodeFanRpm(made), c.rpm) << c.type << " size " << c.size;
  }
}

}  // namespace
