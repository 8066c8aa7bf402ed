// The command line: GTK's options kept in a form that GTK's own parser takes. Which request wins,
// the help and version texts and the rejections a user meets are checked on the program itself
// (tests/app/command-line.sh).

#include "platform/glib/CommandLine.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

TEST(CommandLine, KeepsGtkOptionsForGtksOwnParser) {
  g_unsetenv("DISPLAY");
  // An argv as main() gets it.
  std::vector<std::string> arguments = {
      "/usr/bin/pyrelle",   "--display=:7", "--class",      "Thermo",
      "--g-fatal-warnings", "--name=therm", "--gtk-module", "a:b",
      "--gdk-debug=events"};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  CommandLine line(static_cast<int>(arguments.size()), argv.data());
  ASSERT_EQ(line.action(), CommandLine::Action::launch);
  const std::vector<std::string> kept = {"/usr/bin/pyrelle",   "--display=:7", "--class=Thermo",
                                         "--g-fatal-warnings", "--name=therm", "--gtk-module=a:b",
                                         "--gdk-debug=events"};
  EXPECT_EQ(line.toolkitArguments(), kept);
  EXPECT_STREQ(g_getenv("DISPLAY"), ":7");
  ASSERT_EQ(line.toolkitArgc(), 7);
  EXPECT_EQ(line.toolkitArgv()[7], nullptr);

  // GTK takes them as given (no display opened, no module loaded: those are left out here).
  line.toolkitArgv()[5] = line.toolkitArgv()[7];
  line.toolkitArgc() = 5;
  const std::unique_ptr<GOptionContext, decltype(&g_option_context_free)> gtkParser(
      g_option_context_new(nullptr), g_option_context_free);
  g_option_context_add_group(gtkParser.get(), gtk_get_option_group(FALSE));
  ASSERT_TRUE(
      g_option_context_parse(gtkParser.get(), &line.toolkitArgc(), &line.toolkitArgv(), nullptr));
  EXPECT_EQ(line.toolkitArgc(), 1);
  EXPECT_STREQ(gdk_get_display_arg_name(), ":7");
  EXPECT_STREQ(gdk_get_program_class(), "Thermo");
  EXPECT_STREQ(g_get_prgname(), "therm");
  const GLogLevelFlags fatal = g_log_set_always_fatal(G_LOG_LEVEL_ERROR);
  EXPECT_TRUE(fatal & G_LOG_LEVEL_WARNING);
}
