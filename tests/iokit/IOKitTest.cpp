#include <gtest/gtest.h>

#include <memory>

#include "platform/iokit/IOKit.h"
#include "platform/iokit/IOKitTesting.h"
#include "platform/iokit/IORegistry.h"
#include "tests/doubles/ScriptedSMCService.h"

namespace {

// Publishes services under a class name no other test uses, and withdraws them at the end.
class IOKitTest : public testing::Test {
 protected:
  void TearDown() override { IORegistry::shared().withdraw("PyrelleTestService"); }

  std::shared_ptr<ScriptedSMCService> publish() {
    auto service = std::make_shared<ScriptedSMCService>();
    IORegistry::shared().publish("PyrelleTestService", service);
    return service;
  }

  static io_iterator_t matching(const char* className) {
    io_iterator_t iterator = 0;
    EXPECT_EQ(IOServiceGetMatchingServices(0, IOServiceMatching(className), &iterator), 0);
    return iterator;
  }

  static io_connect_t open(io_service_t service) {
    io_connect_t connection = 0;
    EXPECT_EQ(IOServiceOpen(service, mach_task_self(), 0, &connection), 0);
    return connection;
  }

  // Opens a connection to the first service of the test class, releasing what lookup handed out.
  static io_connect_t openFirst() {
    const io_iterator_t iterator = matching("PyrelleTestService");
    const io_service_t service = IOIteratorNext(iterator);
    const io_connect_t connection = open(service);
    EXPECT_EQ(IOObjectRelease(service), 0);
    EXPECT_EQ(IOObjectRelease(iterator), 0);
    return connection;
  }

