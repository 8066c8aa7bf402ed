#include "platform/foundation/NSUserDefaults.h"

#include <errno.h>
#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <set>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileLock.h"
#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/KeyFileEdit.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"
#include "platform/foundation/RegularFile.h"

namespace {

// The application's own settings live in the group named after it.
const char* group() { return NSBundle::mainBundle().identity().name.c_str(); }

// Two settings take a few bytes; anything near this size is not a settings file.
constexpr std::size_t maximumSettingsBytes = 1024 * 1024;
// A save normally holds the lock for a few milliseconds; one held longer belongs to a hung run.
constexpr auto lockPatience = std::chrono::milliseconds(2000);

bool isMissing(const GError* error) {
  return g_error_matches(error, G_KEY_FILE_ERROR, G_KEY_FILE_ERROR_KEY_NOT_FOUND) ||
         g_error_matches(error, G_KEY_FILE_ERROR, G_KEY_FILE_ERROR_GROUP_NOT_FOUND);
}

// Why `contents` is not a settings file; empty when `keyFile` now holds it.
std::string parse(GKeyFile* keyFile, const std::string& contents) {
  // GKeyFile would silently cut a value short at a NUL byte.
  if (contents.find('\0') != std::string::npos) return "it holds a NUL byte";
  GErrorOut error;
  if (g_key_file_load_from_data(keyFile, contents.data(), contents.size(), keyFileLoadFlags,
                                error.out())) {
    return {};
  }
  return error.message();
}

}  // namespace

struct NSUserDefaults::Store {
  // What became of the file on disk when it was last read.
  enum class Disk { usable, setAside, unread };

  std::string directory;
  std::string path;
  // The file as last read, with the values not saved yet set over it.
  GKeyFilePtr keyFile{g_key_file_new()};
  // The file's bytes as last read: a save edits them, so every line it does not set stays.
  std::string contents;
  // setAside: the file is not a settings file; it is moved aside before anything replaces it.
  // unread: it could not be read now; it is read again before anything replaces it.
  Disk disk = Disk::usable;
  bool writeFailureLogged = false;
  bool lockProblemLogged = false;
  // The lock was held by someone else for the whole wait: later saves do not wait again.
  bool lockTimedOut = false;
  // Keys whose stored value had the wrong type and was reported; each is reported once.
  mutable std::set<std::string, std::less<>> reportedKeys;
  // Values set during the run but not saved yet (the file could not be written), by key.
  std::map<std::string, std::string, std::less<>> unsaved;

  explicit Store(const std::string& configDirectory)
      : directory(configDirectory + "/" + NSBundle::mainBundle().identity().programName),
        path(directory + "/settings.ini") {
    const int removed = removeAbandonedTemporaries(path);
    if (removed > 0) {
      NSLog("Removed " + std::to_string(removed) + " temporary settings file(s) left in " +
            loggable(directory) + " by runs that ended abruptly.");
    }
    load();
  }

  Disk read(std::string& problem);
  void load();
  void reportUnusable(const std::string& problem) const;
  bool readBeforeWriting();
  bool setAsideIfUnusable();
  void applyUnsaved();
  void set(const std::string& key, std::string text);
  void save();
  void noteLock(const FileLock& lock);
  void reportWriteFailure(const std::string& reason);
  void reportWrongType(std::string_view key, const char* type, const GError* error) const;
  std::optional<bool> storedBool(std::string_view key) const;
  std::optional<std::int64_t> storedInteger(std::string_view key) const;
};

// Reads the file; only a usable one replaces what was read before.
NSUserDefaults::Store::Disk NSUserDefaults::Store::read(std::string& problem) {
  FileRead file = readRegularFile(AT_FDCWD, path, maximumSettingsBytes);
  problem = std::move(file.problem);
  switch (file.status) {
    case FileReadStatus::missing:
      file.contents.clear();
      [[fallthrough]];
    case FileReadStatus::read: {
      GKeyFilePtr parsed(g_key_file_new());
      problem = parse(parsed.get(), file.contents);
      if (!problem.empty()) return Disk::setAside;
      keyFile = std::move(parsed);
      contents = std::move(file.contents);
      return Disk::usable;
    }
    case FileReadStatus::notRegular:
    case FileReadStatus::tooLarge:
      return Disk::setAside;
    case FileReadStatus::failed:
      return Disk::unread;
  }
  return Disk::unread;
}

void NSUserDefaults::Store::load() {
  std::string problem;
  disk = read(problem);
  if (disk == Disk::unread) {
    NSLog("Settings file " + loggable(path) + " could not be read (" + loggable(problem) +
          "); using the defaults until it can be.");
  }
  if (disk == Disk::setAside) reportUnusable(problem);
}

void NSUserDefaults::Store::reportUnusable(const std::string& problem) const {
  NSLog("Settings file " + loggable(path) + " is not usable (" + loggable(problem) +
        "); using the defaults.");
}

