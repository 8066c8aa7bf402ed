#pragma once
// The running program as a bundle: on Linux its bundle path is the executable's real path.

#include <optional>
#include <string>

// Who the application is, as the build names it: every name the platform shows, registers or
// files things under comes from here.
struct BundleIdentity {
  std::string name;         // what users read: "Pyrelle"
  std::string identifier;   // reverse-DNS: the bus name, desktop entry and icon names
  std::string programName;  // the program, its settings folder and its autostart entry
};

class NSBundle {
 public:
  static NSBundle& mainBundle();

  const BundleIdentity& identity() const;

  std::string bundlePath() const;

  // Makes bundlePath() answer `path` (nullopt: the executable's real path again).
  void setBundlePathForTesting(std::optional<std::string> path);

 private:
  std::optional<std::string> overridePath;
};
