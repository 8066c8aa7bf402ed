#include "platform/panel/PanelIconFolder.h"

#include <gio/gio.h>
#include <glib/gstdio.h>

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <string_view>
#include <utility>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSLog.h"
#include "resources/PyrelleResources.h"

namespace {

constexpr std::size_t drawingsKept = 2;

bool installed(const std::string& file) {
  if (g_file_test((std::string(g_get_user_data_dir()) + "/" + file).c_str(), G_FILE_TEST_EXISTS))
    return true;
  for (const char* const* dir = g_get_system_data_dirs(); *dir != nullptr; ++dir) {
    if (g_file_test((std::string(*dir) + "/" + file).c_str(), G_FILE_TEST_EXISTS)) return true;
  }
  return false;
}

bool writeFile(const std::string& path, const void* data, std::size_t size, std::string& why) {
  GErrorOut error;
  if (g_file_set_contents(path.c_str(), static_cast<const char*>(data), static_cast<gssize>(size),
                          error.out()))
    return true;
  why = error.message();
  return false;
}

// Copies `resource` to "<folder>/<name>.svg" unless `installedAs` is in a data directory.
bool copyUnlessInstalled(const std::string& folder, const char* resource, const char* name,
                         const std::string& installedAs, std::string& why) {
  if (installed(installedAs + name + ".svg")) return true;
  const GBytesPtr svg(g_resources_lookup_data(resource, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  if (!svg) return true;
  gsize size = 0;
  const void* data = g_bytes_get_data(svg.get(), &size);
  return writeFile(folder + "/" + name + ".svg", data, size, why);
}

// FNV-1a, 64 bits: enough to tell drawings apart.
std::string hashOf(const std::string& text) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  char hex[17];
  g_snprintf(hex, sizeof hex, "%016" PRIx64, hash);
  return hex;
}

void removeDrawings(const std::string& folder, std::string_view prefix) {
  GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
  if (dir == nullptr) return;
  while (const char* name = g_dir_read_name(dir)) {
    if (std::string_view(name).starts_with(prefix)) g_unlink((folder + "/" + name).c_str());
  }
  g_dir_close(dir);
}

}  // namespace

// Title drawings are named after the item and a hash of the drawing, so that a host's cache of
// icons by name never shows an old drawing under a new title.
PanelIconFolder::PanelIconFolder(unsigned itemNumber)
    : folder(std::string(g_get_user_runtime_dir()) + "/pyrelle"),
      drawingPrefix(std::string(applicationIconName) + "-title-" + std::to_string(itemNumber) +
                    "-") {
  std::string why = "cannot make the folder";
  if (g_mkdir_with_parents(folder.c_str(), 0700) == 0 &&
      copyUnlessInstalled(folder, PyrelleSymbolicIconResource, thermometerIconName,
                          "icons/hicolor/symbolic/apps/", why) &&
      copyUnlessInstalled(folder, PyrelleIconResource, applicationIconName,
                          "icons/hicolor/scalable/apps/", why)) {
    removeDrawings(folder, drawingPrefix);
    return;
  }
  NSLog("Panel: cannot write the panel's icons to " + folder + " (" + loggable(why) +
        "); the label shows without its icon");
  folder.clear();
}

PanelIconFolder::~PanelIconFolder() {
  for (const std::string& name : drawings) g_unlink((folder + "/" + name).c_str());
}

std::string PanelIconFolder::addDrawing(const std::string& svg) {
  if (folder.empty()) return {};
  const std::string name = drawingPrefix + hashOf(svg);
  const std::string file = name + ".svg";
  const auto known = std::find(drawings.begin(), drawings.end(), file);
  if (known != drawings.end()) {
    drawings.erase(known);
  } else {
    std::string why;
    if (!writeFile(folder + "/" + file, svg.data(), svg.size(), why)) {
      if (!std::exchange(failureLogged, true))
        NSLog("Panel: cannot write the drawn title to " + folder + " (" + loggable(why) +
              "); sending it as pixmaps");
      return {};
    }
  }
  drawings.push_back(file);
  while (drawings.size() > drawingsKept) {
    g_unlink((folder + "/" + drawings.front()).c_str());
    drawings.erase(drawings.begin());
  }
  return name;
}
