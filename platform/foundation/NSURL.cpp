#include "platform/foundation/NSURL.h"

#include <glib.h>

#include <memory>

namespace {

using GCharPtr = std::unique_ptr<gchar, decltype(&g_free)>;

}  // namespace

NSURL NSURL::fileURLWithPath(const std::string& path) {
  if (g_path_is_absolute(path.c_str())) return NSURL(path);
  const GCharPtr workingDirectory(g_get_current_dir(), &g_free);
  const GCharPtr absolute(g_build_filename(workingDirectory.get(), path.c_str(), nullptr), &g_free);
  return NSURL(absolute.get());
}

std::string NSURL::absoluteString() const {
  const GCharPtr uri(g_filename_to_uri(filePath.c_str(), nullptr, nullptr), &g_free);
  if (!uri) return {};
  return uri.get();
}
