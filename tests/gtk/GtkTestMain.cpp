// The GUI tests run in one process under Xvfb and a private session bus. Icons, settings and
// login items go into folders of this run's own, removed at the end.

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/gtk/GtkTestSupport.h"

bool spinUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  bool expired = false;
  const guint watchdog = g_timeout_add_once(
      static_cast<guint>(timeout.count()), [](gpointer flag) { *static_cast<bool*>(flag) = true; },
      &expired);
  while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
  if (!expired) g_source_remove(watchdog);
  return done();
}

int main(int argc, char** argv) {
  std::string root = (std::filesystem::temp_directory_path() / "pyrelle-gtk-XXXXXX").string();
  if (g_mkdtemp(root.data()) == nullptr) return 1;
  for (const char* folder : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"}) {
    const std::string path = root + "/" + folder;
    g_mkdir(path.c_str(), 0700);
    g_setenv(folder, path.c_str(), TRUE);
  }
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::filesystem::remove_all(root);
  return result;
}
