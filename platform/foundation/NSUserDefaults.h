#pragma once
// The user's settings: a persistent store of booleans and integers by key, over an in-memory
// registration domain of defaults. Reads give the stored value, else the registered one, else
// NO or 0. Every set is written through at once, atomically and durably, to
// "<user config dir>/pyrelle/settings.ini". Bad input never crashes and never loses what the
// user set: an unreadable file or a value of the wrong type is logged and read as not stored,
// an unreadable file is kept aside as "settings.ini.corrupt" before it is replaced, and a
// failed write is logged (once per store) while the value still holds for the run.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

class NSUserDefaults {
 public:
  using Value = std::variant<bool, std::int64_t>;

  // The store for the whole run, in g_get_user_config_dir() (so XDG_CONFIG_HOME is honoured).
  static NSUserDefaults& standardUserDefaults();
  // Points the standard store at `configDirectory` as if the process had just started there:
  // registered defaults are dropped and the file is read again. References stay valid.
  static void resetStandardUserDefaultsForTesting(const std::string& configDirectory);

  // A store kept in "<configDirectory>/pyrelle/settings.ini"; reads the file now.
  explicit NSUserDefaults(const std::string& configDirectory);
  ~NSUserDefaults();
  NSUserDefaults(const NSUserDefaults&) = delete;
  NSUserDefaults& operator=(const NSUserDefaults&) = delete;

  // Adds to the registration domain (memory only); a later registration of a key replaces it.
  void registerDefaults(const std::map<std::string, Value>& defaults);

  bool boolForKey(std::string_view key) const;
  std::int64_t integerForKey(std::string_view key) const;
  void setBool(bool value, std::string_view key);
  void setInteger(std::int64_t value, std::string_view key);

  // The text stored under `key` in `group` of the settings file, for settings of the platform's
  // own that live beside the application's (such as [Panel]); nullopt when none is stored.
  std::optional<std::string> stringForKey(std::string_view key, std::string_view group) const;

  // The settings file's path.
  const std::string& path() const;

 private:
  struct Store;
  // The standard store, created on first use in `configDirectory` or else the user's own.
  static NSUserDefaults& standard(const std::string* configDirectory);

  std::unique_ptr<Store> store;
  std::map<std::string, Value, std::less<>> registered;
};
