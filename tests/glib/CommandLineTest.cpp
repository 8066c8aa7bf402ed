// The command line: GTK's options kept in a form that GTK's own parser takes. Which request wins,
// the help and version texts and the rejections a user meets are checked on the program itself
// (tests/app/command-line.sh).

#include "platform/glib/CommandLine.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// An argv as main() gets it.
class Arguments {
 public:
  Arguments(std::initializer_list<std::string> list) : strings(list) {
    strings.insert(strings.begin(), "/usr/bin/pyrelle");
    for (std::string& text : strings) pointers.push_back(text.data());
    pointers.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(strings.size()); }
  char** argv() { return pointers.data(); }

 private:
  std::vector<std::string> strings;
  std::vector<char*> pointers;
};

}  // namespace

TEST(CommandLine, KeepsGtkOptionsForGtksOwnParser) {
  g_unsetenv("DISPLAY");
  Arguments arguments({"--display=:7", "--class", "Thermo", "--g-fatal-warnings", "--name=therm",
                       "--gtk-module", "a:b", "--gdk-debug=events"});
  CommandLine line(arguments.argc(), arguments.argv());
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
