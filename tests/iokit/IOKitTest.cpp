#include <gtest/gtest.h>

#include <memory>

#include "platform/iokit/IOHandleTable.h"
#include "platform/iokit/IOKit.h"
#include "platform/iokit/IORegistry.h"
#include "platform/iokit/SMCCodec.h"
#include "tests/support/ScopedAppleSMC.h"

namespace {

io_iterator_t matchingAppleSMC() {
  io_iterator_t iterator = 0;
  EXPECT_EQ(IOServiceGetMatchingServices(0, IOServiceMatching("AppleSMC"), &iterator), 0);
  return iterator;
}

// Opens a connection to the first "AppleSMC" service, releasing what lookup handed out.
io_connect_t openFirst() {
  const io_iterator_t iterator = matchingAppleSMC();
  const io_service_t service = IOIteratorNext(iterator);
  io_connect_t connection = 0;
  EXPECT_EQ(IOServiceOpen(service, mach_task_self(), 0, &connection), 0);
  EXPECT_EQ(IOObjectRelease(service), 0);
  EXPECT_EQ(IOObjectRelease(iterator), 0);
  return connection;
}

// A key-info call for "TC0D" on `connection`.
kern_return_t callKeyInfo(io_connect_t connection) {
  SMCCallRecord record{};
  record.key = SMCFourCharCode("TC0D");
  record.command = SMCCommandReadKeyInfo;
  std::size_t size = sizeof record;
  return IOConnectCallStructMethod(connection, SMCMethodIndex, &record, size, &record, &size);
}

TEST(IOKitTest, IteratorListsServicesOfTheClassInPublishOrderAndEveryObjectIsReleasedOnce) {
  ScopedAppleSMC first, second;
  IORegistry::shared().publish("PyrelleOtherService", std::make_shared<ScriptedSMCService>());
  second.service().failOpen(kIOReturnNoDevice);
  const std::size_t liveBefore = IOHandleTable::shared().objectCount();
  const io_iterator_t iterator = matchingAppleSMC();
  const io_service_t a = IOIteratorNext(iterator);
  const io_service_t b = IOIteratorNext(iterator);
  EXPECT_EQ(IOIteratorNext(iterator), 0u);

  // Only the second refuses to open, and says why: the services came in publish order.
  io_connect_t connection = 77;
  EXPECT_EQ(IOServiceOpen(b, mach_task_self(), 0, &connection), kIOReturnNoDevice);
  EXPECT_EQ(connection, 0u);
  EXPECT_EQ(IOServiceOpen(a, mach_task_self(), 0, &connection), 0);
  EXPECT_EQ(IOServiceClose(connection), 0);

  for (const io_object_t object : {a, b, iterator}) {
    EXPECT_EQ(IOObjectRelease(object), 0);
    EXPECT_NE(IOObjectRelease(object), 0) << "released twice";
  }
  EXPECT_EQ(IOHandleTable::shared().objectCount(), liveBefore);
  EXPECT_EQ(IOServiceOpen(a, mach_task_self(), 0, &connection), kIOReturnBadArgument)
      << "a released service";
  IORegistry::shared().withdraw("PyrelleOtherService");
}

TEST(IOKitTest, ConnectionsWorkUntilClosedEvenOnceTheServiceIsWithdrawnAndHandlesAreNotReused) {
  auto smc = std::make_unique<ScopedAppleSMC>();
  smc->service().setTemperature("TC0D", 40);
  const io_connect_t closed = openFirst();
  EXPECT_EQ(IOServiceClose(closed), 0);
  const io_connect_t connection = openFirst();
  EXPECT_NE(connection, closed);
  smc.reset();
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
