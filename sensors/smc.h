#pragma once
// The smc module: one process-wide connection to the "AppleSMC" service, the two-command read
// of one four-character key, and the decoders that turn a reading into degrees or rpm.

#include <cstdint>

#include "platform/iokit/IOKit.h"
#include "platform/iokit/SMCCallRecord.h"

// The result of one key read; the caller provides it and SMCReadKey fills it.
struct SMCReading {
  char key[5];
  std::uint32_t dataSize;
  char dataType[5];
  std::uint8_t bytes[SMCDataBytes];  // as the driver returned them; values are big-endian
};

// Opens the connection to the first "AppleSMC" service. 0 on success, 1 on any failure, with
// the failure printed on standard output.
int SMCOpen();
// Closes the connection; the platform's code (0 = success).
kern_return_t SMCClose();
// Reads `key` (exactly four characters) into `reading` with two driver calls: key info, then the
// bytes. 0 on success, else the failing code, with every field not yet filled left zero. A key
// that is not exactly four characters is refused (kIOReturnBadArgument) without a driver call.
kern_return_t SMCReadKey(const char* key, SMCReading& reading);

// Degrees Celsius from an "sp78" key, in steps of 1/64 degree rounded down; 0.0 when the key
// cannot be read, is empty or has another type.
double SMCGetTemperature(const char* key);
// Revolutions per minute from an "fpe2" key, fractional bits dropped; -1 when the key cannot be
// read, is empty or has another type.
int SMCGetFanRpm(const char* key);

// The decoding steps alone, on a reading made by hand or by SMCReadKey. Only bytes 0 and 1
// count for a temperature. A fan value weighs 6 bits per byte over its first dataSize bytes;
// a size of 2^31 or more gives 0; a size of 6 or more, or a total beyond 32 bits, gives -1.
double SMCDecodeTemperature(const SMCReading& reading);
int SMCDecodeFanRpm(const SMCReading& reading);
