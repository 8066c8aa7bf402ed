#include <gtest/gtest.h>

#include <cstring>

#include "platform/iokit/SMCCodec.h"
#include "tests/support/ScriptedSMCService.h"

namespace {

SMCCallRecord request(std::uint8_t command, std::uint32_t dataSize = 0) {
  SMCCallRecord record{};
  record.key = SMCFourCharCode("TC0D");
  record.command = command;
  record.dataSize = dataSize;
  return record;
}

TEST(AppleSMCDriverTest, WrongMethodSizesPointersOrCommandsFailAndLeaveTheOutputAlone) {
  ScriptedSMCService service;
  SMCCallRecord output, poisoned;
  std::memset(&output, 0xAB, sizeof output);
  std::memset(&poisoned, 0xAB, sizeof poisoned);
  const auto send = [&](const SMCCallRecord& input, std::uint32_t selector = SMCMethodIndex,
                        std::size_t inputSize = 80, std::size_t outputSize = 80) {
    return service.callStructMethod(selector, &input, inputSize, &output, &outputSize);
  };

  const SMCCallRecord info = request(SMCCommandReadKeyInfo);
  EXPECT_EQ(send(info, 1), kIOReturnUnsupported);
  EXPECT_EQ(send(info, 3), kIOReturnUnsupported);
  EXPECT_EQ(send(info, 2, 79), kIOReturnBadArgument);
  EXPECT_EQ(send(info, 2, 81), kIOReturnBadArgument);
  EXPECT_EQ(send(info, 2, 80, 79), kIOReturnBadArgument);
  EXPECT_EQ(send(info, 2, 80, 160), kIOReturnBadArgument);
  for (const std::uint8_t command :
       {std::uint8_t{0}, std::uint8_t{4}, std::uint8_t{6}, std::uint8_t{255}}) {
    EXPECT_EQ(send(request(command)), kIOReturnUnsupported) << int{command};
  }
  std::size_t size = 80;
  EXPECT_EQ(service.callStructMethod(2, nullptr, 80, &output, &size), kIOReturnBadArgument);
  EXPECT_EQ(service.callStructMethod(2, &info, 80, nullptr, &size), kIOReturnBadArgument);
  EXPECT_EQ(service.callStructMethod(2, &info, 80, &output, nullptr), kIOReturnBadArgument);

  EXPECT_EQ(std::memcmp(&output, &poisoned, sizeof output), 0) << "the output was written";
  EXPECT_EQ(service.totalCalls(), 0) << "nothing reached the key handlers";
}

TEST(AppleSMCDriverTest, InputAndOutputMayBeTheSameBuffer) {
  ScriptedSMCService service;
  service.setTemperature("TC0D", 40.5);
  SMCCallRecord record = request(SMCCommandReadBytes, 2);
  std::size_t size = sizeof record;
  ASSERT_EQ(service.callStructMethod(2, &record, 80, &record, &size), 0);
  EXPECT_EQ(record.bytes[1], 0x80);
  EXPECT_EQ(record.key, SMCFourCharCode("TC0D"));
}

}  // namespace
