#include "hardware/RGHWWrap.h"

#include <cmath>

#include "platform/foundation/NSLog.h"
#include "sensors/smc.h"

RGHWWrap::RGHWWrap() {
  if (SMCOpen() != 0) {
    NSLog("Error opening I/O connection.\n");
    return;
  }
  connectionOpen = true;
  NSLog("Opening I/O connection.\n");
  actualState();
}

RGHWWrap::~RGHWWrap() { closeConnection(); }

double RGHWWrap::getCPUtempC() {
  actualState();
  return static_cast<double>(std::roundf(static_cast<float>(cpuTemp)));
}

double RGHWWrap::getCPUtempF() {
  actualState();
  return std::round(cpuTemp * 9 / 5) + 32;
}

int RGHWWrap::closeConnection() {
  // The connection handle is process-wide: once ours is closed, the same value may name a
  // connection someone else opened since, so it is never handed to the platform again.
  const bool wasOpen = connectionOpen;
  connectionOpen = false;
  if (!wasOpen || SMCClose() != 0) {
    NSLog("Error while closing I/O connection.\n");
    return -1;
  }
  NSLog("Closing I/O connection.\n");
  return 0;
}

void RGHWWrap::actualState() {
  fanRPM[0] = SMCGetFanRpm("F0Ac");
  fanRPM[1] = SMCGetFanRpm("F1Ac");
  cpuTemp = SMCGetTemperature("TC0D");
}

std::int64_t RGHWWrap::getRPMforFan(int fan) const {
  if (fan != 0 && fan != 1) return -1;
  return fanRPM[fan];
}
