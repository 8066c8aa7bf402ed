#include "platform/foundation/NSURL.h"

#include <glib.h>

#include "platform/foundation/GLibPtr.h"

NSURL NSURL::fileURLWithPath(const std::string& path) {
  if (g_path_is_absolute(path.c_str())) return NSURL(path);
  const GCharPtr workingDirectory(g_get_current_dir());
  const GCharPtr absolute(g_build_filename(workingDirectory.get(), path.c_str(), nullptr));
  return NSURL(absolute.get());
}

NSURL NSURL::standardizedURL() const {
  const GCharPtr normal(g_canonicalize_filename(filePath.c_str(), "/"));
  std::string path(normal.get());
  // POSIX leaves a leading "//" to the system; on Linux it is the root like "/".
  if (path.starts_with("//")) path.erase(0, 1);
  return NSURL(std::move(path));
}