// Reads the file as it is now, for a save to start from. False when it must not be replaced:
// it cannot be read, or it is no settings file and could not be kept aside.
bool NSUserDefaults::Store::readBeforeWriting() {
  const Disk before = disk;
  std::string problem;
  disk = read(problem);
  if (disk == Disk::setAside && before != Disk::setAside) reportUnusable(problem);
  if (disk != Disk::unread) return setAsideIfUnusable();
  reportWriteFailure("the file there cannot be read now, so it is left as it is: " + problem);
  return false;
}

bool NSUserDefaults::Store::setAsideIfUnusable() {
  if (disk != Disk::setAside) return true;
  const MovedAside aside = moveAsideWithoutReplacing(path, ".corrupt");
  struct stat info {};
  // Never write over a file that could not be kept (unless it has gone meanwhile).
  if (!aside.name && (lstat(path.c_str(), &info) == 0 || errno != ENOENT)) {
    reportWriteFailure("keeping the unusable file aside failed: " + aside.problem);
    return false;
  }
  if (aside.name) {
    NSLog("The unusable settings file was kept aside as " + loggable(*aside.name) + ".");
  }
  keyFile.reset(g_key_file_new());
  contents.clear();
  disk = Disk::usable;
  return true;
}

void NSUserDefaults::Store::reportWriteFailure(const std::string& reason) {
  if (writeFailureLogged) return;
  writeFailureLogged = true;
  NSLog("Could not save settings to " + loggable(path) + " (" + loggable(reason) +
        "); changes are kept until Pyrelle quits.");
}

void NSUserDefaults::Store::noteLock(const FileLock& lock) {
  if (lock.held() || lockProblemLogged) return;
  lockProblemLogged = true;
  NSLog("Could not lock " + loggable(path + ".lock") + " (" + loggable(lock.problem()) +
        "); saving settings without it.");
}

void NSUserDefaults::Store::applyUnsaved() {
  for (const auto& [name, value] : unsaved) {
    g_key_file_set_value(keyFile.get(), group(), name.c_str(), value.c_str());
  }
}

void NSUserDefaults::Store::set(const std::string& key, std::string text) {
  reportedKeys.erase(key);
  unsaved.insert_or_assign(key, std::move(text));
  save();
  // Whatever the disk held, what was set during the run holds.
  applyUnsaved();
}

// Writes the values set since the last save over the file as it is now, under the lock, so
// that hand edits and other runs' saves in between are kept.
void NSUserDefaults::Store::save() {
  if (g_mkdir_with_parents(directory.c_str(), 0700) != 0) {
    const int reason = errno;
    reportWriteFailure(std::strerror(reason));
    return;
  }
  const FileLock lock(path + ".lock", lockTimedOut ? std::chrono::milliseconds(0) : lockPatience);
  lockTimedOut = lock.timedOut();
  if (!readBeforeWriting()) return;
  noteLock(lock);
  applyUnsaved();
  std::string updated = keyFileTextWith(contents, group(), unsaved, keyFile.get());
  const std::string problem = replaceFileAtomically(path, updated);
  if (!problem.empty()) {
    reportWriteFailure(problem);
    return;
  }
  contents = std::move(updated);
  unsaved.clear();
}

void NSUserDefaults::Store::reportWrongType(std::string_view key, const char* type,
                                            const GError* error) const {
  if (!reportedKeys.emplace(key).second) return;
  NSLog("Setting \"" + loggable(key) + "\" in " + loggable(path) + " is not " + type + " (" +
        loggable(error->message) + "); using the default.");
}

std::optional<bool> NSUserDefaults::Store::storedBool(std::string_view key) const {
  const std::string name(key);
  GErrorOut error;
  const bool value = g_key_file_get_boolean(keyFile.get(), group(), name.c_str(), error.out());
  const GErrorPtr failure = error.take();
  if (!failure) return value;
  if (!isMissing(failure.get())) reportWrongType(key, "a boolean", failure.get());
  return std::nullopt;
}

std::optional<std::int64_t> NSUserDefaults::Store::storedInteger(std::string_view key) const {
  const std::string name(key);
  GErrorOut error;
  const GCharPtr text(g_key_file_get_value(keyFile.get(), group(), name.c_str(), error.out()));
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
  static NSUserDefaults defaults(configDirectory ? *configDirectory : userConfigDirectory());
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
  store->set(std::string(key), value ? "true" : "false");
}

void NSUserDefaults::setInteger(std::int64_t value, std::string_view key) {
  store->set(std::string(key), std::to_string(value));
}

std::optional<std::string> NSUserDefaults::stringForKey(std::string_view key,
                                                        std::string_view inGroup) const {
  const std::string groupName(inGroup);
  const std::string name(key);
  const GCharPtr text(
      g_key_file_get_string(store->keyFile.get(), groupName.c_str(), name.c_str(), nullptr));
  if (!text) return std::nullopt;
  return std::string(text.get());
}
