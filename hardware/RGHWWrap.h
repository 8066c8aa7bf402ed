#pragma once
// The one object through which the application sees the hardware: it owns the lifetime of the
// SMC connection, samples the CPU temperature and two fan speeds, keeps the last sample, and
// hands out whole degrees and cached speeds. No failure is raised: a missing SMC or a failed
// read shows as 0.0 degrees Celsius and -1 rpm.

#include <cstdint>

class RGHWWrap {
 public:
  // Opens the SMC connection and takes a first sample, logging "Opening I/O connection.\n";
  // when the connection cannot be opened, logs "Error opening I/O connection.\n" and holds
  // the no-reading values.
  RGHWWrap();
  // Closes the connection as closeConnection() does, with its log line.
  ~RGHWWrap();
  RGHWWrap(const RGHWWrap&) = delete;
  RGHWWrap& operator=(const RGHWWrap&) = delete;

  // Takes a fresh sample, then returns the CPU temperature in whole degrees Celsius (rounded
  // in single precision, halves away from zero, so a reading just below zero gives -0.0).
  double getCPUtempC();
  // Takes a fresh sample, then returns the CPU temperature in whole degrees Fahrenheit.
  double getCPUtempF();
  // 0 when the connection closed ("Closing I/O connection.\n"), else -1 ("Error while closing
  // I/O connection.\n"). Only a connection this object opened and has not closed yet is handed
  // to the platform; any later close fails without touching the platform.
  int closeConnection();
  // Samples fan 1 ("F0Ac"), fan 2 ("F1Ac") and the CPU ("TC0D"), in that order, into the cache.
  void actualState();
  // The cached speed of fan `fan` (0 or 1) in rpm, without sampling; -1 for no reading and for
  // any other index.
  std::int64_t getRPMforFan(int fan) const;

 private:
  double cpuTemp = 0.0;
  std::int64_t fanRPM[2] = {-1, -1};
  bool connectionOpen = false;
};
