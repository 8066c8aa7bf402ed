#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sensors/smc.h"
#include "tests/support/ScopedAppleSMC.h"

namespace {

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

// Each read starts from zeroed records, so nothing of an earlier read survives a failure.
TEST_F(SMCReadKeyTest, SendsKeyInfoAndReadBytesAndAFailureLeavesWhatItDidNotFillZero) {
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

TEST_F(SMCReadKeyTest, KeysThatAreNotFourCharactersAreRefusedWithoutADriverCall) {
  for (const char* key : {"", "TC0", "TC0DX", static_cast<const char*>(nullptr)}) {
    std::memset(&reading, 0x5A, sizeof reading);
    EXPECT_EQ(SMCReadKey(key, reading), kIOReturnBadArgument);
    EXPECT_STREQ(reading.key, "");
    EXPECT_EQ(SMCGetTemperature(key), 0.0);
  }
  EXPECT_EQ(smc.service().totalCalls(), 0);
}

}  // namespace
