#include "platform/glib/CommandLine.h"

#include <gio/gio.h>
#include <glib.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSPathUtilities.h"
#include "resources/PyrelleResources.h"

namespace {

// G_OPTION_ENTRY_NULL, which C++ takes only with the option type spelt out.
constexpr GOptionEntry endOfEntries = {nullptr, 0, 0, G_OPTION_ARG_NONE, nullptr, nullptr, nullptr};

using GOptionContextPtr = std::unique_ptr<GOptionContext, GLibRelease<g_option_context_free>>;

// The compiled-in resources, registered only while the bundle information is read: a program
// that goes on to run registers them itself.
struct RegisteredResources {
  RegisteredResources() { pyrelle_register_resource(); }
  ~RegisteredResources() { pyrelle_unregister_resource(); }
  RegisteredResources(const RegisteredResources&) = delete;
  RegisteredResources& operator=(const RegisteredResources&) = delete;
};

// "Pyrelle 1.0.0": the name and version of the bundle information (resources/Info.ini.in).
std::string versionLine() {
  const RegisteredResources resources;
  const GBytesPtr bytes(
      g_resources_lookup_data(PyrelleBundleInfoResource, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  const GKeyFilePtr file(g_key_file_new());
  gsize size = 0;
  const auto* data = bytes ? static_cast<const char*>(g_bytes_get_data(bytes.get(), &size)) : "";
  g_key_file_load_from_data(file.get(), data, size, G_KEY_FILE_NONE, nullptr);
  const GCharPtr name(g_key_file_get_string(file.get(), "Bundle", "Name", nullptr));
  const GCharPtr version(g_key_file_get_string(file.get(), "Bundle", "Version", nullptr));
  const std::string shownName = name ? name.get() : NSBundle::mainBundle().identity().name;
  return shownName + " " + (version ? version.get() : "unknown");
}

std::string moreHelp() {
  return "GTK's standard options are accepted too: --display=DISPLAY, --class=CLASS, --name=NAME,\n"
         "--gtk-module=MODULES, --g-fatal-warnings, --gtk-debug=FLAGS, --gdk-debug=FLAGS and\n"
         "their -no-debug forms.\n"
         "\n"
         "Settings: " +
         userConfigDirectory() +
         "/pyrelle/settings.ini\n"
         "Its group [Sensors] chooses the sensors shown: keys cpu, fan1 and fan2, each CHIP/LABEL\n"
         "as --list-sensors prints it (CHIP may hold wildcards, such as coretemp-*).";
}

}  // namespace

struct CommandLine::Parser {
  // Keeps one of GTK's options for the toolkit, and names the display for this process too.
  static gboolean keep(const gchar* name, const gchar* value, gpointer data, GError** /*error*/) {
    auto& line = *static_cast<CommandLine*>(data);
    std::string option(name);
    if (value != nullptr) option += std::string("=") + value;
    line.toolkit.push_back(std::move(option));
    if (value != nullptr && g_str_equal(name, "--display")) g_setenv("DISPLAY", value, TRUE);
    return TRUE;
  }

  // GTK's standard options, kept for the toolkit as given; values are taken as bytes, unconverted.
  static GOptionGroup* toolkitGroup(CommandLine& line) {
    static constexpr const char* valued[] = {"display",    "class",       "name",
                                             "gtk-module", "gtk-debug",   "gtk-no-debug",
                                             "gdk-debug",  "gdk-no-debug"};
    auto* callback = reinterpret_cast<gpointer>(&keep);
    std::vector<GOptionEntry> entries;
    for (const char* name : valued) {
      entries.push_back(
          {name, 0, G_OPTION_FLAG_FILENAME, G_OPTION_ARG_CALLBACK, callback, nullptr, nullptr});
    }
    entries.push_back({"g-fatal-warnings", 0, G_OPTION_FLAG_NO_ARG, G_OPTION_ARG_CALLBACK, callback,
                       nullptr, nullptr});
    entries.push_back(endOfEntries);
    GOptionGroup* group =
        g_option_group_new("gtk", "GTK+ Options", "Show GTK+ Options", &line, nullptr);
    g_option_group_add_entries(group, entries.data());  // copied
    return group;
  }

  static GOptionContextPtr context(CommandLine& line, const GOptionEntry* entries) {
    GOptionContextPtr made(g_option_context_new(nullptr));
    // --help is an entry of our own, answered by the caller instead of exiting in here.
    g_option_context_set_help_enabled(made.get(), FALSE);
    g_option_context_set_summary(made.get(),
                                 "Shows the CPU temperature in the desktop's panel, and the fan "
                                 "speeds in its menu.");
    g_option_context_set_description(made.get(), moreHelp().c_str());
    g_option_context_add_main_entries(made.get(), entries, nullptr);
    g_option_context_add_group(made.get(), toolkitGroup(line));
    return made;
  }

  static void parse(CommandLine& line, int argc, char** argv) {
    gboolean help = FALSE, version = FALSE, list = FALSE;
    const GOptionEntry entries[] = {
        {"help", 'h', 0, G_OPTION_ARG_NONE, &help, "Show the options and where settings live",
         nullptr},
        {"version", 0, 0, G_OPTION_ARG_NONE, &version, "Show the version", nullptr},
        {"list-sensors", 0, 0, G_OPTION_ARG_NONE, &list,
         "List the temperature and fan inputs, and which ones are shown", nullptr},
        endOfEntries};
    const GOptionContextPtr parser = context(line, entries);
    // The parser takes options out of the array it is given: hand it a copy.
    std::vector<char*> copy(argv, argv + argc);
    copy.push_back(nullptr);
    int count = argc;
    char** remaining = copy.data();
    GErrorOut error;
    line.programName = argc > 0 ? GCharPtr(g_path_get_basename(argv[0])).get()
                                : NSBundle::mainBundle().identity().programName;
    if (!g_option_context_parse(parser.get(), &count, &remaining, error.out())) {
      line.chosen = Action::reject;
      line.message = error.message();
    } else if (count > 1) {
      line.chosen = Action::reject;
      line.message = std::string("Unexpected argument ") + remaining[1];
    } else if (help) {
      line.chosen = Action::showHelp;
      line.message = GCharPtr(g_option_context_get_help(parser.get(), TRUE, nullptr)).get();
    } else if (version) {
      line.chosen = Action::showVersion;
      line.message = versionLine();
    } else if (list) {
      line.chosen = Action::listSensors;
    }
  }
};

CommandLine::CommandLine(int argc, char** argv) {
  Parser::parse(*this, argc, argv);
  toolkit.insert(toolkit.begin(),
                 argc > 0 ? argv[0] : NSBundle::mainBundle().identity().programName);
  for (std::string& argument : toolkit) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  argumentCount = static_cast<int>(toolkit.size());
  argumentArray = pointers.data();
}

std::optional<int> CommandLine::answer() const {
  switch (chosen) {
    case Action::launch:
    case Action::listSensors:
      return std::nullopt;
    case Action::showHelp:
    case Action::showVersion:
      std::fputs(message.c_str(), stdout);
      if (!message.ends_with('\n')) std::fputc('\n', stdout);
      return std::fflush(stdout) == 0 ? 0 : 1;  // such as a full disk behind the redirection
    case Action::reject:
      std::fprintf(stderr, "%s: %s\nRun '%s --help' to see the options.\n", programName.c_str(),
                   message.c_str(), programName.c_str());
      return 2;
  }
  return 2;
}
