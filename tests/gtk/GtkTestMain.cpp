// The GUI tests run in one process under Xvfb and a private session bus. Icons, settings and
// login items go into folders of this run's own, removed at the end.

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  std::string root = (std::filesystem::temp_directory_path() / "pyrelle-gtk-XXXXXX").string();
  if (g_mkdtemp(root.data()) == nullptr) return 1;
  const std::string runtime = root + "/runtime";
  const std::string config = root + "/config";
  g_mkdir(runtime.c_str(), 0700);
  g_mkdir(config.c_str(), 0700);
  g_setenv("XDG_RUNTIME_DIR", runtime.c_str(), TRUE);
  g_setenv("XDG_CONFIG_HOME", config.c_str(), TRUE);
  g_setenv("NO_AT_BRIDGE", "1", TRUE);
  // The death test's child starts afresh rather than forking a process that runs GTK's threads.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::filesystem::remove_all(root);
  return result;
}
