#include "platform/foundation/NSPathUtilities.h"

#include <glib.h>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSLog.h"

std::string userConfigDirectory() {
  // Read here rather than through g_get_user_config_dir(), which takes a relative value as it is
  // and would put the settings under whatever the working directory happens to be.
  const char* const configured = g_getenv("XDG_CONFIG_HOME");
  if (configured != nullptr && g_path_is_absolute(configured)) return configured;
  static bool relativeLogged = false;
  if (configured != nullptr && configured[0] != '\0' && !relativeLogged) {
    relativeLogged = true;
    NSLog("XDG_CONFIG_HOME is not an absolute path (" + loggable(configured) +
          "); using ~/.config instead.");
  }
  const GCharPtr fallback(g_build_filename(g_get_home_dir(), ".config", nullptr));
  return fallback.get();
}
