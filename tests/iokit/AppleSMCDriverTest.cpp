#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/ScriptedSMCService.h"

namespace {

SMCCallRecord request(std::uint8_t command, std::uint32_t dataSize = 0) {
  return {SMCFourCharCode("TC0D"), {}, dataSize, 0, {}, command, {}, {}};
}

TEST(AppleSMCDriverTest, WrongMethodSizesPointersOrCommandsFailAndLeaveTheOutputAlone) {
  const struct {
    std::uint32_t selector;
    std::size_t inputSize, outputSize;
    std::uint8_t command;
    kern_return_t result;
  } cases[] = {{3, 80, 80, 9, kIOReturnUnsupported}, {2, 79, 80, 9, kIOReturnBadArgument},
               {2, 81, 80, 9, kIOReturnBadArgument}, {2, 80, 79, 9, kIOReturnBadArgument},
               {2, 80, 80, 6, kIOReturnUnsupported}, {2, 80, 80, 255, kIOReturnUnsupported}};
  ScriptedSMCService service;
  SMCCallRecord output;
  std::memset(&output, 0xAB, sizeof output);
  const SMCCallRecord poisoned = output;
  for (auto c : cases) {
    const SMCCallRecord input = request(c.command);
    EXPECT_EQ(service.callStructMethod(c.selector, &input, c.inputSize, &output, &c.outputSize),
              c.result)
        << c.selector << " " << c.inputSize << " " << int{c.command};
  }
  const SMCCallRecord info = request(SMCCommandReadKeyInfo);
  std::size_t size = 80;
  EXPECT_EQ(service.callStructMethod(2, nullptr, 80, &output, &size), kIOReturnBadArgument);
  EXPECT_EQ(service.callStructMethod(2, &info, 80, nullptr, &size), kIOReturnBadArgument);
  EXPECT_EQ(service.callStructMethod(2, &info, 80, &output, nullptr), kIOReturnBadArgument);

  EXPECT_EQ(std::memcmp(&output, &poisoned, sizeof output), 0) << "the output was written";
  EXPECT_EQ(service.totalCalls(), 0) << "nothing reached the key handlers";
}

}  // namespace
