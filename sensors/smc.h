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
// Reads `key` (exactly four characters) into `reading`. 0 on success, else the failing code;
// fields not yet filled stay zero.
kern_return_t SMCReadKey(const char* key, SMCReading& reading);

// Degrees Celsius from an "sp78" key, in steps of 1/64 degree; 0.0 when there is no reading.
double SMCGetTemperature(const char* key);
// Revolutions per minute from an "fpe2" key; -1 when there is no reading.
int SMCGetFanRpm(const char* key);

// The decoding steps alone, on a reading made by hand or by SMCReadKey.
double SMCDecodeTemperature(const SMCReading& reading);
int SMCDecodeFanRpm(const SMCReading& reading);
