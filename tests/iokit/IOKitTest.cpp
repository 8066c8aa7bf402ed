#include <gtest/gtest.h>

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

}  // namespace
