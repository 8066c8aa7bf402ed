#include "platform/foundation/NSBundle.h"

#include <glib.h>

#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/foundation/GLibPtr.h"

namespace {

constexpr const char* ownExecutable = "/proc/self/exe";

// The kernel's name for an executable that was replaced or removed while it runs (a package
// upgrade does that): the link then reads "<path> (deleted)" and no longer resolves.
std::string linkTargetWithoutDeletedMark() {
  const GCharPtr target(g_file_read_link(ownExecutable, nullptr));
  if (!target) return {};
  std::string path(target.get());
  constexpr std::string_view deleted = " (deleted)";
  if (path.ends_with(deleted)) path.resize(path.size() - deleted.size());
  return path;
}

}  // namespace

NSBundle& NSBundle::mainBundle() {
  static NSBundle bundle;
  return bundle;
}

const BundleIdentity& NSBundle::identity() const {
  static const BundleIdentity own{PYRELLE_NAME, PYRELLE_ID, PYRELLE_PROGRAM};
  return own;
}

std::string NSBundle::bundlePath() const {
  if (overridePath) return *overridePath;
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(ownExecutable, error);
  if (!error) return real.string();
  return linkTargetWithoutDeletedMark();
}

void NSBundle::setBundlePathForTesting(std::optional<std::string> path) {
  overridePath = std::move(path);
}
