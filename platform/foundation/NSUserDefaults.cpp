#include "platform/foundation/NSUserDefaults.h"

#include <errno.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <cstring>
#include <limits>
#include <optional>
#include <set>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSLog.h"

namespace {

constexpr const char* group = "Pyrelle";

bool isMissing(const GError* error) {
  return g_error_matches(error, G_KEY_FILE_ERROR, G_KEY_FILE_ERROR_KEY_NOT_FOUND) ||
         g_error_matches(error, G_KEY_FILE_ERROR, G_KEY_FILE_ERROR_GROUP_NOT_FOUND);
}

}  // namespace

struct NSUserDefaults::Store {
  std::string directory;
  std::string path;
  GKeyFilePtr keyFile{g_key_file_new()};
  // The file on disk could not be read: it is moved aside before anything replaces it.
  bool keepAside = false;
  bool writeFailureLogged = false;
  // Keys whose stored value had the wrong type and was reported; each is reported once.
  mutable std::set<std::string, std::less<>> reportedKeys;

  explicit Store(const std::string& configDirectory)
      : directory(configDirectory + "/pyrelle"), path(directory + "/settings.ini") {
    load();
  }

  void load();
  void save();
  void reportWriteFailure(const std::string& reason);
  void reportWrongType(std::string_view key, const char* type, const GError* error) const;
  std::optional<bool> storedBool(std::string_view key) const;
  std::optional<std::int64_t> storedInteger(std::string_view key) const;
};

void NSUserDefaults::Store::load() {
  GErrorOut error;
  if (g_key_file_load_from_file(keyFile.get(), path.c_str(), G_KEY_FILE_KEEP_COMMENTS, error.out()))
    return;
  const GErrorPtr failure = error.take();
  // A half-read file may have left some keys behind; none of them is trusted.
  keyFile.reset(g_key_file_new());
  // No file yet, or no directory to hold one: nothing stored, nothing to keep aside.
  if (g_error_matches(failure.get(), G_FILE_ERROR, G_FILE_ERROR_NOENT) ||
      g_error_matches(failure.get(), G_FILE_ERROR, G_FILE_ERROR_NOTDIR))
    return;
  NSLog("Settings file " + path + " could not be read (" + failure->message +
        "); using the defaults.");
  keepAside = true;
}

void NSUserDefaults::Store::reportWriteFailure(const std::string& reason) {
  if (writeFailureLogged) return;
  writeFailureLogged = true;
  NSLog("Could not save settings to " + path + " (" + reason +
        "); changes are kept until Pyrelle quits.");
}

void NSUserDefaults::Store::save() {
  if (g_mkdir_with_parents(directory.c_str(), 0700) != 0) {
    const int reason = errno;
    reportWriteFailure(std::strerror(reason));
    return;
  }
  if (keepAside) {
    const std::string aside = path + ".corrupt";
    const int renamed = g_rename(path.c_str(), aside.c_str());
    const int reason = errno;
    // Never write over a file that could not be kept (unless it has gone meanwhile).
    if (renamed != 0 && reason != ENOENT) {
      reportWriteFailure("keeping the unreadable file aside failed: " +
                         std::string(std::strerror(reason)));
      return;
    }
    if (renamed == 0) NSLog("The unreadable settings file was kept aside as " + aside + ".");
    keepAside = false;
  }
  gsize length = 0;
  const GCharPtr data(g_key_file_to_data(keyFile.get(), &length, nullptr));
  GErrorOut error;
  // Written to a temporary file, synced, then renamed over the old one: a crash leaves either
  // the old file or the new one.
  const auto flags = static_cast<GFileSetContentsFlags>(G_FILE_SET_CONTENTS_CONSISTENT |
                                                        G_FILE_SET_CONTENTS_DURABLE);
  if (!g_file_set_contents_full(path.c_str(), data.get(), static_cast<gssize>(length), flags, 0600,
                                error.out()))
    reportWriteFailure(error.take()->message);
}

