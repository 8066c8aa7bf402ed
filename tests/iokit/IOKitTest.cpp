// The IOKit stand-in: services, connections and handles, and the struct-method calls that the
// "AppleSMC" driver checks before any key handler runs.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/iokit/IOHandleTable.h"
#include "platform/iokit/IOKit.h"
#include "platform/iokit/IORegistry.h"
#include "tests/support/ScopedAppleSMC.h"

namespace {

// One record as both input and output, as a client may pass it.
kern_return_t callKeyInfo(io_connect_t connection) {
  SMCCallRecord record{SMCFourCharCode("TC0D"), {}, 0, 0, {}, SMCCommandReadKeyInfo, {}, {}};
  std::size_t size = sizeof record;
  return IOConnectCallStructMethod(connection, SMCMethodIndex, &record, size, &record, &size);
}

// Services are listed only of the class asked for; every object is released once;
// a connection outlives the withdrawal of its service; closed handles are never reused.
TEST(IOKitTest, ServicesConnectionsAndHandlesLiveAsLongAsTheyShould) {
  auto first = std::make_unique<ScopedAppleSMC>();
  IORegistry::shared().publish("PyrelleOtherService", std::make_shared<ScriptedSMCService>());
  first->service().setTemperature("TC0D", 40);
  const std::size_t liveBefore = IOHandleTable::shared().objectCount();
  io_iterator_t iterator = 0;
  ASSERT_EQ(IOServiceGetMatchingServices(0, IOServiceMatching("AppleSMC"), &iterator), 0);
  const io_service_t a = IOIteratorNext(iterator);
  EXPECT_EQ(IOIteratorNext(iterator), 0u);

  io_connect_t connection = 0;
  ASSERT_EQ(IOServiceOpen(a, mach_task_self(), 0, &connection), 0);
  EXPECT_EQ(IOServiceClose(connection), 0);
  const io_connect_t closed = connection;
  ASSERT_EQ(IOServiceOpen(a, mach_task_self(), 0, &connection), 0);
  EXPECT_NE(connection, closed);

  for (const io_object_t object : {a, iterator}) {
    EXPECT_EQ(IOObjectRelease(object), 0);
    EXPECT_NE(IOObjectRelease(object), 0) << "released twice";
  }
  EXPECT_EQ(IOHandleTable::shared().objectCount(), liveBefore);
  io_connect_t unused = 0;
  EXPECT_EQ(IOServiceOpen(a, mach_task_self(), 0, &unused), kIOReturnBadArgument);
  IORegistry::shared().withdraw("PyrelleOtherService");
  first.reset();
  EXPECT_EQ(callKeyInfo(connection), 0) << "the connection keeps the withdrawn service";
  EXPECT_EQ(IOServiceClose(connection), 0);

  for (const io_connect_t handle :
       {closed, connection, io_connect_t{0}, io_connect_t{0xfffffff0}}) {
    EXPECT_EQ(callKeyInfo(handle), kIOReturnNotOpen) << handle;
    EXPECT_EQ(IOServiceClose(handle), kIOReturnNotOpen) << handle;
  }
  EXPECT_EQ(IOHandleTable::shared().connectionCount(), 0u);
}

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
