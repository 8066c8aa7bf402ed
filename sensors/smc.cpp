// The connection to the "AppleSMC" service and the two-command read of one key.

#include "sensors/smc.h"

#include <cstdio>
#include <cstring>

#include "platform/iokit/SMCCodec.h"

namespace {
// The one process-wide connection. Nothing resets it: after a close it keeps the closed handle,
// on which every later call fails.
io_connect_t conn = 0;

// A key is exactly four characters; anything shorter or longer is refused before it is read
// past its end or sent to the driver.
bool isFourCharacterKey(const char* key) {
  if (key == nullptr) return false;
  for (int i = 0; i < 4; ++i) {
    if (key[i] == '\0') return false;
  }
  return key[4] == '\0';
}

// Standard output is often a pipe to the session's journal: flush, so that the failure is not
// lost when the program is later ended by a signal.
int openFailed() {
  std::fflush(stdout);
  return 1;
}

kern_return_t callDriver(const SMCCallRecord& input, SMCCallRecord& output) {
  std::size_t outputSize = sizeof output;
  return IOConnectCallStructMethod(conn, SMCMethodIndex, &input, sizeof input, &output,
                                   &outputSize);
}
}  // namespace

int SMCOpen() {
  mach_port_t masterPort = 0;
  IOMasterPort(MACH_PORT_NULL, &masterPort);
  io_iterator_t iterator = 0;
  const kern_return_t found =
      IOServiceGetMatchingServices(masterPort, IOServiceMatching("AppleSMC"), &iterator);
  if (found != kIOReturnSuccess) {
    std::printf("Error: IOServiceGetMatchingServices() = %08x\n", static_cast<unsigned>(found));
    return openFailed();
  }

  const io_object_t device = IOIteratorNext(iterator);
  IOObjectRelease(iterator);
  if (device == 0) {
    std::printf("Error: no SMC found\n");
    return openFailed();
  }

  const kern_return_t opened = IOServiceOpen(device, mach_task_self(), 0, &conn);
  IOObjectRelease(device);
  if (opened != kIOReturnSuccess) {
    std::printf("Error: IOServiceOpen() = %08x\n", static_cast<unsigned>(opened));
    return openFailed();
  }
  return 0;
}

kern_return_t SMCClose() { return IOServiceClose(conn); }

kern_return_t SMCReadKey(const char* key, SMCReading& reading) {
  SMCCallRecord input{};
  SMCCallRecord output{};
  reading = SMCReading{};
  if (!isFourCharacterKey(key)) return kIOReturnBadArgument;

  input.key = SMCFourCharCode(key);
  std::memcpy(reading.key, key, sizeof reading.key);

  input.command = SMCCommandReadKeyInfo;
  if (const kern_return_t result = callDriver(input, output); result != kIOReturnSuccess) {
    return result;
  }
  reading.dataSize = output.dataSize;
  std::memcpy(reading.dataType, SMCFourCharString(output.dataType).data(), 4);

  input.dataSize = reading.dataSize;
  input.command = SMCCommandReadBytes;
  if (const kern_return_t result = callDriver(input, output); result != kIOReturnSuccess) {
    return result;
  }
  std::memcpy(reading.bytes, output.bytes, sizeof reading.bytes);
  return kIOReturnSuccess;
}
