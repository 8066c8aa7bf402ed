#pragma once
// The Linux "AppleSMC" service: answers key-info and read-bytes for the keys of a
// HwmonKeyTable. Key-info is answered from the table (no I/O); read-bytes reads the sensor
// now, once, and nothing is served from a cache. A failed read fails the command, and the
// service then discovers the chips again (at most once every 10 seconds), so that sensors
// coming back under another hwmonN after a resume or a driver reload are found again. Keys
// once answered stay known; while their sensor is missing their reads fail. While TC0D is read
// from a worse CPU sensor than one seen before in the run (the package sensor was briefly gone,
// and the hottest core stood in), its reads look for the better one again at the same pace,
// and the service switches back to it once it is there, with a log line. A key whose sensor
// chosen in the settings is not there is answered by the automatic choice, and its reads look
// for the chosen one at the same pace; that it is missing is logged once, with the inputs there
// are, and that it is back once more.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/Passkey.h"
#include "platform/hwmon/HwmonKeyTable.h"
#include "platform/hwmon/SensorSource.h"
#include "platform/iokit/AppleSMCDriver.h"

class HwmonSMCService : public AppleSMCDriver {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::seconds rediscoveryInterval{10};

  // Builds the key table from `source` and `choice`. Empty, with a log line, when the sensors
  // answer none of TC0D, F0Ac and F1Ac. `clock` is monotonic; tests pass a manual one.
  static std::shared_ptr<HwmonSMCService> create(std::unique_ptr<SensorSource> source,
                                                 Clock clock = std::chrono::steady_clock::now,
                                                 SensorChoice choice = {});

  // Made by create() only.
  HwmonSMCService(Passkey<HwmonSMCService> key, std::unique_ptr<SensorSource> sensors,
                  Clock monotonic, SensorChoice chosen, HwmonKeyTable keys);

  // The CPU sensor behind TC0D now (chip and label), if any.
  const std::optional<std::string>& cpuSource() const { return table.cpuSource; }

 protected:
  kern_return_t keyInfo(std::uint32_t key, SMCKeyInfo& info) override;
  kern_return_t readBytes(std::uint32_t key, std::uint32_t dataSize,
                          std::uint8_t (&bytes)[SMCDataBytes]) override;

 private:
  void rediscoverIfDue();
  void adopt(HwmonKeyTable fresh);

  std::unique_ptr<SensorSource> source;
  Clock clock;
  SensorChoice choice;
  HwmonKeyTable table;
  std::chrono::steady_clock::time_point lastDiscovery;
  int bestCpuRank;  // the best CPU source seen in the run (HwmonKeyTable::cpuRank)
};
