#include "platform/panel/PanelIconFolder.h"

#include <gio/gio.h>
#include <glib/gstdio.h>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/panel/TitleLook.h"
#include "resources/PyrelleResources.h"

namespace {

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

// Copies `resource` to "<folder>/<name>.svg" unless `installedAs` is in a data directory; sets
// `wrote` when it did.
bool copyUnlessInstalled(const std::string& folder, const char* resource, const std::string& name,
                         const std::string& installedAs, bool& wrote, std::string& why) {
  if (installed(installedAs + name + ".svg")) return true;
  const GBytesPtr svg(g_resources_lookup_data(resource, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  if (!svg) {
    NSLog("Panel: the program carries no icon " + name + "; the label shows without it");
    return true;
  }
  gsize size = 0;
  const void* data = g_bytes_get_data(svg.get(), &size);
  wrote = true;
  return writeFile(folder + "/" + name + ".svg", data, size, why);
}

}  // namespace

std::string panelIconFolder() {
  std::string folder =
      std::string(g_get_user_runtime_dir()) + "/" + NSBundle::mainBundle().identity().programName;
  std::string why = "cannot make the folder";
  bool wrote = false;
  if (g_mkdir_with_parents(folder.c_str(), 0700) == 0 &&
      copyUnlessInstalled(folder, PyrelleSymbolicIconResource, thermometerIconName(),
                          "icons/hicolor/symbolic/apps/", wrote, why) &&
      copyUnlessInstalled(folder, PyrelleIconResource, applicationIconName(),
                          "icons/hicolor/scalable/apps/", wrote, why))
    return wrote ? folder : std::string();
  NSLog("Panel: cannot write the panel's icons to " + folder + " (" + loggable(why) +
        "); the label shows without its icon");
  return {};
}
