#include "platform/gtk/IconFiles.h"

#include <filesystem>
#include <system_error>

#include "platform/foundation/NSLog.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/TitleIconRenderer.h"
#include "resources/PyrelleResources.h"

namespace {

constexpr int titleIconPixels = 64;
constexpr std::size_t keptTitleIcons = 2;

// Writes the file whole under a temporary name, then renames it, so a panel never reads half.
bool writeFile(const std::string& path, const char* data, gsize size) {
  GErrorOut error;
  if (g_file_set_contents(path.c_str(), data, static_cast<gssize>(size), error.out())) return true;
  NSLog("Panel icon: cannot write " + path + ": " + error.message());
  return false;
}

}  // namespace

std::unique_ptr<IconFiles> IconFiles::create() {
  std::string pattern = std::string(g_get_user_runtime_dir()) + "/pyrelle-XXXXXX";
  if (g_mkdtemp(pattern.data()) == nullptr) {
    NSLog("Panel icon: cannot make a directory for icons in " +
          std::string(g_get_user_runtime_dir()) + "; the title stays in the label only");
    return nullptr;
  }
  return std::unique_ptr<IconFiles>(new IconFiles(pattern));
}

IconFiles::~IconFiles() {
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

std::string IconFiles::thermometer() {
  if (!thermometerPath.empty()) return thermometerPath;
  GBytesPtr bytes(
      g_resources_lookup_data(PyrelleIconResource, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  if (!bytes) {
    NSLog("Panel icon: the program carries no thermometer icon");
    return {};
  }
  gsize size = 0;
  const auto* data = static_cast<const char*>(g_bytes_get_data(bytes.get(), &size));
  const std::string path = dir + "/pyrelle.svg";
  if (writeFile(path, data, size)) thermometerPath = path;
  return thermometerPath;
}

std::string IconFiles::writeTitleIcon(const std::string& title) {
  const std::string png = renderTitleIconPng(title, titleIconPixels);
  if (png.empty()) {
    NSLog("Panel icon: cannot draw the title into the icon");
    return {};
  }
  std::string path = dir + "/title-" + std::to_string(++serial) + ".png";
  if (!writeFile(path, png.data(), png.size())) return {};
  titleIcons.push_back(path);
  while (titleIcons.size() > keptTitleIcons) {
    std::error_code ignored;
    std::filesystem::remove(titleIcons.front(), ignored);
    titleIcons.pop_front();
  }
  return path;
}
