#pragma once
// The user's settings: a persistent store of booleans and integers by key, over an in-memory
// registration domain of defaults. Reads give the stored value, else the registered one, else
// NO or 0. The file, "<user config dir>/pyrelle/settings.ini", is read when the store is made;
// a hand edit made while the program runs takes effect at its next start. Every set is written
// through at once: under a lock ("settings.ini.lock" beside it) the file is read as it is now,
// the one line of the key is changed or added (every other byte stays, comments and other
// groups included), and the result replaces the file atomically and durably. Hand edits and
// the saves of other runs sharing the folder are so never undone; after a save, reads give what
// the file then holds. Bad input never crashes, never hangs and never loses what the user set;
// each case is logged:
// - a file that is not a settings file (does not parse, over 1 MiB, a pipe, device or folder)
//   reads as empty and is kept aside as "settings.ini.corrupt" (".corrupt.1", ... when taken)
//   before it is replaced;
// - a file that cannot be read now (no descriptors left, no permission) keeps the values last
//   read (none at the start), and is never replaced while it cannot be read;
// - a value of the wrong type or out of range reads as not stored (logged once per key);
// - a failed write is logged once per store; the values set hold for the run and are written
//   with the next save that succeeds;
// - a lock held elsewhere for over 2 s (a hung run) is logged once, and the save goes ahead
//   without it, still atomic.
// Temporary files that killed runs left beside the file are removed when the store is made.

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

  // The store for the whole run, in userConfigDirectory() ($XDG_CONFIG_HOME when absolute).
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

 private:
  struct Store;
  // The standard store, created on first use in `configDirectory` or else the user's own.
  static NSUserDefaults& standard(const std::string* configDirectory);

  std::unique_ptr<Store> store;
  std::map<std::string, Value, std::less<>> registered;
};
