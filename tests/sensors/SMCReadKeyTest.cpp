#include <gtest/gtest.h>

#include <cstring>

#include "platform/iokit/SMCCodec.h"
#include "sensors/smc.h"
#include "tests/support/ScopedAppleSMC.h"

namespace {

class SMCReadKeyTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SMCOpen(), 0);
    smc.service().setKey("TC0D", "sp78", {0x28, 0x80, 0x11, 0x22}, 2);
    smc.service().setFanRpm("F0Ac", 600);
  }
  void TearDown() override { SMCClose(); }

  // Whether the driver's `index`th input record was zero but for key, command and size.
  bool sent(std::size_t index, const char (&key)[5], std::uint8_t command, std::uint32_t size) {
    SMCCallRecord expected{};
    expected.key = SMCFourCharCode(key);
    expected.command = command;
    expected.dataSize = size;
    const auto& records = smc.service().receivedRecords();
    return index < records.size() && std::memcmp(&records[index], &expected, 80) == 0;
  }

  ScopedAppleSMC smc;
};

TEST_F(SMCReadKeyTest, SendsKeyInfoThenReadBytesWithThePackedKeyAndFillsTheReading) {
  SMCReading reading;
  ASSERT_EQ(SMCReadKey("TC0D", reading), 0);

  ASSERT_EQ(smc.service().receivedRecords().size(), 2u);
  EXPECT_TRUE(sent(0, "TC0D", 9, 0));
  EXPECT_TRUE(sent(1, "TC0D", 5, 2));

  EXPECT_STREQ(reading.key, "TC0D");
  EXPECT_EQ(reading.dataSize, 2u);
  EXPECT_STREQ(reading.dataType, "sp78");
  const std::uint8_t allBytes[SMCDataBytes] = {0x28, 0x80, 0x11, 0x22};
  EXPECT_EQ(std::memcmp(reading.bytes, allBytes, SMCDataBytes), 0) << "all 32 bytes are copied";
}

// Each read starts from zeroed records, so nothing of an earlier read survives a failure.
TEST_F(SMCReadKeyTest, AFailedReadLeavesWhatItDidNotFillZeroEvenAfterASuccessfulOne) {
  SMCReading reading;
  ASSERT_EQ(SMCReadKey("TC0D", reading), 0);
  smc.service().failKeyInfo("TC0D");
  smc.service().failReadBytes("F0Ac");

  EXPECT_EQ(SMCReadKey("TC0D", reading), kIOReturnError);
  EXPECT_STREQ(reading.key, "TC0D");
  EXPECT_EQ(reading.dataSize, 0u);
  EXPECT_STREQ(reading.dataType, "");
  EXPECT_EQ(reading.bytes[0], 0);
  EXPECT_EQ(smc.service().totalCalls(), 3) << "no read-bytes after a failed key info";
  EXPECT_TRUE(sent(2, "TC0D", 9, 0));

  EXPECT_EQ(SMCReadKey("F0Ac", reading), kIOReturnError);
  EXPECT_STREQ(reading.key, "F0Ac");
  EXPECT_EQ(reading.dataSize, 2u);
  EXPECT_STREQ(reading.dataType, "fpe2");
  EXPECT_EQ(reading.bytes[0], 0);
  EXPECT_EQ(reading.bytes[1], 0);
  EXPECT_EQ(smc.service().totalCalls(), 5);
}

TEST_F(SMCReadKeyTest, KeysThatAreNotFourCharactersAreRefusedWithoutADriverCall) {
  for (const char* key : {"", "TC0", "TC0DX", static_cast<const char*>(nullptr)}) {
    SMCReading reading;
    std::memset(&reading, 0x5A, sizeof reading);
    EXPECT_EQ(SMCReadKey(key, reading), kIOReturnBadArgument);
    EXPECT_STREQ(reading.key, "");
    EXPECT_EQ(reading.dataSize, 0u);
    EXPECT_EQ(SMCGetTemperature(key), 0.0);
  }
  EXPECT_EQ(smc.service().totalCalls(), 0);
}

}  // namespace
