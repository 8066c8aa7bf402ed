#include "platform/desktop/PlainAllocation.h"

#include <glib.h>
#include <unistd.h>

void restartWithPlainAllocation(char** argv) {
  if (glib_check_version(2, 76, 0) == nullptr || g_getenv("G_SLICE") != nullptr) return;
  g_setenv("G_SLICE", "always-malloc", TRUE);
  // The same process (and pid), started again from the same file.
  execv("/proc/self/exe", argv);
  g_unsetenv("G_SLICE");
}
