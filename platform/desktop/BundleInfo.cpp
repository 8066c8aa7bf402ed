#include "platform/desktop/BundleInfo.h"

#include <gio/gio.h>
#include "platform/foundation/NSLog.h"

#include "platform/foundation/GLibPtr.h"
#include "resources/PyrelleResources.h"

namespace {

constexpr const char* group = "Bundle";

std::string readKey(GKeyFile* file, const char* key) {
  const GCharPtr value(g_key_file_get_locale_string(file, group, key, nullptr, nullptr));
  if (!value) {
    NSLog(std::string("Bundle information: no ") + key);
    return {};
  }
  return value.get();
}

}  // namespace

BundleInfo loadBundleInfo() {
  GBytesPtr bytes(
      g_resources_lookup_data(PyrelleBundleInfoResource, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  const GKeyFilePtr file(g_key_file_new());
  gsize size = 0;
  const auto* data = bytes ? static_cast<const char*>(g_bytes_get_data(bytes.get(), &size)) : "";
  if (!bytes || !g_key_file_load_from_data(file.get(), data, size, G_KEY_FILE_NONE, nullptr)) {
    NSLog("Bundle information: the program carries none that can be read");
    return {};
  }
  return BundleInfo{readKey(file.get(), "Name"), readKey(file.get(), "Version"),
                    readKey(file.get(), "Copyright"), readKey(file.get(), "Description"),
                    readKey(file.get(), "License")};
}
