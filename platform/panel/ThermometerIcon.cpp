#include "platform/panel/ThermometerIcon.h"

#include <gio/gio.h>
#include <glib/gstdio.h>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "resources/PyrelleResources.h"

namespace {

bool installed() {
  const std::string thermometerIconName = ::thermometerIconName();
  const std::string file =
      std::string("icons/hicolor/symbolic/apps/") + thermometerIconName + ".svg";
  if (g_file_test((std::string(g_get_user_data_dir()) + "/" + file).c_str(), G_FILE_TEST_EXISTS))
    return true;
  for (const char* const* dir = g_get_system_data_dirs(); *dir != nullptr; ++dir) {
    if (g_file_test((std::string(*dir) + "/" + file).c_str(), G_FILE_TEST_EXISTS)) return true;
  }
  return false;
}

}  // namespace

std::string thermometerIconName() {
  return NSBundle::mainBundle().identity().identifier + "-symbolic";
}

std::string thermometerThemePath() {
  if (installed()) return {};
  const GBytesPtr svg(
      g_resources_lookup_data(PyrelleSymbolicIconResource, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  if (!svg) {
    NSLog("Panel: the program carries no thermometer icon; the label shows without it");
    return {};
  }
  std::string folder =
      std::string(g_get_user_runtime_dir()) + "/" + NSBundle::mainBundle().identity().programName;
  const std::string path = folder + "/" + thermometerIconName() + ".svg";
  gsize size = 0;
  const auto* data = static_cast<const char*>(g_bytes_get_data(svg.get(), &size));
  GErrorOut error;
  if (g_mkdir_with_parents(folder.c_str(), 0700) != 0 ||
      !g_file_set_contents(path.c_str(), data, static_cast<gssize>(size), error.out())) {
    NSLog("Panel: cannot write the thermometer icon to " + path + " (" + error.message() +
          "); the label shows without it");
    return {};
  }
  return folder;
}
