#include <gtest/gtest.h>

#include <cstring>

#include "sensors/smc.h"
#include "tests/doubles/ScriptedSMCService.h"

namespace {

class SMCReadKeyTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SMCOpen(), 0);
    driver().setKey("TC0D", "sp78", {0x28, 0x80, 0x11, 0x22}, 2);
    driver().setFanRpm("F0Ac", 600);
  }
  void TearDown() override { SMCClose(); }

  ScriptedSMCService& driver() { return smc.service(); }

  // An input record as the client must send it: zero but for key, command and size.
  static SMCCallRecord expectedInput(std::uint32_t key, std::uint8_t command,
                                     std::uint32_t dataSize) {
    SMCCallRecord record{};
    record.key = key;
    record.command = command;
    record.dataSize = dataSize;
    return record;
  }

  static bool sameBytes(const SMCCallRecord& a, const SMCCallRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
  }

  ScopedAppleSMC smc;
};

TEST_F(SMCReadKeyTest, SendsKeyInfoThenReadBytesWithThePackedKeyAndFillsTheReading) {
  SMCReading reading;
  ASSERT_EQ(SMCReadKey("TC0D", reading), 0);

  const std::uint32_t packed = ('T' << 24) | ('C' << 16) | ('0' << 8) | 'D';
  const auto& sent = driver().receivedRecords();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_TRUE(sameBytes(sent[0], expectedInput(packed, 9, 0)));
  EXPECT_TRUE(sameBytes(sent[1], expectedInput(packed, 5, 2)));
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&sent[1]);
  EXPECT_EQ(raw[42], 5) << "command byte";
  EXPECT_EQ(std::memcmp(raw + 28, &sent[1].dataSize, 4), 0);

  EXPECT_STREQ(reading.key, "TC0D");
  EXPECT_EQ(reading.dataSize, 2u);
  EXPECT_STREQ(reading.dataType, "sp78");
  const std::uint8_t allBytes[SMCDataBytes] = {0x28, 0x80, 0x11, 0x22};
  EXPECT_EQ(std::memcmp(reading.bytes, allBytes, SMCDataBytes), 0) << "all 32 bytes are copied";
}

TEST_F(SMCReadKeyTest, FailedKeyInfoLeavesAllButTheKeyZeroAndSendsNoReadBytes) {
  driver().failKeyInfo("TC0D");
  SMCReading reading;
  std::memset(&reading, 0x5A, sizeof reading);
  EXPECT_EQ(SMCReadKey("TC0D", reading), kIOReturnError);
  EXPECT_STREQ(reading.key, "TC0D");
  EXPECT_EQ(reading.dataSize, 0u);
  EXPECT_STREQ(reading.dataType, "");
  EXPECT_EQ(reading.bytes[0], 0);
  EXPECT_EQ(driver().totalCalls(), 1);
  EXPECT_EQ(SMCGetTemperature("TC0D"), 0.0);
  EXPECT_EQ(driver().totalCalls(), 2);
}

TEST_F(SMCReadKeyTest, FailedReadBytesLeavesTheBytesZero) {
  driver().failReadBytes("F0Ac");
  SMCReading reading;
  EXPECT_EQ(SMCReadKey("F0Ac", reading), kIOReturnError);
  EXPECT_EQ(reading.dataSize, 2u);
  EXPECT_STREQ(reading.dataType, "fpe2");
  EXPECT_EQ(reading.bytes[0], 0);
  EXPECT_EQ(reading.bytes[1], 0);
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), -1);
  EXPECT_EQ(driver().totalCalls(), 4);
}

TEST_F(SMCReadKeyTest, SecondReadStartsFromZeroedRecords) {
  SMCReading reading;
  ASSERT_EQ(SMCReadKey("TC0D", reading), 0);
  EXPECT_EQ(SMCReadKey("TC1D", reading), kIOReturnNotFound);
  EXPECT_STREQ(reading.key, "TC1D");
  EXPECT_EQ(reading.dataSize, 0u);
  EXPECT_STREQ(reading.dataType, "");
  EXPECT_EQ(reading.bytes[0], 0);
  ASSERT_EQ(driver().receivedRecords().size(), 3u);
  EXPECT_TRUE(
      sameBytes(driver().receivedRecords()[2], expectedInput(SMCFourCharCode("TC1D"), 9, 0)));
}

TEST_F(SMCReadKeyTest, KeysThatAreNotFourCharactersAreRefusedWithoutADriverCall) {
  for (const char* key : {"", "TC0", "TC0DX", static_cast<const char*>(nullptr)}) {
    SMCReading reading;
    std::memset(&reading, 0x5A, sizeof reading);
    EXPECT_EQ(SMCReadKey(key, reading), kIOReturnBadArgument);
    EXPECT_STREQ(reading.key, "");
    EXPECT_EQ(reading.dataSize, 0u);
    EXPECT_EQ(SMCGetTemperature(key), 0.0);
    EXPECT_EQ(SMCGetFanRpm(key), -1);
  }
  EXPECT_EQ(driver().totalCalls(), 0);
}

TEST_F(SMCReadKeyTest, DecodersReadThroughTheDriverWithTwoCallsEach) {
  driver().setTemperature("TC0D", 40.5);
  EXPECT_EQ(SMCGetTemperature("TC0D"), 40.5);
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), 600);
  EXPECT_EQ(SMCGetTemperature("F0Ac"), 0.0) << "wrong type";
  EXPECT_EQ(SMCGetFanRpm("TC0D"), -1) << "wrong type";
  EXPECT_EQ(driver().totalCalls(), 8);
  EXPECT_EQ(SMCGetFanRpm("F1Ac"), -1) << "unknown key";
  EXPECT_EQ(driver().totalCalls(), 9);
}

}  // namespace