void NSUserDefaults::Store::reportWrongType(std::string_view key, const char* type,
                                            const GError* error) const {
  if (!reportedKeys.emplace(key).second) return;
  NSLog("Setting \"" + std::string(key) + "\" in " + path + " is not " + type + " (" +
        error->message + "); using the default.");
}

std::optional<bool> NSUserDefaults::Store::storedBool(std::string_view key) const {
  const std::string name(key);
  GErrorOut error;
  const bool value = g_key_file_get_boolean(keyFile.get(), group, name.c_str(), error.out());
  const GErrorPtr failure = error.take();
  if (!failure) return value;
  if (!isMissing(failure.get())) reportWrongType(key, "a boolean", failure.get());
  return std::nullopt;
}

std::optional<std::int64_t> NSUserDefaults::Store::storedInteger(std::string_view key) const {
  const std::string name(key);
  GErrorOut error;
  const GCharPtr text(g_key_file_get_value(keyFile.get(), group, name.c_str(), error.out()));
  if (!text) return std::nullopt;
  // Unlike g_key_file_get_int64, this refuses values out of range instead of clamping them,
  // and like the boolean reader it forgives spaces left around a hand-edited value.
  gint64 value = 0;
  if (g_ascii_string_to_signed(g_strstrip(text.get()), 10, std::numeric_limits<gint64>::min(),
                               std::numeric_limits<gint64>::max(), &value, error.out()))
    return value;
  reportWrongType(key, "an integer", error.take().get());
  return std::nullopt;
}

NSUserDefaults::NSUserDefaults(const std::string& configDirectory)
    : store(std::make_unique<Store>(configDirectory)) {}

NSUserDefaults::~NSUserDefaults() = default;

NSUserDefaults& NSUserDefaults::standard(const std::string* configDirectory) {
  static NSUserDefaults defaults(configDirectory ? *configDirectory : g_get_user_config_dir());
  return defaults;
}

NSUserDefaults& NSUserDefaults::standardUserDefaults() { return standard(nullptr); }

void NSUserDefaults::resetStandardUserDefaultsForTesting(const std::string& configDirectory) {
  NSUserDefaults& defaults = standard(&configDirectory);
  defaults.store = std::make_unique<Store>(configDirectory);
  defaults.registered.clear();
}

void NSUserDefaults::registerDefaults(const std::map<std::string, Value>& defaults) {
  for (const auto& [key, value] : defaults) registered.insert_or_assign(key, value);
}

bool NSUserDefaults::boolForKey(std::string_view key) const {
  if (const auto stored = store->storedBool(key)) return *stored;
  const auto found = registered.find(key);
  if (found == registered.end()) return false;
  return std::visit([](auto value) { return value != 0; }, found->second);
}

std::int64_t NSUserDefaults::integerForKey(std::string_view key) const {
  if (const auto stored = store->storedInteger(key)) return *stored;
  const auto found = registered.find(key);
  if (found == registered.end()) return 0;
  return std::visit([](auto value) { return static_cast<std::int64_t>(value); }, found->second);
}

void NSUserDefaults::setBool(bool value, std::string_view key) {
  const std::string name(key);
  g_key_file_set_boolean(store->keyFile.get(), group, name.c_str(), value);
  store->reportedKeys.erase(name);
  store->save();
}

void NSUserDefaults::setInteger(std::int64_t value, std::string_view key) {
  const std::string name(key);
  g_key_file_set_int64(store->keyFile.get(), group, name.c_str(), value);
  store->reportedKeys.erase(name);
  store->save();
}

std::optional<std::string> NSUserDefaults::stringForKey(std::string_view key,
                                                       std::string_view group) const {
  const std::string groupName(group);
  const std::string name(key);
  const GCharPtr text(g_key_file_get_string(store->keyFile.get(), groupName.c_str(), name.c_str(),
                                            nullptr));
  if (!text) return std::nullopt;
  return std::string(text.get());
}

const std::string& NSUserDefaults::path() const { return store->path; }