  static kern_return_t call(io_connect_t connection) {
    SMCCallRecord input{}, output{};
    input.key = SMCFourCharCode("TC0D");
    input.command = SMCCommandReadKeyInfo;
    std::size_t outputSize = sizeof output;
    return IOConnectCallStructMethod(connection, SMCMethodIndex, &input, sizeof input, &output,
                                     &outputSize);
  }
};

TEST_F(IOKitTest, IteratorListsServicesOfTheClassInPublishOrderAndEveryObjectIsReleasedOnce) {
  const auto first = publish();
  IORegistry::shared().publish("PyrelleOtherService", std::make_shared<ScriptedSMCService>());
  const auto second = publish();
  first->setTemperature("TC0D", 1);
  const std::size_t liveBefore = IOLiveObjectCountForTesting();

  const io_iterator_t iterator = matching("PyrelleTestService");
  const io_service_t a = IOIteratorNext(iterator);
  const io_service_t b = IOIteratorNext(iterator);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_EQ(IOIteratorNext(iterator), 0u);
  EXPECT_EQ(IOIteratorNext(a), 0u) << "a service is not an iterator";

  // Only the first one has the key: the iterator handed out the services in order.
  const io_connect_t connection = open(a);
  EXPECT_EQ(call(connection), 0);
  EXPECT_EQ(IOServiceClose(connection), 0);

  for (const io_object_t object : {a, b, iterator}) {
    EXPECT_EQ(IOObjectRelease(object), 0);
    EXPECT_NE(IOObjectRelease(object), 0) << "released twice";
  }
  EXPECT_EQ(IOLiveObjectCountForTesting(), liveBefore);
  EXPECT_EQ(IOIteratorNext(iterator), 0u) << "a released iterator";
  IORegistry::shared().withdraw("PyrelleOtherService");
}

TEST_F(IOKitTest, NoMatchingServiceGivesAnEmptyIterator) {
  const io_iterator_t iterator = matching("PyrelleTestService");
  EXPECT_NE(iterator, 0u);
  EXPECT_EQ(IOIteratorNext(iterator), 0u);
  EXPECT_EQ(IOObjectRelease(iterator), 0);
  EXPECT_NE(IOServiceGetMatchingServices(0, IOServiceMatching("PyrelleTestService"), nullptr), 0);
}

TEST_F(IOKitTest, CallsAndClosesOnHandlesNeverOpenedOrClosedFail) {
  publish();
  const io_connect_t connection = openFirst();
  EXPECT_EQ(IOOpenConnectionCountForTesting(), 1u);
  EXPECT_EQ(call(connection), kIOReturnNotFound) << "reached the service, which lacks the key";
  EXPECT_EQ(IOServiceClose(connection), 0);
  EXPECT_EQ(IOOpenConnectionCountForTesting(), 0u);

  for (const io_connect_t handle : {connection, io_connect_t{0}, io_connect_t{0xfffffff0}}) {
    EXPECT_EQ(call(handle), kIOReturnNotOpen) << handle;
    EXPECT_EQ(IOServiceClose(handle), kIOReturnNotOpen) << handle;
  }
}

TEST_F(IOKitTest, HandlesAreNotReusedSoonAfterClose) {
  publish();
  const io_connect_t first = openFirst();
  EXPECT_EQ(IOServiceClose(first), 0);
  const io_connect_t second = openFirst();
  EXPECT_NE(second, first);
  EXPECT_EQ(call(first), kIOReturnNotOpen);
  EXPECT_NE(IOObjectRelease(second), 0) << "a connection is not an object";
  EXPECT_EQ(IOServiceClose(second), 0);
}

TEST_F(IOKitTest, OpenRefusesWhatIsNotAServiceAndReportsTheServicesRefusal) {
  const auto service = publish();
  const io_iterator_t iterator = matching("PyrelleTestService");
  const io_service_t handle = IOIteratorNext(iterator);

  io_connect_t connection = 77;
  EXPECT_EQ(IOServiceOpen(iterator, mach_task_self(), 0, &connection), kIOReturnBadArgument);
  EXPECT_EQ(connection, 0u);
  EXPECT_EQ(IOServiceOpen(handle, mach_task_self() + 1, 0, &connection), kIOReturnBadArgument);
  EXPECT_EQ(IOServiceOpen(handle, mach_task_self(), 0, nullptr), kIOReturnBadArgument);

  service->failOpen(kIOReturnNoDevice);
  connection = 77;
  EXPECT_EQ(IOServiceOpen(handle, mach_task_self(), 0, &connection), kIOReturnNoDevice);
  EXPECT_EQ(connection, 0u);

  EXPECT_EQ(IOObjectRelease(handle), 0);
  connection = 77;
  EXPECT_EQ(IOServiceOpen(handle, mach_task_self(), 0, &connection), kIOReturnBadArgument)
      << "a released service";
  EXPECT_EQ(connection, 0u);
  EXPECT_EQ(IOObjectRelease(iterator), 0);
  EXPECT_EQ(IOOpenConnectionCountForTesting(), 0u);
}

TEST_F(IOKitTest, OpenConnectionOutlivesTheServicesWithdrawal) {
  publish()->setTemperature("TC0D", 40);
  const io_connect_t connection = openFirst();
  IORegistry::shared().withdraw("PyrelleTestService");
  EXPECT_EQ(call(connection), 0);
  EXPECT_EQ(IOServiceClose(connection), 0);
}

TEST_F(IOKitTest, CallWithNullBuffersIsRefusedBeforeTheService) {
  const auto service = publish();
  const io_connect_t connection = openFirst();
  SMCCallRecord record{};
  std::size_t size = sizeof record;
  EXPECT_EQ(IOConnectCallStructMethod(connection, 2, nullptr, 80, &record, &size),
            kIOReturnBadArgument);
  EXPECT_EQ(IOConnectCallStructMethod(connection, 2, &record, 80, nullptr, &size),
            kIOReturnBadArgument);
  EXPECT_EQ(IOConnectCallStructMethod(connection, 2, &record, 80, &record, nullptr),
            kIOReturnBadArgument);
  EXPECT_TRUE(service->receivedRecords().empty());
  EXPECT_EQ(IOServiceClose(connection), 0);
}

}  // namespace
