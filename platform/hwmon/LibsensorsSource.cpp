#include "platform/hwmon/LibsensorsSource.h"

#include <sensors/error.h>
#include <sensors/sensors.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/foundation/NSLog.h"

namespace {

// libsensors has one set of chips per process.
bool& libraryInUse() {
  static bool inUse = false;
  return inUse;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
struct CharFree {
  void operator()(char* text) const { std::free(text); }
};

std::string trimmed(std::string_view text) {
  constexpr std::string_view space = " \t\r\n\v\f";
  const auto first = text.find_first_not_of(space);
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(space) - first + 1));
}

std::string chipFullName(const sensors_chip_name& chip) {
  char name[256];
  if (sensors_snprintf_chip_name(name, sizeof name, &chip) < 0) return chip.prefix;
  return name;
}

std::string featureLabel(const sensors_chip_name& chip, const sensors_feature& feature) {
  const std::unique_ptr<char, CharFree> label(sensors_get_label(&chip, &feature));
  std::string text = label ? trimmed(label.get()) : std::string();
  return text.empty() ? std::string(feature.name) : text;
}

}  // namespace

std::unique_ptr<LibsensorsSource> LibsensorsSource::create(const std::string& configPath) {
  if (libraryInUse()) {
    NSLog("hwmon: libsensors is already in use in this process.");
    return nullptr;
  }
  auto source = std::make_unique<LibsensorsSource>(Passkey<LibsensorsSource>{}, configPath);
  if (!source->start()) return nullptr;
  return source;
}

LibsensorsSource::LibsensorsSource(Passkey<LibsensorsSource> /*key*/, std::string configFile)
    : configPath(std::move(configFile)) {
  libraryInUse() = true;
}

LibsensorsSource::~LibsensorsSource() {
  stop();
  libraryInUse() = false;
}

bool LibsensorsSource::start() {
  std::unique_ptr<std::FILE, FileCloser> config;
  if (!configPath.empty()) {
    config.reset(std::fopen(configPath.c_str(), "r"));
    if (!config) {
      NSLog("hwmon: cannot open the sensors configuration " + loggable(configPath) + ".");
      return false;
    }
  }
  const int error = sensors_init(config.get());
  if (error != 0) {  // sensors_init has cleaned up after itself
    NSLog(std::string("hwmon: libsensors could not start: ") + sensors_strerror(error) + ".");
    return false;
  }
  started = true;
  discover();
  return true;
}

void LibsensorsSource::stop() {
  found.clear();
  handles.clear();
  if (!started) return;
  sensors_cleanup();
  started = false;
}

bool LibsensorsSource::rediscover() {
  stop();
  return start();
}

std::optional<double> LibsensorsSource::read(const SensorRef& ref) {
  if (ref.chip >= handles.size()) return std::nullopt;
  double value = 0.0;
  if (sensors_get_value(handles[ref.chip], ref.input, &value) < 0) return std::nullopt;
  return value;
}

void LibsensorsSource::discover() {
  int chipIndex = 0;
  while (const sensors_chip_name* chip = sensors_get_detected_chips(nullptr, &chipIndex)) {
    SensorChip listed{chip->prefix, chipFullName(*chip), {}};
    int featureIndex = 0;
    while (const sensors_feature* feature = sensors_get_features(chip, &featureIndex)) {
      const bool isFan = feature->type == SENSORS_FEATURE_FAN;
      if (!isFan && feature->type != SENSORS_FEATURE_TEMP) continue;
      const sensors_subfeature* input = sensors_get_subfeature(
          chip, feature, isFan ? SENSORS_SUBFEATURE_FAN_INPUT : SENSORS_SUBFEATURE_TEMP_INPUT);
      if (input == nullptr) continue;
      listed.features.push_back({isFan ? SensorKind::fan : SensorKind::temperature, feature->name,
                                 featureLabel(*chip, *feature),
                                 SensorRef{found.size(), input->number}});
    }
    found.push_back(std::move(listed));
    handles.push_back(chip);
  }
}
