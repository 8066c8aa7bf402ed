#pragma once
// The running program as a bundle: on Linux its bundle path is the executable's real path.

#include <optional>
#include <string>

class NSBundle {
 public:
  static NSBundle& mainBundle();

  std::string bundlePath() const;

  // Makes bundlePath() answer `path` (nullopt: the executable's real path again).
  void setBundlePathForTesting(std::optional<std::string> path);

 private:
  std::optional<std::string> overridePath;
};
