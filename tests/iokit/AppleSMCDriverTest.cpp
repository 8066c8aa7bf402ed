#include <gtest/gtest.h>

#include <cstring>

#include "tests/doubles/ScriptedSMCService.h"

namespace {

SMCCallRecord request(const char (&key)[5], std::uint8_t command, std::uint32_t dataSize = 0) {
  SMCCallRecord record{};
  record.key = SMCFourCharCode(key);
  record.command = command;
  record.dataSize = dataSize;
  return record;
}

class AppleSMCDriverTest : public testing::Test {
 protected:
  void SetUp() override {
    service.setKey("TC0D", "sp78", {0x28, 0x80, 0x11});
    std::memset(&output, 0xAB, sizeof output);
  }

  kern_return_t send(const SMCCallRecord& input, std::uint32_t selector = SMCMethodIndex,
                     std::size_t inputSize = 80, std::size_t outputSize = 80) {
    returnedSize = outputSize;
    return service.callStructMethod(selector, &input, inputSize, &output, &returnedSize);
  }

  bool outputUntouched() const {
    SMCCallRecord poisoned;
    std::memset(&poisoned, 0xAB, sizeof poisoned);
    return std::memcmp(&output, &poisoned, sizeof output) == 0;
  }

  ScriptedSMCService service;
  SMCCallRecord output;
  std::size_t returnedSize = 0;
};

TEST_F(AppleSMCDriverTest, KeyInfoAnswersSizeAndTypeAndReadBytesAnswersTheBytes) {
  ASSERT_EQ(send(request("TC0D", SMCCommandReadKeyInfo)), 0);
  EXPECT_EQ(returnedSize, 80u);
  EXPECT_EQ(output.dataSize, 3u);
  EXPECT_EQ(output.dataType, SMCFourCharCode("sp78"));

  ASSERT_EQ(send(request("TC0D", SMCCommandReadBytes, 3)), 0);
  const std::uint8_t expected[SMCDataBytes] = {0x28, 0x80, 0x11};
  EXPECT_EQ(std::memcmp(output.bytes, expected, SMCDataBytes), 0);
  EXPECT_EQ(service.keyInfoCalls(), 1);
  EXPECT_EQ(service.readBytesCalls(), 1);
}

TEST_F(AppleSMCDriverTest, WrongMethodSizesPointersOrCommandsFailAndLeaveTheOutputAlone) {
  const SMCCallRecord info = request("TC0D", SMCCommandReadKeyInfo);
  EXPECT_EQ(send(info, 1), kIOReturnUnsupported);
  EXPECT_EQ(send(info, 3), kIOReturnUnsupported);
  EXPECT_EQ(send(info, 2, 79), kIOReturnBadArgument);
  EXPECT_EQ(send(info, 2, 81), kIOReturnBadArgument);
  EXPECT_EQ(send(info, 2, 80, 79), kIOReturnBadArgument);
  EXPECT_EQ(send(info, 2, 80, 160), kIOReturnBadArgument);
  for (const std::uint8_t command : {0, 1, 4, 6, 8, 10, 255}) {
    EXPECT_EQ(send(request("TC0D", command)), kIOReturnUnsupported) << int{command};
  }
  std::size_t size = 80;
  EXPECT_EQ(service.callStructMethod(2, nullptr, 80, &output, &size), kIOReturnBadArgument);
  EXPECT_EQ(service.callStructMethod(2, &info, 80, nullptr, &size), kIOReturnBadArgument);
  EXPECT_EQ(service.callStructMethod(2, &info, 80, &output, nullptr), kIOReturnBadArgument);

  EXPECT_TRUE(outputUntouched());
  EXPECT_EQ(service.totalCalls(), 0) << "nothing reached the key handlers";
}

TEST_F(AppleSMCDriverTest, UnknownKeysScriptedFailuresAndWrongReadSizesFail) {
  EXPECT_EQ(send(request("TC1D", SMCCommandReadKeyInfo)), kIOReturnNotFound);
  EXPECT_EQ(send(request("TC1D", SMCCommandReadBytes, 3)), kIOReturnNotFound);
  EXPECT_NE(send(request("TC0D", SMCCommandReadBytes, 2)), 0);
  service.failKeyInfo("TC0D");
  EXPECT_NE(send(request("TC0D", SMCCommandReadKeyInfo)), 0);
  EXPECT_EQ(send(request("TC0D", SMCCommandReadBytes, 3)), 0);
  service.failReadBytes("TC0D");
  EXPECT_NE(send(request("TC0D", SMCCommandReadBytes, 3)), 0);
  EXPECT_EQ(service.totalCalls(), 6);
}

TEST_F(AppleSMCDriverTest, InputAndOutputMayBeTheSameBuffer) {
  SMCCallRecord record = request("TC0D", SMCCommandReadBytes, 3);
  std::size_t size = sizeof record;
  ASSERT_EQ(service.callStructMethod(2, &record, 80, &record, &size), 0);
  EXPECT_EQ(record.bytes[1], 0x80);
  EXPECT_EQ(record.key, SMCFourCharCode("TC0D"));
}

TEST(ScriptedSMCServiceTest, EncodesTemperaturesAndFanSpeedsAsTheHardwareDoes) {
  ScriptedSMCService service;
  service.setTemperature("TC0D", 40.5);
  service.setTemperature("TC1D", -1.0);
  service.setFanRpm("F0Ac", 600);
  SMCCallRecord output{};
  const auto bytesOf = [&](const char(&key)[5], std::uint32_t size) {
    SMCCallRecord input = request(key, SMCCommandReadBytes, size);
    std::size_t outputSize = 80;
    EXPECT_EQ(service.callStructMethod(2, &input, 80, &output, &outputSize), 0) << key;
    return output.bytes[0] << 8 | output.bytes[1];
  };
  EXPECT_EQ(bytesOf("TC0D", 2), 0x2880);
  EXPECT_EQ(bytesOf("TC1D", 2), 0xFF00);
  EXPECT_EQ(bytesOf("F0Ac", 2), 0x0960);
  EXPECT_THROW(service.setKey("TC0", "sp78", {}), std::invalid_argument);
}

}  // namespace
