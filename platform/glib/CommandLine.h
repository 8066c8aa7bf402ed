#pragma once
// The program's command line, parsed with GLib's option parser. Pyrelle's own options:
//   --help (-h)       the usage, the options and where the settings live, on standard output;
//   --version         "<name> <version>" from the bundle information compiled into the program;
//   --list-sensors    the machine's temperature and fan inputs (answered by the caller).
// GTK's standard options (--display, --class, --name, --gtk-module, --g-fatal-warnings,
// --gtk-debug, --gtk-no-debug, --gdk-debug, --gdk-no-debug) are accepted and kept, in the order
// given, for the toolkit to parse when it starts; --display=D also sets DISPLAY for this process,
// so that the session's display check and the toolkit agree. Anything else (an unknown option,
// a missing value, an argument) is one line on standard error, a hint to run --help, and 2.

#include <optional>
#include <string>
#include <vector>

class CommandLine {
 public:
  enum class Action { launch, listSensors, showHelp, showVersion, reject };

  // Parses `argc`/`argv` (left unchanged). Needs no display and touches no session bus.
  CommandLine(int argc, char** argv);
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  // What the command line asks for. --help comes before --version, which comes before
  // --list-sensors.
  Action action() const { return chosen; }
  // Answers showHelp, showVersion and reject on standard output or error: their exit status
  // (0, or 2 for reject). nullopt for the actions the caller carries out.
  std::optional<int> answer() const;

  // For showHelp: the usage text; for reject: the parser's complaint ("Unknown option --bogus").
  const std::string& text() const { return message; }

  // argv[0] and the toolkit's options as given ("--display=:1", "--g-fatal-warnings"), ended by
  // a null pointer, for gtk_init_check(&toolkitArgc(), &toolkitArgv()). The array may be
  // rearranged by the toolkit; the strings live as long as this object.
  int& toolkitArgc() { return argumentCount; }
  char**& toolkitArgv() { return argumentArray; }
  const std::vector<std::string>& toolkitArguments() const { return toolkit; }

 private:
  struct Parser;  // GLib's option context, entries and callbacks

  Action chosen = Action::launch;
  std::string message;
  std::string programName;
  std::vector<std::string> toolkit;
  std::vector<char*> pointers;
  int argumentCount = 0;
  char** argumentArray = nullptr;
};
